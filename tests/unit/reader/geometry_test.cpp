#include "reader/rules/geometry.h"

#include <gtest/gtest.h>

namespace q3::reader {
namespace {

TEST(MulDiv, MultipliesFirstAndRoundsHalfAway) {
    struct Case {
        int value, numerator, denominator, result;
    } cases[] = {
        {180, 7, 4, 315},
        {8, 7, 4, 14},
        {7, 3, 2, 11},
        {-7, 3, 2, -11},
        {5, 1, 2, 3},
        {4, 1, 2, 2},
        {14, 15, 8, 26},
        {1, 1, 0, 0},
        {50, 7, 4, 88},
        {0, 9, 4, 0},
        {100000, 100000, 100000, 100000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDiv(c.value, c.numerator, c.denominator), c.result)
            << c.value << "*" << c.numerator << "/" << c.denominator;
    }
}

TEST(InputQueryLayout, ControlsInDialogUnits) {
    // x = 7, y = 15: the average letter width and line height of a font.
    const InputQueryLayout l = LayOutInputQuery(7, 15, 15, 22);
    EXPECT_EQ(l.client_width, 315);  // 180 * 7 / 4
    EXPECT_EQ(l.prompt.left, 14);    // 8 * 7 / 4
    EXPECT_EQ(l.prompt.top, 15);     // 8 * 15 / 8
    EXPECT_EQ(l.prompt.width, 315 - 28);
    EXPECT_EQ(l.edit.left, 14);
    EXPECT_EQ(l.edit.top, 15 + 15 + 5);
    EXPECT_EQ(l.edit.width, 287);          // 164 * 7 / 4
    EXPECT_EQ(l.ok_button.left, 67);       // 38 * 7 / 4 = 66.5
    EXPECT_EQ(l.cancel_button.left, 161);  // 92 * 7 / 4
    EXPECT_EQ(l.ok_button.width, 88);      // 50 * 7 / 4 = 87.5
    EXPECT_EQ(l.ok_button.height, 26);     // 14 * 15 / 8 = 26.25
    EXPECT_EQ(l.ok_button.top, l.edit.bottom() + 15);
    EXPECT_EQ(l.cancel_button.top, l.ok_button.top);
    EXPECT_EQ(l.client_height, l.ok_button.bottom() + 13);
}

TEST(InputQueryLayout, ALongPromptPushesTheEditAndButtonsDown) {
    const InputQueryLayout one_line = LayOutInputQuery(7, 15, 15, 22);
    const InputQueryLayout three_lines = LayOutInputQuery(7, 15, 45, 22);
    EXPECT_EQ(three_lines.edit.top - one_line.edit.top, 30);
    EXPECT_EQ(three_lines.ok_button.top - one_line.ok_button.top, 30);
    EXPECT_EQ(three_lines.client_height - one_line.client_height, 30);
    EXPECT_EQ(three_lines.client_width, one_line.client_width);
}

TEST(InputQueryLayout, PromptAndButtonsStayInsideTheDialog) {
    for (int x = 4; x <= 14; ++x) {
        const InputQueryLayout l = LayOutInputQuery(x, 2 * x, 2 * x, 3 * x);
        EXPECT_LE(l.prompt.right(), l.client_width) << x;
        EXPECT_LE(l.edit.right(), l.client_width) << x;
        EXPECT_LE(l.cancel_button.right(), l.client_width) << x;
        EXPECT_LT(l.ok_button.right(), l.cancel_button.left) << x;
    }
}

TEST(NavFormOrigin, RightEdgeOnTheMainWindowsBelowTheToolBars) {
    const Point p = NavFormOrigin(Rect{100, 50, 1016, 600}, 150, 22, 39);
    EXPECT_EQ(p.x, 100 + 1016 - 150);
    EXPECT_EQ(p.y, 50 + 22 + 39);
}

TEST(CentreIn, CentresTheBox) {
    const Point p = CentreIn(Rect{0, 0, 1280, 800}, 1016, 600);
    EXPECT_EQ(p.x, 132);
    EXPECT_EQ(p.y, 100);
}

TEST(VerticalCaptionOrigins, OneCharacterUnderTheOther) {
    const Rect tab{10, 100, 20, 80};
    const std::vector<Point> inactive = VerticalCaptionOrigins(tab, false, {16, 16, 14});
    ASSERT_EQ(inactive.size(), 3u);
    EXPECT_EQ(inactive[0].x, 13);
    EXPECT_EQ(inactive[0].y, 100 - 14 + 16 + 2);
    EXPECT_EQ(inactive[1].y, inactive[0].y + 16);
    EXPECT_EQ(inactive[2].y, inactive[1].y + 14);
    EXPECT_EQ(inactive[2].x, 13);
}

TEST(VerticalCaptionOrigins, ActiveTabStartsLowerAndFurtherRight) {
    const Rect tab{10, 100, 20, 80};
    const std::vector<Point> inactive = VerticalCaptionOrigins(tab, false, {16, 16});
    const std::vector<Point> active = VerticalCaptionOrigins(tab, true, {16, 16});
    for (size_t i = 0; i < active.size(); ++i) {
        EXPECT_EQ(active[i].y - inactive[i].y, 4);
        EXPECT_EQ(active[i].x - inactive[i].x, 2);
    }
    EXPECT_TRUE(VerticalCaptionOrigins(tab, true, {}).empty());
}

TEST(HorizontalCaptionOrigin, ActiveAndInactivePlaces) {
    const Rect tab{10, 20, 60, 24};
    EXPECT_EQ(HorizontalCaptionOrigin(tab, true).x, 17);
    EXPECT_EQ(HorizontalCaptionOrigin(tab, true).y, 24);
    EXPECT_EQ(HorizontalCaptionOrigin(tab, false).x, 13);
    EXPECT_EQ(HorizontalCaptionOrigin(tab, false).y, 22);
}

}  // namespace
}  // namespace q3::reader
