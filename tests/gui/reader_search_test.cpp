// The search box beside the address box, the document's properties page and
// the reader's own pages written again on refresh.
#include <gtest/gtest.h>

#include "browser/browser_commands.h"
#include "page_input.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

std::string Spans(browser::WebBrowser& wb) {
    return PageValue(wb,
                     "Array.from(document.querySelectorAll('span')).map(s => "
                     "s.textContent).join('|')");
}

// Marks the page, so that a page written again can be told from the old one.
void MarkPage(browser::WebBrowser& wb) {
    PageValue(wb, "document.body.setAttribute('data-old', '1'); 1");
}

bool Rewritten(browser::WebBrowser& wb, const std::string& title) {
    return Settled(wb, title) &&
           PageValue(wb, "document.body && !document.body.hasAttribute('data-old')") == "true";
}

class SearchBoxTest : public ReaderTest {
  protected:
    // One page whose text holds the word with two blanks before it.
    std::string WriteWordsBook() const {
        doc::QbxWriter writer(doc::DocumentInfo{});
        writer.AddRecord(
            "<ul>\n<li><param name=\"name\" value=\"Words\" id=\"2\"><param name=\"local\" "
            "value=\"words.htm\">\n</ul>\n");
        writer.AddRecord(
            "<html><head><title>Words</title></head><body><p>one  abc two ABC</p>"
            "</body></html>");
        const std::string path = dir_.File("words.qbx");
        writer.WriteFile(path);
        return path;
    }
};

TEST_F(SearchBoxTest, EnterHighlightsTheTextAsTypedAndListsTheWordOnce) {
    ReaderSession session({WriteWordsBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return Settled(*w.home_browser, "Words"); }));
    Gtk::Entry& key = w.address_panel.KeyEntry();
    ASSERT_TRUE(TakeFocus(w, &key));
    key.set_text("  abc ");
    StrokeKey(w, GDK_KEY_Return);
    EXPECT_EQ(w.address_panel.KeyItems(), std::vector<std::string>{"abc"});
    // The blanks are searched too: only the first occurrence has them.
    std::string spans;
    EXPECT_TRUE(PumpUntil([&] { return (spans = Spans(*w.home_browser)) == "\"  abc \""; }))
        << spans;
    key.set_text("ABC");
    StrokeKey(w, GDK_KEY_Return);
    EXPECT_EQ(w.address_panel.KeyItems(), std::vector<std::string>{"abc"});
}

TEST_F(SearchBoxTest, ChoosingAnEngineSearchesAtOnceWithTheWordEscaped) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    TAddressPanel& panel = w.address_panel;
    std::string asked;
    CatchWebNavigations(*w.home_browser, asked);
    // Every search asked of an engine; a choice of engine asks once.
    int searches = 0;
    w.home_browser->OnBeforeNavigate = [&searches, caught = w.home_browser->OnBeforeNavigate](
                                           browser::WebBrowser& sender, const std::string& address,
                                           bool& cancel) {
        searches += address.rfind("https://", 0) == 0 ? 1 : 0;
        caught(sender, address, cancel);
    };
    // Long enough for a second request of the same choice to come through.
    const auto settle = [] { PumpUntil([] { return false; }, std::chrono::milliseconds(300)); };
    panel.KeyEntry().set_text("abc");
    panel.bing_search_item->activate();
    ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "https://www.bing.com/search?q=abc");
    EXPECT_TRUE(panel.bing_search_item->get_active());
    EXPECT_FALSE(panel.page_search_item->get_active());

    // The mode stays checked: Enter in the box asks the same engine. An
    // ampersand or number sign no longer cuts the word short.
    asked.clear();
    ASSERT_TRUE(TakeFocus(w, &panel.KeyEntry()));
    panel.KeyEntry().set_text("a&b c#");
    StrokeKey(w, GDK_KEY_Return);
    ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "https://www.bing.com/search?q=a%26b%20c%23");
    asked.clear();
    settle();
    searches = 0;
    panel.baidu_search_item->activate();
    ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "https://www.baidu.com/s?wd=a%26b%20c%23");
    settle();
    // Regression: the engine losing the check searched a second time.
    EXPECT_EQ(searches, 1);
    asked.clear();
    panel.google_search_item->activate();
    ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "https://www.google.com/search?hl=zh-CN&q=a%26b%20c%23");
    EXPECT_EQ(panel.KeyItems(), (std::vector<std::string>{"abc", "a&b c#"}));
}

