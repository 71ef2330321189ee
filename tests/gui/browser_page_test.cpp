// Pages of a document made by the project's writer, shown through the qbx:
// scheme in a real web view.
#include <gtest/gtest.h>

#include "browser/host_flags.h"
#include "browser_harness.h"

namespace q3::guitest {
namespace {

// "中文标题" and "中文正文" in GBK.
const std::string kTitleGbk = "\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2";
const std::string kTextGbk = "\xD6\xD0\xCE\xC4\xD5\xFD\xCE\xC4";
const std::string kTitleUtf8 = "中文标题";
const std::string kTextUtf8 = "中文正文";
constexpr size_t kBigSize = 5 * 1024 * 1024;

// Pseudo-random letters, so the 5 MB record is not one repeated byte.
std::string BigBody() {
    std::string s = "<p id=\"big\">";
    uint32_t x = 12345;
    while (s.size() < kBigSize) {
        x = x * 1103515245u + 12345u;
        s += static_cast<char>('a' + (x >> 16) % 26);
    }
    return s;
}

class PageTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        const std::string page = "<html><head><title>" + kTitleGbk +
                                 "</title><link rel=\"stylesheet\" href=\"style.css\">"
                                 "<script src=\"app.js\"></script></head><body>"
                                 "<p id=\"t\">" +
                                 kTextGbk +
                                 "</p><img id=\"pic\" src=\"pic.png\">"
                                 "<img id=\"deep\" src=\"img/deep.png\"></body></html>";
        big = BigBody();
        const std::string contents = MakeContents(
            {{"Index", 2, "index.htm"}, {"Big", 6, "big.htm"}, {"Empty", 7, "empty.txt"}},
            {{"", 3, "pic.png"},
             {"", 4, "style.css"},
             {"", 5, "app.js"},
             {"", 8, "img\\deep.png"}});
        OpenBook(WriteBook(dir, "pages.qbx", contents,
                           {page, MakePng(40, 30, 0xCC2020), "p#t { color: rgb(0, 128, 0); }",
                            "window.scriptRan = 'yes';", big, "", MakePng(12, 34, 0x2020CC)}));
    }
    std::string big;
};

TEST_F(PageTest, PageRendersWithItsPicturesStyleAndScript) {
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    ASSERT_TRUE(RunUntil([&] {
        return Js("document.images[0].complete && document.images[1].complete") == "true";
    }));
    EXPECT_EQ(Js("document.getElementById('pic').naturalWidth"), "40");
    EXPECT_EQ(Js("document.getElementById('pic').naturalHeight"), "30");
    // A picture in a sub-folder, through its backslash path.
    EXPECT_EQ(Js("document.getElementById('deep').naturalHeight"), "34");
    EXPECT_EQ(Js("getComputedStyle(document.getElementById('t')).color"), "rgb(0, 128, 0)");
    EXPECT_EQ(Js("window.scriptRan"), "yes");
}

TEST_F(PageTest, PageWithoutCharsetIsReadAsGbkAndSniffedAsHtml) {
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    EXPECT_EQ(Js("document.getElementById('t').textContent"), kTextUtf8);
    EXPECT_EQ(Js("document.contentType"), "text/html");
    EXPECT_EQ(Js("document.characterSet"), "GBK");
}

TEST_F(PageTest, TitleArrivesInTheTitleEvent) {
    std::vector<std::string> titles;
    browser->OnTitleChange = [&](browser::WebBrowser& sender, const std::string& title) {
        EXPECT_EQ(&sender, browser.get());
        titles.push_back(title);
    };
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    ASSERT_TRUE(RunUntil([&] { return !titles.empty() && titles.back() == kTitleUtf8; }));
    EXPECT_EQ(browser->Title(), kTitleUtf8);
}

TEST_F(PageTest, ServedBytesAreTheContentServersBody) {
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    std::string expected;
    ASSERT_TRUE(srv.ReadDataByStream("qbx://reader/index.htm", expected));
    EXPECT_EQ(PageBytes(view()), expected);
    EXPECT_EQ(expected.substr(0, 6), "<HTML>");
}

