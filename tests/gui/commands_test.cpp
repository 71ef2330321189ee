// Find in page, page properties and view source through the page commands.
#include <gtest/gtest.h>

#include <cstdio>

#include "browser/browser_commands.h"
#include "browser/find_dialog.h"
#include "browser_harness.h"
#include "common/gbk.h"

namespace q3::guitest {
namespace {

using browser::BrowserCommands;
using browser::FindPageWindow;

// "读者" in GBK.
const std::string kReaderGbk = "\xB6\xC1\xD5\xDF";

class CommandsTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        page =
            "<html><head><title>apples</title></head><body>"
            "<p>Apple one, apple two, APPLE three. " +
            kReaderGbk + "</p></body></html>";
        OpenBook(WriteBook(dir, "f.qbx", MakeContents({{"Page", 2, "page.htm"}}, {}), {page}));
        commands = std::make_unique<BrowserCommands>(*window);
    }
    void TearDown() override {
        commands.reset();
        BrowserTest::TearDown();
    }
    std::string Served() {
        std::string out;
        srv.ReadDataByStream("qbx://reader/page.htm", out);
        return out;
    }
    std::string page;
    std::unique_ptr<BrowserCommands> commands;
};

TEST_F(CommandsTest, BrowserWithoutPageTakesNoCommand) {
    EXPECT_EQ(FindPageWindow(*browser), nullptr);
    for (int command :
         {browser::kCommandFind, browser::kCommandProperties, browser::kCommandViewSource}) {
        EXPECT_FALSE(commands->SendBrowserCommand(*browser, command));
    }
    EXPECT_EQ(commands->Finder(), nullptr);
    EXPECT_EQ(commands->OpenWindowCount(), 0u);
}

TEST_F(CommandsTest, UnknownCommandDoesNothing) {
    ASSERT_TRUE(Load("qbx://reader/page.htm"));
    EXPECT_EQ(FindPageWindow(*browser), view());
    EXPECT_FALSE(commands->SendBrowserCommand(*browser, 12345));
    EXPECT_EQ(commands->OpenWindowCount(), 0u);
}

TEST_F(CommandsTest, FindCountsAndHighlightsMatches) {
    ASSERT_TRUE(Load("qbx://reader/page.htm"));
    ASSERT_TRUE(commands->SendBrowserCommand(*browser, browser::kCommandFind));
    browser::FindDialog* find = commands->Finder();
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->BoundView(), view());
    EXPECT_TRUE(find->get_visible());
    EXPECT_EQ(find->get_transient_for(), window.get());

    find->Search("apple");
    ASSERT_TRUE(RunUntil([&] { return find->LastFound() && find->MatchCount() == 3; }, 10s));
    find->SetMatchCase(true);
    find->Search("apple");
    ASSERT_TRUE(RunUntil([&] { return find->MatchCount() == 1; }, 10s));
    find->Search("读者");
    ASSERT_TRUE(RunUntil([&] { return find->LastFound() && find->MatchCount() == 1; }, 10s));
    find->Search("pear");
    ASSERT_TRUE(RunUntil([&] { return !find->LastFound() && find->MatchCount() == 0; }, 10s));
}

// Regression: the find window stood over the middle of the page, covering
// the match it had just highlighted.
TEST_F(CommandsTest, RegressionTheFindWindowDoesNotCoverTheMatch) {
    // A word at the top right, where the window first stands, and one at
    // the bottom right, where it goes to get out of the way.
    srv.FreeDocument();
    OpenBook(WriteBook(dir, "corners.qbx", MakeContents({{"Page", 2, "corners.htm"}}, {}),
                       {"<html><body style=\"margin:0;height:100vh;position:relative\">"
                        "<span style=\"position:absolute;right:40px;top:30px\">upper</span>"
                        "<span style=\"position:absolute;right:40px;bottom:30px\">lower</span>"
                        "</body></html>"}));
    ASSERT_TRUE(Load("qbx://reader/corners.htm"));
    ASSERT_TRUE(commands->SendBrowserCommand(*browser, browser::kCommandFind));
    browser::FindDialog* find = commands->Finder();
    ASSERT_TRUE(RunUntil([&] { return find->get_mapped(); }, 10s));
    const auto covers_match = [&] {
        // The selected match in screen pixels against the window's place.
        const std::optional<std::string> box =
            Js("(() => { const r = getSelection().getRangeAt(0).getBoundingClientRect();"
               " return [r.left, r.top, r.right, r.bottom].map(Math.round).join(' '); })()");
        int l = 0, t = 0, r = 0, b = 0;
        if (!box || std::sscanf(box->c_str(), "%d %d %d %d", &l, &t, &r, &b) != 4)
            return true;
        int ox = 0, oy = 0;
        gdk_window_get_origin(gtk_widget_get_window(GTK_WIDGET(view())), &ox, &oy);
        GtkAllocation a;
        gtk_widget_get_allocation(GTK_WIDGET(view()), &a);
        if (!gtk_widget_get_has_window(GTK_WIDGET(view()))) {
            ox += a.x;
            oy += a.y;
        }
        int x = 0, y = 0, width = 0, height = 0;
        find->get_position(x, y);
        find->get_size(width, height);
        return Gdk::Rectangle(x, y, width, height)
            .intersects(Gdk::Rectangle(ox + l, oy + t, r - l, b - t));
    };
    for (const char* word : {"upper", "lower", "upper"}) {
        find->Search(word);
        ASSERT_TRUE(RunUntil([&] { return find->LastFound(); }, 10s)) << word;
        EXPECT_TRUE(RunUntil([&] { return !covers_match(); }, 5s)) << word;
    }
}

