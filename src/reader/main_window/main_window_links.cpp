// The links the main window answers itself: the reader's own link forms,
// addresses handed to the desktop, and archive entries offered for saving.
#include <glibmm/main.h>
#include <sigc++/adaptors/track_obj.h>

#include <fstream>

#include "browser/web_browser.h"
#include "common/app_paths.h"
#include "common/gbk.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/translation.h"
#include "reader/forms/shell_open.h"
#include "reader/main_window/main_window.h"
#include "server/link_rules.h"

namespace q3::reader {

namespace {

// The link forms that act on the reader, the user's files or the network.
bool IsSpecialLink(server::LinkAction::Kind kind) {
    switch (kind) {
        case server::LinkAction::kComment:
        case server::LinkAction::kOpen:
        case server::LinkAction::kNavigateTo:
        case server::LinkAction::kClearWeb:
        case server::LinkAction::kClearDocuments:
        case server::LinkAction::kOpenHelp:
        case server::LinkAction::kOpenDialog:
            return true;
        default:
            return false;
    }
}

// A page of the open book, or one the reader wrote itself (they stand at
// about:blank): the only pages whose links may act on the reader.
bool MayCarrySpecialLinks(const std::string& page) {
    return page.starts_with(server::kUrlPrefix) || page == "about:blank";
}

// How long a special link waits for the page's report of the click that
// followed it, which may come just after the engine asks about the link.
constexpr gint64 kClickReportWait = 2 * G_USEC_PER_SEC;

}  // namespace

void Tfm_Quillon3::BeforeNavigate(browser::WebBrowser& sender, const std::string& address,
                                  bool& cancel) {
    const server::LinkAction link = server::ClassifyNavigation(
        address, [this](std::string_view a) { return SaveArchiveEntry(std::string(a)); },
        IsRegularFile);
    if (!link.Cancels())
        return;
    cancel = true;
    if (link.kind == server::LinkAction::kDesktop) {
        // The page stays; the address goes to the program the desktop has for it.
        OpenOnDesktop(sender, link.path);
        return;
    }
    if (!IsSpecialLink(link.kind))
        return;
    // A page script or a framed page asking for one is refused: only the
    // user's own click in the main frame of a page that may carry them.
    if (!MayCarrySpecialLinks(sender.LocationUrl())) {
        DebugTrace("Tfm_Quillon3.BeforeNavigate",
                   "refused on " + sender.LocationUrl() + ": " + address);
        return;
    }
    if (sender.ClickedInMainFrame(address)) {
        FollowLinkSoon(link);
        return;
    }
    DebugTrace("Tfm_Quillon3.BeforeNavigate", "waiting for the click on " + address);
    pending_link_ = PendingLink{&sender, address, link, g_get_monotonic_time()};
}

void Tfm_Quillon3::LinkClicked(browser::WebBrowser& sender, const std::string& address) {
    DebugTrace("Tfm_Quillon3.LinkClicked", address);
    if (!pending_link_)
        return;
    const PendingLink pending = std::move(*pending_link_);
    pending_link_.reset();
    if (pending.browser == &sender && pending.address == address &&
        g_get_monotonic_time() - pending.asked_at < kClickReportWait) {
        FollowLinkSoon(pending.link);
        return;
    }
    DebugTrace("Tfm_Quillon3.BeforeNavigate", "refused without a click: " + pending.address);
}

void Tfm_Quillon3::FollowLinkSoon(const server::LinkAction& link) {
    // Following a link may open documents, rebuild this very page or ask the
    // user: done once the engine's decision has returned.
    Glib::signal_idle().connect_once(sigc::track_obj([this, link] { FollowLink(link); }, *this));
}

void Tfm_Quillon3::OpenOnDesktop(browser::WebBrowser& sender, const std::string& address) {
    // Only the user's own click starts another program: a page cannot
    // start one on its own.
    if (!sender.NavigationByUser())
        return;
    Glib::signal_idle().connect_once(
        sigc::track_obj([this, address] { ShellOpen(this, address); }, *this));
}

void Tfm_Quillon3::FollowLink(const server::LinkAction& link) {
    server::Tdm_htServer* srv = Server();
    switch (link.kind) {
        case server::LinkAction::kComment: {
            if (srv == nullptr)
                return;
            if (srv->Document() == nullptr ||
                AsciiLower(srv->Document()->FileName()) != AsciiLower(link.path)) {
                OpenQbx(link.path);
            }
            browser::WebBrowser* wb = CurrentBrowser();
            if (wb != nullptr && srv->Document() != nullptr)
                wb->Navigate(srv->CommentUrl());
            return;
        }
        case server::LinkAction::kOpen:
            OpenQbx(link.path);
            return;
        case server::LinkAction::kNavigateTo:
            if (browser::WebBrowser* wb = CurrentBrowser())
                wb->Navigate(link.path);
            return;
        case server::LinkAction::kClearWeb:
        case server::LinkAction::kClearDocuments:
            ClearHistory(link.kind == server::LinkAction::kClearWeb);
            SyncAddressHistory(false);
            BuildHomePage();
            return;
        case server::LinkAction::kOpenHelp:
            OpenQbx(ReadOnlyDataDir() + kHelpBook);
            return;
        case server::LinkAction::kOpenDialog:
            act_openfile.Execute();
            return;
        default:
            return;
    }
}

bool Tfm_Quillon3::SaveArchiveEntry(const std::string& address) {
    if (!server::IsArchiveAddress(address))
        return false;
    server::Tdm_htServer* srv = Server();
    if (srv == nullptr || !address.starts_with(server::kUrlPrefix))
        return false;
    const std::string path = AsciiLower(PercentDecode(address.substr(server::kUrlPrefix.size())));
    server::ContentsEntry* entry = srv->Lookup(path);
    if (entry == nullptr)
        return false;
    if (entry->RecordNo != -1) {
        // Only the entry's own file name is proposed, never its folders.
        const std::string name = LastPathSegment(GbkToUtf8(std::string(entry->LocalPath)));
        const int32_t record = entry->RecordNo;
        const uint64_t generation = srv->Generation();
        Glib::signal_idle().connect_once(sigc::track_obj(
            [this, record, name, generation] {
                // A document opened meanwhile has other records under the number.
                server::Tdm_htServer* now = Server();
                if (now != nullptr && now->Generation() == generation)
                    SaveArchiveRecord(record, name);
            },
            *this));
    }
    return true;
}

void Tfm_Quillon3::SaveArchiveRecord(int32_t record, const std::string& file_name) {
    server::Tdm_htServer* srv = Server();
    if (srv == nullptr || srv->Document() == nullptr)
        return;
    std::string bytes;
    if (!srv->Document()->ReadRecord(record, bytes)) {
        ShowMessageBox(_("读取文件失败"), kMbIconInformation);
        return;
    }
    std::optional<std::string> target =
        ActiveDialogs().SaveFile(this, file_name, "All File(*.*)|*.*");
    if (!target)
        return;
    std::ofstream out(*target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        ShowMessageBox(_("读取文件失败"), kMbIconInformation);
}

}  // namespace q3::reader
