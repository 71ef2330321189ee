// Coming back to where a book was left.
#include "reader/main_window/main_window_resume.h"

#include <chrono>

#include "browser/page_scroll.h"
#include "browser/web_browser.h"
#include "common/base_settings.h"
#include "common/registry_store.h"
#include "common/text.h"
#include "reader/main_window/main_window.h"

namespace q3::reader {
namespace {

// How long closing or opening another book waits for the page to tell its
// scroll position; a page that does not answer keeps the one of its load.
constexpr auto kScrollAnswerWait = std::chrono::milliseconds(500);

std::optional<server::ReadingPlaces> Places() {
    const std::string settings = SettingsKey();
    if (settings.empty())
        return std::nullopt;
    return server::ReadingPlaces(RegistryStore::ForUser(),
                                 settings + "\\" + std::string(server::kReadingPlacesKey));
}

// The item path of a document address, as the server looks it up.
std::string ItemPath(const std::string& address) {
    return AsciiLower(PercentDecode(address.substr(server::kUrlPrefix.size())));
}

bool SamePage(const std::string& a, const std::string& b) {
    return ItemPath(a) == ItemPath(b);
}

}  // namespace

std::optional<server::BookIdentity> TReadingResume::OpenBook() {
    server::Tdm_htServer* srv = window_.Server();
    if (srv == nullptr || srv->Document() == nullptr)
        return std::nullopt;
    return server::IdentityOf(*srv->Document());
}

std::optional<std::string> TReadingResume::BookPageOf(browser::WebBrowser& wb) {
    server::Tdm_htServer* srv = window_.Server();
    std::string address = wb.LocationUrl();
    if (srv == nullptr || !address.starts_with(server::kUrlPrefix))
        return std::nullopt;
    // A search word highlights the page once, when a search result opens it.
    const size_t key_at = address.find("?key=");
    if (key_at != std::string::npos)
        address.erase(key_at, address.find('#', key_at) - key_at);
    // A page of the book opened before names nothing in this one.
    if (srv->Lookup(ItemPath(address)) == nullptr)
        return std::nullopt;
    return address;
}

void TReadingResume::Remember(const server::BookIdentity& book, const std::string& address,
                              std::optional<int> scroll) {
    if (std::optional<server::ReadingPlaces> places = Places())
        places->Remember(book, {address, scroll.value_or(0)});
}

bool TReadingResume::ShowRememberedPage() {
    pending_.reset();
    const std::optional<server::BookIdentity> book = OpenBook();
    std::optional<server::ReadingPlaces> places = Places();
    browser::WebBrowser* wb = window_.CurrentBrowser();
    if (!book || !places || wb == nullptr)
        return false;
    const std::optional<server::ReadingPlace> place = places->Find(*book);
    if (!place || !place->address.starts_with(server::kUrlPrefix))
        return false;
    // A rewritten book may have lost the page, or kept its name for no page.
    const std::string path = ItemPath(place->address);
    server::ContentsEntry* entry = window_.Server()->Lookup(path);
    if (entry == nullptr || entry->RecordNo == -1)
        return false;
    // The section goes with the page unless it is an item of its own.
    const size_t hash = path.find('#');
    std::string section;
    if (hash != std::string::npos && entry->LocalPath.find('#') == std::string::npos)
        section = PercentDecode(place->address.substr(server::kUrlPrefix.size())).substr(hash);

    window_.ChooseContentsEntry(*entry);
    pending_ = PendingScroll{wb, place->address, place->scroll};
    // Already shown: nothing loads, so the scroll is set now.
    if (!window_.ShowEntry(entry, section))
        PageSettled(*wb);
    return true;
}

void TReadingResume::PageSettled(browser::WebBrowser& sender) {
    if (&sender != window_.CurrentBrowser())
        return;
    const std::optional<server::BookIdentity> book = OpenBook();
    const std::optional<std::string> address = BookPageOf(sender);
    if (!book || !address)
        return;
    const auto remember = [book = *book, address = *address](std::optional<int> scroll) {
        Remember(book, address, scroll);
    };
    if (pending_ && pending_->browser == &sender && SamePage(pending_->address, *address)) {
        const int scroll = pending_->scroll;
        pending_.reset();
        browser::ScrollPageTo(sender, scroll, remember);
        return;
    }
    browser::ReadScrollPosition(sender, remember);
}

void TReadingResume::LeaveBook() {
    pending_.reset();
    browser::WebBrowser* wb = window_.CurrentBrowser();
    const std::optional<server::BookIdentity> book = OpenBook();
    const std::optional<std::string> address = wb ? BookPageOf(*wb) : std::nullopt;
    if (!book || !address)
        return;
    const std::optional<int> scroll = browser::ScrollPositionNow(*wb, kScrollAnswerWait);
    // The page did not answer: what its load remembered stands.
    if (scroll)
        Remember(*book, *address, scroll);
}

}  // namespace q3::reader
