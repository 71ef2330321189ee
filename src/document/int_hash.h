// A fixed-size chained hash from 32-bit keys to object pointers that also
// keeps its pairs in insertion order. The content server keys it by the
// checksum of a document path; the full-text search walks the insertion order
// to find the first contents item of a record, so that order is part of the
// table's contract, not an accident of the implementation.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

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
        V* value;
        Node* next;
    };

    // Missing is the null pointer: Get returns it for an absent key and Put
    // with it removes the key.
    TIntHash(uint32_t bucket_count, Ownership ownership)
        : buckets_(bucket_count == 0 ? 1 : bucket_count, nullptr), ownership_(ownership) {}
    virtual ~TIntHash() { Clear(); }
    TIntHash(const TIntHash&) = delete;
    TIntHash& operator=(const TIntHash&) = delete;

    V* Get(uint32_t key) const {
        for (Node* n = buckets_[Bucket(key)]; n != nullptr; n = n->next) {
            if (n->key == key) return n->value;
        }
        return nullptr;
    }

    // Stores, replaces or (with nullptr) removes. A replaced or removed value
    // is not released: it stays with whoever stored it.
    void Put(uint32_t key, V* value) {
        Node** link = &buckets_[Bucket(key)];
        while (*link != nullptr && (*link)->key != key) link = &(*link)->next;
        Node* found = *link;
        if (found == nullptr) {
            if (value == nullptr) return;
            Node* n = NewNode(key, value, buckets_[Bucket(key)]);
            buckets_[Bucket(key)] = n;
            order_.push_back(n);
        } else if (value == nullptr) {
            *link = found->next;
            order_.erase(std::find(order_.begin(), order_.end(), found));
            found->next = free_;
            free_ = found;
        } else {
            found->value = value;
        }
    }

    // Removes every pair, releasing values when the table owns them.
    virtual void Clear() {
        for (Node*& head : buckets_) {
            while (head != nullptr) {
                Node* n = head;
                head = n->next;
                if (ownership_ == Ownership::kReleaseValues) delete n->value;
            }
        }
        order_.clear();
        pool_.clear();
        free_ = nullptr;
    }

    int32_t Count() const { return static_cast<int32_t>(order_.size()); }
    uint32_t BucketCount() const { return static_cast<uint32_t>(buckets_.size()); }
    // Every stored pair in the order it was first stored.
    const std::vector<Node*>& Nodes() const { return order_; }

private:
    uint32_t Bucket(uint32_t key) const { return key % static_cast<uint32_t>(buckets_.size()); }

    Node* NewNode(uint32_t key, V* value, Node* next) {
        if (free_ != nullptr) {
            Node* n = free_;
            free_ = n->next;
            *n = Node{key, value, next};
            return n;
        }
        pool_.push_back(Node{key, value, next});
        return &pool_.back();
    }

    std::vector<Node*> buckets_;
    std::vector<Node*> order_;
    std::deque<Node> pool_;  // node storage; removed nodes are reused via free_
    Node* free_ = nullptr;
    Ownership ownership_;
};

}  // namespace q3::doc
