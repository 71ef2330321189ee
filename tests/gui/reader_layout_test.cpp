// The main window's layout as a user meets it: menus in order, tool bars,
// the address panel, the side bar's tabs and controls, pop-up menus.
#include <gtest/gtest.h>

#include <gtkmm/accellabel.h>
#include <gtkmm/image.h>
#include <gtkmm/menubar.h>
#include <gtkmm/menutoolbutton.h>
#include <gtkmm/radiomenuitem.h>
#include <gtkmm/separatormenuitem.h>
#include <gtkmm/toolbar.h>
#include <gtkmm/toolbutton.h>

#include "browser/web_browser.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

using Layout = ReaderTest;
using Labels = std::vector<std::string>;

// Each entry's text, "-" for a separator; a hidden entry is marked "(hidden)".
Labels MenuLabels(Gtk::MenuShell& menu) {
    Labels out;
    for (Gtk::Widget* child : menu.get_children()) {
        std::string text;
        if (dynamic_cast<Gtk::SeparatorMenuItem*>(child) != nullptr) {
            text = "-";
        } else if (auto* item = dynamic_cast<Gtk::MenuItem*>(child)) {
            text = item->get_label();
        }
        if (!child->get_visible())
            text += "(hidden)";
        out.push_back(text);
    }
    return out;
}

Gtk::Menu& SubMenuOf(Gtk::Widget& menu_bar, std::size_t index) {
    auto& shell = dynamic_cast<Gtk::MenuShell&>(menu_bar);
    auto* item = dynamic_cast<Gtk::MenuItem*>(shell.get_children().at(index));
    return *item->get_submenu();
}

Gtk::MenuItem* ItemNamed(Gtk::MenuShell& menu, const std::string& name) {
    for (Gtk::Widget* child : menu.get_children()) {
        if (child->get_name() == name)
            return dynamic_cast<Gtk::MenuItem*>(child);
    }
    return nullptr;
}

TEST_F(Layout, MainMenuEntriesInOrder) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    auto& main_menu = Named<Gtk::MenuBar>(w, "main_menu");
    EXPECT_EQ(MenuLabels(main_menu), (Labels{"文件", "编辑", "视图", "工具", "帮助"}));
    EXPECT_EQ(MenuLabels(SubMenuOf(main_menu, 0)),
              (Labels{"打开...", "另存为...", "-", "打印预览", "文件属性", "-", "退出"}));
    EXPECT_EQ(MenuLabels(SubMenuOf(main_menu, 1)), (Labels{"复制", "全选", "-", "搜索", "查看源"}));
    EXPECT_EQ(MenuLabels(SubMenuOf(main_menu, 2)),
              (Labels{"侧边栏", "-", "主页", "刷新", "显示比例", "浏览模式", "-", "前进      ",
                      "后退", "停止", "-", "全屏显示"}));
    EXPECT_EQ(MenuLabels(SubMenu(w, "zoom_item")), (Labels{"还原", "放大", "缩小"}));
    Gtk::MenuItem* modes = ItemNamed(SubMenuOf(main_menu, 2), "view_mode_item");
    ASSERT_NE(modes, nullptr);
    EXPECT_EQ(MenuLabels(*modes->get_submenu()), (Labels{"文本模式", "无图片模式"}));
    EXPECT_EQ(MenuLabels(SubMenuOf(main_menu, 3)),
              (Labels{"配色方案", "导航条", "界面语言", "-", "评论此文档", "共享此文档(hidden)"}));
    EXPECT_EQ(MenuLabels(SubMenuOf(main_menu, 4)), (Labels{"打开帮助", "软件更新", "-", "关于"}));
}

