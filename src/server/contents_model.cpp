#include "server/contents_model.h"

#include <algorithm>

#include "server/index_order.h"

namespace q3::server {

ContentsEntry* EntryTable::Make(NodeId node, int32_t record, std::string_view path) {
    auto e = std::make_unique<ContentsEntry>();
    e->Node = node;
    e->RecordNo = record;
    e->LocalPath = std::string(path.substr(0, kLocalPathCapacity));
    owned_.push_back(std::move(e));
    return owned_.back().get();
}

void MemoryContentsModel::Clear() {
    nodes_.clear();
    roots_.clear();
    index_.clear();
    resources_.clear();
}

NodeId MemoryContentsModel::AddNode(NodeId parent, std::string_view caption) {
    nodes_.push_back(Node{parent, std::string(caption), nullptr, {}});
    const auto id = static_cast<NodeId>(nodes_.size());
    if (parent == kNoNode)
        roots_.push_back(id);
    else
        nodes_[parent - 1].children.push_back(id);
    return id;
}

void MemoryContentsModel::AttachEntry(NodeId node, ContentsEntry* entry) {
    nodes_[node - 1].entry = entry;
}

void MemoryContentsModel::AddIndexItem(std::string_view caption, ContentsEntry* entry) {
    index_.push_back(Item{std::string(caption), entry});
}

void MemoryContentsModel::AddResourceItem(std::string_view path, ContentsEntry* entry) {
    resources_.push_back(Item{std::string(path), entry});
}

std::string MemoryContentsModel::NodeCaption(NodeId node) const {
    if (node == kNoNode || node > nodes_.size()) return {};
    return nodes_[node - 1].caption;
}

std::vector<std::pair<NodeId, int>> MemoryContentsModel::DisplayOrder() const {
    std::vector<std::pair<NodeId, int>> out;
    out.reserve(nodes_.size());
    std::vector<std::pair<NodeId, int>> stack;
    for (auto it = roots_.rbegin(); it != roots_.rend(); ++it) stack.emplace_back(*it, 0);
    while (!stack.empty()) {
        auto [id, depth] = stack.back();
        stack.pop_back();
        out.emplace_back(id, depth);
        const auto& kids = nodes_[id - 1].children;
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.emplace_back(*it, depth + 1);
    }
    return out;
}

std::vector<MemoryContentsModel::Item> MemoryContentsModel::SortedIndex() const {
    std::vector<Item> sorted = index_;
    IndexOrder order;
    std::vector<std::string> keys;
    keys.reserve(sorted.size());
    for (const Item& i : sorted) keys.push_back(order.Key(i.text));
    std::vector<size_t> perm(sorted.size());
    for (size_t i = 0; i < perm.size(); ++i) perm[i] = i;
    std::stable_sort(perm.begin(), perm.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<Item> out;
    out.reserve(sorted.size());
    for (size_t p : perm) out.push_back(std::move(sorted[p]));
    return out;
}

}  // namespace q3::server
