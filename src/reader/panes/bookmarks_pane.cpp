#include "reader/panes/bookmarks_pane.h"

#include <atkmm/object.h>

#include "common/translation.h"
#include "reader/forms/list_keys.h"

namespace q3::reader {

TBookmarksPane::TBookmarksPane()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 2),
      bookmarks_label(_("书签主题：    ")),
      show_bookmark_button(_("显示")),
      delete_bookmark_button(_("删除")),
      subject_label(_("当前主题：    ")),
      add_bookmark_button(_("添加")),
      list_buttons_(Gtk::ORIENTATION_HORIZONTAL, 2),
      add_row_(Gtk::ORIENTATION_HORIZONTAL, 2) {
    set_border_width(2);
    bookmarks_label.set_name("bookmarks_label");
    bookmarks_label.set_xalign(0);
    bookmarks_label.set_mnemonic_widget(bookmark_list);
    subject_label.set_name("subject_label");
    subject_label.set_xalign(0);
    subject_label.set_mnemonic_widget(subject_edit);
    show_bookmark_button.set_name("show_bookmark_button");
    delete_bookmark_button.set_name("delete_bookmark_button");
    add_bookmark_button.set_name("add_bookmark_button");
    subject_edit.set_name("subject_edit");
    subject_edit.get_accessible()->set_name(_("当前主题"));

    store = Gtk::ListStore::create(columns);
    bookmark_list.set_name("bookmark_list");
    bookmark_list.get_accessible()->set_name(_("书签主题"));
    bookmark_list.set_model(store);
    bookmark_list.set_headers_visible(false);
    bookmark_list.set_enable_search(false);
    bookmark_list.append_column("", columns.name);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(bookmark_list);

    list_buttons_.pack_end(delete_bookmark_button, Gtk::PACK_SHRINK);
    list_buttons_.pack_end(show_bookmark_button, Gtk::PACK_SHRINK);
    add_row_.pack_start(subject_edit, Gtk::PACK_EXPAND_WIDGET);
    add_row_.pack_start(add_bookmark_button, Gtk::PACK_SHRINK);

    pack_start(bookmarks_label, Gtk::PACK_SHRINK);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
    pack_start(list_buttons_, Gtk::PACK_SHRINK);
    pack_start(subject_label, Gtk::PACK_SHRINK);
    pack_start(add_row_, Gtk::PACK_SHRINK);
}

void TBookmarksPane::Connect(Hooks hooks) {
    hooks_ = std::move(hooks);
    add_bookmark_button.signal_clicked().connect([this] { AddBookmark(); });
    delete_bookmark_button.signal_clicked().connect([this] { DeleteBookmark(); });
    show_bookmark_button.signal_clicked().connect([this] { JumpToBookmark(); });
    bookmark_list.signal_row_activated().connect(
        [this](const Gtk::TreePath&, Gtk::TreeViewColumn*) { JumpToBookmark(); });
    RunOnEnter(bookmark_list, [this] { JumpToBookmark(); });
}

void TBookmarksPane::ClearBookmarks() {
    store->clear();
}

void TBookmarksPane::SyncBookmarks(bool load) {
    const std::string key = BookmarkKey(hooks_.document_path ? hooks_.document_path() : "");
    if (load) {
        for (const BookmarkRecord& record : LoadBookmarkList(key))
            Append(record);
        return;
    }
    // A settings file that cannot be written loses nothing on the screen.
    StoreBookmarkList(key, Bookmarks());
}

void TBookmarksPane::AddBookmark() {
    const std::string address = subject_edit.get_tooltip_text();
    if (address.empty())
        return;
    Append(MakeBookmark(subject_edit.get_text().raw(), address));
    SyncBookmarks(false);
}

void TBookmarksPane::DeleteBookmark() {
    Gtk::TreeIter row = bookmark_list.get_selection()->get_selected();
    if (!row)
        return;
    store->erase(row);
    // Stored at once: a bookmark deleted must not come back at the next
    // opening of the document.
    SyncBookmarks(false);
}

void TBookmarksPane::JumpToBookmark() {
    Gtk::TreeIter row = bookmark_list.get_selection()->get_selected();
    if (!row || !hooks_.navigate)
        return;
    hooks_.navigate(BookmarkTarget(Glib::ustring((*row)[columns.address]).raw()));
}

std::vector<BookmarkRecord> TBookmarksPane::Bookmarks() const {
    std::vector<BookmarkRecord> list;
    for (const Gtk::TreeRow& row : store->children()) {
        list.push_back(
            {Glib::ustring(row[columns.name]).raw(), Glib::ustring(row[columns.address]).raw()});
    }
    return list;
}

void TBookmarksPane::Append(const BookmarkRecord& record) {
    Gtk::TreeRow row = *store->append();
    row[columns.name] = record.name;
    row[columns.address] = record.address;
}

}  // namespace q3::reader
