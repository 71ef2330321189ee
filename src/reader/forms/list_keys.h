// Enter in a list runs the list's double-click action on its selected item.
#pragma once

#include <gdk/gdk.h>
#include <gtkmm/treeview.h>

#include <functional>

namespace q3::reader {

// Every key that means Enter: the main keyboard's, the keypad's and the
// ISO keyboards' own.
inline bool IsEnterKeyval(guint keyval) {
    return keyval == GDK_KEY_Return || keyval == GDK_KEY_KP_Enter || keyval == GDK_KEY_ISO_Enter;
}

inline bool IsEnterKey(const GdkEventKey* event) {
    return IsEnterKeyval(event->keyval);
}

// Handled before the list's own key handling, which would activate the row
// under its cursor: the action works on the selected item, as a double-click
// does, and that need not be the cursor's row after a key search.
inline void RunOnEnter(Gtk::TreeView& list, std::function<void()> action) {
    list.signal_key_press_event().connect(
        [action = std::move(action)](GdkEventKey* event) {
            if (!IsEnterKey(event))
                return false;
            action();
            return true;
        },
        false);
}

}  // namespace q3::reader