TEST_F(SearchBoxTest, FullTextModeSearchesTheDocumentOnlyFromItsPages) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    int searches = 0;
    w.search_pane.full_search_button.signal_clicked().connect([&] { ++searches; });
    ASSERT_TRUE(PumpUntil([&] { return Settled(*w.home_browser, "Cover page"); }));
    w.BuildHomePage();
    ASSERT_TRUE(PumpUntil([&] { return Settled(*w.home_browser, "首页"); }));
    w.side_bar.set_current_page(w.side_bar.page_num(w.resource_pane));

    // The home page has no document to search: the word is only listed.
    w.address_panel.KeyEntry().set_text("first");
    w.address_panel.full_text_search_item->activate();
    EXPECT_EQ(w.address_panel.KeyItems(), std::vector<std::string>{"first"});
    EXPECT_EQ(searches, 0);
    EXPECT_EQ(w.search_pane.search_key_edit.get_text(), "");
    EXPECT_EQ(w.side_bar.get_current_page(), w.side_bar.page_num(w.resource_pane));

    w.ShowFirstPage();
    ASSERT_TRUE(PumpUntil([&] { return Settled(*w.home_browser, "Cover page"); }));
    w.address_panel.KeyEntry().set_text(" second ");
    ASSERT_TRUE(TakeFocus(w, &w.address_panel.KeyEntry()));
    StrokeKey(w, GDK_KEY_Return);
    EXPECT_EQ(searches, 1);
    EXPECT_EQ(w.search_pane.search_key_edit.get_text(), "second");
    EXPECT_EQ(w.side_bar.get_current_page(), w.side_bar.page_num(w.books_page));
    EXPECT_EQ(w.document_tabs.get_current_page(), w.document_tabs.page_num(w.search_pane));
}

class OwnPagesTest : public ReaderTest {
  protected:
    std::string WriteMarkupBook() const {
        doc::DocumentInfo info;
        info.Subject = "<b id=\"injected\">bold</b>";
        info.Remarks = "<img src=\"x\" onerror=\"document.title='run'\">";
        doc::QbxWriter writer(info);
        writer.AddRecord(
            "<ul>\n<li><param name=\"name\" value=\"Cover\" id=\"2\"><param name=\"local\" "
            "value=\"cover.htm\">\n</ul>\n");
        writer.AddRecord("<html><head><title>Cover page</title></head><body>cover</body></html>");
        const std::string path = dir_.File("book.qbx");
        writer.WriteFile(path);
        return path;
    }
};

TEST_F(OwnPagesTest, PropertiesPageShowsTheTextsAsTextRefreshesAndBackReturns) {
    ReaderSession session({WriteMarkupBook()});
    Tfm_Quillon3& w = session.window();
    browser::WebBrowser& wb = *w.home_browser;
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "Cover page"); }));
    // Read a while first: once the engine is idle, text written over the page
    // without a blank page of its own took the page's place in the history.
    PumpFor(std::chrono::seconds(1));
    w.act_QBXAttr.Execute();
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "book.qbx 的属性"); })) << wb.Title();
    // A document page has no page-properties dialog of the browser's.
    EXPECT_EQ(w.browser_commands->LastProperties(), nullptr);
    EXPECT_EQ(PageValue(wb, "document.querySelectorAll('#injected, img').length"), "0");
    EXPECT_EQ(PageValue(wb,
                        "document.body.innerText.includes("
                        "'文档主题：<b id=\"injected\">bold</b>')"),
              "true");
    EXPECT_EQ(PageValue(wb, "document.body.getAttribute('bgcolor')"), "\"#FFFFFF\"");

    MarkPage(wb);
    w.act_Refresh.Execute();
    EXPECT_TRUE(PumpUntil([&] { return Rewritten(wb, "book.qbx 的属性"); }));

    w.act_GoBack.Execute();
    EXPECT_TRUE(PumpUntil([&] { return Settled(wb, "Cover page"); })) << wb.Title();
}

TEST_F(OwnPagesTest, OnAnotherPageTheBrowsersDialogComesFirst) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    browser::WebBrowser& wb = *w.home_browser;
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "首页"); }));
    // No document: only the dialog.
    w.act_QBXAttr.Execute();
    ASSERT_NE(w.browser_commands->LastProperties(), nullptr);
    w.browser_commands->LastProperties()->hide();
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(wb.Title(), "首页");

    w.OpenQbx(WriteMarkupBook());
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "Cover page"); }));
    w.BuildHomePage();
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "首页"); }));
    w.act_QBXAttr.Execute();
    EXPECT_NE(w.browser_commands->LastProperties(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Settled(wb, "book.qbx 的属性"); })) << wb.Title();
}

TEST_F(OwnPagesTest, RefreshOnTheHomePageBuildsItAgain) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    browser::WebBrowser& wb = *w.home_browser;
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "首页"); }));
    MarkPage(wb);
    w.act_Refresh.Execute();
    // It used to leave an empty "about:blank".
    EXPECT_TRUE(PumpUntil([&] { return Rewritten(wb, "首页"); })) << wb.Title();
    EXPECT_EQ(PageValue(wb, "!!document.querySelector('a[href=\"open:(help)\"]')"), "true");
}

}  // namespace
}  // namespace q3::reader::testing
