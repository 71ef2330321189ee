#include "reader/panes/resource_tree.h"

#include <atkmm/object.h>

#include "common/translation.h"
#include "reader/forms/list_keys.h"

namespace q3::reader {

namespace {

// A click on the caption of the selected row; a click on an expander or on
// the blank below the rows opens nothing.
bool ClickedSelectedRow(Gtk::TreeView& tree, const GdkEventButton& event) {
    Glib::RefPtr<Gdk::Window> rows = tree.get_bin_window();
    if (!rows || event.window != rows->gobj())
        return false;
    Gtk::TreePath path;
    Gtk::TreeViewColumn* column = nullptr;
    int cell_x = 0, cell_y = 0;
    if (!tree.get_path_at_pos(static_cast<int>(event.x), static_cast<int>(event.y), path, column,
                              cell_x, cell_y) ||
        column == nullptr) {
        return false;
    }
    Gdk::Rectangle cell;
    tree.get_cell_area(path, *column, cell);
    return event.x >= cell.get_x() && tree.get_selection()->is_selected(path);
}

bool CurrentEventIsKey() {
    GdkEvent* event = gtk_get_current_event();
    const bool key = event != nullptr && event->type == GDK_KEY_PRESS;
    if (event != nullptr)
        gdk_event_free(event);
    return key;
}

}  // namespace

TResourceTree::TResourceTree() : Gtk::Box(Gtk::ORIENTATION_VERTICAL) {
    store_ = Gtk::TreeStore::create(columns_);
    resource_tree_.set_name("resource_tree");
    resource_tree_.get_accessible()->set_name(_("强力推荐"));
    resource_tree_.set_model(store_);
    resource_tree_.set_headers_visible(false);
    resource_tree_.set_enable_search(false);
    auto* column = Gtk::manage(new Gtk::TreeViewColumn());
    auto* icon = Gtk::manage(new Gtk::CellRendererPixbuf());
    auto* text = Gtk::manage(new Gtk::CellRendererText());
    column->pack_start(*icon, false);
    column->pack_start(*text, true);
    column->add_attribute(text->property_text(), columns_.caption);
    column->set_cell_data_func(*icon, [this, icon](Gtk::CellRenderer*, const Gtk::TreeIter& row) {
        const char* name = "text-html";
        if (!row->children().empty()) {
            name = resource_tree_.row_expanded(store_->get_path(row)) ? "folder-open" : "folder";
        }
        icon->property_icon_name() = name;
    });
    resource_tree_.append_column(*column);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(resource_tree_);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
    WireClicks();
}

void TResourceTree::WireClicks() {
    resource_tree_.signal_button_release_event().connect([this](GdkEventButton* e) {
        if (e->button == 1 && ClickedSelectedRow(resource_tree_, *e))
            entry_chosen_.emit();
        return false;
    });
    // Enter on a row; a double click has opened the link with its clicks.
    resource_tree_.signal_row_activated().connect(
        [this](const Gtk::TreePath&, Gtk::TreeViewColumn*) {
            if (CurrentEventIsKey())
                entry_chosen_.emit();
        });
}

void TResourceTree::BeginUpdate() {
    if (updating_++ == 0)
        resource_tree_.unset_model();
}

void TResourceTree::EndUpdate() {
    if (updating_ == 0 || --updating_ != 0)
        return;
    resource_tree_.set_model(store_);
    for (online::ResourceNodeId node : pending_expand_)
        ExpandAll(node);
    pending_expand_.clear();
}

void TResourceTree::Clear() {
    store_->clear();
    nodes_.clear();
    pending_expand_.clear();
}

online::ResourceNodeId TResourceTree::AddNode(online::ResourceNodeId parent,
                                              std::string_view caption,
                                              const online::ResourceEntry& entry) {
    Gtk::TreeIter row = parent != online::kNoResourceNode && parent <= nodes_.size()
                            ? store_->append(nodes_[parent - 1].row->children())
                            : store_->append();
    nodes_.push_back(Node{row, entry});
    const online::ResourceNodeId id = nodes_.size();
    (*row)[columns_.caption] = Glib::ustring(std::string(caption));
    (*row)[columns_.node] = id;
    return id;
}

void TResourceTree::ExpandAll(online::ResourceNodeId node) {
    if (node == online::kNoResourceNode || node > nodes_.size())
        return;
    if (updating_ > 0) {
        pending_expand_.push_back(node);
        return;
    }
    resource_tree_.expand_row(store_->get_path(nodes_[node - 1].row), true);
}

const online::ResourceEntry* TResourceTree::EntryOf(const Gtk::TreeIter& row) const {
    if (!row)
        return nullptr;
    const online::ResourceNodeId node = (*row)[columns_.node];
    if (node == online::kNoResourceNode || node > nodes_.size())
        return nullptr;
    return &nodes_[node - 1].entry;
}

const online::ResourceEntry* TResourceTree::SelectedEntry() const {
    auto* self = const_cast<TResourceTree*>(this);
    return EntryOf(self->resource_tree_.get_selection()->get_selected());
}

void TResourceTree::ExpandFirstNode() {
    Gtk::TreeIter first = store_->children().begin();
    if (first)
        resource_tree_.expand_row(store_->get_path(first), false);
}

}  // namespace q3::reader
