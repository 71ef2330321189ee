#include <giomm/contenttype.h>
#include <giomm/themedicon.h>
#include <glibmm/error.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/shell_folders.h"
#include "icons/icon_list.h"
#include "icons/shell_icons.h"
#include "unit/common/xdg_sandbox.h"

namespace q3::icons {
namespace {

using q3::testing::ScopedEnv;
using q3::testing::XdgSandbox;

std::vector<std::string> ThemedNames(int index) {
    auto themed = Glib::RefPtr<Gio::ThemedIcon>::cast_dynamic(IconList::Instance().Icon(index));
    std::vector<std::string> names;
    if (themed) {
        for (const Glib::ustring& n : themed->get_names())
            names.push_back(n.raw());
    }
    return names;
}

bool HasName(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class IconTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(temp_);
        ClearIconCache();
        SetIconQuery([this](const std::string& path) {
            asked_.push_back(path);
            return DesktopFileIcon(path);
        });
    }
    void TearDown() override {
        SetIconQuery({});
        ClearIconCache();
    }

    bool TempFolderIsEmpty() const { return std::filesystem::is_empty(temp_); }

    XdgSandbox sandbox_;
    std::string temp_ = sandbox_.dir().File("tmp");
    ScopedEnv tmpdir_{"TMPDIR", temp_};
    std::vector<std::string> asked_;
};

TEST_F(IconTest, TwoNamesWithOneExtensionAskTheDesktopOnce) {
    const int first = FileIconIndex(kKindFile, "notes.txt");
    const int second = FileIconIndex(kKindFile, "OTHER.Txt");
    EXPECT_GE(first, 0);
    EXPECT_EQ(second, first);
    EXPECT_EQ(asked_.size(), 1u);
    ASSERT_EQ(IconCache().size(), 1u);
    EXPECT_EQ(IconCache()[0].extension, ".TXT");
    EXPECT_EQ(IconCache()[0].kind_flags, kKindFile);
    EXPECT_EQ(IconCache()[0].index, first);
}

TEST_F(IconTest, EveryExecutableAsksTheDesktopAgain) {
    FileIconIndex(kKindFile, "setup.exe");
    FileIconIndex(kKindFile, "SETUP.EXE");
    FileIconIndex(kKindFile, "setup.exe");
    EXPECT_EQ(asked_.size(), 3u);
}

TEST_F(IconTest, NameThatDoesNotExistIsAskedAboutAsAnEmptyTemporaryFile) {
    bool existed_while_asked = false;
    SetIconQuery([&](const std::string& path) {
        asked_.push_back(path);
        existed_while_asked = std::filesystem::exists(path);
        return DesktopFileIcon(path);
    });
    EXPECT_GE(FileIconIndex(kKindFile, "/no/such/folder/book.pdf"), 0);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0], temp_ + "/book.pdf");
    EXPECT_TRUE(existed_while_asked);
    EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(IconTest, QuotedNameIsTreatedLikeTheBareName) {
    const int quoted = FileIconIndex(kKindFile, "\"report.pdf\"");
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0], temp_ + "/report.pdf");
    EXPECT_EQ(IconCache().at(0).extension, ".PDF");
    EXPECT_EQ(FileIconIndex(kKindFile, "plain.pdf"), quoted);
    EXPECT_EQ(asked_.size(), 1u);
    EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(IconTest, NamesWithoutExtensionShareTheFirstOnesIcon) {
    const int first = FileIconIndex(kKindFile, "README");
    EXPECT_EQ(FileIconIndex(kKindFile, "Makefile"), first);
    EXPECT_EQ(asked_.size(), 1u);
    EXPECT_EQ(IconCache().at(0).extension, "");
}

TEST_F(IconTest, ExistingFileIsAskedAboutItselfAndLeftAlone) {
    const std::string page = sandbox_.dir().Write("page.html", "<html><body>x</body></html>");
    const int index = FileIconIndex(kKindFile, page);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0], page);
    EXPECT_TRUE(std::filesystem::exists(page));
    EXPECT_TRUE(TempFolderIsEmpty());
    EXPECT_TRUE(HasName(ThemedNames(index), "text-html"));
}

TEST_F(IconTest, ExistingFileInTheTemporaryFolderIsNotRemoved) {
    const std::string kept = temp_ + "/kept.odt";
    std::ofstream(kept) << "user data";
    FileIconIndex(kKindFile, "/elsewhere/kept.odt");
    EXPECT_EQ(asked_.at(0), kept);
    EXPECT_TRUE(std::filesystem::exists(kept));
}

TEST_F(IconTest, BlankNameGivesNoIconWithoutAsking) {
    EXPECT_EQ(FileIconIndex(kKindFile, ""), -1);
    EXPECT_EQ(FileIconIndex(kKindFile, "   "), -1);
    EXPECT_EQ(FileIconIndex(kKindFolder, " "), -1);
    EXPECT_TRUE(asked_.empty());
}

TEST_F(IconTest, DesktopWithoutAnswerGivesNoIconAndCachesNothing) {
    SetIconQuery([](const std::string&) { return Glib::RefPtr<Gio::Icon>(); });
    EXPECT_EQ(FileIconIndex(kKindFile, "x.odt"), -1);
    EXPECT_TRUE(IconCache().empty());
    EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(IconTest, RegressionTemporaryFileIsRemovedWhenTheDesktopFails) {
    SetIconQuery([](const std::string&) -> Glib::RefPtr<Gio::Icon> {
        throw Glib::Error(G_IO_ERROR, G_IO_ERROR_FAILED, "desktop gone");
    });
    EXPECT_EQ(FileIconIndex(kKindFile, "x.odt"), -1);
    EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(IconTest, EveryFolderShowsThePlainFolderIcon) {
    const int folder = FileIconIndex(kKindFolder, "/home/reader/Books");
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0], TempFolder());
    EXPECT_EQ(FileIconIndex(kKindFolder, "C:\\test"), folder);
    EXPECT_TRUE(HasName(ThemedNames(folder), "folder"));
    EXPECT_TRUE(IconCache().empty());
}

