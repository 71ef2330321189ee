// The behaviour the base form gives every window's controls: owner-drawn
// tabs in the window's colours and list views sorted by a clicked column.
#include <gtest/gtest.h>

#include <cairomm/surface.h>
#include <gtkmm/liststore.h>
#include <gtkmm/notebook.h>
#include <gtkmm/treeview.h>
#include <cstdlib>

#include "reader/forms/base_form.h"
#include "reader/forms/column_sorter.h"
#include "reader/forms/tab_painter.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

struct FileColumns : Gtk::TreeModelColumnRecord {
    FileColumns() {
        add(name);
        add(size);
        add(count);
    }
    Gtk::TreeModelColumn<Glib::ustring> name;
    Gtk::TreeModelColumn<Glib::ustring> size;
    Gtk::TreeModelColumn<Glib::ustring> count;
};

// A window of the program's kind with a list view and two page controls.
class ListForm : public Tfm_BaseForm {
  public:
    explicit ListForm(int list_tag = 0, bool own_click = false) : box(Gtk::ORIENTATION_VERTICAL) {
        store = Gtk::ListStore::create(columns);
        list.set_model(store);
        list.append_column("名称", columns.name);
        list.append_column("大小", columns.size);
        list.append_column("数量", columns.count);
        SetColumnTag(*list.get_column(1), kColumnSizes);
        SetColumnTag(*list.get_column(2), kColumnNumbers);
        SetControlTag(list, list_tag);
        if (own_click)
            MarkOwnColumnClick(list);
        Add("b", "1 MB", "10");
        Add("c", "900 Byte", "9");
        Add("a", "2 KB", "100");
        side.set_tab_pos(Gtk::POS_LEFT);
        side.append_page(side_one, "我的电子书");
        side.append_page(side_two, "强力推荐");
        top.append_page(top_one, "目录");
        top.append_page(top_two, "索引");
        top.append_page(top_three, "书签");
        box.pack_start(list);
        box.pack_start(side);
        box.pack_start(top);
        add(box);
        show_all_children();
        FormCreate(false);
    }
    void Add(const char* n, const char* s, const char* c) {
        Gtk::TreeRow row = *store->append();
        row[columns.name] = n;
        row[columns.size] = s;
        row[columns.count] = c;
    }
    std::vector<std::string> Column(const Gtk::TreeModelColumn<Glib::ustring>& c) {
        std::vector<std::string> out;
        for (const Gtk::TreeRow& row : store->children())
            out.push_back(Glib::ustring(row[c]));
        return out;
    }

    FileColumns columns;
    Glib::RefPtr<Gtk::ListStore> store;
    Gtk::Box box;
    Gtk::TreeView list;
    Gtk::Notebook side, top;
    Gtk::Label side_one, side_two, top_one, top_two, top_three;
};

using Controls = ReaderTest;
using Names = std::vector<std::string>;

TEST_F(Controls, FirstClickOnATextColumnSortsZToAWithTheSecondArrow) {
    ListForm form;
    ColumnSorter(form.list, 0);
    EXPECT_EQ(form.Column(form.columns.name), (Names{"c", "b", "a"}));
    EXPECT_EQ(HeaderImage(form.list, 0), 1);
    ColumnSorter(form.list, 0);
    EXPECT_EQ(form.Column(form.columns.name), (Names{"a", "b", "c"}));
    EXPECT_EQ(HeaderImage(form.list, 0), 0);
    EXPECT_EQ(HeaderImage(form.list, 1), -1);
}

TEST_F(Controls, ClickingAHeaderSortsThroughTheBaseForm) {
    ListForm form;
    form.list.get_column(0)->clicked();
    EXPECT_EQ(form.Column(form.columns.name), (Names{"c", "b", "a"}));
    ASSERT_NE(FindSortState(form.list), nullptr);
    EXPECT_TRUE(FindSortState(form.list)->Reversed(0));
}

