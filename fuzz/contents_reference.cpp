#include "contents_reference.h"

#include <map>

#include "common/crc.h"
#include "common/gbk.h"
#include "common/text.h"
#include "server/ht_server.h"

namespace q3::fuzz {
namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

// Drops work through the first occurrence of marker; false when absent.
bool After(std::string& work, std::string_view marker) {
    const size_t p = work.find(marker);
    if (p == std::string::npos)
        return false;
    work.erase(0, p + marker.size());
    return true;
}

class Builder {
  public:
    explicit Builder(ReferenceContents& out) : out_(out) {}

    int Make(int32_t record, std::string_view path, bool has_node) {
        out_.objects.push_back({record, std::string(path.substr(0, 255)), has_node});
        return static_cast<int>(out_.objects.size()) - 1;
    }
    int Get(uint32_t key) const {
        auto it = slot_.find(key);
        return it == slot_.end() ? -1 : out_.table[it->second].second;
    }
    void Put(uint32_t key, int object) {
        auto [it, added] = slot_.emplace(key, out_.table.size());
        if (added)
            out_.table.emplace_back(key, object);
        else
            out_.table[it->second].second = object;
    }

    // Where a node at level goes: below the current node when it is deeper,
    // beside it at the same level, else beside the ancestor at that level.
    int AddNode(int level, const std::string& caption) {
        while (!chain_.empty() && static_cast<int>(chain_.size()) - 1 > level)
            chain_.pop_back();
        int parent = -1;
        if (!chain_.empty() && static_cast<int>(chain_.size()) - 1 < level) {
            parent = chain_.back();
        } else if (chain_.size() >= 2) {
            parent = chain_[chain_.size() - 2];
        }
        out_.nodes.push_back({caption, parent, -1});
        const int node = static_cast<int>(out_.nodes.size()) - 1;
        if (!chain_.empty() && static_cast<int>(chain_.size()) - 1 < level)
            chain_.push_back(node);
        else if (chain_.empty())
            chain_.push_back(node);
        else
            chain_.back() = node;
        return node;
    }

  private:
    ReferenceContents& out_;
    std::map<uint32_t, size_t> slot_;
    std::vector<int> chain_;
};

}  // namespace

ReferenceContents ParseReference(std::string_view text) {
    ReferenceContents out;
    Builder b(out);
    const std::vector<std::string_view> lines = SplitLines(text);
    int level = -1;
    bool in_item = false;
    std::string caption, path, id;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view raw = lines[i - 1];
        std::string work = GbkLower(raw);
        if (After(work, "<ul>")) {
            ++level;
            if (work.empty())
                continue;
        }
        if (After(work, "<li>")) {
            in_item = true;
            if (work.empty())
                continue;
        }
        if (After(work, "<param name=\"name\"")) {
            if (work.empty())
                continue;
            caption = TextBetween(work, "value=\"", "\"");
            if (!caption.empty()) {
                const std::string low = GbkLower(raw);
                const size_t at = low.find(caption);
                if (at != std::string::npos)
                    caption = std::string(raw.substr(at, caption.size()));
            }
            id = TextBetween(work, "id=\"", "\"");
            if (work.find("<param name=\"local\"") == std::string::npos) {
                ++i;
                work = GbkLower(lines[i - 1]);
            }
            if (After(work, "<param name=\"local\"")) {
                if (work.empty())
                    continue;
                path = TextBetween(work, "value=\"", "\"");
            }
            if (in_item && !caption.empty()) {
                const int node = b.AddNode(level, caption);
                if (id != "-1") {
                    const std::string anchor = AnchorOf(path);
                    if (!anchor.empty()) {
                        const std::string base = path.substr(0, path.size() - anchor.size() - 1);
                        if (b.Get(StringCrc(base)) < 0)
                            b.Put(StringCrc(base),
                                  b.Make(server::ParseRecordId(id, 0), path, false));
                    }
                    std::string key = path;
                    for (int n = 1; b.Get(StringCrc(key)) >= 0; ++n)
                        key = "[[" + std::to_string(n) + "]=" + path;
                    const int object = b.Make(server::ParseRecordId(id, 0), path, true);
                    out.nodes[static_cast<size_t>(node)].object = object;
                    b.Put(StringCrc(key), object);
                    out.index.emplace_back(caption, object);
                }
                caption.clear();
                path.clear();
                in_item = false;
            }
        }
        if (work.find("<res value=\"") != std::string::npos) {
            path = TextBetween(work, "value=\"", "\"");
            id = TextBetween(work, "id=\"", "\"");
            const int object = b.Make(server::ParseRecordId(id, -1), path, false);
            const size_t hash = path.find('#');
            if (hash != std::string::npos)
                path.erase(hash);
            b.Put(StringCrc(path), object);
            const std::string_view ext = FileExtension(path);
            if (ext != ".htm" && ext != ".html")
                out.resources.emplace_back(path, object);
            caption.clear();
            path.clear();
        }
        if (work.find("</ul>") != std::string::npos)
            --level;
    }
    return out;
}

std::vector<std::pair<int, int>> ReferenceContents::DisplayOrder() const {
    std::vector<std::vector<int>> children(nodes.size());
    std::vector<int> roots;
    for (size_t n = 0; n < nodes.size(); ++n) {
        const int parent = nodes[n].parent;
        (parent < 0 ? roots : children[static_cast<size_t>(parent)]).push_back(static_cast<int>(n));
    }
    std::vector<std::pair<int, int>> order;
    std::vector<std::pair<int, int>> stack;  // node, depth; children pushed in reverse
    for (auto it = roots.rbegin(); it != roots.rend(); ++it)
        stack.emplace_back(*it, 0);
    while (!stack.empty()) {
        auto [node, depth] = stack.back();
        stack.pop_back();
        order.emplace_back(node, depth);
        const auto& kids = children[static_cast<size_t>(node)];
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            stack.emplace_back(*it, depth + 1);
    }
    return order;
}

}  // namespace q3::fuzz
