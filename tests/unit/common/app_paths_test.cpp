#include "common/app_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/xdg_sandbox.h"

namespace q3 {
namespace {

using q3::testing::TempDir;
using q3::testing::XdgSandbox;

TEST(AppDir, IsTheFolderOfTheRunningProgramWithATrailingSeparator) {
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(AppDir(), program.parent_path().string() + "/");
}

TEST(ReadOnlyDataDir, BuildTreeUsesTheProgramFolder) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "installed");
    EXPECT_EQ(ReadOnlyDataDirFor(dir.path() / "build" / "src" / "app", dir.path() / "build",
                                 dir.path() / "installed"),
              (dir.path() / "build" / "src" / "app").string() + "/");
}

TEST(ReadOnlyDataDir, BuildFolderWithASimilarNameIsNotTheBuildTree) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "installed");
    EXPECT_EQ(ReadOnlyDataDirFor(dir.path() / "build-other", dir.path() / "build",
                                 dir.path() / "installed"),
              (dir.path() / "installed").string() + "/");
}

TEST(ReadOnlyDataDir, InstalledProgramFindsTheDataBesideItsPrefixFirst) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "opt" / "bin");
    std::filesystem::create_directories(dir.path() / "opt" / "share" / "quillon3");
    std::filesystem::create_directories(dir.path() / "usr" / "share" / "quillon3");
    EXPECT_EQ(ReadOnlyDataDirFor(dir.path() / "opt" / "bin", "/nonexistent/build",
                                 dir.path() / "usr" / "share" / "quillon3"),
              (dir.path() / "opt" / "share" / "quillon3").string() + "/");
    EXPECT_EQ(ReadOnlyDataDirFor(dir.path() / "elsewhere", "/nonexistent/build",
                                 dir.path() / "usr" / "share" / "quillon3"),
              (dir.path() / "usr" / "share" / "quillon3").string() + "/");
}

TEST(ReadOnlyDataDir, WithoutAnyDataFolderTheProgramFolderIsUsed) {
    TempDir dir;
    EXPECT_EQ(ReadOnlyDataDirFor(dir.path() / "bin", "", dir.path() / "missing"),
              (dir.path() / "bin").string() + "/");
}

TEST(ReadOnlyDataDir, TestProgramRunsInsideTheBuildTree) {
    EXPECT_EQ(ReadOnlyDataDir(), AppDir());
}

// A share/locale folder exists beside every prefix; only one with the
// program's catalogue counts as a moved installation.
TEST(LocaleDir, BuildTreeThenAMovedInstallationThenTheConfiguredFolder) {
    TempDir dir;
    const std::filesystem::path build = dir.path() / "build";
    EXPECT_EQ(LocaleDirFor(build / "tests" / "gui", build, "/usr/share/locale"),
              (build / "locale").string() + "/");
    std::filesystem::create_directories(dir.path() / "opt" / "bin");
    std::filesystem::create_directories(dir.path() / "opt" / "share" / "locale");
    EXPECT_EQ(LocaleDirFor(dir.path() / "opt" / "bin", build, "/usr/share/locale"),
              "/usr/share/locale/");
    const std::filesystem::path messages =
        dir.path() / "opt" / "share" / "locale" / "en" / "LC_MESSAGES";
    std::filesystem::create_directories(messages);
    std::ofstream(messages / "quillon3.mo") << "catalogue";
    EXPECT_EQ(LocaleDirFor(dir.path() / "opt" / "bin", build, "/usr/share/locale"),
              (dir.path() / "opt" / "share" / "locale").string() + "/");
}

TEST(UserDataDir, IsMadeOnDemandUnderXdgDataHome) {
    XdgSandbox sandbox;
    const std::string dir = UserDataDir();
    EXPECT_EQ(dir, sandbox.data() + "/quillon3/");
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    EXPECT_EQ(UserConfigDir(), sandbox.config() + "/quillon3/");
}

}  // namespace
}  // namespace q3
