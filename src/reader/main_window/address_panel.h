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

namespace q3::reader {

class TAddressPanel : public Gtk::Box {
  public:
    TAddressPanel();

    struct UrlColumns : Gtk::TreeModelColumnRecord {
        UrlColumns() {
            add(text);
            add(image);
        }
        Gtk::TreeModelColumn<Glib::ustring> text;
        Gtk::TreeModelColumn<int> image;  // index into the program's icon list
    };
    const UrlColumns url_columns;

    Gtk::Label address_label;   // "地址 "
    Gtk::ComboBox address_box;  // cbb_url
    Glib::RefPtr<Gtk::ListStore> url_store;
    Gtk::Button go_button;                                // btn4, "转到"
    Gtk::ComboBoxText search_word_box;                    // cbb_Key
    Gtk::Toolbar search_tool_bar;                         // tlb3
    Gtk::MenuToolButton search_button;                    // btn_PageSearch, "搜索"
    Gtk::Menu search_mode_menu;                           // pm_search
    Gtk::RadioMenuItem* page_search_item = nullptr;       // mniPage, "页面搜索"
    Gtk::RadioMenuItem* full_text_search_item = nullptr;  // mni_FullSearch, "全文搜索"
    Gtk::RadioMenuItem* google_search_item = nullptr;     // mniGoolge, "Goolge搜索"
    Gtk::RadioMenuItem* bing_search_item = nullptr;       // mniBing1, "Bing搜索"
    Gtk::RadioMenuItem* baidu_search_item = nullptr;      // mniBaidu1, "Baidu搜索"
    // btn_Test, hidden: a diagnostic view of a raw record, revealed by Ctrl+Alt+9.
    Gtk::Button test_button;

    Gtk::Entry& UrlEntry();
    Gtk::Entry& KeyEntry();

    // The address box's items, in list order.
    std::vector<std::string> UrlItems() const;
    void AddUrlItem(const std::string& text, int image);
    // The search word box's items, in list order.
    std::vector<std::string> KeyItems() const;
    void SetKeyItems(const std::vector<std::string>& words);

    // Enter in the address box, with the key's modifiers; the box shows
    // what is to be taken (an appended rest included).
    sigc::signal<void(GdkModifierType)>& SignalAddressEnter() { return address_enter_; }

  private:
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

    Glib::RefPtr<Gtk::EntryCompletion> completion_;
    sigc::signal<void(GdkModifierType)> address_enter_;
    sigc::connection append_pending_;
    bool appending_ = false;
};

}  // namespace q3::reader
