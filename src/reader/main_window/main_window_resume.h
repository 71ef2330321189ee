// The main window's memory between runs: where each book was left (the page
// and how far it was scrolled), shown again when the book is opened by any
// route, and the window's own size, place and side bar width.
#pragma once

#include <optional>
#include <string>

#include "server/reading_places.h"

namespace q3::browser {
class WebBrowser;
}

namespace q3::reader {

class Tfm_Quillon3;

class TReadingResume {
  public:
    explicit TReadingResume(Tfm_Quillon3& window) : window_(window) {}

    // Shows the page where the open book was left, when it still has that
    // page; false when there is nothing to show (its first page is shown).
    bool ShowRememberedPage();
    // A page has loaded in sender: a page of the open book is remembered,
    // scrolled first to where it was left when it is the page shown again.
    void PageSettled(browser::WebBrowser& sender);
    // The book is left (another one opened, the window closed): its page and
    // scroll position of this moment are remembered.
    void LeaveBook();

  private:
    struct PendingScroll {
        const browser::WebBrowser* browser;
        std::string address;
        int scroll;
    };
    std::optional<server::BookIdentity> OpenBook();
    // The address of a page of the open book that wb shows, without a search
    // word; nothing for any other page.
    std::optional<std::string> BookPageOf(browser::WebBrowser& wb);
    static void Remember(const server::BookIdentity& book, const std::string& address,
                         std::optional<int> scroll);

    Tfm_Quillon3& window_;
    std::optional<PendingScroll> pending_;
};

// The window's size, place, maximised state and side bar width as stored,
// kept within the screen; nothing stored leaves the designed size.
void RestoreWindowPlacement(Tfm_Quillon3& window);
void StoreWindowPlacement(Tfm_Quillon3& window);

}  // namespace q3::reader
