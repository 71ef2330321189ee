#include "reader/panes/contents_pane.h"

#include <atkmm/object.h>

#include "common/gbk.h"
#include "common/translation.h"
#include "reader/forms/context_menu.h"
#include "reader/panes/fixed_rows.h"
#include "reader/panes/rows_model.h"

namespace q3::reader {

namespace {

// The tree's caption colours: blue for the selected node, green for the others.
const Gdk::RGBA kSelectedText("#0000FF");
const Gdk::RGBA kOtherText("#008000");

const char* const kNodeIcons[] = {"folder", "folder-open", "text-x-generic"};

// How many of the longest captions are measured for the column's width.
constexpr size_t kWidthCandidates = 24;

// The tree's rows are the contents nodes: a row's handle is its node id.
class ContentsRows final : public TRowSource {
  public:
    ContentsRows(std::shared_ptr<const TContentsData> data, const TContentsPane::Columns& columns)
        : data_(std::move(data)),
          caption_(columns.caption.index()),
          entry_(columns.entry.index()),
          node_(columns.node.index()),
          types_(columns.types(), columns.types() + columns.size()) {}

    int ColumnCount() const override { return static_cast<int>(types_.size()); }
    GType ColumnType(int column) const override {
        return column >= 0 && static_cast<size_t>(column) < types_.size() ? types_[column]
                                                                          : G_TYPE_INVALID;
    }
    bool ListOnly() const override { return false; }
    size_t ChildCount(Row parent) const override {
        return data_ ? data_->outline.ChildCount(Node(parent)) : 0;
    }
    Row Child(Row parent, size_t n) const override {
        return data_ ? data_->outline.Child(Node(parent), n) : 0;
    }
    Row Parent(Row row) const override { return data_->outline.Parent(Node(row)); }
    size_t Position(Row row) const override { return data_->outline.Position(Node(row)); }
    void Value(Row row, int column, GValue* value) const override {
        const server::NodeId id = Node(row);
        if (column == caption_) {
            g_value_take_string(value, g_strdup(GbkToUtf8(data_->model.Caption(id)).c_str()));
        } else if (column == entry_) {
            g_value_set_pointer(value, data_->model.At(id).entry);
        } else if (column == node_) {
            g_value_set_uint(value, id);
        }
    }

  private:
    static server::NodeId Node(Row row) { return static_cast<server::NodeId>(row); }

