// The page helpers on a real web view: highlighting, view modes, writing a
// generated page, zoom, body style and copying a picture.
#include "browser/page_helpers.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "browser_harness.h"

namespace q3::guitest {
namespace {

// Runs action and waits until the view has finished the load it started.
bool AfterLoad(WebKitWebView* view, const std::function<void()>& action) {
    bool finished = false;
    const gulong id = g_signal_connect(
        view, "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent e, gpointer f) {
            if (e == WEBKIT_LOAD_FINISHED)
                *static_cast<bool*>(f) = true;
        }),
        &finished);
    action();
    const bool ok = RunUntil([&] { return finished; });
    g_signal_handler_disconnect(view, id);
    return ok;
}

class PageHelpersTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        const std::string page =
            "<html><head><title>T</title><style>body{margin:0}</style></head><body>"
            "<p id=\"p\">One ABC, two abc and three Abc.</p>"
            "<script>var abc = 1;</script>"
            "<p id=\"markup\">&lt;b&gt;bold?&lt;/b&gt;</p>"
            "<img id=\"a\" src=\"pic.png\" width=\"40\" height=\"30\"><img id=\"b\" "
            "src=\"pic.png\">"
            "<img id=\"c\" src=\"pic.png\">"
            "<table><tr><td id=\"cell\" background=\"pic.png\">cell text</td><td id=\"plain\">"
            "kept</td></tr></table></body></html>";
        OpenBook(WriteBook(dir, "helpers.qbx",
                           MakeContents({{"Page", 2, "page.htm"}}, {{"", 3, "pic.png"}}),
                           {page, MakePng(40, 30, 0x20CC20)}));
        ASSERT_TRUE(Load("qbx://reader/page.htm"));
    }
};

TEST_F(PageHelpersTest, HighlightWrapsEveryMatchKeepingThePagesCase) {
    int matches = -1;
    browser::HighlightText(*browser, "abc", [&](int n) { matches = n; });
    ASSERT_TRUE(RunUntil([&] { return matches >= 0; }));
    EXPECT_EQ(matches, 3);  // the script's "abc" is not page text
    EXPECT_EQ(Js("Array.from(document.querySelectorAll('#p span')).map(s => s.textContent)"
                 ".join(',')"),
              "ABC,abc,Abc");
    EXPECT_EQ(Js("document.querySelector('#p span').getAttribute('style')"),
              "background:yellow;color:red");
    // Running it again wraps the found text once more.
    matches = -1;
    browser::HighlightText(*browser, "ABC", [&](int n) { matches = n; });
    ASSERT_TRUE(RunUntil([&] { return matches >= 0; }));
    EXPECT_EQ(Js("document.querySelectorAll('#p span span').length"), "3");
}

TEST_F(PageHelpersTest, RegressionSearchTextReachesThePageAsData) {
    // A word that would break out of a spliced script string.
    int matches = -1;
    browser::HighlightText(*browser, "\"); document.title='owned'; (\"",
                           [&](int n) { matches = n; });
    ASSERT_TRUE(RunUntil([&] { return matches >= 0; }));
    EXPECT_EQ(matches, 0);
    EXPECT_EQ(Js("document.title"), "T");
}

TEST_F(PageHelpersTest, NoImageModeRemovesEveryPictureAndBackgroundCell) {
    bool done = false;
    browser::ApplyViewMode(*browser, browser::kNoImageMode, [&] { done = true; });
    ASSERT_TRUE(RunUntil([&] { return done; }));
    // Adjacent pictures go in one pass.
    EXPECT_EQ(Js("document.images.length"), "0");
    EXPECT_EQ(Js("document.getElementById('cell') === null"), "true");
    EXPECT_EQ(Js("document.getElementById('plain').textContent"), "kept");
}

TEST_F(PageHelpersTest, RegressionTextModeShowsMarkupAsText) {
    bool done = false;
    browser::ApplyViewMode(*browser, browser::kTextMode, [&] { done = true; });
    ASSERT_TRUE(RunUntil([&] { return done; }));
    EXPECT_EQ(Js("document.body.children.length"), "1");
    EXPECT_EQ(Js("document.body.firstChild.tagName"), "PRE");
    EXPECT_EQ(Js("document.querySelectorAll('b').length"), "0");
    EXPECT_NE(Js("document.body.textContent.indexOf('<b>bold?</b>') >= 0"), "false");
}

TEST_F(PageHelpersTest, WriteHtmlShowsExactlyTheTextAtAboutBlank) {
    const std::string html = "<html><body><p id=\"w\">written 中文</p></body></html>";
    ASSERT_TRUE(AfterLoad(view(), [&] { browser::WriteHtml(*browser, html); }));
    EXPECT_EQ(Js("document.getElementById('w').textContent"), "written 中文");
    EXPECT_EQ(browser::DocumentUrl(*browser), "about:blank");
}

TEST_F(PageHelpersTest, WriteHtmlOnANeverLoadedBrowserDoesNothing) {
    browser::WebBrowser fresh;
    browser::WriteHtml(fresh, "<p>x</p>");
    Pump(200ms);
    EXPECT_FALSE(fresh.HasDocument());
    EXPECT_EQ(browser::DocumentUrl(fresh), "about:blank");
}

TEST_F(PageHelpersTest, ZoomAndBodyStyle) {
    browser::SetZoom(*browser, 100);
    EXPECT_DOUBLE_EQ(webkit_web_view_get_zoom_level(view()), 1.0);
    browser::SetZoom(*browser, 110);
    EXPECT_DOUBLE_EQ(webkit_web_view_get_zoom_level(view()), 1.1);
    browser::SetBodyStyle(*browser, "background-color: #A6CAF0; font-size:12px");
    ASSERT_TRUE(RunUntil([&] {
        return Js("getComputedStyle(document.body).backgroundColor") == "rgb(166, 202, 240)";
    }));
}

TEST_F(PageHelpersTest, CopyImageAtPutsThePictureOnTheClipboard) {
    ASSERT_TRUE(RunUntil([&] { return Js("document.getElementById('a').complete") == "true"; }));
    const auto x = Js("Math.round(document.getElementById('a').getBoundingClientRect().left + 5)");
    const auto y = Js("Math.round(document.getElementById('a').getBoundingClientRect().top + 5)");
    ASSERT_TRUE(x && y);
    std::optional<bool> copied;
    std::string asked;
    browser::CopyImageAt(
        *browser, std::stoi(*x), std::stoi(*y),
        [&](const std::string& address) -> std::optional<std::string> {
            asked = address;
            std::string body;
            srv.ReadDataByStream(address, body);
            return body;
        },
        [&](bool ok) { copied = ok; });
    ASSERT_TRUE(RunUntil([&] { return copied.has_value(); }));
    EXPECT_TRUE(*copied) << "asked for " << asked;
    EXPECT_EQ(asked, "qbx://reader/pic.png");
    GdkPixbuf* image = gtk_clipboard_wait_for_image(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(image), 40);
    g_object_unref(image);

    // Text is not a picture.
    copied.reset();
    browser::CopyImageAt(*browser, 2, 2, {}, [&](bool ok) { copied = ok; });
    ASSERT_TRUE(RunUntil([&] { return copied.has_value(); }));
    EXPECT_FALSE(*copied);
}

TEST(JsonString, EscapesWhatWouldEndTheLiteral) {
    EXPECT_EQ(browser::JsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
    EXPECT_EQ(browser::JsonString("x\xE2\x80\xA8y"), "\"x\\u2028y\"");
    EXPECT_EQ(browser::JsonString("中文"), "\"中文\"");
}

}  // namespace
}  // namespace q3::guitest
