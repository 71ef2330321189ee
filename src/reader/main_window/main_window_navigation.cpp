// Moving through the open document from the side bar: the tree following
// the page shown, and the diagnostic view of a record.
#include <glibmm/main.h>
#include <sigc++/adaptors/track_obj.h>

#include <charconv>

#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "common/gbk.h"
#include "common/text.h"
#include "reader/forms/list_keys.h"
#include "reader/main_window/main_window.h"

namespace q3::reader {

void Tfm_Quillon3::ConnectSelectNode() {
    server::Tdm_htServer* srv = Server();
    if (srv == nullptr)
        return;
    // The notice arrives while the engine waits for the page's bytes; the
    // node is selected once that has returned, and only when the entry still
    // belongs to the table that served it.
    srv->SetSelectNodeHook([this](uint64_t generation, server::ContentsEntry* entry) {
        // Until the new book's first page is asked for, whatever is served
        // belongs to a load of the book before, which stopping the view did
        // not catch in time; the new book only has a page of its name.
        if (page_from_older_document_)
            return;
        const uint64_t chosen = selection_epoch_;
        Glib::signal_idle().connect_once(sigc::track_obj(
            [this, generation, entry, chosen] {
                server::Tdm_htServer* current = Server();
                // A node chosen since (a step, a click in the tree, the
                // address the page moved to) is newer news than this page:
                // a busy loop may run the notice only after the next step.
                if (current == nullptr || chosen != selection_epoch_)
                    return;
                if (server::ContentsEntry* live = current->CurrentEntry(generation, entry))
                    SelectTreeNode(live);
            },
            *this));
    });
}

void Tfm_Quillon3::SelectTreeNode(server::ContentsEntry* entry) {
    try {
        if (entry == nullptr)
            return;
        TContentsPane& tree = side_bar_.Contents();
        if (!tree.IsSelected(entry->Node))
            tree.SelectNode(entry->Node);
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.SelectTreeNode", e.what());
    }
}

void Tfm_Quillon3::FollowPage(browser::WebBrowser& wb) {
    server::Tdm_htServer* srv = Server();
    // A page of the document opened before names nothing in this one.
    if (srv == nullptr || srv->Document() == nullptr || &wb != CurrentBrowser() ||
        page_from_older_document_)
        return;
    const std::string address = wb.LocationUrl();
    if (address.compare(0, server::kUrlPrefix.size(), server::kUrlPrefix) != 0)
        return;
    // The page's own address, looked up as the server looks up a request;
    // an anchor may be an item of its own, else the page's item counts.
    std::string path = PercentDecode(address.substr(server::kUrlPrefix.size()));
    const std::string page = path.substr(0, path.find('#'));
    for (std::string candidate : {path, page}) {
        if (!candidate.empty() && candidate.back() == '/')
            candidate.pop_back();
        server::ContentsEntry* entry =
            candidate.empty() ? nullptr : srv->Lookup(AsciiLower(candidate));
        if (entry != nullptr && entry->Node != server::kNoNode) {
            ++selection_epoch_;
            SelectTreeNode(entry);
            return;
        }
    }
}

void Tfm_Quillon3::ShowRecordForTest() {
    server::Tdm_htServer* srv = Server();
    if (srv == nullptr || srv->Document() == nullptr)
        return;
    const std::string digits = address_panel_.SearchWord();
    int record = 1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), record);
    if (error != std::errc() || end != digits.data() + digits.size())
        record = 1;
    std::string text;
    if (srv->Document()->ReadRecordText(record, text))
        browser::WriteHtml(page_tabs_.HomeBrowser(), GbkToUtf8(text));
}

}  // namespace q3::reader
