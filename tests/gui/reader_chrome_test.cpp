// What a new user meets around the pages: the address box's completion, the
// tabs of the side bar and of the pages under the mouse, the side bar after
// opening a book, tab captions, "另存为", the pages written for load errors,
// the page area after a pop-up and the program's icon. Pointer and keys go
// through the X server (xdotool), as a user's do.
#include <gtest/gtest.h>

#include <gdkmm/pixbuf.h>
#include <glibmm/main.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "common/app_paths.h"
#include "page_input.h"
#include "reader/forms/tab_painter.h"
#include "reader_fixture.h"
#include "x_input.h"

namespace q3::reader::testing {
namespace {

using Chrome = ReaderTest;

void WriteHistory(const std::string& file, const std::vector<std::string>& items) {
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream out(file);
    out << "[URLs]\n";
    for (size_t i = 0; i < items.size(); ++i)
        out << "url" << i << "=" << items[i] << "\n";
    out << "Count=" << items.size() << "\n";
}

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

bool HomePageShown(browser::WebBrowser& wb) {
    return wb.Title() == "首页" && !wb.Busy();
}

// The box's text and what of it is selected, as [start, end).
struct BoxState {
    std::string text;
    int start = 0;
    int end = 0;
};
BoxState StateOf(Gtk::Entry& entry) {
    BoxState s{entry.get_text(), 0, 0};
    entry.get_selection_bounds(s.start, s.end);
    return s;
}

Gtk::Widget& TabLabel(Gtk::Notebook& notebook, Gtk::Widget& page) {
    return *notebook.get_tab_label(page);
}

// Regression: the toolkit's inline completion appended a whole history item
// after the first letter and dropped its selection, so typing on garbled
// the address ("qbx://reader/faq.htmlbx://reader/index.html").
TEST_F(Chrome, TypingInTheAddressBoxAppendsOnlyTheRestSelected) {
    WriteHistory(DataFile("RURLs.dat"), {"http://example.org/faq.html"});
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    std::string asked;
    CatchWebNavigations(HomeBrowser(w), asked);
    Gtk::Entry& box = AddressEntry(w);

    Click(box);
    PressKey("ctrl+a");
    PressKey("BackSpace");
    TypeText("http://e");
    ASSERT_TRUE(PumpUntil([&] { return box.get_text() == "http://example.org/faq.html"; }))
        << box.get_text();
    PumpFor(std::chrono::milliseconds(500));  // long enough for the suggestions to open
    BoxState s = StateOf(box);
    EXPECT_EQ(s.text, "http://example.org/faq.html");
    EXPECT_EQ(s.start, 8);  // what was typed stays; the rest is selected
    EXPECT_EQ(s.end, 27);

    // Typing on replaces the appended rest, key by key.
    TypeText("xample.org/index.html");
    EXPECT_TRUE(PumpUntil([&] { return box.get_text() == "http://example.org/index.html"; }))
        << box.get_text();
    PressKey("Return");
    EXPECT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "http://example.org/index.html");

    // Enter takes what is shown, the appended rest included.
    asked.clear();
    PressKey("ctrl+a");
    PressKey("BackSpace");
    TypeText("http://example.org/f");
    ASSERT_TRUE(PumpUntil([&] { return box.get_text() == "http://example.org/faq.html"; }))
        << box.get_text();
    PressKey("Return");
    EXPECT_TRUE(PumpUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "http://example.org/faq.html");

    // An address the window puts into the box is not completed.
    AddressEntry(w).set_text("http://e");
    PumpFor(std::chrono::milliseconds(100));
    EXPECT_EQ(box.get_text(), "http://e");
}

// Regression: with the address suggestions open, the first click elsewhere
// only closed them; what was clicked did nothing.
TEST_F(Chrome, RegressionAClickBesideTheOpenSuggestionsReachesWhatWasClicked) {
    WriteHistory(DataFile("RURLs.dat"), {"http://example.org/faq.html"});
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomeBrowser(w).Title() == "Cover page"; }));
    Gtk::Entry& box = AddressEntry(w);
    const auto suggestions_open = [&] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
            if (window->get_visible() && window->get_attached_to() == &box)
                return true;
        }
        return false;
    };
    Click(box);
    PressKey("ctrl+a");
    PressKey("BackSpace");
    TypeText("http://e");
    ASSERT_TRUE(PumpUntil(suggestions_open));
    Click(TabLabel(Named<Gtk::Notebook>(w, "side_bar"), Named<Gtk::Widget>(w, "resource_page")));
    EXPECT_TRUE(PumpUntil([&] { return !suggestions_open(); }));
    EXPECT_TRUE(PumpUntil(
        [&] { return CurrentPageName(Named<Gtk::Notebook>(w, "side_bar")) == "resource_page"; }));
}

