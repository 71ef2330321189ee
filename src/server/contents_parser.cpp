// The contents record is an HTML sitemap read line by line, the way documents
// in the wild were produced for: markers are searched in lower-cased lines, a
// path may sit on the line after its caption, and the very last line is only
// ever read as such a continuation. Documents rely on each of these quirks, so
// they are kept exactly.
#include <cstdio>

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

// Lines end at CR LF, CR or LF; a break at the very end opens no empty line.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// Drops everything through the first occurrence of marker; false when the
// marker is absent.
bool After(std::string& work, std::string_view marker) {
    const size_t p = work.find(marker);
    if (p == std::string::npos) return false;
    work.erase(0, p + marker.size());
    return true;
}

std::string Attribute(std::string_view work, std::string_view marker) {
    return TextBetween(work, marker, "\"");
}

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

void Tdm_htServer::BuildContents(std::string_view text, ContentsModel& model) {
    model.Clear();
    if (!entries_) entries_ = std::make_unique<EntryTable>();
    const std::vector<std::string_view> lines = SplitLines(text);
    const size_t count = lines.size();
    TreePlacer placer(model);
    int level = -1;
    bool in_item = false;
    std::string caption, path, id, work;

    for (size_t i = 1;; ++i) {
        if (i % 10 == 0 && pump_) pump_();
        if (i >= count) break;
        const std::string_view raw = lines[i - 1];
        const std::string low = GbkLower(raw);
        work = low;

        if (work.find(kListOpen) != std::string::npos) {
            ++level;
            After(work, kListOpen);
            if (work.empty()) continue;
        }
        if (work.find(kItem) != std::string::npos) {
            in_item = true;
            After(work, kItem);
            if (work.empty()) continue;
        }
        if (work.find(kCaptionLine) != std::string::npos) {
            After(work, kCaptionLine);
            if (work.empty()) continue;
            caption = Attribute(work, kValueAttr);
            if (!caption.empty()) {
                const size_t at = low.find(caption);
                if (at != std::string::npos) caption = std::string(raw.substr(at, caption.size()));
            }
            id = Attribute(work, kIdAttr);
            if (work.find(kPathLine) == std::string::npos) {
                ++i;  // the path sits on the next line
                work = GbkLower(lines[i - 1]);
            }
            if (work.find(kPathLine) != std::string::npos) {
                After(work, kPathLine);
                if (work.empty()) continue;
                path = Attribute(work, kValueAttr);
            }
            if (in_item && !caption.empty()) {
                const NodeId node = placer.Add(level, caption);
                if (id != "-1") {
                    AddAnchorAlias(path, id);
                    std::string key = path;
                    for (int n = 1; entries_->Get(StringCrc(key)) != nullptr; ++n) {
                        char prefix[32];
                        std::snprintf(prefix, sizeof prefix, "[[%d]=", n);
                        key = prefix + path;
                    }
                    ContentsEntry* entry = entries_->Make(node, ParseRecordId(id, 0), path);
                    model.AttachEntry(node, entry);
                    entries_->Put(StringCrc(key), entry);
                    model.AddIndexItem(caption, entry);
                }
                caption.clear();
                path.clear();
                in_item = false;
            }
        }
        if (work.find(kResourceLine) != std::string::npos) {
            path = Attribute(work, kValueAttr);
            id = Attribute(work, kIdAttr);
            ContentsEntry* entry = entries_->Make(kNoNode, ParseRecordId(id, -1), path);
            const size_t hash = path.find('#');
            if (hash != std::string::npos) path.erase(hash);
            entries_->Put(StringCrc(path), entry);
            const std::string_view ext = FileExtension(path);
            if (ext != ".htm" && ext != ".html") model.AddResourceItem(path, entry);
            caption.clear();
            path.clear();
        }
        if (work.find(kListClose) != std::string::npos) --level;
    }
}

}  // namespace q3::server
