#include "reader/rules/bookmarks.h"

#include <gtest/gtest.h>

#include "common/gbk.h"
#include "common/shell.h"
#include "common/xdg_sandbox.h"

namespace q3::reader {
namespace {

TEST(CutGbkBytes, Table) {
    std::string chinese;  // 130 characters, 260 bytes in GBK
    for (int i = 0; i < 130; ++i)
        chinese += "书";
    std::string chinese_127;
    for (int i = 0; i < 127; ++i)
        chinese_127 += "书";
    struct Case {
        const char* name;
        std::string text, cut;
    } cases[] = {
        {"short text unchanged", "abc", "abc"},
        {"300 ASCII bytes keep 255", std::string(300, 'a'), std::string(255, 'a')},
        {"double-byte text keeps whole characters", chinese, chinese_127},
        // 254 ASCII bytes and one Chinese character make 256 GBK bytes: the
        // character goes whole instead of leaving its lead byte behind.
        {"a character across the limit goes whole", std::string(254, 'a') + "书",
         std::string(254, 'a')},
        {"a character GBK cannot hold counts as two bytes",
         std::string(253, 'a') + "😀" + std::string(5, 'b'), std::string(253, 'a') + "😀"},
        {"", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CutGbkBytes(c.text), c.cut) << c.name;
}

TEST(Bookmarks, KeyIsTheFileNameWithoutFolderOrExtension) {
    EXPECT_EQ(BookmarkKey("/home/a/books/Linux 手册.qbx"),
              "SOFTWARE\\Tarvik\\Quillon3\\Linux 手册");
    // Two documents of one name in different folders share a key.
    EXPECT_EQ(BookmarkKey("/a/book.qbx"), BookmarkKey("/b/book.qbx"));
    // No document: the settings key and a bare backslash.
    EXPECT_EQ(BookmarkKey(""), "SOFTWARE\\Tarvik\\Quillon3\\");
}

TEST(Bookmarks, TargetOfWebAndDocumentAddresses) {
    EXPECT_EQ(BookmarkTarget("http://example.com/a?b"), "http://example.com/a?b");
    EXPECT_EQ(BookmarkTarget("one/first.htm"), "qbx://reader/one/first.htm");
}

TEST(Bookmarks, AddressOfAShownPage) {
    const struct {
        const char* shown;
        const char* address;
    } cases[] = {
        // The engine's encoded form of "前言.htm": stored as the document names it.
        {"qbx://reader/%E5%89%8D%E8%A8%80.htm", "前言.htm"},
        // The highlight query is not part of the page.
        {"qbx://reader/ch02.htm?key=%E8%BD%AF", "ch02.htm"},
        {"qbx://reader/one/first.htm#part", "one/first.htm#part"},
        // A "%" that is no text once decoded stays as the engine gave it.
        {"qbx://reader/a%FFb.htm", "a%FFb.htm"},
        {"qbx://reader/100%25.htm", "100%25.htm"},
        {"http://example.com/a%20b?key=x", "http://example.com/a%20b?key=x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BookmarkAddress(c.shown), c.address) << c.shown;
}

class BookmarkStoreTest : public ::testing::Test {
  protected:
    q3::testing::XdgSandbox sandbox_;
    const std::string key_ = BookmarkKey("/x/book.qbx");
};

TEST_F(BookmarkStoreTest, StoredListIsReadBackAndAShorterOneReplacesIt) {
    ASSERT_TRUE(StoreBookmarkList(key_, {{"一", "a.htm"}, {"two", "http://b/"}, {"3", "c.htm"}}));
    ASSERT_EQ(LoadBookmarkList(key_).size(), 3u);
    ASSERT_TRUE(StoreBookmarkList(key_, {{"一", "a.htm"}, {"3", "c.htm"}}));
    const std::vector<BookmarkRecord> list = LoadBookmarkList(key_);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].name, "3");
    EXPECT_EQ(list[1].address, "c.htm");
    EXPECT_EQ(ReadHkcuInteger(key_, "MaskerCount", -1), 2);
}

TEST_F(BookmarkStoreTest, DamagedValuesAreReadAsFarAsTheyAreSound) {
    // A count past the values present gives empty items; a value of the
    // wrong type reads as empty; a GBK text from the original platform is
    // shown as text.
    ASSERT_TRUE(WriteHkcuInteger(key_, "MaskerCount", 3));
    ASSERT_TRUE(WriteHkcuString(key_, "BookName0", "\xCA\xE9"));  // "书" in GBK
    ASSERT_TRUE(WriteHkcuInteger(key_, "BookAnchor0", 7));
    const std::vector<BookmarkRecord> list = LoadBookmarkList(key_);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, "书");
    EXPECT_EQ(list[0].address, "");
    EXPECT_EQ(list[2].name, "");
}

TEST_F(BookmarkStoreTest, RegressionHugeOrNegativeCountIsCapped) {
    ASSERT_TRUE(WriteHkcuInteger(key_, "MaskerCount", 2000000000));
    EXPECT_EQ(LoadBookmarkList(key_).size(), static_cast<size_t>(kMaxBookmarks));
    ASSERT_TRUE(WriteHkcuInteger(key_, "MaskerCount", -4));
    EXPECT_TRUE(LoadBookmarkList(key_).empty());
}

TEST_F(BookmarkStoreTest, MissingKeyIsAnEmptyList) {
    EXPECT_TRUE(LoadBookmarkList(key_).empty());
    ASSERT_TRUE(WriteHkcuString(key_, "MaskerCount", "x"));  // wrong type
    EXPECT_TRUE(LoadBookmarkList(key_).empty());
}

}  // namespace
}  // namespace q3::reader