// Regression: the owner-drawn tab labels had windows of their own that took
// the clicks, so only the keyboard reached the other tabs.
TEST_F(Chrome, SideBarTabsSwitchOnAClickOnTheirLabels) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(Named<Gtk::Notebook>(w, "side_bar").get_visible());
    PumpFor(std::chrono::milliseconds(300));
    auto& document_tabs = Named<Gtk::Notebook>(w, "document_tabs");
    for (const char* page : {"index_page", "search_page", "bookmarks_page", "contents_page"}) {
        Gtk::Widget& sheet = Named<Gtk::Widget>(document_tabs, page);
        Click(TabLabel(document_tabs, sheet));
        EXPECT_EQ(CurrentPageName(document_tabs), page)
            << TabCaption(document_tabs, TabIndexOf(document_tabs, sheet));
    }
    Click(TabLabel(Named<Gtk::Notebook>(w, "side_bar"), Named<Gtk::Widget>(w, "resource_page")));
    EXPECT_EQ(CurrentPageName(Named<Gtk::Notebook>(w, "side_bar")), "resource_page");
    Click(TabLabel(Named<Gtk::Notebook>(w, "side_bar"), Named<Gtk::Box>(w, "books_page")));
    EXPECT_EQ(CurrentPageName(Named<Gtk::Notebook>(w, "side_bar")), "books_page");
}

TEST_F(Chrome, PageTabLabelsTakeClicksDoubleClicksAndTheMenu) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    browser::WebBrowser* other = w.NewBrowserTab(&HomeBrowser(w));
    ASSERT_NE(other, nullptr);
    Gtk::Widget* other_sheet = Named<Gtk::Notebook>(w, "page_tabs").get_nth_page(1);
    PumpFor(std::chrono::milliseconds(300));

    Click(TabLabel(Named<Gtk::Notebook>(w, "page_tabs"), Named<Gtk::Box>(w, "home_tab")));
    EXPECT_EQ(Named<Gtk::Notebook>(w, "page_tabs").get_current_page(), 0);
    Click(TabLabel(Named<Gtk::Notebook>(w, "page_tabs"), *other_sheet));
    EXPECT_EQ(Named<Gtk::Notebook>(w, "page_tabs").get_current_page(), 1);

    // The menu comes up over the label itself.
    Click(TabLabel(Named<Gtk::Notebook>(w, "page_tabs"), *other_sheet), 3);
    EXPECT_TRUE(PumpUntil([&] { return PopupMenu(w, "page_tabs_menu").get_visible(); }));
    PressKey("Escape");
    EXPECT_TRUE(PumpUntil([&] { return !PopupMenu(w, "page_tabs_menu").get_visible(); }));

    // "双击也可以关闭该页": a double-click closes the other tab; on the home
    // tab it rebuilds the home page and the tab stays.
    Click(TabLabel(Named<Gtk::Notebook>(w, "page_tabs"), *other_sheet), 1, 2);
    EXPECT_TRUE(PumpUntil([&] { return Named<Gtk::Notebook>(w, "page_tabs").get_n_pages() == 1; }));
    EXPECT_EQ(w.PageTabCount(), 0u);
    HomeBrowser(w).Navigate("about:blank");
    ASSERT_TRUE(
        PumpUntil([&] { return HomeBrowser(w).Title().empty() && !HomeBrowser(w).Busy(); }));
    Click(TabLabel(Named<Gtk::Notebook>(w, "page_tabs"), Named<Gtk::Box>(w, "home_tab")), 1, 2);
    EXPECT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    EXPECT_EQ(Named<Gtk::Notebook>(w, "page_tabs").get_n_pages(), 1);
}

