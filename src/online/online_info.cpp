#include "online/online_info.h"

#include <charconv>
#include <cmath>

#include "common/text.h"

namespace q3::online {
namespace {

// A whole number or decimal text, as the original platform's Boolean
// conversion reads numbers: "1", "-2", "0.5", "+3" all count.
bool ReadsAsNonZeroNumber(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        text.remove_prefix(1);
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && std::isfinite(value) && value != 0;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool ReadAdSwitch(std::string_view first_line) {
    const std::string comment = TextBetween(AsciiLower(first_line), "<!--", "-->");
    const std::string_view value = Trim(comment);
    return value == "true" || ReadsAsNonZeroNumber(value);
}

OnlineInfo ReadOnlineInfo(const std::vector<std::string>& lines) {
    OnlineInfo info;
    if (lines.empty())
        return info;
    info.show_ad = ReadAdSwitch(lines.front());
    const std::string whole = JoinLines(lines);
    if (info.show_ad)
        info.ad_html = TextBetween(whole, "[[DATA", "]]");
    info.feed_lines = SplitLines(TextBetween(whole, "[[FRESS", "]]"));
    info.has_feed = !info.feed_lines.empty();
    return info;
}

bool IsWebLink(std::string_view link) {
    const std::string scheme = AsciiLower(link.substr(0, 8));
    if (scheme.starts_with("http://"))
        return link.size() > 7;
    return scheme.starts_with("https://") && link.size() > 8;
}

}  // namespace q3::online
