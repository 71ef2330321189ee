// Every signal the window listens to: its panes', its controls' and its
// browsers'. The handlers live with their topics; here is only who calls
// whom.
#include <glibmm/main.h>
#include <sigc++/adaptors/track_obj.h>

#include "browser/wb_container.h"
#include "browser/web_browser.h"
#include "common/addresses.h"
#include "reader/forms/list_keys.h"
#include "reader/main_window/main_window.h"
#include "reader/main_window/window_contents_model.h"
#include "server/link_rules.h"

namespace q3::reader {

namespace {

bool IsActivationKey(guint keyval) {
    return IsEnterKeyval(keyval) || keyval == GDK_KEY_space || keyval == GDK_KEY_KP_Space;
}

}  // namespace

void Tfm_Quillon3::WireControls() {
    WireSidePanes();
    WireAddressBox();
    WirePageTabs();
    WireOnlineControls();
    WireKeyboard();
    script_prompts_off_item_->signal_toggled().connect([this] {
        if (browser::WebBrowser* wb = CurrentBrowser())
            wb->SetSilent(script_prompts_off_item_->get_active());
    });
}

void Tfm_Quillon3::WireSidePanes() {
    side_bar_.Contents().SignalNodeClicked().connect([this] { ContentsClick(); });
    side_bar_.Index().SignalEntryChosen().connect(
        [this](server::ContentsEntry* entry) { ShowEntry(entry, ""); });
    // The subject box answers to the index's keys as the key box does.
    side_bar_.Bookmarks().SignalSubjectKeyReleased().connect(
        [this](const GdkEventKey* e) { side_bar_.Index().KeyReleased(e); });
    side_bar_.Bookmarks().SignalOpenAddress().connect([this](const std::string& address) {
        if (browser::WebBrowser* wb = CurrentBrowser())
            wb->Navigate(address);
    });
    side_bar_.Search().Connect({
        [this] { return Server(); },
        [this]() -> const server::ContentsModel& { return *contents_model_; },
        [this](const std::string& text) { SetStatusText(text, 0); },
        [this](server::ContentsEntry* entry, const std::string& suffix) {
            ShowEntry(entry, suffix);
        },
    });
    side_bar_.Resources().SignalEntryChosen().connect([this] { ResourceClick(); });
}

void Tfm_Quillon3::WireAddressBox() {
    address_panel_.SignalAddressEnter().connect([this](GdkModifierType state) {
        std::string text = address_panel_.Address();
        if (text.empty())
            return;
        if (state & GDK_CONTROL_MASK)
            text = "http://www." + text + ".com";
        GoToAddress(text);
        address_panel_.SetAddress(text);
    });
    address_panel_.SignalGo().connect([this](const std::string& text) { GoToAddress(text); });
    address_panel_.SignalTestClicked().connect([this] { ShowRecordForTest(); });
    address_panel_.SignalSearch().connect([this] { PageSearchClick(); });
}

void Tfm_Quillon3::WirePageTabs() {
    page_tabs_.SignalCloseAsked().connect([this] { act_CloseWeb.Execute(); });
    page_tabs_.SignalClosing().connect([this](browser::WebBrowser& wb) {
        try {
            if (container_list_)
                container_list_->Remove(wb);
        } catch (const std::exception& e) {
            ReportError("Tfm_Quillon3.act_CloseWebExecute", e.what());
        }
    });
    page_tabs_.signal_switch_page().connect([this](Gtk::Widget*, guint) { TabChange(); }, true);
}

void Tfm_Quillon3::WireOnlineControls() {
    logo_box_.signal_button_release_event().connect([this](GdkEventButton* e) {
        if (e->button == 1)
            LogoClick();
        return true;
    });
    logo_box_.signal_key_press_event().connect([this](GdkEventKey* e) {
        if (!IsActivationKey(e->keyval))
            return false;
        LogoClick();
        return true;
    });
}

void Tfm_Quillon3::WireKeyboard() {
    // Any change of focus may frame or unframe the page.
    signal_set_focus().connect([this](Gtk::Widget*) {
        if (!destroyed_)
            page_tabs_.queue_draw();
    });
    page_tabs_.signal_draw().connect(
        [this](const Cairo::RefPtr<Cairo::Context>& cr) {
            DrawPageFocus(cr);
            return false;
        },
        true);
}

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
                // The home browser's page may ask too; its tab never closes.
                if (!page_tabs_.Holds(*closing) || closing == &page_tabs_.HomeBrowser())
                    return;
                page_tabs_.BringToFront(*closing);
                act_CloseWeb.Execute();
            },
            *this));
    };
}

}  // namespace q3::reader
