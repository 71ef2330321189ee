#include "reader/rules/save_name.h"

#include <glib.h>

#include "common/text.h"

namespace q3::reader {

namespace {

// Longest name most file systems take, in bytes.
constexpr size_t kMaxNameBytes = 255;
constexpr std::string_view kDefaultExtension = ".htm";

// The part of the address after the host that names a resource, without
// query and fragment; empty for a bare host, and for an address with no
// folders at all ("about:blank"), which names no file.
std::string_view PathPart(std::string_view address) {
    address = address.substr(0, address.find_first_of("?#"));
    const size_t scheme_end = address.find("://");
    if (scheme_end == std::string_view::npos)
        return {};
    const size_t path_start = address.find('/', scheme_end + 3);
    return path_start == std::string_view::npos ? std::string_view() : address.substr(path_start);
}

std::string LastSegment(std::string_view address) {
    const std::string_view path = PathPart(address);
    const size_t slash = path.find_last_of('/');
    const std::string_view raw = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string decoded = PercentDecode(raw);
    // Escapes that decode to no UTF-8 text are left as they were written.
    if (!g_utf8_validate(decoded.data(), static_cast<gssize>(decoded.size()), nullptr))
        return std::string(raw);
    return decoded;
}

// Separators and control characters cannot stand in a file name; leading
// and trailing blanks and dots make names the desktop hides or mangles.
std::string CleanName(std::string_view name) {
    std::string out;
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        out += (c == '/' || c == '\\' || b < 0x20 || b == 0x7F) ? '_' : c;
    }
    const size_t first = out.find_first_not_of(" .");
    if (first == std::string::npos)
        return {};
    const size_t last = out.find_last_not_of(" .");
    return out.substr(first, last - first + 1);
}

std::string CutToBytes(std::string name, size_t limit) {
    if (name.size() <= limit)
        return name;
    size_t end = limit;
    // Step back to the start of a UTF-8 character.
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    name.resize(end);
    return name;
}

}  // namespace

std::string SaveAsFileName(std::string_view address, std::string_view title) {
    std::string name = CleanName(LastSegment(address));
    if (name.empty()) {
        name = CleanName(title);
        if (name.empty())
            name = "index";
    }
    const bool has_extension = name.find('.') != std::string::npos;
    const size_t room = kMaxNameBytes - (has_extension ? 0 : kDefaultExtension.size());
    name = CutToBytes(std::move(name), room);
    if (!has_extension)
        name += kDefaultExtension;
    return name;
}

}  // namespace q3::reader