TEST_F(CommandsTest, FindFollowsTheBrowserItIsSentFor) {
    ASSERT_TRUE(Load("qbx://reader/page.htm"));
    ASSERT_TRUE(commands->SendBrowserCommand(*browser, browser::kCommandFind));
    auto other = std::make_unique<browser::WebBrowser>();
    ASSERT_TRUE(Load(*other, "qbx://reader/page.htm"));
    ASSERT_TRUE(commands->SendBrowserCommand(*other, browser::kCommandFind));
    EXPECT_EQ(commands->Finder()->BoundView(), other->View());
    // The dialog holds its view: a closed tab leaves it searching nothing harmful.
    other.reset();
    commands->Finder()->Search("apple");
    Pump(200ms);
}

TEST_F(CommandsTest, PropertiesShowAddressTitleTypeAndSize) {
    ASSERT_TRUE(Load("qbx://reader/page.htm"));
    ASSERT_TRUE(RunUntil([&] { return browser->Title() == "apples"; }));
    ASSERT_TRUE(commands->SendBrowserCommand(*browser, browser::kCommandProperties));
    browser::PagePropertiesDialog* props = commands->LastProperties();
    ASSERT_NE(props, nullptr);
    EXPECT_EQ(props->AddressText(), "qbx://reader/page.htm");
    EXPECT_EQ(props->TitleText(), "apples");
    EXPECT_EQ(props->TypeText(), "text/html");
    ASSERT_TRUE(RunUntil([&] { return props->PageSize().has_value(); }));
    EXPECT_EQ(*props->PageSize(), Served().size());
    EXPECT_EQ(props->SizeLabel(), browser::SizeText(Served().size()));
}

TEST_F(CommandsTest, ViewSourceShowsTheServedBytesAsText) {
    ASSERT_TRUE(Load("qbx://reader/page.htm"));
    ASSERT_TRUE(commands->SendBrowserCommand(*browser, browser::kCommandViewSource));
    browser::SourceWindow* source = commands->LastSource();
    ASSERT_NE(source, nullptr);
    ASSERT_TRUE(RunUntil([&] { return source->Loaded(); }));
    EXPECT_EQ(source->Text(), GbkToUtf8(Served()));
    EXPECT_EQ(source->get_title(), "源文件 - qbx://reader/page.htm");
}

TEST_F(CommandsTest, ClosedWindowsAreFreed) {
    ASSERT_TRUE(Load("qbx://reader/page.htm"));
    ASSERT_TRUE(commands->SendBrowserCommand(*browser, browser::kCommandViewSource));
    ASSERT_TRUE(commands->SendBrowserCommand(*browser, browser::kCommandProperties));
    EXPECT_EQ(commands->OpenWindowCount(), 2u);
    commands->LastSource()->hide();
    ASSERT_TRUE(RunUntil([&] { return commands->OpenWindowCount() == 1; }));
    EXPECT_EQ(commands->LastSource(), nullptr);
    EXPECT_NE(commands->LastProperties(), nullptr);
    // Freed with a close still pending: nothing runs afterwards.
    commands->LastProperties()->hide();
    commands.reset();
    Pump(200ms);
}

TEST(PageTextTest, BytesBecomeText) {
    EXPECT_EQ(browser::PageBytesToText("plain"), "plain");
    EXPECT_EQ(browser::PageBytesToText("中文"), "中文");
    EXPECT_EQ(browser::PageBytesToText(kReaderGbk), "读者");
    EXPECT_EQ(browser::PageBytesToText(std::string("a\0b", 3)),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(PageTextTest, SizeText) {
    EXPECT_EQ(browser::SizeText(0), "0 字节");
    EXPECT_EQ(browser::SizeText(1023), "1023 字节");
    EXPECT_EQ(browser::SizeText(1024), "1.0 KB (1024 字节)");
    EXPECT_EQ(browser::SizeText(1536), "1.5 KB (1536 字节)");
    EXPECT_EQ(browser::SizeText(5 * 1024 * 1024), "5120.0 KB (5242880 字节)");
}

}  // namespace
}  // namespace q3::guitest
