// The side bar's "强力推荐" tab: the tree of recommended resources
// on the web. It starts with two built-in links to the project's sites; the
// online service may later replace them by its feed. The feed reader fills it
// through the online core's tree model, of which this tree store is the
// window's implementation.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treestore.h>
#include <gtkmm/treeview.h>
#include <string_view>
#include <vector>

#include "online/resource_tree_model.h"

namespace q3::reader {

class TResourceTree : public Gtk::Box, public online::ResourceTreeModel {
  public:
    TResourceTree();

    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(caption);
            add(node);
        }
        Gtk::TreeModelColumn<Glib::ustring> caption;
        Gtk::TreeModelColumn<online::ResourceNodeId> node;  // into the entries
    };

    // The model the feed reader fills. The view is detached while it is
    // filled, so a long feed is not laid out node by node.
    void BeginUpdate() override;
    void EndUpdate() override;
    void Clear() override;
    online::ResourceNodeId AddNode(online::ResourceNodeId parent, std::string_view caption,
                                   const online::ResourceEntry& entry) override;
    void ExpandAll(online::ResourceNodeId node) override;

    // The entry of a row, null when it has none.
    const online::ResourceEntry* EntryOf(const Gtk::TreeIter& row) const;
    const online::ResourceEntry* SelectedEntry() const;

    // Expands the first root node (creation step 16).
    void ExpandFirstNode();
    Gtk::Widget& FirstControl() { return resource_tree_; }

    // A resource chosen: a click on the selected row's caption, or Enter.
    sigc::signal<void()>& SignalEntryChosen() { return entry_chosen_; }

  private:
    struct Node {
        Gtk::TreeIter row;  // tree store rows stay valid while they exist
        online::ResourceEntry entry;
    };

    void WireClicks();

    const Columns columns_;
    Gtk::TreeView resource_tree_;  // tv_Ebooks
    Glib::RefPtr<Gtk::TreeStore> store_;
    Gtk::ScrolledWindow scroll_;
    sigc::signal<void()> entry_chosen_;
    std::vector<Node> nodes_;  // node id n is nodes_[n - 1]
    int updating_ = 0;
    // Expansions asked for while the view was detached.
    std::vector<online::ResourceNodeId> pending_expand_;
};

}  // namespace q3::reader
