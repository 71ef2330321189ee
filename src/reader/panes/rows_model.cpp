#include "reader/panes/rows_model.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace q3::reader {
namespace {

struct Q3RowsModel {
    GObject parent;
    TRowSource* source;
    // Iterators of another model (or of an earlier one) carry another stamp.
    gint stamp;
};

struct Q3RowsModelClass {
    GObjectClass parent_class;
};

void q3_rows_model_tree_model_init(GtkTreeModelIface* iface);

G_DEFINE_TYPE_WITH_CODE(Q3RowsModel, q3_rows_model, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(GTK_TYPE_TREE_MODEL, q3_rows_model_tree_model_init))

Q3RowsModel* Self(GtkTreeModel* model) {
    return reinterpret_cast<Q3RowsModel*>(model);
}

const TRowSource& Source(GtkTreeModel* model) {
    return *Self(model)->source;
}

// The row an iterator of this model points at; 0 (the root level) for none.
TRowSource::Row RowAt(GtkTreeModel* model, GtkTreeIter* iter) {
    if (iter == nullptr || iter->stamp != Self(model)->stamp)
        return 0;
    return reinterpret_cast<TRowSource::Row>(iter->user_data);
}

// Points iter at row; an iterator at no row is all zero, as gtkmm's end
// iterators are.
gboolean Point(GtkTreeModel* model, GtkTreeIter* iter, TRowSource::Row row) {
    if (row == 0) {
        *iter = GtkTreeIter{};
        return FALSE;
    }
    iter->stamp = Self(model)->stamp;
    iter->user_data = reinterpret_cast<gpointer>(row);
    iter->user_data2 = nullptr;
    iter->user_data3 = nullptr;
    return TRUE;
}

void q3_rows_model_finalize(GObject* object) {
    delete reinterpret_cast<Q3RowsModel*>(object)->source;
    G_OBJECT_CLASS(q3_rows_model_parent_class)->finalize(object);
}

void q3_rows_model_class_init(Q3RowsModelClass* klass) {
    G_OBJECT_CLASS(klass)->finalize = q3_rows_model_finalize;
}

void q3_rows_model_init(Q3RowsModel* self) {
    static gint last_stamp = 0;
    self->source = nullptr;
    self->stamp = ++last_stamp == 0 ? ++last_stamp : last_stamp;
}

GtkTreeModelFlags GetFlags(GtkTreeModel* model) {
    const int list = Source(model).ListOnly() ? GTK_TREE_MODEL_LIST_ONLY : 0;
    return static_cast<GtkTreeModelFlags>(GTK_TREE_MODEL_ITERS_PERSIST | list);
}

gint GetNColumns(GtkTreeModel* model) {
    return Source(model).ColumnCount();
}

GType GetColumnType(GtkTreeModel* model, gint column) {
    return Source(model).ColumnType(column);
}

gboolean GetIter(GtkTreeModel* model, GtkTreeIter* iter, GtkTreePath* path) {
    gint depth = 0;
    const gint* indices = gtk_tree_path_get_indices_with_depth(path, &depth);
    TRowSource::Row row = 0;
    for (gint i = 0; i < depth; ++i) {
        if (indices[i] < 0)
            return Point(model, iter, 0);
        row = Source(model).Child(row, static_cast<size_t>(indices[i]));
        if (row == 0)
            break;
    }
    return Point(model, iter, depth == 0 ? 0 : row);
}

GtkTreePath* GetPath(GtkTreeModel* model, GtkTreeIter* iter) {
    std::vector<gint> indices;
    for (TRowSource::Row row = RowAt(model, iter); row != 0; row = Source(model).Parent(row))
        indices.push_back(static_cast<gint>(Source(model).Position(row)));
    std::reverse(indices.begin(), indices.end());
    return gtk_tree_path_new_from_indicesv(indices.data(), indices.size());
}

void GetValue(GtkTreeModel* model, GtkTreeIter* iter, gint column, GValue* value) {
    g_value_init(value, Source(model).ColumnType(column));
    const TRowSource::Row row = RowAt(model, iter);
    if (row != 0)
        Source(model).Value(row, column, value);
}

gboolean IterNext(GtkTreeModel* model, GtkTreeIter* iter) {
    const TRowSource::Row row = RowAt(model, iter);
    if (row == 0)
        return Point(model, iter, 0);
    const TRowSource& source = Source(model);
    return Point(model, iter, source.Child(source.Parent(row), source.Position(row) + 1));
}

gboolean IterPrevious(GtkTreeModel* model, GtkTreeIter* iter) {
    const TRowSource::Row row = RowAt(model, iter);
    const TRowSource& source = Source(model);
    if (row == 0 || source.Position(row) == 0)
        return Point(model, iter, 0);
    return Point(model, iter, source.Child(source.Parent(row), source.Position(row) - 1));
}

gboolean IterNthChild(GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* parent, gint n) {
    if (n < 0 || (parent != nullptr && RowAt(model, parent) == 0))
        return Point(model, iter, 0);
    return Point(model, iter, Source(model).Child(RowAt(model, parent), static_cast<size_t>(n)));
}

gboolean IterChildren(GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* parent) {
    return IterNthChild(model, iter, parent, 0);
}

gint IterNChildren(GtkTreeModel* model, GtkTreeIter* iter) {
    if (iter != nullptr && RowAt(model, iter) == 0)
        return 0;
    const size_t count = Source(model).ChildCount(RowAt(model, iter));
    return static_cast<gint>(std::min<size_t>(count, INT_MAX));
}

gboolean IterHasChild(GtkTreeModel* model, GtkTreeIter* iter) {
    return RowAt(model, iter) != 0 && IterNChildren(model, iter) > 0;
}

gboolean IterParent(GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* child) {
    const TRowSource::Row row = RowAt(model, child);
    return Point(model, iter, row == 0 ? 0 : Source(model).Parent(row));
}

void q3_rows_model_tree_model_init(GtkTreeModelIface* iface) {
    iface->get_flags = GetFlags;
    iface->get_n_columns = GetNColumns;
    iface->get_column_type = GetColumnType;
    iface->get_iter = GetIter;
    iface->get_path = GetPath;
    iface->get_value = GetValue;
    iface->iter_next = IterNext;
    iface->iter_previous = IterPrevious;
    iface->iter_children = IterChildren;
    iface->iter_has_child = IterHasChild;
    iface->iter_n_children = IterNChildren;
    iface->iter_nth_child = IterNthChild;
    iface->iter_parent = IterParent;
}

}  // namespace

