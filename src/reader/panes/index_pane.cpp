#include "reader/panes/index_pane.h"

#include <atkmm/object.h>

#include "common/gbk.h"
#include "common/translation.h"
#include "reader/forms/list_keys.h"
#include "reader/panes/fixed_rows.h"
#include "reader/panes/rows_model.h"

namespace q3::reader {

namespace {

constexpr size_t kWidthCandidates = 24;

// The list's rows are the index rows in index order: row n has the handle n + 1.
class IndexRows final : public TListRows {
  public:
    IndexRows(std::shared_ptr<const TContentsData> data, const TIndexPane::Columns& columns)
        : TListRows(columns),
          data_(std::move(data)),
          text_(columns.text.index()),
          entry_(columns.entry.index()) {}

    void Value(Row row, int column, GValue* value) const override {
        const size_t item = data_->index.ItemAt(row - 1);
        if (column == text_) {
            g_value_take_string(value,
                                g_strdup(GbkToUtf8(data_->model.IndexCaption(item)).c_str()));
        } else if (column == entry_) {
            g_value_set_pointer(value, data_->model.IndexEntry(item));
        }
    }

  private:
    size_t Size() const override { return data_ ? data_->index.Size() : 0; }

    std::shared_ptr<const TContentsData> data_;
    int text_, entry_;
};

}  // namespace

TIndexPane::TIndexPane()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 2),
      index_key_label_(_("输入关键字：    ")),
      show_index_button_(_("显示")),
      key_row_(Gtk::ORIENTATION_HORIZONTAL, 2) {
    set_border_width(2);
    index_key_label_.set_name("index_key_label");
    index_key_label_.set_xalign(0);
    index_key_label_.set_mnemonic_widget(index_key_edit_);
    index_key_edit_.set_name("index_key_edit");
    show_index_button_.set_name("show_index_button");
    key_row_.pack_start(index_key_edit_, Gtk::PACK_EXPAND_WIDGET);
    key_row_.pack_start(show_index_button_, Gtk::PACK_SHRINK);

    index_list_.set_name("index_list");
    index_list_.get_accessible()->set_name(_("索引"));
    index_list_.set_headers_visible(false);
    index_list_.set_enable_search(false);
    index_list_.set_show_expanders(false);
    index_list_.append_column("", columns_.text);
    UseFixedRows(index_list_);
    no_rows_ = MakeRowsModel(std::make_unique<IndexRows>(nullptr, columns_));
    index_list_.signal_map().connect([this] { EnsureListed(); });
    Show(nullptr);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(index_list_);

    pack_start(index_key_label_, Gtk::PACK_SHRINK);
    pack_start(key_row_, Gtk::PACK_SHRINK);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
    WireControls();
}

void TIndexPane::WireControls() {
    // A click copies the item's text into the key box, so the next key
    // typed goes on from there.
    index_list_.signal_button_release_event().connect([this](GdkEventButton* e) {
        if (e->button != 1)
            return false;
        Gtk::TreeIter row = index_list_.get_selection()->get_selected();
        if (row)
            index_key_edit_.set_text((*row)[columns_.text]);
        return false;
    });
    index_list_.signal_row_activated().connect(
        [this](const Gtk::TreePath&, Gtk::TreeViewColumn*) { ShowSelected(); });
    RunOnEnter(index_list_, [this] { ShowSelected(); });
    show_index_button_.signal_clicked().connect([this] { ShowSelected(); });
    index_key_edit_.add_events(Gdk::KEY_RELEASE_MASK);
    index_key_edit_.signal_key_release_event().connect([this](GdkEventKey* e) {
        KeyReleased(e);
        return false;
    });
}

void TIndexPane::KeyReleased(const GdkEventKey* event) {
    if (IsEnterKey(event)) {
        ShowSelected();
        return;
    }
    const std::string key = index_key_edit_.get_text().raw();
    if (key.empty())
        return;
    if (const std::optional<size_t> found = FindPrefix(key))
        SelectItem(*found);
}

void TIndexPane::SelectItem(size_t row) {
    EnsureListed();
    Gtk::TreePath path;
    path.push_back(static_cast<int>(row));
    index_list_.get_selection()->select(path);
    index_list_.scroll_to_row(path);
}

void TIndexPane::ShowSelected() {
    Gtk::TreeIter row = index_list_.get_selection()->get_selected();
    if (row)
        entry_chosen_.emit((*row)[columns_.entry]);
}

void TIndexPane::Show(std::shared_ptr<const TContentsData> data) {
    data_ = std::move(data);
    model_ = MakeRowsModel(std::make_unique<IndexRows>(data_, columns_));
    // The list lets go of the previous rows at once: their entries are
    // about to be released.
    listed_ = false;
    index_list_.set_model(no_rows_);
    if (!data_ || index_list_.get_mapped())
        EnsureListed();
}

void TIndexPane::EnsureListed() {
    if (listed_)
        return;
    listed_ = true;
    index_list_.set_model(model_);
    FitWidth();
}

void TIndexPane::FitWidth() {
    std::vector<TCaptionWidth> widest;
    if (data_) {
        std::vector<uint32_t> costs(data_->model.IndexSize());
        for (size_t i = 0; i < costs.size(); ++i)
            costs[i] = static_cast<uint32_t>(data_->model.IndexCaption(i).size());
        for (size_t i : LargestCosts(costs, kWidthCandidates))
            widest.push_back({GbkToUtf8(data_->model.IndexCaption(i)), 0});
    }
    FitColumn(index_list_, widest);
}

std::optional<size_t> TIndexPane::FindPrefix(const std::string& utf8_prefix) const {
    if (!data_)
        return std::nullopt;
    const std::optional<std::string> gbk = Utf8ToGbk(utf8_prefix);
    if (!gbk)
        return std::nullopt;
    return data_->index.FindPrefix(*gbk);
}

}  // namespace q3::reader
