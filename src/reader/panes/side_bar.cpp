#include "reader/panes/side_bar.h"

#include <array>

#include "common/translation.h"
#include "reader/forms/context_menu.h"
#include "reader/forms/tab_painter.h"

namespace q3::reader {

namespace {

constexpr std::array kTabOrder = {SideTab::kContents, SideTab::kIndex, SideTab::kSearch,
                                  SideTab::kBookmarks, SideTab::kResources};

// The control of a pane that the keys go to first, else the first in its
// tab order.
bool FocusFirstControl(Gtk::Widget& pane, Gtk::Widget& first) {
    if (!pane.get_mapped())
        return false;
    if (first.get_mapped() && first.get_sensitive()) {
        first.grab_focus();
        return true;
    }
    if (pane.child_focus(Gtk::DIR_TAB_FORWARD))
        return true;
    if (!pane.get_can_focus())
        return false;
    pane.grab_focus();
    return true;
}

}  // namespace

TSideBar::TSideBar(int width) {
    set_name("side_bar");
    set_tab_pos(Gtk::POS_LEFT);
    set_scrollable(true);
    set_size_request(width, -1);

    document_tabs_.set_name("document_tabs");
    AddPage(document_tabs_, contents_pane_, "contents_page", _("目录"));
    AddPage(document_tabs_, index_pane_, "index_page", _("索引"));
    AddPage(document_tabs_, search_pane_, "search_page", _("全文搜索"));
    AddPage(document_tabs_, bookmarks_pane_, "bookmarks_page", _("书签"));
    books_page_.set_orientation(Gtk::ORIENTATION_VERTICAL);
    books_page_.pack_start(document_tabs_, Gtk::PACK_EXPAND_WIDGET);

    AddPage(*this, books_page_, "books_page", _(" 我的电子书  "));
    AddPage(*this, resource_pane_, "resource_page", _(" 强力推荐  "));

    PopUpOnRightPress(*this, menu_);
}

void TSideBar::AddPage(Gtk::Notebook& notebook, Gtk::Widget& page, const char* name,
                       const char* caption) {
    page.set_name(name);
    notebook.append_page(page, caption);
}

Gtk::Widget& TSideBar::PaneOf(SideTab tab) {
    switch (tab) {
        case SideTab::kContents:
            return contents_pane_;
        case SideTab::kIndex:
            return index_pane_;
        case SideTab::kSearch:
            return search_pane_;
        case SideTab::kBookmarks:
            return bookmarks_pane_;
        case SideTab::kResources:
            break;
    }
    return resource_pane_;
}

Gtk::Widget& TSideBar::FirstControlOf(SideTab tab) {
    // Where typing or choosing starts in each tab.
    switch (tab) {
        case SideTab::kContents:
            return contents_pane_.FirstControl();
        case SideTab::kIndex:
            return index_pane_.FirstControl();
        case SideTab::kSearch:
            return search_pane_.FirstControl();
        case SideTab::kBookmarks:
            return bookmarks_pane_.FirstControl();
        case SideTab::kResources:
            break;
    }
    return resource_pane_.FirstControl();
}

void TSideBar::ShowTab(SideTab tab) {
    if (tab == SideTab::kResources) {
        set_current_page(page_num(resource_pane_));
        return;
    }
    set_current_page(page_num(books_page_));
    document_tabs_.set_current_page(document_tabs_.page_num(PaneOf(tab)));
}

SideTab TSideBar::CurrentTab() const {
    if (get_nth_page(get_current_page()) != &books_page_)
        return SideTab::kResources;
    const int at = document_tabs_.get_current_page();
    return at >= 0 && at < static_cast<int>(kTabOrder.size()) - 1 ? kTabOrder[at]
                                                                  : SideTab::kContents;
}

void TSideBar::StepTab(bool forward) {
    size_t at = 0;
    while (kTabOrder[at] != CurrentTab())
        ++at;
    const size_t n = kTabOrder.size();
    ShowTab(kTabOrder[forward ? (at + 1) % n : (at + n - 1) % n]);
    FocusCurrentTab();
}

bool TSideBar::FocusCurrentTab() {
    const SideTab tab = CurrentTab();
    return get_visible() && FocusFirstControl(PaneOf(tab), FirstControlOf(tab));
}

void TSideBar::SetDocumentPath(const std::string& path) {
    document_path_ = path;
    SetTabHint(document_tabs_, contents_pane_, path);
    bookmarks_pane_.SetDocument(path);
}

void TSideBar::RepaintTabs() {
    q3::reader::RepaintTabs(*this);
    q3::reader::RepaintTabs(document_tabs_);
}

void TSideBar::SetMenu(Gtk::Menu& menu) {
    menu_ = &menu;
    menu.attach_to_widget(*this);
}

}  // namespace q3::reader
