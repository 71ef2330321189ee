// The side bar's "索引" tab: the key edit, the show button and the
// alphabetic index. The list reads the document's index, sorted once, through
// a model of its own, made anew for every document.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treemodel.h>
#include <gtkmm/treeview.h>

#include <memory>
#include <optional>
#include <string>

#include "reader/panes/contents_data.h"
#include "server/contents_entry.h"

namespace q3::reader {

class TIndexPane : public Gtk::Box {
  public:
    TIndexPane();

    // Lists the index of sealed contents (null: an empty list).
    void Show(std::shared_ptr<const TContentsData> data);
    void Clear() { Show(nullptr); }
    // Gives the list its rows now, if it has not got them yet.
    void EnsureListed();
    size_t ItemCount() const { return data_ ? data_->index.Size() : 0; }

    // The first row whose text begins with the UTF-8 prefix in any letter
    // case; nothing when none does or the prefix has a character the
    // document's code page lacks.
    std::optional<size_t> FindPrefix(const std::string& utf8_prefix) const;
    // A key released in a box the index answers to: Enter shows the selected
    // item, any other key selects the first item the key box's text begins.
    void KeyReleased(const GdkEventKey* event);
    // The selected item's entry goes out to be shown.
    void ShowSelected();
    Gtk::Widget& FirstControl() { return index_key_edit_; }

    // An item chosen (double-click, Enter, the show button).
    sigc::signal<void(server::ContentsEntry*)>& SignalEntryChosen() { return entry_chosen_; }

    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(text);
            add(entry);
        }
        Gtk::TreeModelColumn<Glib::ustring> text;  // UTF-8
        Gtk::TreeModelColumn<server::ContentsEntry*> entry;
    };

  private:
    void FitWidth();
    void WireControls();
    // Selects and reveals a row of the list.
    void SelectItem(size_t row);

    const Columns columns_;
    Gtk::Label index_key_label_;     // "输入关键字："
    Gtk::Entry index_key_edit_;      // lbledt_IndexKey
    Gtk::Button show_index_button_;  // btn_SearchIndexKey, "显示"
    Gtk::TreeView index_list_;       // lst_Indexs
    Gtk::Box key_row_;
    Gtk::ScrolledWindow scroll_;
    // The open document's index in index order, or no rows. The list shows
    // it from when it is first looked at: a list view spends time and memory
    // on every row it is given.
    Glib::RefPtr<Gtk::TreeModel> model_;
    std::shared_ptr<const TContentsData> data_;
    // What the list shows until it is looked at.
    Glib::RefPtr<Gtk::TreeModel> no_rows_;
    bool listed_ = false;
    sigc::signal<void(server::ContentsEntry*)> entry_chosen_;
};

}  // namespace q3::reader
