// Random access over a filled contents tree: the n-th child of a node, a
// node's place among its siblings, and the walk in display order. A tree view
// asks for exactly these, row by row, so a tree of a hundred thousand items
// can be shown without copying it; the outline is built once, in one pass,
// after the contents are read.
#pragma once

#include <cstdint>
#include <vector>

#include "server/contents_model.h"

namespace q3::server {

class ContentsOutline {
  public:
    ContentsOutline() = default;
    // The model must outlive the outline and not change any more.
    explicit ContentsOutline(const MemoryContentsModel& model);

    // parent kNoNode stands for the root level.
    size_t ChildCount(NodeId parent) const;
    // kNoNode when n is out of range.
    NodeId Child(NodeId parent, size_t n) const;
    // The node's place among its siblings, from 0.
    size_t Position(NodeId node) const { return position_[node]; }
    NodeId Parent(NodeId node) const { return model_->At(node).parent; }
    NodeId NextSibling(NodeId node) const { return model_->At(node).next_sibling; }
    size_t NodeCount() const { return position_.empty() ? 0 : position_.size() - 1; }
    bool Valid(NodeId node) const { return node != kNoNode && node < position_.size(); }

    // The positions from the root level down to the node.
    std::vector<int> PathOf(NodeId node) const;

    // Display order: depth first from the first root, across levels.
    // kNoNode past either end.
    NodeId NextInDisplayOrder(NodeId node) const;
    NodeId PreviousInDisplayOrder(NodeId node) const;
    // The first node in display order that carries an entry, or kNoNode.
    NodeId FirstWithEntry() const;

  private:
    const MemoryContentsModel* model_ = nullptr;
    // Children grouped by parent, each group in sibling order; a parent's
    // group starts at first_child_at_[parent] (index 0: the root level).
    std::vector<NodeId> children_;
    std::vector<uint32_t> first_child_at_;
    std::vector<uint32_t> position_;  // by node id; [0] unused
};

}  // namespace q3::server
