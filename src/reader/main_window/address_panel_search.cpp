// The address panel's search box: the word list, the search button with its
// mode menu, and which mode is checked.
#include <atkmm/object.h>

#include "common/translation.h"
#include "reader/main_window/address_panel.h"

namespace q3::reader {

namespace {

// The button that opens the mode menu, beside the button face.
GtkWidget* ArrowOf(Gtk::MenuToolButton& button) {
    GtkWidget* box = gtk_bin_get_child(GTK_BIN(button.gobj()));
    if (box == nullptr || !GTK_IS_CONTAINER(box))
        return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(box));
    GtkWidget* arrow = nullptr;
    for (GList* l = children; l != nullptr; l = l->next) {
        if (GTK_IS_MENU_BUTTON(l->data))
            arrow = GTK_WIDGET(l->data);
    }
    g_list_free(children);
    return arrow;
}

}  // namespace

void TAddressPanel::NameSearchControls() {
    // Names for the screen reader: the box has no label, the arrow only
    // the toolkit's English one.
    search_word_box_.get_accessible()->set_name(_("搜索关键字"));
    KeyEntry().get_accessible()->set_name(_("搜索关键字"));
    gtk_menu_tool_button_set_arrow_tooltip_text(search_button_.gobj(), _("搜索方式"));
    if (GtkWidget* arrow = ArrowOf(search_button_))
        atk_object_set_name(gtk_widget_get_accessible(arrow), _("搜索方式"));
}

void TAddressPanel::BuildSearchMenu() {
    Gtk::RadioMenuItem::Group group;
    const auto add = [&](const char* name, const char* caption, SearchMode mode) {
        auto* item = Gtk::manage(new Gtk::RadioMenuItem(group, caption));
        item->set_name(name);
        item->signal_toggled().connect([this, item, mode] {
            if (item->get_active())
                search_mode_ = mode;
        });
        search_mode_menu_.append(*item);
        return item;
    };
    page_search_item_ = add("page_search_item", _("页面搜索"), SearchMode::kPage);
    full_text_search_item_ = add("full_text_search_item", _("全文搜索"), SearchMode::kFullText);
    google_search_item_ = add("google_search_item", _("Goolge搜索"), SearchMode::kGoogle);
    bing_search_item_ = add("bing_search_item", _("Bing搜索"), SearchMode::kBing);
    baidu_search_item_ = add("baidu_search_item", _("Baidu搜索"), SearchMode::kBaidu);
    page_search_item_->set_active(true);
    search_mode_menu_.show_all();
}

Gtk::Entry& TAddressPanel::KeyEntry() {
    return *search_word_box_.get_entry();
}

std::string TAddressPanel::SearchWord() {
    return KeyEntry().get_text();
}

void TAddressPanel::AddKeyItem(const std::string& word) {
    search_word_box_.append(word);
}

SearchMode TAddressPanel::CheckedSearchMode() const {
    return search_mode_;
}

std::vector<std::string> TAddressPanel::KeyItems() const {
    std::vector<std::string> items;
    auto model = const_cast<Gtk::ComboBoxText&>(search_word_box_).get_model();
    for (const Gtk::TreeRow& row : model->children()) {
        Glib::ustring text;
        row.get_value(0, text);
        items.emplace_back(text);
    }
    return items;
}

void TAddressPanel::SetKeyItems(const std::vector<std::string>& words) {
    search_word_box_.remove_all();
    for (const std::string& w : words)
        search_word_box_.append(w);
}

}  // namespace q3::reader
