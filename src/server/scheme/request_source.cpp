#include "scheme/request_source.h"

#include <cctype>

namespace q3::server::scheme {
namespace {

bool SchemeChar(char c, bool first) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalpha(u))
        return true;
    return !first && (std::isdigit(u) || c == '+' || c == '-' || c == '.');
}

// The fragment never reaches the server's lookup; a load asked for with one
// may be requested with or without it.
std::string_view WithoutFragment(std::string_view address) {
    return address.substr(0, address.find('#'));
}

}  // namespace

std::string SchemeOf(std::string_view address) {
    const size_t colon = address.find(':');
    if (colon == 0 || colon == std::string_view::npos)
        return {};
    std::string scheme;
    for (size_t i = 0; i < colon; ++i) {
        if (!SchemeChar(address[i], i == 0))
            return {};
        scheme.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(address[i]))));
    }
    return scheme;
}

bool InScheme(std::string_view address, std::string_view scheme) {
    return !scheme.empty() && SchemeOf(address) == scheme;
}

bool ComesFromBook(const RequestSource& source) {
    const std::string scheme = SchemeOf(source.address);
    if (scheme.empty() || !source.known_view)
        return false;
    // The headers name the frame that asked, whatever its view shows: a
    // book page, or a web page framed by one, a data: or sandboxed frame
    // ("null"), a page written at about:blank. Pages cannot forge them.
    if (source.origin || source.referer) {
        return (!source.origin || InScheme(*source.origin, scheme)) &&
               (!source.referer || InScheme(*source.referer, scheme));
    }
    // Without them only the view is known: the page its main frame shows,
    // or the main-frame load the reader itself asked for.
    if (InScheme(source.document, scheme))
        return true;
    return !source.pending_load.empty() &&
           WithoutFragment(source.pending_load) == WithoutFragment(source.address);
}

}  // namespace q3::server::scheme
