#include "common/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace q3 {
namespace {

TEST(IniFile, ReadsSoundLinesAndSkipsTheRest) {
    IniFile ini;
    ini.Parse(
        "garbage before any section\n"  // no section yet: skipped
        "[URLs]\n"
        "Count = 2\n"  // blanks around the name are trimmed
        "url0=C:\\b\\A.QBX\n"
        "no equals sign\n"                // skipped
        "URL1=http://example.org/?a=b\n"  // names compare without case; "=" in the value kept
        "[urls]\n"                        // the same section again
        "url2=x\n");
    EXPECT_EQ(ini.ReadInteger("urls", "count", 0), 2);
    EXPECT_EQ(ini.ReadString("URLs", "url0", ""), "C:\\b\\A.QBX");
    EXPECT_EQ(ini.ReadString("URLs", "url1", ""), "http://example.org/?a=b");
    EXPECT_EQ(ini.ReadString("URLs", "url2", ""), "x");
    EXPECT_EQ(ini.ReadString("Other", "url0", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("URLs", "url0", 7), 7);  // not a number
}

TEST(IniFile, SavesAtomicallyAndReadsBack) {
    q3::testing::TempDir dir;
    const std::string path = dir.File("a.ini");
    IniFile missing;
    EXPECT_TRUE(missing.Load(path));  // absent file: empty, no error
    missing.WriteString("S", "k", "中文");
    missing.WriteInteger("S", "n", -3);
    ASSERT_TRUE(missing.Save(path));
    IniFile back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.ReadString("s", "K", ""), "中文");
    EXPECT_EQ(back.ReadInteger("S", "n", 0), -3);
}

TEST(IniFile, GbkFileFromTheOriginalPlatformLoads) {
    q3::testing::TempDir dir;
    const std::string path = dir.Write("old.ini", "[URLs]\r\nurl0=C:\\\xC7\xB0\xD1\xD4.qbx\r\n");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    EXPECT_EQ(ini.ReadString("URLs", "url0", ""), "C:\\前言.qbx");
}

TEST(IniFile, RegressionFolderWhereTheFileBelongsFailsLoadWithoutThrowing) {
    q3::testing::TempDir dir;
    std::filesystem::create_directory(dir.File("RURLs.dat"));
    IniFile ini;
    EXPECT_FALSE(ini.Load(dir.File("RURLs.dat")));
}

TEST(IniFile, UnwritableFolderFailsSave) {
    IniFile ini;
    ini.WriteString("S", "k", "v");
    EXPECT_FALSE(ini.Save("/nonexistent-folder-q3/a.ini"));
}

}  // namespace
}  // namespace q3
