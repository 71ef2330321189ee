#include "icons/attach_image_list.h"

#include <gtest/gtest.h>
#include <gtkmm/combobox.h>
#include <gtkmm/liststore.h>
#include <gtkmm/treeview.h>

#include "icons/icon_list.h"

namespace q3::icons {
namespace {

struct Columns : Gtk::TreeModelColumnRecord {
    Columns() {
        add(icon);
        add(text);
    }
    Gtk::TreeModelColumn<int> icon;
    Gtk::TreeModelColumn<Glib::ustring> text;
};

class AttachTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store_ = Gtk::ListStore::create(columns_);
        folder_ = IconList::Instance().IndexOfThemed({"folder"});
        html_ = IconList::Instance().IndexOfThemed({"text-html", "text-x-generic"});
        AddRow(html_, "http://www.example.com/");
        AddRow(folder_, "/home/reader/Books");
        AddRow(-1, "no icon");
    }

    void AddRow(int icon, const char* text) {
        Gtk::TreeModel::Row row = *store_->append();
        row[columns_.icon] = icon;
        row[columns_.text] = text;
    }

    // What the cell would draw for row n of the model.
    Glib::RefPtr<Gdk::Pixbuf> Drawn(Gtk::CellLayout& layout, Gtk::CellRendererPixbuf* cell, int n) {
        auto iter = store_->children()[static_cast<unsigned>(n)];
        gtk_cell_area_apply_attributes(layout.get_area()->gobj(), GTK_TREE_MODEL(store_->gobj()),
                                       const_cast<GtkTreeIter*>(iter.get_gobject_if_not_end()),
                                       FALSE, FALSE);
        return cell->property_pixbuf().get_value();
    }

    Columns columns_;
    Glib::RefPtr<Gtk::ListStore> store_;
    int folder_ = -1;
    int html_ = -1;
};

TEST_F(AttachTest, AddressBoxShowsEachRowsSmallIconFirst) {
    Gtk::ComboBox combo(true);  // an address box: a list with an entry
    combo.set_model(store_);
    combo.set_entry_text_column(columns_.text);
    Gtk::CellRendererPixbuf* cell = AttachSystemImageList(combo, columns_.icon, kSmallIcon);
    ASSERT_NE(cell, nullptr);
    const std::vector<Gtk::CellRenderer*> cells = combo.get_cells();
    ASSERT_GE(cells.size(), 2u);
    EXPECT_EQ(cells[0], cell);

    EXPECT_EQ(Drawn(combo, cell, 0), IconList::Instance().Pixbuf(html_, kSmallIcon));
    EXPECT_EQ(Drawn(combo, cell, 1), IconList::Instance().Pixbuf(folder_, kSmallIcon));
    EXPECT_FALSE(Drawn(combo, cell, 2));
    EXPECT_EQ(Drawn(combo, cell, 0)->get_width(), 16);
}

TEST_F(AttachTest, ListViewWithoutColumnsGetsOneWithLargeIcons) {
    Gtk::TreeView view(store_);
    ASSERT_EQ(view.get_n_columns(), 0u);
    Gtk::CellRendererPixbuf* cell = AttachSystemImageList(view, columns_.icon, kLargeIcon);
    ASSERT_EQ(view.get_n_columns(), 1u);
    Gtk::TreeViewColumn* column = view.get_column(0);
    EXPECT_EQ(column->get_cells().at(0), cell);
    EXPECT_EQ(Drawn(*column, cell, 1)->get_width(), 32);
}

TEST_F(AttachTest, TreeViewIconGoesBeforeTheTextOfItsFirstColumn) {
    Gtk::TreeView view(store_);
    view.append_column("Name", columns_.text);
    Gtk::CellRendererPixbuf* cell = AttachSystemImageList(view, columns_.icon, kOpenIcon);
    Gtk::TreeViewColumn* column = view.get_column(0);
    const std::vector<Gtk::CellRenderer*> cells = column->get_cells();
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0], cell);
    EXPECT_EQ(Drawn(*column, cell, 1), IconList::Instance().Pixbuf(folder_, kOpenIcon));
}

}  // namespace
}  // namespace q3::icons
