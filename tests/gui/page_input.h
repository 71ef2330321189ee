// Input for the reader's window tests as the display would deliver it: keys
// to the window (its own rules see them before the focused control), the
// wheel and clicks over a page, and scripts that read a page's state.
#pragma once

#include <gtk/gtk.h>
#include <gtkmm/widget.h>
#include <gtkmm/window.h>

#include <optional>
#include <string>

#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "reader_fixture.h"

namespace q3::reader::testing {

// A key pressed (or released) while the window has the keyboard. Each event
// gets a time of its own, as the display's events have.
inline void SendKey(Gtk::Window& window, guint keyval, guint state = 0,
                    GdkEventType type = GDK_KEY_PRESS) {
    static guint32 clock = 1000;
    GdkEvent* event = gdk_event_new(type);
    event->key.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
    event->key.keyval = keyval;
    event->key.state = state;
    event->key.time = clock += 40;
    GdkDisplay* display = gdk_window_get_display(event->key.window);
    // The page engine reads the hardware key as well as the symbol.
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys,
                                          &count) &&
        count > 0) {
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
        event->key.group = static_cast<guint8>(keys[0].group);
    }
    g_free(keys);
    gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

// A full key stroke: down, then up.
inline void StrokeKey(Gtk::Window& window, guint keyval, guint state = 0) {
    SendKey(window, keyval, state, GDK_KEY_PRESS);
    SendKey(window, keyval, state, GDK_KEY_RELEASE);
}

// The wheel turned over the middle of a widget; smooth: a touchpad-like
// delta instead of a notch.
inline void SendScroll(Gtk::Widget& widget, GdkScrollDirection direction, guint state,
                       double delta_y = 0) {
    GdkWindow* window = widget.get_window()->gobj();
    GdkEvent* event = gdk_event_new(GDK_SCROLL);
    event->scroll.window = GDK_WINDOW(g_object_ref(window));
    event->scroll.time = GDK_CURRENT_TIME;
    event->scroll.direction = direction;
    event->scroll.state = state;
    event->scroll.delta_y = delta_y;
    const Gtk::Allocation a = widget.get_allocation();
    event->scroll.x = a.get_x() + a.get_width() / 2.0;
    event->scroll.y = a.get_y() + a.get_height() / 2.0;
    gdk_event_set_device(
        event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window))));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

// A click with the first button at a point of a widget (its coordinates).
inline void SendClick(Gtk::Widget& widget, int x, int y) {
    GdkWindow* window = widget.get_window()->gobj();
    const Gtk::Allocation a = widget.get_allocation();
    if (!widget.get_has_window()) {
        x += a.get_x();
        y += a.get_y();
    }
    int ox = 0, oy = 0;
    gdk_window_get_origin(window, &ox, &oy);
    for (GdkEventType type : {GDK_MOTION_NOTIFY, GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        GdkEvent* event = gdk_event_new(type);
        gdk_event_set_device(
            event,
            gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window))));
        if (type == GDK_MOTION_NOTIFY) {
            event->motion.window = GDK_WINDOW(g_object_ref(window));
            event->motion.time = GDK_CURRENT_TIME;
            event->motion.x = x;
            event->motion.y = y;
            event->motion.x_root = ox + x;
            event->motion.y_root = oy + y;
        } else {
            event->button.window = GDK_WINDOW(g_object_ref(window));
            event->button.time = GDK_CURRENT_TIME;
            event->button.button = 1;
            event->button.x = x;
            event->button.y = y;
            event->button.x_root = ox + x;
            event->button.y_root = oy + y;
            if (type == GDK_BUTTON_RELEASE)
                event->button.state = GDK_BUTTON1_MASK;
        }
        gtk_main_do_event(event);
        gdk_event_free(event);
        PumpFor(std::chrono::milliseconds(30));
    }
}

// Runs a script in the page and hands back its result as JSON.
inline std::string PageValue(browser::WebBrowser& wb, const std::string& script) {
    std::optional<std::string> result;
    bool done = false;
    browser::RunPageScript(wb, script, [&](std::optional<std::string> json) {
        result = std::move(json);
        done = true;
    });
    PumpUntil([&] { return done; });
    return result.value_or("");
}

// What a user does to follow a link of the page: a click in its middle,
// which the engine reports as the user's own. False when the page has no
// element for the selector.
inline bool ClickLink(browser::WebBrowser& wb, const std::string& selector) {
    const std::string at = PageValue(
        wb, "(() => { const e = document.querySelector(" + browser::JsonString(selector) +
                "); if (!e) return ''; e.scrollIntoView({block: 'center'});"
                " const r = e.getBoundingClientRect(); return Math.round(r.left + r.width / 2)"
                " + ',' + Math.round(r.top + r.height / 2); })()");
    const size_t comma = at.find(',');
    if (at.size() < 2 || comma == std::string::npos)
        return false;
    SendClick(wb.Widget(), std::stoi(at.substr(1, comma - 1)), std::stoi(at.substr(comma + 1)));
    return true;
}

// A page of the reader's own (it stands at about:blank) holding one link to
// address, which the user then clicks.
inline bool FollowAsUser(browser::WebBrowser& wb, const std::string& address) {
    wb.Navigate("about:blank");
    if (!PumpUntil([&] { return !wb.Busy() && wb.LocationUrl() == "about:blank"; }))
        return false;
    browser::WriteHtml(wb, "<html><body><a id=\"q3-link\" style=\"font-size:40px\" href='" +
                               address + "'>link</a></body></html>");
    if (!PumpUntil(
            [&] { return PageValue(wb, "document.getElementById('q3-link') ? 1 : 0") == "1"; }))
        return false;
    return ClickLink(wb, "#q3-link");
}

// A loaded page that is not the engine's business any more.
inline bool Settled(browser::WebBrowser& wb, const std::string& title) {
    return wb.Title() == title && !wb.Busy();
}

}  // namespace q3::reader::testing
