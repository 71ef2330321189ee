// Growing storage for the many small records a large contents makes (tree
// nodes, entries, table nodes, their texts). It grows by whole blocks and
// never moves what it holds: filling it writes each byte once, with no copy
// and no doubled footprint on growth, and references to elements stay valid
// for its life.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace q3 {

template <class T, size_t kBlockBytes = size_t{16} << 10>
class BlockVector {
    // Blocks are left uninitialised and elements are never destroyed.
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

  public:
    static constexpr size_t kPerBlock = std::max<size_t>(1, kBlockBytes / sizeof(T));

    T& push_back(const T& value) { return emplace_back(value); }

    // Builds the element in its slot from the aggregate's fields. A record
    // first built on the stack field by field and then copied whole is read
    // back before its narrow stores have landed, which stalls the processor
    // once per element.
    template <class... Args>
    T& emplace_back(Args&&... args) {
        if (size_ == blocks_.size() * kPerBlock)
            blocks_.push_back(std::make_unique_for_overwrite<Slot[]>(kPerBlock));
        T* slot = ::new (static_cast<void*>(&blocks_[size_ / kPerBlock][size_ % kPerBlock]))
            T{std::forward<Args>(args)...};
        ++size_;
        return *slot;
    }

    T& operator[](size_t i) { return *At(i); }
    const T& operator[](size_t i) const { return *At(i); }
    T& back() { return (*this)[size_ - 1]; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    void clear() {
        blocks_.clear();
        size_ = 0;
    }

  private:
    // Raw room for an element: a block of T itself would run T's default
    // member initialisers over the whole block before any element is stored.
    struct Slot {
        alignas(T) unsigned char bytes[sizeof(T)];
    };

    T* At(size_t i) const {
        return std::launder(reinterpret_cast<T*>(blocks_[i / kPerBlock][i % kPerBlock].bytes));
    }

    std::vector<std::unique_ptr<Slot[]>> blocks_;
    size_t size_ = 0;
};

// Texts kept side by side in large blocks; a text longer than a block gets a
// block of its own. Views handed out stay valid until Clear.
class TextBlocks {
  public:
    std::string_view Keep(std::string_view text) {
        if (text.empty())
            return {};
        if (text.size() > kBlock / 4) {
            // A long text on its own: the current block keeps its free room.
            big_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
            std::memcpy(big_.back().get(), text.data(), text.size());
            return std::string_view(big_.back().get(), text.size());
        }
        if (kBlock - used_ < text.size() || blocks_.empty()) {
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlock));
            used_ = 0;
        }
        char* at = blocks_.back().get() + used_;
        std::memcpy(at, text.data(), text.size());
        used_ += text.size();
        return std::string_view(at, text.size());
    }

    void Clear() {
        blocks_.clear();
        big_.clear();
        used_ = 0;
    }

  private:
    static constexpr size_t kBlock = size_t{16} << 10;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::unique_ptr<char[]>> big_;
    size_t used_ = 0;
};

}  // namespace q3
