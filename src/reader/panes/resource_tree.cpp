#include "reader/panes/resource_tree.h"

#include "reader/maker/addresses.h"

namespace q3::reader {

TResourceTree::TResourceTree() : Gtk::Box(Gtk::ORIENTATION_VERTICAL) {
    store = Gtk::TreeStore::create(columns);
    resource_tree.set_name("resource_tree");
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

Gtk::TreeIter TResourceTree::AddNode(const Gtk::TreeIter* parent, const std::string& caption,
                                     ResourceEntry entry) {
    Gtk::TreeIter row = parent != nullptr ? store->append((*parent)->children()) : store->append();
    entries_.push_back(std::move(entry));
    (*row)[columns.caption] = caption;
    (*row)[columns.index] = static_cast<int>(entries_.size() - 1);
    return row;
}

void TResourceTree::BuildResourceTree() {
    store->clear();
    entries_.clear();
    AddNode(nullptr, "Quillon", ResourceEntry{-1, -1, "", "", "", "Quillon", kMakerHomePage});
    Gtk::TreeIter share = AddNode(
        nullptr, "资源分享", ResourceEntry{-1, -1, "", "", "", "资源分享", kMakerResourceSite});
    resource_tree.expand_row(store->get_path(share), true);
}

Gtk::TreeIter TResourceTree::FindById(std::int32_t id) const {
    // Tree order: parents before children, siblings top to bottom.
    Gtk::TreeIter found;
    store->foreach_iter([&](const Gtk::TreeIter& row) {
        const int index = (*row)[columns.index];
        if (index >= 0 && entries_[static_cast<size_t>(index)].id == id) {
            found = row;
            return true;
        }
        return false;
    });
    return found;
}

void TResourceTree::BuildResourceTree(const std::vector<ResourceEntry>& items,
                                      const std::vector<std::string>& captions) {
    store->clear();
    entries_.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string& caption = i < captions.size() ? captions[i] : items[i].title;
        Gtk::TreeIter parent = FindById(items[i].pid);
        AddNode(parent ? &parent : nullptr, caption, items[i]);
    }
}

const ResourceEntry* TResourceTree::EntryOf(const Gtk::TreeIter& row) const {
    if (!row)
        return nullptr;
    const int index = (*row)[columns.index];
    if (index < 0 || static_cast<size_t>(index) >= entries_.size())
        return nullptr;
    return &entries_[static_cast<size_t>(index)];
}

const ResourceEntry* TResourceTree::SelectedEntry() const {
    auto* self = const_cast<TResourceTree*>(this);
    return EntryOf(self->resource_tree.get_selection()->get_selected());
}

void TResourceTree::ExpandFirstNode() {
    Gtk::TreeIter first = store->children().begin();
    if (first)
        resource_tree.expand_row(store->get_path(first), false);
}

}  // namespace q3::reader
