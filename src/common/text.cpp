#include "common/text.h"

#include <algorithm>

#include "common/gbk.h"

namespace q3 {

std::string IfEmpty(std::string_view a, std::string_view b) {
    return std::string(a.empty() ? b : a);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ')
        --e;
    return text.substr(b, e - b);
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '%') {
            out.push_back(text[i++]);
            continue;
        }
        std::string_view digits = Trim(text.substr(i + 1, 2));
        i += 1 + std::min<size_t>(2, text.size() - i - 1);
        int value = digits.empty() ? -1 : 0;
        for (char c : digits) {
            int h = HexValue(c);
            if (h < 0) {
                value = -1;
                break;
            }
            value = value * 16 + h;
        }
        if (value >= 0)
            out.push_back(static_cast<char>(value));
    }
    return out;
}

std::string PercentEncode(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    return out;
}

namespace {

size_t NameStart(std::string_view path, std::string_view separators) {
    size_t p = path.find_last_of(separators);
    return p == std::string_view::npos ? 0 : p + 1;
}

}  // namespace

std::string_view FileExtension(std::string_view path) {
    size_t start = NameStart(path, "\\:");
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < start)
        return {};
    return path.substr(dot);
}

std::string FileNameNoExt(std::string_view path) {
    std::string_view name = path.substr(NameStart(path, "\\:/"));
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos)
        name = name.substr(0, dot);
    return std::string(name);
}

std::string ShortenText(std::string_view text, int limit, std::string_view suffix) {
    if (text.empty())
        return {};
    bool wide = false;
    for (unsigned char c : text) {
        if (IsGbkLead(c)) {
            wide = true;
            break;
        }
    }
    if (wide)
        limit /= 2;
    if (limit < 0)
        limit = 0;
    // Count characters as the platform's 16-bit text would: every GBK character
    // is one unit.
    size_t i = 0;
    int chars = 0;
    while (i < text.size() && chars < limit) {
        i += IsGbkLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        ++chars;
    }
    if (i >= text.size())
        return std::string(text);
    std::string out(text.substr(0, i));
    out.append(suffix);
    return out;
}

namespace {

size_t Utf8Length(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Whether any character of the text is a double-byte character of the code
// page: only those are drawn twice as wide. A no-break space, a euro sign
// (one byte there) or a character the code page lacks is not one.
bool HasDoubleByteCharacter(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const size_t len =
            std::min(text.size() - i, Utf8Length(static_cast<unsigned char>(text[i])));
        if (len > 1) {
            const std::optional<std::string> gbk = Utf8ToGbk(text.substr(i, len));
            if (gbk && gbk->size() == 2)
                return true;
        }
        i += len;
    }
    return false;
}

}  // namespace

std::string ShortenTextUtf8(std::string_view text, int limit, std::string_view suffix) {
    if (text.empty())
        return {};
    if (HasDoubleByteCharacter(text))
        limit /= 2;
    if (limit < 0)
        limit = 0;
    size_t i = 0;
    int units = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t len = Utf8Length(c);
        const int need = len == 4 ? 2 : 1;  // a supplementary character is two units
        if (units + need > limit)
            break;
        units += need;
        i = std::min(text.size(), i + len);
    }
    if (i >= text.size())
        return std::string(text);
    std::string out(text.substr(0, i));
    out.append(suffix);
    return out;
}

std::string TextBetween(std::string_view text, std::string_view start, std::string_view end) {
    if (text.empty())
        return {};
    size_t p = text.find(start);
    if (p == std::string_view::npos)
        return {};
    std::string_view rest = text.substr(p + start.size());
    size_t q = rest.find(end);
    if (q == std::string_view::npos)
        return {};
    return std::string(rest.substr(0, q));
}

std::string_view CutTextBetween(std::string_view& source, std::string_view start,
                                std::string_view end) {
    if (source.empty())
        return {};
    size_t p = source.find(start);
    if (p == std::string_view::npos)
        return {};
    size_t body = p + start.size();
    size_t q = source.find(end, body);
    if (q == std::string_view::npos)
        return {};
    std::string_view result = source.substr(body, q - body);
    source.remove_prefix(q + end.size());
    return result;
}

std::string CutTextBetween(std::string& source, std::string_view start, std::string_view end) {
    std::string_view rest = source;
    std::string result(CutTextBetween(rest, start, end));
    source.erase(0, source.size() - rest.size());
    return result;
}

void ReplaceChar(std::string& s, char from, char to) {
    for (char& c : s) {
        if (c == from)
            c = to;
    }
}

std::string LastPathSegment(std::string_view address) {
    std::string s(address);
    ReplaceChar(s, '\\', '/');
    size_t p = s.rfind('/');
    return p == std::string::npos ? s : s.substr(p + 1);
}

std::string AnchorOf(std::string_view address) {
    // Every marker holds a "#": most paths have none and need no copy.
    if (address.find('#') == std::string_view::npos)
        return {};
    // ASCII lower-casing keeps every byte in place, so positions found in the
    // lower-case copy index the address itself.
    std::string low = GbkLower(address);
    std::string_view marker = ".htm#";
    size_t pos = low.find(marker);
    if (pos == std::string::npos) {
        marker = ".html#";
        pos = low.find(marker);
    }
    if (pos == std::string::npos && low.find("about:") != std::string::npos) {
        marker = "#";
        pos = low.find(marker);
    }
    if (pos == std::string::npos)
        return {};
    return std::string(address.substr(pos + marker.size()));
}

std::string AsciiLower(std::string_view text) {
    std::string s(text);
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return s;
}

namespace {

UrlCachePurger& Purger() {
    static UrlCachePurger purger;
    return purger;
}

}  // namespace

void SetUrlCachePurger(UrlCachePurger purger) {
    Purger() = std::move(purger);
}

bool PurgeUrlCache(std::string_view address) {
    const UrlCachePurger& p = Purger();
    return p ? p(address) : false;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

}  // namespace q3
