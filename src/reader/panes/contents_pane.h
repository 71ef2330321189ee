// The side bar's "目录" tab: the document's contents tree. Each
// node may carry the contents entry of the page it shows; the entries belong
// to the content server.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treestore.h>
#include <gtkmm/treeview.h>
#include <string>
#include <vector>

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
    Glib::RefPtr<Gtk::TreeStore> store;

    void Clear();
    // Appends a node (GBK caption) under parent (kNoNode: a root) and returns its id.
    server::NodeId AddNode(server::NodeId parent, std::string_view gbk_caption);
    void AttachEntry(server::NodeId node, server::ContentsEntry* entry);
    std::string NodeCaption(server::NodeId node) const;  // GBK
    Gtk::TreeIter NodeRow(server::NodeId node) const;
    size_t NodeCount() const { return rows_.size(); }

    // The image index of a node by the contents rule: 0 collapsed parent,
    // 1 expanded parent, 2 leaf.
    int NodeImageIndex(const Gtk::TreeIter& row);

  private:
    void SetUpColumns();

    Gtk::ScrolledWindow scroll_;
    std::vector<Gtk::TreeIter> rows_;
    std::vector<std::string> captions_;
};

}  // namespace q3::reader
