#include "document/int_hash.h"

#include <gtest/gtest.h>

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
    for (int i = 0; i < 100; ++i) t.Put(static_cast<uint32_t>(99 - i) * 200000u, &values[i]);
    ASSERT_EQ(t.Count(), 100);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(t.Nodes()[i]->value, &values[i]);
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
