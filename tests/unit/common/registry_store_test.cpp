#include "common/registry_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace q3 {
namespace {

using q3::testing::ReadFileBytes;
using q3::testing::TempDir;

constexpr RegistryHive kUser = RegistryHive::kCurrentUser;

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> DamagedCopies(const std::filesystem::path& folder) {
    std::vector<std::string> out;
    for (const std::string& name : FilesIn(folder)) {
        if (name.find(".reg.damaged-") != std::string::npos)
            out.push_back(name);
    }
    return out;
}

ino_t InodeOf(const std::filesystem::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

class RegistryStoreTest : public ::testing::Test {
  protected:
    void TearDown() override { RegistryStore::SetBeforeReplaceHook({}); }

    RegistryKey CreateKey(std::string_view path) {
        std::optional<RegistryKey> key = RegistryKey::Create(store_, kUser, path);
        EXPECT_TRUE(key.has_value()) << path;
        return *key;
    }

    TempDir dir_;
    RegistryStore store_{dir_.path() / "quillon3"};
};

TEST_F(RegistryStoreTest, ValueWrittenIsReadBackThroughANewHandle) {
    CreateKey("SOFTWARE\\Tarvik\\Quillon3").WriteInteger("FackColor-Quillon3", 15780518);
    CreateKey("SOFTWARE\\Tarvik\\Quillon3").WriteString("Name", "粉蓝");
    std::optional<RegistryKey> key = RegistryKey::Open(store_, kUser, "SOFTWARE\\Tarvik\\Quillon3");
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->ReadInteger("FackColor-Quillon3"), 15780518);
    EXPECT_EQ(key->ReadString("Name"), "粉蓝");
    EXPECT_EQ(key->ReadString("Absent"), std::nullopt);
}

TEST_F(RegistryStoreTest, OpenWithoutCreateFailsForAMissingKeyAndWritesNothing) {
    EXPECT_FALSE(RegistryKey::Open(store_, kUser, "SOFTWARE\\Nobody").has_value());
    EXPECT_FALSE(std::filesystem::exists(store_.folder()));
}

TEST_F(RegistryStoreTest, CreateMakesTheKeyAndItsParentsWithoutValues) {
    CreateKey("A\\B\\C");
    EXPECT_TRUE(RegistryKey::Open(store_, kUser, "A").has_value());
    EXPECT_TRUE(RegistryKey::Open(store_, kUser, "a\\b").has_value());
    std::optional<RegistryKey> c = RegistryKey::Open(store_, kUser, "A\\B\\C");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->ReadString(""), std::nullopt);
}

TEST_F(RegistryStoreTest, KeysAndValueNamesIgnoreAsciiCase) {
    CreateKey("Software\\Tarvik").WriteInteger("MaskerCount", 2);
    std::optional<RegistryKey> key = RegistryKey::Open(store_, kUser, "SOFTWARE\\TARVIK");
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->ReadInteger("maskercount"), 2);
    key->WriteInteger("MASKERCOUNT", 3);
    EXPECT_EQ(key->ReadInteger("MaskerCount"), 3);
}

TEST_F(RegistryStoreTest, ReadingTheOtherTypeRaises) {
    RegistryKey key = CreateKey("K");
    key.WriteInteger("Number", 7);
    key.WriteString("Text", "seven");
    EXPECT_THROW(key.ReadString("Number"), RegistryError);
    EXPECT_THROW(key.ReadInteger("Text"), RegistryError);
}

TEST_F(RegistryStoreTest, HivesAreSeparateFiles) {
    ASSERT_TRUE(RegistryKey::Create(store_, RegistryHive::kClassesRoot, ".qbx").has_value());
    EXPECT_FALSE(RegistryKey::Open(store_, kUser, ".qbx").has_value());
    EXPECT_TRUE(std::filesystem::exists(store_.folder() / "HKEY_CLASSES_ROOT.reg"));
    EXPECT_FALSE(std::filesystem::exists(store_.folder() / "HKEY_CURRENT_USER.reg"));
}

