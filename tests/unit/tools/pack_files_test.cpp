#include "qbxtool/pack_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/gbk.h"
#include "support/temp_dir.h"

namespace q3::tool {
namespace {

namespace fs = std::filesystem;
using q3::testing::TempDir;

std::string Gbk(std::string_view utf8) {
    return Utf8ToGbk(utf8).value();
}

std::vector<std::string> Rels(const std::vector<PackFile>& files) {
    std::vector<std::string> rels;
    for (const PackFile& f : files)
        rels.push_back(f.rel);
    return rels;
}

void Touch(const TempDir& dir, const std::string& rel, std::string_view bytes = "x") {
    fs::create_directories((dir.path() / rel).parent_path());
    dir.Write(rel, bytes);
}

TEST(IsPageName, Table) {
    struct Case {
        const char* name;
        bool page;
    } cases[] = {
        {"a.htm", true},      {"a.html", true},   {"A.HTM", true}, {"dir/Index.Html", true},
        {"a.htm.bak", false}, {"a.xhtml", false}, {"htm", false},  {"a.css", false},
        {"a.ht", false},      {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsPageName(c.name), c.page) << c.name;
}

TEST(LocalPathOf, Table) {
    struct Case {
        std::string rel;
        std::optional<std::string> local;
    } cases[] = {
        {"index.htm", "index.htm"},
        {"Sub/Page.HTM", "Sub\\Page.HTM"},  // letter case kept, "/" becomes "\"
        {"第一章/一.htm", Gbk("第一章\\一.htm")},
        {"a b/c d.png", "a b\\c d.png"},
        {"100%.htm", "100%.htm"},
        {"say\"hi\".htm", std::nullopt},  // a quote ends the value attribute
        {"a<ul>.htm", std::nullopt},      // a marker inside a path line
        {"a#b.htm", std::nullopt},        // read as an anchor
        {"a\\b.htm", std::nullopt},       // read as a separator
        {"a\nb.htm", std::nullopt},       // breaks the line
        {"paid=", std::nullopt},          // the declaration's id would be read here
        {"PAID=", std::nullopt},
        {"id=x.htm", "id=x.htm"},                     // only a name that ends with it
        {"smile\xF0\x9F\x98\x80.htm", std::nullopt},  // not in GBK
        {"bad\xFF.htm", std::nullopt},                // not UTF-8
    };
    for (const Case& c : cases) {
        std::string why;
        auto local = LocalPathOf(c.rel, &why);
        EXPECT_EQ(local, c.local) << c.rel;
        EXPECT_EQ(why.empty(), c.local.has_value()) << c.rel;
    }
}

TEST(ScanFolder, SortsFolderByFolderAndNamesGbkPaths) {
    TempDir dir;
    for (const char* rel : {"b.htm", "a.htm", "a/z.htm", "a/b/c.png", "章节/页.htm", "A.png"})
        Touch(dir, rel);
    Warnings warnings;
    auto files = ScanFolder(dir.path(), {}, warnings);
    // "a" sorts before "a.htm" as a whole name, so the folder's files come
    // before the page, whatever the bytes of "/" and "." are.
    EXPECT_EQ(Rels(files), (std::vector<std::string>{"A.png", "a/b/c.png", "a/z.htm", "a.htm",
                                                     "b.htm", "章节/页.htm"}));
    EXPECT_EQ(files.back().local, Gbk("章节\\页.htm"));
    EXPECT_EQ(files.back().disk, dir.path() / "章节/页.htm");
    for (const PackFile& f : files)
        EXPECT_EQ(f.record, -1);
    EXPECT_TRUE(warnings.empty());
}

TEST(ScanFolder, LeavesOutSkippedAndUnaddressableFilesWithWarnings) {
    TempDir dir;
    Touch(dir, "keep.htm");
    Touch(dir, "out.qbx");
    Touch(dir, "x#y.htm");
    Touch(dir, "emoji\xF0\x9F\x98\x80.txt");
    Warnings warnings;
    auto files = ScanFolder(dir.path(), {dir.path() / "out.qbx"}, warnings);
    EXPECT_EQ(Rels(files), std::vector<std::string>{"keep.htm"});
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("left out"), std::string::npos);
}

TEST(ScanFolder, SkipMatchesTheSameFileByAnotherSpelling) {
    TempDir dir;
    Touch(dir, "sub/contents.hhc");
    Touch(dir, "page.htm");
    Warnings warnings;
    auto files = ScanFolder(dir.path(), {dir.path() / "sub/../sub/./contents.hhc"}, warnings);
    EXPECT_EQ(Rels(files), std::vector<std::string>{"page.htm"});
}

TEST(ScanFolder, WarnsAboutNamesThatDifferOnlyInLetterCase) {
    TempDir dir;
    Touch(dir, "Page.htm");
    Touch(dir, "page.htm");
    Warnings warnings;
    auto files = ScanFolder(dir.path(), {}, warnings);
    EXPECT_EQ(files.size(), 2u);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("letter case"), std::string::npos);
}

TEST(ScanFolder, RegressionFollowsLinkedFilesOnlyInsideTheFolder) {
    TempDir dir;
    TempDir outside;
    Touch(outside, "far/away.htm");
    Touch(outside, "secret.txt", "secret");
    Touch(dir, "real.htm");
    Touch(dir, "sub/page.htm", "inside");
    fs::create_directory_symlink(outside.path() / "far", dir.path() / "far");
    // notes.htm -> ../secret.txt: the tool packed the file outside the folder.
    fs::create_symlink(fs::relative(outside.path() / "secret.txt", dir.path()),
                       dir.path() / "notes.htm");
    fs::create_symlink(outside.path() / "far/away.htm", dir.path() / "linked.htm");
    fs::create_symlink("sub/page.htm", dir.path() / "alias.htm");  // stays inside: packed
    fs::create_symlink(dir.path() / "missing", dir.path() / "dangling.htm");
    Warnings warnings;
    auto files = ScanFolder(dir.path(), {}, warnings);
    EXPECT_EQ(Rels(files), (std::vector<std::string>{"alias.htm", "real.htm", "sub/page.htm"}));
    EXPECT_EQ(files[0].disk, fs::canonical(dir.path() / "sub/page.htm"));
    // The linked folder, the dangling link and the two links out of the folder.
    EXPECT_EQ(warnings.size(), 4u);
    EXPECT_EQ(std::count_if(warnings.begin(), warnings.end(),
                            [](const std::string& w) {
                                return w.find("leaves the folder") != std::string::npos;
                            }),
              2);
}

TEST(ScanFolder, MissingFolderThrows) {
    TempDir dir;
    Warnings warnings;
    EXPECT_THROW(ScanFolder(dir.path() / "nope", {}, warnings), PackError);
}

TEST(PageTitle, Table) {
    struct Case {
        std::string page, title;
    } cases[] = {
        {"<html><head><title>Plain</title></head>", "Plain"},
        {"<TITLE lang=\"zh\">  Two\n\t words  </TITLE>", "Two words"},
        {"<title>A &amp; B &lt;C&gt; &#20013;&#x6587;</title>", "A & B <C> 中文"},
        {"<title>首页</title>", "首页"},
        {"<title>" + Gbk("首页") + "</title>", "首页"},  // a GBK page
        {"<titles>not</titles><title>yes</title>", "yes"},
        {"<title></title>", ""},
        {"<body>no title</body>", ""},
        {"<title>never closed", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageTitle(c.page), c.title) << c.page;
}

TEST(DecodeEntities, Table) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"a&amp;b", "a&b"},
        {"&quot;&apos;", "\"'"},
        {"&#65;&#x42;", "AB"},
        {"x&nbsp;y", "x y"},
        {"&unknown;", "&unknown;"},
        {"&#;", "&#;"},
        {"&#0;", "&#0;"},
        {"a & b", "a & b"},
        {"&#x1F600;", "\xF0\x9F\x98\x80"},
        {"&#xD800;", "\xEF\xBF\xBD"},  // a lone surrogate is no character
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeEntities(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace q3::tool
