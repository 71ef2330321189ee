// Reading by keyboard alone on the real window: F6 between the side bar, the
// page and the address box, Ctrl+Page Down along the side bar's tabs, Enter
// choosing an entry of each, and a frame on the page while it has the keys.
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>
#include <gtkmm/button.h>

#include <string>

#include "page_input.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

constexpr guint kCtrl = GDK_CONTROL_MASK;

void Type(Gtk::Window& w, const std::string& text) {
    for (char c : text)
        StrokeKey(w, gdk_unicode_to_keyval(static_cast<guint32>(c)));
}

// Tab presses until the widget has the keys; false when it is not reached.
bool TabTo(Gtk::Window& w, Gtk::Widget& target) {
    for (int i = 0; i < 10 && !target.has_focus(); ++i)
        StrokeKey(w, GDK_KEY_Tab);
    return target.has_focus();
}

// Down to the first row of a list reached with Tab, then Enter: true when
// that shows the page of the given title.
bool ChooseFirstRow(Gtk::Window& w, Gtk::TreeView& list, browser::WebBrowser& wb,
                    const std::string& title) {
    if (!TabTo(w, list))
        return false;
    StrokeKey(w, GDK_KEY_Down);
    StrokeKey(w, GDK_KEY_Return);
    return PumpUntil([&] { return Settled(wb, title); });
}

std::string FocusName(Gtk::Window& w) {
    Gtk::Widget* focus = w.get_focus();
    return focus != nullptr ? std::string(focus->get_name()) : std::string("(none)");
}

// The colour of the page tabs' pixel at a point of the view, as the window
// draws it.
uint32_t PixelOverView(Tfm_Quillon3& w, Gtk::Widget& view, int x, int y) {
    auto& tabs = Named<Gtk::Notebook>(w, "page_tabs");
    PumpFor(std::chrono::milliseconds(200));  // drawn only once laid out
    int vx = 0, vy = 0;
    view.translate_coordinates(tabs, 0, 0, vx, vy);
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, tabs.get_allocated_width(),
                                               tabs.get_allocated_height());
    auto cr = Cairo::Context::create(surface);
    gtk_widget_draw(GTK_WIDGET(tabs.gobj()), cr->cobj());
    surface->flush();
    const unsigned char* row = surface->get_data() + (vy + y) * surface->get_stride();
    return reinterpret_cast<const uint32_t*>(row)[vx + x] & 0xffffff;
}

class KeyboardTest : public ReaderTest {};

TEST_F(KeyboardTest, F6MovesBetweenSideBarPageAndAddressAndThePageShowsItHasTheKeys) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    browser::WebBrowser& wb = HomeBrowser(w);
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "Cover page"); }));
    ASSERT_TRUE(TakeFocus(w, &wb.Widget()));
    Gtk::Widget& view = wb.Widget();
    const int middle = view.get_allocated_height() / 2;

    StrokeKey(w, GDK_KEY_F6);
    EXPECT_TRUE(AddressEntry(w).has_focus()) << FocusName(w);
    StrokeKey(w, GDK_KEY_F6);
    EXPECT_EQ(FocusName(w), "contents_tree");
    StrokeKey(w, GDK_KEY_F6);
    EXPECT_TRUE(view.has_focus()) << FocusName(w);
    EXPECT_TRUE(w.get_focus_visible());
    const uint32_t framed = PixelOverView(w, view, 0, middle);
    StrokeKey(w, GDK_KEY_F6, GDK_SHIFT_MASK);
    EXPECT_EQ(FocusName(w), "contents_tree");
    // The page's own pixel once the frame is gone, and the same at once
    // when the page has the keys again.
    EXPECT_NE(PixelOverView(w, view, 0, middle), framed);
    StrokeKey(w, GDK_KEY_F6);
    EXPECT_EQ(PixelOverView(w, view, 0, middle), framed);
    StrokeKey(w, GDK_KEY_F6, GDK_SHIFT_MASK);

    // With the side bar switched off, F6 goes between page and address only.
    Activate(w, "act_NavTree");
    ASSERT_FALSE(w.SideBarShown());
    StrokeKey(w, GDK_KEY_F6);
    EXPECT_TRUE(view.has_focus() || AddressEntry(w).has_focus()) << FocusName(w);
    StrokeKey(w, GDK_KEY_F6);
    StrokeKey(w, GDK_KEY_F6);
    EXPECT_NE(FocusName(w), "contents_tree");
}

