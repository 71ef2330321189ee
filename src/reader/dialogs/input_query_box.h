// The one-line input dialog (the password prompt uses it): caption, a
// wrapping prompt, an edit that may mask what is typed, OK and Cancel.
#pragma once

#include <string>

namespace Gtk {
class Window;
}

namespace q3::reader {

// Shows the dialog modally over owner (may be null). True when confirmed;
// text is changed only then. The text is cut to 255 characters.
bool InputQueryBox(Gtk::Window* owner, const std::string& caption, const std::string& prompt,
                   std::string& text, bool masked);

}  // namespace q3::reader
