// Lists of a hundred thousand rows without measuring each: every row gets
// the height of the first, and the one column the width of the widest of the
// longest captions. A view that measured every row would spend seconds of
// the main loop on it after the first page is shown.
#pragma once

#include <gtkmm/treeview.h>

#include <string>
#include <vector>

namespace q3::reader {

// A caption that may be the widest, with its depth in the tree (0 for a
// list or a root).
struct TCaptionWidth {
    std::string utf8;
    int depth = 0;
};

// Puts the view's only column into fixed sizing and the view into
// fixed-height mode; call once, after the column is added.
void UseFixedRows(Gtk::TreeView& view);

// Makes the column wide enough for the widest of the candidates, and at
// least as wide as the view.
void FitColumn(Gtk::TreeView& view, const std::vector<TCaptionWidth>& candidates);

// The indexes of the (up to) count largest costs, for picking candidates by
// their length in bytes: GBK spends two bytes on a character twice as wide.
std::vector<size_t> LargestCosts(const std::vector<uint32_t>& costs, size_t count);

}  // namespace q3::reader
