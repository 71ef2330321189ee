// The side bar's "全文搜索" tab: the word edit, the start/stop button, the
// result list and the show button. Results refer to entries of the content
// server.
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

    Gtk::Label search_key_label;  // "输入关键字："
    Gtk::Entry search_key_edit;   // lbledt_FullSearchKey
    // btn_SearchAll, "搜索". Its Tag is 1 while a search runs; setting it to
    // 0 asks the search to stop.
    Gtk::Button full_search_button;
    int full_search_button_tag = 0;
    Gtk::TreeView search_results;  // lst_search
    Glib::RefPtr<Gtk::ListStore> store;
    Gtk::Button show_result_button;  // Button1, "显示"

  private:
    Gtk::Box key_row_;
    Gtk::ScrolledWindow scroll_;
};

}  // namespace q3::reader
