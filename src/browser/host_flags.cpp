#include "browser/host_flags.h"

namespace q3::browser {

uint32_t ComputeHostFlags(const HostSwitches& switches, ThemeState theme) {
    uint32_t flags = 0;
    if (!switches.show_scroll_bars)
        flags |= DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_FLAT_SCROLLBAR;
    flags |= DOCHOSTUIFLAG_FLAT_SCROLLBAR;
    if (!switches.show_3d_border)
        flags |= DOCHOSTUIFLAG_NO3DBORDER;
    if (!switches.allow_text_selection)
        flags |= DOCHOSTUIFLAG_DIALOG;
    if (theme == ThemeState::kEnabled) {
        flags |= DOCHOSTUIFLAG_THEME;
    } else if (theme == ThemeState::kAvailableButOff) {
        flags |= DOCHOSTUIFLAG_NOTHEME;
    }
    return flags;
}

HostInfo MakeHostInfo(const HostSwitches& switches, ThemeState theme, std::string_view host_css) {
    HostInfo info;
    info.cbSize = kHostInfoSize;
    info.dwFlags = ComputeHostFlags(switches, theme);
    info.dwDoubleClick = 0;
    info.css = std::string(host_css);
    return info;
}

std::string HostStyleSheet(uint32_t flags, std::string_view host_css) {
    std::string css;
    if ((flags & DOCHOSTUIFLAG_SCROLL_NO) != 0) {
        // No bars and nothing to scroll with: the page is cut at the view.
        css += "html, body { overflow: hidden !important; }\n";
        css += "::-webkit-scrollbar { display: none !important; }\n";
    }
    if ((flags & DOCHOSTUIFLAG_NO3DBORDER) == 0)
        css += "html { border: 2px inset; }\n";
    if ((flags & DOCHOSTUIFLAG_DIALOG) != 0) {
        css += "* { -webkit-user-select: none !important; user-select: none !important; }\n";
    }
    // Flat scroll bars and themed controls are what WebKit draws anyway.
    css.append(host_css);
    return css;
}

ContextMenuKind MenuKindOf(const HitContext& hit) {
    if (hit.editable)
        return CONTEXT_MENU_CONTROL;
    if (hit.image || hit.media)
        return CONTEXT_MENU_IMAGE;
    if (hit.link)
        return CONTEXT_MENU_ANCHOR;
    if (hit.selection)
        return CONTEXT_MENU_TEXTSELECT;
    return CONTEXT_MENU_DEFAULT;
}

}  // namespace q3::browser
