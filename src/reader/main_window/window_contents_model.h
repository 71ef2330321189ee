// The contents model the window hands the content server: it collects the
// tree of the "目录" tab, the index list of the "索引" tab and the hidden
// resource list in arrays, and once the contents are read, shows the tree
// and the index from those arrays.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "reader/panes/contents_data.h"
#include "server/contents_model.h"

namespace q3::reader {

class TContentsPane;
class TIndexPane;

class TWindowContentsModel : public server::ContentsModel {
  public:
    TWindowContentsModel(TContentsPane& tree, TIndexPane& index);

    void EndUpdate() override;
    void Clear() override;
    // Once the contents are shown, and until the next Clear, nothing more
    // is added: the views read the arrays, which must not move.
    server::NodeId AddNode(server::NodeId parent, std::string_view caption) override;
    void AttachEntry(server::NodeId node, server::ContentsEntry* entry) override;
    void AddIndexItem(std::string_view caption, server::ContentsEntry* entry) override;
    void AddResourceItem(std::string_view path, server::ContentsEntry* entry) override;
    std::string NodeCaption(server::NodeId node) const override;
    // Shows contents filled and sealed elsewhere (read while the window was
    // made) in place of these; Clear must have come first.
    void ShowSealed(std::shared_ptr<TContentsData> data);

    // lst_ResList: resource paths (GBK) with their entries; never shown.
    const std::vector<server::MemoryContentsModel::Item>& Resources() const {
        return data_->model.Resources();
    }

  private:
    bool Filling() const { return !shown_; }
    // Hands the sealed arrays to the tree and the index; nothing is added after.
    void ShowData();

    TContentsPane& tree_;
    TIndexPane& index_;
    std::shared_ptr<TContentsData> data_;
    bool shown_ = false;
};

}  // namespace q3::reader
