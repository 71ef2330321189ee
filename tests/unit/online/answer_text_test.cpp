#include "online/answer_text.h"

#include <gtest/gtest.h>

#include "online/charset.h"

namespace q3::online {
namespace {

TEST(IsXmlText, Table) {
    const struct {
        std::string_view text;
        bool xml;
    } cases[] = {
        {"<?xml version=\"1.0\"?><a/>", true},
        {" \r\n\t<rss version=\"2.0\">", true},
        {"\x01\x1f<rss>", true},  // control characters count as blanks
        {"<RSS>", false},
        {"<?XML version=\"1.0\"?>", false},
        {"<?xml version='1.0'?>", false},  // the marker ends with a double quote
        {"<html><rss>", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsXmlText(c.text), c.xml) << c.text;
}

TEST(ExtractRealUrl, Table) {
    const struct {
        std::string_view address, real;
    } cases[] = {
        {"http://a.org/x", "http://a.org/x"},
        {"http://r.org/go?u=http://b.org/p", "http://b.org/p"},
        {"abcdhttp://x", "http://x"},    // at the fifth character
        {"abchttp://x", "abchttp://x"},  // at the fourth: not an inner address
        {"https://r.org/?u=https://b.org", "https://r.org/?u=https://b.org"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractRealUrl(c.address), c.real) << c.address;
}

TEST(DeclaredCharset, Table) {
    const struct {
        std::string_view html, charset;
    } cases[] = {
        {R"(<meta http-equiv="Content-Type" content="text/html; charset=GB2312">)", "gb2312"},
        {R"(<meta http-equiv="content-type" content="text/html; charset=utf-8" />)", "utf-8"},
        {R"(<meta http-equiv="CONTENT-TYPE" content="text/html; charset=gb2312">)", ""},
        {R"(<meta http-equiv="Content-Type" content=text/html;charset=gb2312>)", ""},
        {R"(<meta charset="gb2312">)", ""},
        {R"(<meta http-equiv="Content-Type" content="text/html">)", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeclaredCharset(c.html), c.charset) << c.html;
}

TEST(CharsetToUtf8, ReadsNamedSetsAndRefusesUnknownOrSuffixedNames) {
    // "中文" in GBK, then U+4E02, a GBK character that strict GB2312 lacks.
    const std::string gbk = "\xD6\xD0\xCE\xC4\x81\x40";
    EXPECT_EQ(CharsetToUtf8(gbk, "gb2312"), "中文丂");
    EXPECT_EQ(CharsetToUtf8(gbk, " GBK "), "中文丂");
    EXPECT_EQ(CharsetToUtf8("\xA4\xA4", "big5"), "中");
    EXPECT_EQ(CharsetToUtf8("a\xFF"
                            "b",
                            "utf-8"),
              "a\uFFFDb");
    EXPECT_EQ(CharsetToUtf8("\xD6", "gbk"), "\uFFFD");  // truncated at the end
    EXPECT_EQ(CharsetToUtf8("x", "x-no-such-set"), std::nullopt);
    EXPECT_EQ(CharsetToUtf8("x", "utf-8//IGNORE"), std::nullopt);
    EXPECT_EQ(CharsetToUtf8("x", ""), std::nullopt);
    EXPECT_EQ(BytesToText("x", "x-no-such-set"), "");
}

TEST(ResponseText, ByteOrderMarkThenHeaderThenUtf8ThenGbk) {
    EXPECT_EQ(ResponseText("\xEF\xBB\xBF<rss>", "text/xml; charset=gbk"), "<rss>");
    EXPECT_EQ(ResponseText(std::string("\xFF\xFE<\0a\0", 6), ""), "<a");
    EXPECT_EQ(ResponseText("caf\xE9", "text/html; Charset=\"ISO-8859-1\""), "café");
    EXPECT_EQ(ResponseText("中文", "text/html"), "中文");
    EXPECT_EQ(ResponseText("\xD6\xD0\xCE\xC4", "text/html"), "中文");
    EXPECT_EQ(ResponseText("\xD6\xD0", "text/html; charset=x-unknown"), "中");
}

TEST(XmlAsText, WritesTheParsedDocumentBackAsUtf8) {
    // Attributes come back double-quoted: the text was parsed, not copied.
    EXPECT_EQ(XmlAsText(" \r\n<rss version='2.0'><t>中</t></rss>"),
              "<rss version=\"2.0\"><t>中</t></rss>\n");
    // The declaration stays, without the encoding that no longer applies.
    EXPECT_EQ(XmlAsText("<?xml version=\"1.0\" encoding=\"gb2312\"?><t>\xD6\xD0</t>"),
              "<?xml version=\"1.0\"?>\n<t>中</t>\n");
    EXPECT_EQ(XmlAsText("<rss><unclosed></rss>"), "");
    EXPECT_EQ(XmlAsText(""), "");
}

TEST(XmlAsText, RegressionExternalEntitiesAreNeverRead) {
    const std::string xml = XmlAsText(
        "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
        "<r>&e;</r>");
    EXPECT_EQ(xml.find("root:"), std::string::npos);
}

}  // namespace
}  // namespace q3::online
