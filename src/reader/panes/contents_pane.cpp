#include "reader/panes/contents_pane.h"

#include "common/gbk.h"

namespace q3::reader {

namespace {

// The tree's caption colours: blue for the selected node, green for the others.
const Gdk::RGBA kSelectedText("#0000FF");
const Gdk::RGBA kOtherText("#008000");

const char* const kNodeIcons[] = {"folder", "folder-open", "text-x-generic"};

}  // namespace

TContentsPane::TContentsPane() : Gtk::Box(Gtk::ORIENTATION_VERTICAL) {
    store = Gtk::TreeStore::create(columns);
    contents_tree.set_name("contents_tree");
    contents_tree.set_model(store);
    contents_tree.set_headers_visible(false);
    contents_tree.set_enable_search(false);
    SetUpColumns();
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(contents_tree);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
}

void TContentsPane::SetUpColumns() {
    auto* column = Gtk::manage(new Gtk::TreeViewColumn());
    auto* icon = Gtk::manage(new Gtk::CellRendererPixbuf());
    auto* text = Gtk::manage(new Gtk::CellRendererText());
    column->pack_start(*icon, false);
    column->pack_start(*text, true);
    column->add_attribute(text->property_text(), columns.caption);
    column->set_cell_data_func(*icon, [this, icon](Gtk::CellRenderer*, const Gtk::TreeIter& row) {
        icon->property_icon_name() = kNodeIcons[NodeImageIndex(row)];
    });
    column->set_cell_data_func(*text, [this, text](Gtk::CellRenderer*, const Gtk::TreeIter& row) {
        const bool selected = contents_tree.get_selection()->is_selected(row);
        text->property_foreground_rgba() = selected ? kSelectedText : kOtherText;
    });
    contents_tree.append_column(*column);
}

int TContentsPane::NodeImageIndex(const Gtk::TreeIter& row) {
    if (row->children().empty())
        return 2;
    return contents_tree.row_expanded(store->get_path(row)) ? 1 : 0;
}

void TContentsPane::Clear() {
    store->clear();
    rows_.clear();
    captions_.clear();
}

server::NodeId TContentsPane::AddNode(server::NodeId parent, std::string_view gbk_caption) {
    Gtk::TreeIter row = parent == server::kNoNode || parent > rows_.size()
                            ? store->append()
                            : store->append(rows_[parent - 1]->children());
    rows_.push_back(row);
    captions_.emplace_back(gbk_caption);
    const auto id = static_cast<server::NodeId>(rows_.size());
    (*row)[columns.caption] = GbkToUtf8(gbk_caption);
    (*row)[columns.entry] = nullptr;
    (*row)[columns.node] = id;
    return id;
}

void TContentsPane::AttachEntry(server::NodeId node, server::ContentsEntry* entry) {
    if (node == server::kNoNode || node > rows_.size())
        return;
    (*rows_[node - 1])[columns.entry] = entry;
}

std::string TContentsPane::NodeCaption(server::NodeId node) const {
    if (node == server::kNoNode || node > captions_.size())
        return {};
    return captions_[node - 1];
}

Gtk::TreeIter TContentsPane::NodeRow(server::NodeId node) const {
    if (node == server::kNoNode || node > rows_.size())
        return {};
    return rows_[node - 1];
}

}  // namespace q3::reader
