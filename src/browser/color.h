// Window colours in the notation HTML and CSS expect, for the pages the reader
// generates itself (home page, properties page, ad page, body styles).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace q3::browser {

// A window colour: an explicit colour 0x00BBGGRR (red in the lowest byte), or
// a system colour reference: the high bit set and the slot in the lowest byte.
using WindowColor = std::uint32_t;

// The system colour slots the program refers to, numbered as the stored
// colours number them (a stored "default" scheme colour keeps working).
enum class SystemColor : std::uint8_t {
    kScrollBar = 0,
    kBackground = 1,
    kActiveCaption = 2,
    kInactiveCaption = 3,
    kMenu = 4,
    kWindow = 5,
    kWindowFrame = 6,
    kMenuText = 7,
    kWindowText = 8,
    kCaptionText = 9,
    kActiveBorder = 10,
    kInactiveBorder = 11,
    kAppWorkspace = 12,
    kHighlight = 13,
    kHighlightText = 14,
    kButtonFace = 15,
    kButtonShadow = 16,
    kGrayText = 17,
    kButtonText = 18,
    kInactiveCaptionText = 19,
    kButtonHighlight = 20,
    k3dDarkShadow = 21,
    k3dLight = 22,
    kInfoText = 23,
    kInfoBackground = 24,
};
inline constexpr int kSystemColorCount = 25;

inline constexpr WindowColor kSystemColorFlag = 0xFF000000u;

// The reference to a system colour slot, as stored in the registry.
constexpr WindowColor SystemColorRef(SystemColor slot) {
    return kSystemColorFlag | static_cast<WindowColor>(slot);
}

constexpr bool IsSystemColorRef(WindowColor colour) {
    return (colour & 0x80000000u) != 0;
}

// Answers the current value (0x00BBGGRR) of a system colour slot, or nothing
// when it does not know the slot. The GUI installs one that reads the theme.
using SystemColorResolver = std::function<std::optional<WindowColor>(int slot)>;

// Pass an empty function to fall back to the built-in classic colours.
void SetSystemColorResolver(SystemColorResolver resolver);

// The classic value of a slot, used when no resolver knows it; black for an
// unknown slot.
WindowColor DefaultSystemColor(int slot);

// The explicit 0x00BBGGRR value of a colour; system references are resolved.
WindowColor ResolveColor(WindowColor colour);

// "#RRGGBB" with upper-case hexadecimal digits.
std::string ColorToHtml(WindowColor colour);

// The least contrast text needs on its ground to be read with ease (the
// ratio accessibility guidelines ask of ordinary text).
inline constexpr double kReadableContrast = 4.5;

// The contrast ratio of two colours, from 1 (the same) to 21 (black on
// white), by their relative luminance.
double ContrastRatio(WindowColor a, WindowColor b);

// The text colour itself when it reads well on the ground; else the same
// colour taken toward black or white, just as far as it must go to read
// well. A colour the user picked can be anything, dark ones included.
WindowColor ReadableOn(WindowColor text, WindowColor ground);

// Black or white, whichever reads better on the ground.
WindowColor TextColorOn(WindowColor ground);

}  // namespace q3::browser
