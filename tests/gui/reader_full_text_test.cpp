// The side bar's full-text search on the real window: progress and final
// texts, what is listed, stopping, and a document opened or the window closed
// from inside the search's progress point.
#include <gtest/gtest.h>

#include <glibmm/main.h>

#include <algorithm>
#include <set>

#include "browser/web_browser.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

// A key released or pressed in a widget, as the keyboard would deliver it.
void SendKey(Gtk::Widget& widget, GdkEventType type, guint keyval) {
    GdkEvent* event = gdk_event_new(type);
    event->key.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
    event->key.keyval = keyval;
    event->key.send_event = TRUE;
    gtk_widget_event(widget.gobj(), event);
    gdk_event_free(event);
}

// Every search text status panel 0 shows, in order (pages loading may
// show texts of their own there).
class StatusLog {
  public:
    explicit StatusLog(Tfm_Quillon3& w) {
        label_ = dynamic_cast<Gtk::Label*>(w.status_bar.get_children().front());
        connection_ = label_->property_label().signal_changed().connect([this] { Changed(); });
    }
    ~StatusLog() { connection_.disconnect(); }
    // Runs action once, from the main loop, after the first progress text.
    void AfterFirstProgress(std::function<void()> action) { action_ = std::move(action); }
    std::vector<std::string> texts;

  private:
    void Changed() {
        const std::string text = label_->get_text();
        if (text.rfind("正在搜索：", 0) != 0)
            return;
        texts.push_back(text);
        if (action_ && text.find('/') != std::string::npos) {
            // At the priority of input, as a click or key would arrive.
            Glib::signal_idle().connect_once(action_, Glib::PRIORITY_DEFAULT);
            action_ = nullptr;
        }
    }

    Gtk::Label* label_;
    sigc::connection connection_;
    std::function<void()> action_;
};

std::string Item(int record) {
    return "<li><param name=\"name\" value=\"Page " + std::to_string(record) + "\" id=\"" +
           std::to_string(record) + "\"><param name=\"local\" value=\"p" + std::to_string(record) +
           ".htm\">\n";
}

// 120 records: the contents, pages 2-119 and a last record that is never
// searched. The word is in a link target only on page 10, in the text of
// pages 60 and 110, in record 70 that only the resource list names, and in
// the last record.
std::string WriteSearchBook(const std::string& path) {
    const std::set<int> resource_only = {70};
    std::string contents = "<ul>\n";
    for (int r = 2; r < 120; ++r) {
        if (resource_only.count(r) == 0)
            contents += Item(r);
    }
    contents += "<res value=\"r70.htm\" id=\"70\">\n</ul>\nend\n";
    doc::QbxWriter writer(doc::DocumentInfo{});
    writer.AddRecord(contents);
    for (int r = 2; r <= 120; ++r) {
        std::string body = "<p>page " + std::to_string(r) + "</p>";
        if (r == 10)
            body = "<p>before <a href=\"Needle.htm\">the link</a></p>";
        if (r == 60)
            body = "<p>a NEEDLE in page sixty</p>";
        if (r == 70 || r == 110 || r == 120)
            body = "<p>needle</p>";
        writer.AddRecord("<html><head><title>T" + std::to_string(r) + "</title></head><body>" +
                         body + "</body></html>");
    }
    writer.WriteFile(path);
    return path;
}

std::vector<std::string> Results(TSearchPane& pane) {
    std::vector<std::string> out;
    for (const Gtk::TreeRow& row : pane.store->children())
        out.push_back(Glib::ustring(row[pane.columns.text]).raw());
    return out;
}

std::string Hint(TSearchPane& pane, unsigned index) {
    return pane.ResultHint(pane.store->children()[index]).raw();
}

// Brings the search tab to front, as a click on its tab does.
void ShowSearchTab(Tfm_Quillon3& w) {
    w.side_bar.set_current_page(w.side_bar.page_num(w.books_page));
    w.document_tabs.set_current_page(w.document_tabs.page_num(w.search_pane));
    PumpUntil([&] { return w.search_pane.search_results.get_mapped(); });
}

class FullTextTest : public ReaderTest {};

