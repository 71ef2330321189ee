// A tree model over rows that live elsewhere: the view asks for a row's
// children, parent and values, and a small source answers from its own
// arrays. Nothing is copied into the model, so a list of a hundred thousand
// items costs the view only the rows it shows. Rows are never changed or
// taken away while the model lives (new contents get a new model); a list
// may grow at its end, told to the views by RowsAppended.
#pragma once

#include <glib-object.h>
#include <gtkmm/treemodel.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace q3::reader {

class TRowSource {
  public:
    // A row is named by a handle, never 0: 0 stands for the root level.
    using Row = uintptr_t;

    virtual ~TRowSource() = default;
    virtual int ColumnCount() const = 0;
    virtual GType ColumnType(int column) const = 0;
    virtual bool ListOnly() const = 0;
    virtual size_t ChildCount(Row parent) const = 0;
    // 0 when n is out of range.
    virtual Row Child(Row parent, size_t n) const = 0;
    virtual Row Parent(Row row) const = 0;
    // The row's place among its siblings.
    virtual size_t Position(Row row) const = 0;
    // Fills value, already initialised to the column's type.
    virtual void Value(Row row, int column, GValue* value) const = 0;
};

// A flat list's source: rows 1 .. Size() in order, row n at position n - 1,
// with the columns of a column record; a subclass gives the size and values.
class TListRows : public TRowSource {
  public:
    explicit TListRows(const Gtk::TreeModelColumnRecord& columns)
        : types_(columns.types(), columns.types() + columns.size()) {}

    int ColumnCount() const override { return static_cast<int>(types_.size()); }
    GType ColumnType(int column) const override {
        return column >= 0 && static_cast<size_t>(column) < types_.size() ? types_[column]
                                                                          : G_TYPE_INVALID;
    }
    bool ListOnly() const override { return true; }
    size_t ChildCount(Row parent) const override { return parent == 0 ? Size() : 0; }
    Row Child(Row parent, size_t n) const override { return n < ChildCount(parent) ? n + 1 : 0; }
    Row Parent(Row) const override { return 0; }
    size_t Position(Row row) const override { return row - 1; }

  protected:
    virtual size_t Size() const = 0;

  private:
    std::vector<GType> types_;
};

// The model reading source; the model owns it.
Glib::RefPtr<Gtk::TreeModel> MakeRowsModel(std::unique_ptr<TRowSource> source);

// Tells the views of a list model that its source now holds count more rows
// at its end, from first on.
void RowsAppended(const Glib::RefPtr<Gtk::TreeModel>& model, size_t first, size_t count);

// The handle of the row iter points at, for the model MakeRowsModel made;
// 0 for an invalid iter.
TRowSource::Row RowOf(const Glib::RefPtr<Gtk::TreeModel>& model, const Gtk::TreeIter& iter);

}  // namespace q3::reader
