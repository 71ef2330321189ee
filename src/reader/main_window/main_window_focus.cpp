// Reading by keyboard alone: F6 moves the focus between the side bar, the
// page and the address box, Ctrl+Page Up/Down step the tabs of whichever of
// them has it, and the page shows a frame while it holds the keys, since a
// web view draws no focus of its own until one of its links takes it.
#include <gdk/gdkkeysyms.h>

#include <array>

#include "browser/web_browser.h"
#include "reader/main_window/main_window.h"

namespace q3::reader {

namespace {

constexpr int kFocusFrameWidth = 2;

bool Inside(const Gtk::Widget& area, const Gtk::Widget* w) {
    return w != nullptr && (w == &area || w->is_ancestor(const_cast<Gtk::Widget&>(area)));
}

// The control of a pane that the keys go to first, else the first in its
// tab order.
bool FocusFirstControl(Gtk::Widget& pane, Gtk::Widget* first) {
    if (!pane.get_mapped())
        return false;
    if (first != nullptr && first->get_mapped() && first->get_sensitive()) {
        first->grab_focus();
        return true;
    }
    if (pane.child_focus(Gtk::DIR_TAB_FORWARD))
        return true;
    if (!pane.get_can_focus())
        return false;
    pane.grab_focus();
    return true;
}

}  // namespace

Tfm_Quillon3::FocusArea Tfm_Quillon3::FocusedArea() {
    const Gtk::Widget* focus = get_focus();
    if (Inside(side_bar, focus))
        return FocusArea::kSideBar;
    if (Inside(address_panel, focus))
        return FocusArea::kAddress;
    return FocusArea::kPage;
}

bool Tfm_Quillon3::FocusOn(FocusArea area) {
    switch (area) {
        case FocusArea::kSideBar:
            return SideBarShown() &&
                   FocusFirstControl(CurrentSidePane(), FirstControlOf(CurrentSidePane()));
        case FocusArea::kPage: {
            browser::WebBrowser* wb = CurrentBrowser();
            if (wb == nullptr || !wb->Widget().get_mapped())
                return false;
            wb->Widget().grab_focus();
            return true;
        }
        case FocusArea::kAddress: {
            Gtk::Entry& entry = address_panel.UrlEntry();
            if (!entry.get_mapped())
                return false;
            // Taking the focus selects the address, ready to be typed over.
            entry.grab_focus();
            return true;
        }
    }
    return false;
}

void Tfm_Quillon3::CycleFocus(bool forward) {
    constexpr std::array kOrder = {FocusArea::kSideBar, FocusArea::kPage, FocusArea::kAddress};
    const FocusArea now = FocusedArea();
    size_t at = 0;
    while (kOrder[at] != now)
        ++at;
    // An area that is hidden (the side bar switched off, the tool rows in
    // full screen) is passed over.
    for (size_t step = 1; step < kOrder.size(); ++step) {
        const size_t next =
            forward ? (at + step) % kOrder.size() : (at + kOrder.size() - step) % kOrder.size();
        if (FocusOn(kOrder[next]))
            break;
    }
    set_focus_visible(true);
}

Gtk::Widget& Tfm_Quillon3::CurrentSidePane() {
    Gtk::Widget* page = side_bar.get_nth_page(side_bar.get_current_page());
    if (page == &books_page) {
        if (Gtk::Widget* pane = document_tabs.get_nth_page(document_tabs.get_current_page()))
            return *pane;
    }
    return page != nullptr ? *page : static_cast<Gtk::Widget&>(side_bar);
}

Gtk::Widget* Tfm_Quillon3::FirstControlOf(Gtk::Widget& pane) {
    // Where typing or choosing starts in each tab.
    if (&pane == &contents_pane)
        return &contents_pane.contents_tree;
    if (&pane == &index_pane)
        return &index_pane.index_key_edit;
    if (&pane == &search_pane)
        return &search_pane.search_key_edit;
    if (&pane == &bookmarks_pane)
        return &bookmarks_pane.bookmark_list;
    if (&pane == &resource_pane)
        return &resource_pane.resource_tree;
    return nullptr;
}

void Tfm_Quillon3::StepSideBarTab(bool forward) {
    // The five tabs read as one row: the document's four, then the
    // recommended resources.
    std::vector<std::pair<Gtk::Notebook*, int>> tabs;
    for (int i = 0; i < document_tabs.get_n_pages(); ++i)
        tabs.emplace_back(&document_tabs, i);
    tabs.emplace_back(&side_bar, side_bar.page_num(resource_pane));
    size_t at = 0;
    if (side_bar.get_nth_page(side_bar.get_current_page()) == &books_page)
        at = static_cast<size_t>(std::max(document_tabs.get_current_page(), 0));
    else
        at = tabs.size() - 1;
    const size_t next = forward ? (at + 1) % tabs.size() : (at + tabs.size() - 1) % tabs.size();
    auto [notebook, page] = tabs[next];
    if (notebook == &document_tabs) {
        side_bar.set_current_page(side_bar.page_num(books_page));
        document_tabs.set_current_page(page);
    } else {
        side_bar.set_current_page(page);
    }
    FocusFirstControl(CurrentSidePane(), FirstControlOf(CurrentSidePane()));
}

void Tfm_Quillon3::StepPageTab(bool forward) {
    const int count = page_tabs.get_n_pages();
    if (count < 2)
        return;
    const int at = page_tabs.get_current_page();
    page_tabs.set_current_page(forward ? (at + 1) % count : (at + count - 1) % count);
    FocusOn(FocusArea::kPage);
}

std::optional<bool> Tfm_Quillon3::RouteFocusKey(const GdkEventKey* event) {
    const auto mods = event->state & (GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK);
    if (event->keyval == GDK_KEY_F6 && (mods & ~GDK_SHIFT_MASK) == 0) {
        CycleFocus((mods & GDK_SHIFT_MASK) == 0);
        return true;
    }
    const bool page_up = event->keyval == GDK_KEY_Page_Up || event->keyval == GDK_KEY_KP_Page_Up;
    const bool page_down =
        event->keyval == GDK_KEY_Page_Down || event->keyval == GDK_KEY_KP_Page_Down;
    if (mods != GDK_CONTROL_MASK || (!page_up && !page_down))
        return std::nullopt;
    // The side bar's lists would take these keys for moving their cursor.
    if (FocusedArea() == FocusArea::kSideBar)
        StepSideBarTab(page_down);
    else
        StepPageTab(page_down);
    return true;
}

void Tfm_Quillon3::WireKeyboard() {
    // The menus a right click opens come with the menu key or Shift+F10 too.
    contents_pane.contents_tree.signal_popup_menu().connect([this] {
        contents_menu.popup_at_widget(&contents_pane.contents_tree, Gdk::GRAVITY_CENTER,
                                      Gdk::GRAVITY_NORTH_WEST, nullptr);
        return true;
    });
    page_tabs.signal_popup_menu().connect([this] {
        page_tabs_menu.popup_at_widget(&page_tabs, Gdk::GRAVITY_NORTH_WEST, Gdk::GRAVITY_NORTH_WEST,
                                       nullptr);
        return true;
    });
    // Any change of focus may frame or unframe the page.
    signal_set_focus().connect([this](Gtk::Widget*) {
        if (!destroyed_)
            page_tabs.queue_draw();
    });
    page_tabs.signal_draw().connect(
        [this](const Cairo::RefPtr<Cairo::Context>& cr) {
            DrawPageFocus(cr);
            return false;
        },
        true);
}

void Tfm_Quillon3::DrawPageFocus(const Cairo::RefPtr<Cairo::Context>& cr) {
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr || !wb->Widget().has_focus() || !get_focus_visible())
        return;
    Gtk::Widget& view = wb->Widget();
    int x = 0, y = 0;
    if (!view.translate_coordinates(page_tabs, 0, 0, x, y))
        return;
    Gdk::RGBA colour;
    if (!page_tabs.get_style_context()->lookup_color("theme_selected_bg_color", colour))
        colour.set_rgba(0.21, 0.52, 0.89);
    cr->save();
    cr->set_source_rgb(colour.get_red(), colour.get_green(), colour.get_blue());
    cr->set_line_width(kFocusFrameWidth);
    const double inset = kFocusFrameWidth / 2.0;
    cr->rectangle(x + inset, y + inset, view.get_allocated_width() - kFocusFrameWidth,
                  view.get_allocated_height() - kFocusFrameWidth);
    cr->stroke();
    cr->restore();
}

}  // namespace q3::reader
