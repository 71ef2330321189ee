// A fixed-size chained hash from 32-bit keys to object pointers that also
// keeps its pairs in insertion order. The content server keys it by the
// checksum of a document path; the full-text search walks the insertion order
// to find the first contents item of a record, so that order is part of the
// table's contract, not an accident of the implementation.
#pragma once

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "common/block_vector.h"

namespace q3::doc {

enum class Ownership : uint8_t {
    kReleaseValues,  // Clear and the destructor delete the stored values
    kNone,           // values belong to whoever stored them
};

template <class V>
class TIntHash {
  public:
    struct Node {
        uint32_t key;
        uint32_t next;  // the next node of the same bucket, as an index + 1; 0 ends the chain
        V* value;
    };

    // Missing is the null pointer: Get returns it for an absent key and Put
    // with it removes the key.
    TIntHash(uint32_t bucket_count, Ownership ownership)
        : bucket_count_(bucket_count == 0 ? 1 : bucket_count),
          reciprocal_(~uint64_t{0} / bucket_count_ + 1),
          buckets_(AllocateBuckets(bucket_count_)),
          ownership_(ownership) {}
    virtual ~TIntHash() { Clear(); }
    TIntHash(const TIntHash&) = delete;
    TIntHash& operator=(const TIntHash&) = delete;

    V* Get(uint32_t key) const {
        const Bucket& b = buckets_[BucketOf(key)];
        const uint32_t head = b.head & kIndex;
        if (head == 0)
            return nullptr;
        if (b.head_key == key)
            return nodes_[head - 1].value;
        if ((b.head & kMore) == 0)
            return nullptr;
        for (uint32_t i = nodes_[head - 1].next; i != 0; i = nodes_[i - 1].next) {
            if (nodes_[i - 1].key == key)
                return nodes_[i - 1].value;
        }
        return nullptr;
    }

    // Starts fetching key's bucket into the cache, for a caller that knows
    // its next key some work before it asks for it.
    void Prefetch(uint32_t key) const { __builtin_prefetch(&buckets_[BucketOf(key)]); }

    // Makes the whole bucket array resident in one request, for a caller
    // about to store enough keys to reach nearly every page of it. Faulting
    // its hundreds of small pages in one by one on first write costs more
    // than the rest of filling the table (most of all in a virtual machine,
    // where a page's first touch leaves the guest); one huge page, where the
    // system grants it, is a single fault and a single TLB entry. Only hints:
    // where the system declines, pages come in as before.
    void Populate() const {
        const size_t bytes = buckets_.get_deleter().bytes;
        if (bytes < kMappedBuckets)
            return;
#if defined(MADV_HUGEPAGE)
        ::madvise(buckets_.get(), bytes, MADV_HUGEPAGE);
#endif
#if defined(MADV_POPULATE_WRITE)
        ::madvise(buckets_.get(), bytes, MADV_POPULATE_WRITE);
#endif
    }

    // Stores value under key unless the key is taken (then false, and
    // nothing changes): one bucket walk where Get and then Put take two.
    bool Insert(uint32_t key, V* value) {
        Bucket& b = buckets_[BucketOf(key)];
        const uint32_t head = b.head & kIndex;
        if (head != 0) {
            if (b.head_key == key)
                return false;
            if ((b.head & kMore) != 0) {
                for (uint32_t i = nodes_[head - 1].next; i != 0; i = nodes_[i - 1].next) {
                    if (nodes_[i - 1].key == key)
                        return false;
                }
            }
        }
        const uint32_t added = NewNode(key, value, head);
        order_.push_back(&nodes_[added - 1]);  // listed before linked, as in Put
        b = Bucket{key, added | (head != 0 ? kMore : 0)};
        return true;
    }

    // Stores, replaces or (with nullptr) removes. A replaced or removed value
    // is not released: it stays with whoever stored it.
    void Put(uint32_t key, V* value) {
        Bucket& b = buckets_[BucketOf(key)];
        const uint32_t head = b.head & kIndex;
        uint32_t at = 0, before = 0;
        if (head != 0 && b.head_key == key) {
            at = head;
        } else if ((b.head & kMore) != 0) {
            for (uint32_t prev = head, i = nodes_[head - 1].next; i != 0;
                 prev = i, i = nodes_[i - 1].next) {
                if (nodes_[i - 1].key == key) {
                    at = i;
                    before = prev;
                    break;
                }
            }
        }
        if (at == 0) {
            if (value == nullptr)
                return;
            const uint32_t added = NewNode(key, value, head);
            // Listed before it is linked: a failed allocation leaves no node
            // that Nodes() does not show.
            order_.push_back(&nodes_[added - 1]);
            b = Bucket{key, added | (head != 0 ? kMore : 0)};
        } else if (value == nullptr) {
            Node& found = nodes_[at - 1];
            if (at == head) {
                const uint32_t next = found.next;
                b = next == 0 ? Bucket{0, 0}
                              : Bucket{nodes_[next - 1].key,
                                       next | (nodes_[next - 1].next != 0 ? kMore : 0)};
            } else {
                nodes_[before - 1].next = found.next;
                if (nodes_[head - 1].next == 0)
                    b.head = head;  // the head is alone again
            }
            order_.erase(std::find(order_.begin(), order_.end(), &found));
            found.next = free_;
            free_ = at;
        } else {
            nodes_[at - 1].value = value;
        }
    }

