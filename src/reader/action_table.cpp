#include "reader/action_table.h"

#include <array>

namespace q3::reader {

namespace {

using H = ActionHandler;
constexpr ActionListId kMain = ActionListId::kMain;
constexpr ActionListId kQbx = ActionListId::kWebQbx;

// Full-screen's caption changes while the page is shown full screen; these
// are the captions at start.
constexpr std::array kMainActions = {
    ActionSpec{"act_exit", kMain, 1, "文件", "退出", "关闭并退出Quillon3", "", H::kOpenExit},
    ActionSpec{"act_openfile", kMain, 2, "文件", "打开...", "打开文件", "<Control>o", H::kOpenExit},
    ActionSpec{"act_NavTree", kMain, 3, "视图", "侧边栏", "显示/隐藏侧边栏", "F12", H::kOpenExit,
               true},
    ActionSpec{"act_TvExpand", kMain, 4, "视图", "全部展开", "", "", H::kOpenExit},
    ActionSpec{"act_TvCollapsed", kMain, 5, "视图", "全部收缩", "", "", H::kOpenExit},
    ActionSpec{"act_FullScreen", kMain, 7, "Web", "全屏显示", "全屏显示切换", "F11", H::kWeb},
    ActionSpec{"act_GoHome", kMain, 1, "Web", "主页", "转到主页", "", H::kWeb},
    ActionSpec{"act_Refresh", kMain, 2, "Web", "刷新", "刷新当前页面", "", H::kWeb},
    ActionSpec{"act_Stop", kMain, 3, "Web", "停止", "停止下载页", "", H::kWeb},
    ActionSpec{"act_GoTo", kMain, 4, "Web", "前进", "前进", "", H::kWeb},
    ActionSpec{"act_GoBack", kMain, 5, "Web", "后退", "后退", "", H::kWeb},
    ActionSpec{"act_print", kMain, 6, "Web", "打印预览", "打印", "", H::kWeb},
    ActionSpec{"act_saveas", kMain, 8, "Web", "另存为...", "另存为当前页面", "<Control>s", H::kWeb},
    ActionSpec{"act_Help", kMain, 1, "帮助", "打开帮助", "", "", H::kHelp},
    ActionSpec{"atc_about", kMain, 2, "帮助", "关于", "", "", H::kHelp},
    ActionSpec{"act_Update", kMain, 3, "帮助", "软件更新", "", "", H::kHelp},
    ActionSpec{"act_browseMode", kMain, 1, "Web", "文本模式", "", "", H::kViewMode, false, true,
               true, 2},
    ActionSpec{"act_NotImageMode", kMain, 2, "Web", "无图片模式", "", "", H::kViewMode, false, true,
               true, 2},
    ActionSpec{"act_CloseWeb", kMain, 0, "Web", "关闭该页", "双击也可以关闭该页", "<Control>w",
               H::kCloseWeb},
};

constexpr std::array kWebQbxActions = {
    ActionSpec{"act_QBXAttr", kQbx, 0, "", "文件属性", "显示文件属性", "", H::kProperties},
    ActionSpec{"act_QBXCopy", kQbx, 1, "", "复制", "", "", H::kQbxEdit},
    ActionSpec{"act_QBXSelectAll", kQbx, 2, "", "全选", "", "<Control>a", H::kQbxEdit},
    ActionSpec{"act_QBXSearch", kQbx, 3, "", "搜索", "", "<Control>f", H::kQbxEdit},
    ActionSpec{"act_QBXNavHome", kQbx, 1, "", "主页", "转到主页", "<Control>Home", H::kQbxNav},
    ActionSpec{"act_QBXNavPrev", kQbx, 2, "", "上一页", "链接到上一页", "<Control>Up", H::kQbxNav},
    ActionSpec{"act_QBXNavNext", kQbx, 3, "", "下一页", "链接到下一页", "<Control>Down",
               H::kQbxNav},
    ActionSpec{"act_QBXViewSource", kQbx, 6, "", "查看源", "", "", H::kQbxEdit},
    ActionSpec{"act_QBXComment", kQbx, 7, "", "评论此文档", "发表、查看此QBX文档的评论", "",
               H::kQbxEdit, false, false},
    ActionSpec{"act_QBXShared", kQbx, 8, "", "共享此文档", "", "", H::kQbxEdit, false, false,
               false},
};

}  // namespace

std::span<const ActionSpec> MainActionSpecs() {
    return kMainActions;
}
std::span<const ActionSpec> WebQbxActionSpecs() {
    return kWebQbxActions;
}

const ActionSpec* FindActionSpec(std::string_view name) {
    for (const ActionSpec& a : kMainActions) {
        if (a.name == name)
            return &a;
    }
    for (const ActionSpec& a : kWebQbxActions) {
        if (a.name == name)
            return &a;
    }
    return nullptr;
}

}  // namespace q3::reader
