#include "reader/main_window/status_bar.h"

#include <gtkmm/stylecontext.h>

namespace q3::reader {

TStatusBar::TStatusBar(const std::vector<int>& panel_widths)
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 4) {
    set_name("status_bar");
    get_style_context()->add_class("q3-panel");
    set_border_width(2);
    for (size_t i = 0; i < panel_widths.size(); ++i) {
        auto label = std::make_unique<Gtk::Label>();
        label->set_xalign(0);
        label->set_ellipsize(Pango::ELLIPSIZE_END);
        label->set_size_request(panel_widths[i], -1);
        const bool last = i + 1 == panel_widths.size();
        pack_start(*label, last ? Gtk::PACK_EXPAND_WIDGET : Gtk::PACK_SHRINK);
        panels_.push_back(std::move(label));
    }
}

std::string TStatusBar::PanelText(int index) const {
    if (index < 0 || index >= PanelCount())
        return {};
    return panels_[static_cast<size_t>(index)]->get_text();
}

void TStatusBar::SetStatusText(const std::string& text, int index) {
    if (index < 0 || index >= PanelCount())
        return;
    panels_[static_cast<size_t>(index)]->set_text(text);
}

}  // namespace q3::reader
