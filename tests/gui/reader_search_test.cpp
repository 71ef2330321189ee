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
    ASSERT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "Words"); }));
    Gtk::Entry& key = SearchWordEntry(w);
    ASSERT_TRUE(TakeFocus(w, &key));
    key.set_text("  abc ");
    StrokeKey(w, GDK_KEY_Return);
    EXPECT_EQ(SearchWords(w), std::vector<std::string>{"abc"});
    // The blanks are searched too: only the first occurrence has them.
    std::string spans;
    EXPECT_TRUE(PumpUntil([&] { return (spans = Spans(HomeBrowser(w))) == "\"  abc \""; }))
        << spans;
    key.set_text("ABC");
    StrokeKey(w, GDK_KEY_Return);
    EXPECT_EQ(SearchWords(w), std::vector<std::string>{"abc"});
}

TEST_F(SearchBoxTest, ChoosingAnEngineSearchesAtOnceWithTheWordEscaped) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    std::string asked;
    CatchWebNavigations(HomeBrowser(w), asked);
    // Every search asked of an engine; a choice of engine asks once.
    int searches = 0;
    HomeBrowser(w).OnBeforeNavigate = [&searches, caught = HomeBrowser(w).OnBeforeNavigate](
                                          browser::WebBrowser& sender, const std::string& address,
                                          bool& cancel) {
        searches += address.rfind("https://", 0) == 0 ? 1 : 0;
        caught(sender, address, cancel);
    };
    // Long enough for a second request of the same choice to come through.
    const auto settle = [] { PumpUntil([] { return false; }, std::chrono::milliseconds(300)); };
    SearchWordEntry(w).set_text("abc");
    Named<Gtk::RadioMenuItem>(w, "bing_search_item").activate();
    ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "https://www.bing.com/search?q=abc");
    EXPECT_TRUE(Named<Gtk::RadioMenuItem>(w, "bing_search_item").get_active());
    EXPECT_FALSE(Named<Gtk::RadioMenuItem>(w, "page_search_item").get_active());

    // The mode stays checked: Enter in the box asks the same engine. An
    // ampersand or number sign no longer cuts the word short.
    asked.clear();
    ASSERT_TRUE(TakeFocus(w, &SearchWordEntry(w)));
    SearchWordEntry(w).set_text("a&b c#");
    StrokeKey(w, GDK_KEY_Return);
    ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "https://www.bing.com/search?q=a%26b%20c%23");
    asked.clear();
    settle();
    searches = 0;
    Named<Gtk::RadioMenuItem>(w, "baidu_search_item").activate();
    ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "https://www.baidu.com/s?wd=a%26b%20c%23");
    settle();
    // Regression: the engine losing the check searched a second time.
    EXPECT_EQ(searches, 1);
    asked.clear();
    Named<Gtk::RadioMenuItem>(w, "google_search_item").activate();
    ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "https://www.google.com/search?hl=zh-CN&q=a%26b%20c%23");
    EXPECT_EQ(SearchWords(w), (std::vector<std::string>{"abc", "a&b c#"}));
}

TEST_F(SearchBoxTest, FullTextModeSearchesTheDocumentOnlyFromItsPages) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    int searches = 0;
    Named<Gtk::Button>(w, "full_search_button").signal_clicked().connect([&] { ++searches; });
    ASSERT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "Cover page"); }));
    w.BuildHomePage();
    ASSERT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "首页"); }));
    auto& side_bar = Named<Gtk::Notebook>(w, "side_bar");
    ShowPage(side_bar, "resource_page");

    // The home page has no document to search: the word is only listed.
    SearchWordEntry(w).set_text("first");
    Named<Gtk::RadioMenuItem>(w, "full_text_search_item").activate();
    EXPECT_EQ(SearchWords(w), std::vector<std::string>{"first"});
    EXPECT_EQ(searches, 0);
    auto& search_key_edit = Named<Gtk::Entry>(w, "search_key_edit");
    EXPECT_EQ(search_key_edit.get_text(), "");
    EXPECT_EQ(CurrentPageName(side_bar), "resource_page");

    w.ShowFirstPage();
    ASSERT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "Cover page"); }));
    SearchWordEntry(w).set_text(" second ");
    ASSERT_TRUE(TakeFocus(w, &SearchWordEntry(w)));
    StrokeKey(w, GDK_KEY_Return);
    EXPECT_EQ(searches, 1);
    EXPECT_EQ(search_key_edit.get_text(), "second");
    EXPECT_EQ(CurrentPageName(side_bar), "books_page");
    EXPECT_EQ(CurrentPageName(Named<Gtk::Notebook>(w, "document_tabs")), "search_page");
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
    browser::WebBrowser& wb = HomeBrowser(w);
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "Cover page"); }));
    // Read a while first: once the engine is idle, text written over the page
    // without a blank page of its own took the page's place in the history.
    PumpFor(std::chrono::seconds(1));
    Activate(w, "act_QBXAttr");
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "book.qbx 的属性"); })) << wb.Title();
    // A document page has no page-properties dialog of the browser's.
    EXPECT_EQ(w.PageCommands().LastProperties(), nullptr);
    EXPECT_EQ(PageValue(wb, "document.querySelectorAll('#injected, img').length"), "0");
    EXPECT_EQ(PageValue(wb,
                        "document.body.innerText.includes("
                        "'文档主题：<b id=\"injected\">bold</b>')"),
              "true");
    EXPECT_EQ(PageValue(wb, "document.body.getAttribute('bgcolor')"), "\"#FFFFFF\"");

    MarkPage(wb);
    Activate(w, "act_Refresh");
    EXPECT_TRUE(PumpUntil([&] { return Rewritten(wb, "book.qbx 的属性"); }));

    Activate(w, "act_GoBack");
    EXPECT_TRUE(PumpUntil([&] { return Settled(wb, "Cover page"); })) << wb.Title();
}

TEST_F(OwnPagesTest, OnAnotherPageTheBrowsersDialogComesFirst) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    browser::WebBrowser& wb = HomeBrowser(w);
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "首页"); }));
    // No document: only the dialog.
    Activate(w, "act_QBXAttr");
    ASSERT_NE(w.PageCommands().LastProperties(), nullptr);
    w.PageCommands().LastProperties()->hide();
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(wb.Title(), "首页");

    w.OpenQbx(WriteMarkupBook());
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "Cover page"); }));
    w.BuildHomePage();
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "首页"); }));
    Activate(w, "act_QBXAttr");
    EXPECT_NE(w.PageCommands().LastProperties(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Settled(wb, "book.qbx 的属性"); })) << wb.Title();
}

TEST_F(OwnPagesTest, RefreshOnTheHomePageBuildsItAgain) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    browser::WebBrowser& wb = HomeBrowser(w);
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "首页"); }));
    MarkPage(wb);
    Activate(w, "act_Refresh");
    // It used to leave an empty "about:blank".
    EXPECT_TRUE(PumpUntil([&] { return Rewritten(wb, "首页"); })) << wb.Title();
    EXPECT_EQ(PageValue(wb, "!!document.querySelector('a[href=\"open:(help)\"]')"), "true");
}

}  // namespace
}  // namespace q3::reader::testing
