#include "common/addresses.h"

#include <gtest/gtest.h>

namespace q3 {
namespace {

TEST(CompleteAddress, TypedAddressesWithoutASchemeGetHttp) {
    struct Case {
        const char* typed;
        std::string address;
    } cases[] = {
        {"www.example.com", "http://www.example.com"},
        {"example.com/page", "http://example.com/page"},
        {"localhost:8080/x", "http://localhost:8080/x"},  // a port, not a scheme
        {"example.com:81", "http://example.com:81"},
        {"  example.com ", "http://example.com"},
        {"http://a.org", "http://a.org"},
        {"HTTPS://a.org", "HTTPS://a.org"},
        {"about:blank", "about:blank"},
        {"mailto:a@b.org", "mailto:a@b.org"},
        {"qbx://reader/a.htm", "qbx://reader/a.htm"},
        {"/home/u/missing.qbx", "/home/u/missing.qbx"},  // a path stays a path
        {"two words", "two words"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompleteAddress(c.typed), c.address) << c.typed;
}

TEST(IsWebAddress, HttpAndHttpsInAnyCase) {
    EXPECT_TRUE(IsWebAddress("http://a.org"));
    EXPECT_TRUE(IsWebAddress("https://a.org"));
    EXPECT_TRUE(IsWebAddress("HTTPS://a.org"));
    EXPECT_FALSE(IsWebAddress("httpx://a.org"));
    EXPECT_FALSE(IsWebAddress("/srv/http://x"));
    EXPECT_FALSE(IsWebAddress("ftp://a.org"));
}

TEST(DisplayAddress, DocumentAddressesShowTheirCharacters) {
    struct Case {
        const char* address;
        std::string shown;
    } cases[] = {
        {"qbx://reader/%E7%BB%B4%E6%8A%A4%E8%80%85%E6%89%8B%E5%86%8C/index.html",
         "qbx://reader/维护者手册/index.html"},
        {"qbx://reader/%e4%b8%ad.htm?key=%E6%96%87", "qbx://reader/中.htm?key=文"},
        // ASCII escapes keep their meaning: "#" would become an anchor, "%" an escape.
        {"qbx://reader/a%23b%25c%2F.htm", "qbx://reader/a%23b%25c%2F.htm"},
        // GBK escapes are no UTF-8 text: shown as they are.
        {"qbx://reader/%C7%B0%D1%D4.htm", "qbx://reader/%C7%B0%D1%D4.htm"},
        {"qbx://reader/%E7%BB.htm", "qbx://reader/%E7%BB.htm"},  // a cut character
        {"https://zh.wikipedia.org/wiki/%E4%B8%AD", "https://zh.wikipedia.org/wiki/%E4%B8%AD"},
        {"qbx://reader/%E4%B8", "qbx://reader/%E4%B8"},
        {"qbx://reader/%E4%B8%A", "qbx://reader/%E4%B8%A"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayAddress(c.address), c.shown) << c.address;
}

TEST(NavigableAddress, ReadableAddressNavigatesToTheSamePage) {
    const std::string encoded =
        "qbx://reader/%E7%BB%B4%E6%8A%A4%E8%80%85%E6%89%8B%E5%86%8C/index.html";
    EXPECT_EQ(NavigableAddress(DisplayAddress(encoded)), encoded);
    EXPECT_EQ(NavigableAddress(encoded), encoded);  // never escaped twice
    EXPECT_EQ(NavigableAddress("qbx://reader/a b.htm"), "qbx://reader/a%20b.htm");
    EXPECT_EQ(NavigableAddress("http://a.org/?q=\x01"), "http://a.org/?q=%01");
}

}  // namespace
}  // namespace q3
