// Documents are never shown from WebKit's cache, and the core's cache purge
// reaches WebKit.
#include <gtest/gtest.h>

#include "browser/host_flags.h"
#include "browser/url_cache.h"
#include "browser_harness.h"
#include "common/text.h"

namespace q3::guitest {
namespace {

using browser::navNoReadFromCache;
using browser::navNoWriteToCache;

constexpr unsigned kDocument = navNoReadFromCache | navNoWriteToCache;

class CacheTest : public BrowserTest {
  protected:
    // Two books with the same paths and pictures of different sizes, as
    // two editions of one book would have.
    std::string Book(const std::string& name, int width) {
        const std::string page = "<p>edition</p><img id=\"img\" src=\"pic.png\">";
        return WriteBook(dir, name, MakeContents({{"Page", 2, "page.htm"}}, {{"", 3, "pic.png"}}),
                         {page, MakePng(width, 10, 0x3366CC)});
    }
    std::string PictureWidth() {
        RunUntil([&] { return Js("String(document.getElementById('img').complete)") == "true"; });
        return Js("String(document.getElementById('img').naturalWidth)").value_or("?");
    }
};

TEST_F(CacheTest, RegressionDocumentShowsTheNewBooksPicture) {
    OpenBook(Book("one.qbx", 10));
    ASSERT_TRUE(Load("qbx://reader/page.htm", kDocument));
    ASSERT_EQ(PictureWidth(), "10");
    OpenBook(Book("two.qbx", 20));
    ASSERT_TRUE(Load("qbx://reader/page.htm", kDocument));
    EXPECT_EQ(PictureWidth(), "20");
}

TEST_F(CacheTest, PurgeUrlCacheForgetsAPicture) {
    browser::InstallUrlCachePurger();
    OpenBook(Book("one.qbx", 10));
    ASSERT_TRUE(Load("qbx://reader/page.htm"));
    ASSERT_EQ(PictureWidth(), "10");
    OpenBook(Book("two.qbx", 20));
    EXPECT_TRUE(q3::PurgeUrlCache("qbx://reader/pic.png"));
    ASSERT_TRUE(Load("qbx://reader/page.htm"));
    EXPECT_EQ(PictureWidth(), "20");
    EXPECT_FALSE(q3::PurgeUrlCache(""));
    SetUrlCachePurger({});
}

TEST(WebHostTest, HostOfWebAddressesOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://Example.COM/a/b.htm", "example.com"},
        {"https://www.example.com:8443/?q=1", "www.example.com"},
        {"qbx://reader/index.htm", ""},
        {"about:blank", ""},
        {"file:///tmp/a.htm", ""},
        {"not an address", ""},
        {"", ""},
    };
    for (const auto& [address, host] : cases) {
        EXPECT_EQ(browser::WebHostOf(address), host) << address;
    }
}

}  // namespace
}  // namespace q3::guitest
