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

// The page area's hint shows on the active tab: a tooltip on the whole
// notebook would float over the page wherever the pointer rests.
void ShowPageAreaHint(Gtk::Notebook& pages, const std::string& hint) {
    if (Gtk::Widget* page = pages.get_nth_page(pages.get_current_page()))
        SetTabHint(pages, *page, hint);
}

constexpr const char* kLoadingCaption = N_("正在加载...");
constexpr int kTabCaptionLimit = 16;

std::string TabText(const std::string& title) {
    return ShortenTextUtf8(title, kTabCaptionLimit, "...");
}

}  // namespace

void Tfm_Quillon3::WireBrowserEvents(browser::WebBrowser& wb) {
    wb.OnBeforeNavigate = [this](browser::WebBrowser& sender, const std::string& address,
                                 bool& cancel) { BeforeNavigate(sender, address, cancel); };
    wb.OnMainFrameClick = [this](browser::WebBrowser& sender, const std::string& address) {
        LinkClicked(sender, address);
    };
    wb.OnNewWindow = [this](browser::WebBrowser& sender,
                            const std::string& address) -> browser::WebBrowser* {
        if (server::IsDesktopAddress(address)) {
            OpenOnDesktop(sender, address);
            return nullptr;
        }
        return NewBrowserTab(&sender);
    };
    wb.OnTitleChange = [this](browser::WebBrowser& sender, const std::string& title) {
        TitleChange(sender, title);
    };
    wb.OnStatusTextChange = [this](browser::WebBrowser&, const std::string& text) {
        SetStatusText(DisplayAddress(text), 0);
    };
    wb.Widget().signal_scroll_event().connect(
        [this, &wb](GdkEventScroll* e) { return PageScrolled(wb, e); }, false);
    wb.OnDocumentComplete = [this](browser::WebBrowser& sender, const std::string& address) {
        DocumentComplete(sender, address);
    };
    wb.OnLocationChange = [this](browser::WebBrowser& sender, const std::string&) {
        FollowPage(sender);
    };
    // A page closing its own window: the tab goes once the engine has
    // returned from the request.
    wb.OnWindowClosing = [this](browser::WebBrowser& sender) {
        browser::WebBrowser* closing = &sender;
        Glib::signal_idle().connect_once(sigc::track_obj(
            [this, closing] {
                for (const auto& tab : new_window_tabs_) {
                    if (tab->browser.get() != closing)
                        continue;
                    page_tabs.set_current_page(page_tabs.page_num(tab->sheet));
                    act_CloseWeb.Execute();
                    return;
                }
            },
            *this));
    };
}

void Tfm_Quillon3::ClearHistory(bool web_addresses) {
    if (web_addresses)
        address_history_.ClearWebAddresses();
    else
        address_history_.ClearDocuments();
    address_panel.url_store->clear();
    for (const std::string& item : address_history_.Items())
        AddAddressItem(item);
}

void Tfm_Quillon3::BuildHomePage() {
    const std::string html = server::HomePageHtml(address_panel.UrlItems());
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr)
        return;
    wb->Navigate("about:blank");
    ProcessMessages();
    browser::WriteHtml(*wb, html);
    address_panel.UrlEntry().set_text("about:blank");
}

browser::WebBrowser* Tfm_Quillon3::NewBrowserTab(browser::WebBrowser* opener) {
    try {
        auto tab = std::make_unique<PageTab>();
        tab->browser = opener ? std::make_unique<browser::WebBrowser>(*opener)
                              : std::make_unique<browser::WebBrowser>();
        browser::WebBrowser& wb = *tab->browser;
        tab->sheet.set_orientation(Gtk::ORIENTATION_VERTICAL);
        tab->sheet.pack_start(wb.Widget(), Gtk::PACK_EXPAND_WIDGET);
        tab->sheet.show_all();
        const int page = page_tabs.append_page(tab->sheet, Tr(kLoadingCaption));
        AttachContainer(wb, false);
        WireBrowserEvents(wb);
        wb.SetSilent(script_prompts_off_item != nullptr && script_prompts_off_item->get_active());
        new_window_tabs_.push_back(std::move(tab));
        page_tabs.set_current_page(page);
        return &wb;
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.NewBrowserTab", e.what());
        return nullptr;
    }
}

