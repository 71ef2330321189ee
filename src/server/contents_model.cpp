#include "server/contents_model.h"

#include <algorithm>

#include "server/index_order.h"

namespace q3::server {

ContentsEntry* EntryTable::Make(NodeId node, int32_t record, std::string_view path) {
    return &owned_.emplace_back(node, record, paths_.Keep(path.substr(0, kLocalPathCapacity)));
}

void MemoryContentsModel::Clear() {
    text_.Clear();
    nodes_.clear();
    first_root_ = last_root_ = kNoNode;
    index_.clear();
    resources_.clear();
}

NodeId MemoryContentsModel::AddNode(NodeId parent, std::string_view caption) {
    const std::string_view kept = text_.Keep(caption);
    nodes_.emplace_back(parent, kNoNode, kNoNode, kNoNode, nullptr, kept);
    const auto id = static_cast<NodeId>(nodes_.size());
    NodeId& first = parent == kNoNode ? first_root_ : nodes_[parent - 1].first_child;
    NodeId& last = parent == kNoNode ? last_root_ : nodes_[parent - 1].last_child;
    if (last != kNoNode)
        nodes_[last - 1].next_sibling = id;
    else
        first = id;
    last = id;
    return id;
}

void MemoryContentsModel::AttachEntry(NodeId node, ContentsEntry* entry) {
    nodes_[node - 1].entry = entry;
}

void MemoryContentsModel::AddIndexItem(std::string_view caption, ContentsEntry* entry) {
    // An index item is captioned like the node of its entry: the text is
    // kept once.
    const NodeId node = entry != nullptr ? entry->Node : kNoNode;
    const bool as_node = node != kNoNode && node <= nodes_.size() && At(node).caption == caption;
    index_.emplace_back(as_node ? At(node).caption : text_.Keep(caption), entry);
}

void MemoryContentsModel::AddResourceItem(std::string_view path, ContentsEntry* entry) {
    resources_.push_back(Item{std::string(path), entry});
}

void MemoryContentsModel::ShrinkToFit() {
    // Nodes, index items and captions sit in blocks of a fixed size; only
    // the resource list grows by doubling.
    resources_.shrink_to_fit();
}

std::string MemoryContentsModel::NodeCaption(NodeId node) const {
    if (node == kNoNode || node > nodes_.size())
        return {};
    return std::string(Caption(node));
}

std::vector<NodeId> MemoryContentsModel::Roots() const {
    std::vector<NodeId> out;
    for (NodeId id = first_root_; id != kNoNode; id = At(id).next_sibling)
        out.push_back(id);
    return out;
}

std::vector<NodeId> MemoryContentsModel::Children(NodeId node) const {
    std::vector<NodeId> out;
    for (NodeId id = At(node).first_child; id != kNoNode; id = At(id).next_sibling)
        out.push_back(id);
    return out;
}

std::vector<std::pair<NodeId, int>> MemoryContentsModel::DisplayOrder() const {
    std::vector<std::pair<NodeId, int>> out;
    out.reserve(nodes_.size());
    std::vector<std::pair<NodeId, int>> stack;  // the next node to visit at each depth
    if (first_root_ != kNoNode)
        stack.emplace_back(first_root_, 0);
    while (!stack.empty()) {
        auto [id, depth] = stack.back();
        stack.pop_back();
        out.emplace_back(id, depth);
        if (At(id).next_sibling != kNoNode)
            stack.emplace_back(At(id).next_sibling, depth);
        if (At(id).first_child != kNoNode)
            stack.emplace_back(At(id).first_child, depth + 1);
    }
    return out;
}

std::vector<MemoryContentsModel::Item> MemoryContentsModel::Index() const {
    std::vector<Item> out;
    out.reserve(index_.size());
    for (size_t i = 0; i < index_.size(); ++i)
        out.push_back(Item{std::string(index_[i].caption), index_[i].entry});
    return out;
}

std::vector<MemoryContentsModel::Item> MemoryContentsModel::SortedIndex() const {
    const server::SortedIndex sorted(*this);
    std::vector<Item> out;
    out.reserve(sorted.Size());
    for (size_t row = 0; row < sorted.Size(); ++row) {
        const size_t item = sorted.ItemAt(row);
        out.push_back(Item{std::string(IndexCaption(item)), IndexEntry(item)});
    }
    return out;
}

}  // namespace q3::server
