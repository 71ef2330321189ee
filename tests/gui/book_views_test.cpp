// The record of each web view, fed by the real WebKit: however the reader's
// own load of a book page ends, its claim ends with it, and a load that
// replaces another still shows its page.
#include <gtest/gtest.h>

#include <string>

#include "browser_harness.h"
#include "scheme/book_views.h"

namespace q3::guitest {
namespace {

constexpr const char* kIndex = "qbx://reader/index.htm";
constexpr const char* kSecret = "the open book";

class BookViewsTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        OpenBook(WriteBook(dir, "v.qbx", MakeContents({{"Index", 2, "index.htm"}}, {}),
                           {"<p id=\"secret\">" + std::string(kSecret) + "</p>"}));
        // A page the reader wrote, shown where no book page is.
        ASSERT_TRUE(Load("about:blank"));
    }

    server::scheme::RequestSource Described() {
        server::scheme::RequestSource source;
        server::scheme::DescribeView(view(), source);
        return source;
    }
    // What a request without headers for the index would be told.
    bool IndexReadable() {
        server::scheme::RequestSource source = Described();
        source.address = kIndex;
        return server::scheme::ComesFromBook(source);
    }
    bool ShowsTheBook() {
        return Js("String(document.getElementById('secret') && "
                  "document.getElementById('secret').textContent)") == kSecret;
    }
};

TEST_F(BookViewsTest, RegressionStoppedReaderLoadLeavesNoClaim) {
    // Stopped before WebKit began it: it sends no signal at all.
    browser->Navigate(kIndex);
    EXPECT_TRUE(IndexReadable());
    browser->Stop();
    Pump(1000ms);
    EXPECT_EQ(Described().pending_load, "");
    EXPECT_FALSE(IndexReadable());

    // Stopped as it begins: WebKit reports it cancelled.
    const gulong id = g_signal_connect(
        view(), "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent e, gpointer b) {
            if (e == WEBKIT_LOAD_STARTED)
                static_cast<browser::WebBrowser*>(b)->Stop();
        }),
        browser.get());
    browser->Navigate(kIndex);
    Pump(1000ms);
    g_signal_handler_disconnect(view(), id);
    EXPECT_EQ(Described().pending_load, "");
    EXPECT_FALSE(IndexReadable());
    EXPECT_EQ(Described().document, "about:blank");
}

TEST_F(BookViewsTest, RegressionRefusedReaderLoadLeavesNoClaim) {
    browser->OnBeforeNavigate = [](browser::WebBrowser&, const std::string& address, bool& cancel) {
        cancel = address == kIndex;
    };
    browser->Navigate(kIndex);
    Pump(1000ms);
    EXPECT_EQ(Described().pending_load, "");
    EXPECT_FALSE(IndexReadable());
    EXPECT_TRUE(binding->Addresses().empty());
}

TEST_F(BookViewsTest, ReaderLoadReplacingAnotherShowsTheBook) {
    browser->Navigate("about:blank#elsewhere");
    browser->Navigate("qbx://reader/missing.htm");
    ASSERT_TRUE(Load(kIndex));
    EXPECT_TRUE(ShowsTheBook());
    EXPECT_EQ(Described().pending_load, "");
    EXPECT_EQ(Described().document, kIndex);

    // A failed load of the book ends its claim too, on the reader's error page.
    ASSERT_TRUE(Load("about:blank"));
    ASSERT_TRUE(Load("qbx://reader/missing.htm"));
    EXPECT_EQ(Described().pending_load, "");
}

}  // namespace
}  // namespace q3::guitest
