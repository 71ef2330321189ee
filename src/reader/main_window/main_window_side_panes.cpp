// The side bar's full-text search and bookmark tabs as the window connects
// them, and Enter in the side bar's lists.
#include "browser/web_browser.h"
#include "reader/forms/list_keys.h"
#include "reader/forms/tab_painter.h"
#include "reader/main_window/main_window.h"
#include "reader/main_window/window_contents_model.h"

namespace q3::reader {

void Tfm_Quillon3::WireSidePanes() {
    search_pane.Connect({
        [this] { return Server(); },
        [this]() -> const server::ContentsModel& { return *contents_model_; },
        [this](const std::string& text) { SetStatusText(text, 0); },
        [this](server::ContentsEntry* entry, const std::string& suffix) {
            ShowEntry(entry, suffix);
        },
    });
    bookmarks_pane.Connect({
        [this] { return TabHint(document_tabs, contents_pane); },
        [this](const std::string& address) {
            browser::WebBrowser* wb = CurrentBrowser();
            if (wb == nullptr)
                return false;
            wb->Navigate(address);
            return true;
        },
    });
    RunOnEnter(index_pane.index_list, [this] { IndexShow(); });
}

void Tfm_Quillon3::StartFullTextSearch(const std::string& word) {
    if (!SideBarShown())
        act_NavTree.Execute();
    side_bar.set_current_page(side_bar.page_num(books_page));
    document_tabs.set_current_page(document_tabs.page_num(search_pane));
    search_pane.StartFullTextSearch(word);
}

}  // namespace q3::reader
