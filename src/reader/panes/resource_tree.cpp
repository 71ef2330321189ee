#include "reader/panes/resource_tree.h"
#include "common/translation.h"

#include <atkmm/object.h>

namespace q3::reader {

TResourceTree::TResourceTree() : Gtk::Box(Gtk::ORIENTATION_VERTICAL) {
    store = Gtk::TreeStore::create(columns);
    resource_tree.set_name("resource_tree");
    resource_tree.get_accessible()->set_name(_("强力推荐"));
    resource_tree.set_model(store);
    resource_tree.set_headers_visible(false);
    resource_tree.set_enable_search(false);
    auto* column = Gtk::manage(new Gtk::TreeViewColumn());
    auto* icon = Gtk::manage(new Gtk::CellRendererPixbuf());
    auto* text = Gtk::manage(new Gtk::CellRendererText());
    column->pack_start(*icon, false);
    column->pack_start(*text, true);
    column->add_attribute(text->property_text(), columns.caption);
    column->set_cell_data_func(*icon, [this, icon](Gtk::CellRenderer*, const Gtk::TreeIter& row) {
        const char* name = "text-html";
        if (!row->children().empty()) {
            name = resource_tree.row_expanded(store->get_path(row)) ? "folder-open" : "folder";
        }
        icon->property_icon_name() = name;
    });
    resource_tree.append_column(*column);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(resource_tree);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
}

void TResourceTree::BeginUpdate() {
    if (updating_++ == 0)
        resource_tree.unset_model();
}

void TResourceTree::EndUpdate() {
    if (updating_ == 0 || --updating_ != 0)
        return;
    resource_tree.set_model(store);
    for (online::ResourceNodeId node : pending_expand_)
        ExpandAll(node);
    pending_expand_.clear();
}

void TResourceTree::Clear() {
    store->clear();
    nodes_.clear();
    pending_expand_.clear();
}

online::ResourceNodeId TResourceTree::AddNode(online::ResourceNodeId parent,
                                              std::string_view caption,
                                              const online::ResourceEntry& entry) {
    Gtk::TreeIter row = parent != online::kNoResourceNode && parent <= nodes_.size()
                            ? store->append(nodes_[parent - 1].row->children())
                            : store->append();
    nodes_.push_back(Node{row, entry});
    const online::ResourceNodeId id = nodes_.size();
    (*row)[columns.caption] = Glib::ustring(std::string(caption));
    (*row)[columns.node] = id;
    return id;
}

void TResourceTree::ExpandAll(online::ResourceNodeId node) {
    if (node == online::kNoResourceNode || node > nodes_.size())
        return;
    if (updating_ > 0) {
        pending_expand_.push_back(node);
        return;
    }
    resource_tree.expand_row(store->get_path(nodes_[node - 1].row), true);
}

const online::ResourceEntry* TResourceTree::EntryOf(const Gtk::TreeIter& row) const {
    if (!row)
        return nullptr;
    const online::ResourceNodeId node = (*row)[columns.node];
    if (node == online::kNoResourceNode || node > nodes_.size())
        return nullptr;
    return &nodes_[node - 1].entry;
}

const online::ResourceEntry* TResourceTree::SelectedEntry() const {
    auto* self = const_cast<TResourceTree*>(this);
    return EntryOf(self->resource_tree.get_selection()->get_selected());
}

void TResourceTree::ExpandFirstNode() {
    Gtk::TreeIter first = store->children().begin();
    if (first)
        resource_tree.expand_row(store->get_path(first), false);
}

}  // namespace q3::reader
