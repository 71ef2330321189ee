// The main window's life: creation in its fixed order, the close question,
// and what is stored when it goes.
#include "reader/main_window.h"

#include <glibmm/fileutils.h>
#include <glibmm/main.h>
#include <glibmm/miscutils.h>
#include <gtkmm/main.h>

#include <chrono>
#include <exception>
#include <filesystem>

#include "browser/browser_commands.h"
#include "browser/wb_container.h"
#include "browser/web_browser.h"
#include "common/app_paths.h"
#include "common/base_settings.h"
#include "common/shell.h"
#include "reader/nav_form.h"
#include "reader/pump.h"
#include "reader/search_words.h"
#include "reader/window_contents_model.h"
#include "scheme/webkit_scheme.h"

namespace q3::reader {

namespace {

const ActionDef& Def(std::string_view name) {
    const ActionDef* def = FindActionDef(name);
    if (def == nullptr)
        std::terminate();  // the table and the window disagree
    return *def;
}

// How long creation waits for a browser's first blank page.
constexpr auto kBlankPageWait = std::chrono::seconds(10);

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
      stat1({50}),
      modules_(modules),
      args_(std::move(args)) {
    // "clear:(qbx)" keeps the web addresses that are not files.
    address_history_ = server::AddressHistory([](const std::string& path) {
        std::error_code ec;
        return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), ec);
    });
    BuildActions();
    BuildLayout();
    BuildMainMenu();
    BuildPopupMenus();
    WireControls();
    contents_model_ = std::make_unique<TWindowContentsModel>(tbs_QbxDir, TabSheet5);
    browser_commands = std::make_unique<browser::BrowserCommands>(*this);
    layout.show_all();
    for (TAction* a : AllActions())
        a->Sync();
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
    // The close box asks first; the window hides itself when the answer is OK.
    signal_delete_event().connect([this](GdkEventAny*) {
        FormCloseQuery();
        return true;
    });

    // 2-13: an error skips the rest of these steps; the window still comes up.
    try {
        CreateSettingsAndServer();
    } catch (...) {
        ReportError("Tfm_Quillon3.FormCreate", ErrorText(std::current_exception()));
    }
    // 14. The home browser is the current browser.
    current_browser_ = wb_home.get();
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
    SetSettingsKey(kQuillonSettingsKey);             // 2
    RegisterDocumentType();                          // 3
    color_scheme_.SetTag(ColorSchemeMenu::kDefault,  // 4
                         browser::SystemColorRef(browser::SystemColor::kButtonFace));
    act_NavTree.Execute();                                       // 5
    ApplyStoredColor();                                          // 6
    AcceptDroppedFiles();                                        // 7
    ContainerList = std::make_unique<browser::ContainerList>();  // 8
    set_title(kAppName);                                         // 9
    SetApplicationTitle(kAppName);
    // 10. The address box's icons: the shared icon list, and the icon of a
    // web page for web addresses.
    AttachAddressIcons();
    LoadSearchWords();   // 11
    modules_.htServer =  // 12
        std::make_unique<TServerModule>(server::scheme::ProcessDynPtl());
    modules_.htServer->Server().SetPumpHook([] { ProcessMessages(); });
    modules_.htServer->Server().SetDocumentLocking(doc::Locking::kExclusive);
    ConnectSelectNode();
    SyncAddressHistory(true);  // 13
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
    WireBrowserEvents(*wb_home);
    // Links of the ad page open in the current tab.
    wb_AdSense->OnNewWindow = [this](browser::WebBrowser&, const std::string& address) {
        if (browser::WebBrowser* current = CurrentBrowser(); current && !address.empty())
            current->Navigate(address);
        return static_cast<browser::WebBrowser*>(nullptr);
    };
    AttachContainer(*wb_home, true);  // 15
    AttachContainer(*wb_AdSense, true);
    tbs_EbookNav.ExpandFirstNode();  // 16
    std::error_code ec;
    const bool has_document =
        !args_.empty() && std::filesystem::is_regular_file(std::filesystem::path(args_[0]), ec);
    pgc_navTree.set_current_page(pgc_navTree.page_num(
        has_document ? static_cast<Gtk::Widget&>(tbs_Books) : tbs_EbookNav));  // 17
    BuildHomePage();                                                           // 18
    tbs_EbookNav.BuildResourceTree();
    if (has_document) {  // 19: only the first argument counts
        ProcessMessages();
        // The history keeps the path; one relative to where the program
        // was started would name nothing later.
        OpenQbx(
            std::filesystem::absolute(std::filesystem::path(args_[0])).lexically_normal().string());
    }
}

void Tfm_Quillon3::AttachContainer(browser::WebBrowser& wb, bool navigate) {
    // The list is made at creation step 8; an error before it must not
    // leave the browsers without their containers.
    if (!ContainerList)
        ContainerList = std::make_unique<browser::ContainerList>();
    browser::TWBContainer& container = ContainerList->Add(wb);
    if (&wb == wb_AdSense.get()) {
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
            c->PopupAt(pm_Webqbx, point);
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
}

void Tfm_Quillon3::SyncColorItems() {
    menu_syncing_ = true;
    for (std::size_t i = 0; i < ColorSchemeMenu::kEntryCount; ++i) {
        if (mni_Colors[i] != nullptr)
            mni_Colors[i]->set_active(color_scheme_.IsChecked(i));
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
    pnl_addr.cbb_Key.remove_all();
    search_words_path_ = SearchWordsFile();
    pnl_addr.SetKeyItems(q3::reader::LoadSearchWords(search_words_path_));
}

void Tfm_Quillon3::StoreSearchWords() {
    if (search_words_path_.empty())
        return;
    q3::reader::StoreSearchWords(search_words_path_, pnl_addr.KeyItems());
}

bool Tfm_Quillon3::FormCloseQuery() {
    if (!AskYesNo(kQuitQuestion, kMbOkCancel | kMbIconQuestion))
        return false;
    SyncAddressHistory(false);
    // The window goes; the application ends once its main window is hidden.
    hide();
    return true;
}

void Tfm_Quillon3::FormDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    Tfm_BaseForm::FormDestroy();
    try {
        if (ContainerList)
            ContainerList->Clear();  // last to first
        ContainerList.reset();
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
        if (mni_NavBar != nullptr && mni_NavBar->get_active()) {
            menu_syncing_ = true;
            mni_NavBar->set_active(false);
            menu_syncing_ = false;
        }
    });
}

bool Tfm_Quillon3::SideBarShown() const {
    return pgc_navTree.get_visible();
}

server::Tdm_htServer* Tfm_Quillon3::Server() {
    return modules_.htServer ? &modules_.htServer->Server() : nullptr;
}

}  // namespace q3::reader
