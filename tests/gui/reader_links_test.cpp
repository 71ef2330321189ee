// The home page, the links the reader answers itself, archive entries offered
// for saving, and the page tabs with their captions.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "online/test_http_server.h"
#include "page_input.h"
#include "reader/forms/tab_painter.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

constexpr const char* kPrefix = "qbx://reader/";

// Runs a script in the page and hands back its JSON result.
std::string PageResult(browser::WebBrowser& wb, const std::string& script) {
    std::optional<std::string> result;
    bool done = false;
    browser::RunPageScript(wb, script, [&](std::optional<std::string> json) {
        result = std::move(json);
        done = true;
    });
    PumpUntil([&] { return done; });
    return result.value_or("");
}

std::string HomeLinks(browser::WebBrowser& wb) {
    return PageResult(wb,
                      "Array.from(document.querySelectorAll('a')).map(a => "
                      "a.getAttribute('href')).join('\\n')");
}

bool HomePageShown(browser::WebBrowser& wb) {
    return wb.Title() == "首页" && !wb.Busy();
}

void WriteHistory(const std::string& file, const std::vector<std::string>& items) {
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream out(file);
    out << "[URLs]\n";
    for (size_t i = 0; i < items.size(); ++i)
        out << "url" << i << "=" << items[i] << "\n";
    out << "Count=" << items.size() << "\n";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A book with a zip entry among its resources, and one in capitals.
std::string WriteArchiveBook(const std::string& path) {
    doc::QbxWriter writer(doc::DocumentInfo{});
    writer.AddRecord(
        "<ul>\n<li><param name=\"name\" value=\"Cover\" id=\"2\"><param name=\"local\" "
        "value=\"cover.htm\">\n</ul>\n"
        "<res value=\"files\\pack.zip\" id=\"3\">\n"
        "<res value=\"files\\big.ZIP\" id=\"4\">\n");
    writer.AddRecord("<html><head><title>Cover</title></head><body>cover</body></html>");
    writer.AddRecord("PK-zip-bytes");
    writer.AddRecord("PK-other-bytes");
    writer.WriteFile(path);
    return path;
}

class LinksTest : public ReaderTest {};

TEST_F(LinksTest, HomePageListsTheHistoryNewestFirstWithoutAboutBlank) {
    WriteHistory(DataFile("RURLs.dat"),
                 {"/x/a.qbx", "http://example.org/one", "about:blank", "/x/B.QBX"});
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    const std::string links = HomeLinks(HomeBrowser(w));
    const size_t b = links.find("open://%7C%2Fx%2FB.QBX%7C");
    const size_t a = links.find("open://%7C%2Fx%2Fa.qbx%7C");
    ASSERT_NE(a, std::string::npos) << links;
    ASSERT_NE(b, std::string::npos) << links;
    EXPECT_LT(b, a);
    EXPECT_NE(links.find("commnet://%7C%2Fx%2Fa.qbx%7C"), std::string::npos);
    EXPECT_NE(links.find("http%3A%2F%2Fexample.org%2Fone"), std::string::npos) << links;
    EXPECT_EQ(links.find("about:blank"), std::string::npos);
    EXPECT_NE(links.find("open:(help)"), std::string::npos);
    EXPECT_NE(links.find("clear:(url)"), std::string::npos);
    EXPECT_EQ(AddressEntry(w).get_text(), "about:blank");
}

// "open://|path|" as the home page writes it.
std::string OpenLink(const std::string& path) {
    std::string escaped;
    for (char c : path)
        escaped += c == '/' ? std::string("%2F") : std::string(1, c);
    return "open://%7C" + escaped + "%7C";
}

// A book whose one page tries the reader's link forms by script, without
// a click, and frames a web page that tries them too.
std::string WriteHostileBook(const std::string& path, const std::string& other_book,
                             const std::string& framed) {
    const std::string open = OpenLink(other_book);
    doc::QbxWriter writer(doc::DocumentInfo{});
    writer.AddRecord(
        "<ul>\n<li><param name=\"name\" value=\"Hostile\" id=\"2\"><param name=\"local\" "
        "value=\"hostile.htm\">\n</ul>\n");
    writer.AddRecord(
        "<html><head><title>Hostile</title></head><body>"
        "<a id=\"open\" href=\"" +
        open +
        "\">open</a>"
        "<iframe src=\"" +
        framed +
        "\"></iframe><script>"
        "setTimeout(() => { location = 'clear:(url)'; }, 300);"
        "setTimeout(() => { document.getElementById('open').click(); }, 600);"
        "setTimeout(() => { document.title = 'Done'; }, 900);"
        "</script></body></html>");
    writer.WriteFile(path);
    return path;
}

// Regression: a page's script, or a web page a book page framed, could use
// the reader's link forms without a click: the address history was wiped
// and stored at once, and another document replaced the open one.
TEST_F(LinksTest, RegressionNoScriptOrFramedPageUsesTheReadersLinkForms) {
    const std::string other = WriteBook("other.qbx");
    q3::testing::TestHttpServer web;
    web.Serve("/frame.htm", {200, "text/html",
                             "<script>top.location = 'clear:(qbx)';"
                             "setTimeout(() => { top.location = '" +
                                 OpenLink(other) +
                                 "'; }, 200);"
                                 "</script>"});
    const std::string book =
        WriteHostileBook(dir_.File("hostile.qbx"), other, web.Url("/frame.htm"));
    WriteHistory(DataFile("RURLs.dat"), {"http://example.org/one", other});
    const std::string history = ReadText(DataFile("RURLs.dat"));
    ReaderSession session({book});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomeBrowser(w).Title() == "Done"; }));
    PumpFor(std::chrono::milliseconds(1000));
    EXPECT_EQ(ReadText(DataFile("RURLs.dat")), history);
    ASSERT_NE(w.Server()->Document(), nullptr);
    EXPECT_EQ(w.Server()->Document()->FileName(), book);
    const std::vector<std::string> items = AddressItems(w);
    EXPECT_NE(std::find(items.begin(), items.end(), "http://example.org/one"), items.end());

    // The same link clicked by the user opens the other book.
    ASSERT_TRUE(ClickLink(HomeBrowser(w), "#open"));
    EXPECT_TRUE(PumpUntil([&] { return w.Server()->Document()->FileName() == other; }));
}

