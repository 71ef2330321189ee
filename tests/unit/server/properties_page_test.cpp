#include "server/properties_page.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include "document/manager.h"
#include "document/writer.h"
#include "support/temp_dir.h"

namespace q3::server {
namespace {

// The expectations below are the C locale's date and time formats.
class PropertiesPage : public ::testing::Test {
  protected:
    void SetUp() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(PropertiesPage, ExactPageOfAWrittenBookWithMarkupInItsTexts) {
    q3::testing::TempDir dir;
    doc::DocumentInfo info;
    info.Subject = "<script>alert(1)</script> & more";
    info.BookAuthor = "\xC2\xB3\xD1\xB8";  // 鲁迅 in GBK
    info.Producer = "Maker \"Q\"";
    info.CreatedAt = doc::MakeDosDateTime(2009, 9, 15, 13, 45, 30);
    doc::QbxWriter writer(info);
    writer.AddRecord("<ul>\n</ul>\n");
    const std::string path = dir.File("a&b.qbx");
    writer.WriteFile(path);
    doc::TQBXManage book(path);
    ASSERT_TRUE(book.Open());

    char check[16];
    std::snprintf(check, sizeof check, "%08X", static_cast<unsigned>(book.DocumentCheck()));
    const std::string expected =
        "<html><head><title>a&amp;b.qbx 的属性</title></head><body bgcolor=\"#FFFFFF\" >\r\n"
        "<table width=\"80%\" align=\"center\" style=\"font-size:14px\">\r\n"
        "<tr><td style=\"color:blue\">a&amp;b.qbx 的属性</td></tr>\r\n"
        "<tr><td>文档路径：" +
        dir.File("a&amp;b.qbx") +
        "</td></tr>\r\n"
        "<tr><td>文档主题：&lt;script&gt;alert(1)&lt;/script&gt; &amp; more</td></tr>\r\n"
        "<tr><td>文档版本：20090626</td></tr>\r\n"
        "<tr><td>文档校验：" +
        std::string(check) +
        "</td></tr>\r\n"
        "<tr><td>创建日期：09/15/09 13:45:30</td></tr>\r\n"
        "<tr><td>原版作者：鲁迅</td></tr>\r\n"
        "<tr><td>制作作者：Maker &quot;Q&quot;</td></tr>\r\n"
        "<tr><td>文档备注：</td></tr>\r\n"  // empty remarks: nothing after the label
        "</table>\r\n"
        "</body></html>";
    EXPECT_EQ(PropertiesPageHtml(book, "#FFFFFF"), expected);
    EXPECT_EQ(std::string(check).find_first_not_of("0123456789ABCDEF"), std::string::npos);
}

TEST_F(PropertiesPage, CreatedAtLeavesOutMidnightAndNonDates) {
    EXPECT_EQ(CreatedAtText(doc::MakeDosDateTime(2009, 9, 15, 0, 0, 0)), "09/15/09");
    EXPECT_EQ(CreatedAtText(doc::MakeDosDateTime(2009, 9, 15, 0, 0, 2)), "09/15/09 00:00:02");
    EXPECT_EQ(CreatedAtText(doc::MakeDosDateTime(2009, 2, 30, 10, 0, 0)), "");  // no such day
    EXPECT_EQ(CreatedAtText(0), "");                                            // month 0
}

}  // namespace
}  // namespace q3::server
