// The main window: menus and tool bars, the address panel, the side bar with
// the document's contents, index, full-text search and bookmarks, the page
// tabs with the home browser, the status bar, and the state kept between runs.
#pragma once

#include <giomm/simpleactiongroup.h>
#include <gtkmm/box.h>
#include <gtkmm/checkmenuitem.h>
#include <gtkmm/eventbox.h>
#include <gtkmm/image.h>
#include <gtkmm/menu.h>
#include <gtkmm/menubar.h>
#include <gtkmm/notebook.h>
#include <gtkmm/paned.h>
#include <gtkmm/radiomenuitem.h>
#include <gtkmm/textview.h>
#include <gtkmm/toolbar.h>
#include <gtkmm/toolbutton.h>
#include <sigc++/connection.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/translation.h"
#include "online/online_settings.h"
#include "reader/forms/base_form.h"
#include "reader/forms/fixed_width_box.h"
#include "reader/main_window/action.h"
#include "reader/main_window/address_panel.h"
#include "reader/main_window/main_window_constants.h"
#include "reader/main_window/server_module.h"
#include "reader/main_window/status_bar.h"
#include "reader/panes/page_tabs.h"
#include "reader/panes/side_bar.h"
#include "reader/rules/color_scheme.h"
#include "server/address_history.h"
#include "server/link_rules.h"

namespace q3::browser {
class BrowserCommands;
class ContainerList;
class WebBrowser;
}  // namespace q3::browser

namespace q3::online {
class TGetUpdater;
}

namespace q3::reader {

class Tfm_NavForm;
class TWindowContentsModel;

class Tfm_Quillon3 : public Tfm_BaseForm {
  public:
    // args: the command line after the program name.
    Tfm_Quillon3(TApplicationModules& modules, std::vector<std::string> args);
    ~Tfm_Quillon3() override;

    // The navigation tool window, created after this window; null until then.
    void SetNavForm(Tfm_NavForm* nav_form);
    Tfm_NavForm* NavForm() const { return nav_form_; }

    // Opening a document, a file or an address: the single entry.
    void OpenQbx(const std::string& path);
    // An existing file is opened; anything else goes to the active tab's browser.
    void GoToAddress(const std::string& text);

    // The browser of the active tab, or null; IsDocumentPage: it shows a
    // page of the open document.
    browser::WebBrowser* CurrentBrowser();
    bool IsDocumentPage();
    server::Tdm_htServer* Server();

    TAction* FindAction(std::string_view name);
    std::vector<TAction*> AllActions();
    // The window's actions as GIO sees them ("win"), for the windows that
    // carry some of them.
    Glib::RefPtr<Gio::ActionGroup> Actions() const { return action_group_; }

    // Shows the first contents page of the open document.
    void ShowFirstPage();
    bool ShowEntry(server::ContentsEntry* entry, const std::string& suffix);
    // Selects the next or previous contents node in display order and shows it.
    void StepEntry(bool forward);
    // The contents tab in front, with the entry's node the tree's choice.
    void ChooseContentsEntry(const server::ContentsEntry& entry);
    // The tree follows the page shown: selects, expands and reveals the node.
    void SelectTreeNode(server::ContentsEntry* entry);
    // Full-text search of the open document for word, as from the search tab:
    // shows the tab, puts word in its edit and clicks its button.
    void StartFullTextSearch(const std::string& word);
    bool FullTextSearchRunning() const;
    // Shows the generated home page in the current browser.
    void BuildHomePage();
    // The open document's properties page, written into the current tab.
    void ShowPropertiesPage();
    // A tab with a new browser for a window a page asks for; opener: the
    // browser of that page (the new view must share its web process).
    browser::WebBrowser* NewBrowserTab(browser::WebBrowser* opener);
    // The tabs opened for new windows.
    size_t PageTabCount() const { return page_tabs_.AddedCount(); }
    void UpdateCaption(const std::string& title);
    // True when a document address names an archive entry, which is then
    // offered for saving instead of being shown.
    bool SaveArchiveEntry(const std::string& address);
    void SetStatusText(const std::string& text, int index) {
        status_bar_.SetStatusText(text, index);
    }

