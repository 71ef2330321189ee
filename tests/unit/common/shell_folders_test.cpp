#include "common/shell_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/xdg_dirs.h"
#include "common/xdg_sandbox.h"

namespace q3 {
namespace {

using q3::testing::ScopedEnv;
using q3::testing::TempDir;
using q3::testing::XdgSandbox;

struct TempCase {
    std::optional<std::string> tmpdir;
    const char* expected;
};

TEST(TempFolder, DropsOneTrailingSeparator) {
    const TempCase cases[] = {
        {"/var/tmp/", "/var/tmp"},
        {"/var/tmp", "/var/tmp"},  // unchanged without a trailing separator
        {"/var/tmp//", "/var/tmp/"},
        {"/", "/"},  // the root stays a folder
        {std::nullopt, "/tmp"},
        {"", "/tmp"},
        {"relative/dir", "/tmp"},  // not a usable temporary folder
    };
    for (const TempCase& c : cases) {
        ScopedEnv env("TMPDIR", c.tmpdir);
        EXPECT_EQ(TempFolder(), c.expected) << c.tmpdir.value_or("<unset>");
    }
}

TEST(CreateEmptyFile, MakesTheFoldersAndAnEmptyFile) {
    TempDir dir;
    const std::string file = dir.File("a/b/test.exe");
    EXPECT_TRUE(CreateEmptyFile(file));
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST(CreateEmptyFile, ExistingFileIsLeftAsItIs) {
    TempDir dir;
    const std::string file = dir.Write("kept.txt", "content");
    EXPECT_TRUE(CreateEmptyFile(file));
    EXPECT_EQ(q3::testing::ReadFileBytes(file), "content");
}

TEST(CreateEmptyFile, FalseWhenAFolderCannotBeMade) {
    TempDir dir;
    const std::string blocker = dir.Write("file", "x");
    EXPECT_FALSE(CreateEmptyFile(blocker + "/inside/test.lnk"));
    EXPECT_FALSE(CreateEmptyFile(""));
}

TEST(UserDirectoryEntry, ReadsTheShellAssignments) {
    const std::string text =
        "# written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n"
        "XDG_PICTURES_DIR=\"/srv/pictures\"\n"
        "XDG_MUSIC_DIR=\"$HOME\"\n"
        "XDG_VIDEOS_DIR=$HOME/unquoted\n"
        "XDG_TEMPLATES_DIR=\"$HOMEWORK/x\"\n"
        "XDG_PUBLICSHARE_DIR=\"$HOME/a\\\"b\"\n";
    const std::filesystem::path home = "/home/reader";
    EXPECT_EQ(UserDirectoryEntry(text, "DESKTOP", home), home / "桌面");
    EXPECT_EQ(UserDirectoryEntry(text, "DOCUMENTS", home), home / "文档");
    EXPECT_EQ(UserDirectoryEntry(text, "PICTURES", home), "/srv/pictures");
    EXPECT_EQ(UserDirectoryEntry(text, "MUSIC", home), home);
    EXPECT_EQ(UserDirectoryEntry(text, "VIDEOS", home), std::nullopt);
    EXPECT_EQ(UserDirectoryEntry(text, "TEMPLATES", home), std::nullopt);
    EXPECT_EQ(UserDirectoryEntry(text, "PUBLICSHARE", home), home / "a\"b");
    EXPECT_EQ(UserDirectoryEntry(text, "DOWNLOAD", home), std::nullopt);
}

class SpecialFolderTest : public ::testing::Test {
  protected:
    void WriteUserDirs(const std::string& text) {
        std::filesystem::create_directories(sandbox_.config());
        std::ofstream(sandbox_.config() + "/user-dirs.dirs") << text;
    }
    XdgSandbox sandbox_;
};

TEST_F(SpecialFolderTest, UserFoldersComeFromUserDirs) {
    WriteUserDirs(
        "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n"
        "XDG_PICTURES_DIR=\"$HOME/Bilder\"\nXDG_TEMPLATES_DIR=\"$HOME/T\"\n");
    EXPECT_EQ(SpecialFolderPath(0), sandbox_.home() + "/Schreibtisch");
    EXPECT_EQ(SpecialFolderPath(10), sandbox_.home() + "/Schreibtisch");
    EXPECT_EQ(SpecialFolderPath(14), sandbox_.home() + "/Docs");
    EXPECT_EQ(SpecialFolderPath(22), sandbox_.home() + "/T");
    EXPECT_EQ(PicturesFolderPath(), sandbox_.home() + "/Bilder");
}

TEST_F(SpecialFolderTest, WithoutUserDirsDesktopIsInHomeAndTheRestIsHome) {
    EXPECT_EQ(SpecialFolderPath(0), sandbox_.home() + "/Desktop");
    EXPECT_EQ(SpecialFolderPath(14), sandbox_.home());
}

TEST_F(SpecialFolderTest, BaseFoldersFollowTheXdgVariables) {
    EXPECT_EQ(SpecialFolderPath(4), sandbox_.data());
    EXPECT_EQ(SpecialFolderPath(12), sandbox_.data() + "/fonts");
    EXPECT_EQ(SpecialFolderPath(17), sandbox_.data() + "/applications");
    EXPECT_EQ(SpecialFolderPath(21), sandbox_.config() + "/autostart");
}

TEST_F(SpecialFolderTest, ShellOnlyPlacesHaveNoPath) {
    for (int kind : {1, 2, 3, 9, 13, 15}) {
        EXPECT_EQ(SpecialFolderPath(kind), "") << kind;
    }
}

TEST_F(SpecialFolderTest, KindIsMaskedAndCheckedAgainstTheTable) {
    EXPECT_EQ(SpecialFolderPath(0x80 | 14), SpecialFolderPath(14));
    EXPECT_TRUE(IsFolderKind(22));
    EXPECT_FALSE(IsFolderKind(23));
    EXPECT_FALSE(IsFolderKind(0x7F));
    EXPECT_EQ(SpecialFolderPath(23), "");
    EXPECT_EQ(SpecialFolderPath(0x7F), "");
}

TEST(FolderCsidl, TableKeepsTheShellNumbers) {
    EXPECT_EQ(kFolderCsidl[static_cast<int>(FolderKind::kDrives)], 0x11);
    EXPECT_EQ(kFolderCsidl[static_cast<int>(FolderKind::kPersonal)], 0x05);
    EXPECT_EQ(kFolderCsidl[static_cast<int>(FolderKind::kTemplates)], 0x15);
}

TEST(XdgDirs, RelativeVariablesAreIgnored) {
    TempDir dir;
    ScopedEnv home("HOME", dir.path().string());
    ScopedEnv config("XDG_CONFIG_HOME", std::string("relative"));
    ScopedEnv data("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(ConfigHome(), dir.path() / ".config");
    EXPECT_EQ(DataHome(), dir.path() / ".local" / "share");
}

TEST(XdgDirs, DataDirsKeepAbsoluteEntriesOrFallBackToTheDefaults) {
    using Dirs = std::vector<std::filesystem::path>;
    const Dirs defaults = {"/usr/local/share", "/usr/share"};
    const struct {
        std::optional<std::string> value;
        Dirs expected;
    } cases[] = {
        {std::nullopt, defaults},
        {"", defaults},
        {"/opt/q3/share:/usr/share/", {"/opt/q3/share", "/usr/share/"}},
        {"share::/usr/share:", {"/usr/share"}},  // relative and empty entries are skipped
        {"share", defaults},                     // nothing usable left
    };
    for (const auto& c : cases) {
        ScopedEnv dirs("XDG_DATA_DIRS", c.value);
        EXPECT_EQ(DataDirs(), c.expected) << c.value.value_or("<unset>");
    }
}

TEST(XdgDirs, MakePrivateFoldersMakesThemReadableByTheUserOnly) {
    TempDir dir;
    const std::filesystem::path folder = dir.path() / "a" / "b";
    ASSERT_TRUE(MakePrivateFolders(folder));
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(MakePrivateFolders(folder));
    const std::string blocker = dir.Write("f", "x");
    EXPECT_FALSE(MakePrivateFolders(std::filesystem::path(blocker) / "sub"));
}

}  // namespace
}  // namespace q3
