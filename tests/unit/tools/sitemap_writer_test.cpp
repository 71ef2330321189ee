#include "qbxtool/sitemap_writer.h"

#include <gtest/gtest.h>

#include "common/gbk.h"
#include "reader_view.h"

namespace q3::tool {
namespace {

using Lines = std::vector<std::string>;
using testing::NumberedFiles;
using testing::ReaderView;

std::string Gbk(std::string_view utf8) {
    return Utf8ToGbk(utf8).value();
}

SitemapItem Item(std::string name, std::string local, std::vector<SitemapItem> children = {}) {
    return SitemapItem{std::move(name), std::move(local), std::move(children)};
}

std::string Write(const Contents& c) {
    Warnings warnings;
    return WriteContents(c, warnings);
}

TEST(ContentsFromSitemap, ItemsGetTheirRecordsAndOtherFilesAreDeclared) {
    auto files = NumberedFiles({"a.htm", "img/p.png", "one/ch1.htm", "style.css"});
    std::vector<SitemapItem> sitemap = {
        Item("A", "a.htm"),
        Item("One", "", {Item("Chapter", "one\\ch1.htm")}),
    };
    Warnings warnings;
    Contents c = ContentsFromSitemap(sitemap, files, warnings);
    EXPECT_TRUE(warnings.empty());
    ReaderView reader(Write(c));
    EXPECT_EQ(reader.Tree(), (Lines{"A 2", "One -", "  Chapter 4"}));
    EXPECT_EQ(reader.RecordOf("img/p.png"), 3);
    EXPECT_EQ(reader.RecordOf("style.css"), 5);
    EXPECT_EQ(reader.RecordOf("one/ch1.htm"), 4);
    EXPECT_TRUE(reader.HasNode("one/ch1.htm"));  // no resource line replaced the item's entry
    EXPECT_EQ(reader.IndexSize(), 2u);           // the heading is not in the index
    EXPECT_EQ(reader.ResourceListSize(), 2u);
}

TEST(ContentsFromSitemap, AnItemWhoseFileIsMissingBecomesAHeadingWithAWarning) {
    auto files = NumberedFiles({"a.htm"});
    std::vector<SitemapItem> sitemap = {Item("Gone", "gone.htm", {Item("A", "a.htm")}),
                                        Item("Web", "http://example.com/x.htm")};
    Warnings warnings;
    Contents c = ContentsFromSitemap(sitemap, files, warnings);
    EXPECT_EQ(warnings.size(), 2u);
    ReaderView reader(Write(c));
    EXPECT_EQ(reader.Tree(), (Lines{"Gone -", "  A 2", "Web -"}));
}

TEST(ContentsFromSitemap, AnchorsReachTheRecordOfTheirPage) {
    auto files = NumberedFiles({"Book/Page.htm", "other.htm"});
    std::vector<SitemapItem> sitemap = {Item("Section", "book/page.htm#Sec"),
                                        Item("Other", "other.htm#top")};
    Warnings warnings;
    Contents c = ContentsFromSitemap(sitemap, files, warnings);
    ASSERT_EQ(c.items.size(), 2u);
    // The file's own letter case, the anchor as written.
    EXPECT_EQ(c.items[0].local, "Book\\Page.htm#Sec");
    EXPECT_EQ(c.items[0].id, 2);
    ReaderView reader(Write(c));
    EXPECT_EQ(reader.Tree(), (Lines{"Section 2", "Other 3"}));
    EXPECT_EQ(reader.RecordOf("book/page.htm#sec"), 2);
    EXPECT_EQ(reader.RecordOf("book/page.htm"), 2);  // the bare page stays reachable
    EXPECT_EQ(reader.RecordOf("other.htm"), 3);
}

TEST(ContentsFromSitemap, PathsAreMatchedInTheirUsualSpellings) {
    auto files = NumberedFiles({"dir/Page One.htm", "第一章/一.htm"});
    struct Case {
        const char* local;
        int32_t id;
    } cases[] = {
        {"dir\\Page One.htm", 2}, {"dir/Page One.htm", 2},     {"./dir/page one.htm", 2},
        {"DIR\\PAGE ONE.HTM", 2}, {"dir/Page%20One.htm", 2},   {"x/../dir/Page One.htm", 2},
        {"第一章\\一.htm", 3},    {"../dir/Page One.htm", -1}, {"dir", -1},
    };
    for (const Case& k : cases) {
        Warnings warnings;
        Contents c = ContentsFromSitemap({Item("X", k.local)}, files, warnings);
        EXPECT_EQ(c.items.at(0).id, k.id) << k.local;
        EXPECT_EQ(warnings.size(), k.id == -1 ? 1u : 0u) << k.local;
    }
}

TEST(ContentsFromSitemap, ItemsWithoutANameAreStillShown) {
    auto files = NumberedFiles({"a.htm", "b.htm"});
    std::vector<SitemapItem> sitemap = {Item("", "", {Item("", "a.htm")}), Item("B", "b.htm")};
    Warnings warnings;
    ReaderView reader(Write(ContentsFromSitemap(sitemap, files, warnings)));
    // Without a caption the reader would drop the heading and hang "a.htm"
    // elsewhere.
    EXPECT_EQ(reader.Tree(), (Lines{"未命名 -", "  a.htm 2", "B 3"}));
}

TEST(ContentsFromFolder, FoldersAreHeadingsAndIndexComesFirst) {
    auto files = NumberedFiles({"about.htm", "ch/a.htm", "ch/index.html", "ch/p.png", "empty/x.css",
                                "index.htm", "zeta.HTML"});
    auto title = [](const PackFile& f) {
        return f.rel == "about.htm" ? std::string("About us") : std::string();
    };
    Contents c = ContentsFromFolder(files, title);
    ReaderView reader(Write(c));
    EXPECT_EQ(reader.Tree(),
              (Lines{"index 7", "About us 2", "zeta 8", "ch -", "  index 4", "  a 3"}));
    EXPECT_EQ(reader.RecordOf("ch/p.png"), 5);
    EXPECT_EQ(reader.RecordOf("empty/x.css"), 6);
    EXPECT_EQ(c.resources.size(), 2u);
}

// The tree of a contents text whose items all open record 2.
Lines TreeOfCaptions(const Lines& captions) {
    Contents c;
    for (const std::string& caption : captions)
        c.items.push_back({caption, "p.htm", 2, {}});
    return ReaderView(Write(c)).Tree();
}

TEST(WriteContents, CaptionsSurviveTheReadersLineParser) {
    const Lines captions = {
        "say \"hi\"",      // a quote would end the value
        "<ul> and </ul>",  // list markers inside a caption
        "<li><param name=\"local\" value=\"x\">",
        "第一章 Ｂ",
        "two\nlines",
    };
    EXPECT_EQ(TreeOfCaptions(captions),
              (Lines{"say 'hi' 2", "＜ul＞ and ＜/ul＞ 2",
                     "＜li＞＜param name='local' value='x'＞ 2", "第一章 Ｂ 2", "two lines 2"}));
}

TEST(WriteContents, RegressionCaptionLetterCaseIsNotTakenFromTheParamTag) {
    // The reader takes the caption's letters from where its lower case first
    // occurs in the line; "name" and "a" occur in <param name= before it.
    EXPECT_EQ(TreeOfCaptions({"Name", "A", "PARAM", "Value"}),
              (Lines{"Name 2", "A 2", "PARAM 2", "Value 2"}));
}

TEST(WriteContents, RegressionCaptionEndingInIdEqualsKeepsItsRecord) {
    // With value before id, the reader would read id from the caption's end.
    EXPECT_EQ(TreeOfCaptions({"paid=", "ID="}), (Lines{"paid= 2", "ID= 2"}));
}

TEST(WriteContents, RegressionLastItemIsNotLostToTheUnexaminedLastLine) {
    Contents c;
    c.items.push_back({"Only", "only.htm", 2, {}});
    const std::string text = Write(c);
    ReaderView reader(text);
    EXPECT_EQ(reader.Tree(), Lines{"Only 2"});
    // Also when a consumer drops the closing lines after the list.
    ReaderView cut(text.substr(0, text.rfind("</BODY>")));
    EXPECT_EQ(cut.Tree(), Lines{"Only 2"});
}

TEST(WriteContents, NamesAreGbkAndCaptionsGbkCannotHoldAreMarked) {
    Contents c;
    c.items.push_back({"表情\xF0\x9F\x98\x80", Gbk("第一章\\一.htm"), 2, {}});
    c.resources.push_back({Gbk("图片\\图.png"), 3});
    Warnings warnings;
    const std::string text = WriteContents(c, warnings);
    EXPECT_EQ(warnings.size(), 1u);
    EXPECT_NE(text.find(Gbk("表情?")), std::string::npos);
    EXPECT_NE(text.find("value=\"" + Gbk("第一章\\一.htm") + "\""), std::string::npos);
    ReaderView reader(text);
    EXPECT_EQ(reader.Tree(), Lines{"表情? 2"});
    EXPECT_EQ(reader.RecordOf(Gbk("第一章/一.htm")), 2);
    EXPECT_EQ(reader.RecordOf(Gbk("图片/图.png")), 3);
}

TEST(CleanCaption, Table) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"plain", "plain"}, {" padded\t", "padded"}, {"a\"b", "a'b"},
        {"<b>", "＜b＞"},   {"a\r\nb", "a  b"},      {"", ""},
        {"中文", "中文"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(CleanCaption(k.in), k.out) << k.in;
}

}  // namespace
}  // namespace q3::tool