TEST_F(Layout, MenuEntriesFollowTheirActions) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    auto& main_menu = Named<Gtk::MenuBar>(w, "main_menu");
    Gtk::Menu& file = SubMenuOf(main_menu, 0);
    Gtk::MenuItem* open = ItemNamed(file, "act_openfile");
    ASSERT_NE(open, nullptr);
    auto* accel = dynamic_cast<Gtk::AccelLabel*>(open->get_child());
    ASSERT_NE(accel, nullptr);
    guint key = 0;
    Gdk::ModifierType mods;
    accel->get_accel(key, mods);
    EXPECT_EQ(key, static_cast<guint>(GDK_KEY_o));
    EXPECT_EQ(mods & Gdk::CONTROL_MASK, Gdk::CONTROL_MASK);
    EXPECT_EQ(open->get_tooltip_text(), "打开文件");

    Gtk::MenuItem* comment = ItemNamed(SubMenuOf(main_menu, 3), "act_QBXComment");
    ASSERT_NE(comment, nullptr);
    EXPECT_FALSE(comment->get_sensitive());
    SetActionEnabled(w, "act_QBXComment", true);
    EXPECT_TRUE(comment->get_sensitive());

    auto* side_bar_item =
        dynamic_cast<Gtk::CheckMenuItem*>(ItemNamed(SubMenuOf(main_menu, 2), "act_NavTree"));
    ASSERT_NE(side_bar_item, nullptr);
    EXPECT_FALSE(side_bar_item->get_active());  // the start hid the side bar
    side_bar_item->activate();
    EXPECT_TRUE(side_bar_item->get_active());
    EXPECT_TRUE(Named<Gtk::Notebook>(w, "side_bar").get_visible());
}

TEST_F(Layout, PopupMenusInOrder) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    EXPECT_EQ(MenuLabels(PopupMenu(w, "side_bar_menu")), (Labels{"侧边栏"}));
    EXPECT_EQ(
        MenuLabels(PopupMenu(w, "contents_menu")),
        (Labels{"全部展开", "全部收缩", "-", "评论此文档", "共享此文档(hidden)", "文件属性", "-"}));
    EXPECT_EQ(MenuLabels(PopupMenu(w, "page_tabs_menu")),
              (Labels{"浏览模式", "关闭该页", "关闭脚本提示", "全屏显示", "-", "评论此文档",
                      "共享此文档(hidden)"}));
    EXPECT_EQ(MenuLabels(SubMenu(PopupMenu(w, "page_tabs_menu"), "browse_mode_item")),
              (Labels{"文本模式", "无图片模式"}));
    EXPECT_TRUE(Named<Gtk::CheckMenuItem>(w, "script_prompts_off_item").get_active());
    EXPECT_EQ(
        MenuLabels(PopupMenu(w, "document_page_menu")),
        (Labels{"上一页", "下一页", "侧边栏", "-", "主页", "后退", "前进", "-", "复制", "全选",
                "搜索", "查看源", "-", "评论此文档", "共享此文档(hidden)", "文件属性", "-"}));
}

TEST_F(Layout, ViewModesAreOneRadioGroup) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    Activate(w, "act_browseMode");
    EXPECT_TRUE(ActionChecked(w, "act_browseMode"));
    Activate(w, "act_NotImageMode");
    EXPECT_TRUE(ActionChecked(w, "act_NotImageMode"));
    EXPECT_FALSE(ActionChecked(w, "act_browseMode"));
    Activate(w, "act_NotImageMode");
    EXPECT_FALSE(ActionChecked(w, "act_NotImageMode"));
}

TEST_F(Layout, ZoomItemsChangeOnePercentForTheWindow) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    auto& zoom_out = Named<Gtk::MenuItem>(w, "zoom_out_item");
    std::vector<int> seen;
    for (int i = 0; i < 10; ++i) {
        zoom_out.activate();
        seen.push_back(w.ZoomPercent());
    }
    EXPECT_EQ(seen, (std::vector<int>{90, 80, 70, 60, 50, 40, 30, 20, 10, 10}));
    EXPECT_DOUBLE_EQ(webkit_web_view_get_zoom_level(HomeBrowser(w).View()), 0.1);
    Named<Gtk::MenuItem>(w, "zoom_reset_item").activate();
    EXPECT_EQ(w.ZoomPercent(), 100);
    for (int i = 0; i < 5; ++i)
        Named<Gtk::MenuItem>(w, "zoom_in_item").activate();
    EXPECT_EQ(w.ZoomPercent(), 150);
    EXPECT_DOUBLE_EQ(webkit_web_view_get_zoom_level(HomeBrowser(w).View()), 1.5);
}

