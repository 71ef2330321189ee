// The online services in the main window: the update check's start and its
// answer, the ad strip, the logo and the resource tree's links.
#include <atkmm/object.h>
#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>

#include "browser/color.h"
#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "common/trace.h"
#include "common/translation.h"
#include "online/ad_page.h"
#include "online/get_updater.h"
#include "online/online_info.h"
#include "online/resource_feed.h"
#include "reader/forms/list_keys.h"
#include "reader/forms/pump.h"
#include "reader/main_window/main_window.h"

namespace q3::reader {

namespace {

constexpr std::string_view kServiceLinkTag = "Tfm_Quillon3.OpenServiceLink";

}  // namespace

void Tfm_Quillon3::StartUpdateCheck() {
    if (updater_ || update_check_start_.connected() || online_addresses_.service.empty())
        return;
    // Below drawing and the first page's own work: the request goes out once
    // the window has nothing more urgent to do.
    update_check_start_ = Glib::signal_idle().connect(
        [this] {
            RunUpdater();
            return false;
        },
        Glib::PRIORITY_LOW);
}

void Tfm_Quillon3::RunUpdater() {
    if (updater_ || destroyed_)
        return;
    updater_ = std::make_unique<online::TGetUpdater>(
        online::UpdateRequest{online_addresses_.service, online::kProgramName},
        [this](std::vector<std::string> lines) { OnlineInfoArrived(std::move(lines)); });
}

void Tfm_Quillon3::OnlineInfoArrived(std::vector<std::string> lines) {
    if (destroyed_)
        return;
    const online::OnlineInfo info = online::ReadOnlineInfo(lines);
    if (info.show_ad)
        ShowAdvertisement(info.ad_html);
    if (info.has_feed)
        online::BuildResourceTree(side_bar_.Resources(), info.feed_lines, online_addresses_);
}

browser::WebBrowser& Tfm_Quillon3::EnsureAdBrowser() {
    if (ad_browser_)
        return *ad_browser_;
    ad_browser_ = std::make_unique<browser::WebBrowser>(browser::WebBrowser::Isolated{});
    Gtk::Widget& view = ad_browser_->Widget();
    view.set_name("ad_view");
    view.get_accessible()->set_name(_("广告"));
    view.set_size_request(kAdStripWidth - kLogoWidth, kAdStripHeight);
    ad_panel_.pack_start(view, Gtk::PACK_EXPAND_WIDGET);
    view.show();
    // A link asking for a new window opens in the current tab; a plain link
    // loads in the strip itself, and no special link is interpreted here.
    ad_browser_->OnNewWindow = [this](browser::WebBrowser&, const std::string& address) {
        OpenServiceLink(address);
        return static_cast<browser::WebBrowser*>(nullptr);
    };
    AttachContainer(*ad_browser_, true);
    return *ad_browser_;
}

void Tfm_Quillon3::ShowAdvertisement(const std::string& ad_html) {
    browser::WebBrowser& ad = EnsureAdBrowser();
    browser::WriteHtml(ad, online::BuildAdPage(browser::ColorToHtml(Color()), ad_html));
    ad_panel_.show();
    ProcessMessages();
}

void Tfm_Quillon3::OpenServiceLink(const std::string& link) {
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr || link.empty())
        return;
    if (!online::IsWebLink(link)) {
        DebugTrace(kServiceLinkTag, "not a web address: " + link);
        return;
    }
    wb->Navigate(link);
}

void Tfm_Quillon3::ResourceClick() {
    if (const online::ResourceEntry* entry = side_bar_.Resources().SelectedEntry())
        OpenServiceLink(entry->link);
}

void Tfm_Quillon3::LogoClick() {
    GoToAddress(online_addresses_.logo_link);
}

}  // namespace q3::reader
