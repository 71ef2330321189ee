// The contents record is an HTML sitemap read line by line, the way documents
// in the wild were produced for: markers are searched in lower-cased lines, a
// path may sit on the line after its caption, and the very last line is only
// ever read as such a continuation. Documents rely on each of these quirks, so
// they are kept exactly.
#include <charconv>
#include <cstring>

#include "common/crc.h"
#include "common/gbk.h"
#include "common/text.h"
#include "server/contents_lines.h"
#include "server/ht_server.h"

namespace q3::server {
namespace {

// Where the next tree node goes: the chain holds the current node and its
// ancestors, so its size minus one is the current node's level.
class TreePlacer {
  public:
    explicit TreePlacer(ContentsModel& model) : model_(model) {}

    NodeId Add(int level, std::string_view caption) {
        if (!chain_.empty() && Level() > level) {
            while (!chain_.empty() && Level() > level)
                chain_.pop_back();
        }
        NodeId node;
        if (chain_.empty()) {
            node = model_.AddNode(kNoNode, caption);
            chain_.push_back(node);
        } else if (Level() < level) {
            node = model_.AddNode(chain_.back(), caption);
            chain_.push_back(node);
        } else {
            node =
                model_.AddNode(chain_.size() >= 2 ? chain_[chain_.size() - 2] : kNoNode, caption);
            chain_.back() = node;
        }
        return node;
    }

  private:
    int Level() const { return static_cast<int>(chain_.size()) - 1; }
    ContentsModel& model_;
    std::vector<NodeId> chain_;
};

}  // namespace

int32_t ParseRecordId(std::string_view id, int32_t fallback) {
    // Nearly every id is a plain decimal number of a few digits.
    if (!id.empty() && id.size() <= 9) {
        int32_t v = 0;
        size_t k = 0;
        while (k < id.size() && id[k] >= '0' && id[k] <= '9')
            v = v * 10 + (id[k++] - '0');
        if (k == id.size())
            return v;
    }
    std::string_view s = id;
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return fallback;
    int64_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return fallback;
        v = v * base + d;
        if (v > int64_t{INT32_MAX} + 1)
            return fallback;
    }
    if (negative)
        v = -v;
    if (v > INT32_MAX || v < INT32_MIN)
        return fallback;
    return static_cast<int32_t>(v);
}

void Tdm_htServer::AddAnchorAlias(std::string_view path, std::string_view id) {
    if (!entries_)
        return;
    const std::string anchor = AnchorOf(path);
    if (anchor.empty())
        return;
    const std::string_view base = path.substr(0, path.size() - anchor.size() - 1);
    const uint32_t key = StringCrc(base);
    if (entries_->Get(key) == nullptr)
        entries_->Put(key, entries_->Make(kNoNode, ParseRecordId(id, 0), path));
}

