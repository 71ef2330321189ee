// The main window's layout as a user meets it: menus in order, tool bars,
// the address panel, the side bar's tabs and controls, pop-up menus.
#include <gtest/gtest.h>

#include <gtkmm/accellabel.h>
#include <gtkmm/separatormenuitem.h>
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

Gtk::Menu& SubMenuOf(Gtk::MenuShell& shell, std::size_t index) {
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
    EXPECT_EQ(MenuLabels(w.main_menu), (Labels{"文件", "编辑", "视图", "工具", "帮助"}));
    EXPECT_EQ(MenuLabels(SubMenuOf(w.main_menu, 0)),
              (Labels{"打开...", "另存为...", "-", "打印预览", "文件属性", "-", "退出"}));
    EXPECT_EQ(MenuLabels(SubMenuOf(w.main_menu, 1)),
              (Labels{"复制", "全选", "-", "搜索", "查看源"}));
    EXPECT_EQ(MenuLabels(SubMenuOf(w.main_menu, 2)),
              (Labels{"侧边栏", "-", "主页", "刷新", "显示比例", "浏览模式", "-", "前进      ",
                      "后退", "停止", "-", "全屏显示"}));
    EXPECT_EQ(MenuLabels(*w.zoom_item->get_submenu()), (Labels{"还原", "放大", "缩小"}));
    Gtk::MenuItem* modes = ItemNamed(SubMenuOf(w.main_menu, 2), "view_mode_item");
    ASSERT_NE(modes, nullptr);
    EXPECT_EQ(MenuLabels(*modes->get_submenu()), (Labels{"文本模式", "无图片模式"}));
    EXPECT_EQ(MenuLabels(SubMenuOf(w.main_menu, 3)),
              (Labels{"配色方案", "导航条", "-", "评论此文档", "共享此文档(hidden)"}));
    EXPECT_EQ(MenuLabels(SubMenuOf(w.main_menu, 4)), (Labels{"打开帮助", "软件更新", "-", "关于"}));
}

TEST_F(Layout, MenuEntriesFollowTheirActions) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    Gtk::Menu& file = SubMenuOf(w.main_menu, 0);
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

    Gtk::MenuItem* comment = ItemNamed(SubMenuOf(w.main_menu, 3), "act_QBXComment");
    ASSERT_NE(comment, nullptr);
    EXPECT_FALSE(comment->get_sensitive());
    w.act_QBXComment.SetEnabled(true);
    EXPECT_TRUE(comment->get_sensitive());

    auto* side_bar_item =
        dynamic_cast<Gtk::CheckMenuItem*>(ItemNamed(SubMenuOf(w.main_menu, 2), "act_NavTree"));
    ASSERT_NE(side_bar_item, nullptr);
    EXPECT_FALSE(side_bar_item->get_active());  // the start hid the side bar
    side_bar_item->activate();
    EXPECT_TRUE(side_bar_item->get_active());
    EXPECT_TRUE(w.side_bar.get_visible());
}

TEST_F(Layout, PopupMenusInOrder) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    EXPECT_EQ(MenuLabels(w.side_bar_menu), (Labels{"侧边栏"}));
    EXPECT_EQ(MenuLabels(w.contents_menu), (Labels{"全部展开", "全部收缩", "-", "评论此文档",
                                                   "共享此文档(hidden)", "文件属性", "-"}));
    EXPECT_EQ(MenuLabels(w.page_tabs_menu),
              (Labels{"浏览模式", "关闭该页", "关闭脚本提示", "全屏显示", "-", "评论此文档",
                      "共享此文档(hidden)"}));
    EXPECT_EQ(MenuLabels(*w.browse_mode_item->get_submenu()), (Labels{"文本模式", "无图片模式"}));
    EXPECT_TRUE(w.script_prompts_off_item->get_active());
    EXPECT_EQ(
        MenuLabels(w.document_page_menu),
        (Labels{"上一页", "下一页", "侧边栏", "-", "主页", "后退", "前进", "-", "复制", "全选",
                "搜索", "查看源", "-", "评论此文档", "共享此文档(hidden)", "文件属性", "-"}));
}

TEST_F(Layout, ViewModesAreOneRadioGroup) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    w.act_browseMode.Execute();
    EXPECT_TRUE(w.act_browseMode.Checked());
    w.act_NotImageMode.Execute();
    EXPECT_TRUE(w.act_NotImageMode.Checked());
    EXPECT_FALSE(w.act_browseMode.Checked());
    w.act_NotImageMode.Execute();
    EXPECT_FALSE(w.act_NotImageMode.Checked());
}

