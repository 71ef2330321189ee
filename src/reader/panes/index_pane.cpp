#include "reader/panes/index_pane.h"

#include <algorithm>

#include "common/gbk.h"
#include "server/index_order.h"

namespace q3::reader {

TIndexPane::TIndexPane()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 2),
      index_key_label("输入关键字：    "),
      show_index_button("显示"),
      key_row_(Gtk::ORIENTATION_HORIZONTAL, 2) {
    set_border_width(2);
    index_key_label.set_xalign(0);
    index_key_label.set_mnemonic_widget(index_key_edit);
    index_key_edit.set_name("index_key_edit");
    show_index_button.set_name("show_index_button");
    key_row_.pack_start(index_key_edit, Gtk::PACK_EXPAND_WIDGET);
    key_row_.pack_start(show_index_button, Gtk::PACK_SHRINK);

    store = Gtk::ListStore::create(columns);
    index_list.set_name("index_list");
    index_list.set_model(store);
    index_list.set_headers_visible(false);
    index_list.set_enable_search(false);
    index_list.append_column("", columns.text);
    scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll_.set_shadow_type(Gtk::SHADOW_IN);
    scroll_.add(index_list);

    pack_start(index_key_label, Gtk::PACK_SHRINK);
    pack_start(key_row_, Gtk::PACK_SHRINK);
    pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
}

void TIndexPane::Clear() {
    store->clear();
    pending_.clear();
}

void TIndexPane::AddItem(std::string_view gbk_caption, server::ContentsEntry* entry) {
    static const server::IndexOrder order;
    pending_.push_back({order.Key(gbk_caption), std::string(gbk_caption), entry});
    if (!updating_)
        Flush();
}

void TIndexPane::EndUpdate() {
    updating_ = false;
    Flush();
}

void TIndexPane::Flush() {
    if (pending_.empty())
        return;
    // Merge the new items into the listed ones in index order.
    static const server::IndexOrder order;
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Pending& a, const Pending& b) { return a.key < b.key; });
    std::vector<Pending> listed;
    for (const Gtk::TreeRow& row : store->children()) {
        const std::string caption = Utf8ToGbk(Glib::ustring(row[columns.text]).raw()).value_or("");
        listed.push_back({order.Key(caption), caption, row[columns.entry]});
    }
    std::vector<Pending> merged;
    merged.reserve(listed.size() + pending_.size());
    std::merge(listed.begin(), listed.end(), pending_.begin(), pending_.end(),
               std::back_inserter(merged),
               [](const Pending& a, const Pending& b) { return a.key < b.key; });
    pending_.clear();
    store->clear();
    for (const Pending& p : merged) {
        Gtk::TreeRow row = *store->append();
        row[columns.text] = GbkToUtf8(p.caption);
        row[columns.entry] = p.entry;
    }
}

}  // namespace q3::reader
