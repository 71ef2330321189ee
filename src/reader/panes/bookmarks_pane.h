// The side bar's "书签" tab: the bookmark list of the open document with its
// show, delete and add buttons and the current subject edit.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>
#include <string>

namespace q3::reader {

class TBookmarksPane : public Gtk::Box {
  public:
    TBookmarksPane();

    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(name);
            add(address);
        }
        Gtk::TreeModelColumn<Glib::ustring> name;     // shown, at most 255 bytes
        Gtk::TreeModelColumn<Glib::ustring> address;  // the page it opens
    };
    const Columns columns;

    Gtk::Label bookmarks_label;   // "书签主题："
    Gtk::TreeView bookmark_list;  // lst_BookIndex
    Glib::RefPtr<Gtk::ListStore> store;
    Gtk::Button show_bookmark_button;    // btn5, "显示"
    Gtk::Button delete_bookmark_button;  // btn2, "删除"
    Gtk::Label subject_label;            // "当前主题："
    // lbledt_bookmark: its text is the subject to add, its hint the page address.
    Gtk::Entry subject_edit;
    Gtk::Button add_bookmark_button;  // btn3, "添加"

  private:
    Gtk::ScrolledWindow scroll_;
    Gtk::Box list_buttons_;
    Gtk::Box add_row_;
};

}  // namespace q3::reader
