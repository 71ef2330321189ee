// The menu a right click opens over a control, set when the window has
// built it.
#pragma once

#include <gtkmm/menu.h>
#include <gtkmm/widget.h>

namespace q3::reader {

// A press of the right button over widget opens *menu where the pointer is,
// while menu points at one; the press goes no further then.
inline void PopUpOnRightPress(Gtk::Widget& widget, Gtk::Menu* const& menu) {
    widget.signal_button_press_event().connect(
        [&menu](GdkEventButton* e) {
            if (e->type != GDK_BUTTON_PRESS || e->button != 3 || menu == nullptr)
                return false;
            menu->popup_at_pointer(reinterpret_cast<GdkEvent*>(e));
            return true;
        },
        false);
}

}  // namespace q3::reader
