// Packs folders made at test time and reads the documents back the way the
// reader does: the manager for the records, the content server for the
// contents and the addresses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "common/crc.h"
#include "common/gbk.h"
#include "document/manager.h"
#include "qbxtool/packer.h"
#include "reader_view.h"
#include "server/ht_server.h"
#include "support/temp_dir.h"

namespace q3::tool {
namespace {

namespace fs = std::filesystem;
using q3::testing::ReadFileBytes;
using q3::testing::TempDir;
using testing::ReaderView;
using Lines = std::vector<std::string>;

std::string Gbk(std::string_view utf8) {
    return Utf8ToGbk(utf8).value();
}

// rel (UTF-8) -> bytes on disk.
using Tree = std::map<std::string, std::string>;

void MakeTree(const fs::path& root, const Tree& tree) {
    for (const auto& [rel, bytes] : tree) {
        fs::create_directories((root / rel).parent_path());
        std::ofstream(root / rel, std::ios::binary) << bytes;
    }
}

std::unique_ptr<doc::TQBXManage> OpenBook(const std::string& path, const std::string& password) {
    auto book = std::make_unique<doc::TQBXManage>(path);
    book->Open([&](doc::TQBXManage&, std::string& p) { p = password; });
    return book;
}

std::string Record(doc::TQBXManage& book, int32_t r) {
    std::string text;
    EXPECT_TRUE(book.ReadRecordText(r, text)) << "record " << r;
    return text;
}

PackOptions Options(const TempDir& dir, std::string out = "book.qbx") {
    PackOptions o;
    o.dir = dir.path() / "src";
    o.out = dir.path() / out;
    o.info.CreatedAt = doc::MakeDosDateTime(2024, 5, 6, 7, 8, 10);
    return o;
}

const Tree kBook = {
    {"index.htm", "<html><head><meta charset=\"utf-8\"><title>封面</title></head>欢迎</html>"},
    {"第一章/第一节.htm", "<title>第一节</title><p>正文一</p>"},
    {"第一章/图片.png", std::string("\x89PNG\r\n\x1A\n\0\xFF\xFE", 11)},
    {"样式.css", "@charset \"UTF-8\";\nbody{font-family:\"宋体\"}"},
};

TEST(PackFolder, RoundTripWithChineseNamesAndAPassword) {
    TempDir dir;
    MakeTree(dir.path() / "src", kBook);
    PackOptions o = Options(dir);
    o.info.Subject = Gbk("测试之书");
    o.info.BookAuthor = Gbk("作者");
    o.info.Producer = "Quillon3";
    o.info.Remarks = Gbk("备注");
    o.info.Password = Gbk("密码");
    o.to_gbk = true;
    Warnings warnings;
    PackSummary summary = PackFolder(o, warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(summary.files, 4);
    EXPECT_EQ(summary.records, 6);  // contents, four files, the file list

    EXPECT_THROW(OpenBook(o.out.string(), Gbk("错误")), doc::OpenError);
    auto book = OpenBook(o.out.string(), Gbk("密码"));
    EXPECT_EQ(book->DirectoryCount(), 6);
    EXPECT_EQ(book->Header().PasswordHash, StringCrc(Gbk("密码")));
    EXPECT_EQ(book->Version().Subject, Gbk("测试之书"));
    EXPECT_EQ(book->Version().BookAuthor, Gbk("作者"));
    EXPECT_EQ(book->Version().Remarks, Gbk("备注"));
    EXPECT_EQ(book->Version().CreatedAt, o.info.CreatedAt);

    // Records follow the files' order; text became GBK, the picture is as it was.
    EXPECT_EQ(Record(*book, 2),
              Gbk("<html><head><meta charset=\"gbk\"><title>封面</title></head>欢迎</html>"));
    EXPECT_EQ(Record(*book, 3), Gbk("@charset \"gbk\";\nbody{font-family:\"宋体\"}"));
    EXPECT_EQ(Record(*book, 4), kBook.at("第一章/图片.png"));
    EXPECT_EQ(Record(*book, 5), Gbk("<title>第一节</title><p>正文一</p>"));
    EXPECT_EQ(Record(*book, 6), "2\tindex.htm\r\n3\t" + Gbk("样式.css") + "\r\n4\t" +
                                    Gbk("第一章\\图片.png") + "\r\n5\t" +
                                    Gbk("第一章\\第一节.htm") + "\r\n");

    ReaderView reader(Record(*book, 1));
    EXPECT_EQ(reader.Tree(), (Lines{"封面 2", "第一章 -", "  第一节 5"}));
    EXPECT_EQ(reader.RecordOf(Gbk("第一章/图片.png")), 4);
    EXPECT_EQ(reader.RecordOf(Gbk("样式.css")), 3);
}

TEST(PackFolder, ServedAddressesGiveTheFilesBytes) {
    TempDir dir;
    MakeTree(dir.path() / "src", kBook);
    PackOptions o = Options(dir);
    o.to_gbk = true;
    Warnings warnings;
    PackFolder(o, warnings);
    server::Tdm_htServer server;
    server::OpenOutcome outcome = server.OpenDocument(o.out.string(), {});
    ASSERT_EQ(outcome.kind, server::OpenOutcome::kOpened) << outcome.message;
    server::MemoryContentsModel model;
    server.LoadContents(outcome.contents_text, model);
    std::string body;
    // The browser asks in UTF-8, percent-encoded.
    ASSERT_TRUE(server.ReadDataByStream(
        "qbx://reader/%E7%AC%AC%E4%B8%80%E7%AB%A0/%E5%9B%BE%E7%89%87.png", body));
    EXPECT_EQ(body, kBook.at("第一章/图片.png"));
    body.clear();
    ASSERT_TRUE(server.ReadDataByStream("qbx://reader/index.htm", body));
    EXPECT_EQ(body, "<HTML>" + Gbk("<html><head><meta charset=\"gbk\"><title>封面</title>"
                                   "</head>欢迎</html>"));
}

TEST(PackFolder, AuthorsSitemapInsideTheFolderIsTheContentsNotARecord) {
    TempDir dir;
    Tree tree = kBook;
    tree["toc.hhc"] =
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"节\">"
        "<param name=\"Local\" value=\"第一章\\第一节.htm#a\"></OBJECT>"
        "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"缺\">"
        "<param name=\"Local\" value=\"missing.htm\"></OBJECT></UL>";
    MakeTree(dir.path() / "src", tree);
    PackOptions o = Options(dir);
    o.contents = dir.path() / "src" / "toc.hhc";
    Warnings warnings;
    PackSummary summary = PackFolder(o, warnings);
    EXPECT_EQ(summary.files, 4);
    ASSERT_EQ(warnings.size(), 1u);  // the missing page
    auto book = OpenBook(o.out.string(), "");
    ReaderView reader(Record(*book, 1));
    EXPECT_EQ(reader.Tree(), (Lines{"节 5", "缺 -"}));
    EXPECT_EQ(reader.RecordOf(Gbk("第一章/第一节.htm")), 5);
    EXPECT_EQ(reader.RecordOf("index.htm"), 2);  // not in the sitemap: declared
    // Without --to-gbk the bytes are stored as they are.
    EXPECT_EQ(Record(*book, 2), kBook.at("index.htm"));
}

TEST(PackFolder, OutputInsideTheFolderIsNotPackedAndOutputIsReproducible) {
    TempDir dir;
    MakeTree(dir.path() / "src", kBook);
    PackOptions o = Options(dir);
    o.out = dir.path() / "src" / "book.qbx";
    Warnings warnings;
    PackFolder(o, warnings);
    const std::string first = ReadFileBytes(o.out.string());
    // The second run sees the first document in the folder and leaves it out.
    PackSummary again = PackFolder(o, warnings);
    EXPECT_EQ(again.files, 4);
    EXPECT_EQ(ReadFileBytes(o.out.string()), first);
    EXPECT_FALSE(fs::exists(o.out.string() + ".part"));
}

TEST(PackFolder, FailuresLeaveNoDocument) {
    TempDir dir;
    MakeTree(dir.path() / "src", kBook);
    Warnings warnings;
    PackOptions missing_dir = Options(dir);
    missing_dir.dir = dir.path() / "nope";
    EXPECT_THROW(PackFolder(missing_dir, warnings), PackError);

    PackOptions missing_sitemap = Options(dir);
    missing_sitemap.contents = dir.path() / "nope.hhc";
    EXPECT_THROW(PackFolder(missing_sitemap, warnings), PackError);

    fs::create_directory(dir.path() / "empty");
    PackOptions empty = Options(dir);
    empty.dir = dir.path() / "empty";
    EXPECT_THROW(PackFolder(empty, warnings), PackError);

    PackOptions unwritable = Options(dir);
    unwritable.out = dir.path() / "no-such-folder" / "book.qbx";
    EXPECT_THROW(PackFolder(unwritable, warnings), PackError);

    EXPECT_FALSE(fs::exists(dir.path() / "book.qbx"));
    EXPECT_FALSE(fs::exists(dir.path() / "book.qbx.part"));
}

TEST(PackFolder, RegressionLastPageIsSearchable) {
    // The reader's search walks records 2 .. DirectoryCount - 1; the file list
    // at the end keeps every page inside that range.
    TempDir dir;
    MakeTree(dir.path() / "src", {{"a.htm", "alpha"}, {"z.htm", "omega"}});
    PackOptions o = Options(dir);
    Warnings warnings;
    PackFolder(o, warnings);
    auto book = OpenBook(o.out.string(), "");
    std::vector<std::string> seen;
    book->EnumerateRecords(
        [&](doc::TQBXManage&, bool&, int32_t, const std::string& text) { seen.push_back(text); });
    EXPECT_EQ(seen, (Lines{"alpha", "omega"}));
}

}  // namespace
}  // namespace q3::tool
