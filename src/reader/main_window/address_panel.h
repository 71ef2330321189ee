// The address panel (pnl_addr) beside the tool bar: the address box with its
// history and icons, the button "转到", the search word box and the search
// button with its mode menu.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/combobox.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/entry.h>
#include <gtkmm/entrycompletion.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/menu.h>
#include <gtkmm/menutoolbutton.h>
#include <gtkmm/radiomenuitem.h>
#include <gtkmm/toolbar.h>
#include <string>
#include <vector>

#include "reader/rules/page_search.h"

namespace q3::reader {

class TAddressPanel : public Gtk::Box {
  public:
    TAddressPanel();

    // The address box's text.
    std::string Address();
    void SetAddress(const std::string& text);
    // The address box's items, in list order.
    std::vector<std::string> UrlItems() const;
    void AddUrlItem(const std::string& text, int image);
    void ClearUrlItems();
    // Shows an item as the box's choice without it counting as one.
    void SelectUrlItem(int index);
    // The items show the program's icons of a size of its icon list.
    void AttachIcons(int size_index);

    // The search box's text as typed.
    std::string SearchWord();
    // The search word box's items, in list order.
    std::vector<std::string> KeyItems() const;
    void SetKeyItems(const std::vector<std::string>& words);
    void AddKeyItem(const std::string& word);
    // The checked item of the search button's menu.
    SearchMode CheckedSearchMode() const;

    // Where the keys go when the address area is entered.
    Gtk::Widget& AddressControl();

    // Enter in the address box, with the key's modifiers; the box shows
    // what is to be taken (an appended rest included).
    sigc::signal<void(GdkModifierType)>& SignalAddressEnter() { return address_enter_; }
    // The go button, or an item chosen from the drop-down: the box's text.
    sigc::signal<void(const std::string&)>& SignalGo() { return go_; }
    // The search button, Enter in the search box, or a search mode chosen.
    sigc::signal<void()>& SignalSearch() { return search_; }
    // The diagnostic button, shown by Ctrl+Alt+9 in the address box.
    sigc::signal<void()>& SignalTestClicked() { return test_clicked_; }

  private:
    struct UrlColumns : Gtk::TreeModelColumnRecord {
        UrlColumns() {
            add(text);
            add(image);
        }
        Gtk::TreeModelColumn<Glib::ustring> text;
        Gtk::TreeModelColumn<int> image;  // index into the program's icon list
    };

    Gtk::Entry& UrlEntry();
    Gtk::Entry& KeyEntry();
    void WireControls();
    void NameSearchControls();
    void BuildSearchMenu();
    void BuildCompletion();
    bool AddressKeyPressed(GdkEventKey* event);
    // Whether the list of suggestions is open under the box.
    bool SuggestionsShown();
    // The list's own window, once the completion is set on the box.
    GtkWindow* SuggestionsWindow();
    // A click outside the open list closes it, and then reaches what was
    // clicked, as in a browser's address bar.
    bool SuggestionsEvent(GdkEvent* event);
    void AddressTextInserted();
    void AppendFromHistory();
    // The text the user typed: the box's text less an appended, selected rest.
    Glib::ustring TypedAddress();
    bool Suggests(const Gtk::TreeModel::const_iterator& row);

    const UrlColumns url_columns_;
    Gtk::Label address_label_;   // "地址 "
    Gtk::ComboBox address_box_;  // cbb_url
    Glib::RefPtr<Gtk::ListStore> url_store_;
    Gtk::Button go_button_;                                // btn4, "转到"
    Gtk::ComboBoxText search_word_box_;                    // cbb_Key
    Gtk::Toolbar search_tool_bar_;                         // tlb3
    Gtk::MenuToolButton search_button_;                    // btn_PageSearch, "搜索"
    Gtk::Menu search_mode_menu_;                           // pm_search
    Gtk::RadioMenuItem* page_search_item_ = nullptr;       // mniPage, "页面搜索"
    Gtk::RadioMenuItem* full_text_search_item_ = nullptr;  // mni_FullSearch, "全文搜索"
    Gtk::RadioMenuItem* google_search_item_ = nullptr;     // mniGoolge, "Goolge搜索"
    Gtk::RadioMenuItem* bing_search_item_ = nullptr;       // mniBing1, "Bing搜索"
    Gtk::RadioMenuItem* baidu_search_item_ = nullptr;      // mniBaidu1, "Baidu搜索"
    // btn_Test, hidden: a diagnostic view of a raw record, revealed by Ctrl+Alt+9.
    Gtk::Button test_button_;
    Glib::RefPtr<Gtk::EntryCompletion> completion_;
    sigc::signal<void(const std::string&)> go_;
    sigc::signal<void()> search_;
    sigc::signal<void()> test_clicked_;
    // The checked item's mode; the menu's check marks show it.
    SearchMode search_mode_ = SearchMode::kPage;
    // Set while the box's choice is made by the program, not the user.
    bool selecting_item_ = false;
    sigc::signal<void(GdkModifierType)> address_enter_;
    sigc::connection append_pending_;
    bool appending_ = false;
};

}  // namespace q3::reader
