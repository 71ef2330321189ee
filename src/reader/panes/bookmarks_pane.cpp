#include "reader/panes/bookmarks_pane.h"

namespace q3::reader {

TBookmarksPane::TBookmarksPane()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 2),
      lbl_BookIndex("书签主题：    "),
      btn5("显示"),
      btn2("删除"),
      lbl_bookmark("当前主题：    "),
      btn3("添加"),
      list_buttons_(Gtk::ORIENTATION_HORIZONTAL, 2),
      add_row_(Gtk::ORIENTATION_HORIZONTAL, 2) {
    set_border_width(2);
    lbl_BookIndex.set_xalign(0);
    lbl_bookmark.set_xalign(0);
    lbl_bookmark.set_mnemonic_widget(lbledt_bookmark);
    btn5.set_name("btn5");
    btn2.set_name("btn2");
    btn3.set_name("btn3");
    lbledt_bookmark.set_name("lbledt_bookmark");

    store = Gtk::ListStore::create(columns);
    lst_BookIndex.set_name("lst_BookIndex");
    lst_BookIndex.set_model(store);
    lst_BookIndex.set_headers_visible(false);
    lst_BookIndex.set_enable_search(false);
    lst_BookIndex.append_column("", columns.name);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(lst_BookIndex);

    list_buttons_.pack_end(btn2, Gtk::PACK_SHRINK);
    list_buttons_.pack_end(btn5, Gtk::PACK_SHRINK);
    add_row_.pack_start(lbledt_bookmark, Gtk::PACK_EXPAND_WIDGET);
    add_row_.pack_start(btn3, Gtk::PACK_SHRINK);

    pack_start(lbl_BookIndex, Gtk::PACK_SHRINK);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
    pack_start(list_buttons_, Gtk::PACK_SHRINK);
    pack_start(lbl_bookmark, Gtk::PACK_SHRINK);
    pack_start(add_row_, Gtk::PACK_SHRINK);
}

}  // namespace q3::reader