    bool SideBarShown() const;
    int SideBarWidth() const { return side_bar_splitter_.get_position(); }
    void SetSideBarWidth(int width) { side_bar_splitter_.set_position(width); }
    // The colour scheme entries' Tags and check marks.
    const ColorSchemeMenu& ColorScheme() const { return color_scheme_; }
    // The page zoom the menu's steps set, for every tab.
    int ZoomPercent() const { return zoom_percent_; }
    // Find, view source and page properties: what they have opened.
    const browser::BrowserCommands& PageCommands() const { return *browser_commands_; }
    // The ad page's body style after a colour change.
    const std::string& AdBodyStyle() const { return ad_body_style_; }

  protected:
    void FormDestroy() override;

  private:
    // Paths of the files the window writes.
    static std::string AddressHistoryFile();
    static std::string SearchWordsFile();

    // Shared handlers, one per group of actions; the Tag picks the branch.
    void OpenExitExecute(TAction& action);
    void WebExecute(TAction& action);
    void HelpExecute(TAction& action);
    void ViewModeExecute(TAction& action);
    void CloseWebExecute(TAction& action);
    void QbxEditExecute(TAction& action);
    void QbxNavExecute(TAction& action);
    void QbxAttrExecute(TAction& action);
    void ColorSchemeClick(std::size_t entry);
    void NavBarClick();
    Gtk::MenuItem* MakeLanguageMenu();
    void LanguageClick(InterfaceLanguage language);
    void ZoomClick(int tag);

    // Loads or stores the address history of the address box.
    void SyncAddressHistory(bool load);
    // Starts the background update check once the window's pending work is
    // done, so it never delays the first page; its answer arrives on the main
    // loop. Once per run, and only when a service address is configured.
    void StartUpdateCheck();
    // The service's answer (WM_QBX_ONLINEINFO): the ad and the resource feed.
    void OnlineInfoArrived(std::vector<std::string> lines);
    // Writes the ad page into the strip and shows it.
    void ShowAdvertisement(const std::string& ad_html);
    // The ad strip's browser, made and attached on first use.
    browser::WebBrowser& EnsureAdBrowser();
    // The selected resource's link, opened in the current tab.
    void ResourceClick();
    // The logo: the project's web address through the address routine.
    void LogoClick();
    // The online services' addresses, as read at creation.
    const online::OnlineAddresses& ServiceAddresses() const { return online_addresses_; }
    // The contents click: the selected node's page, when a document is open.
    void ContentsClick();
    // Makes a node the tree's choice on purpose (a step, the first page).
    void ChooseContentsNode(server::NodeId node);
    // Adds an address to the address box's history, or selects it there.
    void AddAddressHistory(const std::string& address);
    // Selects the node of the document page a browser shows, however it got
    // there: Back and Forward may show a page without asking the server.
    void FollowPage(browser::WebBrowser& wb);
    void TabChange();
    // The search button: the word in the search box is highlighted in the
    // page, searched in the document or sent to a web search engine, as the
    // checked item of the button's menu says.
    void PageSearchClick();

    // ---- actions of actlst_Main
    TAction act_exit, act_openfile, act_NavTree, act_TvExpand, act_TvCollapsed;
    TAction act_FullScreen, act_GoHome, act_Refresh, act_Stop, act_GoTo, act_GoBack, act_print,
        act_saveas;
    TAction act_Help, atc_about, act_Update, act_browseMode, act_NotImageMode, act_CloseWeb;
    // ---- actions of actlst_webQbx
    TAction act_QBXAttr, act_QBXCopy, act_QBXSelectAll, act_QBXSearch, act_QBXNavHome,
        act_QBXNavPrev, act_QBXNavNext, act_QBXViewSource, act_QBXComment, act_QBXShared;

    // ---- layout_, top to bottom; the comments give the designer's names
    Gtk::Box layout_;
    Gtk::Box menu_row_;                       // tlb1: the first row, the main menu as a flat bar
    Gtk::MenuBar main_menu_;                  // mm1
    TFixedWidthBox ad_strip_;                 // pan_Adsender: the logo and the ad panel, top right
    Gtk::EventBox logo_box_;                  // img2's click area
    Gtk::Image logo_image_;                   // img2
    Gtk::Box ad_panel_;                       // pnl_ad, hidden until the online service shows an ad
    Gtk::Box tool_row_;                       // the tool bar and the address panel
    Gtk::Toolbar tool_bar_;                   // tlb2
    Gtk::ToolButton* back_button_ = nullptr;  // btnGoBack
    Gtk::ToolButton* forward_button_ = nullptr;  // btnGoTo
    Gtk::ToolButton* refresh_button_ = nullptr;  // btnRef
    Gtk::ToolButton* stop_button_ = nullptr;     // btnTvCollapsed
    Gtk::ToolButton* home_button_ = nullptr;     // btnGoHome
    TAddressPanel address_panel_;                // pnl_addr
    Gtk::Paned side_bar_splitter_;               // spl_main: side bar | page tabs
    TSideBar side_bar_{kSideBarWidth};           // pgc_navTree
    TPageTabs page_tabs_;                        // pgc_Main
    TStatusBar status_bar_;                      // stat1
    Gtk::TextView hidden_memo_;                  // mmo1, hidden

