#include "reader/panes/search_pane.h"

namespace q3::reader {

TSearchPane::TSearchPane()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 2),
      lbl_FullSearchKey("输入关键字：    "),
      btn_SearchAll("搜索"),
      Button1("显示"),
      key_row_(Gtk::ORIENTATION_HORIZONTAL, 2) {
    set_border_width(2);
    lbl_FullSearchKey.set_xalign(0);
    lbl_FullSearchKey.set_mnemonic_widget(lbledt_FullSearchKey);
    lbledt_FullSearchKey.set_name("lbledt_FullSearchKey");
    btn_SearchAll.set_name("btn_SearchAll");
    Button1.set_name("Button1");
    key_row_.pack_start(lbledt_FullSearchKey, Gtk::PACK_EXPAND_WIDGET);
    key_row_.pack_start(btn_SearchAll, Gtk::PACK_SHRINK);

    store = Gtk::ListStore::create(columns);
    lst_search.set_name("lst_search");
    lst_search.set_model(store);
    lst_search.set_headers_visible(false);
    lst_search.set_enable_search(false);
    lst_search.append_column("", columns.text);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(lst_search);

    pack_start(lbl_FullSearchKey, Gtk::PACK_SHRINK);
    pack_start(key_row_, Gtk::PACK_SHRINK);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
    pack_start(Button1, Gtk::PACK_SHRINK);
}

}  // namespace q3::reader
