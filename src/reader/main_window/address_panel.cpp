#include "reader/main_window/address_panel.h"

namespace q3::reader {

TAddressPanel::TAddressPanel()
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 2),
      address_label("地址 "),
      address_box(true),
      go_button("转到"),
      search_word_box(true),
      test_button("测试") {
    set_name("address_panel");
    get_style_context()->add_class("q3-panel");
    set_size_request(-1, 22);

    url_store = Gtk::ListStore::create(url_columns);
    address_box.set_name("address_box");
    address_box.set_model(url_store);
    address_box.set_entry_text_column(url_columns.text);
    // Typing suggests the matching history items and completes the first
    // one inline, as the address box did on its own platform.
    completion_ = Gtk::EntryCompletion::create();
    completion_->set_model(url_store);
    completion_->set_text_column(url_columns.text);
    completion_->set_inline_completion(true);
    completion_->set_popup_completion(true);
    completion_->set_minimum_key_length(1);
    UrlEntry().set_completion(completion_);

    go_button.set_name("go_button");
    go_button.set_tooltip_text("转到URL");

    search_word_box.set_name("search_word_box");
    KeyEntry().set_width_chars(12);

    BuildSearchMenu();
    search_button.set_name("search_button");
    search_button.set_label("搜索");
    search_button.set_icon_name("edit-find");
    // The tooltip goes on the item itself, where hovering anywhere shows it.
    static_cast<Gtk::Widget&>(search_button).set_tooltip_text("搜索页面/全文搜索");
    search_button.set_is_important(true);
    search_button.set_menu(search_mode_menu);
    search_tool_bar.set_name("search_tool_bar");
    search_tool_bar.set_toolbar_style(Gtk::TOOLBAR_BOTH_HORIZ);
    search_tool_bar.set_icon_size(Gtk::ICON_SIZE_MENU);
    search_tool_bar.set_show_arrow(false);
    search_tool_bar.append(search_button);

    test_button.set_name("test_button");
    test_button.set_no_show_all(true);

    pack_start(address_label, Gtk::PACK_SHRINK);
    pack_start(address_box, Gtk::PACK_EXPAND_WIDGET);
    pack_start(go_button, Gtk::PACK_SHRINK);
    pack_start(test_button, Gtk::PACK_SHRINK);
    pack_start(search_word_box, Gtk::PACK_SHRINK);
    pack_start(search_tool_bar, Gtk::PACK_SHRINK);
}

void TAddressPanel::BuildSearchMenu() {
    Gtk::RadioMenuItem::Group group;
    const auto add = [&](const char* name, const char* caption) {
        auto* item = Gtk::manage(new Gtk::RadioMenuItem(group, caption));
        item->set_name(name);
        search_mode_menu.append(*item);
        return item;
    };
    page_search_item = add("page_search_item", "页面搜索");
    full_text_search_item = add("full_text_search_item", "全文搜索");
    google_search_item = add("google_search_item", "Goolge搜索");
    bing_search_item = add("bing_search_item", "Bing搜索");
    baidu_search_item = add("baidu_search_item", "Baidu搜索");
    page_search_item->set_active(true);
    search_mode_menu.show_all();
}

Gtk::Entry& TAddressPanel::UrlEntry() {
    return *address_box.get_entry();
}
Gtk::Entry& TAddressPanel::KeyEntry() {
    return *search_word_box.get_entry();
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
    auto model = const_cast<Gtk::ComboBoxText&>(search_word_box).get_model();
    for (const Gtk::TreeRow& row : model->children()) {
        Glib::ustring text;
        row.get_value(0, text);
        items.emplace_back(text);
    }
    return items;
}

void TAddressPanel::SetKeyItems(const std::vector<std::string>& words) {
    search_word_box.remove_all();
    for (const std::string& w : words)
        search_word_box.append(w);
}

}  // namespace q3::reader
