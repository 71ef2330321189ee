// The address panel pnl_addr beside the second tool bar: the address box
// cbb_url with its history and icons, the button "转到", the search word box
// cbb_Key and the search button with its mode menu pm_search.
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

    Gtk::Label lbl_Addr;
    Gtk::ComboBox cbb_url;
    Glib::RefPtr<Gtk::ListStore> url_store;
    Gtk::Button btn4;
    Gtk::ComboBoxText cbb_Key;
    Gtk::Toolbar tlb3;
    Gtk::MenuToolButton btn_PageSearch;
    Gtk::Menu pm_search;
    Gtk::RadioMenuItem* mniPage = nullptr;
    Gtk::RadioMenuItem* mni_FullSearch = nullptr;
    Gtk::RadioMenuItem* mniGoolge = nullptr;
    Gtk::RadioMenuItem* mniBing1 = nullptr;
    Gtk::RadioMenuItem* mniBaidu1 = nullptr;
    // Hidden: a diagnostic view of a raw record, revealed by Ctrl+Alt+9.
    Gtk::Button btn_Test;

    Gtk::Entry& UrlEntry();
    Gtk::Entry& KeyEntry();

    // The address box's items, in list order.
    std::vector<std::string> UrlItems() const;
    void AddUrlItem(const std::string& text, int image);
    // The search word box's items, in list order.
    std::vector<std::string> KeyItems() const;
    void SetKeyItems(const std::vector<std::string>& words);

  private:
    void BuildSearchMenu();

    Glib::RefPtr<Gtk::EntryCompletion> completion_;
};

}  // namespace q3::reader
