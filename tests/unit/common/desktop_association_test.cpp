#include "common/desktop_association.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace q3 {
namespace {

using q3::testing::ReadFileBytes;
using q3::testing::TempDir;

struct TextCase {
    const char* input;
    std::optional<std::string> expected;
};

TEST(MimeTypeForExtension, PlainWordsOnly) {
    const TextCase cases[] = {
        {".qbx", "application/x-qbx"},
        {".QBX", "application/x-qbx"},  // globs match any case; the type is lower case
        {"qbx", "application/x-qbx"},
        {".tar-gz", "application/x-tar-gz"},
        {".", std::nullopt},
        {"", std::nullopt},
        {".q*x", std::nullopt},  // a glob character
        {".a/b", std::nullopt},  // would split the type
        {".a b", std::nullopt},
        {".书", std::nullopt},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(MimeTypeForExtension(c.input), c.expected) << c.input;
    }
}

TEST(DesktopIdForProgram, FileNameWithOddCharactersReplaced) {
    const TextCase cases[] = {
        {"/usr/bin/quillon3", "quillon3"},
        {"/opt/my apps/quillon3", "quillon3"},
        {"/tmp/reader v2", "reader_v2"},
        {"/tmp/阅读器", "_________"},  // nine bytes of UTF-8
        {"", "quillon3"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(DesktopIdForProgram(c.input), c.expected) << c.input;
    }
}

TEST(DesktopExecArgument, QuotesAndEscapesAsDesktopEntriesRequire) {
    const TextCase cases[] = {
        {"/usr/bin/quillon3", "\"/usr/bin/quillon3\""},
        {"/opt/my apps/q3", "\"/opt/my apps/q3\""},
        {"/a\"b", "\"/a\\\\\"b\""},  // quote: \" inside, its backslash doubled
        {"/a$b`c", "\"/a\\\\$b\\\\`c\""},
        {"/a\\b", "\"/a\\\\\\\\b\""},   // a literal backslash takes four
        {"/100%/q3", "\"/100%%/q3\""},  // "%" would be a field code
        {"/书/阅读器", "\"/书/阅读器\""},
        {"/a\nb", std::nullopt},  // a line break cannot be written
        {"/bad\xFFutf8", std::nullopt},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(DesktopExecArgument(c.input), c.expected) << c.input;
    }
}

TEST(DesktopEntryText, NeedsAnAbsoluteProgramPath) {
    EXPECT_FALSE(DesktopEntryText({".qbx", "Quillon file type", "quillon3"}).has_value());
    const std::optional<std::string> text =
        DesktopEntryText({".qbx", "Quillon file type", "/usr/bin/quillon3"});
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(text->starts_with("[Desktop Entry]\nType=Application\nName=Quillon3\n"));
    EXPECT_NE(text->find("\nExec=\"/usr/bin/quillon3\" %f\n"), std::string::npos);
}

TEST(MimePackageText, DescriptionIsEscapedForXml) {
    const std::optional<std::string> text =
        MimePackageText({".QBX", "Books <&> \"more\"\x01", "/usr/bin/quillon3"});
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("<comment>Books &lt;&amp;&gt; &quot;more&quot;</comment>"),
              std::string::npos)
        << *text;
    EXPECT_NE(text->find("<mime-type type=\"application/x-qbx\">"), std::string::npos);
    EXPECT_NE(text->find("<glob pattern=\"*.qbx\"/>"), std::string::npos);
}

TEST(WriteAssociationFiles, ReportsWhatItWrote) {
    TempDir dir;
    const DesktopAssociation a{".qbx", "Quillon file type", "/usr/bin/quillon3"};
    AssociationChanges first = WriteAssociationFiles(a, dir.path());
    EXPECT_TRUE(first.desktop_entry);
    EXPECT_TRUE(first.mime_package);
    AssociationChanges again = WriteAssociationFiles(a, dir.path());
    EXPECT_FALSE(again.desktop_entry);
    EXPECT_FALSE(again.mime_package);
    AssociationChanges moved =
        WriteAssociationFiles({".qbx", "Quillon file type", "/opt/bin/quillon3"}, dir.path());
    EXPECT_TRUE(moved.desktop_entry);
    EXPECT_FALSE(moved.mime_package);
    EXPECT_EQ(ReadFileBytes(dir.File("applications/quillon3.desktop")),
              *DesktopEntryText({".qbx", "Quillon file type", "/opt/bin/quillon3"}));
}

TEST(WriteAssociationFiles, AssociationThatCannotBeExpressedWritesNothing) {
    TempDir dir;
    AssociationChanges changes =
        WriteAssociationFiles({".q*x", "Quillon file type", "/usr/bin/quillon3"}, dir.path());
    EXPECT_FALSE(changes.desktop_entry);
    EXPECT_FALSE(changes.mime_package);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(InstalledAssociationCovers, OnlyAnInstallationTheDesktopReads) {
    TempDir dir;
    const std::filesystem::path share = dir.path() / "prefix" / "share";
    std::filesystem::create_directories(share / "applications");
    std::filesystem::create_directories(share / "mime" / "packages");
    std::filesystem::create_directories(dir.path() / "prefix" / "bin");
    const std::string program = dir.File("prefix/bin/quillon3");
    const std::vector<std::filesystem::path> reads_prefix = {"/usr/share", share.string() + "/"};
    const std::vector<std::filesystem::path> reads_system = {"/usr/local/share", "/usr/share"};

    dir.Write("prefix/share/" + std::string(kInstalledDesktopEntry), "[Desktop Entry]\n");
    // The type definition is missing: the user's own copy is still needed.
    EXPECT_FALSE(InstalledAssociationCovers(program, reads_prefix));

    dir.Write("prefix/share/" + std::string(kInstalledMimePackage), "<mime-info/>\n");
    EXPECT_TRUE(InstalledAssociationCovers(program, reads_prefix));
    EXPECT_FALSE(InstalledAssociationCovers(program, reads_system));
    // A build folder holds the program but no share folder beside it.
    EXPECT_FALSE(InstalledAssociationCovers(dir.File("prefix/build/quillon3"), reads_prefix));
    EXPECT_FALSE(InstalledAssociationCovers("bin/quillon3", {"share"}));
}

}  // namespace
}  // namespace q3