Glib::RefPtr<Gtk::TreeModel> MakeRowsModel(std::unique_ptr<TRowSource> source) {
    auto* model = static_cast<Q3RowsModel*>(g_object_new(q3_rows_model_get_type(), nullptr));
    model->source = source.release();
    // The wrapper takes over the one reference g_object_new gave.
    return Glib::wrap(GTK_TREE_MODEL(model), false);
}

void RowsAppended(const Glib::RefPtr<Gtk::TreeModel>& model, size_t first, size_t count) {
    if (!model || !G_TYPE_CHECK_INSTANCE_TYPE(model->gobj(), q3_rows_model_get_type()))
        return;
    GtkTreeModel* tree = model->gobj();
    const TRowSource& source = Source(tree);
    // One path, moved along: a fresh one per row showed in a long search.
    GtkTreePath* path = gtk_tree_path_new_from_indices(static_cast<gint>(first), -1);
    for (size_t i = 0; i < count; ++i) {
        GtkTreeIter iter;
        if (!Point(tree, &iter, source.Child(0, first + i)))
            break;
        gtk_tree_model_row_inserted(tree, path, &iter);
        gtk_tree_path_next(path);
    }
    gtk_tree_path_free(path);
}

TRowSource::Row RowOf(const Glib::RefPtr<Gtk::TreeModel>& model, const Gtk::TreeIter& iter) {
    if (!model || !iter || !G_TYPE_CHECK_INSTANCE_TYPE(model->gobj(), q3_rows_model_get_type()))
        return 0;
    return RowAt(model->gobj(), const_cast<GtkTreeIter*>(iter.gobj()));
}

}  // namespace q3::reader
