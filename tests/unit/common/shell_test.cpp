#include "common/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/desktop_association.h"
#include "common/registry_store.h"
#include "common/xdg_sandbox.h"

namespace q3 {
namespace {

using q3::testing::ReadFileBytes;
using q3::testing::XdgSandbox;

constexpr char kSettings[] = "SOFTWARE\\Tarvik\\Quillon3";

std::string ProgramPath() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

std::string ClassDefault(std::string_view key) {
    std::optional<RegistryKey> k =
        RegistryKey::Open(RegistryStore::ForUser(), RegistryHive::kClassesRoot, key);
    if (!k)
        return "<no key>";
    return k->ReadString("").value_or("<no value>");
}

bool ToolExists(const char* tool) {
    const std::string command = std::string("command -v ") + tool + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::string RunCommand(const std::string& command, int* exit_code = nullptr) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {};
    std::string out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        out += buffer;
    const int status = ::pclose(pipe);
    if (exit_code != nullptr)
        *exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

class HkcuTest : public ::testing::Test {
  protected:
    XdgSandbox sandbox_;
};

TEST_F(HkcuTest, MissingKeyOrValueGivesTheDefault) {
    EXPECT_EQ(ReadHkcuInteger(kSettings, "FackColor-Quillon3", 15780518), 15780518);
    EXPECT_EQ(ReadHkcuString(kSettings, "Absent", "fallback"), "fallback");
    ASSERT_TRUE(WriteHkcuInteger(kSettings, "Other", 1));
    EXPECT_EQ(ReadHkcuInteger(kSettings, "FackColor-Quillon3", -5), -5);
}

TEST_F(HkcuTest, ReadingDoesNotCreateTheKey) {
    ReadHkcuInteger(kSettings, "X", 0);
    EXPECT_FALSE(RegistryKey::Open(RegistryStore::ForUser(), RegistryHive::kCurrentUser, kSettings)
                     .has_value());
    EXPECT_FALSE(std::filesystem::exists(sandbox_.hive("HKEY_CURRENT_USER")));
}

TEST_F(HkcuTest, WrittenValuesAreReadBackWithTheirType) {
    ASSERT_TRUE(WriteHkcuInteger(kSettings, "FackColor-Quillon3", -16777201));
    ASSERT_TRUE(WriteHkcuString(kSettings, "Word", "全文"));
    EXPECT_EQ(ReadHkcuInteger(kSettings, "FackColor-Quillon3", 0), -16777201);
    EXPECT_EQ(ReadHkcuString(kSettings, "Word", ""), "全文");
}

TEST_F(HkcuTest, ValueOfTheOtherTypeRaisesToTheCaller) {
    ASSERT_TRUE(WriteHkcuString(kSettings, "MaskerCount", "3"));
    EXPECT_THROW(ReadHkcuInteger(kSettings, "MaskerCount", 0), RegistryError);
    ASSERT_TRUE(WriteHkcuInteger(kSettings, "BookName0", 3));
    EXPECT_THROW(ReadHkcuString(kSettings, "BookName0", ""), RegistryError);
}

TEST_F(HkcuTest, KeyWithABareTrailingBackslashIsTheKeyItself) {
    // Bookmarks with no document open go to the settings key plus "\".
    ASSERT_TRUE(WriteHkcuInteger(std::string(kSettings) + "\\", "MaskerCount", 1));
    EXPECT_EQ(ReadHkcuInteger(kSettings, "MaskerCount", 0), 1);
}

TEST_F(HkcuTest, KeyThatCannotBeOpenedMakesWritesFalse) {
    EXPECT_FALSE(WriteHkcuInteger("Bad\x01Key", "V", 1));
    EXPECT_FALSE(WriteHkcuString("Bad\x01Key", "V", "x"));
    EXPECT_FALSE(WriteHkcuValues("Bad\x01Key", {{"V", RegistryValue(1)}}));
}

TEST_F(HkcuTest, SeveralValuesAreWrittenInOneReplacementOfTheFile) {
    const std::string key = std::string(kSettings) + "\\book";
    int replacements = 0;
    RegistryStore::SetBeforeReplaceHook([&](const std::filesystem::path&) { ++replacements; });
    ASSERT_TRUE(WriteHkcuValues(key, {{"MaskerCount", RegistryValue(2)},
                                      {"BookName0", RegistryValue(std::string("一"))},
                                      {"BookName1", RegistryValue(std::string("two"))}}));
    // The same values again change nothing and write nothing.
    ASSERT_TRUE(WriteHkcuValues(key, {{"MaskerCount", RegistryValue(2)}}));
    RegistryStore::SetBeforeReplaceHook({});
    EXPECT_EQ(replacements, 1);
    EXPECT_EQ(ReadHkcuInteger(key, "MaskerCount", 0), 2);
    EXPECT_EQ(ReadHkcuString(key, "BookName0", ""), "一");
    EXPECT_EQ(ReadHkcuString(key, "BookName1", ""), "two");
}

class RegisterFileTypeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetAssociationChangeObserver([this] { ++notifications_; });
    }
    void TearDown() override { SetAssociationChangeObserver({}); }

