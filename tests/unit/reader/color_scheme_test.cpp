#include "reader/rules/color_scheme.h"

#include <gtest/gtest.h>

namespace q3::reader {
namespace {

using E = ColorSchemeMenu;

TEST(ColorSchemeMenu, EntriesCarryTheirColours) {
    const ColorSchemeMenu menu;
    EXPECT_EQ(menu.Tag(E::kDefault), browser::SystemColorRef(browser::SystemColor::kButtonFace));
    EXPECT_EQ(menu.Tag(E::kLightBlueEntry), 0xF0CAA6u);
    EXPECT_EQ(menu.Tag(E::kLightGreenEntry), 0xDDFFDDu);
    EXPECT_EQ(menu.Tag(E::kPinkEntry), 0xB3B5FFu);
    EXPECT_EQ(E::Caption(E::kDefault), "默认");
    EXPECT_EQ(E::Caption(E::kLightBlueEntry), "粉蓝");
    EXPECT_EQ(E::Caption(E::kLightGreenEntry), "粉绿");
    EXPECT_EQ(E::Caption(E::kPinkEntry), "粉红");
    EXPECT_EQ(E::Caption(E::kCustom), "自定义");
    EXPECT_FALSE(menu.Checked().has_value());
}

TEST(ColorSchemeMenu, StoredColourChecksItsEntry) {
    struct Case {
        WindowColor colour;
        std::size_t checked;
    } cases[] = {
        {kLightBlue, E::kLightBlueEntry},
        {kLightGreen, E::kLightGreenEntry},
        {kPink, E::kPinkEntry},
        {browser::SystemColorRef(browser::SystemColor::kButtonFace), E::kDefault},
        {0x123456, E::kCustom},
    };
    for (const Case& c : cases) {
        ColorSchemeMenu menu;
        menu.SelectColor(c.colour);
        ASSERT_TRUE(menu.Checked().has_value());
        EXPECT_EQ(*menu.Checked(), c.checked) << std::hex << c.colour;
    }
}

TEST(ColorSchemeMenu, UnknownColourBecomesTheCustomEntrysTag) {
    ColorSchemeMenu menu;
    menu.SelectColor(0x00ABCDEF);
    EXPECT_EQ(menu.Tag(E::kCustom), 0x00ABCDEFu);
    EXPECT_TRUE(menu.IsChecked(E::kCustom));
}

TEST(ColorSchemeMenu, CheckingAnEntryClearsTheOthers) {
    ColorSchemeMenu menu;
    menu.SelectColor(kLightBlue);
    menu.InvertCheck(E::kPinkEntry);
    EXPECT_TRUE(menu.IsChecked(E::kPinkEntry));
    EXPECT_FALSE(menu.IsChecked(E::kLightBlueEntry));
}

TEST(ColorSchemeMenu, ClickingTheCheckedEntryLeavesNoneChecked) {
    ColorSchemeMenu menu;
    menu.SelectColor(kLightBlue);
    menu.InvertCheck(E::kLightBlueEntry);
    EXPECT_FALSE(menu.Checked().has_value());
    menu.InvertCheck(E::kLightBlueEntry);
    EXPECT_EQ(menu.Checked(), std::optional<std::size_t>(E::kLightBlueEntry));
}

TEST(ColorSchemeMenu, AnEntryPastTheMenuChangesNothing) {
    ColorSchemeMenu menu;
    menu.SelectColor(kPink);
    menu.InvertCheck(E::kEntryCount);
    EXPECT_EQ(menu.Checked(), std::optional<std::size_t>(E::kPinkEntry));
    EXPECT_EQ(E::Caption(E::kEntryCount), "");
}

}  // namespace
}  // namespace q3::reader
