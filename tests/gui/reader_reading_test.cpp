// Opening a document by every route and moving through it: the open dialog,
// the command line, the address box, a protected or damaged document, the
// tree following the page, previous and next, and the index key search.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "browser/web_browser.h"
#include "common/text.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

constexpr const char* kPrefix = "qbx://reader/";

bool ShowsPage(browser::WebBrowser& wb, const std::string& page) {
    return wb.LocationUrl() == std::string(kPrefix) + page && !wb.Busy();
}

// The page is committed and parsed, not just asked for: requests replaced on
// the way may still be served (and move the tree) until then.
bool Settled(browser::WebBrowser& wb, const std::string& page, const std::string& title) {
    return ShowsPage(wb, page) && wb.Title() == title;
}

std::string SelectedCaption(Tfm_Quillon3& w) {
    return SelectedRowText(Named<Gtk::TreeView>(w, "contents_tree"));
}

std::string SelectedIndexItem(Tfm_Quillon3& w) {
    return SelectedRowText(Named<Gtk::TreeView>(w, "index_list"));
}

// A key released or pressed in a widget, as the keyboard would deliver it.
void ReleaseKey(Gtk::Widget& widget, guint keyval, GdkEventType type = GDK_KEY_RELEASE) {
    GdkEvent* event = gdk_event_new(type);
    event->key.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
    event->key.keyval = keyval;
    event->key.send_event = TRUE;
    gtk_widget_event(widget.gobj(), event);
    gdk_event_free(event);
}

std::string WriteProtectedBook(const std::string& path) {
    doc::DocumentInfo info;
    info.Password = "secret";
    doc::QbxWriter writer(info);
    writer.AddRecord(
        "<ul>\n<li><param name=\"name\" value=\"Only\" id=\"2\"><param name=\"local\" "
        "value=\"only.htm\">\n</ul>\n");
    writer.AddRecord("<html><head><title>Only</title></head><body>only</body></html>");
    writer.WriteFile(path);
    return path;
}

class ReadingTest : public ReaderTest {};

TEST_F(ReadingTest, OpenDialogOpensTheChosenBookAndShowsItsFirstPage) {
    const std::string book = WriteBook();
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    dialogs_->file_answers.push_back(book);
    Activate(w, "act_openfile");
    ASSERT_EQ(dialogs_->file_filters.size(), 1u);
    EXPECT_EQ(dialogs_->file_filters[0], "Qbx File(*.qbx)|*.qbx|All File(*.*)|*.*");
    ASSERT_NE(w.Server()->Document(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return ShowsPage(HomeBrowser(w), "cover.htm"); }));
    EXPECT_EQ(SelectedCaption(w), "Cover");
    // The tab and the window are named after the page and the document.
    EXPECT_TRUE(PumpUntil([&] { return w.get_title().find("Cover page - ") == 0; }));
}

TEST_F(ReadingTest, CancelledOpenDialogOpensNothing) {
    ReaderSession session;
    Activate(session.window(), "act_openfile");
    EXPECT_EQ(session.window().Server()->Document(), nullptr);
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(ReadingTest, CommandLineBookIsOpenedAtStart) {
    const std::string book = WriteBook();
    ReaderSession session({book});
    Tfm_Quillon3& w = session.window();
    ASSERT_NE(w.Server()->Document(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return ShowsPage(HomeBrowser(w), "cover.htm"); }));
    const std::vector<std::string> history = AddressItems(w);
    EXPECT_NE(std::find(history.begin(), history.end(), book), history.end());
}

TEST_F(ReadingTest, AddressBoxWithAFileNameOpensIt) {
    const std::string book = WriteBook();
    ReaderSession session;
    session.window().GoToAddress(book);
    EXPECT_NE(session.window().Server()->Document(), nullptr);
}

TEST_F(ReadingTest, OpeningTheOpenBookAgainInAnotherCaseSaysItIsOpen) {
    const std::string book = WriteBook("Book.qbx");
    ReaderSession session({book});
    Tfm_Quillon3& w = session.window();
    doc::TQBXManage* first = w.Server()->Document();
    w.OpenQbx(AsciiLower(book));
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].text, "文件已打开");
    EXPECT_EQ(w.Server()->Document(), first);
}

TEST_F(ReadingTest, MissingFileWhileABookIsOpenIsReportedWithItsPath) {
    ReaderSession session({WriteBook()});
    const std::string missing = dir_.File("gone.qbx");
    session.window().OpenQbx(missing);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].text, "文件不存在：" + missing);
    EXPECT_NE(session.window().Server()->Document(), nullptr);
}

