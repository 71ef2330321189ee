#include "reader/panes/bookmarks_pane.h"

#include <atkmm/object.h>

#include "common/translation.h"
#include "reader/forms/list_keys.h"

namespace q3::reader {

TBookmarksPane::TBookmarksPane()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 2),
      bookmarks_label_(_("书签主题：    ")),
      show_bookmark_button_(_("显示")),
      delete_bookmark_button_(_("删除")),
      subject_label_(_("当前主题：    ")),
      add_bookmark_button_(_("添加")),
      list_buttons_(Gtk::ORIENTATION_HORIZONTAL, 2),
      add_row_(Gtk::ORIENTATION_HORIZONTAL, 2) {
    set_border_width(2);
    bookmarks_label_.set_name("bookmarks_label");
    bookmarks_label_.set_xalign(0);
    bookmarks_label_.set_mnemonic_widget(bookmark_list_);
    subject_label_.set_name("subject_label");
    subject_label_.set_xalign(0);
    subject_label_.set_mnemonic_widget(subject_edit_);
    show_bookmark_button_.set_name("show_bookmark_button");
    delete_bookmark_button_.set_name("delete_bookmark_button");
    add_bookmark_button_.set_name("add_bookmark_button");
    subject_edit_.set_name("subject_edit");
    subject_edit_.get_accessible()->set_name(_("当前主题"));

    store_ = Gtk::ListStore::create(columns_);
    bookmark_list_.set_name("bookmark_list");
    bookmark_list_.get_accessible()->set_name(_("书签主题"));
    bookmark_list_.set_model(store_);
    bookmark_list_.set_headers_visible(false);
    bookmark_list_.set_enable_search(false);
    bookmark_list_.append_column("", columns_.name);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(bookmark_list_);

    list_buttons_.pack_end(delete_bookmark_button_, Gtk::PACK_SHRINK);
    list_buttons_.pack_end(show_bookmark_button_, Gtk::PACK_SHRINK);
    add_row_.pack_start(subject_edit_, Gtk::PACK_EXPAND_WIDGET);
    add_row_.pack_start(add_bookmark_button_, Gtk::PACK_SHRINK);

    pack_start(bookmarks_label_, Gtk::PACK_SHRINK);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
    pack_start(list_buttons_, Gtk::PACK_SHRINK);
    pack_start(subject_label_, Gtk::PACK_SHRINK);
    pack_start(add_row_, Gtk::PACK_SHRINK);
    WireControls();
}

void TBookmarksPane::WireControls() {
    add_bookmark_button_.signal_clicked().connect([this] { AddBookmark(); });
    delete_bookmark_button_.signal_clicked().connect([this] { DeleteBookmark(); });
    show_bookmark_button_.signal_clicked().connect([this] { JumpToBookmark(); });
    bookmark_list_.signal_row_activated().connect(
        [this](const Gtk::TreePath&, Gtk::TreeViewColumn*) { JumpToBookmark(); });
    RunOnEnter(bookmark_list_, [this] { JumpToBookmark(); });
    subject_edit_.add_events(Gdk::KEY_RELEASE_MASK);
    subject_edit_.signal_key_release_event().connect([this](GdkEventKey* e) {
        subject_key_released_.emit(e);
        return false;
    });
}

void TBookmarksPane::SetPageAddress(const std::string& address) {
    page_address_ = address;
    subject_edit_.set_tooltip_text(address);
}

void TBookmarksPane::SetSubject(const std::string& title) {
    subject_edit_.set_text(title);
}

void TBookmarksPane::ClearBookmarks() {
    store_->clear();
}

void TBookmarksPane::SyncBookmarks(bool load) {
    const std::string key = BookmarkKey(document_path_);
    if (load) {
        for (const BookmarkRecord& record : LoadBookmarkList(key))
            Append(record);
        return;
    }
    // A settings file that cannot be written loses nothing on the screen.
    StoreBookmarkList(key, Bookmarks());
}

void TBookmarksPane::AddBookmark() {
    if (page_address_.empty())
        return;
    Append(MakeBookmark(subject_edit_.get_text().raw(), page_address_));
    SyncBookmarks(false);
}

void TBookmarksPane::DeleteBookmark() {
    Gtk::TreeIter row = bookmark_list_.get_selection()->get_selected();
    if (!row)
        return;
    store_->erase(row);
    // Stored at once: a bookmark deleted must not come back at the next
    // opening of the document.
    SyncBookmarks(false);
}

void TBookmarksPane::JumpToBookmark() {
    Gtk::TreeIter row = bookmark_list_.get_selection()->get_selected();
    if (!row)
        return;
    open_address_.emit(BookmarkTarget(Glib::ustring((*row)[columns_.address]).raw()));
}

std::vector<BookmarkRecord> TBookmarksPane::Bookmarks() const {
    std::vector<BookmarkRecord> list;
    for (const Gtk::TreeRow& row : store_->children()) {
        list.push_back(
            {Glib::ustring(row[columns_.name]).raw(), Glib::ustring(row[columns_.address]).raw()});
    }
    return list;
}

void TBookmarksPane::Append(const BookmarkRecord& record) {
    Gtk::TreeRow row = *store_->append();
    row[columns_.name] = record.name;
    row[columns_.address] = record.address;
}

}  // namespace q3::reader
