#include "x_input.h"

#include <glib.h>
#include <gtkmm/window.h>

#include <chrono>
#include <cstdlib>

#include "reader_fixture.h"

namespace q3::reader::testing {

namespace {

// The tool runs while the program's main loop waits: it only talks to the
// X server, and the program handles the events once it pumps again.
void Xdotool(const std::string& arguments) {
    const std::string command = "xdotool " + arguments;
    if (std::system(command.c_str()) != 0)
        ADD_FAILURE() << "xdotool failed: " << command;
}

}  // namespace

ScreenPoint MiddleOf(Gtk::Widget& widget) {
    Gtk::Widget* top = widget.get_toplevel();
    int x = 0, y = 0;
    widget.translate_coordinates(*top, widget.get_allocated_width() / 2,
                                 widget.get_allocated_height() / 2, x, y);
    int origin_x = 0, origin_y = 0;
    top->get_window()->get_origin(origin_x, origin_y);
    return {origin_x + x, origin_y + y};
}

void MoveTo(ScreenPoint at) {
    Xdotool("mousemove " + std::to_string(at.x) + " " + std::to_string(at.y));
}

void ClickAt(ScreenPoint at, int button, int count) {
    MoveTo(at);
    PumpFor(std::chrono::milliseconds(100));
    Xdotool("click --repeat " + std::to_string(count) + " --delay 60 " + std::to_string(button));
    PumpFor(std::chrono::milliseconds(300));
}

void Click(Gtk::Widget& widget, int button, int count) {
    ClickAt(MiddleOf(widget), button, count);
}

void TypeText(const std::string& text) {
    gchar* quoted = g_shell_quote(text.c_str());
    Xdotool(std::string("type --delay 12 -- ") + quoted);
    g_free(quoted);
}

void PressKey(const std::string& key) {
    gchar* quoted = g_shell_quote(key.c_str());
    Xdotool(std::string("key ") + quoted);
    g_free(quoted);
}

}  // namespace q3::reader::testing
