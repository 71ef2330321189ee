#include "reader/main_window/window_contents_model.h"

#include "reader/panes/contents_pane.h"
#include "reader/panes/index_pane.h"

namespace q3::reader {

TWindowContentsModel::TWindowContentsModel(TContentsPane& tree, TIndexPane& index)
    : tree_(tree), index_(index), data_(std::make_shared<TContentsData>()) {}

void TWindowContentsModel::Clear() {
    // The views let go of the old arrays (and the entries they point at)
    // before anything else happens to them.
    tree_.Clear();
    index_.Clear();
    data_ = std::make_shared<TContentsData>();
    shown_ = false;
}

void TWindowContentsModel::EndUpdate() {
    if (shown_)
        return;
    data_->Seal();
    ShowData();
}

void TWindowContentsModel::ShowSealed(std::shared_ptr<TContentsData> data) {
    data_ = std::move(data);
    ShowData();
}

void TWindowContentsModel::ShowData() {
    shown_ = true;
    tree_.Show(data_);
    index_.Show(data_);
}

server::NodeId TWindowContentsModel::AddNode(server::NodeId parent, std::string_view caption) {
    if (!Filling())
        return server::kNoNode;
    // A parent from another filling (a document replaced while its contents
    // were read) is no node here: the node goes to the root level instead.
    if (parent > data_->model.NodeCount())
        parent = server::kNoNode;
    return data_->model.AddNode(parent, caption);
}

void TWindowContentsModel::AttachEntry(server::NodeId node, server::ContentsEntry* entry) {
    if (Filling() && node != server::kNoNode && node <= data_->model.NodeCount())
        data_->model.AttachEntry(node, entry);
}

void TWindowContentsModel::AddIndexItem(std::string_view caption, server::ContentsEntry* entry) {
    if (Filling())
        data_->model.AddIndexItem(caption, entry);
}

void TWindowContentsModel::AddResourceItem(std::string_view path, server::ContentsEntry* entry) {
    if (Filling())
        data_->model.AddResourceItem(path, entry);
}

std::string TWindowContentsModel::NodeCaption(server::NodeId node) const {
    return data_->model.NodeCaption(node);
}

}  // namespace q3::reader
