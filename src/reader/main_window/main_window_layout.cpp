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

}  // namespace

void Tfm_Quillon3::BuildLayout() {
    set_default_size(kMainWidth, kMainHeight);
    layout_.set_orientation(Gtk::ORIENTATION_VERTICAL);
    add(layout_);

    menu_row_.set_name("menu_row");
    menu_row_.get_style_context()->add_class("q3-panel");
    menu_row_.set_size_request(-1, kMenuBarHeight);
    main_menu_.set_name("main_menu");
    menu_row_.pack_start(main_menu_, Gtk::PACK_EXPAND_WIDGET);

    // The strip at the top right: the project's logo and the hidden ad panel,
    // whose browser is made when the service sends an advertisement. The
    // logo's hint and link are the configured address, set at creation.
    ad_strip_.set_name("ad_strip");
    ad_strip_.get_style_context()->add_class("q3-panel");
    ad_strip_.set_size_request(kAdStripWidth, kAdStripHeight);
    ad_panel_.set_name("ad_panel");
    ad_panel_.set_no_show_all(true);
    logo_image_.set(LogoPicture(kLogoWidth, kAdStripHeight));
    logo_image_.set_name("logo_image");
    logo_box_.set_name("logo_box");
    logo_box_.add(logo_image_);
    logo_box_.set_can_focus(true);
    logo_box_.get_accessible()->set_name("Quillon3");
    logo_box_.signal_realize().connect([this] {
        logo_box_.get_window()->set_cursor(Gdk::Cursor::create(get_display(), Gdk::HAND2));
    });
    ad_strip_.pack_end(logo_box_, Gtk::PACK_SHRINK);
    ad_strip_.pack_start(ad_panel_, Gtk::PACK_EXPAND_WIDGET);
    menu_row_.pack_end(ad_strip_, Gtk::PACK_SHRINK);
    layout_.pack_start(menu_row_, Gtk::PACK_SHRINK);

    BuildToolBars();

    side_bar_splitter_.set_name("side_bar_splitter");
    side_bar_splitter_.pack1(side_bar_, false, false);
    side_bar_splitter_.pack2(page_tabs_, true, false);
    side_bar_splitter_.set_position(kSideBarWidth);
    layout_.pack_start(side_bar_splitter_, Gtk::PACK_EXPAND_WIDGET);
    layout_.pack_start(status_bar_, Gtk::PACK_SHRINK);

    hidden_memo_.set_name("hidden_memo");
    hidden_memo_.get_accessible()->set_name(_("备忘"));
    hidden_memo_.set_no_show_all(true);
    layout_.pack_start(hidden_memo_, Gtk::PACK_SHRINK);
}

void Tfm_Quillon3::BuildToolBars() {
    tool_row_.set_name("tool_row");
    tool_row_.get_style_context()->add_class("q3-panel");
    tool_bar_.set_name("tool_bar");
    tool_bar_.set_toolbar_style(Gtk::TOOLBAR_BOTH);
    tool_bar_.set_icon_size(Gtk::ICON_SIZE_SMALL_TOOLBAR);
    tool_bar_.set_show_arrow(false);
    tool_bar_.set_size_request(-1, kToolBarHeight);
    back_button_ = act_GoBack.MakeToolButton("go-previous");
    forward_button_ = act_GoTo.MakeToolButton("go-next");
    refresh_button_ = act_Refresh.MakeToolButton("view-refresh");
    stop_button_ = act_Stop.MakeToolButton("process-stop");
    home_button_ = act_GoHome.MakeToolButton("go-home", _(" 主页 "));
    back_button_->set_name("back_button");
    forward_button_->set_name("forward_button");
    refresh_button_->set_name("refresh_button");
    stop_button_->set_name("stop_button");
    home_button_->set_name("home_button");
    tool_bar_.append(*back_button_);
    tool_bar_.append(*forward_button_);
    tool_bar_.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
    tool_bar_.append(*refresh_button_);
    tool_bar_.append(*stop_button_);
    tool_bar_.append(*home_button_);
    tool_bar_.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
    for (Gtk::ToolButton* b :
         {back_button_, forward_button_, refresh_button_, stop_button_, home_button_}) {
        b->set_size_request(kToolButtonWidth, kToolButtonHeight);
        b->set_homogeneous(false);
    }
    tool_row_.pack_start(tool_bar_, Gtk::PACK_SHRINK);
    // The address panel takes the rest of the row, right-anchored.
    address_panel_.set_valign(Gtk::ALIGN_CENTER);
    address_panel_.set_margin_end(4);
    tool_row_.pack_start(address_panel_, Gtk::PACK_EXPAND_WIDGET);
    layout_.pack_start(tool_row_, Gtk::PACK_SHRINK);
}

}  // namespace q3::reader
