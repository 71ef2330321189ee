// Searching: what the search box beside the address box does in each search
// mode, and the side bar's full-text search started from the window.
#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "common/text.h"
#include "common/translation.h"
#include "reader/main_window/main_window.h"
#include "reader/rules/page_search.h"

namespace q3::reader {

void Tfm_Quillon3::PageSearchClick() {
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr)
        return;
    const std::string typed = address_panel_.SearchWord();
    const std::string word(Trim(typed));
    if (word.empty())
        return;
    if (!HasSearchWord(address_panel_.KeyItems(), word))
        address_panel_.AddKeyItem(word);
    const SearchMode mode = address_panel_.CheckedSearchMode();
    switch (mode) {
        case SearchMode::kPage:
            // The text as typed, blanks and all.
            browser::HighlightText(*wb, typed);
            return;
        case SearchMode::kGoogle:
        case SearchMode::kBing:
        case SearchMode::kBaidu:
            wb->Navigate(WebSearchAddress(mode, word));
            return;
        case SearchMode::kFullText:
            // Only a document's page has a document to search.
            if (IsDocumentPage())
                StartFullTextSearch(word);
            return;
    }
}

void Tfm_Quillon3::StartFullTextSearch(const std::string& word) {
    if (!SideBarShown())
        act_NavTree.Execute();
    side_bar_.ShowTab(SideTab::kSearch);
    side_bar_.Search().StartFullTextSearch(word);
}

}  // namespace q3::reader
