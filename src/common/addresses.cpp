#include "common/addresses.h"

#include <cctype>

#include "common/gbk.h"
#include "common/text.h"

namespace q3 {
namespace {

constexpr std::string_view kDocumentPrefix = "qbx://reader/";

bool IsSchemeChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

// The byte of the escape at text[at], or -1 when no escape starts there.
int EscapedByte(std::string_view text, size_t at) {
    if (at + 2 >= text.size() || text[at] != '%')
        return -1;
    const int high = HexValue(text[at + 1]);
    const int low = HexValue(text[at + 2]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

}  // namespace

std::string AddressScheme(std::string_view address) {
    if (address.empty() || std::isalpha(static_cast<unsigned char>(address.front())) == 0)
        return {};
    size_t end = 0;
    while (end < address.size() && IsSchemeChar(address[end]))
        ++end;
    if (end == address.size() || address[end] != ':')
        return {};
    const std::string_view name = address.substr(0, end);
    const std::string_view rest = address.substr(end + 1);
    // A dot belongs to a host name, and digits after the colon are a port.
    if (name.find('.') != std::string_view::npos ||
        (!rest.empty() && std::isdigit(static_cast<unsigned char>(rest.front())) != 0)) {
        return {};
    }
    return AsciiLower(name);
}

bool IsWebAddress(std::string_view text) {
    const std::string low = AsciiLower(text.substr(0, 8));
    return low.rfind("http://", 0) == 0 || low.rfind("https://", 0) == 0;
}

std::string CompleteAddress(std::string_view typed) {
    const std::string_view text = Trim(typed);
    if (text.empty() || !AddressScheme(text).empty())
        return std::string(typed);
    if (text.front() == '/' || text.front() == '.' || text.front() == '~' || text.front() == '\\')
        return std::string(typed);
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= ' ')
            return std::string(typed);
    }
    return "http://" + std::string(text);
}

std::string DisplayAddress(std::string_view address) {
    if (AsciiLower(address.substr(0, kDocumentPrefix.size())) != kDocumentPrefix)
        return std::string(address);
    std::string out(address.substr(0, kDocumentPrefix.size()));
    size_t i = kDocumentPrefix.size();
    while (i < address.size()) {
        // A run of escapes of bytes outside ASCII: one or more characters.
        std::string run;
        size_t end = i;
        for (int b = EscapedByte(address, end); b >= 0x80; b = EscapedByte(address, end)) {
            run.push_back(static_cast<char>(b));
            end += 3;
        }
        if (run.empty()) {
            out.push_back(address[i++]);
            continue;
        }
        if (IsValidUtf8(run))
            out += run;
        else
            out.append(address.substr(i, end - i));
        i = end;
    }
    return out;
}

std::string NavigableAddress(std::string_view address) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(address.size());
    for (unsigned char c : address) {
        if (c > ' ' && c < 0x7F) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        out.push_back('%');
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 0x0F]);
    }
    return out;
}

}  // namespace q3
