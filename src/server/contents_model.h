// What the contents parser fills: the window's tree view, index list and
// resource list are one implementation, an in-memory model (qbxtool, tests)
// another. The model only refers to entries; the entry table owns them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/block_vector.h"
#include "server/contents_entry.h"

namespace q3::server {

class ContentsModel {
  public:
    virtual ~ContentsModel() = default;
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
    // Removes every tree node, index item and resource item.
    virtual void Clear() = 0;
    // Appends a node with a GBK caption as the last child of parent (kNoNode:
    // the last root node) and returns its id, never kNoNode.
    virtual NodeId AddNode(NodeId parent, std::string_view caption) = 0;
    virtual void AttachEntry(NodeId node, ContentsEntry* entry) = 0;
    virtual void AddIndexItem(std::string_view caption, ContentsEntry* entry) = 0;
    virtual void AddResourceItem(std::string_view path, ContentsEntry* entry) = 0;
    // The GBK caption of a node, as search results list it.
    virtual std::string NodeCaption(NodeId node) const = 0;
};

// The plain model: everything kept in the order it arrived. Nodes, index
// items and captions live in block storage, so filling a large contents costs
// no allocation per item and no copying as it grows.
class MemoryContentsModel : public ContentsModel {
  public:
    struct Node {
        NodeId parent = kNoNode;
        NodeId first_child = kNoNode;
        NodeId last_child = kNoNode;
        NodeId next_sibling = kNoNode;
        ContentsEntry* entry = nullptr;
        std::string_view caption;  // kept in the model's text blocks
    };
    struct Item {
        std::string text;
        ContentsEntry* entry = nullptr;
    };

    void Clear() override;
    NodeId AddNode(NodeId parent, std::string_view caption) override;
    void AttachEntry(NodeId node, ContentsEntry* entry) override;
    void AddIndexItem(std::string_view caption, ContentsEntry* entry) override;
    void AddResourceItem(std::string_view path, ContentsEntry* entry) override;
    std::string NodeCaption(NodeId node) const override;

    const Node& At(NodeId id) const { return nodes_[id - 1]; }
    std::string_view Caption(NodeId id) const { return At(id).caption; }
    NodeId FirstRoot() const { return first_root_; }
    std::vector<NodeId> Roots() const;
    std::vector<NodeId> Children(NodeId id) const;
    size_t NodeCount() const { return nodes_.size(); }
    // The index items in the order they arrived.
    size_t IndexSize() const { return index_.size(); }
    std::string_view IndexCaption(size_t i) const { return index_[i].caption; }
    ContentsEntry* IndexEntry(size_t i) const { return index_[i].entry; }
    // The index in the order items arrived, and as the reader lists it.
    std::vector<Item> Index() const;
    std::vector<Item> SortedIndex() const;
    const std::vector<Item>& Resources() const { return resources_; }

    // Gives back what the arrays reserved beyond their items.
    void ShrinkToFit();

    // Nodes depth first from the first root, each with its depth (0 for roots).
    std::vector<std::pair<NodeId, int>> DisplayOrder() const;

  private:
    struct IndexRef {
        std::string_view caption;
        ContentsEntry* entry;
    };

    TextBlocks text_;
    BlockVector<Node> nodes_;
    NodeId first_root_ = kNoNode, last_root_ = kNoNode;
    BlockVector<IndexRef> index_;
    std::vector<Item> resources_;
};

}  // namespace q3::server