    // ---- menus
    Gtk::MenuItem* zoom_item_ = nullptr;        // Nweb_Scle, "显示比例"
    int zoom_percent_ = 100;                    // Nweb_Scle's Tag
    Gtk::MenuItem* zoom_reset_item_ = nullptr;  // N12, "还原"
    Gtk::MenuItem* zoom_in_item_ = nullptr;     // N_WebZoomMax, "放大"
    Gtk::MenuItem* zoom_out_item_ = nullptr;    // N_WebZoomMin, "缩小"
    Gtk::CheckMenuItem* color_scheme_items_[ColorSchemeMenu::kEntryCount] = {};  // "配色方案"
    Gtk::CheckMenuItem* nav_bar_item_ = nullptr;                                 // "导航条"
    Gtk::CheckMenuItem* night_reading_item_ = nullptr;                           // "夜间阅读"
    Gtk::RadioMenuItem* language_items_[2] = {};  // "界面语言": 中文, English
    Gtk::Menu side_bar_menu_;                     // pm_pgc_navTree
    Gtk::Menu contents_menu_;                     // pm_pgcNave, over the contents tree
    Gtk::Menu page_tabs_menu_;                    // pm_Main
    Gtk::MenuItem* browse_mode_item_ = nullptr;   // "浏览模式" of the page tabs' menu
    Gtk::CheckMenuItem* script_prompts_off_item_ = nullptr;  // "关闭脚本提示"
    Gtk::Menu document_page_menu_;  // pm_Webqbx, over a page of the open document

    // ---- browsers
    // wb_AdSense, on ad_panel_: made once there is an advertisement to show.
    std::unique_ptr<browser::WebBrowser> ad_browser_;
    std::unique_ptr<browser::ContainerList> container_list_;  // ContainerList
    // Find, view source and page properties, with the windows they open.
    std::unique_ptr<browser::BrowserCommands> browser_commands_;

