#include "server/home_page.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "server/link_rules.h"

namespace q3::server {
namespace {

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

TEST(HomePageHtml, ListsDocumentsAndWebAddressesNewestFirst) {
    const std::string page =
        HomePageHtml({"C:\\b\\A.QBX", "/books/second.qbx", "http://a.org", "about:blank"});
    EXPECT_EQ(page.rfind("<html><head><title>首页</title>\r\n", 0), 0u);
    EXPECT_EQ(page.substr(page.size() - 22), "</table></body></html>");
    EXPECT_EQ(Count(page, "\r\n"), 19u);                                 // 20 lines
    EXPECT_EQ(Count(page, ">评论</a>"), 2u);                             // two document rows
    EXPECT_LT(page.find(">second.qbx </a>"), page.find(">A.QBX </a>"));  // newest first
    EXPECT_NE(page.find(">http://a.org </a>"), std::string::npos);
    EXPECT_EQ(page.find(">about:blank"), std::string::npos);
    EXPECT_NE(page.find("title=\"对[A.QBX]文档的评论\""), std::string::npos);
    EXPECT_NE(page.find("mailto:support@quillon3.net?subject=关于Quillon3的Bug报告"),
              std::string::npos);
    EXPECT_NE(page.find("<A href=\"open:(help)\">帮助</a>"), std::string::npos);
}

TEST(HomePageHtml, ShortensNamesButKeepsFullTargets) {
    const std::string name(50, 'n');
    const std::string page =
        HomePageHtml({"/b/" + name + ".qbx", "http://" + std::string(40, 'w')});
    EXPECT_NE(page.find(">" + std::string(46, 'n') + "... </a>"), std::string::npos);
    EXPECT_NE(page.find("title=\"/b/" + name + ".qbx\""), std::string::npos);
    EXPECT_NE(page.find(">http://" + std::string(35, 'w') + "... </a>"), std::string::npos);
}

TEST(HomePageHtml, RegressionVisitedMarkupIsEscapedNotRun) {
    const std::string evil = "http://x.org/\"><script>alert(1)</script>";
    const std::string page = HomePageHtml({evil});
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;"), std::string::npos);
}

TEST(SpecialLink, RoundTripsThroughTheLinkRules) {
    const std::string path = "/home/用户/a b|c.qbx";
    const std::string link = SpecialLink("open", path);
    EXPECT_EQ(link.find('|'), std::string::npos);
    LinkAction a = ClassifyNavigation(link, {}, [](const std::string&) { return true; });
    EXPECT_EQ(a.kind, LinkAction::kOpen);
    EXPECT_EQ(a.path, path);
    LinkAction c = ClassifyNavigation(SpecialLink("commnet", path), {}, {});
    EXPECT_EQ(c.kind, LinkAction::kComment);
    EXPECT_EQ(c.path, path);
}

}  // namespace
}  // namespace q3::server
