#include "browser/color.h"

#include <array>
#include <cstdio>
#include <mutex>
#include <utility>

namespace q3::browser {
namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

// The classic desktop scheme: what a page shows when no theme is available
// (no display, or a slot the theme does not define).
constexpr std::array<Rgb, kSystemColorCount> kClassicColors = {{
    {212, 208, 200},  // scroll bar
    {58, 110, 165},   // desktop background
    {10, 36, 106},    // active caption
    {128, 128, 128},  // inactive caption
    {212, 208, 200},  // menu
    {255, 255, 255},  // window background
    {0, 0, 0},        // window frame
    {0, 0, 0},        // menu text
    {0, 0, 0},        // window text
    {255, 255, 255},  // caption text
    {212, 208, 200},  // active border
    {212, 208, 200},  // inactive border
    {128, 128, 128},  // application workspace
    {10, 36, 106},    // highlight
    {255, 255, 255},  // highlight text
    {212, 208, 200},  // button face
    {128, 128, 128},  // button shadow
    {128, 128, 128},  // grey text
    {0, 0, 0},        // button text
    {212, 208, 200},  // inactive caption text
    {255, 255, 255},  // button highlight
    {64, 64, 64},     // 3-D dark shadow
    {212, 208, 200},  // 3-D light
    {0, 0, 0},        // tool tip text
    {255, 255, 225},  // tool tip background
}};

std::mutex& ResolverMutex() {
    static std::mutex m;
    return m;
}

SystemColorResolver& Resolver() {
    static SystemColorResolver resolver;
    return resolver;
}

}  // namespace

void SetSystemColorResolver(SystemColorResolver resolver) {
    std::lock_guard lock(ResolverMutex());
    Resolver() = std::move(resolver);
}

WindowColor DefaultSystemColor(int slot) {
    if (slot < 0 || slot >= kSystemColorCount)
        return 0;
    const Rgb& c = kClassicColors[static_cast<size_t>(slot)];
    return static_cast<WindowColor>(c.r) | (static_cast<WindowColor>(c.g) << 8) |
           (static_cast<WindowColor>(c.b) << 16);
}

WindowColor ResolveColor(WindowColor colour) {
    if (!IsSystemColorRef(colour))
        return colour & 0x00FFFFFFu;
    const int slot = static_cast<int>(colour & 0xFFu);
    SystemColorResolver resolver;
    {
        std::lock_guard lock(ResolverMutex());
        resolver = Resolver();
    }
    if (resolver) {
        if (std::optional<WindowColor> value = resolver(slot))
            return *value & 0x00FFFFFFu;
    }
    return DefaultSystemColor(slot);
}

std::string ColorToHtml(WindowColor colour) {
    const WindowColor rgb = ResolveColor(colour);
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", rgb & 0xFFu, (rgb >> 8) & 0xFFu,
                  (rgb >> 16) & 0xFFu);
    return text;
}

}  // namespace q3::browser
