// What another start of the program asks of the running window: a book to
// open, a page of it to show, a word to search for in it.
#pragma once

#include <string>

namespace q3::reader {

class Tfm_Quillon3;

struct TOpenRequest {
    std::string book;  // an absolute path; empty: keep the open document
    std::string page;  // a path inside the book, maybe with a "#" section
    std::string search_word;
};

// Raises the window, opens the book through OpenQbx with all its questions
// and messages, then shows the page and starts the search in the book that
// is open, if it is the one asked for.
void OpenRequest(Tfm_Quillon3& window, const TOpenRequest& request);

// OpenRequest once the window is free: not inside a dialog of its own (a
// password question, a message), whose document must not change under it.
void OpenRequestSoon(Tfm_Quillon3& window, TOpenRequest request);

}  // namespace q3::reader