TEST_F(ReadingTest, PasswordIsAskedOnceAndTheRightOneOpens) {
    const std::string book = WriteProtectedBook(dir_.File("locked.qbx"));
    ReaderSession session;
    dialogs_->input_answers.push_back(std::string("secret"));
    session.window().OpenQbx(book);
    ASSERT_EQ(dialogs_->queries.size(), 1u);
    EXPECT_EQ(dialogs_->queries[0].caption, "输入密码");
    EXPECT_TRUE(dialogs_->queries[0].masked);
    EXPECT_NE(session.window().Server()->Document(), nullptr);
}

TEST_F(ReadingTest, WrongPasswordLeavesNoDocumentAndAWarning) {
    const std::string book = WriteProtectedBook(dir_.File("locked.qbx"));
    ReaderSession session;
    dialogs_->input_answers.push_back(std::string("wrong"));
    session.window().OpenQbx(book);
    EXPECT_EQ(dialogs_->queries.size(), 1u);
    EXPECT_EQ(session.window().Server()->Document(), nullptr);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_FALSE(dialogs_->messages[0].text.empty());
    EXPECT_FALSE(ActionEnabled(session.window(), "act_QBXComment"));
}

TEST_F(ReadingTest, CancelledPasswordLeavesNoDocument) {
    const std::string book = WriteProtectedBook(dir_.File("locked.qbx"));
    ReaderSession session;
    session.window().OpenQbx(book);  // the double cancels the prompt
    EXPECT_EQ(dialogs_->queries.size(), 1u);
    EXPECT_EQ(session.window().Server()->Document(), nullptr);
    EXPECT_EQ(dialogs_->messages.size(), 1u);
}

// Regression: a second book that failed to open let the open one go while
// its tree stayed on show: the tree then led nowhere.
TEST_F(ReadingTest, RegressionAFailedOpenLeavesTheOpenBookWorking) {
    const std::string not_a_book = dir_.File("notes.qbx");
    std::ofstream(not_a_book) << "plain text";
    const std::string locked = WriteProtectedBook(dir_.File("locked.qbx"));
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "cover.htm", "Cover page"); }));
    doc::TQBXManage* book = w.Server()->Document();
    w.OpenQbx(not_a_book);
    w.OpenQbx(locked);  // the double cancels the prompt
    EXPECT_EQ(dialogs_->queries.size(), 1u);
    ASSERT_EQ(dialogs_->messages.size(), 2u);
    EXPECT_EQ(w.Server()->Document(), book);
    EXPECT_TRUE(ActionEnabled(w, "act_QBXComment"));
    // The tree still shows the book's pages (past the heading, which has none).
    Activate(w, "act_QBXNavNext");
    Activate(w, "act_QBXNavNext");
    EXPECT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "one/first.htm", "First page"); }))
        << HomeBrowser(w).LocationUrl();
    EXPECT_EQ(SelectedCaption(w), "First");
}

// Regression guard: a book without a password opens without a question and
// without a message, and its first page is shown.
TEST_F(ReadingTest, UnprotectedBookOpensWithoutAskingAPassword) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    w.OpenQbx(WriteBook());
    EXPECT_TRUE(dialogs_->queries.empty());
    EXPECT_TRUE(dialogs_->messages.empty());
    ASSERT_NE(w.Server()->Document(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "cover.htm", "Cover page"); }));
}

TEST_F(ReadingTest, DamagedContentsRecordIsReported) {
    doc::QbxWriter writer(doc::DocumentInfo{});
    writer.AddRecord("placeholder");
    // Record 1 replaced by bytes whose check value cannot match.
    writer.SetStoredRecord(1, doc::StoredRecord{std::string(16, '\x5A'), 0x12345678u});
    const std::string book = dir_.File("damaged.qbx");
    writer.WriteFile(book);
    ReaderSession session;
    session.window().OpenQbx(book);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].text, "文件目录已损坏.");
}

TEST_F(ReadingTest, TreeFollowsALinkInsideThePage) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return ShowsPage(HomeBrowser(w), "cover.htm"); }));
    HomeBrowser(w).Navigate(std::string(kPrefix) + "one/second.htm");
    EXPECT_TRUE(PumpUntil([&] { return SelectedCaption(w) == "Second"; }));
}

TEST_F(ReadingTest, PreviousOnTheFirstNodeAndNextOnTheLastDoNothing) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "cover.htm", "Cover page"); }));
    Activate(w, "act_QBXNavPrev");
    EXPECT_EQ(SelectedCaption(w), "Cover");
    Activate(w, "act_QBXNavNext");  // the heading, written without a record id
    EXPECT_EQ(SelectedCaption(w), "Part one");
    Activate(w, "act_QBXNavNext");
    Activate(w, "act_QBXNavNext");
    EXPECT_EQ(SelectedCaption(w), "Second");
    EXPECT_TRUE(
        PumpUntil([&] { return Settled(HomeBrowser(w), "one/second.htm", "Second page"); }));
    PumpFor(std::chrono::milliseconds(200));
    ASSERT_EQ(SelectedCaption(w), "Second");
    Activate(w, "act_QBXNavNext");
    EXPECT_EQ(SelectedCaption(w), "Second");
}

