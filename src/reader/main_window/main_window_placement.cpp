// The main window's size, place, maximised state and side bar width, kept
// between runs.
#include <gdkmm/display.h>
#include <gdkmm/monitor.h>

#include <algorithm>
#include <climits>
#include <optional>

#include "common/base_settings.h"
#include "common/shell.h"
#include "reader/main_window/main_window.h"
#include "reader/main_window/main_window_resume.h"

namespace q3::reader {
namespace {

constexpr const char* kLeftValue = "WindowLeft";
constexpr const char* kTopValue = "WindowTop";
constexpr const char* kWidthValue = "WindowWidth";
constexpr const char* kHeightValue = "WindowHeight";
constexpr const char* kMaximizedValue = "WindowMaximized";
constexpr const char* kSideBarWidthValue = "SideBarWidth";
// Smaller than this the window's rows no longer fit; the pages keep at
// least this much beside the side bar.
constexpr int kMinWidth = 400;
constexpr int kMinHeight = 300;
constexpr int kMinSideBarWidth = 60;
constexpr int kMinPagesWidth = 120;

// A stored value, or nothing when it is missing or of the other type.
std::optional<int> StoredInteger(const char* name) {
    try {
        const std::int32_t value = ReadRegInteger(name, INT32_MIN);
        if (value != INT32_MIN)
            return value;
    } catch (...) {
        ReportError("Tfm_Quillon3.FormCreate", name);
    }
    return std::nullopt;
}

// The work area of the monitor nearest the stored place, else the first.
std::optional<Gdk::Rectangle> WorkArea(std::optional<int> left, std::optional<int> top) {
    Glib::RefPtr<Gdk::Display> display = Gdk::Display::get_default();
    if (!display)
        return std::nullopt;
    Glib::RefPtr<Gdk::Monitor> monitor =
        left && top ? display->get_monitor_at_point(*left, *top) : display->get_primary_monitor();
    if (!monitor)
        monitor = display->get_monitor(0);
    if (!monitor)
        return std::nullopt;
    Gdk::Rectangle area;
    monitor->get_workarea(area);
    if (area.get_width() <= 0 || area.get_height() <= 0)
        return std::nullopt;
    return area;
}

// Returns the width the window gets.
int RestoreSize(Tfm_Quillon3& window, const Gdk::Rectangle& area, int width, int height) {
    width = std::clamp(width, std::min(kMinWidth, area.get_width()), area.get_width());
    height = std::clamp(height, std::min(kMinHeight, area.get_height()), area.get_height());
    window.set_default_size(width, height);
    window.resize(width, height);
    const std::optional<int> left = StoredInteger(kLeftValue);
    const std::optional<int> top = StoredInteger(kTopValue);
    if (!left || !top)
        return width;
    // Wholly on the screen, whatever screen the place was taken on.
    const int x = std::clamp(*left, area.get_x(), area.get_x() + area.get_width() - width);
    const int y = std::clamp(*top, area.get_y(), area.get_y() + area.get_height() - height);
    window.set_position(Gtk::WIN_POS_NONE);
    window.move(x, y);
    return width;
}

}  // namespace

void RestoreWindowPlacement(Tfm_Quillon3& window) {
    const std::optional<int> width = StoredInteger(kWidthValue);
    const std::optional<int> height = StoredInteger(kHeightValue);
    const std::optional<Gdk::Rectangle> area =
        WorkArea(StoredInteger(kLeftValue), StoredInteger(kTopValue));
    int shown_width = kMainWidth;
    if (width && height && *width > 0 && *height > 0 && area)
        shown_width = RestoreSize(window, *area, *width, *height);
    if (const std::optional<int> side = StoredInteger(kSideBarWidthValue)) {
        const int widest = std::max(kMinSideBarWidth, shown_width - kMinPagesWidth);
        window.SetSideBarWidth(std::clamp(*side, kMinSideBarWidth, widest));
    }
    if (StoredInteger(kMaximizedValue).value_or(0) == 1)
        window.maximize();
}

void StoreWindowPlacement(Tfm_Quillon3& window) {
    std::vector<std::pair<std::string, RegistryValue>> values;
    const Glib::RefPtr<Gdk::Window> surface = window.get_window();
    const Gdk::WindowState state = surface ? surface->get_state() : Gdk::WindowState(0);
    const bool full_screen = (state & Gdk::WINDOW_STATE_FULLSCREEN) != Gdk::WindowState(0);
    const bool maximized = (state & Gdk::WINDOW_STATE_MAXIMIZED) != Gdk::WindowState(0);
    // Full screen and maximised sizes are the screen's: the size to come
    // back to is the one stored before.
    if (!full_screen && !maximized) {
        int x = 0, y = 0, width = 0, height = 0;
        window.get_position(x, y);
        window.get_size(width, height);
        values.emplace_back(kLeftValue, x);
        values.emplace_back(kTopValue, y);
        values.emplace_back(kWidthValue, width);
        values.emplace_back(kHeightValue, height);
    }
    if (!full_screen)
        values.emplace_back(kMaximizedValue, maximized ? 1 : 0);
    if (window.SideBarShown())
        values.emplace_back(kSideBarWidthValue, window.SideBarWidth());
    try {
        WriteHkcuValues(SettingsKey(), values);
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.FormCloseQuery", e.what());
    }
}

}  // namespace q3::reader