TEST_F(Layout, ToolBarsAndAddressPanel) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    auto& tool_bar = Named<Gtk::Toolbar>(w, "tool_bar");
    Labels buttons;
    for (int i = 0; i < tool_bar.get_n_items(); ++i) {
        auto* b = dynamic_cast<Gtk::ToolButton*>(tool_bar.get_nth_item(i));
        buttons.push_back(b != nullptr ? std::string(b->get_label()) : "-");
    }
    EXPECT_EQ(buttons, (Labels{"后退", "前进", "-", "刷新", "停止", " 主页 ", "-"}));
    EXPECT_EQ(Named<Gtk::ToolButton>(w, "refresh_button").get_tooltip_text(), "刷新当前页面");
    EXPECT_EQ(Named<Gtk::Label>(w, "address_label").get_text(), "地址 ");
    auto& go_button = Named<Gtk::Button>(w, "go_button");
    EXPECT_EQ(go_button.get_label(), "转到");
    EXPECT_EQ(go_button.get_tooltip_text(), "转到URL");
    auto& search_button = Named<Gtk::MenuToolButton>(w, "search_button");
    EXPECT_EQ(search_button.get_label(), "搜索");
    EXPECT_EQ(static_cast<Gtk::Widget&>(search_button).get_tooltip_text(), "搜索页面/全文搜索");
    EXPECT_EQ(MenuLabels(PopupMenu(w, "search_mode_menu")),
              (Labels{"页面搜索", "全文搜索", "Goolge搜索", "Bing搜索", "Baidu搜索"}));
    EXPECT_TRUE(Named<Gtk::RadioMenuItem>(w, "page_search_item").get_active());
    EXPECT_FALSE(Named<Gtk::Button>(w, "test_button").get_visible());
    EXPECT_FALSE(Named<Gtk::Box>(w, "ad_panel").get_visible());
    auto& logo = Named<Gtk::Image>(w, "logo_image");
    ASSERT_TRUE(logo.get_pixbuf());
    EXPECT_EQ(logo.get_pixbuf()->get_width(), 38);
    EXPECT_EQ(logo.get_pixbuf()->get_height(), 19);
    EXPECT_EQ(StatusPanelTexts(w).size(), 1u);
    w.SetStatusText("状态", 0);
    // A text for a panel the bar does not have is dropped: it neither lands
    // in the one panel nor makes a second.
    w.SetStatusText("past the panels", 1);
    EXPECT_EQ(StatusPanelTexts(w), (Labels{"状态"}));
}

TEST_F(Layout, SideBarTabsHoldTheirControls) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    auto& side_bar = Named<Gtk::Notebook>(w, "side_bar");
    EXPECT_EQ(side_bar.get_n_pages(), 2);
    EXPECT_EQ(side_bar.get_nth_page(0)->get_name(), "books_page");
    EXPECT_EQ(side_bar.get_nth_page(1)->get_name(), "resource_page");
    auto& document_tabs = Named<Gtk::Notebook>(w, "document_tabs");
    EXPECT_EQ(document_tabs.get_n_pages(), 4);
    // Each list stands in its own tab, in the order of the tabs.
    const char* const lists[] = {"contents_tree", "index_list", "search_results", "bookmark_list"};
    for (int tab = 0; tab < 4; ++tab) {
        EXPECT_NE(FindNamed(*document_tabs.get_nth_page(tab), lists[tab]), nullptr)
            << lists[tab] << " is not in tab " << tab;
    }
    EXPECT_EQ(Named<Gtk::Label>(w, "index_key_label").get_text(), "输入关键字：    ");
    EXPECT_EQ(Named<Gtk::Button>(w, "show_index_button").get_label(), "显示");
    EXPECT_EQ(Named<Gtk::Label>(w, "search_key_label").get_text(), "输入关键字：    ");
    EXPECT_EQ(Named<Gtk::Button>(w, "full_search_button").get_label(), "搜索");
    EXPECT_EQ(Named<Gtk::Button>(w, "show_result_button").get_label(), "显示");
    EXPECT_EQ(Named<Gtk::Label>(w, "bookmarks_label").get_text(), "书签主题：    ");
    EXPECT_EQ(Named<Gtk::Button>(w, "show_bookmark_button").get_label(), "显示");
    EXPECT_EQ(Named<Gtk::Button>(w, "delete_bookmark_button").get_label(), "删除");
    EXPECT_EQ(Named<Gtk::Label>(w, "subject_label").get_text(), "当前主题：    ");
    EXPECT_EQ(Named<Gtk::Button>(w, "add_bookmark_button").get_label(), "添加");
    auto& page_tabs = Named<Gtk::Notebook>(w, "page_tabs");
    EXPECT_EQ(page_tabs.get_n_pages(), 1);
    EXPECT_EQ(page_tabs.get_nth_page(0)->get_name(), "home_tab");
}

}  // namespace
}  // namespace q3::reader::testing