    void WireBrowserEvents(browser::WebBrowser& wb);
    void BeforeNavigate(browser::WebBrowser& sender, const std::string& address, bool& cancel);
    void FollowLink(const server::LinkAction& link);
    void FollowLinkSoon(const server::LinkAction& link);
    // The page's report of a click in its main frame, which a special link
    // asked for just before may be waiting for.
    void LinkClicked(browser::WebBrowser& sender, const std::string& address);
    // An address in a scheme the pages cannot show, clicked in sender.
    void OpenOnDesktop(browser::WebBrowser& sender, const std::string& address);
    void ClearHistory(bool web_addresses);
    // An item of the address box with its icon; the history keeps the text.
    void AddAddressItem(const std::string& text);
    void TitleChange(browser::WebBrowser& sender, const std::string& title);
    void DocumentComplete(browser::WebBrowser& sender, const std::string& address);
    void SaveArchiveRecord(int32_t record, const std::string& file_name);
    void WireSidePanes();
    void WireAddressBox();
    void WireOnlineControls();
    void RunUpdater();
    // A link from the service, in the current tab: web addresses only.
    void OpenServiceLink(const std::string& link);
    void WirePageTabs();
    // The window's own key rules, before any control sees the key: a value
    // when they decided (true: the key is used up, false: the focused
    // control gets it and no shortcut runs).
    std::optional<bool> RouteKey(const GdkEventKey* event);
    // F6 and Ctrl+Page Up/Down: moving the keys between the window's areas
    // and along the tabs of the area that has them.
    std::optional<bool> RouteFocusKey(const GdkEventKey* event);
    enum class FocusArea { kSideBar, kPage, kAddress };
    FocusArea FocusedArea();
    // False when the area is hidden or has nothing to take the keys.
    bool FocusOn(FocusArea area);
    void CycleFocus(bool forward);
    void StepPageTab(bool forward);
    // The menu key's menus, and the frame of the page holding the keys.
    void WireKeyboard();
    void DrawPageFocus(const Cairo::RefPtr<Cairo::Context>& cr);
    // A key the page did not use, given back by the page engine.
    bool HandedBack(const GdkEventKey* event);
    // The wheel over a page: the page under the pointer takes the focus, and
    // with Ctrl held the wheel zooms.
    bool PageScrolled(browser::WebBrowser& wb, const GdkEventScroll* event);
    // A refresh of a page the reader wrote itself writes it again.
    bool RewriteOwnPage(browser::WebBrowser& wb);
    // A page of the reader's own into a browser, as a page of the
    // browser's history.
    void WriteOwnPage(browser::WebBrowser& wb, const std::string& html);
    void ShowRecordForTest();
    // The picture under the page menu on document pages, else the selection.
    void CopyFromPage(browser::WebBrowser& wb);
    void ConnectSelectNode();
    void BuildLayout();
    void BuildToolBars();
    void BuildActions();
    // Puts the window in the running application and gives the application
    // the actions' shortcuts; without an application there are none.
    void InstallAccelerators();
    void BuildMainMenu();
    void BuildPopupMenus();
    // A "浏览模式" item whose sub-menu holds the two view modes.
    Gtk::MenuItem* ViewModeItem(const char* name);
    void WireControls();
    void FormCreate();
    void CreateSettingsAndServer();
    void DeferDocumentTypeRegistration();
    void RegisterDocumentTypeSoon();
    void RegisterDocumentType();
    void CreateBrowsersAndStart();
    void AttachContainer(browser::WebBrowser& browser, bool navigate);
    void ApplyStoredColor();
    void SyncColorItems();
    void LoadSearchWords();
    void StoreSearchWords();
    bool FormCloseQuery();
    bool OnKeyPreview(GdkEventKey* event);
    void AcceptDroppedFiles();
    void AttachAddressIcons();
    void AskPassword(std::string& password);
    void LoadDocument(const std::string& path, bool is_qbx);
    // The book read ahead at start, when path is that book (once).
    std::optional<TBookAhead::Prepared> TakeBookAhead(const std::string& path);
    void LoadBookmarks();
    void NavigateCurrent(const std::string& address);
    void RestyleAdPanel();
    void ToggleFullScreen(browser::WebBrowser& wb);

    TApplicationModules& modules_;
    std::vector<std::string> args_;
    Tfm_NavForm* nav_form_ = nullptr;
    ColorSchemeMenu color_scheme_;
    bool menu_syncing_ = false;
    Glib::RefPtr<Gio::SimpleActionGroup> action_group_;
    int web_icon_index_ = 0;
    std::string search_words_path_;
    std::unique_ptr<TWindowContentsModel> contents_model_;
    // The file type registration waiting for the first page.
    sigc::connection register_type_;
    // The page shown is of the document opened before the current one: its
    // address names a page of the new document only by chance.
    bool page_from_older_document_ = false;
    // Counts the nodes chosen in the tree on purpose, so that a served
    // page's notice that was overtaken by a newer choice moves nothing.
    uint64_t selection_epoch_ = 0;
    // A special link the engine asked about before the page reported the
    // click on it; it is followed only when that report comes.
    struct PendingLink {
        const browser::WebBrowser* browser;
        std::string address;
        server::LinkAction link;
        gint64 asked_at;
    };
    std::optional<PendingLink> pending_link_;
    bool destroyed_ = false, side_bar_before_full_screen_ = false;
    std::unique_ptr<class TReadingResume> resume_;  // where each book was left
    std::string ad_body_style_;
    // The address history the address box shows, in the same order.
    server::AddressHistory address_history_;
    // Where the page menu of a document page was last opened (screen).
    int menu_x_ = -1, menu_y_ = -1;
    online::OnlineAddresses online_addresses_;
    sigc::connection update_check_start_;
    // Last, so it goes first: its answer handler uses the window.
    std::unique_ptr<online::TGetUpdater> updater_;
    // F5 held down: its repeats refresh nothing.
    bool f5_down_ = false;
    guint32 f5_time_ = 0;  // of its last press
    // The last keys the rules saw, to tell the page engine's hand-backs.
    struct KeyStamp {
        guint32 time;
        guint keyval;
        int type;
    };
    std::vector<KeyStamp> routed_keys_;
    // Smooth wheel turns with Ctrl that have not yet made a zoom step.
    double zoom_scroll_ = 0;
};

}  // namespace q3::reader
