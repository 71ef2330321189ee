// The shared handlers of the main window's actions and menus.
#include <sigc++/adaptors/track_obj.h>

#include "browser/browser_commands.h"
#include "browser/host_flags.h"
#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "common/app_paths.h"
#include "common/translation.h"
#include "online/ad_page.h"
#include "reader/dialogs/about_box.h"
#include "reader/dialogs/nav_form.h"
#include "reader/forms/pump.h"
#include "reader/forms/tab_painter.h"
#include "reader/main_window/main_window.h"
#include "reader/maker/addresses.h"
#include "reader/rules/save_name.h"

namespace q3::reader {

namespace {

constexpr const char* kOpenFilter = "Qbx File(*.qbx)|*.qbx|All File(*.*)|*.*";

}  // namespace

void Tfm_Quillon3::OpenExitExecute(TAction& action) {
    switch (action.Tag()) {
        case 1:  // act_exit: the same question as the close box
            if (get_visible())
                FormCloseQuery();
            break;
        case 2:  // act_openfile
            if (std::optional<std::string> file = ActiveDialogs().OpenFile(this, kOpenFilter)) {
                OpenQbx(*file);
            }
            break;
        case 3: {  // act_NavTree: the side bar and its splitter follow the check mark
            const bool shown = !act_NavTree.Checked();
            act_NavTree.SetChecked(shown);
            side_bar_.set_visible(shown);
            break;
        }
        case 4:
            side_bar_.Contents().ExpandAll();
            break;
        case 5:
            side_bar_.Contents().CollapseAll();
            break;
        default:
            break;
    }
}

void Tfm_Quillon3::HelpExecute(TAction& action) {
    switch (action.Tag()) {
        case 1:
            OpenQbx(ReadOnlyDataDir() + kHelpBook);
            break;
        case 2:
            ShowAboutBox(this, kAppName, Color());
            break;
        case 3:
            if (browser::WebBrowser* wb = CurrentBrowser())
                wb->Navigate(kMakerSoftwarePage);
            break;
        default:
            break;
    }
}

void Tfm_Quillon3::ColorSchemeClick(std::size_t entry) {
    WindowColor colour = color_scheme_.Tag(entry);
    if (entry == ColorSchemeMenu::kCustom) {
        std::optional<WindowColor> chosen = ActiveDialogs().ChooseColor(this, Color());
        if (!chosen) {
            SyncColorItems();  // the menu flipped its own mark; nothing changed
            return;
        }
        colour = *chosen;
        color_scheme_.SetTag(ColorSchemeMenu::kCustom, colour);
    }
    SetColor(colour);
    color_scheme_.InvertCheck(entry);
    SyncColorItems();
    try {
        WriteRegInteger(kColorValueName, static_cast<std::int32_t>(colour));
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.ColorSchemeClick", e.what());
    }
    RestyleAdPanel();
    // Widening the side bar for a moment makes its owner-drawn tabs repaint.
    int width = 0, height = 0;
    side_bar_.get_size_request(width, height);
    side_bar_.set_size_request(width + 1, height);
    ProcessMessages();
    side_bar_.set_size_request(width, height);
    side_bar_.RepaintTabs();
    RepaintTabs(page_tabs_);
    if (nav_form_ != nullptr)
        nav_form_->SetColor(colour);
}

void Tfm_Quillon3::RestyleAdPanel() {
    // The ad page's body follows the window colour, shown or not.
    ad_body_style_ = online::AdBodyStyle(browser::ColorToHtml(Color()));
    // Under a dark colour of the user's the advertisement's text must still read.
    if (browser::ContrastRatio(0x000000, Color()) < browser::kReadableContrast)
        ad_body_style_ += ";color: " + browser::ColorToHtml(browser::TextColorOn(Color()));
    if (!ad_browser_)
        return;
    try {
        browser::SetBodyStyle(*ad_browser_, ad_body_style_);
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.RestyleAdPanel", e.what());
    }
}

void Tfm_Quillon3::NavBarClick() {
    if (nav_form_ == nullptr)
        return;
    // The menu item has flipped its own check mark.
    const bool shown = nav_bar_item_->get_active();
    nav_form_->SetColor(Color());
    int nav_width = 0, nav_height = 0;
    if (nav_form_->get_realized()) {
        nav_form_->get_size(nav_width, nav_height);
    } else {
        int minimum = 0;
        nav_form_->get_preferred_width(minimum, nav_width);
    }
    const Point at = NavFormOrigin(Bounds(), nav_width, menu_row_.get_allocated_height(),
                                   tool_row_.get_allocated_height());
    nav_form_->move(at.x, at.y);
    nav_form_->set_visible(shown);
    if (shown)
        nav_form_->move(at.x, at.y);
}

void Tfm_Quillon3::ZoomClick(int tag) {
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr)
        return;
    switch (tag) {
        case 1:
            zoom_percent_ = 100;
            break;
        case 2:
            zoom_percent_ += 10;
            break;
        case 3:
            zoom_percent_ = zoom_percent_ - 10 <= 10 ? 10 : zoom_percent_ - 10;
            break;
        default:
            return;
    }
    browser::SetZoom(*wb, zoom_percent_);
}