bool Tdm_htServer::BuildContents(std::string_view text, ContentsModel& model) {
    model.Clear();
    if (!entries_)
        entries_ = std::make_unique<EntryTable>();
    // An item takes at least some sixty bytes of text, and a thousand items
    // reach nearly every page of the bucket array anyway; a small book keeps
    // touching only the pages it uses.
    constexpr size_t kPopulateFrom = size_t{128} << 10;
    if (text.size() >= kPopulateFrom)
        entries_->Populate();
    const uint64_t generation = generation_;
    LineCursor lines(text);
    TreePlacer placer(model);
    DuplicateCounters counters;
    int level = -1;
    bool in_item = false;
    // The caption and id are views of the line they were read from; the path
    // outlives its line (an item without a path line takes the last one).
    std::string_view caption, id;
    std::string path, scratch, low;
    ContentsLine work;

    PendingItems pending(*this, model, counters);
    // Line i is examined only when a line follows it: the last line of the
    // text is read at most as the continuation of the line before.
    for (size_t i = 1;; ++i) {
        if (i % 10 == 0 && pump_) {
            pending.StoreAll();
            pump_();
            // A document opened (or freed) meanwhile owns the model and the
            // table now: nothing of this text may go into them.
            if (generation_ != generation)
                return false;
        }
        if (lines.AtEnd())
            break;
        lines.Next(work);
        if (lines.AtEnd())
            break;

        if (work.After(Tag::kListOpen)) {
            ++level;
            if (work.Empty())
                continue;
        }
        if (work.After(Tag::kItem)) {
            in_item = true;
            if (work.Empty())
                continue;
        }
        if (work.After(Tag::kCaptionLine)) {
            if (work.Empty())
                continue;
            caption = work.CaptionAndId(scratch, low, id);
            if (!work.Has(Tag::kPathLine)) {
                ++i;  // the path sits on the next line
                lines.Next(work);
            }
            if (work.After(Tag::kPathLine)) {
                if (work.Empty())
                    continue;
                work.Attribute(Attr::kValue, path);
            }
            if (in_item && !caption.empty()) {
                const NodeId node = placer.Add(level, caption);
                if (id != "-1")
                    pending.Add(node, caption, path, id);
                path.clear();
                in_item = false;
            }
        }
        if (work.Has(Tag::kResourceLine)) {
            pending.StoreAll();
            work.Attribute(Attr::kValue, path);
            AddResourceEntry(path, work.RawAttribute(Attr::kId), model);
            path.clear();
        }
        if (work.Has(Tag::kListClose))
            --level;
    }
    pending.StoreAll();
    return true;
}

Tdm_htServer::PendingItems::PendingItems(Tdm_htServer& server, ContentsModel& model,
                                         DuplicateCounters& counters)
    : server_(server), model_(model), counters_(counters) {}

void Tdm_htServer::PendingItems::Add(NodeId node, std::string_view caption, std::string& path,
                                     std::string_view id) {
    if (count_ == kDepth)
        StoreOldest();
    Item& item = items_[(first_ + count_) % kDepth];
    ++count_;
    item.node = node;
    item.caption = caption;
    item.id = id;
    item.path.swap(path);  // both buffers are reused, item after item
    item.key = StringCrc(item.path);
    server_.entries_->Prefetch(item.key);
}

void Tdm_htServer::PendingItems::StoreOldest() {
    Item& item = items_[first_];
    first_ = (first_ + 1) % kDepth;
    --count_;
    server_.AddItemEntry(item.node, item.caption, item.path, item.id, item.key, model_, counters_);
}

void Tdm_htServer::PendingItems::StoreAll() {
    while (count_ > 0)
        StoreOldest();
}

void Tdm_htServer::AddItemEntry(NodeId node, std::string_view caption, const std::string& path,
                                std::string_view id, uint32_t key, ContentsModel& model,
                                DuplicateCounters& counters) {
    AddAnchorAlias(path, id);
    ContentsEntry* entry = entries_->Make(node, ParseRecordId(id, 0), path);
    model.AttachEntry(node, entry);
    // A later item for a path already named hides under a key no address
    // reaches, so the first item keeps the path's address.
    if (!entries_->Insert(key, entry)) {
        int& last = counters[uint64_t{path.size()} << 32 | key];
        do {
            // "[[%d]=" with the counter, written without the formatter's cost.
            char prefix[32] = "[[";
            char* end = std::to_chars(prefix + 2, prefix + sizeof prefix - 2, ++last).ptr;
            *end++ = ']';
            *end++ = '=';
            key = CrcUpdate(CrcUpdate(0xFFFFFFFFu, prefix, static_cast<size_t>(end - prefix)),
                            path.data(), path.size());
        } while (!entries_->Insert(key, entry));
    }
    model.AddIndexItem(caption, entry);
}

void Tdm_htServer::AddResourceEntry(std::string path, std::string_view id, ContentsModel& model) {
    ContentsEntry* entry = entries_->Make(kNoNode, ParseRecordId(id, -1), path);
    const size_t hash = path.find('#');
    if (hash != std::string::npos)
        path.erase(hash);
    entries_->Put(StringCrc(path), entry);
    const std::string_view ext = FileExtension(path);
    if (ext != ".htm" && ext != ".html")
        model.AddResourceItem(path, entry);
}

}  // namespace q3::server
