// The page tabs of the main window: browser events, new-window tabs,
// captions and the home page.
#include <glibmm/main.h>
#include <sigc++/adaptors/track_obj.h>

#include <filesystem>

#include "browser/page_helpers.h"
#include "browser/wb_container.h"
#include "browser/web_browser.h"
#include "common/addresses.h"
#include "common/app_paths.h"
#include "common/gbk.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/translation.h"
#include "reader/forms/pump.h"
#include "reader/forms/shell_open.h"
#include "reader/forms/tab_painter.h"
#include "reader/main_window/main_window.h"
#include "reader/main_window/main_window_resume.h"
#include "server/home_page.h"
#include "server/link_rules.h"

namespace q3::reader {

namespace {

constexpr const char* kLoadingCaption = N_("正在加载...");
constexpr int kTabCaptionLimit = 16;

std::string TabText(const std::string& title) {
    return ShortenTextUtf8(title, kTabCaptionLimit, "...");
}

}  // namespace

void Tfm_Quillon3::ClearHistory(bool web_addresses) {
    if (web_addresses)
        address_history_.ClearWebAddresses();
    else
        address_history_.ClearDocuments();
    address_panel_.ClearUrlItems();
    for (const std::string& item : address_history_.Items())
        AddAddressItem(item);
}

void Tfm_Quillon3::BuildHomePage() {
    const std::string html = server::HomePageHtml(address_panel_.UrlItems());
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr)
        return;
    wb->Navigate("about:blank");
    ProcessMessages();
    browser::WriteHtml(*wb, html);
    address_panel_.SetAddress("about:blank");
}

browser::WebBrowser* Tfm_Quillon3::NewBrowserTab(browser::WebBrowser* opener) {
    try {
        browser::WebBrowser& wb = page_tabs_.AddTab(opener, Tr(kLoadingCaption));
        AttachContainer(wb, false);
        WireBrowserEvents(wb);
        wb.SetSilent(script_prompts_off_item_ != nullptr && script_prompts_off_item_->get_active());
        return &wb;
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.NewBrowserTab", e.what());
        return nullptr;
    }
}

void Tfm_Quillon3::UpdateCaption(const std::string& title) {
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr)
        return;
    server::Tdm_htServer* srv = Server();
    if (wb->LocationUrl().find(server::kUrlPrefix) != std::string::npos && srv != nullptr &&
        srv->Document() != nullptr) {
        std::string name = GbkToUtf8(srv->Document()->Version().Subject);
        if (name.empty())
            name = std::filesystem::path(srv->Document()->FileName()).filename().string();
        set_title(title + " - " + name + " - Quillon3");
        return;
    }
    set_title(title + " - Quillon3");
}

void Tfm_Quillon3::TitleChange(browser::WebBrowser& sender, const std::string& page_title) {
    if (!page_tabs_.Holds(sender))
        return;
    // The engine reports an untitled page with an empty title; the page is
    // then named by its address, so no tab or caption goes blank.
    const std::string title =
        page_title.empty() ? DisplayAddress(sender.LocationUrl()) : page_title;
    // The engine may name a page only after it has completed; the bookmark
    // subject then takes the title here instead of staying empty.
    if (sender.HasDocument() && !sender.Busy())
        side_bar_.Bookmarks().SetSubject(page_title);
    if (IsDocumentPage()) {
        server::Tdm_htServer* srv = Server();
        if (srv == nullptr || srv->Document() == nullptr)
            return;
        const std::string path = srv->Document()->FileName();
        page_tabs_.SetHint(sender, path);
        if (title.find(server::kUrlPrefix) == std::string::npos)
            page_tabs_.SetCaption(sender, TabText(title));
        else
            page_tabs_.SetCaption(sender, std::filesystem::path(path).filename().string());
        if (title.find("http://") == std::string::npos &&
            title.find("https://") == std::string::npos)
            UpdateCaption(title);
        page_tabs_.SetCurrentHint(path);
        return;
    }
    page_tabs_.SetCaption(sender, TabText(title));
    page_tabs_.SetCurrentHint(title);
    if (IsWebAddress(title))
        address_panel_.SetAddress(title);
    UpdateCaption(title);
}

void Tfm_Quillon3::DocumentComplete(browser::WebBrowser& sender, const std::string&) {
    RegisterDocumentTypeSoon();
    resume_->PageSettled(sender);
    if (!page_tabs_.Holds(sender))
        return;
    try {
        const std::string address = sender.LocationUrl();
        TBookmarksPane& bookmarks = side_bar_.Bookmarks();
        bookmarks.SetPageAddress(address);
        if (page_tabs_.InFront(sender))
            address_panel_.SetAddress(DisplayAddress(address));
        if (sender.HasDocument()) {
            const std::string title = sender.Title();
            const std::string shown = DisplayAddress(address);
            // A site's own address ends in "/": it names the page itself.
            std::string text = title.empty() ? LastPathSegment(shown) : title;
            if (text.empty())
                text = shown;
            page_tabs_.SetCaption(sender, TabText(text));
            UpdateCaption(text);
            bookmarks.SetSubject(title);
        }
        if (!address.starts_with(server::kUrlPrefix)) {
            AddAddressHistory(address);
            return;
        }
        const std::string local = address.substr(server::kUrlPrefix.size());
        const size_t key_at = local.find("?key=");
        bookmarks.SetPageAddress(BookmarkAddress(address));
        if (key_at == std::string::npos)
            return;
        // The engine hands the address back percent-encoded; the word is
        // highlighted in the page that was loaded with it.
        const std::string key = PercentDecode(local.substr(key_at + 5));
        if (!Trim(key).empty())
            browser::HighlightText(sender, key);
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.DocumentComplete", e.what());
    }
}

void Tfm_Quillon3::TabChange() {
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr)
        return;
    wb->Widget().grab_focus();
    address_panel_.SetAddress(DisplayAddress(wb->LocationUrl()));
    FollowPage(*wb);
    if (!wb->HasDocument())
        return;
    std::string hint = wb->Title();
    if (hint.empty())
        hint = _("无标题文档");
    page_tabs_.SetCurrentHint(hint);
    UpdateCaption(hint);
}

void Tfm_Quillon3::CloseWebExecute(TAction&) {
    if (page_tabs_.get_current_page() < 0)
        return;
    if (page_tabs_.HomeInFront())
        BuildHomePage();  // the home tab is never removed
    else
        page_tabs_.CloseCurrent();
    TabChange();
}

}  // namespace q3::reader
