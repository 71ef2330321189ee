// Coming back to a book where it was left, by any route and after the file
// moved or the book was rewritten, and the window keeping its size, place
// and side bar width from one run to the next.
#include <gtest/gtest.h>

#include <gdkmm/display.h>
#include <gdkmm/monitor.h>

#include <filesystem>

#include "browser/page_scroll.h"
#include "browser/web_browser.h"
#include "common/shell.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

constexpr const char* kPrefix = "qbx://reader/";
constexpr auto kScrollWait = std::chrono::seconds(5);

bool Shows(browser::WebBrowser& wb, const std::string& page, const std::string& title) {
    return wb.LocationUrl() == std::string(kPrefix) + page && !wb.Busy() && wb.Title() == title;
}

std::optional<int> ScrollOf(browser::WebBrowser& wb) {
    return browser::ScrollPositionNow(wb, kScrollWait);
}

// The same book each time it is written: the same maker's texts and
// creation time. Its long page is what the reader scrolls; a rewrite may
// leave it out or add a page.
std::string WriteResumeBook(const std::string& path, bool with_long_page, bool with_extra_page) {
    doc::DocumentInfo info;
    info.Subject = "Resume book";
    info.CreatedAt = doc::MakeDosDateTime(2020, 5, 17, 10, 30, 0);
    doc::QbxWriter writer(info);
    // Each item names its record: the contents is record 1, the pages follow.
    const auto item = [](const char* name, const char* local, int record) {
        return std::string("<li><param name=\"name\" value=\"") + name + "\" id=\"" +
               std::to_string(record) + "\"><param name=\"local\" value=\"" + local + "\">\n";
    };
    int record = 2;
    std::string contents = "<ul>\n" + item("Cover", "cover.htm", record++);
    if (with_long_page)
        contents += item("Long", "one\\long.htm", record++);
    if (with_extra_page)
        contents += item("Extra", "extra.htm", record++);
    writer.AddRecord(contents + "</ul>\n");
    writer.AddRecord("<html><head><title>Cover page</title></head><body>cover</body></html>");
    if (with_long_page)
        writer.AddRecord(
            "<html><head><title>Long page</title></head><body>"
            "<div style=\"height:4000px\">top</div><p id=\"end\">end</p>"
            "<div style=\"height:4000px\"></div></body></html>");
    if (with_extra_page)
        writer.AddRecord("<html><head><title>Extra page</title></head><body>x</body></html>");
    writer.WriteFile(path);
    return path;
}

// Opens the book's long page, scrolls it down and quits as the user does.
void ReadLongPageAndQuit(const std::string& book, int scroll) {
    ReaderSession s({book});
    browser::WebBrowser& wb = HomeBrowser(s.window());
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "cover.htm", "Cover page"); }));
    wb.Navigate(std::string(kPrefix) + "one/long.htm");
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "one/long.htm", "Long page"); }));
    bool scrolled = false;
    browser::ScrollPageTo(wb, scroll, [&](std::optional<int>) { scrolled = true; });
    ASSERT_TRUE(PumpUntil([&] { return scrolled; }));
    ASSERT_EQ(ScrollOf(wb), scroll);
    Activate(s.window(), "act_exit");
    ASSERT_FALSE(s.window().get_visible());
}

std::string Placement(Gtk::Window& w) {
    int width = 0, height = 0, x = 0, y = 0;
    w.get_size(width, height);
    w.get_position(x, y);
    return std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" +
           std::to_string(y);
}

class ReaderResume : public ReaderTest {};

