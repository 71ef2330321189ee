// The window's key rules and the mouse wheel over the pages: keys are seen
// here before any control, so the contents can be stepped from anywhere on a
// document page, while every other key of a page reaches the page.
#include <gdk/gdkkeysyms.h>
#include <gtkmm/editable.h>

#include "browser/web_browser.h"
#include "reader/main_window/main_window.h"

namespace q3::reader {

namespace {

// The name of the contents step for Ctrl with a key, or empty for other keys.
std::string_view ContentsStep(guint keyval) {
    switch (keyval) {
        case GDK_KEY_Home:
        case GDK_KEY_KP_Home:
            return "act_QBXNavHome";
        case GDK_KEY_Left:
        case GDK_KEY_KP_Left:
        case GDK_KEY_Up:
        case GDK_KEY_KP_Up:
            return "act_QBXNavPrev";
        case GDK_KEY_Right:
        case GDK_KEY_KP_Right:
        case GDK_KEY_Down:
        case GDK_KEY_KP_Down:
            return "act_QBXNavNext";
        default:
            return {};
    }
}

// The zoom menu's step (its item's Tag) for Ctrl with a key, or 0. Ctrl
// with the keypad's Insert is copy, so only the keypad's 0 resets.
int ZoomStep(guint keyval) {
    switch (keyval) {
        case GDK_KEY_0:
        case GDK_KEY_KP_0:
            return 1;
        case GDK_KEY_plus:
        case GDK_KEY_equal:
        case GDK_KEY_KP_Add:
            return 2;
        case GDK_KEY_minus:
        case GDK_KEY_KP_Subtract:
            return 3;
        default:
            return 0;
    }
}

}  // namespace

bool Tfm_Quillon3::HandedBack(const GdkEventKey* event) {
    // The page engine gives every key the page did not use back to the
    // window as the very same event, after the rules have run for it.
    if (event->time == GDK_CURRENT_TIME)
        return false;
    const KeyStamp stamp{event->time, event->keyval, event->type};
    for (const KeyStamp& seen : routed_keys_) {
        if (seen.time == stamp.time && seen.keyval == stamp.keyval && seen.type == stamp.type)
            return true;
    }
    constexpr size_t kRemembered = 16;
    if (routed_keys_.size() == kRemembered)
        routed_keys_.erase(routed_keys_.begin());
    routed_keys_.push_back(stamp);
    return false;
}

std::optional<bool> Tfm_Quillon3::RouteKey(const GdkEventKey* event) {
    if (HandedBack(event))
        return false;
    if (event->type == GDK_KEY_RELEASE) {
        if (event->keyval == GDK_KEY_F5)
            f5_down_ = false;
        return std::nullopt;
    }
    if (std::optional<bool> focus_key = RouteFocusKey(event))
        return focus_key;
    browser::WebBrowser* wb = CurrentBrowser();
    const bool in_page = wb != nullptr && gtk_window_get_focus(gobj()) == GTK_WIDGET(wb->View());
    if (event->keyval == GDK_KEY_F5) {
        // A held key repeats its presses without releases: one refresh each
        // time the key goes down. A release that went to another window
        // must not swallow the next press, hence the time. On pages that
        // are not the document's, F5 is the browser's own reload, which
        // this engine leaves to the window around it. The key then goes on
        // to the page.
        constexpr guint32 kRepeatGap = 1000;  // ms; repeats come far faster
        const bool repeat = f5_down_ && event->time - f5_time_ < kRepeatGap;
        f5_down_ = true;
        f5_time_ = event->time;
        if (!repeat && in_page)
            act_Refresh.Execute();
        return false;
    }
    // Select-all in a text box selects its text, not the page.
    Gtk::Widget* focus = get_focus();
    if (focus != nullptr && dynamic_cast<Gtk::Editable*>(focus) != nullptr &&
        act_QBXSelectAll.MatchesShortcut(event->keyval,
                                         static_cast<Gdk::ModifierType>(event->state))) {
        return false;
    }
    const bool ctrl = (event->state & GDK_CONTROL_MASK) != 0;
    // The page's text size, wherever the keys are, as the zoom menu sets it.
    if (const int zoom =
            ctrl && (event->state & GDK_MOD1_MASK) == 0 ? ZoomStep(event->keyval) : 0) {
        ZoomClick(zoom);
        return true;
    }
    if (TAction* step = ctrl ? FindAction(ContentsStep(event->keyval)) : nullptr) {
        // On other pages the keys are the page's (or the focused edit's).
        if (!IsDocumentPage())
            return false;
        step->Execute();
        return true;
    }
    return std::nullopt;
}

bool Tfm_Quillon3::PageScrolled(browser::WebBrowser& wb, const GdkEventScroll* event) {
    if (&wb != CurrentBrowser())
        return false;
    // The wheel scrolls the page under the pointer, which then keeps the keys.
    if (!wb.Widget().has_focus())
        wb.Widget().grab_focus();
    if ((event->state & GDK_CONTROL_MASK) == 0)
        return false;
    // Turned toward the user the wheel enlarges, away it reduces.
    int steps = 0;
    switch (event->direction) {
        case GDK_SCROLL_DOWN:
            steps = 1;
            break;
        case GDK_SCROLL_UP:
            steps = -1;
            break;
        case GDK_SCROLL_SMOOTH:
            zoom_scroll_ += event->delta_y;
            steps = static_cast<int>(zoom_scroll_);
            zoom_scroll_ -= steps;
            break;
        default:
            break;
    }
    for (; steps > 0; --steps)
        ZoomClick(2);
    for (; steps < 0; ++steps)
        ZoomClick(3);
    // With Ctrl the wheel zooms; the page does not scroll as well.
    return true;
}

}  // namespace q3::reader
