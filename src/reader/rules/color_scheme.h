// The colour scheme menu: five entries in one radio group whose Tags are the
// colours they stand for. The check rules live here, apart from the menu
// widgets, so they hold the same for the menu and for the stored colour.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "browser/color.h"

namespace q3::reader {

using browser::WindowColor;

inline constexpr WindowColor kLightBlue = 15780518;   // 0xF0CAA6
inline constexpr WindowColor kLightGreen = 14548957;  // 0xDDFFDD
inline constexpr WindowColor kPink = 11777535;        // 0xB3B5FF
inline constexpr WindowColor kBaseFormColor = kLightBlue;

// The registry value that keeps the chosen colour, under the settings key.
inline constexpr std::string_view kColorValueName = "FackColor-Quillon3";

class ColorSchemeMenu {
  public:
    enum Entry : std::size_t { kDefault, kLightBlueEntry, kLightGreenEntry, kPinkEntry, kCustom };
    static constexpr std::size_t kEntryCount = 5;

    ColorSchemeMenu();

    static std::string_view Caption(std::size_t entry);

    WindowColor Tag(std::size_t entry) const { return tags_[entry]; }
    void SetTag(std::size_t entry, WindowColor colour) { tags_[entry] = colour; }
    bool IsChecked(std::size_t entry) const { return checked_[entry]; }
    std::optional<std::size_t> Checked() const;

    // The colour read at start: checks the first entry, in menu order, whose
    // Tag is that colour; a colour no entry carries becomes the custom one.
    void SelectColor(WindowColor colour);

    // A click's check rule: the clicked entry's mark is inverted, and when it
    // becomes checked every other entry of the group is cleared. Clicking the
    // checked entry therefore leaves none checked.
    void InvertCheck(std::size_t entry);

  private:
    std::array<WindowColor, kEntryCount> tags_{};
    std::array<bool, kEntryCount> checked_{};
};

}  // namespace q3::reader
