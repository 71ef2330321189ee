#include "icons/attach_image_list.h"

#include <gtkmm/treeviewcolumn.h>

#include "icons/icon_list.h"

namespace q3::icons {

Gtk::CellRendererPixbuf* AttachSystemImageList(Gtk::CellLayout& layout,
                                               const Gtk::TreeModelColumn<int>& index_column,
                                               int size_index) {
    auto* cell = Gtk::manage(new Gtk::CellRendererPixbuf());
    const int pixels = IconPixels(size_index);
    cell->set_fixed_size(pixels, pixels);
    layout.pack_start(*cell, false);
    layout.reorder(*cell, 0);
    layout.set_cell_data_func(
        *cell, [cell, index_column, size_index](const Gtk::TreeModel::const_iterator& row) {
            const int index = row ? (*row)[index_column] : -1;
            cell->property_pixbuf() = IconList::Instance().Pixbuf(index, size_index);
        });
    return cell;
}

Gtk::CellRendererPixbuf* AttachSystemImageList(Gtk::ComboBox& combo,
                                               const Gtk::TreeModelColumn<int>& index_column,
                                               int size_index) {
    return AttachSystemImageList(static_cast<Gtk::CellLayout&>(combo), index_column, size_index);
}

Gtk::CellRendererPixbuf* AttachSystemImageList(Gtk::TreeView& view,
                                               const Gtk::TreeModelColumn<int>& index_column,
                                               int size_index) {
    Gtk::TreeViewColumn* column = view.get_column(0);
    if (column == nullptr) {
        view.append_column(*Gtk::manage(new Gtk::TreeViewColumn()));
        column = view.get_column(0);
    }
    return AttachSystemImageList(*column, index_column, size_index);
}

}  // namespace q3::icons
