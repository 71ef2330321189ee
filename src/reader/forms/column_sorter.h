// Sorting of list views by a clicked column header, with an arrow at the
// right of that header. A list view here is a tree view over a list store
// whose column n shows the store's text column n (column 0 is the caption).
#pragma once

#include <gtkmm/treeview.h>

#include "reader/rules/column_compare.h"

namespace q3::reader {

// Tags, as the windows' controls carry them: 0 lets the window's base form
// give the control its shared behaviour.
void SetControlTag(Gtk::Widget& control, int tag);
int ControlTag(Gtk::Widget& control);

// A column's Tag tells the comparison what its texts are (kColumnNumbers,
// kColumnSizes, otherwise text).
void SetColumnTag(Gtk::TreeViewColumn& column, int tag);
int ColumnTag(Gtk::TreeViewColumn& column);

// A list view whose owner handles header clicks itself.
void MarkOwnColumnClick(Gtk::TreeView& list);
bool HasOwnColumnClick(Gtk::TreeView& list);

// Whether a control is a list view this sorter can order.
bool IsListView(Gtk::Widget& control);

// Makes every header of the list clickable and sort by ColumnSorter.
void AttachColumnSorter(Gtk::TreeView& list);

// The column-click behaviour: flips the column's direction, sorts the rows
// and moves the arrow to that column's header. Nothing for other controls.
void ColumnSorter(Gtk::Widget& control, int column);

// Shows image 0 (as compared) or 1 (reversed) at the right of a header, or
// clears it; bits are the header's text alignment (0: left).
void SetHeaderImage(Gtk::TreeView& list, int column, int image, bool shown, unsigned bits);

// The image a header shows, -1 for none; the sort state of a list, null
// before its first sort.
int HeaderImage(Gtk::TreeView& list, int column);
const SortState* FindSortState(Gtk::TreeView& list);

}  // namespace q3::reader
