#include "document/int_hash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace q3::doc {
namespace {

struct Counted {
    explicit Counted(int* c) : deaths(c) {}
    ~Counted() { ++*deaths; }
    int* deaths;
};

TEST(TIntHash, GetPutReplaceRemove) {
    TIntHash<int> t(7, Ownership::kNone);
    int a = 1, b = 2, c = 3;
    EXPECT_EQ(t.Get(5), nullptr);
    t.Put(5, nullptr);  // removing an absent key changes nothing
    EXPECT_EQ(t.Count(), 0);
    t.Put(5, &a);
    t.Put(12, &b);  // same bucket as 5
    t.Put(6, &c);
    EXPECT_EQ(t.Get(5), &a);
    EXPECT_EQ(t.Get(12), &b);
    t.Put(5, &c);  // replace keeps count and position
    EXPECT_EQ(t.Count(), 3);
    EXPECT_EQ(t.Nodes()[0]->value, &c);
    t.Put(12, nullptr);
    EXPECT_EQ(t.Get(12), nullptr);
    EXPECT_EQ(t.Get(5), &c);
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.Nodes()[0]->key, 5u);
    EXPECT_EQ(t.Nodes()[1]->key, 6u);
}

TEST(TIntHash, KeepsInsertionOrder) {
    TIntHash<int> t(200000, Ownership::kNone);
    std::vector<int> values(100);
    for (int i = 0; i < 100; ++i)
        t.Put(static_cast<uint32_t>(99 - i) * 200000u, &values[i]);
    ASSERT_EQ(t.Count(), 100);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(t.Nodes()[i]->value, &values[i]);
}

TEST(TIntHash, LongChainsAgreeWithAPlainMapThroughEveryChange) {
    // Seven buckets for up to 60 keys: chains of many nodes, whose heads,
    // middles and tails are removed and stored again in every order.
    TIntHash<int> t(7, Ownership::kNone);
    std::map<uint32_t, int*> want;
    std::vector<uint32_t> order;  // keys in the order they were first stored
    std::vector<int> values(8);
    uint32_t x = 12345;
    for (int step = 0; step < 20000; ++step) {
        x = x * 1103515245u + 12345u;
        const uint32_t key = (x >> 8) % 60 * 7 + (x >> 20) % 3;  // mostly in three buckets
        int* value = (x >> 28) < 5 ? nullptr : &values[(x >> 24) % values.size()];
        t.Put(key, value);
        if (value == nullptr) {
            if (want.erase(key))
                order.erase(std::find(order.begin(), order.end(), key));
        } else if (want.emplace(key, value).second) {
            order.push_back(key);
        } else {
            want[key] = value;
        }
        const uint32_t probe = (x >> 4) % 60 * 7 + (x >> 12) % 3;
        const auto it = want.find(probe);
        ASSERT_EQ(t.Get(probe), it == want.end() ? nullptr : it->second) << step;
    }
    ASSERT_EQ(t.Count(), static_cast<int32_t>(want.size()));
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(t.Nodes()[i]->key, order[i]);
        EXPECT_EQ(t.Get(order[i]), want[order[i]]);
    }
}

TEST(TIntHash, OwningTableReleasesStoredValuesOnce) {
    int deaths = 0;
    auto* kept = new Counted(&deaths);
    {
        TIntHash<Counted> t(3, Ownership::kReleaseValues);
        t.Put(1, new Counted(&deaths));
        t.Put(2, new Counted(&deaths));
        t.Put(4, kept);
        t.Put(4, new Counted(&deaths));  // the replaced value is not released
    }
    EXPECT_EQ(deaths, 3);
    delete kept;
    EXPECT_EQ(deaths, 4);
}

}  // namespace
}  // namespace q3::doc
