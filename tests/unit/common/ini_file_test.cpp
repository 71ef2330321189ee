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

TEST(IniFile, RegressionSaveNeverWritesThroughAFixedTemporaryName) {
    q3::testing::TempDir dir;
    const std::string path = dir.Write("RURLs.dat", "[URLs]\nCount=0\n");
    const std::string victim = dir.Write("victim", "untouched");
    std::filesystem::create_symlink(victim, path + ".tmp");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    ini.WriteInteger("URLs", "Count", 1);
    ASSERT_TRUE(ini.Save(path));
    EXPECT_EQ(q3::testing::ReadFileBytes(victim), "untouched");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    IniFile back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.ReadInteger("urls", "count", 0), 1);
}

TEST(IniFile, RegressionManyKeysLoadAndCountAsWritten) {
    // 200 000 keys: one scan of the section per key made this quadratic.
    std::string text = "[S]\n";
    for (int i = 0; i < 200000; ++i)
        text += "Key" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
    text += "KEY7=last wins\n[T]\n[s]\nkey8=again\n";
    IniFile ini;
    ini.Parse(text);
    EXPECT_EQ(ini.KeyCount("S"), 200000u);
    EXPECT_EQ(ini.KeyCount("T"), 0u);
    EXPECT_EQ(ini.KeyCount("missing"), 0u);
    EXPECT_EQ(ini.ReadString("s", "key7", ""), "last wins");
    EXPECT_EQ(ini.ReadString("S", "KEY8", ""), "again");
    EXPECT_EQ(ini.ReadString("S", "Key199999", ""), "v199999");
    // The text keeps the first spelling of each name, in file order.
    EXPECT_EQ(ini.Text().substr(0, 16), "[S]\nKey0=v0\nKey1");
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
