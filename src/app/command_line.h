// What the reader's command line asks for before any window exists: the
// options answered on the terminal, and the arguments left for the window.
#pragma once

#include <functional>
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
    const char* value = "";  // the name of the value it takes, "" when none
};
const std::vector<Option>& Options();

// "-h"/"--help" or "-V"/"--version" as the first argument; any other
// argument is the window's (a first argument that names no file is ignored
// there).
InfoRequest InfoRequestOf(const std::vector<std::string>& args);

// The text printed for a request, ending in a newline.
std::string InfoText(InfoRequest request);

// What a start asks of the window: a book, and in it a page to show or a
// word to search for. Only the first argument that is no option names the
// book; a "--" makes the next one the book whatever it looks like.
struct StartRequest {
    std::string book;         // empty: none named
    std::string page;         // a path inside the book, as in its addresses
    std::string search_word;  // searched in the whole book once it is open
    std::string error;        // bad usage: what to tell, without a window
};
// is_file: whether a path names an existing file; a page or a word needs a
// book that exists, while a bare argument that names nothing is ignored.
StartRequest ParseStartRequest(const std::vector<std::string>& args,
                               const std::function<bool(const std::string&)>& is_file);

// The command line that carries a request to a reader already running:
// the book as an absolute path (resolved against cwd), so that it cannot
// pass for an option there, and the options with their values attached.
std::vector<std::string> ForwardedArguments(const StartRequest& request, const std::string& cwd);

}  // namespace q3::app
