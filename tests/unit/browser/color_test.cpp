#include "browser/color.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace q3::browser {
namespace {

class ColorToHtmlTest : public ::testing::Test {
  protected:
    void TearDown() override { SetSystemColorResolver({}); }
};

struct ExplicitCase {
    WindowColor colour;
    const char* html;
};

TEST_F(ColorToHtmlTest, ExplicitColoursPutRedFirst) {
    const ExplicitCase cases[] = {
        {0x000000FF, "#FF0000"},                           // red lives in the lowest byte
        {0x0000FF00, "#00FF00"}, {0x00FF0000, "#0000FF"},  // blue in the third byte
        {0x00FFFFFF, "#FFFFFF"},                           // the properties page background
        {0x00000000, "#000000"}, {15780518, "#A6CAF0"},    // the base form colour 0xF0CAA6
        {14548957, "#DDFFDD"},                             // light green scheme
        {11777535, "#FFB5B3"},                             // pink scheme 0xB3B5FF
        {0x000A0B0C, "#0C0B0A"},                           // single digits keep their leading zero
    };
    for (const ExplicitCase& c : cases) {
        EXPECT_EQ(ColorToHtml(c.colour), c.html) << std::hex << c.colour;
    }
}

TEST_F(ColorToHtmlTest, ResultIsSevenCharactersUpperCase) {
    const std::string html = ColorToHtml(0x00ABCDEF);
    ASSERT_EQ(html.size(), 7u);
    EXPECT_EQ(html, "#EFCDAB");
}

TEST_F(ColorToHtmlTest, SystemReferenceAsksTheResolverForItsSlot) {
    int asked = -1;
    SetSystemColorResolver([&](int slot) -> std::optional<WindowColor> {
        asked = slot;
        return 0x00332211;
    });
    EXPECT_EQ(ColorToHtml(SystemColorRef(SystemColor::kButtonFace)), "#112233");
    EXPECT_EQ(asked, 15);
    EXPECT_EQ(ColorToHtml(SystemColorRef(SystemColor::kWindow)), "#112233");
    EXPECT_EQ(asked, 5);
}

TEST_F(ColorToHtmlTest, ResultFollowsTheCurrentScheme) {
    WindowColor face = 0x000000FF;
    SetSystemColorResolver([&](int) -> std::optional<WindowColor> { return face; });
    const WindowColor ref = SystemColorRef(SystemColor::kButtonFace);
    EXPECT_EQ(ColorToHtml(ref), "#FF0000");
    face = 0x0000FF00;
    EXPECT_EQ(ColorToHtml(ref), "#00FF00");
}

TEST_F(ColorToHtmlTest, UnknownSlotFallsBackToClassicColour) {
    SetSystemColorResolver([](int) -> std::optional<WindowColor> { return std::nullopt; });
    const WindowColor ref = SystemColorRef(SystemColor::kWindow);
    EXPECT_EQ(ResolveColor(ref), DefaultSystemColor(5));
    EXPECT_EQ(ColorToHtml(ref), "#FFFFFF");
}

TEST_F(ColorToHtmlTest, WithoutResolverClassicColoursAreUsed) {
    EXPECT_EQ(ColorToHtml(SystemColorRef(SystemColor::kWindowText)), "#000000");
    EXPECT_EQ(ColorToHtml(SystemColorRef(SystemColor::kInfoBackground)), "#FFFFE1");
}

TEST_F(ColorToHtmlTest, OlderSystemReferenceFormWithOnlyTheHighBitIsResolved) {
    // Colours stored by older programs carry 0x80000000 instead of 0xFF000000.
    SetSystemColorResolver([](int slot) -> std::optional<WindowColor> {
        return slot == 15 ? std::optional<WindowColor>(0x00C0C0C0) : std::nullopt;
    });
    EXPECT_EQ(ColorToHtml(0x8000000F), "#C0C0C0");
}

TEST_F(ColorToHtmlTest, ResolverAnswerLosesItsTopByte) {
    SetSystemColorResolver([](int) -> std::optional<WindowColor> { return 0x7F102030; });
    EXPECT_EQ(ResolveColor(SystemColorRef(SystemColor::kHighlight)), 0x00102030u);
}

TEST_F(ColorToHtmlTest, SlotOutsideTheTableIsBlack) {
    EXPECT_EQ(ColorToHtml(0xFF0000FE), "#000000");
    EXPECT_EQ(DefaultSystemColor(-1), 0u);
}

TEST_F(ColorToHtmlTest, StoredNegativeIntegerIsASystemReference) {
    // The registry keeps colours as signed 32-bit integers.
    const std::int32_t stored = -16777201;  // 0xFF00000F, button face
    EXPECT_TRUE(IsSystemColorRef(static_cast<WindowColor>(stored)));
    EXPECT_EQ(ColorToHtml(static_cast<WindowColor>(stored)),
              ColorToHtml(SystemColorRef(SystemColor::kButtonFace)));
}

TEST(ContrastRatio, SpansOneToTwentyOne) {
    EXPECT_DOUBLE_EQ(ContrastRatio(0x000000, 0x000000), 1.0);
    EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0xFF0000, 0x000000), 2.44, 0.01);  // blue on black
}

// Regression: under a dark custom colour the captions, the tabs and the
// status text stayed dark on dark.
TEST(ReadableOn, EveryCaptionColourReadsOnEveryGround) {
    const WindowColor grounds[] = {
        0x000000,  // the custom colour black
        0x202020,  // near black
        0x800000,  // dark blue
        0x808080,  // middle grey: the hardest ground for either extreme
        0xF0CAA6,  // 粉蓝
        0xDDFFDD,  // 粉绿
        0xB3B5FF,  // 粉红
        0xFFFFFF,
    };
    const WindowColor texts[] = {0x000000, 0xFFFFFF, 0x008000 /* green */, 0xFF0000 /* blue */};
    for (WindowColor ground : grounds) {
        for (WindowColor text : texts) {
            const WindowColor readable = ReadableOn(text, ground);
            EXPECT_GE(ContrastRatio(readable, ground), kReadableContrast)
                << std::hex << text << " on " << ground << " became " << readable;
            // A colour that already reads is kept as it is.
            if (ContrastRatio(text, ground) >= kReadableContrast)
                EXPECT_EQ(readable, text) << std::hex << text << " on " << ground;
        }
    }
    // Blue on black stays a blue: lighter, not white.
    const WindowColor light_blue = ReadableOn(0xFF0000, 0x000000);
    EXPECT_NE(light_blue, 0xFFFFFFu);
    EXPECT_GT((light_blue >> 16) & 0xFF, light_blue & 0xFF);
}

}  // namespace
}  // namespace q3::browser
