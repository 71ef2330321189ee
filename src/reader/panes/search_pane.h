// The side bar's "全文搜索" tab: the word edit, the start/stop button, the
// result list and the show button. Results refer to entries of the content
// server; the search itself is the server's, run on the main loop with the
// window kept responsive every 50 records.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "server/contents_entry.h"

namespace q3::server {
class ContentsModel;
class FullTextSearch;
struct SearchResult;
class Tdm_htServer;
}  // namespace q3::server

namespace q3::reader {

// A found page as the result list holds it.
struct TResultRow {
    std::string caption;  // GBK
    server::ContentsEntry* entry;
    std::string word;  // GBK
};

class TSearchPane : public Gtk::Box {
  public:
    // What the search needs of the window.
    struct Hooks {
        // The content server with an open document, or null (no search then).
        std::function<server::Tdm_htServer*()> server;
        std::function<const server::ContentsModel&()> model;
        // Status panel 0.
        std::function<void(const std::string& text)> status;
        // Shows an entry's page with a suffix in the current browser.
        std::function<void(server::ContentsEntry* entry, const std::string& suffix)> show_entry;
    };

    TSearchPane();
    ~TSearchPane() override;

    void Connect(Hooks hooks);

    // btn_SearchAll's click: starts a search, or asks the running one to stop.
    void SearchAllClick();
    // Puts word into the edit and clicks the button.
    void StartFullTextSearch(const std::string& word);
    // Ends a running search: the walk reads nothing more once control
    // returns to it, so a document may be replaced or the window closed
    // right after this.
    void StopSearch();
    bool Searching() const { return full_search_button_tag_ == 1; }
    Gtk::Widget& FirstControl() { return search_key_edit_; }
    // Opens the selected result with the word as its "?key=" query.
    void ShowSelectedResult();
    // A result's row as shown: its title, and under it the page's words
    // around the first match with the word in bold (Pango markup).
    Glib::ustring ResultMarkup(const Gtk::TreeIter& row);
    // A result's hint: the page's words around the first match, as plain text.
    Glib::ustring ResultHint(const Gtk::TreeIter& row);
    void ClearResults();

    struct Columns : Gtk::TreeModelColumnRecord {
        Columns() {
            add(text);
            add(entry);
            add(word);
        }
        Gtk::TreeModelColumn<Glib::ustring> text;
        Gtk::TreeModelColumn<server::ContentsEntry*> entry;
        Gtk::TreeModelColumn<std::string> word;  // GBK: the word the page matched
    };

  private:
    void RunSearch(server::Tdm_htServer& server);
    void AddResult(const server::SearchResult& result);
    // Lists the results held back so far, as one batch.
    void ListPendingResults();
    void Progress(const std::string& gbk_word, int32_t record, int32_t total, int found);
    // A fresh, empty result list in the view.
    void NewList();
    // The window's painting, held between the frames a running search lets
    // through.
    void HoldPainting();
    void AllowPainting();
    // Lets a frame through when the last one is long enough ago.
    bool PaintIfDue(std::chrono::steady_clock::time_point now);

    const Columns columns_;
    Gtk::Label search_key_label_;  // "输入关键字："
    Gtk::Entry search_key_edit_;   // lbledt_FullSearchKey
    // btn_SearchAll, "搜索". Its Tag is 1 while a search runs; setting it to
    // 0 asks the search to stop.
    Gtk::Button full_search_button_;
    int full_search_button_tag_ = 0;
    Gtk::TreeView search_results_;  // lst_search
    // The listed results and the model the view reads them through.
    std::shared_ptr<std::vector<TResultRow>> listed_;
    Glib::RefPtr<Gtk::TreeModel> store_;
    Gtk::Button show_result_button_;  // Button1, "显示"

    Gtk::Box key_row_;
    Gtk::ScrolledWindow scroll_;
    Hooks hooks_;
    // The running walk, so a stop can reach it from any handler.
    server::FullTextSearch* running_ = nullptr;
    // The box's text in GBK, kept as it changes: the search asks for it at
    // every record, and converting it each time cost more than the match.
    std::optional<std::string> search_word_;
    // Results found since the list was last filled: a search that finds
    // every page would spend more on telling the list of each row than on
    // the search itself.
    std::vector<TResultRow> pending_;
    // The words around each listed result's match, once asked for.
    std::unordered_map<const server::ContentsEntry*, Glib::ustring> hints_;
    std::chrono::steady_clock::time_point last_listed_;
    std::chrono::steady_clock::time_point last_painted_;
    Glib::RefPtr<Gdk::Window> held_window_;
    sigc::connection painting_watch_;
    // Cleared when the pane goes, so a walk unwinding after that touches
    // nothing of it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace q3::reader
