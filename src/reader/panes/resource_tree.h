// The side bar's "强力推荐" tab: the tree of recommended resources
// on the web. It starts with two built-in links to the maker's sites; the
// online service may later replace them by its feed.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treestore.h>
#include <gtkmm/treeview.h>
#include <cstdint>
#include <string>
#include <vector>

namespace q3::reader {

// One resource of the tree, as a feed item describes it; texts are cut to
// their field sizes.
struct ResourceEntry {
    std::int32_t id = -1;
    std::int32_t pid = -1;
    std::string type;         // at most 48 characters
    std::string pubdate;      // at most 20
    std::string description;  // at most 48
    std::string title;        // at most 64; the node caption keeps it whole
    std::string link;         // at most 255
};

class TResourceTree : public Gtk::Box {
  public:
    TResourceTree();

    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(caption);
            add(index);
        }
        Gtk::TreeModelColumn<Glib::ustring> caption;
        Gtk::TreeModelColumn<int> index;  // into the entries, -1 for none
    };
    const Columns columns;

    Gtk::TreeView resource_tree;  // tv_Ebooks
    Glib::RefPtr<Gtk::TreeStore> store;

    // The two built-in links, the second shown expanded.
    void BuildResourceTree();
    // The tree rebuilt from feed items in feed order: each goes under the
    // first node, in tree order, whose id is its pid, else at the root.
    // captions are the items' full titles.
    void BuildResourceTree(const std::vector<ResourceEntry>& items,
                           const std::vector<std::string>& captions);

    // The entry of a row, null when it has none.
    const ResourceEntry* EntryOf(const Gtk::TreeIter& row) const;
    const ResourceEntry* SelectedEntry() const;

    // Expands the first root node (creation step 16).
    void ExpandFirstNode();

  private:
    Gtk::TreeIter AddNode(const Gtk::TreeIter* parent, const std::string& caption,
                          ResourceEntry entry);
    Gtk::TreeIter FindById(std::int32_t id) const;

    Gtk::ScrolledWindow scroll_;
    std::vector<ResourceEntry> entries_;
};

}  // namespace q3::reader
