#include "common/text.h"

#include <gtest/gtest.h>

namespace q3 {
namespace {

TEST(PercentDecode, Table) {
    struct Case {
        const char* in;
        std::string out;
    } cases[] = {
        {"a%20b", "a b"},
        {"100%", "100"},  // a lone "%" is dropped
        {"%zz!", "!"},    // an escape that is not hexadecimal disappears
        {"a+b", "a+b"},   // "+" is not a blank
        {"%C7%B0%D1%D4.htm", "\xC7\xB0\xD1\xD4.htm"},
        {"%4", "\x04"},     // one digit left at the end
        {"% 4x", "\x04x"},  // blanks inside the escape are trimmed
        {"%%41", "1"},      // "%%4" fails, then "1"
    };
    for (const Case& c : cases)
        EXPECT_EQ(PercentDecode(c.in), c.out) << c.in;
}

TEST(PercentEncode, RoundTripsAnyBytes) {
    EXPECT_EQ(PercentEncode("a b&c#\xC7\xB0~"), "a%20b%26c%23%C7%B0~");
    std::string all;
    for (int c = 0; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    EXPECT_EQ(PercentDecode(PercentEncode(all)), all);
}

TEST(TextBetween, Table) {
    EXPECT_EQ(TextBetween("a<b>c", "<", ">"), "b");
    EXPECT_EQ(TextBetween("a<bc", "<", ">"), "");  // end missing
    EXPECT_EQ(TextBetween("abc", "<", ">"), "");   // start missing
    EXPECT_EQ(TextBetween("", "<", ">"), "");
    EXPECT_EQ(TextBetween("x value=\"v1\" value=\"v2\"", "value=\"", "\""), "v1");
}

TEST(CutTextBetween, WalksItemsInOrderThenLeavesTheTail) {
    std::string feed = "<i>one</i><i>two</i> <i>three</i>tail";
    EXPECT_EQ(CutTextBetween(feed, "<i>", "</i>"), "one");
    EXPECT_EQ(CutTextBetween(feed, "<i>", "</i>"), "two");
    EXPECT_EQ(CutTextBetween(feed, "<i>", "</i>"), "three");
    EXPECT_EQ(CutTextBetween(feed, "<i>", "</i>"), "");
    EXPECT_EQ(feed, "tail");
}

TEST(CutTextBetween, ViewWalksTheSameWayAndStopsAtAnEmptyItem) {
    std::string_view feed = "<i>one</i><i></i><i>two";
    EXPECT_EQ(CutTextBetween(feed, "<i>", "</i>"), "one");
    EXPECT_EQ(CutTextBetween(feed, "<i>", "</i>"), "");  // found, but empty
    EXPECT_EQ(feed, "<i>two");
    EXPECT_EQ(CutTextBetween(feed, "<i>", "</i>"), "");  // no end marker: unchanged
    EXPECT_EQ(feed, "<i>two");
}

TEST(ShortenText, LimitsCharactersAndHalvesForChinese) {
    EXPECT_EQ(ShortenText("abcdefghijklmnopqrst", 16, "..."), "abcdefghijklmnop...");
    EXPECT_EQ(ShortenText("abcdefghijklmnop", 16, "..."), "abcdefghijklmnop");
    // Ten GBK characters with limit 16 keep eight.
    std::string ten;
    for (int i = 0; i < 10; ++i)
        ten += "\xB0\xA1";
    EXPECT_EQ(ShortenText(ten, 16, "..."), ten.substr(0, 16) + "...");
    EXPECT_EQ(ShortenText("", 3, "..."), "");
}

// Regression: a Latin title holding a no-break space was cut to 8 characters.
TEST(ShortenTextUtf8, OnlyDoubleByteCharactersOfTheCodePageHalveTheLimit) {
    struct Case {
        const char* text;
        const char* want;
    } cases[] = {
        // U+00A0 has no place in GBK: a Latin title keeps 16.
        {"1.\u00a0Introduction to it", "1.\u00a0Introduction ..."},
        // The euro sign is one byte in the code page.
        {"\u20ac Prices of the year", "\u20ac Prices of the ..."},
        // Outside GBK altogether (an emoji; two 16-bit units).
        {"\U0001F600 smile smile smile", "\U0001F600 smile smile s..."},
        // A hanzi, and a Latin letter GBK holds as double-byte (e with acute).
        {"\u4e2d\u6587\u6807\u9898\u4e00\u4e8c\u4e09\u56db\u4e94",
         "\u4e2d\u6587\u6807\u9898\u4e00\u4e8c\u4e09\u56db..."},
        {"Caf\u00e9 society and more", "Caf\u00e9 soc..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortenTextUtf8(c.text, 16, "..."), c.want) << c.text;
}

TEST(FileNames, Table) {
    EXPECT_EQ(FileNameNoExt("C:\\books\\a.qbx"), "a");
    EXPECT_EQ(FileNameNoExt("/home/u/book.v2.qbx"), "book.v2");
    EXPECT_EQ(FileNameNoExt("noext"), "noext");
    EXPECT_EQ(FileExtension("a\\b.htm"), ".htm");
    EXPECT_EQ(FileExtension("a.b\\c"), "");
    EXPECT_EQ(FileExtension("a/b.htm?key=x"), ".htm?key=x");
    EXPECT_EQ(LastPathSegment("C:\\books\\a.qbx"), "a.qbx");
    EXPECT_EQ(LastPathSegment("qbx://reader/abc/page.htm"), "page.htm");
    EXPECT_EQ(LastPathSegment("index.htm"), "index.htm");
}

TEST(AnchorOf, Table) {
    EXPECT_EQ(AnchorOf("qbx://reader/a/Page.HTM#Top"), "Top");
    EXPECT_EQ(AnchorOf("about:blank#x"), "x");
    EXPECT_EQ(AnchorOf("page.asp#x"), "");
    EXPECT_EQ(AnchorOf("page.htm"), "");
    EXPECT_EQ(AnchorOf("page.html#"), "");
    EXPECT_EQ(AnchorOf("a.html#b"), "b");
}

TEST(PurgeUrlCache, AsksTheInstalledPurgerOnly) {
    EXPECT_FALSE(PurgeUrlCache("qbx://reader/a.htm"));
    std::string seen;
    SetUrlCachePurger([&](std::string_view a) {
        seen = a;
        return true;
    });
    EXPECT_TRUE(PurgeUrlCache("qbx://reader/a.htm"));
    EXPECT_EQ(seen, "qbx://reader/a.htm");
    SetUrlCachePurger({});
}

}  // namespace
}  // namespace q3
