// The side bar's full-text search on the real window: progress and final
// texts, what is listed, stopping, and a document opened or the window closed
// from inside the search's progress point.
#include <gtest/gtest.h>

#include <glibmm/main.h>
#include <gtkmm/cellrenderertext.h>

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
        label_ = StatusPanels(w).at(0);
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

// The search tab's controls, found by their names.
struct SearchControls {
    explicit SearchControls(Tfm_Quillon3& w)
        : key_edit(Named<Gtk::Entry>(w, "search_key_edit")),
          button(Named<Gtk::Button>(w, "full_search_button")),
          results(Named<Gtk::TreeView>(w, "search_results")) {}
    Gtk::Entry& key_edit;
    Gtk::Button& button;
    Gtk::TreeView& results;
};

std::vector<std::string> Results(SearchControls& ui) {
    return RowTexts(ui.results);
}

std::string Hint(SearchControls& ui, int index) {
    return RowHint(ui.results, Gtk::TreePath(std::to_string(index)));
}

// Brings the search tab to front, as a click on its tab does.
void ShowSearchTab(Tfm_Quillon3& w) {
    ShowPage(Named<Gtk::Notebook>(w, "side_bar"), "books_page");
    ShowPage(Named<Gtk::Notebook>(w, "document_tabs"), "search_page");
    PumpUntil([&] { return Named<Gtk::TreeView>(w, "search_results").get_mapped(); });
}

class FullTextTest : public ReaderTest {};

TEST_F(FullTextTest, ProgressAtFiftyAndHundredThenResultsOpenWithTheRawWord) {
    ReaderSession session({WriteSearchBook(dir_.File("search.qbx"))});
    Tfm_Quillon3& w = session.window();
    SearchControls ui(w);
    ShowSearchTab(w);
    StatusLog status(w);
    // Blanks around the word: searched without them, shown and sent with them.
    ui.key_edit.set_text(" Needle ");
    SendKey(ui.key_edit, GDK_KEY_RELEASE, GDK_KEY_Return);

    EXPECT_EQ(status.texts, (std::vector<std::string>{"正在搜索：needle, 50/120，已找到：1个",
                                                      "正在搜索：needle, 100/120，已找到：2个",
                                                      "正在搜索： Needle , 找到 3 类似文档."}));
    // Page 10 only in a link target; record 70 has no contents node; the last
    // record is never searched.
    EXPECT_EQ(Results(ui), (std::vector<std::string>{"Page 10", "Page 60", "Page 110"}));
    EXPECT_EQ(ui.button.get_label(), "搜索");
    EXPECT_FALSE(w.FullTextSearchRunning());
    // The hint is the page's text around the match, markup left out.
    EXPECT_EQ(Hint(ui, 0), "before the link");
    EXPECT_EQ(Hint(ui, 1), "a NEEDLE in page sixty");
    // The row shows those words under its title.
    Gtk::TreeViewColumn& column = *ui.results.get_column(0);
    column.cell_set_cell_data(ui.results.get_model(), ui.results.get_model()->children()[1], false,
                              false);
    auto* cell = dynamic_cast<Gtk::CellRendererText*>(column.get_cells().front());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->property_text().get_value(), "Page 60\na NEEDLE in page sixty ");

    // Enter in the list opens the selected result, the word as typed in its query.
    SelectRow(ui.results, 1);
    SendKey(ui.results, GDK_KEY_PRESS, GDK_KEY_Return);
    browser::WebBrowser& wb = HomeBrowser(w);
    // (The engine drops the blank at the end of an address.)
    EXPECT_TRUE(PumpUntil([&] {
        return wb.LocationUrl() == "qbx://reader/p60.htm?key=%20Needle" && !wb.Busy();
    })) << wb.LocationUrl();
}

TEST_F(FullTextTest, EnterWhileRunningStopsAndResultsFoundSoFarStay) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    SearchControls ui(w);
    // No document: the button does nothing, the status bar stays as it was.
    w.SetStatusText("before", 0);
    ui.key_edit.set_text("needle");
    ui.button.clicked();
    EXPECT_EQ(StatusPanelTexts(w).at(0), "before");

    w.OpenQbx(WriteSearchBook(dir_.File("search.qbx")));
    ShowSearchTab(w);
    StatusLog status(w);
    status.AfterFirstProgress([&] { SendKey(ui.key_edit, GDK_KEY_RELEASE, GDK_KEY_Return); });
    ui.button.clicked();
    EXPECT_EQ(status.texts.back(), "正在搜索：needle, 找到 1 类似文档.");
    EXPECT_EQ(Results(ui), (std::vector<std::string>{"Page 10"}));
    EXPECT_FALSE(w.FullTextSearchRunning());
    EXPECT_EQ(ui.button.get_label(), "搜索");
}

TEST_F(FullTextTest, OpeningABookFromInsideTheSearchEndsItFirst) {
    const std::string second = WriteBook("second.qbx");
    ReaderSession session({WriteSearchBook(dir_.File("search.qbx"))});
    Tfm_Quillon3& w = session.window();
    SearchControls ui(w);
    StatusLog status(w);
    std::string tab_while_searching;
    status.AfterFirstProgress([&] {
        tab_while_searching = CurrentPageName(Named<Gtk::Notebook>(w, "document_tabs"));
        w.OpenQbx(second);
    });
    // As the address panel's full-text mode starts it: the tab comes to front
    // with the word in its edit (the opening then shows the contents again).
    w.StartFullTextSearch("needle");
    EXPECT_EQ(tab_while_searching, "search_page");
    EXPECT_EQ(ui.key_edit.get_text(), "needle");
    EXPECT_EQ(w.Server()->Document()->FileName(), second);
    // Nothing listed refers to the replaced book, and the walk went no further.
    EXPECT_TRUE(Results(ui).empty());
    EXPECT_FALSE(w.FullTextSearchRunning());
    EXPECT_EQ(status.texts.back(), "正在搜索：needle, 找到 0 类似文档.");
    EXPECT_EQ(
        std::count_if(status.texts.begin(), status.texts.end(),
                      [](const std::string& t) { return t.find("/120") != std::string::npos; }),
        1);
}

TEST_F(FullTextTest, ClosingTheWindowFromInsideTheSearchEndsItFirst) {
    ReaderSession session({WriteSearchBook(dir_.File("search.qbx"))});
    Tfm_Quillon3& w = session.window();
    SearchControls ui(w);
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
    // Into the edit and a click on the button, as the tab's own start does.
    ui.key_edit.set_text("needle");
    ui.button.clicked();
    EXPECT_FALSE(w.get_visible());
    EXPECT_FALSE(w.FullTextSearchRunning());
    EXPECT_EQ(status.texts.back(), "正在搜索：needle, 找到 1 类似文档.");
}

}  // namespace
}  // namespace q3::reader::testing