TEST_F(LinksTest, HistoryLinkOpensTheBook) {
    const std::string book = WriteBook();
    WriteHistory(DataFile("RURLs.dat"), {book});
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    ASSERT_TRUE(ClickLink(HomeBrowser(w), "a[href^=\"open://\"]"));
    EXPECT_TRUE(PumpUntil(
        [&] { return HomeBrowser(w).LocationUrl() == std::string(kPrefix) + "cover.htm"; }));
    ASSERT_NE(w.Server()->Document(), nullptr);
    EXPECT_EQ(w.Server()->Document()->FileName(), book);
}

TEST_F(LinksTest, OpenLinkWithPercentEscapesOpensTheDecodedPath) {
    const std::string book = WriteBook("my book.qbx");
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    std::string escaped;
    for (char c : book)
        escaped += c == '/'   ? std::string("%2F")
                   : c == ' ' ? std::string("%20")
                              : std::string(1, c);
    ASSERT_TRUE(FollowAsUser(HomeBrowser(w), "open://%7C" + escaped + "%7C"));
    EXPECT_TRUE(PumpUntil([&] { return w.Server()->Document() != nullptr; }));
    ASSERT_NE(w.Server()->Document(), nullptr);
    EXPECT_EQ(w.Server()->Document()->FileName(), book);
}

TEST_F(LinksTest, OpenHelpLinkOpensTheHelpBookBesideTheProgram) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(FollowAsUser(HomeBrowser(w), "open:(help)"));
    EXPECT_TRUE(PumpUntil([&] { return w.Server()->Document() != nullptr; }));
}

TEST_F(LinksTest, OpenQbxLinkRunsTheOpenDialog) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(FollowAsUser(HomeBrowser(w), "open:(qbx)"));
    EXPECT_TRUE(PumpUntil([&] { return !dialogs_->file_filters.empty(); }));
}

