// The sample book was packed by an independent producer; its description
// lists the fields, tree, served bytes and search results that producer
// expects. Reading that description at test time keeps this test honest: a
// writer and a reader sharing one misreading still fail here.
#include <glib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "common/gbk.h"
#include "common/text.h"
#include "server/full_text_search.h"
#include "server/ht_server.h"
#include "support/temp_dir.h"

#ifndef Q3_SAMPLES_DIR
#error "Q3_SAMPLES_DIR must name the folder of the sample books"
#endif

namespace q3::server {
namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string Sha256(const std::string& bytes) {
    gchar* hex = g_compute_checksum_for_data(
        G_CHECKSUM_SHA256, reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
    std::string out(hex);
    g_free(hex);
    return out;
}

class SampleBook : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string dir = Q3_SAMPLES_DIR;
        description = ReadText(dir + "/debian-reference.md");
        if (description.empty())
            GTEST_SKIP() << "no sample book beside the checkout";
        // A private copy: other test processes hold the shared file open, and
        // a document is opened by one reader at a time.
        const std::string book = copy.File("debian-reference.qbx");
        std::filesystem::copy_file(dir + "/debian-reference.qbx", book);
        OpenOutcome out = srv.OpenDocument(
            book, [](doc::TQBXManage&, std::string& p) { p = Utf8ToGbk("示例密码").value(); });
        ASSERT_EQ(out.kind, OpenOutcome::kOpened) << out.message;
        srv.LoadContents(out.contents_text, model);
    }
    // The lines of the description between the first fence after `heading`.
    std::vector<std::string> Section(const std::string& heading) {
        std::vector<std::string> out;
        bool in = false, seen = false;
        for (const std::string& l : Lines(description)) {
            if (l == heading)
                seen = true;
            if (!seen)
                continue;
            if (l.rfind("```", 0) == 0) {
                if (in)
                    break;
                in = true;
                continue;
            }
            if (in)
                out.push_back(l);
        }
        return out;
    }
    std::string description;
    q3::testing::TempDir copy;
    Tdm_htServer srv;
    MemoryContentsModel model;
};

TEST_F(SampleBook, FieldsMatchTheProducer) {
    const doc::VersionBlock& v = srv.Document()->Version();
    EXPECT_NE(description.find("Subject: `" + GbkToUtf8(v.Subject) + "`"), std::string::npos);
    EXPECT_NE(description.find("BookAuthor: `" + GbkToUtf8(v.BookAuthor) + "`"), std::string::npos);
    char check[16];
    std::snprintf(check, sizeof check, "%08X", srv.Document()->DocumentCheck());
    EXPECT_NE(description.find(std::string("DocumentCheck: ") + check), std::string::npos);
    EXPECT_NE(
        description.find("DirectoryCount: " + std::to_string(srv.Document()->DirectoryCount())),
        std::string::npos);
}

TEST_F(SampleBook, ContentsTreeMatchesTheProducer) {
    std::vector<std::string> tree;
    for (auto [id, depth] : model.DisplayOrder()) {
        const auto& n = model.At(id);
        tree.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') +
                       GbkToUtf8(model.Caption(id)) + "\t" +
                       (n.entry ? std::to_string(n.entry->RecordNo) : "-") + "\t" +
                       (n.entry ? GbkToUtf8(n.entry->LocalPath) : ""));
    }
    std::vector<std::string> expected = Section("## Contents tree (caption, record, local path)");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(tree, expected);
}

TEST_F(SampleBook, ServedBodiesMatchTheProducer) {
    int rows = 0;
    for (const std::string& l : Lines(description)) {
        // | `address` | bytes | `sha256` |
        if (l.rfind("| `qbx://", 0) != 0)
            continue;
        std::vector<std::string> cells;
        std::istringstream in(l);
        for (std::string cell; std::getline(in, cell, '|');) {
            size_t b = cell.find_first_not_of(" `"), e = cell.find_last_not_of(" `");
            cells.push_back(b == std::string::npos ? "" : cell.substr(b, e - b + 1));
        }
        ASSERT_GE(cells.size(), 4u) << l;
        std::string body;
        srv.ReadDataByStream(cells[1], body);
        EXPECT_EQ(std::to_string(body.size()), cells[2]) << cells[1];
        EXPECT_EQ(Sha256(body), cells[3]) << cells[1];
        ++rows;
    }
    EXPECT_GE(rows, 8);
}

TEST_F(SampleBook, RegressionSectionLinksOfTheFrontPageServeTheirPages) {
    // The front page's table of contents links every section of every
    // chapter; most sections are no contents item of their own.
    std::string front;
    ASSERT_TRUE(srv.ReadDataByStream("qbx://reader/index.htm", front));
    std::set<std::string> items;
    for (auto [id, depth] : model.DisplayOrder()) {
        if (const ContentsEntry* e = model.At(id).entry)
            items.insert(std::string(e->LocalPath));
    }
    int sections = 0;
    constexpr std::string_view kHref = "href=\"";
    for (size_t at = front.find(kHref); at != std::string::npos; at = front.find(kHref, at)) {
        at += kHref.size();
        const std::string link = front.substr(at, front.find('"', at) - at);
        const size_t hash = link.find('#');
        if (hash == std::string::npos || hash == 0 || link.find(':') != std::string::npos)
            continue;
        if (items.count(AsciiLower(link)) != 0)
            continue;  // a section that is an item of its own keeps its own bytes
        std::string page, section;
        ASSERT_TRUE(srv.ReadDataByStream("qbx://reader/" + link.substr(0, hash), page)) << link;
        EXPECT_TRUE(srv.ReadDataByStream("qbx://reader/" + link, section)) << link;
        EXPECT_EQ(section, page) << link;
        ++sections;
    }
    EXPECT_GE(sections, 100);
}

TEST_F(SampleBook, SearchResultsMatchTheProducer) {
    int words = 0;
    for (const std::string& l : Lines(description)) {
        // - `word`: page, page, ...
        if (l.rfind("- `", 0) != 0 || l.find("`: ") == std::string::npos)
            continue;
        const std::string word = l.substr(3, l.find("`: ") - 3);
        const std::string list = l.substr(l.find("`: ") + 3);
        FullTextSearch s(srv, model, {[&] { return Utf8ToGbk(word); }, {}, {}});
        std::string got;
        for (const SearchResult& r : s.Run()) {
            if (!got.empty())
                got += ", ";
            got += GbkToUtf8(r.entry->LocalPath);
        }
        EXPECT_EQ(got, list) << word;
        ++words;
    }
    EXPECT_GE(words, 2);
}

}  // namespace
}  // namespace q3::server
