// What a user does with the X server's pointer and keyboard, for the tests
// that must drive the real windows as a user would: xdotool sends the
// events through XTest, so the server picks the window under the pointer
// and the toolkit handles them like any other.
#pragma once

#include <gtkmm/widget.h>
#include <string>

namespace q3::reader::testing {

// The middle of a widget on the screen.
struct ScreenPoint {
    int x = 0;
    int y = 0;
};
ScreenPoint MiddleOf(Gtk::Widget& widget);

// Moves the pointer there, and the keyboard with it (the virtual display has
// no window manager: keys go to the window under the pointer).
void MoveTo(ScreenPoint at);

// Moves the pointer there and presses a button count times in quick
// succession (two make a double-click); then lets the program handle it.
void ClickAt(ScreenPoint at, int button = 1, int count = 1);
void Click(Gtk::Widget& widget, int button = 1, int count = 1);

// Types text at the speed of a quick typist, and single keys by their X
// names ("Return", "Escape", "ctrl+a"), into the window under the pointer.
// Neither waits for the program: pump the main loop to let it handle them.
void TypeText(const std::string& text);
void PressKey(const std::string& key);

}  // namespace q3::reader::testing
