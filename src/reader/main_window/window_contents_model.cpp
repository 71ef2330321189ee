#include "reader/main_window/window_contents_model.h"

#include "reader/panes/contents_pane.h"
#include "reader/panes/index_pane.h"

namespace q3::reader {

void TWindowContentsModel::BeginUpdate() {
    tree_.contents_tree.freeze_child_notify();
    index_.BeginUpdate();
}

void TWindowContentsModel::EndUpdate() {
    index_.EndUpdate();
    tree_.contents_tree.thaw_child_notify();
}

void TWindowContentsModel::Clear() {
    tree_.Clear();
    index_.Clear();
    resources_.clear();
}

server::NodeId TWindowContentsModel::AddNode(server::NodeId parent, std::string_view caption) {
    return tree_.AddNode(parent, caption);
}

void TWindowContentsModel::AttachEntry(server::NodeId node, server::ContentsEntry* entry) {
    tree_.AttachEntry(node, entry);
}

void TWindowContentsModel::AddIndexItem(std::string_view caption, server::ContentsEntry* entry) {
    index_.AddItem(caption, entry);
}

void TWindowContentsModel::AddResourceItem(std::string_view path, server::ContentsEntry* entry) {
    resources_.emplace_back(std::string(path), entry);
}

std::string TWindowContentsModel::NodeCaption(server::NodeId node) const {
    return tree_.NodeCaption(node);
}

}  // namespace q3::reader
