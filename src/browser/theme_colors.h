// System colour references follow the user's GTK theme: the window background,
// button face, window text and the other slots the reader's pages use.
#pragma once

#include <optional>

#include "browser/color.h"

namespace q3::browser {

// The theme's value of a system colour slot, or nothing when the theme does
// not define it. Needs an initialised GTK with a default screen.
std::optional<WindowColor> ThemeSystemColor(int slot);

// Makes ColorToHtml resolve system colours from the theme. Returns false (and
// changes nothing) when GTK has no default screen.
bool InstallThemeColorResolver();

}  // namespace q3::browser
