// The order of the alphabetic index: captions compared by their GBK bytes,
// ASCII letters without regard to case. GBK lists its first-level hanzi in
// pinyin order, so this is the order a Chinese reader expects, and it is the
// same on every machine whatever its locale. The window's index list and
// `qbxtool index` share it, so both list the same.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q3::server {

class MemoryContentsModel;

class IndexOrder {
  public:
    // A byte string whose plain (unsigned) comparison gives the index order
    // of the GBK caption it was made from.
    std::string Key(std::string_view gbk_caption) const;
    bool Less(std::string_view a, std::string_view b) const { return Key(a) < Key(b); }
};

// The index items of a filled contents model in index order: sorted once,
// each item's key computed once. Items with equal keys keep the order in
// which the contents named them.
class SortedIndex {
  public:
    SortedIndex() = default;
    explicit SortedIndex(const MemoryContentsModel& model);

    size_t Size() const { return order_.size(); }
    // The model's index item listed at a row.
    size_t ItemAt(size_t row) const { return order_[row]; }
    // The first row whose caption, lower-cased, begins with the GBK prefix
    // lower-cased; nothing for an empty prefix or when no caption does.
    std::optional<size_t> FindPrefix(std::string_view gbk_prefix) const;

  private:
    std::string_view KeyAt(size_t row) const;

    std::vector<uint32_t> order_;     // row -> item
    std::string keys_;                // every item's key, in item order
    std::vector<uint32_t> key_ends_;  // item -> end of its key in keys_
};

}  // namespace q3::server
