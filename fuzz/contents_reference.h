// The contents rules written the plain way: every line lower-cased whole and
// every marker found with a byte search in that copy, the table a map. The
// fuzz target compares the content server's parser (which finds markers
// without lower-casing, scans lines by blocks and defers its table writes)
// with it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace q3::fuzz {

struct ReferenceContents {
    struct Object {  // every entry ever made, in the order made
        int32_t record;
        std::string path;  // as stored: at most 255 bytes
        bool has_node;
    };
    struct Node {
        std::string caption;
        int parent;  // -1 for a root
        int object;  // -1 for a heading
    };
    std::vector<Object> objects;
    std::vector<Node> nodes;                             // in the order made
    std::vector<std::pair<uint32_t, int>> table;         // key, object; first-stored order
    std::vector<std::pair<std::string, int>> index;      // caption, object
    std::vector<std::pair<std::string, int>> resources;  // path, object

    // Node numbers depth first from the first root, each with its depth.
    std::vector<std::pair<int, int>> DisplayOrder() const;
};

ReferenceContents ParseReference(std::string_view text);

}  // namespace q3::fuzz
