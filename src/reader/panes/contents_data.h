// One document's contents as the side bar shows them: the model the content
// server fills, and, once it is full, the random access the contents tree and
// the index list read it through. The views read these arrays directly
// instead of holding a copy of every item.
#pragma once

#include "server/contents_model.h"
#include "server/contents_outline.h"
#include "server/index_order.h"

namespace q3::reader {

struct TContentsData {
    TContentsData() = default;
    // The outline points into the model: the data stays where it was made.
    TContentsData(const TContentsData&) = delete;
    TContentsData& operator=(const TContentsData&) = delete;

    // Builds the random access; the model must not change afterwards.
    void Seal() {
        model.ShrinkToFit();
        outline = server::ContentsOutline(model);
    }

    // The index order, sorted when it is first asked for: a large book shows
    // its first page without waiting for an index nobody has looked at yet.
    const server::SortedIndex& Index() const {
        if (!index_sorted_) {
            index_ = server::SortedIndex(model);
            index_sorted_ = true;
        }
        return index_;
    }

    server::MemoryContentsModel model;
    server::ContentsOutline outline;

  private:
    mutable server::SortedIndex index_;
    mutable bool index_sorted_ = false;
};

}  // namespace q3::reader
