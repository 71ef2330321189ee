// The addressable items of the open document and the table that owns them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/block_vector.h"
#include "document/int_hash.h"

namespace q3::server {

// A contents tree node as the model that shows the tree names it; 0 is none.
using NodeId = uint32_t;
inline constexpr NodeId kNoNode = 0;

struct ContentsEntry {
    NodeId Node = kNoNode;  // the tree node that shows this item, if any
    int32_t RecordNo = -1;  // -1: the item has no record, nothing is served
    // Lower-case, backslash-separated, at most 255 bytes; the bytes live in
    // the entry table's text arena, as long as the entry itself.
    std::string_view LocalPath;
};

inline constexpr size_t kLocalPathCapacity = 255;
inline constexpr uint32_t kEntryBuckets = 200000;

// The entry table of one open document: checksum of a path -> entry, with the
// insertion order the full-text search relies on. It owns every entry it was
// ever given, including ones a later resource line replaced under the same
// key: the tree and the index list may still point at those, so they live as
// long as the table instead of leaking or dangling.
class EntryTable {
  public:
    EntryTable() : hash_(kEntryBuckets, doc::Ownership::kNone) {}

    ContentsEntry* Get(uint32_t key) const { return hash_.Get(key); }
    void Prefetch(uint32_t key) const { hash_.Prefetch(key); }
    // For a contents large enough to reach nearly every bucket page.
    void Populate() const { hash_.Populate(); }
    ContentsEntry* Make(NodeId node, int32_t record, std::string_view path);
    void Put(uint32_t key, ContentsEntry* entry) { hash_.Put(key, entry); }
    // False, storing nothing, when the key is taken.
    bool Insert(uint32_t key, ContentsEntry* entry) { return hash_.Insert(key, entry); }

    int32_t Count() const { return hash_.Count(); }
    const std::vector<doc::TIntHash<ContentsEntry>::Node*>& Nodes() const { return hash_.Nodes(); }

  private:
    doc::TIntHash<ContentsEntry> hash_;
    // Stable addresses, one allocation per many entries: a large contents
    // fills the table without an allocation per item.
    BlockVector<ContentsEntry> owned_;
    TextBlocks paths_;
};

}  // namespace q3::server