// Regression: opened any way but the command line, a book's first page
// showed while the side bar stayed on "强力推荐".
TEST_F(Chrome, ABookOpenedAnyWayShowsItsContentsUnderMyBooks) {
    const std::string book = WriteBook();
    WriteHistory(DataFile("RURLs.dat"), {book});
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    const auto contents_in_front = [&w] {
        return CurrentPageName(Named<Gtk::Notebook>(w, "side_bar")) == "books_page" &&
               CurrentPageName(Named<Gtk::Notebook>(w, "document_tabs")) == "contents_page";
    };
    const auto back_to_recommended = [&w] {
        ShowPage(Named<Gtk::Notebook>(w, "side_bar"), "resource_page");
        ShowPage(Named<Gtk::Notebook>(w, "document_tabs"), "index_page");
    };
    ASSERT_EQ(CurrentPageName(Named<Gtk::Notebook>(w, "side_bar")), "resource_page");

    // The history link on the home page.
    ASSERT_TRUE(ClickLink(HomeBrowser(w), "a[href^=\"open://\"]"));
    ASSERT_TRUE(PumpUntil([&] { return w.Server()->Document() != nullptr; }));
    EXPECT_TRUE(PumpUntil(contents_in_front));

    // The help action.
    back_to_recommended();
    Activate(w, "act_Help");
    EXPECT_TRUE(contents_in_front());

    // The open dialog.
    back_to_recommended();
    dialogs_->file_answers.push_back(book);
    Activate(w, "act_openfile");
    ASSERT_EQ(w.Server()->Document()->FileName(), book);
    EXPECT_TRUE(contents_in_front());
}

// Regression: a Latin title with a no-break space was cut to 8 characters.
TEST_F(Chrome, TabCaptionsCutLatinTitlesAtSixteenEvenWithANoBreakSpace) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    const auto caption_for = [&w](const char* title_html) {
        const std::string html = std::string("<html><head><title>") + title_html +
                                 "</title></head><body>x</body></html>";
        webkit_web_view_load_html(HomeBrowser(w).View(), html.c_str(), "about:blank");
        PumpUntil([&] { return !HomeBrowser(w).Busy() && HomeBrowser(w).Title() != "首页"; });
        PumpFor(std::chrono::milliseconds(100));
        return TabCaption(Named<Gtk::Notebook>(w, "page_tabs"), 0);
    };
    EXPECT_EQ(caption_for("1.&nbsp;Introduction to it"), "1.\u00a0Introduction ...");
    EXPECT_EQ(caption_for("第一章 什么是电子书呢"), "第一章 什么是电...");
}

TEST_F(Chrome, SaveAsProposesThePagesOwnFileName) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] {
        return HomeBrowser(w).LocationUrl() == "qbx://reader/cover.htm" && !HomeBrowser(w).Busy();
    }));
    Activate(w, "act_saveas");  // the double cancels the dialog
    ASSERT_FALSE(dialogs_->save_names.empty());
    EXPECT_EQ(dialogs_->save_names.back(), "cover.htm");
}

// The engine's own error pages are English; the reader writes its own,
// with the address escaped.
TEST_F(Chrome, AnAddressThatCannotBeLoadedShowsTheProgramsChinesePage) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    const std::string missing = "file://" + dir_.File("no-such-page.htm");
    HomeBrowser(w).Navigate(missing);
    ASSERT_TRUE(PumpUntil([&] { return HomeBrowser(w).Title() == "无法显示该网页"; }));
    EXPECT_EQ(HomeBrowser(w).LocationUrl(), missing);
    const std::string text = PageResult(HomeBrowser(w), "document.body.innerText");
    EXPECT_NE(text.find("no-such-page.htm"), std::string::npos) << text;
    EXPECT_NE(text.find("请检查地址是否正确"), std::string::npos) << text;
}

