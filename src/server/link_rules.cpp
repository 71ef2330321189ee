#include "server/link_rules.h"

#include <optional>

#include "common/addresses.h"
#include "common/text.h"
#include "server/ht_server.h"

namespace q3::server {
namespace {

// The home page writes its links percent-encoded ("open://%7C...%7C"), since
// the browser's address parser rejects a raw "|" there. Such a link is turned
// back into the form the rules read, and the path it carries is taken between
// the first and the last "%7C" before decoding, so a "|" inside survives.
struct Link {
    std::string address;
    std::optional<std::string> path;
};

Link Normalize(std::string_view address) {
    for (std::string_view scheme : {"open://", "commnet://"}) {
        const std::string marker = std::string(scheme) + "%7c";
        const std::string low = AsciiLower(address);
        if (low.rfind(marker, 0) != 0)
            continue;
        const size_t end = low.rfind("%7c");
        if (end < marker.size())
            break;
        std::string path = PercentDecode(address.substr(marker.size(), end - marker.size()));
        return Link{std::string(scheme) + "|" + path + "|", path};
    }
    return Link{std::string(address), std::nullopt};
}

std::string LinkPath(const Link& link) {
    return link.path ? *link.path : PercentDecode(TextBetween(link.address, "//|", "|"));
}

// The schemes the browser shows itself, and the reader's own link words:
// those the rules do not answer (a malformed "Open:(help)") go to the
// browser as they always have, never to the desktop.
bool IsDesktopScheme(const std::string& scheme) {
    static constexpr std::string_view kShown[] = {"http", "https",   "file", "about",
                                                  "data", "blob",    "qbx",  "javascript",
                                                  "open", "commnet", "clear"};
    if (scheme.empty())
        return false;
    for (std::string_view s : kShown) {
        if (scheme == s)
            return false;
    }
    return true;
}

}  // namespace

bool IsDesktopAddress(std::string_view address) {
    return IsDesktopScheme(AddressScheme(address));
}

bool IsArchiveAddress(std::string_view address) {
    const size_t dot = address.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view ext = address.substr(dot);
    for (std::string_view a :
         {".rar", ".zip", ".7z", ".gzip", ".jar", ".iso", ".ico", ".tar", ".arj", ".cab"}) {
        if (ext == a)
            return true;
    }
    return false;
}

LinkAction ClassifyNavigation(std::string_view raw,
                              const std::function<bool(std::string_view)>& save_archive_entry,
                              const std::function<bool(const std::string&)>& file_exists) {
    const Link link = Normalize(raw);
    const std::string& address = link.address;
    LinkAction a;
    // Matched at the start only: a web address that merely contains a form
    // ("http://host/?open://|x|") is a web address.
    if (address.rfind("commnet://|", 0) == 0) {
        a.kind = LinkAction::kComment;
        a.path = LinkPath(link);
        return a;
    }
    if (address.rfind(kUrlPrefix, 0) == 0 && save_archive_entry && save_archive_entry(address)) {
        a.kind = LinkAction::kArchiveSaved;
        return a;
    }
    if (address.rfind("open://|", 0) == 0) {
        a.path = LinkPath(link);
        const bool folder = a.path.find_first_of("\\:/") != std::string::npos;
        a.kind = !file_exists(a.path) && !folder ? LinkAction::kNavigateTo : LinkAction::kOpen;
        return a;
    }
    if (address.rfind("clear:(", 0) == 0) {
        a.kind = address.rfind("clear:(url)", 0) == 0 ? LinkAction::kClearWeb
                                                      : LinkAction::kClearDocuments;
        return a;
    }
    if (address.rfind("open:(", 0) == 0) {
        if (address.rfind("open:(help)", 0) == 0)
            a.kind = LinkAction::kOpenHelp;
        else if (address.rfind("open:(qbx)", 0) == 0)
            a.kind = LinkAction::kOpenDialog;
        else
            a.kind = LinkAction::kIgnore;
        return a;
    }
    if (IsDesktopAddress(address)) {
        a.kind = LinkAction::kDesktop;
        a.path = address;
    }
    return a;
}

}  // namespace q3::server
