// Gives a control the program's icon list: each row of its model carries an
// icon list index, and the control shows that icon before the row's text.
#pragma once

#include <gtkmm/celllayout.h>
#include <gtkmm/cellrendererpixbuf.h>
#include <gtkmm/combobox.h>
#include <gtkmm/treemodelcolumn.h>
#include <gtkmm/treeview.h>

namespace q3::icons {

// Packs an icon cell first into layout, drawing the icon of index_column at
// size_index (kLargeIcon, kSmallIcon, kOpenIcon). Returns the cell.
Gtk::CellRendererPixbuf* AttachSystemImageList(Gtk::CellLayout& layout,
                                               const Gtk::TreeModelColumn<int>& index_column,
                                               int size_index);

// The address box: small icons in its list.
Gtk::CellRendererPixbuf* AttachSystemImageList(Gtk::ComboBox& combo,
                                               const Gtk::TreeModelColumn<int>& index_column,
                                               int size_index);

// Tree and list views: the icon goes into the first column (made when the
// view has none). A list view shows large icons for size index 0.
Gtk::CellRendererPixbuf* AttachSystemImageList(Gtk::TreeView& view,
                                               const Gtk::TreeModelColumn<int>& index_column,
                                               int size_index);

}  // namespace q3::icons