// Regression: without a compositor, the strip of the page under a closed
// pop-up (the address suggestions, a tooltip) stayed empty until clicked.
TEST_F(Chrome, PageAreaIsWholeAgainWhenAPopUpOverItCloses) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(PumpUntil([&] { return HomePageShown(HomeBrowser(w)); }));
    // No link under the pointer changes the page meanwhile.
    MoveTo({0, 0});
    PumpFor(std::chrono::milliseconds(500));
    Gtk::Widget& view = HomeBrowser(w).Widget();
    int view_x = 0, view_y = 0;
    view.translate_coordinates(w, 0, 0, view_x, view_y);
    const int width = view.get_allocated_width() / 2, height = 60;
    // What the screen shows there, read back from the X server.
    const auto shot = [&] {
        return Gdk::Pixbuf::create(w.get_window(), view_x + 20, view_y + 20, width, height);
    };
    const Glib::RefPtr<Gdk::Pixbuf> before = shot();

    Gtk::Window popup(Gtk::WINDOW_POPUP);
    popup.set_transient_for(w);
    popup.override_background_color(Gdk::RGBA("#FF0000"));
    popup.set_default_size(width, height);
    int origin_x = 0, origin_y = 0;
    w.get_window()->get_origin(origin_x, origin_y);
    popup.move(origin_x + view_x + 20, origin_y + view_y + 20);
    popup.show();
    ASSERT_TRUE(PumpUntil([&] { return popup.get_mapped(); }));
    PumpFor(std::chrono::milliseconds(300));
    popup.hide();
    PumpFor(std::chrono::milliseconds(700));

    const Glib::RefPtr<Gdk::Pixbuf> after = shot();
    ASSERT_EQ(before->get_rowstride(), after->get_rowstride());
    const size_t bytes = static_cast<size_t>(before->get_rowstride()) * height;
    EXPECT_EQ(std::memcmp(before->get_pixels(), after->get_pixels(), bytes), 0)
        << "the page under the closed pop-up was not drawn again";
}

// The icon a window shows the desktop: the pixels of _NET_WM_ICON on its X
// window, as a task bar reads them. Width and height of the largest picture.
std::pair<long, long> ShownIcon(Gtk::Window& window) {
    GdkAtom type = GDK_NONE;
    gint format = 0, length = 0;
    guchar* data = nullptr;
    // At most 16 MiB: a length near the type's limit overflows on the way
    // to the X server, which then answers with nothing.
    if (!gdk_property_get(window.get_window()->gobj(), gdk_atom_intern("_NET_WM_ICON", FALSE),
                          gdk_atom_intern("CARDINAL", FALSE), 0, 16 << 20, FALSE, &type, &format,
                          &length, &data)) {
        return {0, 0};
    }
    // Format 32 comes as longs: width, height, then width x height ARGB
    // pixels, for each size in turn.
    const auto* words = reinterpret_cast<const long*>(data);
    const size_t count = static_cast<size_t>(length) / sizeof(long);
    std::pair<long, long> largest{0, 0};
    for (size_t at = 0; at + 2 <= count;) {
        const long width = words[at], height = words[at + 1];
        if (width <= 0 || height <= 0 || at + 2 + static_cast<size_t>(width * height) > count)
            break;
        bool drawn = false;
        for (long i = 0; i < width * height && !drawn; ++i)
            drawn = (static_cast<unsigned long>(words[at + 2 + i]) >> 24) != 0;
        if (drawn && width > largest.first)
            largest = {width, height};
        at += 2 + static_cast<size_t>(width * height);
    }
    g_free(data);
    return largest;
}

// Regression guard: a window without a picture shows the desktop's generic
// icon in the task bar and the window switcher.
TEST_F(Chrome, EveryWindowCarriesTheProgramsIcon) {
    InstallProgramIcon();
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    session.nav().show();
    ASSERT_TRUE(PumpUntil([&] { return session.nav().get_mapped(); }));
    for (Gtk::Window* window :
         {static_cast<Gtk::Window*>(&w), static_cast<Gtk::Window*>(&session.nav())}) {
        const auto [width, height] = ShownIcon(*window);
        EXPECT_GE(width, 32) << window->get_title();
        EXPECT_EQ(width, height) << window->get_title();
    }
}

}  // namespace
}  // namespace q3::reader::testing
