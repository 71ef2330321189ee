#include "browser/theme_colors.h"

#include <gtest/gtest.h>
#include <gtkmm/settings.h>
#include <gtkmm/window.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "browser/color.h"

namespace q3::browser {
namespace {

// The theme's colour as a realised window sees it, in page notation.
std::string WindowThemeHtml(const char* name) {
    Gtk::Window window;
    Gdk::RGBA rgba;
    if (!window.get_style_context()->lookup_color(name, rgba))
        return "<undefined>";
    auto channel = [&](double v) {
        const double a = rgba.get_alpha();
        return static_cast<unsigned>(std::lround((v * a + (1.0 - a)) * 255.0));
    };
    char html[8];
    std::snprintf(html, sizeof html, "#%02X%02X%02X", channel(rgba.get_red()),
                  channel(rgba.get_green()), channel(rgba.get_blue()));
    return html;
}

class ThemeColorsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(InstallThemeColorResolver()); }
    void TearDown() override {
        SetSystemColorResolver({});
        Gtk::Settings::get_default()->property_gtk_application_prefer_dark_theme() = false;
    }
};

TEST_F(ThemeColorsTest, ButtonFaceIsTheThemesWindowBackground) {
    EXPECT_EQ(ColorToHtml(SystemColorRef(SystemColor::kButtonFace)),
              WindowThemeHtml("theme_bg_color"));
}

TEST_F(ThemeColorsTest, WindowAndWindowTextComeFromTheTheme) {
    EXPECT_EQ(ColorToHtml(SystemColorRef(SystemColor::kWindow)),
              WindowThemeHtml("theme_base_color"));
    EXPECT_EQ(ColorToHtml(SystemColorRef(SystemColor::kWindowText)),
              WindowThemeHtml("theme_text_color"));
    EXPECT_EQ(ColorToHtml(SystemColorRef(SystemColor::kHighlight)),
              WindowThemeHtml("theme_selected_bg_color"));
}

TEST_F(ThemeColorsTest, ExplicitColoursAreNotTouched) {
    EXPECT_EQ(ColorToHtml(15780518), "#A6CAF0");
    EXPECT_EQ(ColorToHtml(0x00FFFFFF), "#FFFFFF");
}

TEST_F(ThemeColorsTest, SlotTheThemeDoesNotNameKeepsItsClassicColour) {
    EXPECT_FALSE(ThemeSystemColor(static_cast<int>(SystemColor::kBackground)).has_value());
    EXPECT_EQ(ResolveColor(SystemColorRef(SystemColor::kBackground)), DefaultSystemColor(1));
    EXPECT_FALSE(ThemeSystemColor(-1).has_value());
    EXPECT_FALSE(ThemeSystemColor(kSystemColorCount).has_value());
}

TEST_F(ThemeColorsTest, ResultFollowsTheUsersColourScheme) {
    const std::string light = ColorToHtml(SystemColorRef(SystemColor::kButtonFace));
    Gtk::Settings::get_default()->property_gtk_application_prefer_dark_theme() = true;
    const std::string dark = ColorToHtml(SystemColorRef(SystemColor::kButtonFace));
    EXPECT_NE(dark, light);
    EXPECT_EQ(dark, WindowThemeHtml("theme_bg_color"));
}

}  // namespace
}  // namespace q3::browser
