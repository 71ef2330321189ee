// Where a request for the book comes from, and whether that is the book
// itself. The open book is private to the reader: only its own pages and
// the main-frame loads the reader starts may read it. The browser's rule
// that keeps web pages away from a local scheme does not cover every route
// (a synchronous XMLHttpRequest gets through), so the handler decides again
// from what the platform tells about each request.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace q3::server::scheme {

struct RequestSource {
    // The address as the browser asked for it (UTF-8, percent-encoded).
    std::string address;
    // The request's Origin and Referer headers, when it carried them.
    std::optional<std::string> origin;
    std::optional<std::string> referer;
    // The request came from a web view the reader made and keeps a record of.
    bool known_view = false;
    // The address of the document that view's main frame shows; empty
    // before its first one.
    std::string document;
    // The main-frame load the reader itself started in that view (or that a
    // book page asked for when it opened the view as a window), while that
    // navigation lasts; empty when there is none.
    std::string pending_load;
};

// True for a request whose headers name a page of the book, or, when it
// carries none, for one from a view showing a book page or for the
// main-frame load the reader asked for. Everything else is refused: other
// origins, opaque ("null") origins, pages the reader wrote at about:blank,
// views it does not know.
bool ComesFromBook(const RequestSource& source);

// The scheme of an address, in lower case; empty when it has none.
std::string SchemeOf(std::string_view address);
// Whether address (or an origin) is in the given scheme.
bool InScheme(std::string_view address, std::string_view scheme);

}  // namespace q3::server::scheme
