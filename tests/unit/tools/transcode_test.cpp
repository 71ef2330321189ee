#include "qbxtool/transcode.h"

#include <gtest/gtest.h>

#include "common/gbk.h"

namespace q3::tool {
namespace {

std::string Gbk(std::string_view utf8) {
    return Utf8ToGbk(utf8).value();
}

TEST(TextKindOf, Table) {
    struct Case {
        const char* name;
        TextKind kind;
    } cases[] = {
        {"a.htm", TextKind::kMarkup},   {"a/B.HTML", TextKind::kMarkup},
        {"toc.hhc", TextKind::kMarkup}, {"k.hhk", TextKind::kMarkup},
        {"s.css", TextKind::kStyle},    {"x.JS", TextKind::kPlain},
        {"r.txt", TextKind::kPlain},    {"p.png", TextKind::kBinary},
        {"noext", TextKind::kBinary},   {"dir.htm/file", TextKind::kBinary},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextKindOf(c.name), c.kind) << c.name;
}

TEST(DeclareGbk, Table) {
    struct Case {
        TextKind kind;
        const char* in;
        const char* out;
    } cases[] = {
        {TextKind::kMarkup, "<meta charset=\"utf-8\">", "<meta charset=\"gbk\">"},
        {TextKind::kMarkup, "<META CHARSET=UTF-8>", "<META CHARSET=gbk>"},
        {TextKind::kMarkup,
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"},
        {TextKind::kMarkup, "<meta charset = 'utf8' />", "<meta charset = 'gbk' />"},
        {TextKind::kMarkup, "<script src=\"a.js\" charset=\"utf-8\"></script>",
         "<script src=\"a.js\" charset=\"gbk\"></script>"},
        {TextKind::kMarkup, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><html>",
         "<?xml version=\"1.0\" encoding=\"gbk\"?><html>"},
        // Text about a charset is not a declaration.
        {TextKind::kMarkup, "<p>set charset=utf-8 here</p>", "<p>set charset=utf-8 here</p>"},
        {TextKind::kMarkup, "<p encoding=\"utf-8\">", "<p encoding=\"utf-8\">"},
        {TextKind::kMarkup, "<meta charset=\"utf-16\">", "<meta charset=\"utf-16\">"},
        {TextKind::kMarkup, "<meta charset=\"utf-8x\">", "<meta charset=\"utf-8x\">"},
        {TextKind::kMarkup, "<meta charset=\"gb2312\">", "<meta charset=\"gb2312\">"},
        {TextKind::kStyle, "@charset \"UTF-8\";\nbody{}", "@charset \"gbk\";\nbody{}"},
        {TextKind::kStyle, "body{} /* charset=utf-8 */", "body{} /* charset=utf-8 */"},
        {TextKind::kPlain, "x = '<meta charset=utf-8>';", "x = '<meta charset=utf-8>';"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeclareGbk(c.in, c.kind), c.out) << c.in;
}

TEST(TranscodeToGbk, Utf8PageBecomesGbkWithItsDeclaration) {
    Warnings warnings;
    std::string out =
        TranscodeToGbk("p.htm", "\xEF\xBB\xBF<meta charset=\"utf-8\"><p>你好</p>", warnings);
    // The byte order mark goes; 你好 is C4E3 BAC3 in GBK.
    EXPECT_EQ(out, "<meta charset=\"gbk\"><p>\xC4\xE3\xBA\xC3</p>");
    EXPECT_TRUE(warnings.empty());
}

TEST(TranscodeToGbk, TextThatIsNotUtf8AndBinaryFilesAreKept) {
    Warnings warnings;
    const std::string gbk_page = "<meta charset=\"utf-8\">" + Gbk("已经是国标码");
    EXPECT_EQ(TranscodeToGbk("p.htm", gbk_page, warnings), gbk_page);
    const std::string png("\x89PNG\r\n\x1A\n\xE4\xBD\xA0", 11);
    EXPECT_EQ(TranscodeToGbk("p.png", png, warnings), png);
    // A picture that happens to be valid UTF-8 is not text either.
    EXPECT_EQ(TranscodeToGbk("p.png", "你好", warnings), "你好");
    EXPECT_TRUE(warnings.empty());
}

TEST(TranscodeToGbk, MarkupWritesWhatGbkCannotHoldAsReferences) {
    Warnings warnings;
    std::string out =
        TranscodeToGbk("p.html", "<meta charset=utf-8>中\xF0\x9F\x98\x80文\xE2\x82\xA9", warnings);
    // U+1F600 and U+20A9 (won sign) are not in GBK.
    EXPECT_EQ(out, "<meta charset=gbk>" + Gbk("中") + "&#128512;" + Gbk("文") + "&#8361;");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("2 characters"), std::string::npos);
}

TEST(TranscodeToGbk, OtherTextGbkCannotHoldStaysUtf8) {
    Warnings warnings;
    const std::string css = "@charset \"utf-8\";\na::after{content:\"\xF0\x9F\x98\x80\"}";
    // Its declaration still says UTF-8, which is what it is.
    EXPECT_EQ(TranscodeToGbk("s.css", css, warnings), css);
    EXPECT_EQ(warnings.size(), 1u);
}

TEST(TranscodeToGbk, StyleAndScriptBecomeGbk) {
    Warnings warnings;
    EXPECT_EQ(TranscodeToGbk("s.css", "@charset \"UTF-8\";\n/* 注释 */", warnings),
              "@charset \"gbk\";\n/* " + Gbk("注释") + " */");
    EXPECT_EQ(TranscodeToGbk("a.js", "alert('你好');", warnings), "alert('" + Gbk("你好") + "');");
    EXPECT_EQ(TranscodeToGbk("r.txt", "纯文本", warnings), Gbk("纯文本"));
    EXPECT_TRUE(warnings.empty());
}

}  // namespace
}  // namespace q3::tool
