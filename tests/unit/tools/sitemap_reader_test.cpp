#include "qbxtool/sitemap_reader.h"

#include <gtest/gtest.h>

namespace q3::tool {
namespace {

// "name|local" per item, two spaces per level, depth first.
void Flatten(const std::vector<SitemapItem>& items, int depth, std::vector<std::string>& out) {
    for (const SitemapItem& i : items) {
        out.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') + i.name + "|" + i.local);
        Flatten(i.children, depth + 1, out);
    }
}

std::vector<std::string> Read(std::string_view text) {
    std::vector<std::string> out;
    Flatten(ReadSitemap(text), 0, out);
    return out;
}

using Lines = std::vector<std::string>;

TEST(ReadSitemap, TheUsualLayoutWithHeadingsAndNesting) {
    const char* text = R"(<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">
<HTML><HEAD></HEAD><BODY>
<OBJECT type="text/site properties">
	<param name="Window Styles" value="0x800025">
</OBJECT>
<UL>
	<LI> <OBJECT type="text/sitemap">
		<param name="Name" value="Intro">
		<param name="Local" value="intro.htm">
		</OBJECT>
	<LI> <OBJECT type="text/sitemap">
		<param name="Name" value="Part one">
		</OBJECT>
	<UL>
		<LI> <OBJECT type="text/sitemap">
			<param name="Name" value="Chapter 1">
			<param name="Local" value="one\ch1.htm">
			</OBJECT>
		<UL>
			<LI> <OBJECT type="text/sitemap">
				<param name="Name" value="Section">
				<param name="Local" value="one\ch1.htm#s1">
				</OBJECT>
		</UL>
	</UL>
	<LI> <OBJECT type="text/sitemap">
		<param name="Name" value="End">
		<param name="Local" value="end.htm">
		</OBJECT>
</UL>
</BODY></HTML>)";
    EXPECT_EQ(Read(text), (Lines{"Intro|intro.htm", "Part one|", "  Chapter 1|one\\ch1.htm",
                                 "    Section|one\\ch1.htm#s1", "End|end.htm"}));
}

TEST(ReadSitemap, EverythingOnOneLineInAnyCaseAndQuoting) {
    const char* text =
        "<ul><li><object TYPE='Text/Sitemap'><PARAM Name=Local VALUE='b.htm'>"
        "<param name='ImageNumber' value='11'><param name=\"NAME\" value=\"B\"></object>"
        "<ul><li><object type=text/sitemap><param name=name value=Inner>"
        "<param name=local value=c.htm></object></ul></ul>";
    EXPECT_EQ(Read(text), (Lines{"B|b.htm", "  Inner|c.htm"}));
}

TEST(ReadSitemap, EntitiesAndQuotedAngleBrackets) {
    const char* text =
        "<ul><li><object type=\"text/sitemap\">"
        "<param name=\"Name\" value=\"A &amp; B > C\">"
        "<param name=\"Local\" value=\"a&amp;b.htm\"></object></ul>";
    EXPECT_EQ(Read(text), Lines{"A & B > C|a&b.htm"});
}

TEST(ReadSitemap, CommentsAndOtherObjectsAreSkipped) {
    const char* text =
        "<ul><!-- <li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Gone\">"
        "</object> -->"
        "<li><object type=\"application/x-oleobject\"><param name=\"Name\" value=\"Ole\">"
        "</object>"
        "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Kept\"></object></ul>";
    EXPECT_EQ(Read(text), Lines{"Kept|"});
}

TEST(ReadSitemap, TheFirstNameAndLocalOfAnItemWin) {
    const char* text =
        "<ul><li><object type=\"text/sitemap\">"
        "<param name=\"Name\" value=\"First\"><param name=\"Local\" value=\"1.htm\">"
        "<param name=\"Name\" value=\"Second\"><param name=\"Local\" value=\"2.htm\">"
        "</object></ul>";
    EXPECT_EQ(Read(text), Lines{"First|1.htm"});
}

TEST(ReadSitemap, NestedListsHangUnderTheLastItemAsTheReaderWouldShowThem) {
    const char* side_by_side =
        "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"A\"></object></ul>"
        "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"B\"></object>"
        "<ul><ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"C\">"
        "</object></ul></ul></ul></ul></ul>";  // stray closing tags are ignored
    EXPECT_EQ(Read(side_by_side), (Lines{"A|", "B|", "  C|"}));
    // A list with no item before it stays on its level.
    const char* leading =
        "<ul><ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"D\">"
        "</object></ul></ul>";
    EXPECT_EQ(Read(leading), Lines{"D|"});
}

TEST(ReadSitemap, RegressionDeepNestingIsCapped) {
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"x\"></object>";
    std::vector<SitemapItem> items = ReadSitemap(text);
    int depth = 0;
    const std::vector<SitemapItem>* level = &items;
    while (!level->empty()) {
        ++depth;
        level = &level->back().children;
    }
    EXPECT_EQ(depth, kMaxSitemapDepth);
}

TEST(ReadSitemap, BrokenTextEndsQuietly) {
    EXPECT_TRUE(ReadSitemap("").empty());
    EXPECT_TRUE(ReadSitemap("<ul><li><object type=\"text/sitemap\"><param name=\"Name").empty());
    EXPECT_TRUE(ReadSitemap("<!-- never closed <ul>").empty());
}

}  // namespace
}  // namespace q3::tool