    // Removes every pair, releasing values when the table owns them.
    virtual void Clear() {
        for (Node* n : order_) {
            if (ownership_ == Ownership::kReleaseValues)
                delete n->value;
            // Only the buckets in use are written: a table that held few keys
            // never touches the rest of its (lazily zeroed) bucket array.
            buckets_[BucketOf(n->key)] = Bucket{0, 0};
        }
        order_.clear();
        nodes_.clear();
        free_ = 0;
    }

    int32_t Count() const {
        return static_cast<int32_t>(order_.size());
    }
    uint32_t BucketCount() const {
        return bucket_count_;
    }
    // Every stored pair in the order it was first stored.
    const std::vector<Node*>& Nodes() const {
        return order_;
    }

  private:
    // A chain head, with the key of its first node: a lookup that misses
    // (most lookups while a contents is loaded) reads the bucket alone, and
    // no node of the table, unless the chain holds more than one node.
    struct Bucket {
        uint32_t head_key;
        uint32_t head;  // the first node's index + 1, and kMore when it has a next
    };
    static constexpr uint32_t kMore = 0x80000000u;
    static constexpr uint32_t kIndex = ~kMore;

    // A large bucket array comes straight from the system: its pages are
    // zero until written, so opening a small book touches only the buckets
    // it uses (an allocator that zeroes what it hands out would write the
    // whole array on every open).
    static constexpr size_t kMappedBuckets = size_t{64} << 10;
    struct BucketsDeleter {
        size_t bytes;
        void operator()(Bucket* p) const {
            if (bytes >= kMappedBuckets)
                ::munmap(p, bytes);
            else
                std::free(p);
        }
    };
    using Buckets = std::unique_ptr<Bucket[], BucketsDeleter>;

    // A mapped array spans whole huge pages at a huge page's boundary, so
    // that Populate can ask for huge pages; the room past the buckets is
    // address space only, never touched.
    static constexpr size_t kHugePage = size_t{2} << 20;

    static Buckets AllocateBuckets(uint32_t count) {
        const size_t bytes = size_t{count} * sizeof(Bucket);
        if (bytes < kMappedBuckets) {
            void* p = std::calloc(count, sizeof(Bucket));
            if (p == nullptr)
                throw std::bad_alloc();
            return Buckets(static_cast<Bucket*>(p), BucketsDeleter{bytes});
        }
        const size_t mapped = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* p = ::mmap(nullptr, mapped + kHugePage, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        // Keep the aligned part of the larger mapping, give back the rest.
        const auto start = reinterpret_cast<uintptr_t>(p);
        const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
        if (aligned > start)
            ::munmap(p, aligned - start);
        if (const size_t tail = start + mapped + kHugePage - (aligned + mapped); tail > 0)
            ::munmap(reinterpret_cast<void*>(aligned + mapped), tail);
        return Buckets(reinterpret_cast<Bucket*>(aligned), BucketsDeleter{mapped});
    }

    // key % bucket_count_ by a multiplication with the precomputed
    // reciprocal (exact for every 32-bit key): a division per lookup costs
    // more than the rest of it.
    uint32_t BucketOf(uint32_t key) const {
        const uint64_t low = reciprocal_ * key;
        const uint64_t high = (low >> 32) * bucket_count_;
        const uint64_t mid = (low & 0xFFFFFFFFu) * bucket_count_;
        return static_cast<uint32_t>((high + (mid >> 32)) >> 32);
    }

    // The new node's index + 1; removed nodes are reused first.
    uint32_t NewNode(uint32_t key, V* value, uint32_t next) {
        if (free_ != 0) {
            const uint32_t at = free_;
            free_ = nodes_[at - 1].next;
            nodes_[at - 1] = Node{key, next, value};
            return at;
        }
        if (nodes_.size() >= kIndex)
            throw std::bad_alloc();
        nodes_.emplace_back(key, next, value);
        return static_cast<uint32_t>(nodes_.size());
    }

    uint32_t bucket_count_;
    uint64_t reciprocal_;
    Buckets buckets_;
    std::vector<Node*> order_;
    BlockVector<Node> nodes_;  // node storage; removed nodes are reused via free_
    uint32_t free_ = 0;
    Ownership ownership_;
};

}  // namespace q3::doc
