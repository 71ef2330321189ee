// Reaching into the page a browser shows: highlighting a word, the text and
// no-image view modes, zoom, the body style, writing a generated page,
// copying the picture under a point and the document's address. Texts handed
// to page scripts travel as JSON data, never spliced into script source.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace q3::browser {

class WebBrowser;

enum ViewMode { kTextMode = 1, kNoImageMode = 2 };

// Wraps every occurrence of text (found without regard to letter case, in
// page order) in a yellow-on-red span that keeps the page's own letter case.
// done gets the number of matches; the page script runs in the web process,
// so the window stays responsive however long the page is.
void HighlightText(WebBrowser& browser, const std::string& text,
                   std::function<void(int matches)> done = {});

// Text mode: the page becomes its plain text in a preformatted block.
// No-image mode: pictures and every element with a "src" or "background"
// picture are removed.
void ApplyViewMode(WebBrowser& browser, int mode, std::function<void()> done = {});

// Replaces the page by exactly html; the browser then reports "about:blank".
// Nothing happens when the browser has never loaded a page.
void WriteHtml(WebBrowser& browser, const std::string& html);

void SetZoom(WebBrowser& browser, int percent);
void SetBodyStyle(WebBrowser& browser, const std::string& css);

// Finds the picture at a point of the view (view coordinates), loads its
// bytes through fetch (the document's own pictures come from the content
// server) and puts it on the clipboard. done gets whether a picture was copied.
using ResourceFetcher = std::function<std::optional<std::string>(const std::string& address)>;
void CopyImageAt(WebBrowser& browser, int x, int y, ResourceFetcher fetch,
                 std::function<void(bool copied)> done = {});

// "about:blank" when nothing is loaded, else the page's address.
std::string DocumentUrl(const WebBrowser& browser);

// Runs a script in the page; done gets its result as JSON, or nothing when
// the script failed. Not called once the browser is gone.
void RunPageScript(WebBrowser& browser, const std::string& script,
                   std::function<void(std::optional<std::string> json)> done = {});

// A JSON string literal for text (UTF-8), for handing data to page scripts.
std::string JsonString(const std::string& text);

}  // namespace q3::browser