TEST_F(LinksTest, ClearUrlKeepsDocumentsAndAboutBlank) {
    const std::string book = WriteBook();
    WriteHistory(DataFile("RURLs.dat"), {book, "http://example.org/one", "/x/gone.qbx"});
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    ASSERT_TRUE(ClickLink(HomeBrowser(w), "a[href=\"clear:(url)\"]"));
    ASSERT_TRUE(PumpUntil([&] {
        const auto items = AddressItems(w);
        return std::find(items.begin(), items.end(), "http://example.org/one") == items.end();
    }));
    const std::vector<std::string> items = AddressItems(w);
    EXPECT_NE(std::find(items.begin(), items.end(), book), items.end());
    EXPECT_NE(std::find(items.begin(), items.end(), "/x/gone.qbx"), items.end());
    // Stored at once: the file no longer holds the web address.
    EXPECT_EQ(ReadText(DataFile("RURLs.dat")).find("Count=3"), std::string::npos);
    EXPECT_NE(ReadText(DataFile("RURLs.dat")).find("Count=2"), std::string::npos);
}

TEST_F(LinksTest, ClearQbxKeepsOnlyWebAddressesThatAreNotFiles) {
    const std::string book = WriteBook();
    WriteHistory(DataFile("RURLs.dat"), {book, "http://example.org/one", "/x/gone.qbx"});
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    ASSERT_TRUE(ClickLink(HomeBrowser(w), "a[href=\"clear:(qbx)\"]"));
    // Stored at once, before the home page written again puts its own
    // about:blank back into the box.
    ASSERT_TRUE(PumpUntil(
        [&] { return ReadText(DataFile("RURLs.dat")).find("Count=1") != std::string::npos; }));
    EXPECT_NE(ReadText(DataFile("RURLs.dat")).find("url0=http://example.org/one"),
              std::string::npos);
    const std::vector<std::string> items = AddressItems(w);
    EXPECT_NE(std::find(items.begin(), items.end(), "http://example.org/one"), items.end());
    EXPECT_EQ(std::find(items.begin(), items.end(), book), items.end());
    EXPECT_EQ(std::find(items.begin(), items.end(), "/x/gone.qbx"), items.end());
}

TEST_F(LinksTest, RegressionZipEntrySaveProposesOnlyItsOwnFileName) {
    const std::string book = WriteArchiveBook(dir_.File("archive.qbx"));
    ReaderSession session({book});
    Tfm_Quillon3& w = session.window();
    // The cover page fully loaded, so that the cancelled request is the only
    // navigation in flight.
    ASSERT_TRUE(PumpUntil([&] {
        return HomeBrowser(w).LocationUrl() == std::string(kPrefix) + "cover.htm" &&
               !HomeBrowser(w).Busy() && HomeBrowser(w).Title() == "Cover";
    }));
    const std::string target = dir_.File("saved.zip");
    dialogs_->file_answers.push_back(target);
    HomeBrowser(w).Navigate(std::string(kPrefix) + "files/pack.zip");
    ASSERT_TRUE(PumpUntil([&] { return !dialogs_->save_names.empty(); }));
    // Only the last component of "files\pack.zip" is proposed.
    EXPECT_EQ(dialogs_->save_names[0], "pack.zip");
    EXPECT_TRUE(PumpUntil([&] { return ReadText(target) == "PK-zip-bytes"; }));
    EXPECT_EQ(HomeBrowser(w).LocationUrl(), std::string(kPrefix) + "cover.htm");
}

TEST_F(LinksTest, ArchiveExtensionInCapitalsIsNotIntercepted) {
    const std::string book = WriteArchiveBook(dir_.File("archive.qbx"));
    ReaderSession session({book});
    Tfm_Quillon3& w = session.window();
    EXPECT_FALSE(w.SaveArchiveEntry(std::string(kPrefix) + "files/big.ZIP"));
    EXPECT_TRUE(w.SaveArchiveEntry(std::string(kPrefix) + "files/pack.zip"));
    // An archive name that is no entry of the book goes to the browser.
    EXPECT_FALSE(w.SaveArchiveEntry(std::string(kPrefix) + "files/none.zip"));
}

