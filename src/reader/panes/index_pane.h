// The side bar's "索引" tab: the key edit, the show button and the
// alphabetic index.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>
#include <string>
#include <vector>

#include "server/contents_entry.h"

namespace q3::reader {

class TIndexPane : public Gtk::Box {
  public:
    TIndexPane();

    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(text);
            add(entry);
        }
        Gtk::TreeModelColumn<Glib::ustring> text;  // UTF-8
        Gtk::TreeModelColumn<server::ContentsEntry*> entry;
    };
    const Columns columns;

    Gtk::Label index_key_label;     // "输入关键字："
    Gtk::Entry index_key_edit;      // lbledt_IndexKey
    Gtk::Button show_index_button;  // btn_SearchIndexKey, "显示"
    Gtk::TreeView index_list;       // lst_Indexs
    Glib::RefPtr<Gtk::ListStore> store;

    void Clear();
    // Items are collected while an update runs and listed in index order
    // when it ends, as a sorted list box lists them.
    void BeginUpdate() { updating_ = true; }
    void AddItem(std::string_view gbk_caption, server::ContentsEntry* entry);
    void EndUpdate();
    size_t ItemCount() const { return store->children().size(); }

  private:
    struct Pending {
        std::string key;
        std::string caption;
        server::ContentsEntry* entry;
    };
    void Flush();

    Gtk::Box key_row_;
    Gtk::ScrolledWindow scroll_;
    std::vector<Pending> pending_;
    bool updating_ = false;
};

}  // namespace q3::reader
