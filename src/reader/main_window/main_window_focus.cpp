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

}  // namespace

Tfm_Quillon3::FocusArea Tfm_Quillon3::FocusedArea() {
    const Gtk::Widget* focus = get_focus();
    if (Inside(side_bar_, focus))
        return FocusArea::kSideBar;
    if (Inside(address_panel_, focus))
        return FocusArea::kAddress;
    return FocusArea::kPage;
}

bool Tfm_Quillon3::FocusOn(FocusArea area) {
    switch (area) {
        case FocusArea::kSideBar:
            return SideBarShown() && side_bar_.FocusCurrentTab();
        case FocusArea::kPage: {
            browser::WebBrowser* wb = CurrentBrowser();
            if (wb == nullptr || !wb->Widget().get_mapped())
                return false;
            wb->Widget().grab_focus();
            return true;
        }
        case FocusArea::kAddress: {
            Gtk::Widget& entry = address_panel_.AddressControl();
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

void Tfm_Quillon3::StepPageTab(bool forward) {
    page_tabs_.Step(forward);
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
        side_bar_.StepTab(page_down);
    else
        StepPageTab(page_down);
    return true;
}

void Tfm_Quillon3::DrawPageFocus(const Cairo::RefPtr<Cairo::Context>& cr) {
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr || !wb->Widget().has_focus() || !get_focus_visible())
        return;
    Gtk::Widget& view = wb->Widget();
    int x = 0, y = 0;
    if (!view.translate_coordinates(page_tabs_, 0, 0, x, y))
        return;
    Gdk::RGBA colour;
    if (!page_tabs_.get_style_context()->lookup_color("theme_selected_bg_color", colour))
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