TEST_F(ReaderResume, ReopenedBookShowsThePageAndScrollWhereItWasLeftWhereverTheFileWent) {
    const std::string book = WriteResumeBook(dir_.File("book.qbx"), true, false);
    ReadLongPageAndQuit(book, 2500);
    {
        ReaderSession s({book});
        Tfm_Quillon3& w = s.window();
        browser::WebBrowser& wb = HomeBrowser(w);
        ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "one/long.htm", "Long page"); }))
            << wb.LocationUrl();
        EXPECT_TRUE(PumpUntil([&] { return ScrollOf(wb) == 2500; }));
        EXPECT_EQ(SelectedRowText(Named<Gtk::TreeView>(w, "contents_tree")), "Long");
        // The book's home is still its first page.
        Activate(w, "act_QBXNavHome");
        EXPECT_TRUE(PumpUntil([&] { return Shows(wb, "cover.htm", "Cover page"); }));
        // Back at the long page, and on to its last section, by a link.
        wb.Navigate(std::string(kPrefix) + "one/long.htm#end");
        ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "one/long.htm#end", "Long page"); }));
        Activate(w, "act_exit");
    }
    // Moved and renamed, and opened from the open dialog this time.
    std::filesystem::create_directories(dir_.path() / "elsewhere");
    const std::string moved = (dir_.path() / "elsewhere" / "renamed.qbx").string();
    std::filesystem::rename(book, moved);
    ReaderSession s;
    browser::WebBrowser& wb = HomeBrowser(s.window());
    dialogs_->messages.clear();
    dialogs_->file_answers.push_back(moved);
    Activate(s.window(), "act_openfile");
    EXPECT_TRUE(PumpUntil([&] { return Shows(wb, "one/long.htm#end", "Long page"); }))
        << wb.LocationUrl() << " [" << wb.Title() << "] busy " << wb.Busy();
    EXPECT_TRUE(PumpUntil([&] { return ScrollOf(wb) > 3000; })) << ScrollOf(wb).value_or(-1);
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(ReaderResume, RewrittenBookResumesOnlyWhileItStillHasThePage) {
    const std::string book = dir_.File("book.qbx");
    WriteResumeBook(book, true, false);
    ReadLongPageAndQuit(book, 1200);
    // Rewritten with one more page: its identity number changed, the page
    // is still there.
    WriteResumeBook(book, true, true);
    {
        ReaderSession s({book});
        browser::WebBrowser& wb = HomeBrowser(s.window());
        EXPECT_TRUE(PumpUntil([&] { return Shows(wb, "one/long.htm", "Long page"); }))
            << wb.LocationUrl();
        EXPECT_TRUE(PumpUntil([&] { return ScrollOf(wb) == 1200; }));
    }
    // Rewritten without it: the first page, as for a book never read.
    WriteResumeBook(book, false, true);
    ReaderSession s({book});
    browser::WebBrowser& wb = HomeBrowser(s.window());
    EXPECT_TRUE(PumpUntil([&] { return Shows(wb, "cover.htm", "Cover page"); }))
        << wb.LocationUrl();
    EXPECT_EQ(SelectedRowText(Named<Gtk::TreeView>(s.window(), "contents_tree")), "Cover");
}

TEST_F(ReaderResume, LeavingABookForAnotherKeepsItsPlace) {
    const std::string book = WriteResumeBook(dir_.File("book.qbx"), true, false);
    const std::string other = WriteBook("other.qbx");
    ReaderSession s({book});
    Tfm_Quillon3& w = s.window();
    browser::WebBrowser& wb = HomeBrowser(w);
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "cover.htm", "Cover page"); }));
    wb.Navigate(std::string(kPrefix) + "one/long.htm");
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "one/long.htm", "Long page"); }));
    bool scrolled = false;
    browser::ScrollPageTo(wb, 900, [&](std::optional<int>) { scrolled = true; });
    ASSERT_TRUE(PumpUntil([&] { return scrolled; }));
    w.OpenQbx(other);
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "cover.htm", "Cover page"); }));
    w.OpenQbx(book);
    EXPECT_TRUE(PumpUntil([&] { return Shows(wb, "one/long.htm", "Long page"); }));
    EXPECT_TRUE(PumpUntil([&] { return ScrollOf(wb) == 900; }));
}

TEST_F(ReaderResume, WindowKeepsItsSizePlaceAndSideBarWidthAcrossRuns) {
    {
        ReaderSession s;
        Tfm_Quillon3& w = s.window();
        Activate(w, "act_NavTree");
        w.resize(900, 550);
        w.move(30, 40);
        Named<Gtk::Paned>(w, "side_bar_splitter").set_position(300);
        ASSERT_TRUE(PumpUntil([&] {
            int width = 0, height = 0, x = 0, y = 0;
            w.get_size(width, height);
            w.get_position(x, y);
            return width == 900 && height == 550 && x == 30 && y == 40;
        })) << Placement(w);
        Activate(w, "act_exit");
    }
    {
        ReaderSession s;
        Tfm_Quillon3& w = s.window();
        int width = 0, height = 0, x = 0, y = 0;
        w.get_size(width, height);
        w.get_position(x, y);
        EXPECT_EQ(width, 900);
        EXPECT_EQ(height, 550);
        EXPECT_EQ(x, 30);
        EXPECT_EQ(y, 40);
        Activate(w, "act_NavTree");
        EXPECT_EQ(Named<Gtk::Paned>(w, "side_bar_splitter").get_position(), 300);
    }
    // A place stored on a larger screen, off this one: the window comes up
    // whole on the screen.
    const char* key = "SOFTWARE\\Tarvik\\Quillon3";
    WriteHkcuValues(
        key,
        {{"WindowLeft", 5000}, {"WindowTop", -700}, {"WindowWidth", 9000}, {"WindowHeight", 700}});
    ReaderSession s;
    int width = 0, height = 0, x = 0, y = 0;
    s.window().get_size(width, height);
    s.window().get_position(x, y);
    Gdk::Rectangle screen;
    Gdk::Display::get_default()->get_monitor(0)->get_workarea(screen);
    EXPECT_LE(width, screen.get_width());
    EXPECT_EQ(height, 700);
    EXPECT_GE(x, screen.get_x());
    EXPECT_GE(y, screen.get_y());
    EXPECT_LE(x + width, screen.get_x() + screen.get_width());
}

}  // namespace
}  // namespace q3::reader::testing