TEST_F(Layout, ZoomItemsChangeOnePercentForTheWindow) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    std::vector<int> seen;
    for (int i = 0; i < 10; ++i) {
        w.zoom_out_item->activate();
        seen.push_back(w.zoom_percent);
    }
    EXPECT_EQ(seen, (std::vector<int>{90, 80, 70, 60, 50, 40, 30, 20, 10, 10}));
    EXPECT_DOUBLE_EQ(webkit_web_view_get_zoom_level(w.home_browser->View()), 0.1);
    w.zoom_reset_item->activate();
    EXPECT_EQ(w.zoom_percent, 100);
    for (int i = 0; i < 5; ++i)
        w.zoom_in_item->activate();
    EXPECT_EQ(w.zoom_percent, 150);
    EXPECT_DOUBLE_EQ(webkit_web_view_get_zoom_level(w.home_browser->View()), 1.5);
}

TEST_F(Layout, ToolBarsAndAddressPanel) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    Labels buttons;
    for (int i = 0; i < w.tool_bar.get_n_items(); ++i) {
        auto* b = dynamic_cast<Gtk::ToolButton*>(w.tool_bar.get_nth_item(i));
        buttons.push_back(b != nullptr ? std::string(b->get_label()) : "-");
    }
    EXPECT_EQ(buttons, (Labels{"后退", "前进", "-", "刷新", "停止", " 主页 ", "-"}));
    EXPECT_EQ(w.refresh_button->get_tooltip_text(), "刷新当前页面");
    EXPECT_EQ(w.address_panel.address_label.get_text(), "地址 ");
    EXPECT_EQ(w.address_panel.go_button.get_label(), "转到");
    EXPECT_EQ(w.address_panel.go_button.get_tooltip_text(), "转到URL");
    EXPECT_EQ(w.address_panel.search_button.get_label(), "搜索");
    EXPECT_EQ(w.address_panel.search_button.get_tooltip_text(), "搜索页面/全文搜索");
    EXPECT_EQ(MenuLabels(w.address_panel.search_mode_menu),
              (Labels{"页面搜索", "全文搜索", "Goolge搜索", "Bing搜索", "Baidu搜索"}));
    EXPECT_TRUE(w.address_panel.page_search_item->get_active());
    EXPECT_FALSE(w.address_panel.test_button.get_visible());
    EXPECT_FALSE(w.ad_panel.get_visible());
    ASSERT_TRUE(w.logo_image.get_pixbuf());
    EXPECT_EQ(w.logo_image.get_pixbuf()->get_width(), 38);
    EXPECT_EQ(w.logo_image.get_pixbuf()->get_height(), 19);
    EXPECT_EQ(w.status_bar.PanelCount(), 1);
    w.status_bar.SetStatusText("状态", 0);
    // A text for a panel the bar does not have is dropped: it neither lands
    // in the one panel nor makes a second.
    w.status_bar.SetStatusText("past the panels", 1);
    EXPECT_EQ(w.status_bar.PanelText(0), "状态");
    EXPECT_EQ(w.status_bar.PanelCount(), 1);
}

TEST_F(Layout, SideBarTabsHoldTheirControls) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    EXPECT_EQ(w.side_bar.get_n_pages(), 2);
    EXPECT_EQ(w.side_bar.get_nth_page(0), &w.books_page);
    EXPECT_EQ(w.side_bar.get_nth_page(1), &w.resource_pane);
    EXPECT_EQ(w.document_tabs.get_n_pages(), 4);
    // Each list stands in its own tab, in the order of the tabs.
    Gtk::Widget* const lists[] = {&w.contents_pane.contents_tree, &w.index_pane.index_list,
                                  &w.search_pane.search_results, &w.bookmarks_pane.bookmark_list};
    for (int tab = 0; tab < 4; ++tab) {
        EXPECT_TRUE(lists[tab]->is_ancestor(*w.document_tabs.get_nth_page(tab)))
            << lists[tab]->get_name() << " is not in tab " << tab;
    }
    EXPECT_EQ(w.index_pane.index_key_label.get_text(), "输入关键字：    ");
    EXPECT_EQ(w.index_pane.show_index_button.get_label(), "显示");
    EXPECT_EQ(w.search_pane.search_key_label.get_text(), "输入关键字：    ");
    EXPECT_EQ(w.search_pane.full_search_button.get_label(), "搜索");
    EXPECT_EQ(w.search_pane.show_result_button.get_label(), "显示");
    EXPECT_EQ(w.bookmarks_pane.bookmarks_label.get_text(), "书签主题：    ");
    EXPECT_EQ(w.bookmarks_pane.show_bookmark_button.get_label(), "显示");
    EXPECT_EQ(w.bookmarks_pane.delete_bookmark_button.get_label(), "删除");
    EXPECT_EQ(w.bookmarks_pane.subject_label.get_text(), "当前主题：    ");
    EXPECT_EQ(w.bookmarks_pane.add_bookmark_button.get_label(), "添加");
    EXPECT_EQ(w.page_tabs.get_n_pages(), 1);
    EXPECT_EQ(w.page_tabs.get_nth_page(0), &w.home_tab);
}

}  // namespace
}  // namespace q3::reader::testing
