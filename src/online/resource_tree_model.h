// The tree of recommended resources ("强力推荐") as the feed reader fills it:
// the window's tree store is one implementation, an in-memory model (tests)
// another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace q3::online {

// One resource, attached to its node. Texts are UTF-8, cut to at most the
// given number of characters (never inside a character).
struct ResourceEntry {
    std::int32_t id = -1;
    std::int32_t pid = -1;
    std::string type;         // at most 48 characters
    std::string pubdate;      // at most 20
    std::string description;  // at most 48
    std::string title;        // at most 64; the node's caption keeps it whole
    std::string link;         // at most 255; what a click opens
};

// A node of the model; 0 is no node (the roots' parent).
using ResourceNodeId = std::size_t;
inline constexpr ResourceNodeId kNoResourceNode = 0;

class ResourceTreeModel {
  public:
    virtual ~ResourceTreeModel() = default;
    // Around a rebuild, so a view can detach while it is filled.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
    // Removes every node.
    virtual void Clear() = 0;
    // Appends a node as the last child of parent (kNoResourceNode: the last
    // root) and returns its id, never kNoResourceNode.
    virtual ResourceNodeId AddNode(ResourceNodeId parent, std::string_view caption,
                                   const ResourceEntry& entry) = 0;
    // Shows node expanded, with all its descendants.
    virtual void ExpandAll(ResourceNodeId node) = 0;
};

// The plain model: nodes in a vector, in the order they were added.
class MemoryResourceTreeModel : public ResourceTreeModel {
  public:
    struct Node {
        ResourceNodeId parent = kNoResourceNode;
        std::string caption;
        ResourceEntry entry;
        bool expanded = false;
        std::vector<ResourceNodeId> children;
    };

    void Clear() override;
    ResourceNodeId AddNode(ResourceNodeId parent, std::string_view caption,
                           const ResourceEntry& entry) override;
    void ExpandAll(ResourceNodeId node) override;

    const Node& At(ResourceNodeId id) const { return nodes_.at(id - 1); }
    const std::vector<ResourceNodeId>& Roots() const { return roots_; }
    std::size_t NodeCount() const { return nodes_.size(); }

  private:
    std::vector<Node> nodes_;
    std::vector<ResourceNodeId> roots_;
};

}  // namespace q3::online
