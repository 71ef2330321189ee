#include "browser/load_error_page.h"

#include <gtest/gtest.h>

namespace q3::browser {
namespace {

// The address and the engine's detail come from pages: nothing of them may
// become markup of the program's page.
TEST(LoadErrorPageHtml, NamesTheAddressAndReasonWithEverythingEscaped) {
    const std::string html = LoadErrorPageHtml("http://x/<script>alert('a')</script>?a=1&b=\"2\"",
                                               "无法连接到该地址。", "<b>detail</b>");
    EXPECT_NE(html.find("<title>无法显示该网页</title>"), std::string::npos);
    EXPECT_NE(html.find("无法连接到该地址。"), std::string::npos);
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_EQ(html.find("<b>detail"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(&#39;a&#39;)&lt;/script&gt;?a=1&amp;b=&quot;2&quot;"),
              std::string::npos);
    EXPECT_NE(html.find("&lt;b&gt;detail&lt;/b&gt;"), std::string::npos);
    // No detail, no empty paragraph for it.
    EXPECT_EQ(LoadErrorPageHtml("a", "b", "").find("color:gray"), std::string::npos);
}

}  // namespace
}  // namespace q3::browser