    void Register(const std::string& program) {
        RegisterFileType(".qbx", "Quillon", "Quillon file type", program, 0, true);
    }

    XdgSandbox sandbox_;
    int notifications_ = 0;
};

TEST_F(RegisterFileTypeTest, WritesTheFiveValues) {
    Register("/opt/quillon3/bin/quillon3");
    EXPECT_EQ(ClassDefault(".qbx"), "Quillon");
    EXPECT_EQ(ClassDefault("Quillon"), "Quillon file type");
    EXPECT_EQ(ClassDefault("Quillon\\DefaultIcon"), "/opt/quillon3/bin/quillon3,0");
    EXPECT_EQ(ClassDefault("Quillon\\Shell\\Open"), "&Open");
    EXPECT_EQ(ClassDefault("Quillon\\Shell\\Open\\Command"),
              "\"/opt/quillon3/bin/quillon3\" \"%1\"");
}

TEST_F(RegisterFileTypeTest, NotifiesOnlyTheFirstTime) {
    Register("/opt/quillon3/bin/quillon3");
    EXPECT_EQ(notifications_, 1);
    Register("/opt/quillon3/bin/quillon3");
    EXPECT_EQ(notifications_, 1);
}

TEST_F(RegisterFileTypeTest, ExistingExtensionGetsAllValuesRewrittenAndNoNotification) {
    {
        std::optional<RegistryKey> k =
            RegistryKey::Create(RegistryStore::ForUser(), RegistryHive::kClassesRoot, ".QBX");
        ASSERT_TRUE(k.has_value());
        k->WriteString("", "SomeoneElse");
    }
    Register("/usr/bin/quillon3");
    EXPECT_EQ(notifications_, 0);
    EXPECT_EQ(ClassDefault(".qbx"), "Quillon");
    EXPECT_EQ(ClassDefault("Quillon\\DefaultIcon"), "/usr/bin/quillon3,0");
}

TEST_F(RegisterFileTypeTest, NoNotificationWhenNotAskedFor) {
    RegisterFileType(".qbx", "Quillon", "Quillon file type", "/usr/bin/quillon3", 0, false);
    EXPECT_EQ(notifications_, 0);
    EXPECT_EQ(ClassDefault(".qbx"), "Quillon");
}

TEST_F(RegisterFileTypeTest, IconIndexIsWrittenInDecimal) {
    RegisterFileType(".qbx", "Quillon", "Quillon file type", "/usr/bin/quillon3", 12, true);
    EXPECT_EQ(ClassDefault("Quillon\\DefaultIcon"), "/usr/bin/quillon3,12");
}

TEST_F(RegisterFileTypeTest, WritesTheDesktopEntryAndTheMimeType) {
    const std::string program = ProgramPath();
    Register(program);
    const std::string id = DesktopIdForProgram(program);
    const std::string entry = ReadFileBytes(sandbox_.data() + "/applications/" + id + ".desktop");
    EXPECT_NE(entry.find("Exec=\"" + program + "\" %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("MimeType=application/x-qbx;\n"), std::string::npos) << entry;
    const std::string package =
        ReadFileBytes(sandbox_.data() + "/mime/packages/application-x-qbx.xml");
    EXPECT_NE(package.find("<glob pattern=\"*.qbx\"/>"), std::string::npos) << package;
    EXPECT_NE(package.find("<comment>Quillon file type</comment>"), std::string::npos);
}

TEST_F(RegisterFileTypeTest, SecondStartLeavesTheDesktopFilesAlone) {
    const std::string program = ProgramPath();
    Register(program);
    const std::string entry =
        sandbox_.data() + "/applications/" + DesktopIdForProgram(program) + ".desktop";
    const auto earlier = std::filesystem::last_write_time(entry) - std::chrono::hours(1);
    std::filesystem::last_write_time(entry, earlier);
    struct stat before {};
    ASSERT_EQ(::stat(entry.c_str(), &before), 0);
    Register(program);
    struct stat after {};
    ASSERT_EQ(::stat(entry.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(std::filesystem::last_write_time(entry), earlier);
}

TEST_F(RegisterFileTypeTest, RegressionNewRegistryWithUnchangedFilesRunsNoDesktopTool) {
    // A fresh registry (no ".qbx" key yet) over desktop files that already
    // say the same once made every such start run update-mime-database.
    if (!ToolExists("update-mime-database"))
        GTEST_SKIP() << "update-mime-database is not installed";
    Register(ProgramPath());
    const std::filesystem::path cache = sandbox_.data() + "/mime/mime.cache";
    ASSERT_TRUE(std::filesystem::exists(cache));
    const auto earlier = std::filesystem::last_write_time(cache) - std::chrono::hours(1);
    std::filesystem::last_write_time(cache, earlier);
    std::filesystem::remove(sandbox_.hive("HKEY_CLASSES_ROOT"));
    Register(ProgramPath());
    EXPECT_EQ(notifications_, 2);  // the registry's side is new each time
    EXPECT_EQ(std::filesystem::last_write_time(cache), earlier);
}

TEST_F(RegisterFileTypeTest, MovedProgramRewritesTheDesktopEntry) {
    Register("/old/place/quillon3");
    Register("/new/place/quillon3");
    const std::string entry = ReadFileBytes(sandbox_.data() + "/applications/quillon3.desktop");
    EXPECT_NE(entry.find("/new/place/quillon3"), std::string::npos);
    EXPECT_EQ(entry.find("/old/place"), std::string::npos);
}

TEST_F(RegisterFileTypeTest, DesktopAnswersTheReaderForTheType) {
    if (!ToolExists("xdg-mime"))
        GTEST_SKIP() << "xdg-mime is not installed";
    const std::string program = ProgramPath();
    Register(program);
    int rc = -1;
    const std::string answer = RunCommand("xdg-mime query default application/x-qbx", &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(answer, DesktopIdForProgram(program) + ".desktop\n");
}

TEST_F(RegisterFileTypeTest, DesktopKnowsTheTypeOfADocumentFile) {
    if (!ToolExists("gio"))
        GTEST_SKIP() << "gio is not installed";
    Register(ProgramPath());
    // File managers take the type from the shared-mime-info database, as gio does.
    const std::string book = sandbox_.dir().Write("书.QBX", "QBX document bytes");
    const std::string info = RunCommand("gio info -a standard::content-type '" + book + "'");
    EXPECT_NE(info.find("standard::content-type: application/x-qbx\n"), std::string::npos) << info;
}

TEST_F(RegisterFileTypeTest, DesktopEntryIsValid) {
    if (!ToolExists("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-utils missing";
    const std::string program = ProgramPath();
    Register(program);
    int rc = -1;
    const std::string report =
        RunCommand("desktop-file-validate '" + sandbox_.data() + "/applications/" +
                       DesktopIdForProgram(program) + ".desktop' 2>&1",
                   &rc);
    EXPECT_EQ(rc, 0) << report;
}

// The files an installation under prefix gives the desktop.
void MakeInstallation(const std::filesystem::path& prefix) {
    const std::filesystem::path entry = prefix / "share" / kInstalledDesktopEntry;
    const std::filesystem::path package = prefix / "share" / kInstalledMimePackage;
    std::filesystem::create_directories(entry.parent_path());
    std::filesystem::create_directories(package.parent_path());
    std::ofstream(entry) << "[Desktop Entry]\n";
    std::ofstream(package) << "<mime-info/>\n";
}

TEST_F(RegisterFileTypeTest, InstalledReaderLeavesTheUserDataFolderAlone) {
    const std::filesystem::path prefix = sandbox_.dir().path() / "prefix";
    MakeInstallation(prefix);
    q3::testing::ScopedEnv dirs("XDG_DATA_DIRS", (prefix / "share").string());

    Register((prefix / "bin" / "quillon3").string());
    EXPECT_EQ(ClassDefault(".qbx"), "Quillon");
    EXPECT_EQ(notifications_, 1);
    EXPECT_FALSE(std::filesystem::exists(sandbox_.data() + "/applications"));
    EXPECT_FALSE(std::filesystem::exists(sandbox_.data() + "/mime"));

    // Another extension is not what the installation defines.
    RegisterFileType(".qbz", "Quillon", "Quillon file type", (prefix / "bin" / "quillon3").string(),
                     0, true);
    EXPECT_TRUE(std::filesystem::exists(sandbox_.data() + "/mime/packages/application-x-qbz.xml"));
}

TEST_F(RegisterFileTypeTest, ReaderInstalledInTheUserDataFolderWritesNoSecondEntry) {
    const std::filesystem::path prefix = sandbox_.dir().path() / "local";
    MakeInstallation(prefix);
    q3::testing::ScopedEnv data_home("XDG_DATA_HOME", (prefix / "share").string());
    q3::testing::ScopedEnv dirs("XDG_DATA_DIRS", std::string("/nonexistent"));

    Register((prefix / "bin" / "quillon3").string());
    EXPECT_FALSE(std::filesystem::exists(prefix / "share" / "applications" / "quillon3.desktop"));
    EXPECT_FALSE(
        std::filesystem::exists(prefix / "share" / "mime" / "packages" / "application-x-qbx.xml"));
}

TEST_F(RegisterFileTypeTest, UnwritableClassesHiveRaisesToTheCaller) {
    std::filesystem::create_directories(sandbox_.hive("HKEY_CLASSES_ROOT"));
    EXPECT_THROW(Register("/usr/bin/quillon3"), RegistryError);
}

}  // namespace
}  // namespace q3
