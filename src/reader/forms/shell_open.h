// Asks the desktop to open an address (a web page, a "mailto:" link, a file)
// with the user's preferred program.
#pragma once

#include <functional>
#include <string>

namespace Gtk {
class Window;
}

namespace q3::reader {

// True when the desktop accepted the request. Failures go to the trace.
bool ShellOpen(Gtk::Window* parent, const std::string& target);

// Replaces the desktop for tests; an empty function restores it.
using ShellOpener = std::function<bool(const std::string& target)>;
void SetShellOpener(ShellOpener opener);

}  // namespace q3::reader
