// The side bar's "书签" tab: the bookmark list of the open document with its
// show, delete and add buttons and the current subject edit. The list is
// stored in the settings after every change, so it always matches the screen.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>

#include <functional>
#include <string>
#include <vector>

#include "reader/rules/bookmarks.h"

namespace q3::reader {

class TBookmarksPane : public Gtk::Box {
  public:
    // What the list needs of the window.
    struct Hooks {
        // The path of the open document (the contents tab's hint); its file
        // name names the stored list.
        std::function<std::string()> document_path;
        // Navigates the current browser; false when there is none.
        std::function<bool(const std::string& address)> navigate;
    };

    TBookmarksPane();

    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(name);
            add(address);
        }
        Gtk::TreeModelColumn<Glib::ustring> name;     // shown, at most 255 bytes in GBK
        Gtk::TreeModelColumn<Glib::ustring> address;  // the page it opens
    };
    const Columns columns;

    Gtk::Label bookmarks_label;   // "书签主题："
    Gtk::TreeView bookmark_list;  // lst_BookIndex
    Glib::RefPtr<Gtk::ListStore> store;
    Gtk::Button show_bookmark_button;    // btn5, "显示"
    Gtk::Button delete_bookmark_button;  // btn2, "删除"
    Gtk::Label subject_label;            // "当前主题："
    // lbledt_bookmark: its text is the subject to add, its hint the page address.
    Gtk::Entry subject_edit;
    Gtk::Button add_bookmark_button;  // btn3, "添加"

    void Connect(Hooks hooks);

    void ClearBookmarks();
    // Load appends the stored list of the open document; store replaces it
    // with the list shown.
    void SyncBookmarks(bool load);
    // btn3: the subject edit's text and hint as a new bookmark.
    void AddBookmark();
    // btn2: the selected bookmark.
    void DeleteBookmark();
    // btn5, double-click and Enter: the selected bookmark's page.
    void JumpToBookmark();
    std::vector<BookmarkRecord> Bookmarks() const;

  private:
    void Append(const BookmarkRecord& record);

    Gtk::ScrolledWindow scroll_;
    Gtk::Box list_buttons_;
    Gtk::Box add_row_;
    Hooks hooks_;
};

}  // namespace q3::reader
