// The side bar's "目录" tab: the document's contents tree. Each node may
// carry the contents entry of the page it shows; the entries belong to the
// content server. The tree reads the document's contents arrays through a
// model of its own, made anew for every document.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/menu.h>
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

    // Shows the tree of sealed contents (null: an empty tree).
    void Show(std::shared_ptr<const TContentsData> data);
    void Clear() { Show(nullptr); }
    // The contents shown, or null.
    const TContentsData* Data() const { return data_.get(); }
    size_t NodeCount() const { return data_ ? data_->outline.NodeCount() : 0; }

    // Selects a node and scrolls it into view, first expanding its parents:
    // a row inside a collapsed parent cannot be selected. False when the
    // tree lacks the node.
    bool SelectNode(server::NodeId node);
    bool IsSelected(server::NodeId node);
    // The selected node, kNoNode for none; its entry, null for none.
    server::NodeId SelectedNode();
    server::ContentsEntry* SelectedEntry();
    void ExpandAll();
    void CollapseAll();
    // The menu the right button and the menu key open over the tree.
    void SetMenu(Gtk::Menu& menu);
    // Where the keys go when the tab is entered.
    Gtk::Widget& FirstControl() { return contents_tree_; }

    // A node clicked or activated: the window shows its page.
    sigc::signal<void()>& SignalNodeClicked() { return node_clicked_; }

    // The tree model's columns.
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

  private:
    void SetUpColumns();
    void FitWidth();
    void WireClicks();
    Gtk::TreeIter NodeRow(server::NodeId node) const;
    // The image index of a node by the contents rule: 0 collapsed parent,
    // 1 expanded parent, 2 leaf.
    int NodeImageIndex(const Gtk::TreeIter& row);

    const Columns columns_;
    Gtk::TreeView contents_tree_;  // tv_dirlist
    // What the tree shows: the open document's tree, or no rows.
    Glib::RefPtr<Gtk::TreeModel> model_;
    Gtk::ScrolledWindow scroll_;
    Gtk::Menu* menu_ = nullptr;
    std::shared_ptr<const TContentsData> data_;
    sigc::signal<void()> node_clicked_;
};

}  // namespace q3::reader