TEST_F(ReadingTest, IndexKeySelectsTheFirstItemWithThePrefixInAnyCase) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ShowPage(Named<Gtk::Notebook>(w, "document_tabs"), "index_page");
    PumpFor(std::chrono::milliseconds(100));
    Named<Gtk::Entry>(w, "index_key_edit").set_text("SE");
    ReleaseKey(Named<Gtk::Entry>(w, "index_key_edit"), GDK_KEY_E);
    EXPECT_EQ(SelectedIndexItem(w), "Second");
    // A prefix nothing begins with keeps the selection.
    Named<Gtk::Entry>(w, "index_key_edit").set_text("zz");
    ReleaseKey(Named<Gtk::Entry>(w, "index_key_edit"), GDK_KEY_z);
    EXPECT_EQ(SelectedIndexItem(w), "Second");
    // Enter shows the selected item's page.
    ReleaseKey(Named<Gtk::Entry>(w, "index_key_edit"), GDK_KEY_Return);
    EXPECT_TRUE(PumpUntil([&] { return ShowsPage(HomeBrowser(w), "one/second.htm"); }));
    // So does Enter in the list, for the item the key chose, not the list's cursor row.
    Named<Gtk::Entry>(w, "index_key_edit").set_text("fi");
    ReleaseKey(Named<Gtk::Entry>(w, "index_key_edit"), GDK_KEY_i);
    ReleaseKey(Named<Gtk::TreeView>(w, "index_list"), GDK_KEY_Return, GDK_KEY_PRESS);
    EXPECT_TRUE(PumpUntil([&] { return ShowsPage(HomeBrowser(w), "one/first.htm"); }));
}

// Keyboards with an ISO Enter key send their own key code for it.
TEST_F(ReadingTest, RegressionIsoEnterInTheIndexKeyBoxShowsTheItem) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return ShowsPage(HomeBrowser(w), "cover.htm"); }));
    ShowPage(Named<Gtk::Notebook>(w, "document_tabs"), "index_page");
    Named<Gtk::Entry>(w, "index_key_edit").set_text("se");
    ReleaseKey(Named<Gtk::Entry>(w, "index_key_edit"), GDK_KEY_e);
    ReleaseKey(Named<Gtk::Entry>(w, "index_key_edit"), GDK_KEY_ISO_Enter);
    EXPECT_TRUE(PumpUntil([&] { return ShowsPage(HomeBrowser(w), "one/second.htm"); }));
}

TEST_F(ReadingTest, IndexShowWithNothingSelectedDoesNothing) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return ShowsPage(HomeBrowser(w), "cover.htm"); }));
    Named<Gtk::TreeView>(w, "index_list").get_selection()->unselect_all();
    Named<Gtk::Button>(w, "show_index_button").clicked();
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(HomeBrowser(w).LocationUrl(), std::string(kPrefix) + "cover.htm");
}

// Regression: the first book's page, asked for just before the second book
// opened, was served from the second and moved its tree there, so the second
// book opened at that page instead of its first.
TEST_F(ReadingTest, RegressionSecondBookOpensAtItsFirstPageNotAtThePageTheFirstWasLoading) {
    ReaderSession session({WriteBook("first.qbx")});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return ShowsPage(HomeBrowser(w), "cover.htm"); }));
    Activate(w, "act_QBXNavNext");
    Activate(w, "act_QBXNavNext");
    // Another book: a copy of the first would rightly open where it was left.
    const std::string second = WriteBook("second.qbx", "Another book");
    w.OpenQbx(second);
    EXPECT_EQ(w.Server()->Document()->FileName(), second);
    EXPECT_TRUE(PumpUntil([&] { return ShowsPage(HomeBrowser(w), "cover.htm"); }))
        << HomeBrowser(w).LocationUrl() << " busy " << HomeBrowser(w).Busy();
    EXPECT_EQ(SelectedCaption(w), "Cover");
}

TEST_F(ReadingTest, WebAddressIsBrowsedAndKeptInTheHistory) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    std::string asked;
    CatchWebNavigations(HomeBrowser(w), asked);
    w.OpenQbx("http://example.org/page");
    EXPECT_TRUE(PumpUntil([&] { return asked == "http://example.org/page"; })) << asked;
    const std::vector<std::string> items = AddressItems(w);
    EXPECT_NE(std::find(items.begin(), items.end(), "http://example.org/page"), items.end());
    EXPECT_EQ(w.Server()->Document(), nullptr);
}

