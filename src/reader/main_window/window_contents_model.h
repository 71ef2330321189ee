// The contents model the window hands the content server: the tree of the
// "目录" tab, the index list of the "索引" tab and the hidden resource list.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "server/contents_model.h"

namespace q3::reader {

class TContentsPane;
class TIndexPane;

class TWindowContentsModel : public server::ContentsModel {
  public:
    TWindowContentsModel(TContentsPane& tree, TIndexPane& index) : tree_(tree), index_(index) {}

    void BeginUpdate() override;
    void EndUpdate() override;
    void Clear() override;
    server::NodeId AddNode(server::NodeId parent, std::string_view caption) override;
    void AttachEntry(server::NodeId node, server::ContentsEntry* entry) override;
    void AddIndexItem(std::string_view caption, server::ContentsEntry* entry) override;
    void AddResourceItem(std::string_view path, server::ContentsEntry* entry) override;
    std::string NodeCaption(server::NodeId node) const override;

    // lst_ResList: resource paths (GBK) with their entries; never shown.
    const std::vector<std::pair<std::string, server::ContentsEntry*>>& Resources() const {
        return resources_;
    }
    void ClearResources() { resources_.clear(); }

  private:
    TContentsPane& tree_;
    TIndexPane& index_;
    std::vector<std::pair<std::string, server::ContentsEntry*>> resources_;
};

}  // namespace q3::reader
