#include "browser/theme_colors.h"

#include <gtkmm.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace q3::browser {
namespace {

// Named colours of the theme, tried in order, for each slot; a null name ends
// the list. A slot without names keeps its classic value.
using Names = std::array<const char*, 2>;

constexpr std::array<Names, kSystemColorCount> kThemeNames = {{
    {"theme_bg_color", nullptr},                                    // scroll bar
    {nullptr, nullptr},                                             // desktop background
    {"theme_selected_bg_color", nullptr},                           // active caption
    {"theme_unfocused_selected_bg_color", "insensitive_bg_color"},  // inactive caption
    {"theme_bg_color", nullptr},                                    // menu
    {"theme_base_color", nullptr},                                  // window background
    {"borders", nullptr},                                           // window frame
    {"theme_fg_color", nullptr},                                    // menu text
    {"theme_text_color", "theme_fg_color"},                         // window text
    {"theme_fg_color", nullptr},                                    // caption text
    {"theme_bg_color", nullptr},                                    // active border
    {"theme_unfocused_bg_color", "theme_bg_color"},                 // inactive border
    {nullptr, nullptr},                                             // application workspace
    {"theme_selected_bg_color", nullptr},                           // highlight
    {"theme_selected_fg_color", nullptr},                           // highlight text
    {"theme_bg_color", nullptr},                                    // button face
    {"borders", nullptr},                                           // button shadow
    {"insensitive_fg_color", nullptr},                              // grey text
    {"theme_fg_color", nullptr},                                    // button text
    {"theme_unfocused_fg_color", "insensitive_fg_color"},           // inactive caption text
    {"theme_base_color", nullptr},                                  // button highlight
    {"borders", nullptr},                                           // 3-D dark shadow
    {"theme_bg_color", nullptr},                                    // 3-D light
    {"theme_tooltip_fg_color", "tooltip_fg_color"},                 // tool tip text
    {"theme_tooltip_bg_color", "tooltip_bg_color"},                 // tool tip background
}};

std::uint32_t Channel(double value, double alpha) {
    // Translucent theme colours are seen over a white page.
    const double over_white = value * alpha + (1.0 - alpha);
    return static_cast<std::uint32_t>(std::lround(std::clamp(over_white, 0.0, 1.0) * 255.0));
}

WindowColor ToWindowColor(const Gdk::RGBA& rgba) {
    const double a = std::clamp(rgba.get_alpha(), 0.0, 1.0);
    return Channel(rgba.get_red(), a) | (Channel(rgba.get_green(), a) << 8) |
           (Channel(rgba.get_blue(), a) << 16);
}

Glib::RefPtr<Gtk::StyleContext> WindowStyle() {
    auto screen = Gdk::Screen::get_default();
    if (!screen)
        return {};
    auto context = Gtk::StyleContext::create();
    Gtk::WidgetPath path;
    path.path_append_type(Gtk::Window::get_type());
    context->set_path(path);
    context->set_screen(screen);
    return context;
}

}  // namespace

std::optional<WindowColor> ThemeSystemColor(int slot) {
    if (slot < 0 || slot >= kSystemColorCount)
        return std::nullopt;
    Glib::RefPtr<Gtk::StyleContext> context = WindowStyle();
    if (!context)
        return std::nullopt;
    for (const char* name : kThemeNames[static_cast<size_t>(slot)]) {
        if (name == nullptr)
            break;
        Gdk::RGBA rgba;
        if (context->lookup_color(name, rgba))
            return ToWindowColor(rgba);
    }
    return std::nullopt;
}

bool InstallThemeColorResolver() {
    if (!Gdk::Screen::get_default())
        return false;
    SetSystemColorResolver([](int slot) { return ThemeSystemColor(slot); });
    return true;
}

}  // namespace q3::browser
