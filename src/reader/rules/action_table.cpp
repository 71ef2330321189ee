#include "reader/rules/action_table.h"

#include <array>

#include "common/translation.h"

namespace q3::reader {

namespace {

using H = ActionHandler;
constexpr ActionListId kMain = ActionListId::kMain;
constexpr ActionListId kQbx = ActionListId::kWebQbx;

// Categories, captions and hints are message ids, translated where they are
// shown. Full-screen's caption changes while the page is shown full screen; these
// are the captions at start.
constexpr std::array kMainActions = {
    ActionDef{"act_exit", kMain, 1, N_("文件"), N_("退出"), N_("关闭并退出Quillon3"), "<Control>q",
              H::kOpenExit},
    ActionDef{"act_openfile", kMain, 2, N_("文件"), N_("打开..."), N_("打开文件"), "<Control>o",
              H::kOpenExit},
    ActionDef{"act_NavTree", kMain, 3, N_("视图"), N_("侧边栏"), N_("显示/隐藏侧边栏"), "F12",
              H::kOpenExit, true},
    ActionDef{"act_TvExpand", kMain, 4, N_("视图"), N_("全部展开"), "", "", H::kOpenExit},
    ActionDef{"act_TvCollapsed", kMain, 5, N_("视图"), N_("全部收缩"), "", "", H::kOpenExit},
    ActionDef{"act_FullScreen", kMain, 7, "Web", N_("全屏显示"), N_("全屏显示切换"), "F11",
              H::kWeb},
    ActionDef{"act_GoHome", kMain, 1, "Web", N_("主页"), N_("转到主页"), "", H::kWeb},
    ActionDef{"act_Refresh", kMain, 2, "Web", N_("刷新"), N_("刷新当前页面"), "", H::kWeb},
    ActionDef{"act_Stop", kMain, 3, "Web", N_("停止"), N_("停止下载页"), "", H::kWeb},
    ActionDef{"act_GoTo", kMain, 4, "Web", N_("前进"), N_("前进"), "", H::kWeb},
    ActionDef{"act_GoBack", kMain, 5, "Web", N_("后退"), N_("后退"), "", H::kWeb},
    ActionDef{"act_print", kMain, 6, "Web", N_("打印预览"), N_("打印"), "", H::kWeb},
    ActionDef{"act_saveas", kMain, 8, "Web", N_("另存为..."), N_("另存为当前页面"), "<Control>s",
              H::kWeb},
    ActionDef{"act_Help", kMain, 1, N_("帮助"), N_("打开帮助"), "", "", H::kHelp},
    ActionDef{"atc_about", kMain, 2, N_("帮助"), N_("关于"), "", "", H::kHelp},
    ActionDef{"act_Update", kMain, 3, N_("帮助"), N_("软件更新"), "", "", H::kHelp},
    ActionDef{"act_browseMode", kMain, 1, "Web", N_("文本模式"), "", "", H::kViewMode, false, true,
              true, 2},
    ActionDef{"act_NotImageMode", kMain, 2, "Web", N_("无图片模式"), "", "", H::kViewMode, false,
              true, true, 2},
    ActionDef{"act_CloseWeb", kMain, 0, "Web", N_("关闭该页"), N_("双击也可以关闭该页"),
              "<Control>w", H::kCloseWeb},
};

constexpr std::array kWebQbxActions = {
    ActionDef{"act_QBXAttr", kQbx, 0, "", N_("文件属性"), N_("显示文件属性"), "", H::kProperties},
    ActionDef{"act_QBXCopy", kQbx, 1, "", N_("复制"), "", "", H::kQbxEdit},
    ActionDef{"act_QBXSelectAll", kQbx, 2, "", N_("全选"), "", "<Control>a", H::kQbxEdit},
    ActionDef{"act_QBXSearch", kQbx, 3, "", N_("搜索"), "", "<Control>f", H::kQbxEdit},
    ActionDef{"act_QBXNavHome", kQbx, 1, "", N_("主页"), N_("转到主页"), "<Control>Home",
              H::kQbxNav},
    ActionDef{"act_QBXNavPrev", kQbx, 2, "", N_("上一页"), N_("链接到上一页"), "<Control>Up",
              H::kQbxNav},
    ActionDef{"act_QBXNavNext", kQbx, 3, "", N_("下一页"), N_("链接到下一页"), "<Control>Down",
              H::kQbxNav},
    ActionDef{"act_QBXViewSource", kQbx, 6, "", N_("查看源"), "", "", H::kQbxEdit},
    ActionDef{"act_QBXComment", kQbx, 7, "", N_("评论此文档"), N_("发表、查看此QBX文档的评论"), "",
              H::kQbxEdit, false, false},
    ActionDef{"act_QBXShared", kQbx, 8, "", N_("共享此文档"), "", "", H::kQbxEdit, false, false,
              false},
};

}  // namespace

std::span<const ActionDef> MainActionDefs() {
    return kMainActions;
}
std::span<const ActionDef> WebQbxActionDefs() {
    return kWebQbxActions;
}

const ActionDef* FindActionDef(std::string_view name) {
    for (const ActionDef& a : kMainActions) {
        if (a.name == name)
            return &a;
    }
    for (const ActionDef& a : kWebQbxActions) {
        if (a.name == name)
            return &a;
    }
    return nullptr;
}

}  // namespace q3::reader
