#include "server/contents_outline.h"

#include <algorithm>
#include <stdexcept>

namespace q3::server {

ContentsOutline::ContentsOutline(const MemoryContentsModel& model) : model_(&model) {
    const size_t count = model.NodeCount();
    if (count > UINT32_MAX - 2)
        throw std::length_error("contents tree too large");
    // Counting sort by parent: the size of every group first, then where
    // each starts.
    first_child_at_.assign(count + 2, 0);
    for (NodeId id = 1; id <= count; ++id)
        ++first_child_at_[model.At(id).parent + 1];
    for (size_t p = 1; p < first_child_at_.size(); ++p)
        first_child_at_[p] += first_child_at_[p - 1];
    children_.assign(count, kNoNode);
    position_.assign(count + 1, 0);
    const auto fill = [this, &model](NodeId parent, NodeId first) {
        const uint32_t begin = first_child_at_[parent];
        const uint32_t end = first_child_at_[parent + 1];
        uint32_t at = begin;
        for (NodeId id = first; id != kNoNode && at < end; id = model.At(id).next_sibling) {
            children_[at] = id;
            position_[id] = at - begin;
            ++at;
        }
    };
    fill(kNoNode, model.FirstRoot());
    for (NodeId id = 1; id <= count; ++id)
        fill(id, model.At(id).first_child);
}

size_t ContentsOutline::ChildCount(NodeId parent) const {
    if (parent + 1 >= first_child_at_.size())
        return 0;
    return first_child_at_[parent + 1] - first_child_at_[parent];
}

NodeId ContentsOutline::Child(NodeId parent, size_t n) const {
    return n < ChildCount(parent) ? children_[first_child_at_[parent] + n] : kNoNode;
}

std::vector<int> ContentsOutline::PathOf(NodeId node) const {
    std::vector<int> path;
    for (NodeId id = node; Valid(id); id = Parent(id))
        path.push_back(static_cast<int>(Position(id)));
    std::reverse(path.begin(), path.end());
    return path;
}

NodeId ContentsOutline::NextInDisplayOrder(NodeId node) const {
    if (!Valid(node))
        return kNoNode;
    if (ChildCount(node) > 0)
        return Child(node, 0);
    for (NodeId id = node; id != kNoNode; id = Parent(id)) {
        if (NextSibling(id) != kNoNode)
            return NextSibling(id);
    }
    return kNoNode;
}

NodeId ContentsOutline::PreviousInDisplayOrder(NodeId node) const {
    if (!Valid(node))
        return kNoNode;
    const size_t at = Position(node);
    if (at == 0)
        return Parent(node);
    // The last node shown under the sibling before: its deepest last child.
    NodeId id = Child(Parent(node), at - 1);
    while (ChildCount(id) > 0)
        id = Child(id, ChildCount(id) - 1);
    return id;
}

NodeId ContentsOutline::FirstWithEntry() const {
    for (NodeId id = Child(kNoNode, 0); id != kNoNode; id = NextInDisplayOrder(id)) {
        if (model_->At(id).entry != nullptr)
            return id;
    }
    return kNoNode;
}

}  // namespace q3::server
