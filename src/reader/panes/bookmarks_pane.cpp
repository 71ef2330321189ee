#include "reader/panes/bookmarks_pane.h"

namespace q3::reader {

TBookmarksPane::TBookmarksPane()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 2),
      bookmarks_label("书签主题：    "),
      show_bookmark_button("显示"),
      delete_bookmark_button("删除"),
      subject_label("当前主题：    "),
      add_bookmark_button("添加"),
      list_buttons_(Gtk::ORIENTATION_HORIZONTAL, 2),
      add_row_(Gtk::ORIENTATION_HORIZONTAL, 2) {
    set_border_width(2);
    bookmarks_label.set_xalign(0);
    subject_label.set_xalign(0);
    subject_label.set_mnemonic_widget(subject_edit);
    show_bookmark_button.set_name("show_bookmark_button");
    delete_bookmark_button.set_name("delete_bookmark_button");
    add_bookmark_button.set_name("add_bookmark_button");
    subject_edit.set_name("subject_edit");

    store = Gtk::ListStore::create(columns);
    bookmark_list.set_name("bookmark_list");
    bookmark_list.set_model(store);
    bookmark_list.set_headers_visible(false);
    bookmark_list.set_enable_search(false);
    bookmark_list.append_column("", columns.name);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(bookmark_list);

    list_buttons_.pack_end(delete_bookmark_button, Gtk::PACK_SHRINK);
    list_buttons_.pack_end(show_bookmark_button, Gtk::PACK_SHRINK);
    add_row_.pack_start(subject_edit, Gtk::PACK_EXPAND_WIDGET);
    add_row_.pack_start(add_bookmark_button, Gtk::PACK_SHRINK);

    pack_start(bookmarks_label, Gtk::PACK_SHRINK);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
    pack_start(list_buttons_, Gtk::PACK_SHRINK);
    pack_start(subject_label, Gtk::PACK_SHRINK);
    pack_start(add_row_, Gtk::PACK_SHRINK);
}

}  // namespace q3::reader
