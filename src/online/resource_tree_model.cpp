#include "online/resource_tree_model.h"

namespace q3::online {

void MemoryResourceTreeModel::Clear() {
    nodes_.clear();
    roots_.clear();
}

ResourceNodeId MemoryResourceTreeModel::AddNode(ResourceNodeId parent, std::string_view caption,
                                                const ResourceEntry& entry) {
    nodes_.push_back(Node{parent, std::string(caption), entry, false, {}});
    const ResourceNodeId id = nodes_.size();
    if (parent == kNoResourceNode) {
        roots_.push_back(id);
    } else {
        nodes_.at(parent - 1).children.push_back(id);
    }
    return id;
}

void MemoryResourceTreeModel::ExpandAll(ResourceNodeId node) {
    std::vector<ResourceNodeId> pending = {node};
    while (!pending.empty()) {
        Node& n = nodes_.at(pending.back() - 1);
        pending.pop_back();
        n.expanded = true;
        pending.insert(pending.end(), n.children.begin(), n.children.end());
    }
}

}  // namespace q3::online