TEST_F(ReadingTest, TextFileWithNoBookOpenFailsSilently) {
    const std::string text = dir_.File("notes.txt");
    std::ofstream(text) << "plain words";
    ReaderSession session;
    session.window().OpenQbx(text);
    EXPECT_EQ(session.window().Server()->Document(), nullptr);
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(ReadingTest, TextFileWithABookOpenIsShownAndTheBookStays) {
    const std::string text = dir_.File("notes.txt");
    std::ofstream(text) << "plain words";
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    doc::TQBXManage* open = w.Server()->Document();
    w.OpenQbx(text);
    EXPECT_EQ(w.Server()->Document(), open);
    EXPECT_TRUE(PumpUntil([&] { return HomeBrowser(w).LocationUrl() == "file://" + text; }))
        << HomeBrowser(w).LocationUrl();
    const std::vector<std::string> items = AddressItems(w);
    EXPECT_NE(std::find(items.begin(), items.end(), text), items.end());
}

void PressKey(Gtk::Widget& widget, guint keyval, guint state) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
    event->key.keyval = keyval;
    event->key.state = state;
    event->key.send_event = TRUE;
    gtk_widget_event(widget.gobj(), event);
    gdk_event_free(event);
}

TEST_F(ReadingTest, ExpandAllAndCollapseAllReachEveryLevel) {
    // Two nested headings (id "-1", each with its path line) over one page.
    doc::QbxWriter writer(doc::DocumentInfo{});
    writer.AddRecord(
        "<ul>\n"
        "<li><param name=\"name\" value=\"Outer\" id=\"-1\">\n<param name=\"local\" "
        "value=\"outer\">\n"
        "<ul>\n"
        "<li><param name=\"name\" value=\"Inner\" id=\"-1\">\n<param name=\"local\" "
        "value=\"inner\">\n"
        "<ul>\n"
        "<li><param name=\"name\" value=\"Page\" id=\"2\">\n<param name=\"local\" "
        "value=\"page.htm\">\n"
        "</ul>\n</ul>\n</ul>\n");
    writer.AddRecord("<html><head><title>Page</title></head><body>page</body></html>");
    const std::string book = dir_.File("nested.qbx");
    writer.WriteFile(book);
    ReaderSession session({book});
    Tfm_Quillon3& w = session.window();
    ASSERT_EQ(RowCount(Named<Gtk::TreeView>(w, "contents_tree")), 1);
    const Gtk::TreePath outer("0"), inner("0:0");
    Activate(w, "act_TvCollapsed");
    EXPECT_FALSE(Named<Gtk::TreeView>(w, "contents_tree").row_expanded(outer));
    EXPECT_FALSE(Named<Gtk::TreeView>(w, "contents_tree").row_expanded(inner));
    Activate(w, "act_TvExpand");
    EXPECT_TRUE(Named<Gtk::TreeView>(w, "contents_tree").row_expanded(outer));
    EXPECT_TRUE(Named<Gtk::TreeView>(w, "contents_tree").row_expanded(inner));
    Activate(w, "act_TvCollapsed");
    EXPECT_FALSE(Named<Gtk::TreeView>(w, "contents_tree").row_expanded(outer));
    EXPECT_FALSE(Named<Gtk::TreeView>(w, "contents_tree").row_expanded(inner));
}

TEST_F(ReadingTest, CtrlAlt9RevealsTheRecordButtonWhichShowsARawRecord) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "cover.htm", "Cover page"); }));
    Gtk::Entry& entry = AddressEntry(w);
    PressKey(entry, GDK_KEY_9, GDK_CONTROL_MASK | GDK_MOD1_MASK);
    EXPECT_TRUE(Named<Gtk::Button>(w, "test_button").get_visible());
    PressKey(entry, GDK_KEY_a, 0);
    EXPECT_FALSE(Named<Gtk::Button>(w, "test_button").get_visible());
    SearchWordEntry(w).set_text("3");
    Named<Gtk::Button>(w, "test_button").clicked();
    EXPECT_TRUE(PumpUntil([&] { return HomeBrowser(w).Title() == "First page"; }))
        << HomeBrowser(w).Title();
}

TEST_F(ReadingTest, SwitchingTabsPutsTheActiveTabsAddressInTheBox) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "cover.htm", "Cover page"); }));
    browser::WebBrowser* tab = w.NewBrowserTab(&HomeBrowser(w));
    ASSERT_NE(tab, nullptr);
    webkit_web_view_load_html(tab->View(), "<title>Other</title>x", "about:blank");
    ASSERT_TRUE(PumpUntil([&] { return tab->Title() == "Other" && !tab->Busy(); }));
    Named<Gtk::Notebook>(w, "page_tabs").set_current_page(0);
    EXPECT_EQ(AddressEntry(w).get_text(), std::string(kPrefix) + "cover.htm");
    EXPECT_EQ(w.CurrentBrowser(), &HomeBrowser(w));
    EXPECT_EQ(w.get_title(), "Cover page - book.qbx - Quillon3");
}

}  // namespace
}  // namespace q3::reader::testing
