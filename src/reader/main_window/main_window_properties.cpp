// The document's properties page, and the pages the reader writes itself
// being written again when they are refreshed.
#include "browser/browser_commands.h"
#include "browser/color.h"
#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "common/translation.h"
#include "reader/forms/pump.h"
#include "reader/main_window/main_window.h"
#include "server/home_page.h"
#include "server/properties_page.h"

namespace q3::reader {

namespace {

constexpr browser::WindowColor kWhite = 0x00FFFFFF;

}  // namespace

void Tfm_Quillon3::QbxAttrExecute(TAction&) {
    // Another page gets the browser's own properties first.
    browser::WebBrowser* wb = CurrentBrowser();
    if (wb != nullptr && !IsDocumentPage())
        browser_commands_->SendBrowserCommand(*wb, browser::kCommandProperties);
    ShowPropertiesPage();
}

void Tfm_Quillon3::ShowPropertiesPage() {
    server::Tdm_htServer* srv = Server();
    browser::WebBrowser* wb = CurrentBrowser();
    if (srv == nullptr || srv->Document() == nullptr || wb == nullptr)
        return;
    WriteOwnPage(*wb, server::PropertiesPageHtml(*srv->Document(), browser::ColorToHtml(kWhite)));
}

void Tfm_Quillon3::WriteOwnPage(browser::WebBrowser& wb, const std::string& html) {
    // Written text alone makes no entry in the tab's history: the blank page
    // it replaces does, so Back returns to the page shown before. Writing
    // before the blank page is in would write over that page's entry.
    wb.Navigate("about:blank");
    ProcessMessagesWhile(
        [this, &wb] {
            return CurrentBrowser() == &wb && (wb.Busy() || wb.LocationUrl() != "about:blank");
        },
        kBlankPageWait);
    // Events handled meanwhile may have closed the tab.
    if (CurrentBrowser() == &wb)
        browser::WriteHtml(wb, html);
}

bool Tfm_Quillon3::RewriteOwnPage(browser::WebBrowser& wb) {
    // The engine would reload an empty page: the reader's pages live only
    // in what it wrote.
    if (wb.LocationUrl() != "about:blank")
        return false;
    const std::string title = wb.Title();
    if (title == Tr(server::kHomePageTitle)) {
        BuildHomePage();
        return true;
    }
    if (title.ends_with(Tr(server::kPropertiesTitleSuffix)) && Server() != nullptr &&
        Server()->Document() != nullptr) {
        ShowPropertiesPage();
        return true;
    }
    return false;
}

}  // namespace q3::reader
