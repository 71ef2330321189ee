#include "reader/panes/search_pane.h"

#include <atkmm/object.h>
#include <glibmm/main.h>
#include <glibmm/markup.h>
#include <gtkmm/cellrenderertext.h>
#include <gtkmm/tooltip.h>

#include <exception>

#include "common/gbk.h"
#include "common/text.h"
#include "common/translation.h"
#include "reader/forms/list_keys.h"
#include "reader/forms/pump.h"
#include "reader/panes/rows_model.h"
#include "server/full_text_search.h"

namespace q3::reader {

namespace {

// The words around a match, with the first occurrence of the word in bold;
// letters of the word match in either case, as the search matched them.
std::string SnippetMarkup(const std::string& snippet, const std::string& word) {
    const size_t at = word.empty() ? std::string::npos : AsciiLower(snippet).find(AsciiLower(word));
    if (at == std::string::npos)
        return Glib::Markup::escape_text(snippet);
    return Glib::Markup::escape_text(snippet.substr(0, at)) + "<b>" +
           Glib::Markup::escape_text(snippet.substr(at, word.size())) + "</b>" +
           Glib::Markup::escape_text(snippet.substr(at + word.size()));
}

// The results as the view reads them: a title is made UTF-8 only when its
// row is drawn or asked for, not for each of a hundred thousand found pages.
class ResultRows final : public TListRows {
  public:
    ResultRows(std::shared_ptr<const std::vector<TResultRow>> rows,
               const TSearchPane::Columns& columns)
        : TListRows(columns),
          rows_(std::move(rows)),
          text_(columns.text.index()),
          entry_(columns.entry.index()),
          word_(columns.word.index()) {}

    void Value(Row row, int column, GValue* value) const override {
        const TResultRow& r = (*rows_)[row - 1];
        if (column == text_)
            g_value_take_string(value, g_strdup(GbkToUtf8(r.caption).c_str()));
        else if (column == entry_)
            g_value_set_pointer(value, r.entry);
        else if (column == word_)
            g_value_set_string(value, r.word.c_str());
    }

  private:
    size_t Size() const override { return rows_->size(); }

    std::shared_ptr<const std::vector<TResultRow>> rows_;
    int text_, entry_, word_;
};

// How often a running search lets the window paint.
constexpr auto kPaintEvery = std::chrono::milliseconds(100);

}  // namespace

TSearchPane::TSearchPane()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 2),
      search_key_label_(_("输入关键字：    ")),
      full_search_button_(_("搜索")),
      show_result_button_(_("显示")),
      key_row_(Gtk::ORIENTATION_HORIZONTAL, 2) {
    set_border_width(2);
    search_key_label_.set_name("search_key_label");
    search_key_label_.set_xalign(0);
    search_key_label_.set_mnemonic_widget(search_key_edit_);
    search_key_edit_.set_name("search_key_edit");
    search_key_edit_.get_accessible()->set_name(_("输入关键字"));
    full_search_button_.set_name("full_search_button");
    show_result_button_.set_name("show_result_button");
    key_row_.pack_start(search_key_edit_, Gtk::PACK_EXPAND_WIDGET);
    key_row_.pack_start(full_search_button_, Gtk::PACK_SHRINK);

    search_results_.set_name("search_results");
    search_results_.get_accessible()->set_name(_("搜索结果"));
    NewList();
    search_results_.set_headers_visible(false);
    search_results_.set_enable_search(false);
    // Rows of one height and a column as wide as the list: a search that
    // lists a hundred thousand pages would otherwise have every row measured.
    // A title too long for the side bar ends in "…", as in a list box.
    auto* renderer = Gtk::manage(new Gtk::CellRendererText());
    renderer->property_ellipsize() = Pango::ELLIPSIZE_END;
    auto* column = Gtk::manage(new Gtk::TreeViewColumn("", *renderer));
    // Each result shows the words around its first match under its title.
    // Only the rows in view are drawn, so only their pages are read.
    column->set_cell_data_func(*renderer,
                               [this, renderer](Gtk::CellRenderer*, const Gtk::TreeIter& row) {
                                   renderer->property_markup() = ResultMarkup(row);
                               });
    column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
    column->set_expand(true);
    search_results_.append_column(*column);
    search_results_.set_fixed_height_mode(true);
    search_results_.set_has_tooltip(true);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(search_results_);

    pack_start(search_key_label_, Gtk::PACK_SHRINK);
    pack_start(key_row_, Gtk::PACK_SHRINK);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
    pack_start(show_result_button_, Gtk::PACK_SHRINK);
}

