// The "夜间阅读" item under the colour schemes: dark pages with light text
// in every browser of the reader, kept in the settings across runs.
#pragma once

#include <gtkmm/checkmenuitem.h>

#include <string_view>

namespace q3::reader {

// The settings value that keeps the choice (1: on), under the settings key.
inline constexpr std::string_view kNightReadingValueName = "NightReading-Quillon3";

// A check item that switches night reading for every page at once and
// stores the choice.
Gtk::CheckMenuItem* MakeNightReadingItem();

// The stored choice, once the settings key is set: night reading and the
// item's mark follow it.
void RestoreNightReading(Gtk::CheckMenuItem& item);

}  // namespace q3::reader
