#include "reader/panes/search_pane.h"

namespace q3::reader {

TSearchPane::TSearchPane()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 2),
      search_key_label("输入关键字：    "),
      full_search_button("搜索"),
      show_result_button("显示"),
      key_row_(Gtk::ORIENTATION_HORIZONTAL, 2) {
    set_border_width(2);
    search_key_label.set_xalign(0);
    search_key_label.set_mnemonic_widget(search_key_edit);
    search_key_edit.set_name("search_key_edit");
    full_search_button.set_name("full_search_button");
    show_result_button.set_name("show_result_button");
    key_row_.pack_start(search_key_edit, Gtk::PACK_EXPAND_WIDGET);
    key_row_.pack_start(full_search_button, Gtk::PACK_SHRINK);

    store = Gtk::ListStore::create(columns);
    search_results.set_name("search_results");
    search_results.set_model(store);
    search_results.set_headers_visible(false);
    search_results.set_enable_search(false);
    search_results.append_column("", columns.text);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(search_results);

    pack_start(search_key_label, Gtk::PACK_SHRINK);
    pack_start(key_row_, Gtk::PACK_SHRINK);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
    pack_start(show_result_button, Gtk::PACK_SHRINK);
}

}  // namespace q3::reader
