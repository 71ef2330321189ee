#include "reader/panes/fixed_rows.h"

#include <gtkmm/cellrenderer.h>
#include <pangomm/layout.h>

#include <algorithm>
#include <numeric>

namespace q3::reader {

namespace {

// Room for the node icon and the padding of the two cells around the text.
constexpr int kCellExtras = 16 + 4 * 4;

}  // namespace

void UseFixedRows(Gtk::TreeView& view) {
    if (Gtk::TreeViewColumn* column = view.get_column(0))
        column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
    view.set_fixed_height_mode(true);
}

void FitColumn(Gtk::TreeView& view, const std::vector<TCaptionWidth>& candidates) {
    Gtk::TreeViewColumn* column = view.get_column(0);
    if (column == nullptr)
        return;
    gint expander = 0;
    gtk_widget_style_get(GTK_WIDGET(view.gobj()), "expander-size", &expander, nullptr);
    // Every level of a tree is indented by an expander's width, and the
    // first level already leaves room for one.
    const int indent = view.get_show_expanders() ? expander + 4 : 0;
    int width = 0;
    Glib::RefPtr<Pango::Layout> layout = view.create_pango_layout("");
    for (const TCaptionWidth& c : candidates) {
        layout->set_text(c.utf8);
        int text_width = 0, text_height = 0;
        layout->get_pixel_size(text_width, text_height);
        width = std::max(width, text_width + kCellExtras + indent * (c.depth + 1));
    }
    column->set_fixed_width(std::max(width, 1));
    column->set_expand(true);
}

std::vector<size_t> LargestCosts(const std::vector<uint32_t>& costs, size_t count) {
    std::vector<size_t> order(costs.size());
    std::iota(order.begin(), order.end(), size_t{0});
    count = std::min(count, order.size());
    std::nth_element(order.begin(), order.begin() + static_cast<ptrdiff_t>(count), order.end(),
                     [&](size_t a, size_t b) { return costs[a] > costs[b]; });
    order.resize(count);
    return order;
}

}  // namespace q3::reader
