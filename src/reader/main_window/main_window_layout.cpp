// The main window's controls and where they sit.
#include <atkmm/object.h>
#include <gdkmm/cursor.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/separatortoolitem.h>

#include "browser/web_browser.h"
#include "common/translation.h"
#include "reader/main_window/main_window.h"
#include "reader/maker/logo.h"

namespace q3::reader {

namespace {

constexpr int kMenuBarHeight = 22;
constexpr int kToolBarHeight = 39;
constexpr int kToolButtonWidth = 43;
constexpr int kToolButtonHeight = 35;

void AddPage(Gtk::Notebook& notebook, Gtk::Widget& page, const char* name, const char* caption) {
    page.set_name(name);
    notebook.append_page(page, caption);
}

}  // namespace

void Tfm_Quillon3::BuildLayout() {
    set_default_size(kMainWidth, kMainHeight);
    layout.set_orientation(Gtk::ORIENTATION_VERTICAL);
    add(layout);

    menu_row.set_name("menu_row");
    menu_row.get_style_context()->add_class("q3-panel");
    menu_row.set_size_request(-1, kMenuBarHeight);
    main_menu.set_name("main_menu");
    menu_row.pack_start(main_menu, Gtk::PACK_EXPAND_WIDGET);

    // The strip at the top right: the project's logo and the hidden ad panel,
    // whose browser is made when the service sends an advertisement. The
    // logo's hint and link are the configured address, set at creation.
    ad_strip.set_name("ad_strip");
    ad_strip.get_style_context()->add_class("q3-panel");
    ad_strip.set_size_request(kAdStripWidth, kAdStripHeight);
    ad_panel.set_name("ad_panel");
    ad_panel.set_no_show_all(true);
    logo_image.set(LogoPicture(kLogoWidth, kAdStripHeight));
    logo_image.set_name("logo_image");
    logo_box.set_name("logo_box");
    logo_box.add(logo_image);
    logo_box.set_can_focus(true);
    logo_box.get_accessible()->set_name("Quillon3");
    logo_box.signal_realize().connect([this] {
        logo_box.get_window()->set_cursor(Gdk::Cursor::create(get_display(), Gdk::HAND2));
    });
    ad_strip.pack_end(logo_box, Gtk::PACK_SHRINK);
    ad_strip.pack_start(ad_panel, Gtk::PACK_EXPAND_WIDGET);
    menu_row.pack_end(ad_strip, Gtk::PACK_SHRINK);
    layout.pack_start(menu_row, Gtk::PACK_SHRINK);

    BuildToolBars();
    BuildSideBar();
    BuildPages();

    side_bar_splitter.set_name("side_bar_splitter");
    side_bar_splitter.pack1(side_bar, false, false);
    side_bar_splitter.pack2(page_tabs, true, false);
    side_bar_splitter.set_position(kSideBarWidth);
    layout.pack_start(side_bar_splitter, Gtk::PACK_EXPAND_WIDGET);
    layout.pack_start(status_bar, Gtk::PACK_SHRINK);

    hidden_memo.set_name("hidden_memo");
    hidden_memo.get_accessible()->set_name(_("备忘"));
    hidden_memo.set_no_show_all(true);
    layout.pack_start(hidden_memo, Gtk::PACK_SHRINK);
}

void Tfm_Quillon3::BuildToolBars() {
    tool_row.set_name("tool_row");
    tool_row.get_style_context()->add_class("q3-panel");
    tool_bar.set_name("tool_bar");
    tool_bar.set_toolbar_style(Gtk::TOOLBAR_BOTH);
    tool_bar.set_icon_size(Gtk::ICON_SIZE_SMALL_TOOLBAR);
    tool_bar.set_show_arrow(false);
    tool_bar.set_size_request(-1, kToolBarHeight);
    back_button = act_GoBack.MakeToolButton("go-previous");
    forward_button = act_GoTo.MakeToolButton("go-next");
    refresh_button = act_Refresh.MakeToolButton("view-refresh");
    stop_button = act_Stop.MakeToolButton("process-stop");
    home_button = act_GoHome.MakeToolButton("go-home", _(" 主页 "));
    back_button->set_name("back_button");
    forward_button->set_name("forward_button");
    refresh_button->set_name("refresh_button");
    stop_button->set_name("stop_button");
    home_button->set_name("home_button");
    tool_bar.append(*back_button);
    tool_bar.append(*forward_button);
    tool_bar.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
    tool_bar.append(*refresh_button);
    tool_bar.append(*stop_button);
    tool_bar.append(*home_button);
    tool_bar.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
    for (Gtk::ToolButton* b :
         {back_button, forward_button, refresh_button, stop_button, home_button}) {
        b->set_size_request(kToolButtonWidth, kToolButtonHeight);
        b->set_homogeneous(false);
    }
    tool_row.pack_start(tool_bar, Gtk::PACK_SHRINK);
    // The address panel takes the rest of the row, right-anchored.
    address_panel.set_valign(Gtk::ALIGN_CENTER);
    address_panel.set_margin_end(4);
    tool_row.pack_start(address_panel, Gtk::PACK_EXPAND_WIDGET);
    layout.pack_start(tool_row, Gtk::PACK_SHRINK);
}

void Tfm_Quillon3::BuildSideBar() {
    side_bar.set_name("side_bar");
    side_bar.set_tab_pos(Gtk::POS_LEFT);
    side_bar.set_scrollable(true);
    side_bar.set_size_request(kSideBarWidth, -1);

    document_tabs.set_name("document_tabs");
    AddPage(document_tabs, contents_pane, "contents_page", _("目录"));
    AddPage(document_tabs, index_pane, "index_page", _("索引"));
    AddPage(document_tabs, search_pane, "search_page", _("全文搜索"));
    AddPage(document_tabs, bookmarks_pane, "bookmarks_page", _("书签"));
    books_page.set_orientation(Gtk::ORIENTATION_VERTICAL);
    books_page.pack_start(document_tabs, Gtk::PACK_EXPAND_WIDGET);

    AddPage(side_bar, books_page, "books_page", _(" 我的电子书  "));
    AddPage(side_bar, resource_pane, "resource_page", _(" 强力推荐  "));
}

void Tfm_Quillon3::BuildPages() {
    page_tabs.set_name("page_tabs");
    page_tabs.set_scrollable(true);
    home_tab.set_orientation(Gtk::ORIENTATION_VERTICAL);
    home_browser = std::make_unique<browser::WebBrowser>();
    Gtk::Widget& home_view = home_browser->Widget();
    home_view.set_name("home_view");
    home_tab.pack_start(home_view, Gtk::PACK_EXPAND_WIDGET);
    AddPage(page_tabs, home_tab, "home_tab", _("首页"));
}

}  // namespace q3::reader