TEST_F(IconTest, ShortDriveNameIsAskedAboutItself) {
    EXPECT_GE(FileIconIndex(kKindDrive, "/"), 0);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0], "/");
    EXPECT_EQ(FileIconIndex(kKindDrive, "C:\\"), -1);  // no drive letters here
}

TEST_F(IconTest, EmptyExecutableStillHasTheIconOfItsType) {
    SetIconQuery({});
    const int index = FileIconIndex(kKindFile, "test.exe");
    bool uncertain = false;
    const auto expected =
        Gio::content_type_get_icon(Gio::content_type_guess("test.exe", nullptr, 0, uncertain));
    EXPECT_EQ(index, IconList::Instance().IndexOf(expected));
    EXPECT_FALSE(HasName(ThemedNames(index), "application-x-zerosize"));
}

TEST_F(IconTest, StandardIconsAtStart) {
    InitStandardIcons();
    const auto& slots = StandardIcons();
    for (int slot = 0; slot < kStandardIconCount; ++slot)
        EXPECT_GE(slots[slot], 0) << slot;
    for (int drive :
         {kIconFixedDrive, kIconRemovableDrive, kIconCdRom, kIconNetworkDrive, kIconRamDisk}) {
        EXPECT_EQ(slots[drive], slots[kIconShortcut]) << drive;
    }
    EXPECT_NE(slots[kIconExecutable], slots[kIconFolder]);
    EXPECT_TRUE(HasName(ThemedNames(slots[kIconFolder]), "folder"));
    EXPECT_TRUE(HasName(ThemedNames(slots[kIconComputer]), "computer"));
    EXPECT_TRUE(HasName(ThemedNames(slots[kIconWasteBasket]), "user-trash"));
    // The two files it asks about are made and removed in the temporary folder.
    EXPECT_TRUE(HasName(asked_, temp_ + "/test.exe"));
    EXPECT_TRUE(HasName(asked_, temp_ + "/test.lnk"));
    EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(IconTest, SpecialFolderIcons) {
    EXPECT_EQ(SpecialFolderIconIndex(23), -1);
    EXPECT_EQ(SpecialFolderIconIndex(0x7F), -1);
    EXPECT_EQ(SpecialFolderIconIndex(0x80 | 3), SpecialFolderIconIndex(3));
    EXPECT_TRUE(HasName(ThemedNames(SpecialFolderIconIndex(15)), "printer"));
    // The documents folder does not exist in the sandbox: its theme icon.
    EXPECT_TRUE(HasName(ThemedNames(SpecialFolderIconIndex(14)), "folder-documents"));
}

TEST_F(IconTest, ExistingSpecialFolderIsAskedAboutItsPath) {
    std::filesystem::create_directories(sandbox_.data() + "/fonts");
    EXPECT_GE(SpecialFolderIconIndex(12), 0);
    EXPECT_EQ(asked_, std::vector<std::string>{sandbox_.data() + "/fonts"});
}

struct ExtensionCase {
    const char* path;
    const char* extension;
};

TEST(UpperExtension, LastNameOnly) {
    const ExtensionCase cases[] = {
        {"a.txt", ".TXT"},         {"/x.y/readme", ""},    {"C:\\dir.d\\file.Htm", ".HTM"},
        {"archive.tar.gz", ".GZ"}, {".hidden", ".HIDDEN"}, {"", ""},
        {"书.qbx", ".QBX"},
    };
    for (const ExtensionCase& c : cases)
        EXPECT_EQ(UpperExtension(c.path), c.extension) << c.path;
}

TEST(IconListTest, EqualIconsShareAnIndex) {
    IconList& list = IconList::Instance();
    const int a = list.IndexOfThemed({"text-html", "text-x-generic"});
    const int b = list.IndexOf(
        Gio::ThemedIcon::create(std::vector<Glib::ustring>{"text-html", "text-x-generic"}));
    EXPECT_EQ(a, b);
    EXPECT_NE(list.IndexOfThemed({"folder"}), a);
    EXPECT_EQ(list.IndexOf({}), -1);
    EXPECT_EQ(list.IndexOfThemed({}), -1);
}

TEST(IconListTest, PicturesHaveTheSizeAsked) {
    IconList& list = IconList::Instance();
    const int index = list.IndexOfThemed({"folder"});
    ASSERT_TRUE(list.Pixbuf(index, kLargeIcon));
    EXPECT_EQ(list.Pixbuf(index, kLargeIcon)->get_width(), 32);
    EXPECT_EQ(list.Pixbuf(index, kSmallIcon)->get_width(), 16);
    EXPECT_EQ(list.Pixbuf(index, kOpenIcon)->get_height(), 16);
}

TEST(IconListTest, MissingThemeIconStillDrawsAGenericPicture) {
    IconList& list = IconList::Instance();
    const int index = list.IndexOfThemed({"no-such-icon-anywhere-q3"});
    ASSERT_TRUE(list.Pixbuf(index, kSmallIcon));
    EXPECT_EQ(list.Pixbuf(index, kSmallIcon)->get_width(), 16);
}

TEST(IconListTest, IndexOutsideTheListHasNoPicture) {
    IconList& list = IconList::Instance();
    EXPECT_FALSE(list.Pixbuf(-1, kSmallIcon));
    EXPECT_FALSE(list.Pixbuf(list.size(), kSmallIcon));
    EXPECT_FALSE(list.Icon(list.size()));
}

}  // namespace
}  // namespace q3::icons