void Tfm_Quillon3::ViewModeExecute(TAction& action) {
    action.SetChecked(!action.Checked());
    // The mode goes to the active tab's page whether it was switched on or off;
    // reloading the page undoes it.
    try {
        if (browser::WebBrowser* wb = CurrentBrowser())
            browser::ApplyViewMode(*wb, action.Tag());
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.act_browseModeExecute", e.what());
    }
}

void Tfm_Quillon3::WebExecute(TAction& action) {
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr)
        return;
    switch (action.Tag()) {
        case 1:
            if (IsDocumentPage()) {
                ShowFirstPage();
            } else {
                BuildHomePage();
            }
            break;
        case 2:
            if (!wb->HasDocument() || RewriteOwnPage(*wb))
                break;
            if (IsDocumentPage()) {
                wb->Navigate(wb->LocationUrl());
            } else {
                wb->Refresh();
            }
            break;
        case 3:
            if (wb->HasDocument())
                wb->Stop();
            break;
        case 4:
            if (wb->HasDocument())
                wb->GoForward();
            break;
        case 5:
            if (wb->HasDocument())
                wb->GoBack();
            break;
        case 6:
            if (wb->HasDocument())
                wb->PrintPreview(this);
            break;
        case 7:
            ToggleFullScreen(*wb);
            break;
        case 8:
            if (!wb->HasDocument())
                break;
            if (std::optional<std::string> file = ActiveDialogs().SaveFile(
                    this, SaveAsFileName(wb->LocationUrl(), wb->Title()), "All File(*.*)|*.*")) {
                wb->SaveAs(*file);
            }
            break;
        default:
            break;
    }
}

void Tfm_Quillon3::ToggleFullScreen(browser::WebBrowser& wb) {
    if (!wb.HasDocument())
        return;
    const bool on = !wb.FullScreen();
    wb.SetFullScreen(on);
    if (on) {
        act_FullScreen.SetCaption(_("退出全屏"));
        side_bar_before_full_screen_ = SideBarShown();
        if (side_bar_before_full_screen_)
            act_NavTree.Execute();
        for (Gtk::Widget* w : std::initializer_list<Gtk::Widget*>{&tool_row_, &menu_row_})
            w->hide();
    } else {
        act_FullScreen.SetCaption(_("全屏"));
        for (Gtk::Widget* w : std::initializer_list<Gtk::Widget*>{&tool_row_, &menu_row_})
            w->show();
        if (side_bar_before_full_screen_ && !SideBarShown())
            act_NavTree.Execute();
    }
}

void Tfm_Quillon3::QbxEditExecute(TAction& action) {
    browser::WebBrowser* wb = CurrentBrowser();
    switch (action.Tag()) {
        case 1:
            if (wb != nullptr && wb->HasDocument())
                CopyFromPage(*wb);
            break;
        case 2:
            if (wb != nullptr && wb->HasDocument())
                wb->SelectAll();
            break;
        case 7:
            if (wb != nullptr && Server() != nullptr && Server()->Document() != nullptr) {
                wb->Navigate(Server()->CommentUrl());
            }
            break;
        case 3:
            if (wb != nullptr && wb->HasDocument()) {
                browser_commands_->SendBrowserCommand(*wb, browser::kCommandFind);
            }
            break;
        case 6:
            if (wb != nullptr)
                browser_commands_->SendBrowserCommand(*wb, browser::kCommandViewSource);
            break;
        default:
            break;  // 8, sharing, has no branch
    }
}

void Tfm_Quillon3::CopyFromPage(browser::WebBrowser& wb) {
    Glib::RefPtr<Gdk::Window> view_window = wb.Widget().get_window();
    if (!IsDocumentPage() || menu_x_ < 0 || !view_window) {
        wb.Copy();
        return;
    }
    int origin_x = 0, origin_y = 0;
    view_window->get_origin(origin_x, origin_y);
    // The document's own pictures come from the content server; when the
    // menu was not opened over a picture the selection is copied instead.
    browser::WebBrowser* target = &wb;
    browser::CopyImageAt(
        wb, menu_x_ - origin_x, menu_y_ - origin_y,
        [this](const std::string& address) -> std::optional<std::string> {
            std::string bytes;
            server::Tdm_htServer* srv = Server();
            if (srv == nullptr || !srv->ReadDataByStream(address, bytes))
                return std::nullopt;
            return bytes;
        },
        sigc::track_obj(
            [this, target](bool copied) {
                if (!copied && target == CurrentBrowser())
                    target->Copy();
            },
            *this));
}

void Tfm_Quillon3::QbxNavExecute(TAction& action) {
    switch (action.Tag()) {
        case 1:
            if (Server() != nullptr && Server()->Document() != nullptr) {
                ShowFirstPage();
            } else {
                act_GoHome.Execute();
            }
            break;
        case 2:
            StepEntry(false);
            break;
        case 3:
            StepEntry(true);
            break;
        default:
            break;
    }
}

}  // namespace q3::reader
