// The book named on the command line, opened and its contents read on a
// thread of their own while the toolkit starts and the window is made. The
// window takes what was read when it opens that book, instead of reading it
// all again once it stands.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "document/manager.h"
#include "reader/panes/contents_data.h"
#include "server/book_preparation.h"

namespace q3::reader {

// The window keeps a second reader off the documents it opens; a book read
// ahead is locked the same way from the start.
inline constexpr doc::Locking kReaderLocking = doc::Locking::kExclusive;

// The path the window opens for a document named on the command line: one
// relative to where the program was started would name nothing later.
std::string StartBookPath(const std::string& argument);

class TBookAhead {
  public:
    struct Prepared {
        server::BookPreparation::Result result;
        std::shared_ptr<TContentsData> contents;  // sealed; empty unless the book opened
    };

    // Starts reading the book at path (made with StartBookPath).
    explicit TBookAhead(std::string path);

    // What was read, once, when path is the book read ahead; nothing
    // otherwise, or when the window must open the book itself (it wants a
    // password, say).
    std::optional<Prepared> Take(const std::string& path);

  private:
    std::shared_ptr<TContentsData> contents_;
    server::BookPreparation preparation_;  // after contents_, which it fills
};

}  // namespace q3::reader
