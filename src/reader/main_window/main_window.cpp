// The main window's life: creation in its fixed order, the close question,
// and what is stored when it goes.
#include "reader/main_window/main_window.h"
#include "reader/main_window/main_window_resume.h"

#include <glibmm/fileutils.h>
#include <glibmm/main.h>
#include <glibmm/miscutils.h>
#include <gtkmm/main.h>
#include <sigc++/adaptors/track_obj.h>

#include <chrono>
#include <exception>
#include <filesystem>

#include "browser/browser_commands.h"
#include "browser/wb_container.h"
#include "browser/web_browser.h"
#include "common/app_paths.h"
#include "common/base_settings.h"
#include "common/shell.h"
#include "common/translation.h"
#include "online/get_updater.h"
#include "online/resource_feed.h"
#include "reader/dialogs/nav_form.h"
#include "reader/forms/pump.h"
#include "reader/main_window/night_reading_item.h"
#include "reader/main_window/window_contents_model.h"
#include "reader/rules/search_words.h"
#include "scheme/webkit_scheme.h"

namespace q3::reader {

namespace {

const ActionDef& Def(std::string_view name) {
    const ActionDef* def = FindActionDef(name);
    if (def == nullptr)
        std::terminate();  // the table and the window disagree
    return *def;
}

// When the file type is registered: a little after the first page has
// loaded (so that it is painted first), or this long after the start.
constexpr unsigned kRegisterTypeAfterPage = 500;  // ms
constexpr unsigned kRegisterTypeFallback = 5000;  // ms

std::string ProgramPath() {
    std::error_code ec;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? AppDir() + "quillon3" : program.string();
}

std::string ErrorText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (const Glib::Error& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

}  // namespace

Tfm_Quillon3::Tfm_Quillon3(TApplicationModules& modules, std::vector<std::string> args)
    : act_exit(Def("act_exit")),
      act_openfile(Def("act_openfile")),
      act_NavTree(Def("act_NavTree")),
      act_TvExpand(Def("act_TvExpand")),
      act_TvCollapsed(Def("act_TvCollapsed")),
      act_FullScreen(Def("act_FullScreen")),
      act_GoHome(Def("act_GoHome")),
      act_Refresh(Def("act_Refresh")),
      act_Stop(Def("act_Stop")),
      act_GoTo(Def("act_GoTo")),
      act_GoBack(Def("act_GoBack")),
      act_print(Def("act_print")),
      act_saveas(Def("act_saveas")),
      act_Help(Def("act_Help")),
      atc_about(Def("atc_about")),
      act_Update(Def("act_Update")),
      act_browseMode(Def("act_browseMode")),
      act_NotImageMode(Def("act_NotImageMode")),
      act_CloseWeb(Def("act_CloseWeb")),
      act_QBXAttr(Def("act_QBXAttr")),
      act_QBXCopy(Def("act_QBXCopy")),
      act_QBXSelectAll(Def("act_QBXSelectAll")),
      act_QBXSearch(Def("act_QBXSearch")),
      act_QBXNavHome(Def("act_QBXNavHome")),
      act_QBXNavPrev(Def("act_QBXNavPrev")),
      act_QBXNavNext(Def("act_QBXNavNext")),
      act_QBXViewSource(Def("act_QBXViewSource")),
      act_QBXComment(Def("act_QBXComment")),
      act_QBXShared(Def("act_QBXShared")),
      status_bar_({50}),
      modules_(modules),
      args_(std::move(args)) {
    // "clear:(qbx)" keeps the web addresses that are not files.
    address_history_ = server::AddressHistory(IsRegularFile);
    BuildActions();
    BuildLayout();
    BuildMainMenu();
    BuildPopupMenus();
    WireControls();
    contents_model_ =
        std::make_unique<TWindowContentsModel>(side_bar_.Contents(), side_bar_.Index());
    browser_commands_ = std::make_unique<browser::BrowserCommands>(*this);
    layout_.show_all();
    InstallAccelerators();
    FormCreate();
}

Tfm_Quillon3::~Tfm_Quillon3() {
    FormDestroy();
}

void Tfm_Quillon3::FormCreate() {
    // 1. The base form: colour and owner-drawn tabs.
    Tfm_BaseForm::FormCreate(true);
    set_default_size(kMainWidth, kMainHeight);
    signal_key_press_event().connect([this](GdkEventKey* e) { return OnKeyPreview(e); }, false);
    signal_key_release_event().connect(
        [this](GdkEventKey* e) { return RouteKey(e).value_or(false); }, false);
    // The close box asks first; the window hides itself when the answer is OK.
    signal_delete_event().connect([this](GdkEventAny*) {
        FormCloseQuery();
        return true;
    });
    // Where the online services live; the resource tree, the logo and the
    // update check all go by it.
    online_addresses_ = online::ReadOnlineAddresses();
    logo_box_.set_tooltip_text(online_addresses_.logo_link);

    // 2-13: an error skips the rest of these steps; the window still comes up.
    try {
        CreateSettingsAndServer();
    } catch (...) {
        ReportError("Tfm_Quillon3.FormCreate", ErrorText(std::current_exception()));
    }
    resume_ = std::make_unique<TReadingResume>(*this);
    RestoreWindowPlacement(*this);
    // 14. The home browser is the current browser: the home tab is in front.
    // 15-19 in their own protected block.
    try {
        CreateBrowsersAndStart();
    } catch (...) {
        ReportError("Tfm_Quillon3.FormCreate", ErrorText(std::current_exception()));
    }
    // 20. Always.
    StartUpdateCheck();
}

void Tfm_Quillon3::CreateSettingsAndServer() {
    SetSettingsKey(kQuillonSettingsKey);  // 2
    // 3. The first page does not need the file type: it is registered once
    // the page is shown.
    DeferDocumentTypeRegistration();
    color_scheme_.SetTag(ColorSchemeMenu::kDefault,  // 4
                         browser::SystemColorRef(browser::SystemColor::kButtonFace));
    act_NavTree.Execute();                                         // 5
    ApplyStoredColor();                                            // 6
    AcceptDroppedFiles();                                          // 7
    container_list_ = std::make_unique<browser::ContainerList>();  // 8
    set_title(kAppName);                                           // 9
    SetApplicationTitle(kAppName);
    // 10. The address box's icons: the shared icon list, and the icon of a
    // web page for web addresses.
    AttachAddressIcons();
    LoadSearchWords();        // 11
    modules_.server_module =  // 12
        std::make_unique<TServerModule>(server::scheme::ProcessDynPtl());
    // The contents parser offers the loop a turn every ten lines. Each turn
    // polls every source, which over a large contents costs more than the
    // parse itself; a turn at most every 10 ms keeps the window just as
    // responsive.
    modules_.server_module->Server().SetPumpHook(
        [last = std::chrono::steady_clock::time_point{}]() mutable {
            constexpr auto kPumpInterval = std::chrono::milliseconds(10);
            const auto now = std::chrono::steady_clock::now();
            if (now - last < kPumpInterval)
                return;
            last = now;
            ProcessMessages();
        });
    modules_.server_module->Server().SetDocumentLocking(kReaderLocking);
    ConnectSelectNode();
    SyncAddressHistory(true);  // 13
}

void Tfm_Quillon3::DeferDocumentTypeRegistration() {
    // Once the first page has loaded, or after a while when none comes.
    // Refreshing the desktop's type database can take a moment; by then
    // the user is reading.
    register_type_ = Glib::signal_timeout().connect(sigc::track_obj(
                                                        [this] {
                                                            RegisterDocumentType();
                                                            return false;
                                                        },
                                                        *this),
                                                    kRegisterTypeFallback);
}

void Tfm_Quillon3::RegisterDocumentTypeSoon() {
    if (!register_type_.connected())
        return;
    register_type_.disconnect();
    register_type_ = Glib::signal_timeout().connect(sigc::track_obj(
                                                        [this] {
                                                            RegisterDocumentType();
                                                            return false;
                                                        },
                                                        *this),
                                                    kRegisterTypeAfterPage);
}

void Tfm_Quillon3::RegisterDocumentType() {
    // A registry that cannot be written must not cost the rest of the start
    // (the content server among it): the association is only a convenience.
    try {
        RegisterFileType(".qbx", "Quillon", "Quillon file type", ProgramPath(), 0, true);
    } catch (...) {
        ReportError("Tfm_Quillon3.RegisterFileType", ErrorText(std::current_exception()));
    }
}

void Tfm_Quillon3::CreateBrowsersAndStart() {
    WireBrowserEvents(page_tabs_.HomeBrowser());
    const bool has_document = !args_.empty() && IsRegularFile(args_[0]);
    // 15. A start with a document goes straight to its first page: a blank
    // page first would only delay it. The ad browser is made when an
    // advertisement comes.
    AttachContainer(page_tabs_.HomeBrowser(), !has_document);
    side_bar_.Resources().ExpandFirstNode();                                     // 16
    side_bar_.ShowTab(has_document ? SideTab::kContents : SideTab::kResources);  // 17
    // 18. The home page of a start with a document would only be painted to
    // be replaced; it is built when the user goes home.
    if (!has_document)
        BuildHomePage();
    online::BuildResourceTree(side_bar_.Resources(), {}, online_addresses_);
    if (has_document) {  // 19: only the first argument counts
        ProcessMessages();
        OpenQbx(StartBookPath(args_[0]));
    }
}

void Tfm_Quillon3::AttachContainer(browser::WebBrowser& wb, bool navigate) {
    // The list is made at creation step 8; an error before it must not
    // leave the browsers without their containers.
    if (!container_list_)
        container_list_ = std::make_unique<browser::ContainerList>();
    browser::TWBContainer& container = container_list_->Add(wb);
    // A book dropped on a page is for the window to open, not for the page.
    wb.SetRegisterAsDropTarget(false);
    if (&wb == ad_browser_.get()) {
        container.SetShowScrollBars(false);
        container.SetUseCustomMenu(true);
    }
    container.OnShowContextMenu = [this](browser::WebBrowser& sender, uint32_t,
                                         browser::ScreenPoint point, bool& handled) {
        if (&sender != CurrentBrowser() || !IsDocumentPage())
            return;
        handled = true;
        menu_x_ = point.x;
        menu_y_ = point.y;
        if (browser::TNulWBContainer* c = browser::ContainerOf(sender))
            c->PopupAt(document_page_menu_, point);
    };
    if (!navigate)
        return;
    wb.Navigate("about:blank");
    ProcessMessagesWhile([&wb] { return wb.Busy(); }, kBlankPageWait);
}

void Tfm_Quillon3::ApplyStoredColor() {
    auto stored = Color();
    try {
        stored = static_cast<WindowColor>(
            ReadRegInteger(kColorValueName, static_cast<std::int32_t>(Color())));
    } catch (...) {
        // A value of another type is no colour; the start goes on without it.
        ReportError("Tfm_Quillon3.FormCreate", ErrorText(std::current_exception()));
    }
    SetColor(stored);
    color_scheme_.SelectColor(stored);
    SyncColorItems();
    RestoreNightReading(*night_reading_item_);
}

void Tfm_Quillon3::SyncColorItems() {
    menu_syncing_ = true;
    for (std::size_t i = 0; i < ColorSchemeMenu::kEntryCount; ++i) {
        if (color_scheme_items_[i] != nullptr)
            color_scheme_items_[i]->set_active(color_scheme_.IsChecked(i));
    }
    menu_syncing_ = false;
}

std::string Tfm_Quillon3::AddressHistoryFile() {
    return UserDataDir() + "RURLs.dat";
}
std::string Tfm_Quillon3::SearchWordsFile() {
    return UserDataDir() + kSearchWordsFile;
}

void Tfm_Quillon3::LoadSearchWords() {
    search_words_path_ = SearchWordsFile();
    address_panel_.SetKeyItems(q3::reader::LoadSearchWords(search_words_path_));
}

void Tfm_Quillon3::StoreSearchWords() {
    if (search_words_path_.empty())
        return;
    q3::reader::StoreSearchWords(search_words_path_, address_panel_.KeyItems());
}

bool Tfm_Quillon3::FormCloseQuery() {
    if (!AskYesNo(Tr(kQuitQuestion), kMbOkCancel | kMbIconQuestion))
        return false;
    resume_->LeaveBook();
    StoreWindowPlacement(*this);
    SyncAddressHistory(false);
    // Closed from inside the search's progress point: the walk ends first.
    side_bar_.Search().StopSearch();
    // The window goes; the application ends once its main window is hidden.
    hide();
    return true;
}

void Tfm_Quillon3::FormDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    // The update check goes first: an answer must not reach a window that is
    // being taken apart. A request in flight is stopped, not waited for.
    update_check_start_.disconnect();
    updater_.reset();
    Tfm_BaseForm::FormDestroy();
    try {
        if (container_list_)
            container_list_->Clear();  // last to first
        container_list_.reset();
        StoreSearchWords();
    } catch (...) {
        ReportError("Tfm_Quillon3.FormDestroy", ErrorText(std::current_exception()));
    }
}

void Tfm_Quillon3::SetNavForm(Tfm_NavForm* nav_form) {
    nav_form_ = nav_form;
    if (nav_form_ == nullptr)
        return;
    nav_form_->set_transient_for(*this);
    nav_form_->SetOnClosed([this] {
        if (nav_bar_item_ != nullptr && nav_bar_item_->get_active()) {
            menu_syncing_ = true;
            nav_bar_item_->set_active(false);
            menu_syncing_ = false;
        }
    });
}

bool Tfm_Quillon3::FullTextSearchRunning() const {
    return side_bar_.Search().Searching();
}

bool Tfm_Quillon3::SideBarShown() const {
    return side_bar_.get_visible();
}

server::Tdm_htServer* Tfm_Quillon3::Server() {
    return modules_.server_module ? &modules_.server_module->Server() : nullptr;
}

}  // namespace q3::reader