TEST_F(PageTest, FiveMegabyteRecordArrivesWhole) {
    ASSERT_TRUE(Load("qbx://reader/big.htm"));
    const std::optional<std::string> bytes = PageBytes(view());
    ASSERT_TRUE(bytes.has_value());
    ASSERT_EQ(bytes->size(), big.size() + 6);
    EXPECT_TRUE(*bytes == "<HTML>" + big);
    EXPECT_EQ(Js("document.getElementById('big').textContent.length"),
              std::to_string(big.size() - 12));
}

// The browser answers a failed load with a page of its own and stops the
// signal there, so the tests watch the emission itself.
guint LoadFailedSignal() {
    return g_signal_lookup("load-failed", WEBKIT_TYPE_WEB_VIEW);
}

gulong WatchLoadFailures(bool& failed) {
    return g_signal_add_emission_hook(
        LoadFailedSignal(), 0,
        +[](GSignalInvocationHint*, guint, const GValue*, gpointer f) -> gboolean {
            *static_cast<bool*>(f) = true;
            return TRUE;  // stay hooked
        },
        &failed, nullptr);
}

TEST_F(PageTest, ZeroByteBodyCompletesEmpty) {
    bool failed = false;
    const gulong hook = WatchLoadFailures(failed);
    ASSERT_TRUE(Load("qbx://reader/empty.txt"));
    EXPECT_FALSE(failed);
    EXPECT_EQ(browser->LocationUrl(), "qbx://reader/empty.txt");
    // WebKit sniffs nothing into an empty text page. (Its resource data
    // call hands an empty resource back as one NUL byte, so the page is
    // checked instead.)
    EXPECT_EQ(Js("document.contentType"), "text/plain");
    EXPECT_EQ(Js("document.documentElement.outerHTML"), "<html><head></head><body></body></html>");
    g_signal_remove_emission_hook(LoadFailedSignal(), hook);
}

TEST_F(PageTest, UnknownAddressGetsThePlaceholderPage) {
    ASSERT_TRUE(Load("qbx://reader/nothing/here.htm"));
    EXPECT_EQ(PageBytes(view()), std::string(server::kPlaceholderPage));
    EXPECT_EQ(Js("document.body.innerHTML"), "<!--NODOC-->");
}

TEST_F(PageTest, DocumentCompleteNamesTheAddress) {
    std::vector<std::string> done;
    browser->OnDocumentComplete = [&](browser::WebBrowser&, const std::string& address) {
        done.push_back(address);
    };
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], "qbx://reader/index.htm");
    EXPECT_FALSE(browser->Busy());
    EXPECT_TRUE(browser->HasDocument());
}

TEST_F(PageTest, DeactivatedSchemeFailsCleanly) {
    server::scheme::TDynPtl& dyn = server::scheme::ProcessDynPtl();
    bool failed = false;
    const gulong hook = WatchLoadFailures(failed);
    dyn.SetActive(false);
    const int before = binding->Requests();
    const bool loaded = Load("qbx://reader/index.htm");
    dyn.SetActive(true);
    g_signal_remove_emission_hook(LoadFailedSignal(), hook);
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(failed);
    EXPECT_EQ(binding->Requests(), before);
    // Active again, the same address is served.
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    EXPECT_EQ(Js("document.getElementById('t').textContent"), kTextUtf8);
}

TEST_F(PageTest, RefusedAddressFailsWithoutData) {
    server::scheme::TDynPtl& dyn = server::scheme::ProcessDynPtl();
    dyn.OnAccept = [](std::string_view address, bool& accept) {
        accept = address.find("index") == std::string_view::npos;
    };
    bool failed = false;
    const gulong hook = WatchLoadFailures(failed);
    const int before = binding->Requests();
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    g_signal_remove_emission_hook(LoadFailedSignal(), hook);
    EXPECT_TRUE(failed);
    EXPECT_EQ(binding->Requests(), before);
}

}  // namespace
}  // namespace q3::guitest
