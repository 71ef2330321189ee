// Window geometry that does not need a toolkit: where the input dialog puts
// its controls, where the navigation window goes, where an owner-drawn tab
// draws its caption.
#pragma once

#include <vector>

namespace q3::reader {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

struct Point {
    int x = 0;
    int y = 0;
};

// value * numerator / denominator, multiplied first and rounded half away
// from zero; 0 for a zero denominator.
int MulDiv(int value, int numerator, int denominator);

// The input dialog's controls in dialog units: x is the average width of a
// letter of the dialog font, y its line height, prompt_height the height of
// the prompt label once wrapped to prompt.width.
struct InputQueryLayout {
    int client_width = 0;
    int client_height = 0;
    Rect prompt;
    Rect edit;
    Rect ok_button;
    Rect cancel_button;
};
// The prompt's width, which decides how it wraps.
int InputQueryPromptWidth(int x);
InputQueryLayout LayOutInputQuery(int x, int y, int prompt_height, int edit_height);

// The navigation window's origin: its right edge on the main window's right
// edge, its top just below the two tool bars.
Point NavFormOrigin(const Rect& main_window, int nav_width, int menu_bar_height,
                    int tool_bar_height);

// The origin that centres a box of the given size on an area.
Point CentreIn(const Rect& area, int width, int height);

// Where each character of a vertical tab caption is drawn, top to bottom: the
// active tab starts lower and further right than an inactive one.
std::vector<Point> VerticalCaptionOrigins(const Rect& tab, bool active,
                                          const std::vector<int>& char_heights);
// Where a horizontal tab caption is drawn.
Point HorizontalCaptionOrigin(const Rect& tab, bool active);

}  // namespace q3::reader
