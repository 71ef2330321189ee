// Moving through the open document from the side bar: the tree following
// the page shown, the index list with its incremental key search, and the
// address box's keys.
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
        Gtk::TreeIter row = contents_pane.NodeRow(entry->Node);
        if (!row)
            return;
        Glib::RefPtr<Gtk::TreeSelection> selection = contents_pane.contents_tree.get_selection();
        if (selection->is_selected(row))
            return;
        contents_pane.SelectRow(row);
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

void Tfm_Quillon3::WireIndexPane() {
    TIndexPane& pane = index_pane;
    pane.index_list.signal_button_release_event().connect([this](GdkEventButton* e) {
        if (e->button != 1)
            return false;
        Gtk::TreeIter row = index_pane.index_list.get_selection()->get_selected();
        if (row)
            index_pane.index_key_edit.set_text((*row)[index_pane.columns.text]);
        return false;
    });
    pane.index_list.signal_row_activated().connect(
        [this](const Gtk::TreePath&, Gtk::TreeViewColumn*) { IndexShow(); });
    pane.show_index_button.signal_clicked().connect([this] { IndexShow(); });
    const auto key_release = [this](GdkEventKey* e) {
        IndexKeyReleased(e);
        return false;
    };
    pane.index_key_edit.add_events(Gdk::KEY_RELEASE_MASK);
    pane.index_key_edit.signal_key_release_event().connect(key_release);
    bookmarks_pane.subject_edit.add_events(Gdk::KEY_RELEASE_MASK);
    bookmarks_pane.subject_edit.signal_key_release_event().connect(key_release);
}

void Tfm_Quillon3::IndexKeyReleased(GdkEventKey* event) {
    if (IsEnterKey(event)) {
        IndexShow();
        return;
    }
    const std::string key = index_pane.index_key_edit.get_text().raw();
    if (key.empty())
        return;
    const std::optional<size_t> found = index_pane.FindPrefix(key);
    if (!found)
        return;
    index_pane.EnsureListed();
    Gtk::TreePath path;
    path.push_back(static_cast<int>(*found));
    index_pane.index_list.get_selection()->select(path);
    index_pane.index_list.scroll_to_row(path);
}

void Tfm_Quillon3::IndexShow() {
    Gtk::TreeIter row = index_pane.index_list.get_selection()->get_selected();
    if (row)
        ShowEntry((*row)[index_pane.columns.entry], "");
}

void Tfm_Quillon3::WireAddressBox() {
    Gtk::Entry& entry = address_panel.UrlEntry();
    entry.signal_key_press_event().connect(
        [this](GdkEventKey* e) {
            const bool test_keys = (e->state & GDK_CONTROL_MASK) && (e->state & GDK_MOD1_MASK) &&
                                   e->keyval == GDK_KEY_9;
            address_panel.test_button.set_visible(test_keys);
            return false;
        },
        false);
    address_panel.SignalAddressEnter().connect([this](GdkModifierType state) {
        std::string text = address_panel.UrlEntry().get_text();
        if (text.empty())
            return;
        if (state & GDK_CONTROL_MASK)
            text = "http://www." + text + ".com";
        GoToAddress(text);
        address_panel.UrlEntry().set_text(text);
    });
    address_panel.go_button.signal_clicked().connect(
        [this] { GoToAddress(address_panel.UrlEntry().get_text()); });
    address_panel.address_box.signal_changed().connect([this] {
        // Only a choice from the drop-down goes somewhere, not the history's
        // own selection of the address just shown.
        if (selecting_history_ || address_panel.address_box.get_active_row_number() < 0)
            return;
        GoToAddress(address_panel.UrlEntry().get_text());
    });
    address_panel.test_button.signal_clicked().connect([this] { ShowRecordForTest(); });
}

void Tfm_Quillon3::ShowRecordForTest() {
    server::Tdm_htServer* srv = Server();
    if (srv == nullptr || srv->Document() == nullptr || !home_browser)
        return;
    const std::string digits = address_panel.KeyEntry().get_text();
    int record = 1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), record);
    if (error != std::errc() || end != digits.data() + digits.size())
        record = 1;
    std::string text;
    if (srv->Document()->ReadRecordText(record, text))
        browser::WriteHtml(*home_browser, GbkToUtf8(text));
}

}  // namespace q3::reader
