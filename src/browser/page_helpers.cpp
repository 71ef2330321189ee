#include "browser/page_helpers.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtk/gtk.h>
#include <jsc/jsc.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "browser/web_browser.h"
#include "common/trace.h"
#include "scheme/book_views.h"

namespace q3::browser {
namespace {

// What a script callback needs; the cancellable ends it when the browser
// goes away before the script answers.
struct ScriptCall {
    std::function<void(std::optional<std::string>)> done;
    GCancellable* cancellable;
};

void ScriptFinished(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<ScriptCall> call(static_cast<ScriptCall*>(data));
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
    const bool cancelled = g_cancellable_is_cancelled(call->cancellable);
    g_object_unref(call->cancellable);
    if (error != nullptr) {
        if (!cancelled)
            DebugTrace("RunPageScript", error->message);
        g_error_free(error);
        if (!cancelled && call->done)
            call->done(std::nullopt);
        return;
    }
    std::optional<std::string> json;
    if (value != nullptr) {
        if (char* text = jsc_value_to_json(value, 0)) {
            json = text;
            g_free(text);
        } else {
            json = "null";
        }
        g_object_unref(value);
    }
    if (!cancelled && call->done)
        call->done(json);
}

// The page side of highlighting: a walk over the body's text nodes that
// splits each match into its own span. Matching ignores letter case as the
// engine's own find does; text inside scripts and styles is left alone.
constexpr const char* kHighlightScript = R"JS(
(function (word) {
  if (!document.body || !word) return 0;
  var needle = word.toLowerCase(), count = 0;
  var walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT, {
    acceptNode: function (n) {
      var p = n.parentNode && n.parentNode.nodeName;
      return (p === 'SCRIPT' || p === 'STYLE') ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT;
    }
  });
  var nodes = [];
  while (walker.nextNode()) nodes.push(walker.currentNode);
  nodes.forEach(function (node) {
    var text = node.data, low = text.toLowerCase();
    if (low.length !== text.length) low = text;  // no case folding that moves offsets
    var at = low.indexOf(needle);
    while (at >= 0) {
      var match = node.splitText(at);
      var rest = match.splitText(needle.length);
      var span = document.createElement('span');
      span.setAttribute('style', 'background:yellow;color:red');
      span.setAttribute('data-quillon3-found', '');
      match.parentNode.replaceChild(span, match);
      span.appendChild(match);
      count++;
      node = rest;
      text = node.data;
      low = text.toLowerCase();
      if (low.length !== text.length) low = text;
      at = low.indexOf(needle);
    }
  });
  return count;
})
)JS";

// Text mode replaces the page by its text; the text is set as text, so a
// page whose words look like markup cannot turn into markup.
constexpr const char* kTextModeScript = R"JS(
(function () {
  if (!document.body) return false;
  var pre = document.createElement('pre');
  pre.textContent = document.body.innerText;
  while (document.body.firstChild) document.body.removeChild(document.body.firstChild);
  document.body.appendChild(pre);
  return true;
})()
)JS";

// No-image mode works on a snapshot of the elements, so removing one never
// lets its neighbour slip past unexamined.
constexpr const char* kNoImageScript = R"JS(
(function () {
  var all = Array.prototype.slice.call(document.getElementsByTagName('*')), removed = 0;
  all.forEach(function (e) {
    if (!e.isConnected) return;
    var picture = e.tagName === 'IMG' || (e.getAttribute('src') || '') !== '' ||
                  (e.getAttribute('background') || '') !== '';
    if (picture) { e.remove(); removed++; }
  });
  return removed;
})()
)JS";

constexpr const char* kImageAtScript = R"JS(
(function (x, y) {
  var e = document.elementFromPoint(x, y);
  return (e && e.tagName === 'IMG') ? e.src : '';
})
)JS";

std::string JsonUnquote(const std::string& json) {
    // The image address comes back as a JSON string; addresses hold no
    // escapes worth keeping beyond these.
    if (json.size() < 2 || json.front() != '"')
        return {};
    std::string out;
    for (size_t i = 1; i + 1 < json.size(); ++i) {
        if (json[i] == '\\' && i + 2 < json.size()) {
            ++i;
            out.push_back(json[i] == '/' ? '/' : json[i]);
        } else {
            out.push_back(json[i]);
        }
    }
    return out;
}

