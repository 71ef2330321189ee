// What the reader's command line asks for before any window exists: the
// options answered on the terminal, and the arguments left for the window.
#pragma once

#include <string>
#include <vector>

namespace q3::app {

enum class InfoRequest { kNone, kHelp, kVersion };

// One option of the reader. The table drives the parsing and --help, and a
// unit test checks the manual page against it.
struct Option {
    const char* short_name;  // "" when there is none
    const char* long_name;
    InfoRequest request;  // kNone for "--", which only ends the options
    const char* help;
};
const std::vector<Option>& Options();

// "-h"/"--help" or "-V"/"--version" as the first argument; any other
// argument is the window's (a first argument that names no file is ignored
// there).
InfoRequest InfoRequestOf(const std::vector<std::string>& args);

// The text printed for a request, ending in a newline.
std::string InfoText(InfoRequest request);

// The arguments for the window: a leading "--" is dropped, so a document
// whose name starts with a dash can be named after it.
std::vector<std::string> WindowArguments(std::vector<std::string> args);

}  // namespace q3::app
