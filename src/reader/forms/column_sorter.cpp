#include "reader/forms/column_sorter.h"

#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>

namespace q3::reader {

namespace {

const char kTagKey[] = "q3-tag";
const char kOwnClickKey[] = "q3-own-column-click";
const char kHeaderImageKey[] = "q3-header-image";
const char kSortStateKey[] = "q3-sort-state";
const char kSorterKey[] = "q3-column-sorter";

// Tags are small integers kept in the object's data pointer.
void* TagData(int tag) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(tag));
}
int TagOf(void* data) {
    return static_cast<int>(reinterpret_cast<intptr_t>(data));
}

// The state lives with its list view, so a list that goes away takes its
// flags with it and a new list never inherits them.
SortState& SortStateOf(Gtk::TreeView& list) {
    if (auto* state = static_cast<SortState*>(list.get_data(kSortStateKey)))
        return *state;
    auto* state = new SortState(list.get_columns().size());
    list.set_data(kSortStateKey, state, [](void* p) { delete static_cast<SortState*>(p); });
    return *state;
}

std::string CellText(const Glib::RefPtr<Gtk::TreeModel>& model, const Gtk::TreeIter& row,
                     int column) {
    if (column < 0 || column >= model->get_n_columns() ||
        model->get_column_type(column) != G_TYPE_STRING) {
        return {};
    }
    gchar* text = nullptr;
    GtkTreeIter iter = *row.gobj();
    gtk_tree_model_get(const_cast<GtkTreeModel*>(model->gobj()), &iter, column, &text, -1);
    std::string result = text != nullptr ? text : "";
    g_free(text);
    return result;
}

// The header widget of a column: its title on the left, the arrow on the right.
Gtk::Image* HeaderArrow(Gtk::TreeViewColumn& column) {
    return static_cast<Gtk::Image*>(column.get_data(kHeaderImageKey));
}

void BuildHeader(Gtk::TreeViewColumn& column) {
    if (HeaderArrow(column) != nullptr)
        return;
    auto* box = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 2));
    auto* title = Gtk::manage(new Gtk::Label(column.get_title()));
    auto* arrow = Gtk::manage(new Gtk::Image());
    box->pack_start(*title, Gtk::PACK_SHRINK);
    box->pack_end(*arrow, Gtk::PACK_SHRINK);
    title->show();
    box->show();
    arrow->hide();
    column.set_widget(*box);
    column.set_data(kHeaderImageKey, arrow);
    arrow->set_data(kHeaderImageKey, TagData(-1));
}

}  // namespace

void SetControlTag(Gtk::Widget& control, int tag) {
    control.set_data(kTagKey, TagData(tag));
}
int ControlTag(Gtk::Widget& control) {
    return TagOf(control.get_data(kTagKey));
}

void SetColumnTag(Gtk::TreeViewColumn& column, int tag) {
    column.set_data(kTagKey, TagData(tag));
}
int ColumnTag(Gtk::TreeViewColumn& column) {
    return TagOf(column.get_data(kTagKey));
}

void MarkOwnColumnClick(Gtk::TreeView& list) {
    list.set_data(kOwnClickKey, TagData(1));
}
bool HasOwnColumnClick(Gtk::TreeView& list) {
    return list.get_data(kOwnClickKey) != nullptr;
}

bool IsListView(Gtk::Widget& control) {
    auto* list = dynamic_cast<Gtk::TreeView*>(&control);
    return list != nullptr && Glib::RefPtr<Gtk::ListStore>::cast_dynamic(list->get_model());
}

void AttachColumnSorter(Gtk::TreeView& list) {
    if (list.get_data(kSorterKey) != nullptr)
        return;
    list.set_data(kSorterKey, TagData(1));
    list.set_headers_clickable(true);
    std::vector<Gtk::TreeViewColumn*> columns = list.get_columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        BuildHeader(*columns[i]);
        columns[i]->set_clickable(true);
        columns[i]->signal_clicked().connect(
            [&list, i] { ColumnSorter(list, static_cast<int>(i)); });
    }
}

void ColumnSorter(Gtk::Widget& control, int column) {
    if (!IsListView(control))
        return;
    auto& list = static_cast<Gtk::TreeView&>(control);
    auto store = Glib::RefPtr<Gtk::ListStore>::cast_dynamic(list.get_model());
    SortState& state = SortStateOf(list);
    std::vector<Gtk::TreeViewColumn*> columns = list.get_columns();
    const bool known = column >= 0 && state.HasColumn(static_cast<size_t>(column));
    if (known)
        state.Flip(static_cast<size_t>(column));

    const int tag = column >= 0 && column < static_cast<int>(columns.size())
                        ? ColumnTag(*columns[static_cast<size_t>(column)])
                        : kColumnText;
    std::vector<std::string> texts;
    for (const Gtk::TreeRow& row : store->children()) {
        texts.push_back(CellText(store, row, column));
    }
    const std::vector<size_t> order =
        SortedRowOrder(texts, tag, known && state.Reversed(static_cast<size_t>(column)));
    std::vector<int> new_order(order.begin(), order.end());
    if (!new_order.empty())
        store->reorder(new_order);

    for (int c = static_cast<int>(columns.size()) - 1; c >= 0; --c) {
        SetHeaderImage(list, c, -1, false, 0);
    }
    if (known) {
        SetHeaderImage(list, column, state.Reversed(static_cast<size_t>(column)) ? 1 : 0, true, 0);
    }
}

void SetHeaderImage(Gtk::TreeView& list, int column, int image, bool shown, unsigned bits) {
    Gtk::TreeViewColumn* col = list.get_column(column);
    if (col == nullptr)
        return;
    BuildHeader(*col);
    Gtk::Image* arrow = HeaderArrow(*col);
    // Format bits: 0 left, 1 right, 2 centre, as header text alignment.
    col->set_alignment(bits == 1 ? 1.0f : (bits == 2 ? 0.5f : 0.0f));
    if (!shown) {
        arrow->clear();
        arrow->hide();
        arrow->set_data(kHeaderImageKey, TagData(-1));
        return;
    }
    arrow->set_from_icon_name(image == 0 ? "pan-up-symbolic" : "pan-down-symbolic",
                              Gtk::ICON_SIZE_MENU);
    arrow->show();
    arrow->set_data(kHeaderImageKey, TagData(image));
}

int HeaderImage(Gtk::TreeView& list, int column) {
    Gtk::TreeViewColumn* col = list.get_column(column);
    if (col == nullptr || HeaderArrow(*col) == nullptr)
        return -1;
    return TagOf(HeaderArrow(*col)->get_data(kHeaderImageKey));
}

const SortState* FindSortState(Gtk::TreeView& list) {
    return static_cast<const SortState*>(list.get_data(kSortStateKey));
}

}  // namespace q3::reader
