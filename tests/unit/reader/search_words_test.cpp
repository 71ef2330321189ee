#include "reader/rules/search_words.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace q3::reader {
namespace {

using q3::testing::ReadFileBytes;
using q3::testing::TempDir;

TEST(SearchWords, MissingFileIsAnEmptyList) {
    TempDir dir;
    EXPECT_TRUE(LoadSearchWords(dir.File("SearchKey.dat")).empty());
}

TEST(SearchWords, ThreeLinesGiveThreeWordsInFileOrder) {
    TempDir dir;
    const std::string file = dir.Write("SearchKey.dat", "zeta\r\nalpha\r\n中文\r\n");
    EXPECT_EQ(LoadSearchWords(file), (std::vector<std::string>{"zeta", "alpha", "中文"}));
}

TEST(SearchWords, LinesEndedByLineFeedOnlyOrUnended) {
    TempDir dir;
    const std::string file = dir.Write("SearchKey.dat", "one\ntwo\r\nthree");
    EXPECT_EQ(LoadSearchWords(file), (std::vector<std::string>{"one", "two", "three"}));
}

TEST(SearchWords, GbkFileFromTheOriginalPlatformIsRead) {
    TempDir dir;
    // "中文" in GBK: D6 D0 CE C4, not valid UTF-8.
    const std::string file = dir.Write("SearchKey.dat", "\xD6\xD0\xCE\xC4\r\nabc\r\n");
    EXPECT_EQ(LoadSearchWords(file), (std::vector<std::string>{"中文", "abc"}));
}

TEST(SearchWords, StoreWritesEveryWordWithCrLf) {
    TempDir dir;
    const std::string file = dir.File("SearchKey.dat");
    StoreSearchWords(file, {"abc", "中文", ""});
    EXPECT_EQ(ReadFileBytes(file), "abc\r\n中文\r\n\r\n");
    EXPECT_EQ(LoadSearchWords(file), (std::vector<std::string>{"abc", "中文", ""}));
    EXPECT_FALSE(std::filesystem::exists(file + ".new"));
}

TEST(SearchWords, StoreReplacesTheOldList) {
    TempDir dir;
    const std::string file = dir.Write("SearchKey.dat", "old1\r\nold2\r\nold3\r\n");
    StoreSearchWords(file, {"new"});
    EXPECT_EQ(ReadFileBytes(file), "new\r\n");
}

TEST(SearchWords, StoreIntoAMissingFolderThrowsAndLeavesNothing) {
    TempDir dir;
    const std::string file = (dir.path() / "no-such-folder" / "SearchKey.dat").string();
    EXPECT_THROW(StoreSearchWords(file, {"a"}), std::filesystem::filesystem_error);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(SearchWords, RegressionFailedStoreKeepsThePreviousList) {
    TempDir dir;
    const std::string file = dir.Write("SearchKey.dat", "kept\r\n");
    // A folder where the file's lock belongs makes the write fail.
    std::filesystem::create_directory(file + ".lock");
    EXPECT_THROW(StoreSearchWords(file, {"lost"}), std::filesystem::filesystem_error);
    EXPECT_EQ(ReadFileBytes(file), "kept\r\n");
}

TEST(SearchWords, RegressionStoreNeverWritesThroughAFixedTemporaryName) {
    TempDir dir;
    const std::string file = dir.Write("SearchKey.dat", "old\r\n");
    const std::string victim = dir.Write("victim", "untouched");
    // Another writer's (or anyone's) file at a fixed temporary name.
    std::filesystem::create_symlink(victim, file + ".new");
    StoreSearchWords(file, {"new"});
    EXPECT_EQ(ReadFileBytes(victim), "untouched");
    EXPECT_FALSE(std::filesystem::is_symlink(file));
    EXPECT_EQ(ReadFileBytes(file), "new\r\n");
}

}  // namespace
}  // namespace q3::reader
