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

std::vector<std::string> Names(TBookmarksPane& pane) {
    std::vector<std::string> out;
    for (const BookmarkRecord& b : pane.Bookmarks())
        out.push_back(b.name);
    return out;
}

void Select(TBookmarksPane& pane, unsigned index) {
    pane.bookmark_list.get_selection()->select(pane.store->children()[index]);
}

// The page is shown and the subject edit holds its title and address.
bool Shows(browser::WebBrowser& wb, TBookmarksPane& pane, const std::string& page,
           const std::string& title) {
    return wb.LocationUrl() == "qbx://reader/" + page && !wb.Busy() &&
           pane.subject_edit.get_tooltip_text() == page && pane.subject_edit.get_text() == title;
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
        TBookmarksPane& pane = w.bookmarks_pane;
        browser::WebBrowser& wb = *w.home_browser;
        ASSERT_TRUE(PumpUntil([&] { return Shows(wb, pane, "cover.htm", "Cover page"); }));
        w.document_tabs.set_current_page(w.document_tabs.page_num(pane));
        PumpUntil([&] { return pane.bookmark_list.get_mapped(); });
        pane.add_bookmark_button.clicked();
        wb.Navigate("qbx://reader/one/first.htm");
        ASSERT_TRUE(PumpUntil([&] { return Shows(wb, pane, "one/first.htm", "First page"); }));
        pane.add_bookmark_button.clicked();
        pane.subject_edit.set_text(long_name);
        pane.subject_edit.set_tooltip_text("http://example.com/");
        pane.add_bookmark_button.clicked();
        EXPECT_EQ(Names(pane), (std::vector<std::string>{"Cover page", "First page", cut_name}));
        // Nothing without a page address.
        pane.subject_edit.set_tooltip_text("");
        pane.add_bookmark_button.clicked();
        EXPECT_EQ(pane.store->children().size(), 3u);

        // A delete is stored at once.
        Select(pane, 1);
        pane.delete_bookmark_button.clicked();
        EXPECT_EQ(Names(pane), (std::vector<std::string>{"Cover page", cut_name}));
        const std::string key = BookmarkKey(first);
        EXPECT_EQ(ReadHkcuInteger(key, "MaskerCount", -1), 2);
        EXPECT_EQ(ReadHkcuString(key, "BookName1", ""), cut_name);

        // Enter in the list goes to a page of the book, the show button to a
        // web address as it stands.
        Select(pane, 0);
        GdkEvent* enter = gdk_event_new(GDK_KEY_PRESS);
        enter->key.window = GDK_WINDOW(g_object_ref(pane.bookmark_list.get_window()->gobj()));
        enter->key.keyval = GDK_KEY_Return;
        enter->key.send_event = TRUE;
        gtk_widget_event(GTK_WIDGET(pane.bookmark_list.gobj()), enter);
        gdk_event_free(enter);
        EXPECT_TRUE(PumpUntil([&] { return Shows(wb, pane, "cover.htm", "Cover page"); }));
        std::string asked;
        CatchWebNavigations(wb, asked);
        Select(pane, 1);
        pane.show_bookmark_button.clicked();
        EXPECT_TRUE(PumpUntil([&] { return asked == "http://example.com/"; })) << asked;
    }
    // A restart, and another book of the same file name: the same two.
    ReaderSession session({same_name});
    EXPECT_EQ(Names(session.window().bookmarks_pane),
              (std::vector<std::string>{"Cover page", cut_name}));
}

}  // namespace
}  // namespace q3::reader::testing
