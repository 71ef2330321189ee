#include "browser/color.h"

#include <algorithm>
#include <array>
#include <cmath>
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

namespace {

double Linear(WindowColor channel) {
    const double c = static_cast<double>(channel & 0xFFu) / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(WindowColor colour) {
    const WindowColor rgb = ResolveColor(colour);
    return 0.2126 * Linear(rgb) + 0.7152 * Linear(rgb >> 8) + 0.0722 * Linear(rgb >> 16);
}

// Each channel of `from` moved the share t of the way to `to`.
WindowColor Mix(WindowColor from, WindowColor to, double t) {
    WindowColor out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const double a = static_cast<double>((from >> shift) & 0xFFu);
        const double b = static_cast<double>((to >> shift) & 0xFFu);
        out |= static_cast<WindowColor>(std::lround(a + (b - a) * t)) << shift;
    }
    return out;
}

}  // namespace

double ContrastRatio(WindowColor a, WindowColor b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

WindowColor TextColorOn(WindowColor ground) {
    constexpr WindowColor kBlack = 0x000000, kWhite = 0xFFFFFF;
    return ContrastRatio(kBlack, ground) >= ContrastRatio(kWhite, ground) ? kBlack : kWhite;
}

WindowColor ReadableOn(WindowColor text, WindowColor ground) {
    const WindowColor from = ResolveColor(text);
    if (ContrastRatio(from, ground) >= kReadableContrast)
        return from;
    // Black or white reads on any ground (one of them by at least 4.58);
    // go toward the one that reads better, and stop as soon as it reads.
    const WindowColor to = TextColorOn(ground);
    double low = 0, high = 1;
    for (int step = 0; step < 16; ++step) {
        const double t = (low + high) / 2;
        (ContrastRatio(Mix(from, to, t), ground) >= kReadableContrast ? high : low) = t;
    }
    const WindowColor readable = Mix(from, to, high);
    // Rounding the channels may cost the last hundredth of the ratio.
    return ContrastRatio(readable, ground) >= kReadableContrast ? readable : to;
}

}  // namespace q3::browser
