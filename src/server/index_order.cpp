#include "server/index_order.h"

#include <algorithm>
#include <stdexcept>

#include "common/gbk.h"
#include "server/contents_model.h"

namespace q3::server {

std::string IndexOrder::Key(std::string_view gbk_caption) const {
    return GbkLower(gbk_caption);
}

SortedIndex::SortedIndex(const MemoryContentsModel& model) {
    const size_t count = model.IndexSize();
    size_t bytes = 0;
    for (size_t i = 0; i < count; ++i)
        bytes += model.IndexCaption(i).size();
    // Rows and key offsets are 32-bit: a contents text past 4 GiB cannot be
    // read in the first place.
    if (count > UINT32_MAX || bytes > UINT32_MAX)
        throw std::length_error("index too large");
    keys_.reserve(bytes);
    key_ends_.reserve(count);
    const IndexOrder order;
    for (size_t i = 0; i < count; ++i) {
        keys_ += order.Key(model.IndexCaption(i));
        key_ends_.push_back(static_cast<uint32_t>(keys_.size()));
    }
    order_.resize(count);
    for (size_t i = 0; i < count; ++i)
        order_[i] = static_cast<uint32_t>(i);
    std::stable_sort(order_.begin(), order_.end(),
                     [this](uint32_t a, uint32_t b) { return KeyAt(a) < KeyAt(b); });
}

std::string_view SortedIndex::KeyAt(size_t item) const {
    const size_t begin = item == 0 ? 0 : key_ends_[item - 1];
    return std::string_view(keys_).substr(begin, key_ends_[item] - begin);
}

std::optional<size_t> SortedIndex::FindPrefix(std::string_view gbk_prefix) const {
    if (gbk_prefix.empty())
        return std::nullopt;
    const std::string prefix = IndexOrder().Key(gbk_prefix);
    // Captions that begin with the prefix sort together, from where the
    // prefix itself would sort.
    const auto row =
        std::lower_bound(order_.begin(), order_.end(), std::string_view(prefix),
                         [this](uint32_t item, std::string_view p) { return KeyAt(item) < p; });
    if (row == order_.end() || !KeyAt(*row).starts_with(prefix))
        return std::nullopt;
    return static_cast<size_t>(row - order_.begin());
}

}  // namespace q3::server
