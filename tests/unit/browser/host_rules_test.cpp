#include <gtest/gtest.h>

#include "browser/host_flags.h"

namespace q3::browser {
namespace {

struct FlagCase {
    const char* name;
    bool scroll_bars;
    bool border_3d;
    bool text_selection;
    ThemeState theme;
    uint32_t expect;
};

const FlagCase kFlagCases[] = {
    // The defaults: flat scroll bars and no 3-D border.
    {"Defaults", true, false, true, ThemeState::kUnavailable, 0x84},
    {"DefaultsThemed", true, false, true, ThemeState::kEnabled, 0x40084},
    {"DefaultsThemesOff", true, false, true, ThemeState::kAvailableButOff, 0x80084},
    // The ad panel: no scroll bars.
    {"NoScrollBars", false, false, true, ThemeState::kUnavailable, 0x8C},
    {"NoScrollBarsThemed", false, false, true, ThemeState::kEnabled, 0x4008C},
    {"WithBorder", true, true, true, ThemeState::kUnavailable, 0x80},
    {"Dialog", true, false, false, ThemeState::kUnavailable, 0x85},
    {"Everything", false, true, false, ThemeState::kAvailableButOff, 0x80089},
};

class HostFlagsTest : public ::testing::TestWithParam<FlagCase> {};

TEST_P(HostFlagsTest, FlagsFollowTheSwitches) {
    const FlagCase& c = GetParam();
    HostSwitches s;
    s.show_scroll_bars = c.scroll_bars;
    s.show_3d_border = c.border_3d;
    s.allow_text_selection = c.text_selection;
    EXPECT_EQ(ComputeHostFlags(s, c.theme), c.expect);
}

INSTANTIATE_TEST_SUITE_P(Switches, HostFlagsTest, ::testing::ValuesIn(kFlagCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(HostInfoTest, FilledAsTheEngineExpects) {
    HostInfo info = MakeHostInfo(HostSwitches{}, ThemeState::kEnabled, "body{color:red}");
    EXPECT_EQ(info.cbSize, 20u);
    EXPECT_EQ(info.dwFlags, 0x40084u);
    EXPECT_EQ(info.dwDoubleClick, 0u);
    EXPECT_EQ(info.css, "body{color:red}");
}

TEST(HostInfoTest, EmptyHostCssIsAnEmptyText) {
    HostInfo info = MakeHostInfo(HostSwitches{}, ThemeState::kUnavailable, "");
    EXPECT_TRUE(info.css.empty());
    EXPECT_EQ(info.cbSize, kHostInfoSize);
}

TEST(HostStyleSheetTest, DefaultsChangeNothing) {
    EXPECT_EQ(HostStyleSheet(0x84 | DOCHOSTUIFLAG_THEME, ""), "");
}

TEST(HostStyleSheetTest, NoScrollHidesBarsAndScrolling) {
    const std::string css = HostStyleSheet(0x8C, "");
    EXPECT_NE(css.find("overflow: hidden !important"), std::string::npos);
    EXPECT_NE(css.find("::-webkit-scrollbar"), std::string::npos);
    EXPECT_EQ(css.find("user-select"), std::string::npos);
}

TEST(HostStyleSheetTest, DialogForbidsSelection) {
    const std::string css = HostStyleSheet(0x85, "");
    EXPECT_NE(css.find("user-select: none"), std::string::npos);
    EXPECT_EQ(css.find("overflow"), std::string::npos);
}

TEST(HostStyleSheetTest, BorderOnlyWithoutTheNoBorderFlag) {
    EXPECT_NE(HostStyleSheet(0x80, "").find("border: 2px inset"), std::string::npos);
    EXPECT_EQ(HostStyleSheet(0x84, "").find("border"), std::string::npos);
}

TEST(HostStyleSheetTest, HostCssComesLastSoItWins) {
    const std::string css = HostStyleSheet(0x8D, "p{margin:0}");
    ASSERT_GE(css.size(), 11u);
    EXPECT_EQ(css.substr(css.size() - 11), "p{margin:0}");
}

struct MenuCase {
    const char* name;
    HitContext hit;
    ContextMenuKind expect;
};

const MenuCase kMenuCases[] = {
    {"Page", {}, CONTEXT_MENU_DEFAULT},
    {"Link", {.link = true}, CONTEXT_MENU_ANCHOR},
    {"Picture", {.image = true}, CONTEXT_MENU_IMAGE},
    {"PictureInLink", {.link = true, .image = true}, CONTEXT_MENU_IMAGE},
    {"Video", {.media = true}, CONTEXT_MENU_IMAGE},
    {"Field", {.editable = true}, CONTEXT_MENU_CONTROL},
    {"SelectionInField", {.editable = true, .selection = true}, CONTEXT_MENU_CONTROL},
    {"Selection", {.selection = true}, CONTEXT_MENU_TEXTSELECT},
    {"SelectedLink", {.link = true, .selection = true}, CONTEXT_MENU_ANCHOR},
};

class MenuKindTest : public ::testing::TestWithParam<MenuCase> {};

TEST_P(MenuKindTest, KindOfWhatIsUnderThePointer) {
    EXPECT_EQ(MenuKindOf(GetParam().hit), GetParam().expect);
}

INSTANTIATE_TEST_SUITE_P(Hits, MenuKindTest, ::testing::ValuesIn(kMenuCases),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace q3::browser
