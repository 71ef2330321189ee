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

    Gtk::Label lbl_BookIndex;
    Gtk::TreeView lst_BookIndex;
    Glib::RefPtr<Gtk::ListStore> store;
    Gtk::Button btn5;
    Gtk::Button btn2;
    Gtk::Label lbl_bookmark;
    // Its text is the subject to add, its hint the page address.
    Gtk::Entry lbledt_bookmark;
    Gtk::Button btn3;

  private:
    Gtk::ScrolledWindow scroll_;
    Gtk::Box list_buttons_;
    Gtk::Box add_row_;
};

}  // namespace q3::reader
