// The search box beside the address box: the word list, the search button
// with its mode menu, and what a search does in each mode.
#include <atkmm/object.h>

#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "common/text.h"
#include "common/translation.h"
#include "reader/main_window/main_window.h"
#include "reader/rules/page_search.h"

namespace q3::reader {

namespace {

SearchMode CheckedSearchMode(const TAddressPanel& panel) {
    if (panel.full_text_search_item->get_active())
        return SearchMode::kFullText;
    if (panel.google_search_item->get_active())
        return SearchMode::kGoogle;
    if (panel.bing_search_item->get_active())
        return SearchMode::kBing;
    if (panel.baidu_search_item->get_active())
        return SearchMode::kBaidu;
    return SearchMode::kPage;
}

// The button that opens the mode menu, beside the button face.
GtkWidget* ArrowOf(Gtk::MenuToolButton& button) {
    GtkWidget* box = gtk_bin_get_child(GTK_BIN(button.gobj()));
    if (box == nullptr || !GTK_IS_CONTAINER(box))
        return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(box));
    GtkWidget* arrow = nullptr;
    for (GList* l = children; l != nullptr; l = l->next) {
        if (GTK_IS_MENU_BUTTON(l->data))
            arrow = GTK_WIDGET(l->data);
    }
    g_list_free(children);
    return arrow;
}

}  // namespace

void Tfm_Quillon3::WireSearchBox() {
    TAddressPanel& panel = address_panel;
    // Names for the screen reader: the box has no label, the arrow only
    // the toolkit's English one.
    panel.search_word_box.get_accessible()->set_name(_("搜索关键字"));
    panel.KeyEntry().get_accessible()->set_name(_("搜索关键字"));
    gtk_menu_tool_button_set_arrow_tooltip_text(panel.search_button.gobj(), _("搜索方式"));
    if (GtkWidget* arrow = ArrowOf(panel.search_button))
        atk_object_set_name(gtk_widget_get_accessible(arrow), _("搜索方式"));
    panel.KeyEntry().signal_activate().connect([this] { PageSearchClick(); });
    panel.search_button.signal_clicked().connect([this] { PageSearchClick(); });
    // Choosing a mode searches at once with the word in the box; choosing the
    // mode already checked searches too. The item that loses the check is
    // activated as well, and must not search a second time.
    for (Gtk::RadioMenuItem* item :
         {panel.page_search_item, panel.full_text_search_item, panel.google_search_item,
          panel.bing_search_item, panel.baidu_search_item}) {
        item->signal_activate().connect(
            [this, item] {
                if (item->get_active())
                    PageSearchClick();
            },
            true);
    }
}

void Tfm_Quillon3::PageSearchClick() {
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb == nullptr)
        return;
    const std::string typed = address_panel.KeyEntry().get_text();
    const std::string word(Trim(typed));
    if (word.empty())
        return;
    if (!HasSearchWord(address_panel.KeyItems(), word))
        address_panel.search_word_box.append(word);
    const SearchMode mode = CheckedSearchMode(address_panel);
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

}  // namespace q3::reader
