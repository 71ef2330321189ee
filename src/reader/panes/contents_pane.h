// The side bar's "目录" tab: the document's contents tree. Each node may
// carry the contents entry of the page it shows; the entries belong to the
// content server. The tree reads the document's contents arrays through a
// model of its own, made anew for every document.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treemodel.h>
#include <gtkmm/treeview.h>

#include <memory>
#include <string>

#include "reader/panes/contents_data.h"
#include "server/contents_entry.h"

namespace q3::reader {

class TContentsPane : public Gtk::Box {
  public:
    TContentsPane();

    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(caption);
            add(entry);
            add(node);
        }
        Gtk::TreeModelColumn<Glib::ustring> caption;  // UTF-8, as shown
        Gtk::TreeModelColumn<server::ContentsEntry*> entry;
        Gtk::TreeModelColumn<server::NodeId> node;
    };
    const Columns columns;

    Gtk::TreeView contents_tree;  // tv_dirlist
    // What contents_tree shows: the open document's tree, or no rows.
    Glib::RefPtr<Gtk::TreeModel> model;

    // Shows the tree of sealed contents (null: an empty tree).
    void Show(std::shared_ptr<const TContentsData> data);
    void Clear() { Show(nullptr); }
    // The contents shown, or null.
    const TContentsData* Data() const { return data_.get(); }
    size_t NodeCount() const { return data_ ? data_->outline.NodeCount() : 0; }

    // The row of a node, or an invalid iterator when the tree lacks it.
    Gtk::TreeIter NodeRow(server::NodeId node) const;
    // The node of a row; kNoNode for none.
    server::NodeId RowNode(const Gtk::TreeIter& row) const;
    // Selects a row and scrolls it into view, first expanding its parents:
    // a row inside a collapsed parent cannot be selected.
    void SelectRow(const Gtk::TreeIter& row);

    // The image index of a node by the contents rule: 0 collapsed parent,
    // 1 expanded parent, 2 leaf.
    int NodeImageIndex(const Gtk::TreeIter& row);

  private:
    void SetUpColumns();
    void FitWidth();

    Gtk::ScrolledWindow scroll_;
    std::shared_ptr<const TContentsData> data_;
};

}  // namespace q3::reader
