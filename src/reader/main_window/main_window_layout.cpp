// The main window's controls and where they sit.
#include <gdkmm/cursor.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/separatortoolitem.h>

#include "browser/web_browser.h"
#include "reader/main_window/main_window.h"
#include "reader/maker/addresses.h"
#include "reader/maker/logo.h"

namespace q3::reader {

namespace {

constexpr int kMenuBarHeight = 22;
constexpr int kToolBarHeight = 39;
constexpr int kToolButtonWidth = 43;
constexpr int kToolButtonHeight = 35;
constexpr int kAdStripWidth = 214;
constexpr int kAdStripHeight = 19;
constexpr int kLogoWidth = 38;

void AddPage(Gtk::Notebook& notebook, Gtk::Widget& page, const char* name, const char* caption) {
    page.set_name(name);
    notebook.append_page(page, caption);
}

}  // namespace

void Tfm_Quillon3::BuildLayout() {
    set_default_size(kMainWidth, kMainHeight);
    layout.set_orientation(Gtk::ORIENTATION_VERTICAL);
    add(layout);

    tlb1.set_name("tlb1");
    tlb1.get_style_context()->add_class("q3-panel");
    tlb1.set_size_request(-1, kMenuBarHeight);
    mm1.set_name("mm1");
    tlb1.pack_start(mm1, Gtk::PACK_EXPAND_WIDGET);

    // The strip at the top right: the maker's logo and the hidden ad panel.
    pan_Adsender.set_name("pan_Adsender");
    pan_Adsender.get_style_context()->add_class("q3-panel");
    pan_Adsender.set_size_request(kAdStripWidth, kAdStripHeight);
    pnl_ad.set_name("pnl_ad");
    pnl_ad.set_no_show_all(true);
    img2.set(LogoPicture(kLogoWidth, kAdStripHeight));
    img2Box.set_name("img2");
    img2Box.add(img2);
    img2Box.set_tooltip_text(kMakerHomePage);
    img2Box.signal_realize().connect([this] {
        img2Box.get_window()->set_cursor(Gdk::Cursor::create(get_display(), Gdk::HAND2));
    });
    pan_Adsender.pack_end(img2Box, Gtk::PACK_SHRINK);
    pan_Adsender.pack_start(pnl_ad, Gtk::PACK_EXPAND_WIDGET);
    tlb1.pack_end(pan_Adsender, Gtk::PACK_SHRINK);
    layout.pack_start(tlb1, Gtk::PACK_SHRINK);

    BuildToolBars();
    BuildSideBar();
    BuildPages();

    spl_main.set_name("spl_main");
    spl_main.pack1(pgc_navTree, false, false);
    spl_main.pack2(pgc_Main, true, false);
    spl_main.set_position(kSideBarWidth);
    layout.pack_start(spl_main, Gtk::PACK_EXPAND_WIDGET);
    layout.pack_start(stat1, Gtk::PACK_SHRINK);

    mmo1.set_name("mmo1");
    mmo1.set_no_show_all(true);
    layout.pack_start(mmo1, Gtk::PACK_SHRINK);
}

void Tfm_Quillon3::BuildToolBars() {
    tool_row.set_name("tool_row");
    tool_row.get_style_context()->add_class("q3-panel");
    tlb2.set_name("tlb2");
    tlb2.set_toolbar_style(Gtk::TOOLBAR_BOTH);
    tlb2.set_icon_size(Gtk::ICON_SIZE_SMALL_TOOLBAR);
    tlb2.set_show_arrow(false);
    tlb2.set_size_request(-1, kToolBarHeight);
    btnGoBack = act_GoBack.MakeToolButton("go-previous");
    btnGoTo = act_GoTo.MakeToolButton("go-next");
    btnRef = act_Refresh.MakeToolButton("view-refresh");
    btnTvCollapsed = act_Stop.MakeToolButton("process-stop");
    btnGoHome = act_GoHome.MakeToolButton("go-home", " 主页 ");
    btnGoBack->set_name("btnGoBack");
    btnGoTo->set_name("btnGoTo");
    btnRef->set_name("btnRef");
    btnTvCollapsed->set_name("btnTvCollapsed");
    btnGoHome->set_name("btnGoHome");
    tlb2.append(*btnGoBack);
    tlb2.append(*btnGoTo);
    tlb2.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
    tlb2.append(*btnRef);
    tlb2.append(*btnTvCollapsed);
    tlb2.append(*btnGoHome);
    tlb2.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
    for (Gtk::ToolButton* b : {btnGoBack, btnGoTo, btnRef, btnTvCollapsed, btnGoHome}) {
        b->set_size_request(kToolButtonWidth, kToolButtonHeight);
        b->set_homogeneous(false);
    }
    tool_row.pack_start(tlb2, Gtk::PACK_SHRINK);
    // The address panel takes the rest of the row, right-anchored.
    pnl_addr.set_valign(Gtk::ALIGN_CENTER);
    pnl_addr.set_margin_end(4);
    tool_row.pack_start(pnl_addr, Gtk::PACK_EXPAND_WIDGET);
    layout.pack_start(tool_row, Gtk::PACK_SHRINK);
}

void Tfm_Quillon3::BuildSideBar() {
    pgc_navTree.set_name("pgc_navTree");
    pgc_navTree.set_tab_pos(Gtk::POS_LEFT);
    pgc_navTree.set_scrollable(true);
    pgc_navTree.set_size_request(kSideBarWidth, -1);

    pgc_Nave.set_name("pgc_Nave");
    AddPage(pgc_Nave, tbs_QbxDir, "tbs_QbxDir", "目录");
    AddPage(pgc_Nave, TabSheet5, "TabSheet5", "索引");
    AddPage(pgc_Nave, ts_FullSearch, "ts_FullSearch", "全文搜索");
    AddPage(pgc_Nave, TabSheet7, "TabSheet7", "书签");
    tbs_Books.set_orientation(Gtk::ORIENTATION_VERTICAL);
    tbs_Books.pack_start(pgc_Nave, Gtk::PACK_EXPAND_WIDGET);

    AddPage(pgc_navTree, tbs_Books, "tbs_Books", " 我的电子书  ");
    AddPage(pgc_navTree, tbs_EbookNav, "tbs_EbookNav", " 强力推荐  ");
}

void Tfm_Quillon3::BuildPages() {
    pgc_Main.set_name("pgc_Main");
    pgc_Main.set_scrollable(true);
    tbs_htmlHome.set_orientation(Gtk::ORIENTATION_VERTICAL);
    wb_home = std::make_unique<browser::WebBrowser>();
    wb_AdSense = std::make_unique<browser::WebBrowser>();
    Gtk::Widget& home_view = wb_home->Widget();
    home_view.set_name("wb_home");
    tbs_htmlHome.pack_start(home_view, Gtk::PACK_EXPAND_WIDGET);
    AddPage(pgc_Main, tbs_htmlHome, "tbs_htmlHome", "首页");
    Gtk::Widget& ad_view = wb_AdSense->Widget();
    ad_view.set_name("wb_AdSense");
    ad_view.set_size_request(kAdStripWidth - kLogoWidth, kAdStripHeight);
    pnl_ad.pack_start(ad_view, Gtk::PACK_EXPAND_WIDGET);
    ad_view.show();
}

}  // namespace q3::reader
