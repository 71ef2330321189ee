// What a browser host decides without any toolkit: the display flags a host
// container reports, the style sheet that realises them on WebKit, and the
// kinds of context menu the engine asks about. Kept free of GTK so the rules
// are tested without a display.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace q3::browser {

// The host flag values, as the engine's host interface defines them.
inline constexpr uint32_t DOCHOSTUIFLAG_DIALOG = 0x01;
inline constexpr uint32_t DOCHOSTUIFLAG_NO3DBORDER = 0x04;
inline constexpr uint32_t DOCHOSTUIFLAG_SCROLL_NO = 0x08;
inline constexpr uint32_t DOCHOSTUIFLAG_FLAT_SCROLLBAR = 0x80;
inline constexpr uint32_t DOCHOSTUIFLAG_THEME = 0x40000;
inline constexpr uint32_t DOCHOSTUIFLAG_NOTHEME = 0x80000;

// Whether the application draws with a visual theme.
enum class ThemeState { kEnabled, kAvailableButOff, kUnavailable };

// The host information structure: its size, flags, double-click action and
// style sheet (UTF-8 here, where the engine took 16-bit text).
struct HostInfo {
    uint32_t cbSize = 0;
    uint32_t dwFlags = 0;
    uint32_t dwDoubleClick = 0;
    std::string css;
};
inline constexpr uint32_t kHostInfoSize = 20;

struct HostSwitches {
    bool show_scroll_bars = true;
    bool show_3d_border = false;
    bool allow_text_selection = true;
};

uint32_t ComputeHostFlags(const HostSwitches& switches, ThemeState theme);
HostInfo MakeHostInfo(const HostSwitches& switches, ThemeState theme, std::string_view host_css);

// The user style sheet that gives a page the effect of the flags on WebKit,
// followed by the host's own style sheet. Empty when nothing is to change.
std::string HostStyleSheet(uint32_t flags, std::string_view host_css);

// The engine's context menu kinds.
enum ContextMenuKind : uint32_t {
    CONTEXT_MENU_DEFAULT = 0,
    CONTEXT_MENU_IMAGE = 1,
    CONTEXT_MENU_CONTROL = 2,
    CONTEXT_MENU_TABLE = 3,
    CONTEXT_MENU_TEXTSELECT = 4,
    CONTEXT_MENU_ANCHOR = 5,
    CONTEXT_MENU_UNKNOWN = 6,
};

// What lies under the pointer when a context menu is asked for.
struct HitContext {
    bool link = false;
    bool image = false;
    bool media = false;
    bool editable = false;
    bool selection = false;
};

// The menu kind the engine would have reported: an editable field first,
// then a picture, a link, selected text, otherwise the page's default.
ContextMenuKind MenuKindOf(const HitContext& hit);

// The command numbers the windows send to a browser's page window.
inline constexpr int kCommandFind = 67;
inline constexpr int kCommandProperties = 28;
inline constexpr int kCommandViewSource = 2139;

// Flags of a navigation: a document page is neither read from nor written to
// the cache.
inline constexpr unsigned navNoReadFromCache = 4;
inline constexpr unsigned navNoWriteToCache = 8;

}  // namespace q3::browser
