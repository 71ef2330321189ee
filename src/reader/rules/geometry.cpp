#include "reader/rules/geometry.h"

#include <cstdint>

namespace q3::reader {

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0)
        return 0;
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    std::int64_t half = denominator / 2;
    if (half < 0)
        half = -half;
    const bool negative = (product < 0) != (denominator < 0);
    std::int64_t magnitude = (product < 0 ? -product : product) + half;
    magnitude /= (denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int InputQueryPromptWidth(int x) {
    // The prompt spans the client area less its margin on both sides, the
    // same width as the edit, so a long prompt wraps inside the dialog.
    return MulDiv(180, x, 4) - 2 * MulDiv(8, x, 4);
}

InputQueryLayout LayOutInputQuery(int x, int y, int prompt_height, int edit_height) {
    InputQueryLayout l;
    l.client_width = MulDiv(180, x, 4);
    l.prompt = {MulDiv(8, x, 4), MulDiv(8, y, 8), InputQueryPromptWidth(x), prompt_height};
    l.edit = {l.prompt.left, l.prompt.bottom() + 5, MulDiv(164, x, 4), edit_height};
    const int button_top = l.edit.bottom() + 15;
    const int button_width = MulDiv(50, x, 4);
    const int button_height = MulDiv(14, y, 8);
    l.ok_button = {MulDiv(38, x, 4), button_top, button_width, button_height};
    l.cancel_button = {MulDiv(92, x, 4), button_top, button_width, button_height};
    l.client_height = l.ok_button.bottom() + 13;
    return l;
}

Point NavFormOrigin(const Rect& main_window, int nav_width, int menu_bar_height,
                    int tool_bar_height) {
    return {main_window.left + main_window.width - nav_width,
            main_window.top + menu_bar_height + tool_bar_height};
}

Point CentreIn(const Rect& area, int width, int height) {
    return {area.left + (area.width - width) / 2, area.top + (area.height - height) / 2};
}

std::vector<Point> VerticalCaptionOrigins(const Rect& tab, bool active,
                                          const std::vector<int>& char_heights) {
    std::vector<Point> origins;
    origins.reserve(char_heights.size());
    int y = tab.top - (active ? 10 : 14);
    const int x = tab.left + (active ? 5 : 3);
    for (int h : char_heights) {
        y += h;
        origins.push_back({x, y + 2});
    }
    return origins;
}

Point HorizontalCaptionOrigin(const Rect& tab, bool active) {
    return active ? Point{tab.left + 7, tab.top + 4} : Point{tab.left + 3, tab.top + 2};
}

}  // namespace q3::reader
