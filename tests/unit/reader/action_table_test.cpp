#include "reader/rules/action_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace q3::reader {
namespace {

struct Expect {
    const char* name;
    int tag;
    const char* category;
    const char* caption;
    const char* hint;
    const char* shortcut;
    ActionHandler handler;
};

// The rows as the window's action lists carry them.
const Expect kMain[] = {
    {"act_exit", 1, "文件", "退出", "关闭并退出Quillon3", "", ActionHandler::kOpenExit},
    {"act_openfile", 2, "文件", "打开...", "打开文件", "<Control>o", ActionHandler::kOpenExit},
    {"act_NavTree", 3, "视图", "侧边栏", "显示/隐藏侧边栏", "F12", ActionHandler::kOpenExit},
    {"act_TvExpand", 4, "视图", "全部展开", "", "", ActionHandler::kOpenExit},
    {"act_TvCollapsed", 5, "视图", "全部收缩", "", "", ActionHandler::kOpenExit},
    {"act_FullScreen", 7, "Web", "全屏显示", "全屏显示切换", "F11", ActionHandler::kWeb},
    {"act_GoHome", 1, "Web", "主页", "转到主页", "", ActionHandler::kWeb},
    {"act_Refresh", 2, "Web", "刷新", "刷新当前页面", "", ActionHandler::kWeb},
    {"act_Stop", 3, "Web", "停止", "停止下载页", "", ActionHandler::kWeb},
    {"act_GoTo", 4, "Web", "前进", "前进", "", ActionHandler::kWeb},
    {"act_GoBack", 5, "Web", "后退", "后退", "", ActionHandler::kWeb},
    {"act_print", 6, "Web", "打印预览", "打印", "", ActionHandler::kWeb},
    {"act_saveas", 8, "Web", "另存为...", "另存为当前页面", "<Control>s", ActionHandler::kWeb},
    {"act_Help", 1, "帮助", "打开帮助", "", "", ActionHandler::kHelp},
    {"atc_about", 2, "帮助", "关于", "", "", ActionHandler::kHelp},
    {"act_Update", 3, "帮助", "软件更新", "", "", ActionHandler::kHelp},
    {"act_browseMode", 1, "Web", "文本模式", "", "", ActionHandler::kViewMode},
    {"act_NotImageMode", 2, "Web", "无图片模式", "", "", ActionHandler::kViewMode},
    {"act_CloseWeb", 0, "Web", "关闭该页", "双击也可以关闭该页", "<Control>w",
     ActionHandler::kCloseWeb},
};

const Expect kWebQbx[] = {
    {"act_QBXAttr", 0, "", "文件属性", "显示文件属性", "", ActionHandler::kProperties},
    {"act_QBXCopy", 1, "", "复制", "", "", ActionHandler::kQbxEdit},
    {"act_QBXSelectAll", 2, "", "全选", "", "<Control>a", ActionHandler::kQbxEdit},
    {"act_QBXSearch", 3, "", "搜索", "", "<Control>f", ActionHandler::kQbxEdit},
    {"act_QBXNavHome", 1, "", "主页", "转到主页", "<Control>Home", ActionHandler::kQbxNav},
    {"act_QBXNavPrev", 2, "", "上一页", "链接到上一页", "<Control>Up", ActionHandler::kQbxNav},
    {"act_QBXNavNext", 3, "", "下一页", "链接到下一页", "<Control>Down", ActionHandler::kQbxNav},
    {"act_QBXViewSource", 6, "", "查看源", "", "", ActionHandler::kQbxEdit},
    {"act_QBXComment", 7, "", "评论此文档", "发表、查看此QBX文档的评论", "",
     ActionHandler::kQbxEdit},
    {"act_QBXShared", 8, "", "共享此文档", "", "", ActionHandler::kQbxEdit},
};

void CheckRows(std::span<const ActionDef> rows, std::span<const Expect> expected,
               ActionListId list) {
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const ActionDef& a = rows[i];
        const Expect& e = expected[i];
        EXPECT_EQ(a.name, e.name);
        EXPECT_EQ(a.list, list) << e.name;
        EXPECT_EQ(a.tag, e.tag) << e.name;
        EXPECT_EQ(a.category, e.category) << e.name;
        EXPECT_EQ(a.caption, e.caption) << e.name;
        EXPECT_EQ(a.hint, e.hint) << e.name;
        EXPECT_EQ(a.shortcut, e.shortcut) << e.name;
        EXPECT_EQ(a.handler, e.handler) << e.name;
    }
}

TEST(ActionTable, MainActionsAsTheWindowListsThem) {
    CheckRows(MainActionDefs(), kMain, ActionListId::kMain);
}

TEST(ActionTable, DocumentActionsAsTheWindowListsThem) {
    CheckRows(WebQbxActionDefs(), kWebQbx, ActionListId::kWebQbx);
}

TEST(ActionTable, InitialStates) {
    EXPECT_TRUE(FindActionDef("act_NavTree")->checked);
    EXPECT_FALSE(FindActionDef("act_QBXComment")->enabled);
    EXPECT_TRUE(FindActionDef("act_QBXComment")->visible);
    EXPECT_FALSE(FindActionDef("act_QBXShared")->enabled);
    EXPECT_FALSE(FindActionDef("act_QBXShared")->visible);
    EXPECT_EQ(FindActionDef("act_browseMode")->group, 2);
    EXPECT_EQ(FindActionDef("act_NotImageMode")->group, 2);
    int checked = 0, disabled = 0;
    for (auto rows : {MainActionDefs(), WebQbxActionDefs()}) {
        for (const ActionDef& a : rows) {
            checked += a.checked;
            disabled += !a.enabled;
        }
    }
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(disabled, 2);
}

TEST(ActionTable, NamesAndShortcutsAreUnique) {
    std::set<std::string> names, shortcuts;
    for (auto rows : {MainActionDefs(), WebQbxActionDefs()}) {
        for (const ActionDef& a : rows) {
            EXPECT_TRUE(names.insert(std::string(a.name)).second) << a.name;
            if (!a.shortcut.empty()) {
                EXPECT_TRUE(shortcuts.insert(std::string(a.shortcut)).second) << a.shortcut;
            }
        }
    }
    EXPECT_EQ(FindActionDef("act_missing"), nullptr);
    EXPECT_EQ(FindActionDef("act_QBXNavNext")->tag, 3);
}

}  // namespace
}  // namespace q3::reader
