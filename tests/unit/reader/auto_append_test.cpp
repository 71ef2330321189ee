#include "reader/rules/auto_append.h"

#include <gtest/gtest.h>

namespace q3::reader {
namespace {

const std::vector<std::string> kHistory = {
    "qbx://reader/faq.html",
    "qbx://reader/index.html",
    "/home/u/书/Book.qbx",
    "http://example.org",
};

TEST(AutoAppendRest, AppendsOnlyTheRestOfTheFirstMatch) {
    struct Case {
        const char* typed;
        const char* rest;
    } cases[] = {
        {"q", "bx://reader/faq.html"},    // the first of two matches
        {"qbx://reader/i", "ndex.html"},  // typing on picks the other
        {"QBX://Reader/F", "aq.html"},    // case of ASCII letters ignored
        {"/home/u/书/b", "ook.qbx"},      // a path with Chinese folders
        {"qbx://reader/faq.html", ""},    // nothing left to append
        {"qbx://reader/faq.htmlx", ""},   // longer than every item
        {"x", ""},                        // no item begins with it
        {"", ""},                         // an empty box suggests nothing
        {"reader", ""},                   // inside an item is no prefix
    };
    for (const Case& c : cases)
        EXPECT_EQ(AutoAppendRest(c.typed, kHistory), c.rest) << c.typed;
}

TEST(SuggestsItem, PrefixWithoutCase) {
    EXPECT_TRUE(SuggestsItem("HTTP://", "http://example.org"));
    EXPECT_TRUE(SuggestsItem("http://example.org", "http://example.org"));
    EXPECT_FALSE(SuggestsItem("", "http://example.org"));
    EXPECT_FALSE(SuggestsItem("example", "http://example.org"));
    // Only ASCII letters fold: a Chinese character is matched as it is.
    EXPECT_FALSE(SuggestsItem("/home/u/本", "/home/u/书/Book.qbx"));
}

}  // namespace
}  // namespace q3::reader
