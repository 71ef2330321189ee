#include "reader/main_window/main_window_request.h"

#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <sigc++/adaptors/track_obj.h>

#include <filesystem>

#include "common/text.h"
#include "common/translation.h"
#include "document/manager.h"
#include "reader/main_window/main_window.h"
#include "server/ht_server.h"

namespace q3::reader {

namespace {

// How often a request waiting for a dialog to close looks again.
constexpr unsigned kBusyRetryMs = 250;

// Whether the window's open document is the book; any book when none is named.
bool BookIsOpen(Tfm_Quillon3& window, const std::string& book) {
    server::Tdm_htServer* server = window.Server();
    if (server == nullptr || server->Document() == nullptr)
        return false;
    if (book.empty())
        return true;
    std::error_code ec;
    return std::filesystem::equivalent(server->Document()->FileName(), book, ec);
}

// The page as the content server looks it up: a whole address loses its
// prefix and its escapes, as the engine's requests do.
std::string PagePath(const std::string& page) {
    const std::string_view prefix = server::kUrlPrefix;
    if (AsciiLower(page.substr(0, prefix.size())) == prefix)
        return PercentDecode(std::string_view(page).substr(prefix.size()));
    return page;
}

void ShowRequestedPage(Tfm_Quillon3& window, const std::string& page) {
    const std::string path = PagePath(page);
    server::ContentsEntry* entry = window.Server()->Lookup(AsciiLower(path));
    if (entry == nullptr || entry->RecordNo == -1) {
        // The first page stays; the status bar says why the page did not come.
        window.SetStatusText(FilledText(_("找不到\"%s\""), page), 0);
        return;
    }
    // A section that is no contents item of its own is found as its page;
    // the engine scrolls to it when the address keeps the section.
    std::string section;
    const size_t hash = path.find('#');
    if (hash != std::string::npos && entry->LocalPath.find('#') == std::string_view::npos)
        section = path.substr(hash);
    window.ShowEntry(entry, section);
}

}  // namespace

void OpenRequest(Tfm_Quillon3& window, const TOpenRequest& request) {
    window.present();
    const bool in_book = !request.page.empty() || !request.search_word.empty();
    // A page or a search in the book already open needs no "already open"
    // message; a bare request for it gets what the open dialog would give.
    if (!request.book.empty() && !(in_book && BookIsOpen(window, request.book)))
        window.OpenQbx(request.book);
    if (!in_book || !BookIsOpen(window, request.book))
        return;
    if (!request.page.empty())
        ShowRequestedPage(window, request.page);
    if (!request.search_word.empty())
        window.StartFullTextSearch(request.search_word);
}

void OpenRequestSoon(Tfm_Quillon3& window, TOpenRequest request) {
    auto deliver = [&window, request = std::move(request)] {
        if (gtk_grab_get_current() == nullptr) {
            OpenRequest(window, request);
            return;
        }
        Glib::signal_timeout().connect_once(
            sigc::track_obj([&window, request] { OpenRequestSoon(window, request); }, window),
            kBusyRetryMs);
    };
    Glib::signal_idle().connect_once(sigc::track_obj(deliver, window));
}

}  // namespace q3::reader
