// The side bar's bookmarks on the real window: added from the subject edit,
// deleted, jumped to, kept in the settings across a restart and shared by
// documents of the same file name.
#include <gtest/gtest.h>

#include <filesystem>

#include "browser/web_browser.h"
#include "common/shell.h"
#include "reader/rules/bookmarks.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

// The bookmarks' controls, found by their names.
struct BookmarkControls {
    explicit BookmarkControls(Tfm_Quillon3& w)
        : list(Named<Gtk::TreeView>(w, "bookmark_list")),
          subject_edit(Named<Gtk::Entry>(w, "subject_edit")),
          add_button(Named<Gtk::Button>(w, "add_bookmark_button")),
          delete_button(Named<Gtk::Button>(w, "delete_bookmark_button")),
          show_button(Named<Gtk::Button>(w, "show_bookmark_button")) {}
    Gtk::TreeView& list;
    Gtk::Entry& subject_edit;
    Gtk::Button& add_button;
    Gtk::Button& delete_button;
    Gtk::Button& show_button;
};

// The page is shown and the subject edit holds its title and address.
bool Shows(browser::WebBrowser& wb, BookmarkControls& ui, const std::string& page,
           const std::string& title) {
    return wb.LocationUrl() == "qbx://reader/" + page && !wb.Busy() &&
           HintOf(ui.subject_edit) == page && ui.subject_edit.get_text() == title;
}

class BookmarksTest : public ReaderTest {};

TEST_F(BookmarksTest, AddedDeletedJumpedToAndKeptForBooksOfTheSameName) {
    std::filesystem::create_directories(dir_.File("a"));
    std::filesystem::create_directories(dir_.File("b"));
    const std::string first = WriteBook("a/book.qbx");
    const std::string same_name = WriteBook("b/book.qbx");
    std::string long_name;
    for (int i = 0; i < 150; ++i)
        long_name += "书";  // 300 bytes in GBK
    const std::string cut_name = long_name.substr(0, 127 * std::string("书").size());
    {
        ReaderSession session({first});
        Tfm_Quillon3& w = session.window();
        BookmarkControls ui(w);
        browser::WebBrowser& wb = HomeBrowser(w);
        ASSERT_TRUE(PumpUntil([&] { return Shows(wb, ui, "cover.htm", "Cover page"); }));
        ShowPage(Named<Gtk::Notebook>(w, "document_tabs"), "bookmarks_page");
        PumpUntil([&] { return ui.list.get_mapped(); });
        ui.add_button.clicked();
        wb.Navigate("qbx://reader/one/first.htm");
        ASSERT_TRUE(PumpUntil([&] { return Shows(wb, ui, "one/first.htm", "First page"); }));
        ui.add_button.clicked();
        // A subject of the user's own, cut to what the stored list holds.
        ui.subject_edit.set_text(long_name);
        ui.add_button.clicked();
        EXPECT_EQ(RowTexts(ui.list),
                  (std::vector<std::string>{"Cover page", "First page", cut_name}));
        // The subject box's hint only shows the page's address: changing it
        // adds no bookmark for another page.
        SetHint(ui.subject_edit, "");
        ui.add_button.clicked();
        EXPECT_EQ(RowCount(ui.list), 4);
        EXPECT_EQ(HintOf(ui.subject_edit), "");
        SelectRow(ui.list, 3);
        ui.delete_button.clicked();

        // A delete is stored at once.
        SelectRow(ui.list, 1);
        ui.delete_button.clicked();
        EXPECT_EQ(RowTexts(ui.list), (std::vector<std::string>{"Cover page", cut_name}));
        const std::string key = BookmarkKey(first);
        EXPECT_EQ(ReadHkcuInteger(key, "MaskerCount", -1), 2);
        EXPECT_EQ(ReadHkcuString(key, "BookName1", ""), cut_name);

        // Enter in the list and the show button go to a bookmark's page.
        SelectRow(ui.list, 0);
        GdkEvent* enter = gdk_event_new(GDK_KEY_PRESS);
        enter->key.window = GDK_WINDOW(g_object_ref(ui.list.get_window()->gobj()));
        enter->key.keyval = GDK_KEY_Return;
        enter->key.send_event = TRUE;
        gtk_widget_event(GTK_WIDGET(ui.list.gobj()), enter);
        gdk_event_free(enter);
        EXPECT_TRUE(PumpUntil([&] { return Shows(wb, ui, "cover.htm", "Cover page"); }));
        SelectRow(ui.list, 1);
        ui.show_button.clicked();
        EXPECT_TRUE(PumpUntil([&] { return Shows(wb, ui, "one/first.htm", "First page"); }));
    }
    // A restart, and another book of the same file name: the same two.
    ReaderSession session({same_name});
    EXPECT_EQ(RowTexts(Named<Gtk::TreeView>(session.window(), "bookmark_list")),
              (std::vector<std::string>{"Cover page", cut_name}));
}

}  // namespace
}  // namespace q3::reader::testing