TEST_F(Controls, NumberColumnSortsSmallestFirstOnTheFirstClick) {
    ListForm form;
    ColumnSorter(form.list, 2);
    EXPECT_EQ(form.Column(form.columns.count), (Names{"9", "10", "100"}));
    ColumnSorter(form.list, 2);
    EXPECT_EQ(form.Column(form.columns.count), (Names{"100", "10", "9"}));
}

TEST_F(Controls, SizeColumnOrdersBytesKilobytesMegabytes) {
    ListForm form;
    ColumnSorter(form.list, 1);
    EXPECT_EQ(form.Column(form.columns.size), (Names{"900 Byte", "2 KB", "1 MB"}));
    // The arrow moves to the clicked column only.
    ColumnSorter(form.list, 0);
    EXPECT_EQ(HeaderImage(form.list, 1), -1);
    EXPECT_EQ(HeaderImage(form.list, 0), 1);
}

TEST_F(Controls, ListsWithATagOrTheirOwnHandlerAreLeftAlone) {
    ListForm tagged(1);
    tagged.list.get_column(0)->clicked();
    EXPECT_EQ(tagged.Column(tagged.columns.name), (Names{"b", "c", "a"}));
    ListForm own(0, true);
    own.list.get_column(0)->clicked();
    EXPECT_EQ(own.Column(own.columns.name), (Names{"b", "c", "a"}));
}

TEST_F(Controls, ColumnSorterIgnoresOtherControls) {
    Gtk::Label label("x");
    ColumnSorter(label, 0);  // nothing to sort, nothing to break
    ListForm form;
    ColumnSorter(form.list, 7);
    EXPECT_EQ(form.Column(form.columns.name), (Names{"b", "c", "a"}));
}

TEST_F(Controls, PageControlsGetOwnerDrawnTabs) {
    ListForm form;
    EXPECT_NE(dynamic_cast<OwnerDrawnTab*>(form.side.get_tab_label(form.side_one)), nullptr);
    EXPECT_NE(dynamic_cast<OwnerDrawnTab*>(form.top.get_tab_label(form.top_three)), nullptr);
    EXPECT_EQ(TabCaption(form.side, 1), "强力推荐");
}

TEST_F(Controls, HiddenPageHasNoTabIndex) {
    ListForm form;
    form.top_two.hide();
    EXPECT_EQ(TabCaption(form.top, 0), "目录");
    EXPECT_EQ(TabCaption(form.top, 1), "书签");
    EXPECT_EQ(TabCaption(form.top, 2), "");
    EXPECT_EQ(TabIndexOf(form.top, form.top_two), -1);
    EXPECT_EQ(TabIndexOf(form.top, form.top_three), 1);
}

// Pixels close to one colour (0x00BBGGRR) on an image surface: the glyphs'
// inner pixels, give or take the anti-aliasing.
struct Ink {
    int count = 0;
    int top = 1 << 30, bottom = -1, left = 1 << 30, right = -1;
};

Ink FindInk(const Cairo::RefPtr<Cairo::ImageSurface>& s, browser::WindowColor colour) {
    s->flush();
    Ink ink;
    const unsigned char* data = s->get_data();
    for (int y = 0; y < s->get_height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * s->get_stride());
        for (int x = 0; x < s->get_width(); ++x) {
            const uint32_t p = row[x];
            const uint32_t bgr = ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
            bool close = true;
            for (int shift : {0, 8, 16}) {
                const int a = static_cast<int>((bgr >> shift) & 0xFF);
                const int b = static_cast<int>((colour >> shift) & 0xFF);
                close = close && std::abs(a - b) <= 48;
            }
            if (!close)
                continue;
            ++ink.count;
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    }
    return ink;
}

Ink PaintTab(Gtk::Notebook& notebook, int index, bool active, browser::WindowColor text) {
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, 60, 160);
    auto cr = Cairo::Context::create(surface);
    TabPainter(cr, notebook, index, Rect{0, 0, 60, 160}, active, 0xF0CAA6, 0x008000, 0xFF0000);
    return FindInk(surface, text);
}

