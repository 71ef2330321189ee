// The contents record is an HTML sitemap read line by line, the way documents
// in the wild were produced for: markers are searched in lower-cased lines, a
// path may sit on the line after its caption, and the very last line is only
// ever read as such a continuation. Documents rely on each of these quirks, so
// they are kept exactly.
#include <cstdio>
#include <cstring>

#include "common/crc.h"
#include "common/gbk.h"
#include "common/text.h"
#include "server/ht_server.h"

namespace q3::server {
namespace {

constexpr std::string_view kListOpen = "<ul>";
constexpr std::string_view kListClose = "</ul>";
constexpr std::string_view kItem = "<li>";
constexpr std::string_view kCaptionLine = "<param name=\"name\"";
constexpr std::string_view kPathLine = "<param name=\"local\"";
constexpr std::string_view kResourceLine = "<res value=\"";
constexpr std::string_view kValueAttr = "value=\"";
constexpr std::string_view kIdAttr = "id=\"";

// Hands out the lines of a text one by one (they end at CR LF, CR or LF; a
// break at the very end opens no empty line) without building a list, and
// tells whether the line handed out last was the text's last line.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    std::string_view Next() {
        const char* base = text_.data() + pos_;
        const size_t left = text_.size() - pos_;
        const auto* lf = static_cast<const char*>(std::memchr(base, '\n', left));
        const size_t until = lf ? static_cast<size_t>(lf - base) : left;
        const auto* cr = static_cast<const char*>(std::memchr(base, '\r', until));
        const size_t len = cr ? static_cast<size_t>(cr - base) : until;
        size_t next = pos_ + len;
        if (next < text_.size()) next += (text_[next] == '\r' && next + 1 < text_.size() &&
                                          text_[next + 1] == '\n')
                                             ? 2
                                             : 1;
        const std::string_view line = text_.substr(pos_, len);
        pos_ = next;
        return line;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

// The part of a line still to be examined. Markers are matched as if the line
// had been lower-cased (ASCII letters at character starts only), without
// making the lower-case copy: only a caption needs one.
struct Work {
    // Where a line's "<" bytes are: every structural marker starts with one,
    // so one scan per line replaces a search per marker.
    struct Tags {
        size_t at[8];
        size_t count = 0;
        bool overflow = false;  // more than fit: markers fall back to searching
    };

    Work(std::string_view l, size_t from) : line(l), at(from) {
        const char* p = line.data();
        const char* end = p + line.size();
        while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p))))) {
            if (tags.count == std::size(tags.at)) {
                tags.overflow = true;
                break;
            }
            tags.at[tags.count++] = static_cast<size_t>(p - line.data());
            ++p;
        }
    }

    std::string_view line;
    size_t at = 0;
    Tags tags;

    bool Empty() const { return at >= line.size(); }

    // True when pos starts a character as the lower-casing steps through the
    // line: decided by the run of lead-range bytes just before it.
    bool CharStart(size_t pos) const {
        size_t run = 0;
        while (pos > run && IsGbkLead(static_cast<unsigned char>(line[pos - run - 1]))) ++run;
        return run % 2 == 0;
    }

    bool MatchesAt(size_t p, std::string_view marker) const {
        if (line.size() - p < marker.size()) return false;
        // The first byte may be the trail of a double-byte character, which
        // the lower-casing leaves alone; every later byte follows an ASCII
        // byte and so starts a character of its own.
        const char first = line[p];
        if (first != marker[0] && !(CharStart(p) && AsciiLowerChar(first) == marker[0]))
            return false;
        for (size_t j = 1; j < marker.size(); ++j) {
            if (AsciiLowerChar(line[p + j]) != marker[j]) return false;
        }
        return true;
    }

    size_t Find(std::string_view marker) const {
        const char first = marker[0];
        if (first == '<') {
            for (size_t k = 0; k < tags.count; ++k) {
                if (tags.at[k] >= at && MatchesAt(tags.at[k], marker)) return tags.at[k];
            }
            if (!tags.overflow) return std::string_view::npos;
        }
        const bool letter = first >= 'a' && first <= 'z';
        for (size_t p = at; p < line.size(); ++p) {
            if (!letter) {
                const void* hit = std::memchr(line.data() + p, first, line.size() - p);
                if (hit == nullptr) return std::string_view::npos;
                p = static_cast<size_t>(static_cast<const char*>(hit) - line.data());
            } else if (AsciiLowerChar(line[p]) != first) {
                continue;
            }
            if (MatchesAt(p, marker)) return p;
        }
        return std::string_view::npos;
    }

    bool Has(std::string_view marker) const { return Find(marker) != std::string_view::npos; }

    // Drops everything through the first occurrence of marker; false when
    // the marker is absent.
    bool After(std::string_view marker) {
        const size_t p = Find(marker);
        if (p == std::string_view::npos) return false;
        at = p + marker.size();
        return true;
    }

    // The lower-cased text between marker and the next double quote; empty
    // when either is missing. The text starts right after a quote, so it
    // starts a character and lower-cases on its own exactly as in the line.
    // Returns where the text starts in the line (npos when it is missing).
    size_t Attribute(std::string_view marker, std::string& out) const {
        out.clear();
        const size_t p = Find(marker);
        if (p == std::string_view::npos) return p;
        const size_t start = p + marker.size();
        const size_t q = line.find('"', start);
        if (q == std::string_view::npos) return q;
        out.assign(line.substr(start, q - start));
        GbkLowerInPlace(out);
        return start;
    }

    static char AsciiLowerChar(char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
};

