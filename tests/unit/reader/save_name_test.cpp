#include "reader/rules/save_name.h"

#include <gtest/gtest.h>

namespace q3::reader {
namespace {

TEST(SaveAsFileName, TheAddressesOwnNameElseTheTitle) {
    struct Case {
        const char* address;
        const char* title;
        const char* name;
    } cases[] = {
        {"qbx://reader/one/first.htm", "First page", "first.htm"},
        // The search word and the anchor are no part of the name.
        {"qbx://reader/one/first.htm?key=word", "", "first.htm"},
        {"http://example.org/a/report.pdf#page=2", "", "report.pdf"},
        // Percent escapes of UTF-8 are decoded; others stay as written.
        {"qbx://reader/%E7%AC%AC%E4%B8%80%E7%AB%A0.htm", "", "第一章.htm"},
        {"qbx://reader/%B5%DA.htm", "", "%B5%DA.htm"},
        // No file in the address: the title names the page.
        {"http://example.org/", "Example Domain", "Example Domain.htm"},
        {"http://example.org", "Example", "Example.htm"},
        {"about:blank", "首页", "首页.htm"},
        {"http://example.org/", "", "index.htm"},
        // A name without an extension gets the page's.
        {"http://example.org/articles/123", "", "123.htm"},
        // Nothing of a path survives, not even escaped or from the title.
        {"http://example.org/a%2F..%2Fb.htm", "", "a_.._b.htm"},
        {"http://example.org/", "a/b\\c\x01", "a_b_c_.htm"},
        {"http://example.org/..", "", "index.htm"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SaveAsFileName(c.address, c.title), c.name) << c.address;
}

TEST(SaveAsFileName, LongNamesAreCutOnACharacterBoundary) {
    std::string title;
    for (int i = 0; i < 100; ++i)
        title += "章";  // three bytes each
    const std::string name = SaveAsFileName("http://example.org/", title);
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(name.substr(name.size() - 4), ".htm");
    EXPECT_EQ((name.size() - 4) % 3, 0u);
}

}  // namespace
}  // namespace q3::reader
