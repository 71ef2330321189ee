#include "reader/rules/page_search.h"

#include <gtest/gtest.h>

namespace q3::reader {
namespace {

TEST(WebSearchAddress, EnginesGetTheWordEscapedAsUtf8) {
    struct Case {
        SearchMode mode;
        std::string word;
        std::string address;
    } cases[] = {
        {SearchMode::kBing, "abc", "https://www.bing.com/search?q=abc"},
        {SearchMode::kGoogle, "abc", "https://www.google.com/search?hl=zh-CN&q=abc"},
        {SearchMode::kBaidu, "abc", "https://www.baidu.com/s?wd=abc"},
        // Unescaped, the engine would get "a" and a parameter "b", and "c".
        {SearchMode::kBing, "a&b", "https://www.bing.com/search?q=a%26b"},
        {SearchMode::kBaidu, "c#", "https://www.baidu.com/s?wd=c%23"},
        {SearchMode::kGoogle, "x y+z", "https://www.google.com/search?hl=zh-CN&q=x%20y%2Bz"},
        {SearchMode::kBaidu, "中文", "https://www.baidu.com/s?wd=%E4%B8%AD%E6%96%87"},
        {SearchMode::kPage, "abc", ""},
        {SearchMode::kFullText, "abc", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WebSearchAddress(c.mode, c.word), c.address) << c.word;
}

TEST(HasSearchWord, IgnoresLetterCaseOnly) {
    const std::vector<std::string> words = {"abc", "Ärger", "中文"};
    EXPECT_TRUE(HasSearchWord(words, "ABC"));
    EXPECT_TRUE(HasSearchWord(words, "ärger"));  // not only ASCII letters
    EXPECT_TRUE(HasSearchWord(words, "中文"));
    EXPECT_FALSE(HasSearchWord(words, "ab"));
    EXPECT_FALSE(HasSearchWord(words, "abc "));
    EXPECT_FALSE(HasSearchWord({}, "abc"));
}

}  // namespace
}  // namespace q3::reader
