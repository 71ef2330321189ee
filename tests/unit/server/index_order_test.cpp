#include "server/index_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/contents_model.h"

namespace q3::server {
namespace {

struct OrderCase {
    const char* what;
    std::string first, second;  // GBK; first sorts strictly before second
};

TEST(IndexOrder, ComparesGbkBytesWithAsciiLettersFolded) {
    const OrderCase cases[] = {
        // 第 (B5DA, di) before 什 (CAB2, shen): pinyin order, as a Chinese desktop sorts.
        {"hanzi in pinyin order", "\xB5\xDA 1 \xD5\xC2", "\xCA\xB2\xC3\xB4\xCA\xC7 Debian"},
        {"letters without case", "apple", "Banana"},
        {"letters without case, other way", "APPLE", "banana"},
        {"ASCII before hanzi", "Zebra", "\xB0\xA2"},
        {"digits before letters", "9 lives", "a life"},
        // Folding to lower case puts "_" (5F) before the letters (61-7A).
        {"underscore before letters", "_init", "Alpha"},
        // A trail byte that looks like "A" is part of its character and is
        // not folded: 81 41 and 81 61 are two different characters.
        {"trail byte kept", "\x81\x41", "\x81\x61"},
        {"shorter prefix first", "Page", "page 2"},
    };
    const IndexOrder order;
    for (const OrderCase& c : cases) {
        EXPECT_TRUE(order.Less(c.first, c.second)) << c.what;
        EXPECT_FALSE(order.Less(c.second, c.first)) << c.what;
    }
    EXPECT_EQ(order.Key("ReadMe"), order.Key("README"));
    EXPECT_NE(order.Key("\x81\x41"), order.Key("\x81\x61"));
}

class SortedIndexTest : public ::testing::Test {
  protected:
    // Items in arrival order; each gets an entry of its own so rows can be told apart.
    void Fill(const std::vector<std::string>& captions) {
        entries_.resize(captions.size());
        for (size_t i = 0; i < captions.size(); ++i)
            model_.AddIndexItem(captions[i], &entries_[i]);
    }
    std::vector<std::string> Listed(const SortedIndex& index) const {
        std::vector<std::string> out;
        for (size_t row = 0; row < index.Size(); ++row)
            out.emplace_back(model_.IndexCaption(index.ItemAt(row)));
        return out;
    }

    MemoryContentsModel model_;
    std::vector<ContentsEntry> entries_;
};

TEST_F(SortedIndexTest, ListsAChineseBookInPinyinOrderWithEqualKeysInArrivalOrder) {
    Fill({"\xCA\xB2\xC3\xB4\xCA\xC7 Debian\xA3\xBF",  // 什么是 Debian？
          "README", "\xB5\xDA 1 \xD5\xC2",            // 第 1 章
          "apt", "\xB0\xB2\xD7\xB0",                  // 安装
          "ReadMe", "Apt-get"});
    const SortedIndex index(model_);
    EXPECT_EQ(Listed(index), (std::vector<std::string>{"apt", "Apt-get", "README", "ReadMe",
                                                       "\xB0\xB2\xD7\xB0", "\xB5\xDA 1 \xD5\xC2",
                                                       "\xCA\xB2\xC3\xB4\xCA\xC7 Debian\xA3\xBF"}));
    // The two spellings of one key stay in the order the contents gave them.
    EXPECT_EQ(model_.IndexEntry(index.ItemAt(2)), &entries_[1]);
    EXPECT_EQ(model_.IndexEntry(index.ItemAt(3)), &entries_[5]);
}

TEST_F(SortedIndexTest, FindPrefixGivesTheFirstListedItemInAnyCase) {
    Fill({"Second", "seal", "First", "SEA", "\xB5\xDA 2 \xD5\xC2", "\xB5\xDA 1 \xD5\xC2"});
    const SortedIndex index(model_);
    const auto caption = [&](std::optional<size_t> row) {
        return row ? std::string(model_.IndexCaption(index.ItemAt(*row))) : std::string("-");
    };
    EXPECT_EQ(caption(index.FindPrefix("se")), "SEA");
    EXPECT_EQ(caption(index.FindPrefix("SEC")), "Second");
    EXPECT_EQ(caption(index.FindPrefix("\xB5\xDA")), "\xB5\xDA 1 \xD5\xC2");
    EXPECT_EQ(caption(index.FindPrefix("zz")), "-");
    EXPECT_EQ(caption(index.FindPrefix("secondary")), "-");
    EXPECT_EQ(caption(index.FindPrefix("")), "-");
}

TEST_F(SortedIndexTest, EmptyIndexFindsNothing) {
    const SortedIndex index(model_);
    EXPECT_EQ(index.Size(), 0u);
    EXPECT_FALSE(index.FindPrefix("a").has_value());
}

}  // namespace
}  // namespace q3::server
