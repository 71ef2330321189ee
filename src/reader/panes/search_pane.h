// The side bar's "全文搜索" tab: the word edit lbledt_FullSearchKey, the
// start/stop button btn_SearchAll, the result list lst_search and the show
// button Button1. Results refer to entries of the content server.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>

#include "server/contents_entry.h"

namespace q3::reader {

class TSearchPane : public Gtk::Box {
  public:
    TSearchPane();

    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(text);
            add(entry);
        }
        Gtk::TreeModelColumn<Glib::ustring> text;
        Gtk::TreeModelColumn<server::ContentsEntry*> entry;
    };
    const Columns columns;

    Gtk::Label lbl_FullSearchKey;
    Gtk::Entry lbledt_FullSearchKey;
    // Tag 1 while a search runs; setting it to 0 asks the search to stop.
    Gtk::Button btn_SearchAll;
    int btn_SearchAllTag = 0;
    Gtk::TreeView lst_search;
    Glib::RefPtr<Gtk::ListStore> store;
    Gtk::Button Button1;

  private:
    Gtk::Box key_row_;
    Gtk::ScrolledWindow scroll_;
};

}  // namespace q3::reader