// Where the next tree node goes: the chain holds the current node and its
// ancestors, so its size minus one is the current node's level.
class TreePlacer {
public:
    explicit TreePlacer(ContentsModel& model) : model_(model) {}

    NodeId Add(int level, std::string_view caption) {
        if (!chain_.empty() && Level() > level) {
            while (!chain_.empty() && Level() > level) chain_.pop_back();
        }
        NodeId node;
        if (chain_.empty()) {
            node = model_.AddNode(kNoNode, caption);
            chain_.push_back(node);
        } else if (Level() < level) {
            node = model_.AddNode(chain_.back(), caption);
            chain_.push_back(node);
        } else {
            node = model_.AddNode(chain_.size() >= 2 ? chain_[chain_.size() - 2] : kNoNode, caption);
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
    std::string_view s = id;
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
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
    if (s.empty()) return fallback;
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
        if (v > int64_t{INT32_MAX} + 1) return fallback;
    }
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return fallback;
    return static_cast<int32_t>(v);
}

void Tdm_htServer::AddAnchorAlias(std::string_view path, std::string_view id) {
    if (!entries_) return;
    const std::string anchor = AnchorOf(path);
    if (anchor.empty()) return;
    const std::string_view base = path.substr(0, path.size() - anchor.size() - 1);
    const uint32_t key = StringCrc(base);
    if (entries_->Get(key) == nullptr)
        entries_->Put(key, entries_->Make(kNoNode, ParseRecordId(id, 0), path));
}

bool Tdm_htServer::BuildContents(std::string_view text, ContentsModel& model) {
    model.Clear();
    if (!entries_) entries_ = std::make_unique<EntryTable>();
    const uint64_t generation = generation_;
    LineCursor lines(text);
    TreePlacer placer(model);
    DuplicateCounters counters;
    int level = -1;
    bool in_item = false;
    std::string caption, path, id, low;

    // Line i is examined only when a line follows it: the last line of the
    // text is read at most as the continuation of the line before.
    for (size_t i = 1;; ++i) {
        if (i % 10 == 0 && pump_) {
            pump_();
            // A document opened (or freed) meanwhile owns the model and the
            // table now: nothing of this text may go into them.
            if (generation_ != generation)
                return false;
        }
        if (lines.AtEnd()) break;
        const std::string_view raw = lines.Next();
        if (lines.AtEnd()) break;
        Work work{raw, 0};

        if (work.After(kListOpen)) {
            ++level;
            if (work.Empty()) continue;
        }
        if (work.After(kItem)) {
            in_item = true;
            if (work.Empty()) continue;
        }
        if (work.After(kCaptionLine)) {
            if (work.Empty()) continue;
            const size_t value_at = work.Attribute(kValueAttr, caption);
            if (!caption.empty()) {
                // The caption keeps the letter case it is written in, taken
                // from where its lower-case form first occurs in the line:
                // at the value itself at the latest, so the rest of the line
                // needs no lower-casing.
                low.assign(raw.substr(0, value_at + caption.size()));
                GbkLowerInPlace(low);
                const size_t at = low.find(caption);
                if (at != std::string::npos) caption.assign(raw.substr(at, caption.size()));
            }
            work.Attribute(kIdAttr, id);
            if (!work.Has(kPathLine)) {
                ++i;  // the path sits on the next line
                work = Work{lines.Next(), 0};
            }
            if (work.After(kPathLine)) {
                if (work.Empty()) continue;
                work.Attribute(kValueAttr, path);
            }
            if (in_item && !caption.empty()) {
                const NodeId node = placer.Add(level, caption);
                if (id != "-1")
                    AddItemEntry(node, caption, path, id, model, counters);
                caption.clear();
                path.clear();
                in_item = false;
            }
        }
        if (work.Has(kResourceLine)) {
            work.Attribute(kValueAttr, path);
            work.Attribute(kIdAttr, id);
            AddResourceEntry(path, id, model);
            caption.clear();
            path.clear();
        }
        if (work.Has(kListClose)) --level;
    }
    return true;
}

void Tdm_htServer::AddItemEntry(NodeId node, const std::string& caption, const std::string& path,
                                const std::string& id, ContentsModel& model,
                                DuplicateCounters& counters) {
    AddAnchorAlias(path, id);
    // A later item for a path already named hides under a key no address
    // reaches, so the first item keeps the path's address.
    uint32_t key = StringCrc(path);
    if (entries_->Get(key) != nullptr) {
        int& last = counters[path];
        do {
            char prefix[32];
            const int len = std::snprintf(prefix, sizeof prefix, "[[%d]=", ++last);
            key = CrcUpdate(CrcUpdate(0xFFFFFFFFu, prefix, static_cast<size_t>(len)), path.data(),
                            path.size());
        } while (entries_->Get(key) != nullptr);
    }
    ContentsEntry* entry = entries_->Make(node, ParseRecordId(id, 0), path);
    model.AttachEntry(node, entry);
    entries_->Put(key, entry);
    model.AddIndexItem(caption, entry);
}

void Tdm_htServer::AddResourceEntry(std::string path, const std::string& id,
                                    ContentsModel& model) {
    ContentsEntry* entry = entries_->Make(kNoNode, ParseRecordId(id, -1), path);
    const size_t hash = path.find('#');
    if (hash != std::string::npos) path.erase(hash);
    entries_->Put(StringCrc(path), entry);
    const std::string_view ext = FileExtension(path);
    if (ext != ".htm" && ext != ".html") model.AddResourceItem(path, entry);
}

}  // namespace q3::server