    std::shared_ptr<const TContentsData> data_;
    int caption_, entry_, node_;
    std::vector<GType> types_;
};

}  // namespace

TContentsPane::TContentsPane() : Gtk::Box(Gtk::ORIENTATION_VERTICAL) {
    contents_tree_.set_name("contents_tree");
    contents_tree_.get_accessible()->set_name(_("目录"));
    contents_tree_.set_headers_visible(false);
    contents_tree_.set_enable_search(false);
    SetUpColumns();
    UseFixedRows(contents_tree_);
    Show(nullptr);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(contents_tree_);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
    WireClicks();
}

void TContentsPane::WireClicks() {
    PopUpOnRightPress(contents_tree_, menu_);
    contents_tree_.signal_popup_menu().connect([this] {
        if (menu_ == nullptr)
            return false;
        menu_->popup_at_widget(&contents_tree_, Gdk::GRAVITY_CENTER, Gdk::GRAVITY_NORTH_WEST,
                               nullptr);
        return true;
    });
    contents_tree_.signal_row_activated().connect(
        [this](const Gtk::TreePath&, Gtk::TreeViewColumn*) { node_clicked_.emit(); });
    contents_tree_.signal_button_release_event().connect([this](GdkEventButton* e) {
        if (e->button == 1)
            node_clicked_.emit();
        return false;
    });
}

void TContentsPane::SetMenu(Gtk::Menu& menu) {
    menu_ = &menu;
    menu.attach_to_widget(contents_tree_);
}

void TContentsPane::SetUpColumns() {
    auto* column = Gtk::manage(new Gtk::TreeViewColumn());
    auto* icon = Gtk::manage(new Gtk::CellRendererPixbuf());
    auto* text = Gtk::manage(new Gtk::CellRendererText());
    column->pack_start(*icon, false);
    column->pack_start(*text, true);
    column->add_attribute(text->property_text(), columns_.caption);
    column->set_cell_data_func(*icon, [this, icon](Gtk::CellRenderer*, const Gtk::TreeIter& row) {
        icon->property_icon_name() = kNodeIcons[NodeImageIndex(row)];
    });
    column->set_cell_data_func(*text, [this, text](Gtk::CellRenderer*, const Gtk::TreeIter& row) {
        const bool selected = contents_tree_.get_selection()->is_selected(row);
        text->property_foreground_rgba() = selected ? kSelectedText : kOtherText;
    });
    contents_tree_.append_column(*column);
}

void TContentsPane::Show(std::shared_ptr<const TContentsData> data) {
    data_ = std::move(data);
    model_ = MakeRowsModel(std::make_unique<ContentsRows>(data_, columns_));
    contents_tree_.set_model(model_);
    FitWidth();
}

void TContentsPane::FitWidth() {
    std::vector<TCaptionWidth> widest;
    if (data_) {
        const server::ContentsOutline& outline = data_->outline;
        // Depths level by level: a parent's is known before its children's.
        std::vector<uint32_t> depth(outline.NodeCount() + 1, 0);
        std::vector<server::NodeId> level;
        for (size_t n = 0; n < outline.ChildCount(server::kNoNode); ++n)
            level.push_back(outline.Child(server::kNoNode, n));
        for (size_t i = 0; i < level.size(); ++i) {
            for (size_t n = 0; n < outline.ChildCount(level[i]); ++n) {
                const server::NodeId child = outline.Child(level[i], n);
                depth[child] = depth[level[i]] + 1;
                level.push_back(child);
            }
        }
        // A caption's bytes plus room for its indentation, as a first guess
        // at its width; the best guesses are measured.
        std::vector<uint32_t> costs(outline.NodeCount());
        for (server::NodeId id = 1; id <= costs.size(); ++id)
            costs[id - 1] =
                static_cast<uint32_t>(data_->model.At(id).caption.size()) + 3 * depth[id];
        for (size_t i : LargestCosts(costs, kWidthCandidates)) {
            const auto id = static_cast<server::NodeId>(i + 1);
            widest.push_back({GbkToUtf8(data_->model.Caption(id)), static_cast<int>(depth[id])});
        }
    }
    FitColumn(contents_tree_, widest);
}

int TContentsPane::NodeImageIndex(const Gtk::TreeIter& row) {
    if (row->children().empty())
        return 2;
    return contents_tree_.row_expanded(model_->get_path(row)) ? 1 : 0;
}

Gtk::TreeIter TContentsPane::NodeRow(server::NodeId node) const {
    if (!data_ || !data_->outline.Valid(node))
        return {};
    Gtk::TreePath path;
    for (int at : data_->outline.PathOf(node))
        path.push_back(at);
    return model_->get_iter(path);
}

bool TContentsPane::SelectNode(server::NodeId node) {
    const Gtk::TreeIter row = NodeRow(node);
    if (!row)
        return false;
    const Gtk::TreePath path = model_->get_path(row);
    contents_tree_.expand_to_path(path);
    contents_tree_.get_selection()->select(row);
    contents_tree_.scroll_to_row(path);
    return true;
}

bool TContentsPane::IsSelected(server::NodeId node) {
    const Gtk::TreeIter row = NodeRow(node);
    return row && contents_tree_.get_selection()->is_selected(row);
}

server::NodeId TContentsPane::SelectedNode() {
    const Gtk::TreeIter row = contents_tree_.get_selection()->get_selected();
    return row ? static_cast<server::NodeId>(RowOf(model_, row)) : server::kNoNode;
}

server::ContentsEntry* TContentsPane::SelectedEntry() {
    const Gtk::TreeIter row = contents_tree_.get_selection()->get_selected();
    return row ? static_cast<server::ContentsEntry*>((*row)[columns_.entry]) : nullptr;
}

void TContentsPane::ExpandAll() {
    contents_tree_.expand_all();
}

void TContentsPane::CollapseAll() {
    contents_tree_.collapse_all();
}

}  // namespace q3::reader