Gtk::Widget* Tfm_Quillon3::SheetOf(const browser::WebBrowser& wb) {
    if (&wb == home_browser.get())
        return &home_tab;
    for (const auto& tab : new_window_tabs_) {
        if (tab->browser.get() == &wb)
            return &tab->sheet;
    }
    return nullptr;
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
    Gtk::Widget* sheet = SheetOf(sender);
    if (sheet == nullptr)
        return;
    // The engine reports an untitled page with an empty title; the page is
    // then named by its address, so no tab or caption goes blank.
    const std::string title =
        page_title.empty() ? DisplayAddress(sender.LocationUrl()) : page_title;
    // The engine may name a page only after it has completed; the bookmark
    // subject then takes the title here instead of staying empty.
    if (sender.HasDocument() && !sender.Busy())
        bookmarks_pane.subject_edit.set_text(page_title);
    if (IsDocumentPage()) {
        server::Tdm_htServer* srv = Server();
        if (srv == nullptr || srv->Document() == nullptr)
            return;
        const std::string path = srv->Document()->FileName();
        SetTabHint(page_tabs, *sheet, path);
        if (title.find(server::kUrlPrefix) == std::string::npos)
            SetTabCaption(page_tabs, *sheet, TabText(title));
        else
            SetTabCaption(page_tabs, *sheet, std::filesystem::path(path).filename().string());
        if (title.find("http://") == std::string::npos &&
            title.find("https://") == std::string::npos)
            UpdateCaption(title);
        ShowPageAreaHint(page_tabs, path);
        return;
    }
    SetTabCaption(page_tabs, *sheet, TabText(title));
    ShowPageAreaHint(page_tabs, title);
    if (IsWebAddress(title))
        address_panel.UrlEntry().set_text(title);
    UpdateCaption(title);
}

void Tfm_Quillon3::DocumentComplete(browser::WebBrowser& sender, const std::string&) {
    RegisterDocumentTypeSoon();
    resume_->PageSettled(sender);
    Gtk::Widget* sheet = SheetOf(sender);
    if (sheet == nullptr)
        return;
    try {
        const std::string address = sender.LocationUrl();
        Gtk::Entry& subject = bookmarks_pane.subject_edit;
        subject.set_tooltip_text(address);
        if (page_tabs.get_nth_page(page_tabs.get_current_page()) == sheet)
            address_panel.UrlEntry().set_text(DisplayAddress(address));
        if (sender.HasDocument()) {
            const std::string title = sender.Title();
            const std::string shown = DisplayAddress(address);
            // A site's own address ends in "/": it names the page itself.
            std::string text = title.empty() ? LastPathSegment(shown) : title;
            if (text.empty())
                text = shown;
            SetTabCaption(page_tabs, *sheet, TabText(text));
            UpdateCaption(text);
            subject.set_text(title);
        }
        if (!address.starts_with(server::kUrlPrefix)) {
            AddAddressHistory(address);
            return;
        }
        const std::string local = address.substr(server::kUrlPrefix.size());
        const size_t key_at = local.find("?key=");
        subject.set_tooltip_text(BookmarkAddress(address));
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
    address_panel.UrlEntry().set_text(DisplayAddress(wb->LocationUrl()));
    FollowPage(*wb);
    if (!wb->HasDocument())
        return;
    std::string hint = wb->Title();
    if (hint.empty())
        hint = _("无标题文档");
    ShowPageAreaHint(page_tabs, hint);
    UpdateCaption(hint);
}

void Tfm_Quillon3::CloseWebExecute(TAction&) {
    const int active = page_tabs.get_current_page();
    if (active < 0)
        return;
    if (page_tabs.get_nth_page(active) == &home_tab) {
        BuildHomePage();  // the home tab is never removed
        TabChange();
        return;
    }
    CloseActiveTab();
    TabChange();
}

void Tfm_Quillon3::CloseActiveTab() {
    Gtk::Widget* sheet = page_tabs.get_nth_page(page_tabs.get_current_page());
    for (auto it = new_window_tabs_.begin(); it != new_window_tabs_.end(); ++it) {
        if (&(*it)->sheet != sheet)
            continue;
        std::unique_ptr<PageTab> tab = std::move(*it);
        new_window_tabs_.erase(it);
        if (current_browser_ == tab->browser.get())
            current_browser_ = nullptr;
        try {
            if (container_list)
                container_list->Remove(*tab->browser);
        } catch (const std::exception& e) {
            ReportError("Tfm_Quillon3.act_CloseWebExecute", e.what());
        }
        page_tabs.remove_page(tab->sheet);
        return;  // the browser and its sheet go with the tab
    }
}

}  // namespace q3::reader