TSearchPane::~TSearchPane() {
    *alive_ = false;
    StopSearch();
    painting_watch_.disconnect();
    AllowPainting();
}

void TSearchPane::Connect(Hooks hooks) {
    hooks_ = std::move(hooks);
    full_search_button_.signal_clicked().connect([this] { SearchAllClick(); });
    show_result_button_.signal_clicked().connect([this] { ShowSelectedResult(); });
    search_results_.signal_row_activated().connect(
        [this](const Gtk::TreePath&, Gtk::TreeViewColumn*) { ShowSelectedResult(); });
    RunOnEnter(search_results_, [this] { ShowSelectedResult(); });
    // Released, not pressed: the key's release is what clicks the button, so
    // Enter held down does not start and stop a search over and over.
    search_key_edit_.signal_changed().connect(
        [this] { search_word_ = Utf8ToGbk(search_key_edit_.get_text().raw()); });
    search_key_edit_.add_events(Gdk::KEY_RELEASE_MASK);
    search_key_edit_.signal_key_release_event().connect([this](GdkEventKey* e) {
        if (IsEnterKey(e))
            full_search_button_.clicked();
        return false;
    });
    search_results_.signal_query_tooltip().connect(
        [this](int x, int y, bool keyboard, const Glib::RefPtr<Gtk::Tooltip>& tooltip) {
            Gtk::TreeIter row;
            if (!search_results_.get_tooltip_context_iter(x, y, keyboard, row))
                return false;
            const Glib::ustring hint = ResultHint(row);
            if (hint.empty())
                return false;
            tooltip->set_text(hint);
            search_results_.set_tooltip_row(tooltip, store_->get_path(row));
            return true;
        });
}

void TSearchPane::SearchAllClick() {
    server::Tdm_htServer* server = hooks_.server ? hooks_.server() : nullptr;
    if (Trim(search_key_edit_.get_text().raw()).empty() || server == nullptr ||
        server->Document() == nullptr)
        return;
    if (full_search_button_tag_ == 1) {
        StopSearch();
        return;
    }
    RunSearch(*server);
}

void TSearchPane::StartFullTextSearch(const std::string& word) {
    search_key_edit_.set_text(word);
    full_search_button_.clicked();
}

void TSearchPane::StopSearch() {
    full_search_button_tag_ = 0;
    if (running_ != nullptr)
        running_->Stop();
}

void TSearchPane::RunSearch(server::Tdm_htServer& server) {
    full_search_button_.set_label(_("停止"));
    full_search_button_tag_ = 1;
    ClearResults();
    search_word_ = Utf8ToGbk(search_key_edit_.get_text().raw());
    server::FullTextSearch search(server, hooks_.model(),
                                  {[this] { return search_word_; },
                                   [this](const std::string& word, int32_t record, int32_t total,
                                          int found) { Progress(word, record, total, found); },
                                   [this](const server::SearchResult& r) { AddResult(r); }});
    running_ = &search;
    const std::shared_ptr<bool> alive = alive_;
    last_listed_ = std::chrono::steady_clock::now();
    // The button's new caption is painted at the first progress point.
    last_painted_ = {};
    HoldPainting();
    const auto finish = [this] {
        painting_watch_.disconnect();
        AllowPainting();
        ListPendingResults();
        running_ = nullptr;
        search_results_.queue_draw();
        full_search_button_.set_label(_("搜索"));
        full_search_button_tag_ = 0;
        hooks_.status(server::SearchFinalText(search_key_edit_.get_text().raw(),
                                              static_cast<int>(listed_->size())));
    };
    try {
        search.Run();
    } catch (...) {
        // The pane may have gone inside a progress point; then nothing of it
        // is touched, and the error still reaches the application's handler.
        if (*alive)
            finish();
        throw;
    }
    if (*alive)
        finish();
}

void TSearchPane::NewList() {
    listed_ = std::make_shared<std::vector<TResultRow>>();
    store_ = MakeRowsModel(std::make_unique<ResultRows>(listed_, columns_));
    search_results_.set_model(store_);
}

void TSearchPane::ClearResults() {
    // Found in a document that is being replaced: never to be listed.
    pending_.clear();
    hints_.clear();
    // A new list instead of removing row by row: with a search's hundred
    // thousand rows, each removal told to the view held the window.
    NewList();
}

void TSearchPane::AddResult(const server::SearchResult& result) {
    pending_.push_back({result.caption, result.entry, result.word});
}

