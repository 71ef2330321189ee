#include "extract.h"

#include <gtest/gtest.h>

#include "document/writer.h"
#include "support/temp_dir.h"

namespace q3::tool {
namespace {

namespace fs = std::filesystem;
using q3::testing::ReadFileBytes;
using q3::testing::TempDir;

TEST(SafeRelativePath, Table) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"a\\b.htm", "a/b.htm"},
        {"./a//b", "a/b"},
        {"..\\evil.txt", ""},     // climbs out
        {"a\\..\\..\\evil", ""},  // climbs out from inside
        {"c:\\windows\\x", ""},   // drive prefix
        {"\\root.txt", ""},       // absolute
        {"/etc/passwd", ""},      // absolute, this platform's way
        {"", ""},
        {"a..b\\c", "a..b/c"},  // dots inside a name are fine
    };
    for (const Case& c : cases)
        EXPECT_EQ(SafeRelativePath(c.in).string(), c.out) << c.in;
}

TEST(ExtractAll, RegressionHostilePathsAreRefusedNeverWritten) {
    TempDir dir;
    doc::QbxWriter w({});
    w.AddRecord(
        "<ul>\n"
        "<li><param name=\"name\" value=\"Page\" id=\"2\"><param name=\"local\" "
        "value=\"Sub\\A.htm\">\n"
        "<li><param name=\"name\" value=\"Sec\" id=\"2\"><param name=\"local\" "
        "value=\"sub\\a.htm#s\">\n"
        "<res value=\"..\\..\\evil.txt\" id=\"3\">\n"      // would climb out of the folder
        "<res value=\"c:\\evil2.txt\" id=\"3\">\n"         // drive prefix
        "<res value=\"\\evil3.txt\" id=\"3\">\n"           // absolute
        "<res value=\"\xC7\xB0\xD1\xD4.txt\" id=\"3\">\n"  // a GBK name becomes UTF-8
        "<res value=\"missing.txt\" id=\"9\">\n"           // no such record
        "</ul>\n"
        "end\n");
    w.AddRecord("page bytes");
    w.AddRecord("text bytes");
    const std::string book = dir.File("b.qbx");
    w.WriteFile(book);

    server::Tdm_htServer srv;
    server::MemoryContentsModel model;
    server::OpenOutcome out = srv.OpenDocument(book, {});
    ASSERT_EQ(out.kind, server::OpenOutcome::kOpened);
    srv.LoadContents(out.contents_text, model);

    const fs::path target = dir.path() / "out" / "inner";
    std::vector<std::string> notes;
    ExtractReport r =
        ExtractAll(srv, target, [&](bool, const std::string& l) { notes.push_back(l); });
    EXPECT_EQ(r.written, 2);  // the page once (its anchored item adds nothing) and the GBK name
    EXPECT_EQ(r.refused, 3);
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(ReadFileBytes((target / "sub" / "a.htm").string()), "page bytes");
    EXPECT_EQ(ReadFileBytes((target / "前言.txt").string()), "text bytes");
    EXPECT_FALSE(fs::exists(dir.path() / "evil.txt"));
    EXPECT_FALSE(fs::exists(dir.path() / "out" / "evil.txt"));
    EXPECT_FALSE(fs::exists("/evil3.txt"));
}

TEST(ExtractAll, RegressionLinksInTheTargetFolderAreNeverFollowed) {
    TempDir dir;
    doc::QbxWriter w({});
    w.AddRecord(
        "<ul>\n"
        "<res value=\"sub\\a.txt\" id=\"2\">\n"    // sub -> ../outside: written there before
        "<res value=\"top.txt\" id=\"2\">\n"       // top.txt -> ../victim
        "<res value=\"fresh\\b.txt\" id=\"2\">\n"  // a folder the tool makes itself
        "</ul>\n"
        "end\n");
    w.AddRecord("book bytes");
    const std::string book = dir.File("b.qbx");
    w.WriteFile(book);
    server::Tdm_htServer srv;
    server::MemoryContentsModel model;
    server::OpenOutcome out = srv.OpenDocument(book, {});
    ASSERT_EQ(out.kind, server::OpenOutcome::kOpened);
    srv.LoadContents(out.contents_text, model);

    const fs::path target = dir.path() / "target";
    fs::create_directories(target);
    fs::create_directories(dir.path() / "outside");
    const std::string victim = dir.Write("victim", "untouched");
    fs::create_directory_symlink("../outside", target / "sub");
    fs::create_symlink("../victim", target / "top.txt");
    std::vector<std::string> notes;
    ExtractReport r =
        ExtractAll(srv, target, [&](bool, const std::string& l) { notes.push_back(l); });
    EXPECT_EQ(r.refused, 2);
    EXPECT_EQ(r.written, 1);
    EXPECT_EQ(r.failed, 0);
    EXPECT_FALSE(fs::exists(dir.path() / "outside" / "a.txt"));
    EXPECT_EQ(ReadFileBytes(victim), "untouched");
    EXPECT_EQ(ReadFileBytes((target / "fresh" / "b.txt").string()), "book bytes");
}

}  // namespace
}  // namespace q3::tool
