#include "common/gbk.h"

#include <gtest/gtest.h>

namespace q3 {
namespace {

// "示例密码" in GBK, as documents hold it.
const std::string kSampleGbk = "\xCA\xBE\xC0\xFD\xC3\xDC\xC2\xEB";

TEST(GbkCodec, RoundTripsChineseText) {
    auto gbk = Utf8ToGbk("示例密码");
    ASSERT_TRUE(gbk);
    EXPECT_EQ(*gbk, kSampleGbk);
    EXPECT_EQ(GbkToUtf8(kSampleGbk), "示例密码");
}

TEST(GbkCodec, InvalidGbkBecomesReplacementCharacter) {
    // 0x81 is a lead byte; 0x20 cannot be its trail, so the lead is replaced
    // and the blank survives.
    EXPECT_EQ(GbkToUtf8("a\x81 b"), "a\xEF\xBF\xBD b");
    // A lead byte cut off at the end of the text.
    EXPECT_EQ(GbkToUtf8("a\xCA"), "a\xEF\xBF\xBD");
}

TEST(GbkCodec, UnrepresentableOrInvalidUtf8GivesNothing) {
    EXPECT_FALSE(Utf8ToGbk("emoji \xF0\x9F\x98\x80"));
    EXPECT_FALSE(Utf8ToGbk("bad \xC3"));
    EXPECT_FALSE(WideToGbk(u"\xD800"));  // a lone surrogate
    EXPECT_EQ(WideToGbk(u"前言.htm").value(), "\xC7\xB0\xD1\xD4.htm");
}

TEST(GbkLower, ChangesAsciiLettersOnly) {
    EXPECT_EQ(GbkLower("Index.HTM"), "index.htm");
    EXPECT_EQ(GbkLower(kSampleGbk + "ABC"), kSampleGbk + "abc");
}

TEST(GbkLower, RegressionTrailByteThatLooksLikeAnUpperCaseLetterIsKept) {
    // 0x81 0x41 is one GBK character whose trail byte is 'A'.
    EXPECT_EQ(GbkLower("\x81\x41Z"), "\x81\x41z");
    // A lead byte at the very end has no trail to protect.
    EXPECT_EQ(GbkLower("A\x81"), "a\x81");
}

TEST(GbkLower, RegressionEightByteStepsKeepTheCharacterBoundary) {
    // Long ASCII runs are lowered eight bytes at a time; a double-byte
    // character in between must still protect its trail byte, wherever it
    // falls relative to the eight-byte steps.
    for (size_t pad = 0; pad < 9; ++pad) {
        const std::string head(pad, 'Q');
        const std::string in = head + "ABCDEFGHIJKLMNOP\x81\x41XYZ[@`{" + head;
        const std::string want =
            std::string(pad, 'q') + "abcdefghijklmnop\x81\x41xyz[@`{" + std::string(pad, 'q');
        EXPECT_EQ(GbkLower(in), want) << pad;
    }
}

TEST(GbkLower, RegressionTailShorterThanEightBytesIsLoweredOnlyWhereItIsSafe) {
    // An ASCII text's last few bytes are lowered as its last eight, which
    // overlap bytes already lowered; every length must come out whole.
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ[@`{";
    for (size_t n = 0; n <= 24; ++n) {
        std::string want = letters.substr(0, n);
        for (char& c : want)
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        EXPECT_EQ(GbkLower(letters.substr(0, n)), want) << n;
    }
    // Once a double-byte character has been seen the tail goes byte by
    // byte: its trail 'A' stays, wherever it falls in the last eight bytes.
    EXPECT_EQ(GbkLower("\x81"
                       "ABCDEFGH"),
              "\x81"
              "Abcdefgh");
    EXPECT_EQ(GbkLower("ABCDEFGHI\x81\x41"), "abcdefghi\x81\x41");
    EXPECT_EQ(GbkLower("ABCDEFGH\x81\x41Z"), "abcdefgh\x81\x41z");
    EXPECT_EQ(GbkLower("\x81\x41"
                       "ABCDEFGHIJ"),
              "\x81\x41"
              "abcdefghij");
}

TEST(GbkFind, NeverMatchesOnATrailByte) {
    // "\x81\x41" is one character; searching "A" must not find its trail.
    EXPECT_EQ(GbkFind("\x81\x41", "A"), std::string_view::npos);
    EXPECT_EQ(GbkFind("\x81\x41"
                      "A",
                      "A"),
              2u);
    // A pair that straddles two characters: "\xB0\xA1\xB0\xA1" holds the bytes
    // "\xA1\xB0" at offset 1, which is not a character start.
    EXPECT_EQ(GbkFind("\xB0\xA1\xB0\xA1", "\xA1\xB0"), std::string_view::npos);
    EXPECT_EQ(GbkFind("xx\xB0\xA1", "\xB0\xA1"), 2u);
    EXPECT_EQ(GbkFind("abc", ""), 0u);
}

TEST(TextFileToUtf8, ReadsUtf8AsItIsAndAnythingElseAsGbk) {
    EXPECT_EQ(TextFileToUtf8("示例"), "示例");
    EXPECT_EQ(TextFileToUtf8(kSampleGbk), "示例密码");
}

}  // namespace
}  // namespace q3
