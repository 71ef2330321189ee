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
        index = server::SortedIndex(model);
    }

    server::MemoryContentsModel model;
    server::ContentsOutline outline;
    server::SortedIndex index;
};

}  // namespace q3::reader
