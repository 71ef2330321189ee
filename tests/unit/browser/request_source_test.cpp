// Who may read the open book: the decision from a request's headers and the
// reader's record of the view it came from.
#include <gtest/gtest.h>

#include <string>

#include "scheme/request_source.h"

namespace q3::server::scheme {
namespace {

constexpr const char* kIndex = "qbx://reader/index.htm";

// A request for the index from a view the reader knows, showing document.
RequestSource FromView(std::string document) {
    RequestSource s;
    s.address = kIndex;
    s.known_view = true;
    s.document = std::move(document);
    return s;
}

struct SourceCase {
    const char* name;
    RequestSource source;
    bool from_book;
};

RequestSource With(RequestSource s, void (*change)(RequestSource&)) {
    change(s);
    return s;
}

const SourceCase kCases[] = {
    // The book's own pages: links, pictures, frames, same-origin requests.
    {"BookPage", FromView("qbx://reader/a.htm"), true},
    {"BookPageOtherHostAndCase", FromView("QBX://Other/a.htm"), true},
    {"BookPageWithItsOrigin",
     With(FromView("qbx://reader/a.htm"), [](RequestSource& s) { s.origin = "qbx://reader"; }),
     true},
    {"BookPageWithItsReferer",
     With(FromView("qbx://reader/a.htm"),
          [](RequestSource& s) { s.referer = "qbx://reader/a.htm"; }),
     true},
    // A web page framed by a book page, or a frame it made: the view shows
    // the book, the headers give the real origin away.
    {"WebFrameInBookPage",
     With(FromView("qbx://reader/a.htm"),
          [](RequestSource& s) { s.origin = "http://127.0.0.1:8080"; }),
     false},
    {"OpaqueOriginInBookPage",
     With(FromView("qbx://reader/a.htm"), [](RequestSource& s) { s.origin = "null"; }), false},
    {"EmptyOriginInBookPage",
     With(FromView("qbx://reader/a.htm"), [](RequestSource& s) { s.origin = ""; }), false},
    {"WebRefererInBookPage",
     With(FromView("qbx://reader/a.htm"),
          [](RequestSource& s) { s.referer = "https://example.com/x"; }),
     false},
    // The headers name the frame that asked, whatever the view's main frame
    // shows; an origin lost on a redirect is no one's.
    {"BookFrameInViewShowingWebPage",
     With(FromView("http://127.0.0.1:8080/"),
          [](RequestSource& s) { s.referer = "qbx://reader/a.htm"; }),
     true},
    {"BookRefererAfterRedirectOfItsOrigin",
     With(FromView("qbx://reader/a.htm"),
          [](RequestSource& s) {
              s.origin = "null";
              s.referer = "qbx://reader/a.htm";
          }),
     false},
    {"BookOriginFromUnknownView",
     With(FromView(""),
          [](RequestSource& s) {
              s.known_view = false;
              s.origin = "qbx://reader";
          }),
     false},
    // Views showing anything else.
    {"WebPage", FromView("http://127.0.0.1:8080/probe.html"), false},
    {"FilePage", FromView("file:///tmp/a.html"), false},
    {"DataPage", FromView("data:text/html,x"), false},
    {"PageWrittenAtAboutBlank", FromView("about:blank"), false},
    {"NothingShownYet", FromView(""), false},
    {"SchemeLookalike", FromView("qbxx://reader/a.htm"), false},
    {"UnknownView",
     With(FromView("qbx://reader/a.htm"), [](RequestSource& s) { s.known_view = false; }), false},
    // The reader's own load of a book page while the view shows a web page.
    {"ReaderLoad",
     With(FromView("http://127.0.0.1:8080/"), [](RequestSource& s) { s.pending_load = kIndex; }),
     true},
    {"ReaderLoadWithFragment",
     With(FromView("about:blank"),
          [](RequestSource& s) {
              s.pending_load = "qbx://reader/index.htm#part2";
              s.address = "qbx://reader/index.htm";
          }),
     true},
    {"ReaderLoadOfAnotherAddress",
     With(FromView("http://127.0.0.1:8080/"),
          [](RequestSource& s) { s.pending_load = "qbx://reader/other.htm"; }),
     false},
    // The page still shown asks with its own origin during the reader's load.
    {"WebPageDuringReaderLoad",
     With(FromView("http://127.0.0.1:8080/"),
          [](RequestSource& s) {
              s.pending_load = kIndex;
              s.origin = "http://127.0.0.1:8080";
          }),
     false},
    {"NoScheme", With(FromView("qbx://reader/a.htm"), [](RequestSource& s) { s.address = "x"; }),
     false},
};

class ComesFromBookTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(ComesFromBookTest, Decides) {
    EXPECT_EQ(ComesFromBook(GetParam().source), GetParam().from_book);
}

INSTANTIATE_TEST_SUITE_P(Sources, ComesFromBookTest, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(SchemeOfTest, ReadsTheSchemeOnly) {
    EXPECT_EQ(SchemeOf("QBX://reader/"), "qbx");
    EXPECT_EQ(SchemeOf("about:blank"), "about");
    EXPECT_EQ(SchemeOf("web+x.y-z:1"), "web+x.y-z");
    EXPECT_EQ(SchemeOf("null"), "");
    EXPECT_EQ(SchemeOf(":x"), "");
    EXPECT_EQ(SchemeOf("1a:x"), "");
    EXPECT_EQ(SchemeOf("/path:with/colon"), "");
}

}  // namespace
}  // namespace q3::server::scheme
