// The side bar (pgc_navTree): the "我的电子书" page with the open document's
// four tabs (contents, index, full-text search, bookmarks) and the
// recommended resources. It owns the five panes and answers for which of
// them is in front; the window reaches each pane through its operations.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/menu.h>
#include <gtkmm/notebook.h>

#include <string>

#include "reader/panes/bookmarks_pane.h"
#include "reader/panes/contents_pane.h"
#include "reader/panes/index_pane.h"
#include "reader/panes/resource_tree.h"
#include "reader/panes/search_pane.h"

namespace q3::reader {

enum class SideTab { kContents, kIndex, kSearch, kBookmarks, kResources };

class TSideBar : public Gtk::Notebook {
  public:
    // width: the side bar's least width.
    explicit TSideBar(int width);

    TContentsPane& Contents() { return contents_pane_; }
    TIndexPane& Index() { return index_pane_; }
    TSearchPane& Search() { return search_pane_; }
    TBookmarksPane& Bookmarks() { return bookmarks_pane_; }
    TResourceTree& Resources() { return resource_pane_; }
    const TSearchPane& Search() const { return search_pane_; }

    // Brings a tab to the front, with the page that holds it.
    void ShowTab(SideTab tab);
    SideTab CurrentTab() const;
    // The next or previous of the five tabs, read as one row, in front and
    // with the keys.
    void StepTab(bool forward);
    // Gives the keys to the tab in front: its first control, else the first
    // that takes them. False when the side bar is not on the screen.
    bool FocusCurrentTab();

    // The open document's file: the contents tab's hint shows it, and the
    // bookmarks are stored under its name.
    void SetDocumentPath(const std::string& path);
    const std::string& DocumentPath() const { return document_path_; }
    // Redraws the owner-drawn tabs, after a change of colours.
    void RepaintTabs();
    // The menu the right button opens over the side bar's tabs.
    void SetMenu(Gtk::Menu& menu);

  private:
    Gtk::Widget& PaneOf(SideTab tab);
    Gtk::Widget& FirstControlOf(SideTab tab);
    void AddPage(Gtk::Notebook& notebook, Gtk::Widget& page, const char* name, const char* caption);

    Gtk::Box books_page_;            // tbs_Books, " 我的电子书  "
    Gtk::Notebook document_tabs_;    // pgc_Nave, on books_page_
    TContentsPane contents_pane_;    // tbs_QbxDir, "目录"
    TIndexPane index_pane_;          // TabSheet5, "索引"
    TSearchPane search_pane_;        // ts_FullSearch, "全文搜索"
    TBookmarksPane bookmarks_pane_;  // TabSheet7, "书签"
    TResourceTree resource_pane_;    // tbs_EbookNav, " 强力推荐  "
    Gtk::Menu* menu_ = nullptr;
    std::string document_path_;
};

}  // namespace q3::reader
