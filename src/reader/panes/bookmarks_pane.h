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
    TBookmarksPane();

    // The open document, whose file name names the stored list; the list
    // shown is not touched.
    void SetDocument(const std::string& path) { document_path_ = path; }
    // The page shown: its address is what a new bookmark opens, its title
    // the subject proposed for it.
    void SetPageAddress(const std::string& address);
    void SetSubject(const std::string& title);

    void ClearBookmarks();
    // Load appends the stored list of the open document; store replaces it
    // with the list shown.
    void SyncBookmarks(bool load);
    // btn3: the subject and the page address as a new bookmark.
    void AddBookmark();
    // btn2: the selected bookmark.
    void DeleteBookmark();
    // btn5, double-click and Enter: the selected bookmark's page.
    void JumpToBookmark();
    std::vector<BookmarkRecord> Bookmarks() const;
    Gtk::Widget& FirstControl() { return bookmark_list_; }

    // A bookmark's page to be shown in the current browser.
    sigc::signal<void(const std::string&)>& SignalOpenAddress() { return open_address_; }
    // A key released in the subject box, which the index answers to.
    sigc::signal<void(const GdkEventKey*)>& SignalSubjectKeyReleased() {
        return subject_key_released_;
    }

    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(name);
            add(address);
        }
        Gtk::TreeModelColumn<Glib::ustring> name;     // shown, at most 255 bytes in GBK
        Gtk::TreeModelColumn<Glib::ustring> address;  // the page it opens
    };

  private:
    void Append(const BookmarkRecord& record);
    void WireControls();

    const Columns columns_;
    Gtk::Label bookmarks_label_;   // "书签主题："
    Gtk::TreeView bookmark_list_;  // lst_BookIndex
    Glib::RefPtr<Gtk::ListStore> store_;
    Gtk::Button show_bookmark_button_;    // btn5, "显示"
    Gtk::Button delete_bookmark_button_;  // btn2, "删除"
    Gtk::Label subject_label_;            // "当前主题："
    Gtk::Entry subject_edit_;             // lbledt_bookmark
    Gtk::Button add_bookmark_button_;     // btn3, "添加"
    Gtk::ScrolledWindow scroll_;
    Gtk::Box list_buttons_;
    Gtk::Box add_row_;
    std::string document_path_;
    // The page a new bookmark opens; the subject box's hint shows it.
    std::string page_address_;
    sigc::signal<void(const std::string&)> open_address_;
    sigc::signal<void(const GdkEventKey*)> subject_key_released_;
};

}  // namespace q3::reader
