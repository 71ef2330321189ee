#include "reader/rules/file_filter.h"

#include <gtest/gtest.h>

namespace q3::reader {
namespace {

TEST(ParseFileFilter, PairsOfNameAndPatterns) {
    const std::vector<FileFilter> f = ParseFileFilter("Qbx File(*.qbx)|*.qbx|All File(*.*)|*.*");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].name, "Qbx File(*.qbx)");
    EXPECT_EQ(f[0].patterns, (std::vector<std::string>{"*.qbx"}));
    EXPECT_EQ(f[1].name, "All File(*.*)");
    EXPECT_EQ(f[1].patterns, (std::vector<std::string>{"*.*"}));
}

TEST(ParseFileFilter, SeveralPatternsAndOddInput) {
    struct Case {
        const char* filter;
        size_t count;
    } cases[] = {
        {"Pages|*.htm;*.html", 1}, {"", 0}, {"Name only", 0}, {"A|*.a|B", 1}, {"A||B|*.b", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseFileFilter(c.filter).size(), c.count) << c.filter;
    EXPECT_EQ(ParseFileFilter("Pages|*.htm;*.html")[0].patterns,
              (std::vector<std::string>{"*.htm", "*.html"}));
}

}  // namespace
}  // namespace q3::reader
