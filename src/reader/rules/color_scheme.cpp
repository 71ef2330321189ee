#include "reader/rules/color_scheme.h"
#include "common/translation.h"

namespace q3::reader {

ColorSchemeMenu::ColorSchemeMenu()
    : tags_{browser::SystemColorRef(browser::SystemColor::kButtonFace), kLightBlue, kLightGreen,
            kPink, 0} {}

std::string_view ColorSchemeMenu::Caption(std::size_t entry) {
    static constexpr std::string_view kCaptions[kEntryCount] = {N_("默认"), N_("粉蓝"), N_("粉绿"),
                                                                N_("粉红"), N_("自定义")};
    return entry < kEntryCount ? kCaptions[entry] : std::string_view();
}

std::optional<std::size_t> ColorSchemeMenu::Checked() const {
    for (std::size_t i = 0; i < kEntryCount; ++i) {
        if (checked_[i])
            return i;
    }
    return std::nullopt;
}

void ColorSchemeMenu::SelectColor(WindowColor colour) {
    std::size_t chosen = kCustom;
    for (std::size_t i = kDefault; i < kCustom; ++i) {
        if (tags_[i] == colour) {
            chosen = i;
            break;
        }
    }
    if (chosen == kCustom)
        tags_[kCustom] = colour;
    checked_.fill(false);
    checked_[chosen] = true;
}

void ColorSchemeMenu::InvertCheck(std::size_t entry) {
    if (entry >= kEntryCount)
        return;
    const bool now = !checked_[entry];
    if (now)
        checked_.fill(false);
    checked_[entry] = now;
}

}  // namespace q3::reader