TEST_F(Controls, TabPainterDrawsLeftTabsVerticallyInTheirColours) {
    ListForm form;
    const Ink inactive = PaintTab(form.side, 1, false, 0x008000);
    const Ink inactive_blue = PaintTab(form.side, 1, false, 0xFF0000);
    const Ink active = PaintTab(form.side, 0, true, 0xFF0000);
    const Ink background = PaintTab(form.side, 0, true, 0xF0CAA6);
    ASSERT_GT(inactive.count, 0);
    EXPECT_EQ(inactive_blue.count, 0);
    ASSERT_GT(active.count, 0);
    EXPECT_GT(background.count, 60 * 160 / 2);
    // One character under the other: far taller than wide.
    EXPECT_GT(inactive.bottom - inactive.top, 3 * (inactive.right - inactive.left));
    EXPECT_GT(active.bottom - active.top, 4 * (active.right - active.left));
}

// The English interface's side tabs: letter under letter, "Recommended"
// would run past the tab's 160 pixels and spell nothing.
TEST_F(Controls, TabPainterTurnsAnAlphabeticSideCaptionToReadUpwards) {
    ListForm form;
    auto* tab = dynamic_cast<OwnerDrawnTab*>(form.side.get_tab_label(form.side_two));
    ASSERT_NE(tab, nullptr);
    tab->SetCaption("Recommended");
    const Ink ink = PaintTab(form.side, 1, false, 0x008000);
    ASSERT_GT(ink.count, 0);
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
    EXPECT_LT(ink.bottom, 160 - 2);
    EXPECT_LT(ink.bottom - ink.top, 120);
    // The tab asks for the turned line's room, not a letter's width by a
    // column of letters.
    int minimum = 0, natural = 0;
    tab->get_preferred_height(minimum, natural);
    EXPECT_LT(natural, 120);
    tab->get_preferred_width(minimum, natural);
    EXPECT_LT(natural, 40);
}

TEST_F(Controls, TabPainterDrawsTopTabsOnOneLine) {
    ListForm form;
    const Ink ink = PaintTab(form.top, 2, true, 0xFF0000);
    ASSERT_GT(ink.count, 0);
    EXPECT_GT(ink.right - ink.left, ink.bottom - ink.top);
    EXPECT_GE(ink.left, 7);
    EXPECT_GE(ink.top, 4);
}

TEST_F(Controls, MainWindowTabsAreOwnerDrawnWithTheirCaptions) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    auto& side_bar = Named<Gtk::Notebook>(w, "side_bar");
    auto& document_tabs = Named<Gtk::Notebook>(w, "document_tabs");
    auto& page_tabs = Named<Gtk::Notebook>(w, "page_tabs");
    EXPECT_EQ(TabCaption(side_bar, 0), " 我的电子书  ");
    EXPECT_EQ(TabCaption(side_bar, 1), " 强力推荐  ");
    EXPECT_EQ(TabCaption(document_tabs, 0), "目录");
    EXPECT_EQ(TabCaption(document_tabs, 1), "索引");
    EXPECT_EQ(TabCaption(document_tabs, 2), "全文搜索");
    EXPECT_EQ(TabCaption(document_tabs, 3), "书签");
    // The blank page's name first, then the home page's title.
    EXPECT_TRUE(PumpUntil([&] { return TabCaption(page_tabs, 0) == "首页"; }))
        << TabCaption(page_tabs, 0);
    for (Gtk::Notebook* nb : {&side_bar, &document_tabs, &page_tabs}) {
        EXPECT_TRUE(HasOwnerDrawnTabs(*nb));
    }
    EXPECT_EQ(side_bar.get_tab_pos(), Gtk::POS_LEFT);
}

}  // namespace
}  // namespace q3::reader::testing
