#include "reader/main_window/address_panel.h"

namespace q3::reader {

TAddressPanel::TAddressPanel()
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 2),
      lbl_Addr("地址 "),
      cbb_url(true),
      btn4("转到"),
      cbb_Key(true),
      btn_Test("测试") {
    set_name("pnl_addr");
    get_style_context()->add_class("q3-panel");
    set_size_request(-1, 22);

    url_store = Gtk::ListStore::create(url_columns);
    cbb_url.set_name("cbb_url");
    cbb_url.set_model(url_store);
    cbb_url.set_entry_text_column(url_columns.text);
    // Typing suggests the matching history items and completes the first
    // one inline, as the address box did on its own platform.
    completion_ = Gtk::EntryCompletion::create();
    completion_->set_model(url_store);
    completion_->set_text_column(url_columns.text);
    completion_->set_inline_completion(true);
    completion_->set_popup_completion(true);
    completion_->set_minimum_key_length(1);
    UrlEntry().set_completion(completion_);

    btn4.set_name("btn4");
    btn4.set_tooltip_text("转到URL");

    cbb_Key.set_name("cbb_Key");
    KeyEntry().set_width_chars(12);

    BuildSearchMenu();
    btn_PageSearch.set_name("btn_PageSearch");
    btn_PageSearch.set_label("搜索");
    btn_PageSearch.set_icon_name("edit-find");
    // The tooltip goes on the item itself, where hovering anywhere shows it.
    static_cast<Gtk::Widget&>(btn_PageSearch).set_tooltip_text("搜索页面/全文搜索");
    btn_PageSearch.set_is_important(true);
    btn_PageSearch.set_menu(pm_search);
    tlb3.set_name("tlb3");
    tlb3.set_toolbar_style(Gtk::TOOLBAR_BOTH_HORIZ);
    tlb3.set_icon_size(Gtk::ICON_SIZE_MENU);
    tlb3.set_show_arrow(false);
    tlb3.append(btn_PageSearch);

    btn_Test.set_name("btn_Test");
    btn_Test.set_no_show_all(true);

    pack_start(lbl_Addr, Gtk::PACK_SHRINK);
    pack_start(cbb_url, Gtk::PACK_EXPAND_WIDGET);
    pack_start(btn4, Gtk::PACK_SHRINK);
    pack_start(btn_Test, Gtk::PACK_SHRINK);
    pack_start(cbb_Key, Gtk::PACK_SHRINK);
    pack_start(tlb3, Gtk::PACK_SHRINK);
}

void TAddressPanel::BuildSearchMenu() {
    Gtk::RadioMenuItem::Group group;
    const auto add = [&](const char* name, const char* caption) {
        auto* item = Gtk::manage(new Gtk::RadioMenuItem(group, caption));
        item->set_name(name);
        pm_search.append(*item);
        return item;
    };
    mniPage = add("mniPage", "页面搜索");
    mni_FullSearch = add("mni_FullSearch", "全文搜索");
    mniGoolge = add("mniGoolge", "Goolge搜索");
    mniBing1 = add("mniBing1", "Bing搜索");
    mniBaidu1 = add("mniBaidu1", "Baidu搜索");
    mniPage->set_active(true);
    pm_search.show_all();
}

Gtk::Entry& TAddressPanel::UrlEntry() {
    return *cbb_url.get_entry();
}
Gtk::Entry& TAddressPanel::KeyEntry() {
    return *cbb_Key.get_entry();
}

std::vector<std::string> TAddressPanel::UrlItems() const {
    std::vector<std::string> items;
    for (const Gtk::TreeRow& row : url_store->children()) {
        items.emplace_back(Glib::ustring(row[url_columns.text]));
    }
    return items;
}

void TAddressPanel::AddUrlItem(const std::string& text, int image) {
    Gtk::TreeRow row = *url_store->append();
    row[url_columns.text] = text;
    row[url_columns.image] = image;
}

std::vector<std::string> TAddressPanel::KeyItems() const {
    std::vector<std::string> items;
    auto model = const_cast<Gtk::ComboBoxText&>(cbb_Key).get_model();
    for (const Gtk::TreeRow& row : model->children()) {
        Glib::ustring text;
        row.get_value(0, text);
        items.emplace_back(text);
    }
    return items;
}

void TAddressPanel::SetKeyItems(const std::vector<std::string>& words) {
    cbb_Key.remove_all();
    for (const std::string& w : words)
        cbb_Key.append(w);
}

}  // namespace q3::reader