TEST_F(LinksTest, NewTabIsCaptionedLoadingUntilItsTitleArrives) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    browser::WebBrowser* tab = w.NewBrowserTab(&HomeBrowser(w));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(Named<Gtk::Notebook>(w, "page_tabs").get_n_pages(), 2);
    EXPECT_EQ(w.CurrentBrowser(), tab);
    EXPECT_EQ(TabCaption(Named<Gtk::Notebook>(w, "page_tabs"), 1), "正在加载...");
    webkit_web_view_load_html(tab->View(), "<title>ABCDEFGHIJKLMNOPQRST</title>x", "about:blank");
    EXPECT_TRUE(PumpUntil([&] {
        return TabCaption(Named<Gtk::Notebook>(w, "page_tabs"), 1) == "ABCDEFGHIJKLMNOP...";
    })) << TabCaption(Named<Gtk::Notebook>(w, "page_tabs"), 1);
    webkit_web_view_load_html(tab->View(), "<title>中文标题一二三四五六七</title>x", "about:blank");
    EXPECT_TRUE(PumpUntil([&] {
        return TabCaption(Named<Gtk::Notebook>(w, "page_tabs"), 1) == "中文标题一二三四...";
    })) << TabCaption(Named<Gtk::Notebook>(w, "page_tabs"), 1);
}

TEST_F(LinksTest, ClosingATabRemovesItAndClosingHomeKeepsIt) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    ASSERT_NE(w.NewBrowserTab(&HomeBrowser(w)), nullptr);
    ASSERT_NE(w.NewBrowserTab(&HomeBrowser(w)), nullptr);
    EXPECT_EQ(Named<Gtk::Notebook>(w, "page_tabs").get_n_pages(), 3);
    Activate(w, "act_CloseWeb");
    EXPECT_EQ(Named<Gtk::Notebook>(w, "page_tabs").get_n_pages(), 2);
    EXPECT_EQ(w.PageTabCount(), 1u);
    EXPECT_NE(w.CurrentBrowser(), nullptr);
    Named<Gtk::Notebook>(w, "page_tabs").set_current_page(0);
    Activate(w, "act_CloseWeb");
    EXPECT_EQ(Named<Gtk::Notebook>(w, "page_tabs").get_n_pages(), 2);
    EXPECT_EQ(w.CurrentBrowser(), &HomeBrowser(w));
    EXPECT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
}

TEST_F(LinksTest, PageOpeningANewWindowGetsATab) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    webkit_settings_set_javascript_can_open_windows_automatically(
        webkit_web_view_get_settings(HomeBrowser(w).View()), TRUE);
    PageResult(HomeBrowser(w), "window.open('about:blank'); 1");
    EXPECT_TRUE(PumpUntil([&] { return Named<Gtk::Notebook>(w, "page_tabs").get_n_pages() == 2; }));
    EXPECT_EQ(w.PageTabCount(), 1u);
}

TEST_F(LinksTest, CommentLinkOfTheOpenBookGoesStraightToItsCommentPage) {
    const std::string book = WriteBook();
    ReaderSession session({book});
    Tfm_Quillon3& w = session.window();
    doc::TQBXManage* open = w.Server()->Document();
    ASSERT_NE(open, nullptr);
    std::string asked;
    CatchWebNavigations(HomeBrowser(w), asked);
    std::string escaped;
    for (char c : book)
        escaped += c == '/' ? std::string("%2F") : std::string(1, c);
    ASSERT_TRUE(FollowAsUser(HomeBrowser(w), "commnet://%7C" + escaped + "%7C"));
    EXPECT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, w.Server()->CommentUrl());
    EXPECT_EQ(w.Server()->Document(), open);  // not opened again
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(LinksTest, KeyInTheAddressIsHighlightedInThePage) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil(
        [&] { return HomeBrowser(w).Title() == "Cover page" && !HomeBrowser(w).Busy(); }));
    HomeBrowser(w).Navigate(std::string(kPrefix) + "one/first.htm?key=FIRST");
    ASSERT_TRUE(PumpUntil(
        [&] { return HomeBrowser(w).Title() == "First page" && !HomeBrowser(w).Busy(); }));
    std::string spans;
    EXPECT_TRUE(PumpUntil([&] {
        spans = PageResult(HomeBrowser(w),
                           "Array.from(document.querySelectorAll('span')).map(s => "
                           "s.textContent).join('|')");
        return spans == "\"first\"";
    })) << spans;
}