TEST_F(RegistryStoreTest, HiveFileIsPrivateToTheUser) {
    CreateKey("K").WriteString("Secret", "x");
    struct stat st {};
    ASSERT_EQ(::stat(store_.HiveFile(kUser).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(RegistryStoreTest, UnchangedValueDoesNotRewriteTheFile) {
    RegistryKey key = CreateKey("K");
    key.WriteInteger("V", 1);
    const ino_t before = InodeOf(store_.HiveFile(kUser));
    key.WriteInteger("V", 1);
    EXPECT_EQ(InodeOf(store_.HiveFile(kUser)), before);
    key.WriteInteger("V", 2);
    EXPECT_NE(InodeOf(store_.HiveFile(kUser)), before);  // replaced by a rename
}

TEST_F(RegistryStoreTest, ChangeMadeByAnotherWriterIsSeen) {
    RegistryKey key = CreateKey("K");
    key.WriteInteger("V", 1);
    EXPECT_EQ(key.ReadInteger("V"), 1);
    // An edit by hand (or another process) replaces the file.
    const std::filesystem::path file = store_.HiveFile(kUser);
    const std::filesystem::path edited = file.string() + ".edit";
    std::ofstream(edited) << kHiveFileHeader << "\n[HKEY_CURRENT_USER\\K]\n\"V\"=dword:2\n";
    std::filesystem::rename(edited, file);
    EXPECT_EQ(key.ReadInteger("V"), 2);
}

TEST_F(RegistryStoreTest, FailedReplaceKeepsTheOldFileAndLeavesNoTemporaryFile) {
    RegistryKey key = CreateKey("K");
    key.WriteInteger("V", 1);
    const std::string before = ReadFileBytes(store_.HiveFile(kUser).string());
    RegistryStore::SetBeforeReplaceHook([](const std::filesystem::path& temp) {
        EXPECT_TRUE(std::filesystem::exists(temp));
        throw RegistryError("disk pulled");
    });
    EXPECT_THROW(key.WriteInteger("V", 2), RegistryError);
    RegistryStore::SetBeforeReplaceHook({});
    EXPECT_EQ(ReadFileBytes(store_.HiveFile(kUser).string()), before);
    EXPECT_EQ(FilesIn(store_.folder()),
              (std::vector<std::string>{"HKEY_CURRENT_USER.lock", "HKEY_CURRENT_USER.reg"}));
    EXPECT_EQ(key.ReadInteger("V"), 1);
}

TEST_F(RegistryStoreTest, TemporaryFileOfADeadWriterIsRemovedByTheNextWrite) {
    CreateKey("K").WriteInteger("V", 1);
    const std::filesystem::path stale = store_.folder() / "HKEY_CURRENT_USER.reg.tmp-Ab12Cd";
    std::ofstream(stale) << "half a hive";
    CreateKey("K").WriteInteger("V", 2);
    EXPECT_FALSE(std::filesystem::exists(stale));
}

TEST_F(RegistryStoreTest, DamagedFileIsReadAsFarAsSoundAndTheOriginalIsKept) {
    std::filesystem::create_directories(store_.folder());
    const std::string damaged = std::string(kHiveFileHeader) +
                                "\n[HKEY_CURRENT_USER\\K]\n\"Good\"=dword:5\n"
                                "\"Torn\"=\"no end\n";
    std::ofstream(store_.HiveFile(kUser)) << damaged;

    std::optional<RegistryKey> key = RegistryKey::Open(store_, kUser, "K");
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->ReadInteger("Good"), 5);
    EXPECT_EQ(key->ReadString("Torn"), std::nullopt);

    const std::vector<std::string> copies = DamagedCopies(store_.folder());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(ReadFileBytes((store_.folder() / copies[0]).string()), damaged);
    // The hive itself now holds only its sound part, and is no longer damaged.
    EXPECT_FALSE(ParseHive(ReadFileBytes(store_.HiveFile(kUser).string()), kUser).damaged);
    EXPECT_EQ(RegistryKey::Open(store_, kUser, "K")->ReadInteger("Good"), 5);
    EXPECT_EQ(DamagedCopies(store_.folder()).size(), 1u);
}

TEST_F(RegistryStoreTest, GarbageFileLoadsEmptyAndWritingGoesOn) {
    std::filesystem::create_directories(store_.folder());
    std::string garbage;
    for (int i = 0; i < 10000; ++i)
        garbage += static_cast<char>((i * 131 + 7) & 0xFF);
    std::ofstream(store_.HiveFile(kUser), std::ios::binary) << garbage;

    EXPECT_FALSE(RegistryKey::Open(store_, kUser, "K").has_value());
    CreateKey("K").WriteInteger("V", 9);
    EXPECT_EQ(RegistryKey::Open(store_, kUser, "K")->ReadInteger("V"), 9);
    const std::vector<std::string> copies = DamagedCopies(store_.folder());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(ReadFileBytes((store_.folder() / copies[0]).string()), garbage);
}

TEST_F(RegistryStoreTest, HiveThatCannotBeReadIsNeverOverwritten) {
    // A folder where the hive file should be: it cannot be read as a hive.
    std::filesystem::create_directories(store_.HiveFile(kUser));
    EXPECT_FALSE(store_.Load(kUser).has_value());
    EXPECT_FALSE(RegistryKey::Open(store_, kUser, "K").has_value());
    EXPECT_FALSE(RegistryKey::Create(store_, kUser, "K").has_value());
    EXPECT_TRUE(std::filesystem::is_directory(store_.HiveFile(kUser)));
}

TEST_F(RegistryStoreTest, FolderThatCannotBeMadeMeansTheKeyCannotBeCreated) {
    std::ofstream(dir_.File("quillon3")) << "a file where the folder should be";
    EXPECT_FALSE(RegistryKey::Create(store_, kUser, "K").has_value());
}

TEST_F(RegistryStoreTest, InvalidKeyNameCannotBeOpenedOrCreated) {
    EXPECT_FALSE(RegistryKey::Create(store_, kUser, "Bad\nKey").has_value());
    EXPECT_FALSE(RegistryKey::Open(store_, kUser, "Bad\nKey").has_value());
}

TEST_F(RegistryStoreTest, UpdateWithoutChangeWritesNothing) {
    EXPECT_TRUE(store_.Update(kUser, [](HiveData&) { return false; }));
    EXPECT_FALSE(std::filesystem::exists(store_.HiveFile(kUser)));
}

}  // namespace
}  // namespace q3
