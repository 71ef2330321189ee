// Reading the client service's answer: its lines, the ad switch on the first
// line, the ad's HTML and the resource feed. Markers are case-sensitive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace q3::online {

// The lines of text, broken at CR LF, CR or LF. A break at the very end
// starts no further line, so "" has no line and "\r\n" one empty line.
std::vector<std::string> SplitLines(std::string_view text);

// The lines joined again, each followed by CR LF: the "whole text" in which
// the ad and the feed are found.
std::string JoinLines(const std::vector<std::string>& lines);

// The ad switch of the answer's first line: the text between "<!--" and "-->"
// of the lower-cased line, trimmed, is on when it reads as a number other
// than 0 or is "true" in any letter case; anything else is off.
bool ReadAdSwitch(std::string_view first_line);

// What the main window does with one answer.
struct OnlineInfo {
    bool show_ad = false;                 // show the ad page built from ad_html
    std::string ad_html;                  // between "[[DATA" and "]]"; may be empty
    bool has_feed = false;                // rebuild the resource tree from feed_lines
    std::vector<std::string> feed_lines;  // the lines between "[[FRESS" and "]]"
};

// An answer without lines, or with neither part, changes nothing.
OnlineInfo ReadOnlineInfo(const std::vector<std::string>& lines);

// Whether a link the service handed over (a feed entry, an ad's new-window
// link) may be opened in the reader's tab: http:// and https:// addresses
// only. The tab may show a page of the open book, and a "javascript:" link
// would run inside it, a "qbx:" or "file:" link would show what the service
// has no business pointing at.
bool IsWebLink(std::string_view link);

}  // namespace q3::online