bool PutImageOnClipboard(const std::string& bytes) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    GError* error = nullptr;
    bool ok = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()),
                                      bytes.size(), &error);
    // Closing is needed either way; it also finishes the decoding.
    ok = gdk_pixbuf_loader_close(loader, ok ? &error : nullptr) && ok;
    if (error != nullptr) {
        DebugTrace("CopyImageAt", error->message);
        g_error_free(error);
    }
    GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    if (pixbuf != nullptr)
        gtk_clipboard_set_image(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), pixbuf);
    g_object_unref(loader);
    return pixbuf != nullptr;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    out += esc;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    // U+2028 and U+2029 end lines in older script engines.
    for (const char* sep : {"\xE2\x80\xA8", "\xE2\x80\xA9"}) {
        for (size_t p = out.find(sep); p != std::string::npos; p = out.find(sep, p))
            out.replace(p, 3, sep[2] == '\xA8' ? "\\u2028" : "\\u2029");
    }
    return out + "\"";
}

void RunPageScript(WebBrowser& browser, const std::string& script,
                   std::function<void(std::optional<std::string>)> done) {
    auto* call = new ScriptCall{std::move(done), browser.Cancellable()};
    g_object_ref(call->cancellable);
    webkit_web_view_evaluate_javascript(browser.View(), script.c_str(),
                                        static_cast<gssize>(script.size()), nullptr, nullptr,
                                        call->cancellable, ScriptFinished, call);
}

void HighlightText(WebBrowser& browser, const std::string& text, std::function<void(int)> done) {
    if (!browser.HasDocument())
        return;
    RunPageScript(browser, std::string(kHighlightScript) + "(" + JsonString(text) + ")",
                  [done = std::move(done)](std::optional<std::string> json) {
                      if (!json)
                          DebugTrace("WebSearchText", "the page refused the highlight");
                      if (done)
                          done(json ? std::atoi(json->c_str()) : 0);
                  });
}

void ApplyViewMode(WebBrowser& browser, int mode, std::function<void()> done) {
    if (!browser.HasDocument() || (mode != kTextMode && mode != kNoImageMode))
        return;
    RunPageScript(browser, mode == kTextMode ? kTextModeScript : kNoImageScript,
                  [done = std::move(done)](std::optional<std::string> json) {
                      if (!json)
                          DebugTrace("WebNotImageMode", "the page refused the view mode");
                      if (done)
                          done();
                  });
}

void WriteHtml(WebBrowser& browser, const std::string& html) {
    if (!browser.HasDocument())
        return;
    // A load of the reader's own: a book page asked for before WebKit begins
    // it must not take its signals for its own.
    WebKitWebView* view = browser.View();
    server::scheme::StartReaderLoad(
        view, [&] { webkit_web_view_load_html(view, html.c_str(), "about:blank"); });
}

void SetZoom(WebBrowser& browser, int percent) {
    if (!browser.HasDocument())
        return;
    webkit_web_view_set_zoom_level(browser.View(), percent / 100.0);
}

void SetBodyStyle(WebBrowser& browser, const std::string& css) {
    if (!browser.HasDocument())
        return;
    RunPageScript(browser,
                  "(function (css) { if (document.body) document.body.style.cssText = "
                  "css; })(" +
                      JsonString(css) + ")");
}

void CopyImageAt(WebBrowser& browser, int x, int y, ResourceFetcher fetch,
                 std::function<void(bool)> done) {
    if (!browser.HasDocument()) {
        if (done)
            done(false);
        return;
    }
    const std::string script =
        std::string(kImageAtScript) + "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    RunPageScript(
        browser, script,
        [fetch = std::move(fetch), done = std::move(done)](std::optional<std::string> json) {
            const std::string address = json ? JsonUnquote(*json) : std::string();
            std::optional<std::string> bytes;
            if (!address.empty() && fetch)
                bytes = fetch(address);
            const bool copied = bytes && PutImageOnClipboard(*bytes);
            if (done)
                done(copied);
        });
}

std::string DocumentUrl(const WebBrowser& browser) {
    if (!browser.HasDocument())
        return "about:blank";
    return browser.LocationUrl();
}

}  // namespace q3::browser
