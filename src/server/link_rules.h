// What a navigation request means to the reader before the browser follows
// it: the special link forms of the home page and of document pages, checked
// in a fixed order.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace q3::server {

struct LinkAction {
    enum Kind {
        kNavigate,        // not special: the browser follows it
        kComment,         // "commnet://|path|": open path if needed, then its comment page
        kArchiveSaved,    // a document entry that was offered for saving instead
        kOpen,            // "open://|path|": hand path to the open routine
        kNavigateTo,      // "open://|text|" naming no file and no folder: browse to text
        kClearWeb,        // "clear:(url)"
        kClearDocuments,  // any other "clear:(" link ("clear:(qbx)")
        kOpenHelp,        // "open:(help)"
        kOpenDialog,      // "open:(qbx)"
        kIgnore,          // another "open:(" text: cancelled, nothing done
        kDesktop,         // a scheme the browser cannot show ("mailto:"): for the desktop
    } kind = kNavigate;
    std::string path;  // decoded path or text, for kComment, kOpen and kNavigateTo;
                       // the address as it stands for kDesktop
    bool Cancels() const { return kind != kNavigate; }
};

// Rule 2 is the caller's: it gets every "qbx://reader/" address and returns
// true when it intercepted it (an archive entry offered for saving).
// file_exists tells whether a path names an existing file.
LinkAction ClassifyNavigation(std::string_view address,
                              const std::function<bool(std::string_view)>& save_archive_entry,
                              const std::function<bool(const std::string&)>& file_exists);

// True for an address in a scheme the browser cannot show ("mailto:",
// "tel:"): the desktop's program for it opens it instead.
bool IsDesktopAddress(std::string_view address);

// True for addresses whose extension is one of the archive types offered for
// saving (compared case-sensitively, as links are written).
bool IsArchiveAddress(std::string_view address);

}  // namespace q3::server