TEST_F(LinksTest, CtrlEnterWrapsTheWordIntoAWebAddress) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    std::string asked;
    CatchWebNavigations(HomeBrowser(w), asked);
    Gtk::Entry& entry = AddressEntry(w);
    entry.set_text("example");
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(entry.get_window()->gobj()));
    event->key.keyval = GDK_KEY_Return;
    event->key.state = GDK_CONTROL_MASK;
    event->key.send_event = TRUE;
    gtk_widget_event(GTK_WIDGET(entry.gobj()), event);
    gdk_event_free(event);
    EXPECT_EQ(entry.get_text(), "http://www.example.com");
    EXPECT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "http://www.example.com/");
}

TEST_F(LinksTest, RegressionHistoryFileThatIsAFolderIsReportedNotThrown) {
    // A folder where the file belongs: neither readable nor writable as a file.
    std::filesystem::create_directories(DataFile("RURLs.dat"));
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    const size_t before = dialogs_->messages.size();
    ASSERT_TRUE(ClickLink(HomeBrowser(w), "a[href=\"clear:(url)\"]"));
    ASSERT_TRUE(PumpUntil([&] { return dialogs_->messages.size() > before; }));
    EXPECT_EQ(dialogs_->messages.back().text, "不能创建文件，请确定您应用程序安装目录是否可写？");
    EXPECT_EQ(dialogs_->messages.back().caption, "Quillon3");
}

TEST_F(LinksTest, PageClosingItsOwnWindowClosesItsTab) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    webkit_settings_set_javascript_can_open_windows_automatically(
        webkit_web_view_get_settings(HomeBrowser(w).View()), TRUE);
    PageResult(HomeBrowser(w), "window.open('about:blank'); 1");
    ASSERT_TRUE(PumpUntil([&] { return w.PageTabCount() == 1u; }));
    browser::WebBrowser* tab = w.CurrentBrowser();
    ASSERT_NE(tab, &HomeBrowser(w));
    ASSERT_TRUE(PumpUntil([&] { return tab->HasDocument() && !tab->Busy(); }));
    PageResult(*tab, "window.close(); 1");
    EXPECT_TRUE(PumpUntil([&] { return w.PageTabCount() == 0u; }));
    EXPECT_EQ(Named<Gtk::Notebook>(w, "page_tabs").get_n_pages(), 1);
    EXPECT_EQ(w.CurrentBrowser(), &HomeBrowser(w));
}

TEST_F(LinksTest, CaptionNamesThePageAndTheBooksSubject) {
    doc::DocumentInfo info;
    info.Subject = "My Book";
    doc::QbxWriter writer(info);
    writer.AddRecord(
        "<ul>\n<li><param name=\"name\" value=\"Cover\" id=\"2\"><param name=\"local\" "
        "value=\"cover.htm\">\n</ul>\n");
    writer.AddRecord("<html><head><title>Cover</title></head><body>cover</body></html>");
    const std::string book = dir_.File("subject.qbx");
    writer.WriteFile(book);
    ReaderSession session({book});
    Tfm_Quillon3& w = session.window();
    EXPECT_TRUE(PumpUntil([&] { return w.get_title() == "Cover - My Book - Quillon3"; }))
        << w.get_title();
    EXPECT_EQ(TabCaption(Named<Gtk::Notebook>(w, "page_tabs"), 0), "Cover");
}

}  // namespace
}  // namespace q3::reader::testing