TEST_F(KeyboardTest, EveryListOfTheSideBarIsReachedAndChosenFromWithoutTheMouse) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    browser::WebBrowser& wb = HomeBrowser(w);
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "Cover page"); }));
    ASSERT_TRUE(TakeFocus(w, &wb.Widget()));

    // The contents: the last entry.
    StrokeKey(w, GDK_KEY_F6, GDK_SHIFT_MASK);
    ASSERT_EQ(FocusName(w), "contents_tree");
    StrokeKey(w, GDK_KEY_End);
    StrokeKey(w, GDK_KEY_Return);
    EXPECT_TRUE(PumpUntil([&] { return Settled(wb, "Second page"); })) << wb.Title();

    // The index: typed into its key box, then Enter.
    StrokeKey(w, GDK_KEY_Page_Down, kCtrl);
    EXPECT_EQ(CurrentPageName(Named<Gtk::Notebook>(w, "document_tabs")), "index_page");
    EXPECT_EQ(FocusName(w), "index_key_edit");
    Type(w, "fir");
    StrokeKey(w, GDK_KEY_Return);
    EXPECT_TRUE(PumpUntil([&] { return Settled(wb, "First page"); })) << wb.Title();

    // The full-text search: a word, Enter, then down into the results.
    StrokeKey(w, GDK_KEY_Page_Down, kCtrl);
    EXPECT_EQ(CurrentPageName(Named<Gtk::Notebook>(w, "document_tabs")), "search_page");
    Type(w, "cover");
    StrokeKey(w, GDK_KEY_Return);
    auto& results = Named<Gtk::TreeView>(w, "search_results");
    ASSERT_TRUE(PumpUntil([&] { return !w.FullTextSearchRunning() && RowCount(results) == 1; }));
    EXPECT_TRUE(ChooseFirstRow(w, results, wb, "Cover page")) << FocusName(w) << wb.Title();

    // The bookmarks: the page added with the add button, chosen again from
    // another page.
    StrokeKey(w, GDK_KEY_Page_Down, kCtrl);
    EXPECT_EQ(CurrentPageName(Named<Gtk::Notebook>(w, "document_tabs")), "bookmarks_page");
    auto& add = Named<Gtk::Button>(w, "add_bookmark_button");
    ASSERT_TRUE(TabTo(w, add)) << FocusName(w);
    StrokeKey(w, GDK_KEY_space);
    auto& list = Named<Gtk::TreeView>(w, "bookmark_list");
    ASSERT_TRUE(PumpUntil([&] { return RowCount(list) == 1; }));
    // Elsewhere in the book (the walk's own steps are tested above), then
    // from the page back to the side bar.
    wb.Navigate("qbx://reader/one/first.htm");
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "First page"); })) << wb.Title();
    ASSERT_TRUE(TakeFocus(w, &wb.Widget()));
    StrokeKey(w, GDK_KEY_F6);
    StrokeKey(w, GDK_KEY_F6);  // the address, then the side bar
    EXPECT_TRUE(ChooseFirstRow(w, list, wb, "Cover page")) << FocusName(w) << wb.Title();

    // Past the last tab to the recommended resources, and round again.
    StrokeKey(w, GDK_KEY_Page_Down, kCtrl);
    EXPECT_EQ(CurrentPageName(Named<Gtk::Notebook>(w, "side_bar")), "resource_page");
    StrokeKey(w, GDK_KEY_Page_Down, kCtrl);
    EXPECT_EQ(CurrentPageName(Named<Gtk::Notebook>(w, "side_bar")), "books_page");
    EXPECT_EQ(CurrentPageName(Named<Gtk::Notebook>(w, "document_tabs")), "contents_page");
    EXPECT_EQ(FocusName(w), "contents_tree");
}

}  // namespace
}  // namespace q3::reader::testing