TEST_F(FullTextTest, ProgressAtFiftyAndHundredThenResultsOpenWithTheRawWord) {
    ReaderSession session({WriteSearchBook(dir_.File("search.qbx"))});
    Tfm_Quillon3& w = session.window();
    TSearchPane& pane = w.search_pane;
    ShowSearchTab(w);
    StatusLog status(w);
    // Blanks around the word: searched without them, shown and sent with them.
    pane.search_key_edit.set_text(" Needle ");
    SendKey(pane.search_key_edit, GDK_KEY_RELEASE, GDK_KEY_Return);

    EXPECT_EQ(status.texts, (std::vector<std::string>{"正在搜索：needle, 50/120，已找到：1个",
                                                      "正在搜索：needle, 100/120，已找到：2个",
                                                      "正在搜索： Needle , 找到 3 类似文档."}));
    // Page 10 only in a link target; record 70 has no contents node; the last
    // record is never searched.
    EXPECT_EQ(Results(pane), (std::vector<std::string>{"Page 10", "Page 60", "Page 110"}));
    EXPECT_EQ(pane.full_search_button.get_label(), "搜索");
    EXPECT_EQ(pane.full_search_button_tag, 0);
    // The hint is the page's text around the match, markup left out.
    EXPECT_EQ(Hint(pane, 0), "before the link");
    EXPECT_EQ(Hint(pane, 1), "a NEEDLE in page sixty");

    // Enter in the list opens the selected result, the word as typed in its query.
    pane.search_results.get_selection()->select(pane.store->children()[1]);
    SendKey(pane.search_results, GDK_KEY_PRESS, GDK_KEY_Return);
    browser::WebBrowser& wb = *w.home_browser;
    // (The engine drops the blank at the end of an address.)
    EXPECT_TRUE(PumpUntil([&] {
        return wb.LocationUrl() == "qbx://reader/p60.htm?key=%20Needle" && !wb.Busy();
    })) << wb.LocationUrl();
}

TEST_F(FullTextTest, EnterWhileRunningStopsAndResultsFoundSoFarStay) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    TSearchPane& pane = w.search_pane;
    // No document: the button does nothing, the status bar stays as it was.
    w.SetStatusText("before", 0);
    pane.search_key_edit.set_text("needle");
    pane.full_search_button.clicked();
    EXPECT_EQ(w.status_bar.PanelText(0), "before");

    w.OpenQbx(WriteSearchBook(dir_.File("search.qbx")));
    ShowSearchTab(w);
    StatusLog status(w);
    status.AfterFirstProgress(
        [&] { SendKey(pane.search_key_edit, GDK_KEY_RELEASE, GDK_KEY_Return); });
    pane.full_search_button.clicked();
    EXPECT_EQ(status.texts.back(), "正在搜索：needle, 找到 1 类似文档.");
    EXPECT_EQ(Results(pane), (std::vector<std::string>{"Page 10"}));
    EXPECT_FALSE(pane.Searching());
    EXPECT_EQ(pane.full_search_button.get_label(), "搜索");
}

TEST_F(FullTextTest, OpeningABookFromInsideTheSearchEndsItFirst) {
    const std::string second = WriteBook("second.qbx");
    ReaderSession session({WriteSearchBook(dir_.File("search.qbx"))});
    Tfm_Quillon3& w = session.window();
    TSearchPane& pane = w.search_pane;
    StatusLog status(w);
    int tab_while_searching = -1;
    status.AfterFirstProgress([&] {
        tab_while_searching = w.document_tabs.get_current_page();
        w.OpenQbx(second);
    });
    // As the address panel's full-text mode starts it: the tab comes to front
    // with the word in its edit (the opening then shows the contents again).
    w.StartFullTextSearch("needle");
    EXPECT_EQ(tab_while_searching, w.document_tabs.page_num(pane));
    EXPECT_EQ(pane.search_key_edit.get_text(), "needle");
    EXPECT_EQ(w.Server()->Document()->FileName(), second);
    // Nothing listed refers to the replaced book, and the walk went no further.
    EXPECT_TRUE(Results(pane).empty());
    EXPECT_FALSE(pane.Searching());
    EXPECT_EQ(status.texts.back(), "正在搜索：needle, 找到 0 类似文档.");
    EXPECT_EQ(
        std::count_if(status.texts.begin(), status.texts.end(),
                      [](const std::string& t) { return t.find("/120") != std::string::npos; }),
        1);
}

TEST_F(FullTextTest, ClosingTheWindowFromInsideTheSearchEndsItFirst) {
    ReaderSession session({WriteSearchBook(dir_.File("search.qbx"))});
    Tfm_Quillon3& w = session.window();
    TSearchPane& pane = w.search_pane;
    StatusLog status(w);
    // As the window manager's close button delivers it; the double answers
    // the question with OK.
    status.AfterFirstProgress([&] {
        GdkEvent* event = gdk_event_new(GDK_DELETE);
        event->any.window = GDK_WINDOW(g_object_ref(w.get_window()->gobj()));
        event->any.send_event = TRUE;
        gtk_main_do_event(event);
        gdk_event_free(event);
    });
    pane.StartFullTextSearch("needle");
    EXPECT_FALSE(w.get_visible());
    EXPECT_FALSE(pane.Searching());
    EXPECT_EQ(status.texts.back(), "正在搜索：needle, 找到 1 类似文档.");
}

}  // namespace
}  // namespace q3::reader::testing
