#include "server/contents_model.h"

#include <algorithm>

#include "server/index_order.h"

namespace q3::server {

ContentsEntry* EntryTable::Make(NodeId node, int32_t record, std::string_view path) {
    owned_.push_back(ContentsEntry{node, record, KeepText(path.substr(0, kLocalPathCapacity))});
    return &owned_.back();
}

std::string_view EntryTable::KeepText(std::string_view text) {
    constexpr size_t kBlock = 64 * 1024;  // holds hundreds of paths; a path is at most 255
    if (block_size_ - block_used_ < text.size()) {
        text_blocks_.push_back(std::make_unique<char[]>(kBlock));
        block_used_ = 0;
        block_size_ = kBlock;
    }
    char* at = text_blocks_.back().get() + block_used_;
    std::copy(text.begin(), text.end(), at);
    block_used_ += text.size();
    return std::string_view(at, text.size());
}

void MemoryContentsModel::Clear() {
    arena_.clear();
    nodes_.clear();
    first_root_ = last_root_ = kNoNode;
    index_.clear();
    resources_.clear();
}

size_t MemoryContentsModel::Keep(std::string_view text) {
    const size_t at = arena_.size();
    arena_.append(text);
    return at;
}

NodeId MemoryContentsModel::AddNode(NodeId parent, std::string_view caption) {
    Node n;
    n.parent = parent;
    n.caption_at = Keep(caption);
    n.caption_len = caption.size();
    nodes_.push_back(n);
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
    index_.push_back(IndexRef{Keep(caption), caption.size(), entry});
}

void MemoryContentsModel::AddResourceItem(std::string_view path, ContentsEntry* entry) {
    resources_.push_back(Item{std::string(path), entry});
}

void MemoryContentsModel::ShrinkToFit() {
    arena_.shrink_to_fit();
    nodes_.shrink_to_fit();
    index_.shrink_to_fit();
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
    for (const IndexRef& r : index_)
        out.push_back(Item{std::string(std::string_view(arena_).substr(r.at, r.len)), r.entry});
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