void TSearchPane::ListPendingResults() {
    last_listed_ = std::chrono::steady_clock::now();
    if (pending_.empty())
        return;
    // A batch larger than the list is put in with the list away from the
    // view: the view then learns of all rows at once when it gets the list
    // back. A smaller one goes in shown, and so does any batch while
    // someone works in the list: the selection, the cursor and the scroll
    // position made meanwhile are kept.
    const bool detach = pending_.size() > listed_->size() &&
                        search_results_.get_selection()->count_selected_rows() == 0 &&
                        !search_results_.has_focus();
    if (detach)
        search_results_.unset_model();
    const size_t first = listed_->size();
    listed_->insert(listed_->end(), std::make_move_iterator(pending_.begin()),
                    std::make_move_iterator(pending_.end()));
    pending_.clear();
    if (detach)
        search_results_.set_model(store_);
    else
        RowsAppended(store_, first, listed_->size() - first);
}

Glib::ustring TSearchPane::ResultMarkup(const Gtk::TreeIter& row) {
    const Glib::ustring title = (*row)[columns_.text];
    const std::string gbk_word = (*row)[columns_.word];
    const std::string word = GbkToUtf8(gbk_word);
    // A blank second line when the page gives none, so every row is as high
    // as the first: the list measures only that one. While the search walks
    // the document, the pages are left to it; the words come when it ends.
    return Glib::Markup::escape_text(title) + "\n<span size=\"smaller\" alpha=\"70%\">" +
           SnippetMarkup(running_ ? std::string() : ResultHint(row).raw(), word) + " </span>";
}

Glib::ustring TSearchPane::ResultHint(const Gtk::TreeIter& row) {
    server::ContentsEntry* entry = (*row)[columns_.entry];
    // Kept beside the store, not in it: a change to a row redraws it, and
    // drawing a row asks for its hint.
    if (const auto known = hints_.find(entry); known != hints_.end())
        return known->second;
    // Made when first asked for: a search of many pages spends nothing on
    // hints nobody looks at. Listed entries belong to the open document's
    // table, which is replaced only together with this list.
    server::Tdm_htServer* server = hooks_.server ? hooks_.server() : nullptr;
    if (server == nullptr || entry == nullptr)
        return {};
    const std::string word = (*row)[columns_.word];
    const Glib::ustring hint = server::ResultSnippet(*server, *entry, word);
    hints_.emplace(entry, hint);
    return hint;
}

void TSearchPane::Progress(const std::string& gbk_word, int32_t record, int32_t total, int found) {
    // found counts the results held back too: the list has them all before
    // anyone may look at it again, in the final text or after a stop.
    hooks_.status(server::SearchProgressText(GbkToUtf8(gbk_word), record, total, found));
    // Filled a few times a second rather than at every progress point: each
    // filling costs the view a layout of its own.
    constexpr auto kListEvery = std::chrono::milliseconds(50);
    const auto now = std::chrono::steady_clock::now();
    if (now - last_listed_ >= kListEvery)
        ListPendingResults();
    // Painting every frame cost a long search more than listing its
    // results; a few frames a second still show the count moving. Input and
    // every other event are still served at each progress point.
    const bool paint = PaintIfDue(now);
    // The stop click, an open or the close arrive here; nothing of this pane
    // may be touched after it.
    const std::shared_ptr<bool> alive = alive_;
    ProcessMessages();
    if (paint && *alive && running_ != nullptr)
        HoldPainting();
}

void TSearchPane::HoldPainting() {
    if (held_window_)
        return;
    Gtk::Widget* top = get_toplevel();
    held_window_ = top != nullptr ? top->get_window() : Glib::RefPtr<Gdk::Window>();
    if (!held_window_)
        return;
    held_window_->freeze_updates();
    // A dialog opened from a progress point runs its own loop there, with
    // the window beneath it still held: the watch lets it paint again.
    if (!painting_watch_.connected())
        painting_watch_ = Glib::signal_timeout().connect(
            [this] {
                if (held_window_)
                    PaintIfDue(std::chrono::steady_clock::now());
                return true;
            },
            static_cast<unsigned>(kPaintEvery.count()));
}

bool TSearchPane::PaintIfDue(std::chrono::steady_clock::time_point now) {
    if (now - last_painted_ < kPaintEvery)
        return false;
    last_painted_ = now;
    AllowPainting();
    return true;
}

void TSearchPane::AllowPainting() {
    if (!held_window_)
        return;
    held_window_->thaw_updates();
    held_window_.reset();
}

void TSearchPane::ShowSelectedResult() {
    Gtk::TreeIter row = search_results_.get_selection()->get_selected();
    if (!row || !hooks_.show_entry)
        return;
    hooks_.show_entry((*row)[columns_.entry], "?key=" + search_key_edit_.get_text().raw());
}

}  // namespace q3::reader
