#include "reader/rules/column_compare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q3::reader {
namespace {

std::vector<std::string> Sorted(const std::vector<std::string>& texts, int tag, bool reversed) {
    std::vector<std::string> out;
    for (size_t i : SortedRowOrder(texts, tag, reversed))
        out.push_back(texts[i]);
    return out;
}

TEST(ReadFloat, ReadsDecimalNumbersWithBlanksAround) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"12", true, 12},    {" 3.5 ", true, 3.5}, {"+7", true, 7},   {"-2.25", true, -2.25},
        {"1e3", true, 1000}, {"", false, 0},       {"12a", false, 0}, {"a12", false, 0},
        {"1 2", false, 0},   {" ", false, 0},      {"+", false, 0},   {"0x10", false, 0},
    };
    for (const Case& c : cases) {
        std::optional<double> v = ReadFloat(c.text);
        EXPECT_EQ(v.has_value(), c.ok) << c.text;
        if (c.ok && v) {
            EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
        }
    }
}

TEST(ReadSize, ScalesByTheFirstUnitTheTextNames) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"900 Byte", true, 900},
        {"2 KB", true, 2048},
        {"1 MB", true, 1048576},
        {"1.5 GB", true, 1.5 * 1024 * 1024 * 1024},
        {"1 TB", true, 1024.0 * 1024 * 1024 * 1024},
        {"3 KB MB", true, 3072},  // KB is looked for first
        {"2KB", false, 0},        // no blank: not a size
        {"x KB", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        std::optional<double> v = ReadSize(c.text);
        EXPECT_EQ(v.has_value(), c.ok) << c.text;
        if (c.ok && v) {
            EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
        }
    }
}

TEST(CompareColumnTexts, TextColumnsFollowCollationAndTheDirectionFlag) {
    EXPECT_LT(CompareColumnTexts("apple", "pear", kColumnText, false), 0);
    EXPECT_GT(CompareColumnTexts("pear", "apple", kColumnText, false), 0);
    EXPECT_GT(CompareColumnTexts("apple", "pear", kColumnText, true), 0);
    EXPECT_EQ(CompareColumnTexts("same", "same", kColumnText, false), 0);
}

TEST(CompareColumnTexts, AnEmptyFirstTextSortsFirst) {
    EXPECT_EQ(CompareColumnTexts("", "a", kColumnText, false), -1);
    EXPECT_EQ(CompareColumnTexts("", "0", kColumnNumbers, false), -1);
    EXPECT_EQ(CompareColumnTexts("", "a", kColumnText, true), 1);
}

TEST(CompareColumnTexts, NumbersSortLargestFirstUntilReversed) {
    EXPECT_EQ(CompareColumnTexts("10", "9", kColumnNumbers, false), -1);
    EXPECT_EQ(CompareColumnTexts("9", "10", kColumnNumbers, false), 1);
    EXPECT_EQ(CompareColumnTexts("10", "9", kColumnNumbers, true), 1);
    // The same texts as text: "10" comes before "9".
    EXPECT_LT(CompareColumnTexts("10", "9", kColumnText, false), 0);
}

TEST(CompareColumnTexts, RegressionEqualValuesCompareEqual) {
    // Equal numbers once compared unequal both ways, which is no ordering at
    // all for a sort; they are equal now.
    EXPECT_EQ(CompareColumnTexts("5", "5.0", kColumnNumbers, false), 0);
    EXPECT_EQ(CompareColumnTexts("1 KB", "1024 Byte", kColumnSizes, false), 0);
    EXPECT_EQ(CompareColumnTexts("", "", kColumnText, false), 0);
}

TEST(SortedRowOrder, FirstClickOnATextColumnSortsZToA) {
    // The first click flips the flag to true: reversed text order.
    EXPECT_EQ(Sorted({"b", "c", "a"}, kColumnText, true),
              (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(Sorted({"b", "c", "a"}, kColumnText, false),
              (std::vector<std::string>{"a", "b", "c"}));
}

TEST(SortedRowOrder, FirstClickOnANumberColumnSortsSmallestFirst) {
    EXPECT_EQ(Sorted({"10", "2", "33", "1.5"}, kColumnNumbers, true),
              (std::vector<std::string>{"1.5", "2", "10", "33"}));
    EXPECT_EQ(Sorted({"10", "2", "33", "1.5"}, kColumnNumbers, false),
              (std::vector<std::string>{"33", "10", "2", "1.5"}));
}

TEST(SortedRowOrder, TwoKilobytesSortBetween900BytesAndOneMegabyte) {
    EXPECT_EQ(Sorted({"1 MB", "900 Byte", "2 KB"}, kColumnSizes, true),
              (std::vector<std::string>{"900 Byte", "2 KB", "1 MB"}));
}

TEST(SortedRowOrder, EqualRowsKeepTheirOrder) {
    const std::vector<std::string> texts = {"5", "x", "5", "5"};
    const std::vector<size_t> order = SortedRowOrder(texts, kColumnNumbers, false);
    std::vector<size_t> fives;
    for (size_t i : order) {
        if (texts[i] == "5")
            fives.push_back(i);
    }
    EXPECT_EQ(fives, (std::vector<size_t>{0, 2, 3}));
}

TEST(SortState, FlipsOnlyColumnsItKnows) {
    SortState state(2);
    EXPECT_FALSE(state.Reversed(0));
    state.Flip(0);
    EXPECT_TRUE(state.Reversed(0));
    state.Flip(0);
    EXPECT_FALSE(state.Reversed(0));
    state.Flip(5);
    EXPECT_FALSE(state.Reversed(5));
    EXPECT_FALSE(state.HasColumn(2));
    EXPECT_EQ(state.ColumnCount(), 2u);
}

}  // namespace
}  // namespace q3::reader
