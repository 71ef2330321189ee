#include "server/ht_server.h"

#include <gtest/gtest.h>

#include <fstream>

#include "book_fixture.h"
#include "common/trace.h"

namespace q3::server {
namespace {

using q3::testing::TempDir;
using testing::OpenBook;
using testing::WriteBook;

const std::string kContents =
    "<ul>\n"
    "<li><param name=\"name\" value=\"Index\" id=\"2\"><param name=\"local\" value=\"index.htm\">\n"
    "<li><param name=\"name\" value=\"Page\" id=\"3\"><param name=\"local\" value=\"a\\b.htm\">\n"
    // 前言.htm in GBK: reached by GBK or by UTF-8 percent escapes
    "<li><param name=\"name\" value=\"Preface\" id=\"4\">"
    "<param name=\"local\" value=\"\xC7\xB0\xD1\xD4.htm\">\n"
    "<li><param name=\"name\" value=\"Broken\" id=\"9\"><param name=\"local\" "
    "value=\"broken.htm\">\n"
    "<res value=\"logo.gif\" id=\"5\">\n"
    "<res value=\"sub\" id=\"6\">\n"
    "</ul>\n"
    "end\n";

class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path =
            WriteBook(dir, kContents,
                      {"<p>index</p>", "<p>page b</p>", "<p>preface</p>", "GIF89a", "sub folder"});
        ASSERT_TRUE(OpenBook(srv, model, path));
    }
    std::string Serve(std::string_view address, bool* found = nullptr) {
        std::string out;
        bool f = srv.ReadDataByStream(address, out);
        if (found)
            *found = f;
        return out;
    }
    TempDir dir;
    std::string path;
    Tdm_htServer srv;
    MemoryContentsModel model;
};

TEST_F(ServerTest, ServesPagesWithTheHtmlPrefix) {
    EXPECT_EQ(Serve("qbx://reader/index.htm"), "<HTML><p>index</p>");
    EXPECT_EQ(Serve("qbx://reader/a/b.htm"), "<HTML><p>page b</p>");
    EXPECT_EQ(Serve("qbx://reader/logo.gif"), "GIF89a");
}

TEST_F(ServerTest, PrefixTestSeesThePathAsWritten) {
    // Upper-case extension: found, but no prefix (the test is case-sensitive).
    EXPECT_EQ(Serve("qbx://reader/Index.HTM"), "<p>index</p>");
    // With a query the extension is not ".htm" either.
    EXPECT_EQ(Serve("qbx://reader/a/b.htm?key=word"), "<p>page b</p>");
}

TEST_F(ServerTest, LookupSteps) {
    EXPECT_EQ(Serve("qbx://reader/sub/"), "sub folder");  // trailing "/" dropped
    EXPECT_EQ(Serve("qbx://reader/%C7%B0%D1%D4.htm"), "<HTML><p>preface</p>");        // GBK escapes
    EXPECT_EQ(Serve("qbx://reader/%E5%89%8D%E8%A8%80.htm"), "<HTML><p>preface</p>");  // UTF-8
    EXPECT_EQ(Serve("qbx://reader/extra/index.htm"), "<HTML><p>index</p>");  // first step dropped
    EXPECT_EQ(srv.Lookup("a\\b.htm?KEY=x")->RecordNo, 3);
}

TEST(ServerQuery, AddressWithAQueryFallsBackToThePathWithoutIt) {
    TempDir dir;
    const std::string contents =
        "<ul>\n"
        "<li><param name=\"name\" value=\"Page\" id=\"2\"><param name=\"local\" "
        "value=\"page.htm\">\n"
        "<res value=\"_static\\theme.css\" id=\"3\">\n"
        // A path stored with its query keeps answering exactly that address.
        "<res value=\"odd.css?v=1\" id=\"4\">\n"
        "<res value=\"odd.css\" id=\"5\">\n"
        "</ul>\n"
        "end\n";
    const std::string path =
        testing::WriteBook(dir, contents, {"<p>page</p>", "theme", "odd one", "odd"});
    Tdm_htServer srv;
    MemoryContentsModel model;
    ASSERT_TRUE(OpenBook(srv, model, path));
    const auto serve = [&](std::string_view address) {
        std::string out;
        srv.ReadDataByStream(address, out);
        return out;
    };
    // Sphinx links its style sheet so; the placeholder left the page unstyled.
    EXPECT_EQ(serve("qbx://reader/_static/theme.css?2022.1"), "theme");
    EXPECT_EQ(serve("qbx://reader/odd.css?v=1"), "odd one");
    EXPECT_EQ(serve("qbx://reader/odd.css?v=2"), "odd");
    // "?key=" is cut as before, and the extension test still sees the query.
    EXPECT_EQ(serve("qbx://reader/page.htm?key=word"), "<p>page</p>");
    EXPECT_EQ(serve("qbx://reader/page.htm?v=3"), "<p>page</p>");
    EXPECT_EQ(serve("qbx://reader/gone.css?v=1"), kPlaceholderPage);
}

// In-page tables of contents link sections of other pages; each section
// that was no contents item of its own got the placeholder.
class SectionLinks : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string contents =
            "<ul>\n"
            // a page and one of its sections, both items
            "<li><param name=\"name\" value=\"Chapter\" id=\"2\">"
            "<param name=\"local\" value=\"dir\\ch.html\">\n"
            "<li><param name=\"name\" value=\"Known\" id=\"3\">"
            "<param name=\"local\" value=\"dir\\ch.html#known\">\n"
            // a page reached only through the bare path of its anchored item
            "<li><param name=\"name\" value=\"Intro\" id=\"4\">"
            "<param name=\"local\" value=\"alias.htm#intro\">\n"
            // a file name with a "#" of its own (a resource line would cut it)
            "<li><param name=\"name\" value=\"Sharp\" id=\"5\">"
            "<param name=\"local\" value=\"c#.htm\">\n"
            "<res value=\"a.htm\" id=\"6\">\n"
            "</ul>\n"
            "end\n";
        const std::string path = WriteBook(
            dir, contents, {"<p>chapter</p>", "<p>known</p>", "<p>alias</p>", "<p>c#</p>", "a"});
        ASSERT_TRUE(OpenBook(srv, model, path));
        srv.SetSelectNodeHook([this](uint64_t, ContentsEntry* e) { selected.push_back(e); });
    }
    std::string Serve(std::string_view address, bool* found = nullptr) {
        std::string out;
        const bool f = srv.ReadDataByStream(address, out);
        if (found)
            *found = f;
        return out;
    }
    std::string SelectedCaption() const {
        return selected.empty() ? "" : std::string(model.NodeCaption(selected.back()->Node));
    }
    TempDir dir;
    Tdm_htServer srv;
    MemoryContentsModel model;
    std::vector<ContentsEntry*> selected;
};

TEST_F(SectionLinks, RegressionSectionOfAnotherPageServesThePage) {
    struct Case {
        const char* address;
        const char* body;  // what the address without its "#" part gets
    } cases[] = {
        {"qbx://reader/dir/ch.html#sec", "<HTML><p>chapter</p>"},
        // with the search word after or before the section: the extension
        // test sees the query, as for the page's own address with it
        {"qbx://reader/dir/ch.html#sec?key=word", "<p>chapter</p>"},
        {"qbx://reader/dir/ch.html?key=word#sec", "<p>chapter</p>"},
        {"qbx://reader/Dir/Ch.HTML#Sec", "<p>chapter</p>"},
        {"qbx://reader/alias.htm#other", "<HTML><p>alias</p>"},
        // an escaped "#" belongs to the file name, a literal one starts the section
        {"qbx://reader/c%23.htm#sec", "<HTML><p>c#</p>"},
    };
    for (const Case& c : cases) {
        bool found = false;
        EXPECT_EQ(Serve(c.address, &found), c.body) << c.address;
        EXPECT_TRUE(found) << c.address;
    }
    EXPECT_EQ(srv.Lookup("dir/ch.html#sec"), srv.Lookup("dir/ch.html"));
    EXPECT_EQ(srv.Lookup("dir/ch.html#sec?key=x"), srv.Lookup("dir/ch.html"));
}

TEST_F(SectionLinks, SectionFallbackFindsNoOtherPage) {
    EXPECT_EQ(Serve("qbx://reader/#top"), kPlaceholderPage);
    EXPECT_EQ(Serve("qbx://reader/gone.htm#sec"), kPlaceholderPage);
    EXPECT_EQ(Serve("qbx://reader/a%23b.htm"), kPlaceholderPage);  // not a.htm
    EXPECT_EQ(srv.Lookup("gone.htm#sec"), nullptr);
}

TEST_F(SectionLinks, AnchoredItemKeepsItsOwnNodeAndSectionsSelectThePage) {
    // The item itself is served as before: the prefix test sees the anchor.
    EXPECT_EQ(Serve("qbx://reader/dir/ch.html#known"), "<p>known</p>");
    EXPECT_EQ(SelectedCaption(), "Known");
    Serve("qbx://reader/dir/ch.html#sec");
    EXPECT_EQ(SelectedCaption(), "Chapter");
    // The bare path of an anchored item has no node, so its sections move
    // no selection, as the bare address does not.
    const size_t before = selected.size();
    Serve("qbx://reader/alias.htm");
    Serve("qbx://reader/alias.htm#other");
    EXPECT_EQ(selected.size(), before);
}

TEST_F(ServerTest, UnknownAddressGetsThePlaceholder) {
    bool found = true;
    EXPECT_EQ(Serve("qbx://reader/nothing.htm", &found), kPlaceholderPage);
    EXPECT_FALSE(found);
    EXPECT_EQ(kPlaceholderPage.size(), 50u);
}

TEST_F(ServerTest, RegressionEmptyPathServesThePlaceholder) {
    EXPECT_EQ(Serve("qbx://reader/"), kPlaceholderPage);
    EXPECT_EQ(Serve("qbx:"), kPlaceholderPage);  // shorter than the prefix
}

TEST_F(ServerTest, UnreadableRecordServesOnlyThePrefix) {
    // Record 9 does not exist in a six-record document.
    bool found = false;
    EXPECT_EQ(Serve("qbx://reader/broken.htm", &found), "<HTML>");
    EXPECT_TRUE(found);
}

TEST_F(ServerTest, ServingAnItemWithANodePostsItsSelection) {
    std::vector<ContentsEntry*> seen;
    uint64_t generation = 0;
    srv.SetSelectNodeHook([&](uint64_t g, ContentsEntry* e) {
        generation = g;
        seen.push_back(e);
    });
    Serve("qbx://reader/a/b.htm");
    Serve("qbx://reader/logo.gif");    // a resource has no node
    Serve("qbx://reader/broken.htm");  // selected even though the read failed
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(model.NodeCaption(seen[0]->Node), "Page");
    EXPECT_EQ(srv.CurrentEntry(generation, seen[0]), seen[0]);

    // A notice that outlives its table is dropped.
    srv.LoadContents(kContents, model);
    EXPECT_EQ(srv.CurrentEntry(generation, seen[0]), nullptr);
}

TEST_F(ServerTest, NoDocumentMeansAnEmptyBody) {
    srv.FreeDocument();
    bool found = true;
    EXPECT_EQ(Serve("qbx://reader/index.htm", &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(srv.CommentUrl(), "");
}

TEST(ServerOpen, FailedOpenLeavesNoDocument) {
    TempDir dir;
    Tdm_htServer srv;
    OpenOutcome out = srv.OpenDocument(dir.File("missing.qbx"), {});
    EXPECT_EQ(out.kind, OpenOutcome::kOpenFailed);
    EXPECT_EQ(out.message, "文件不存在");
    EXPECT_EQ(srv.Document(), nullptr);
}

// Regression: a second book that failed to open (not a document, a wrong
// password) had already cost the reader the open one, while its tree was
// still shown.
TEST_F(ServerTest, RegressionAFailedOpenKeepsTheOpenDocument) {
    const std::string not_a_book = dir.File("notes.qbx");
    std::ofstream(not_a_book) << "plain text";
    doc::TQBXManage* open = srv.Document();
    const uint64_t generation = srv.Generation();
    for (const std::string& path : {not_a_book, dir.File("missing.qbx")}) {
        OpenOutcome out = srv.OpenDocument(path, {});
        EXPECT_EQ(out.kind, OpenOutcome::kOpenFailed) << path;
        EXPECT_EQ(srv.Document(), open) << path;
    }
    EXPECT_EQ(srv.Generation(), generation);
    EXPECT_EQ(Serve("qbx://reader/a/b.htm"), "<HTML><p>page b</p>");
}

TEST(ServerOpen, DamagedContentsKeepTheNewDocumentOpen) {
    TempDir dir;
    doc::QbxWriter w({});
    w.AddRecord("x");
    doc::StoredRecord bad = doc::SealRecord(doc::CompressRecord("<ul>"), "zmr");
    bad.check ^= 1;  // the head no longer verifies
    w.SetStoredRecord(1, bad);
    std::string path = dir.File("bad.qbx");
    w.WriteFile(path);
    Tdm_htServer srv;
    OpenOutcome out = srv.OpenDocument(path, {});
    EXPECT_EQ(out.kind, OpenOutcome::kContentsDamaged);
    EXPECT_EQ(out.message, "文件目录已损坏.");
    EXPECT_NE(srv.Document(), nullptr);
}

TEST(CommentUrl, RegressionDocumentTextsArePercentEncoded) {
    TempDir dir;
    doc::DocumentInfo info;
    info.Subject = "A&B \xC7\xB0";  // "&", a blank and a GBK character
    info.BookAuthor = "au#thor";
    info.Producer = "m";
    info.Remarks = "";
    std::string path = WriteBook(dir, "<ul>\n</ul>\n", {}, "c.qbx", info);
    Tdm_htServer srv;
    ASSERT_EQ(srv.OpenDocument(path, {}).kind, OpenOutcome::kOpened);
    const std::string url = srv.CommentUrl();
    const std::string check = std::to_string(static_cast<int32_t>(srv.Document()->DocumentCheck()));
    EXPECT_EQ(url, "http://" + std::string(kCommentHost) +
                       "/q?cl=Quillon3&vs=20090915&uid=0&qbxid=" + check +
                       "&dvs=20090626&qbxname=A%26B%20%C7%B0&author=au%23thor&maker=m&comment=");
}

TEST(CommentUrl, FallsBackToTheFileName) {
    TempDir dir;
    std::string path = WriteBook(dir, "<ul>\n</ul>\n", {}, "My Book.qbx");
    Tdm_htServer srv;
    ASSERT_EQ(srv.OpenDocument(path, {}).kind, OpenOutcome::kOpened);
    EXPECT_NE(srv.CommentUrl().find("&qbxname=My%20Book&"), std::string::npos);
}

TEST(Utf8ToWide, ReadsTheWayTheLookupAlwaysHas) {
    EXPECT_EQ(Utf8ToWide("a\xC3\xA9"), u"a\u00E9");
    EXPECT_EQ(Utf8ToWide("\xE5\x89\x8D"), u"\u524D");
    EXPECT_EQ(Utf8ToWide("x\xE5\x89"), u"x");  // a cut-off form ends the text
    // A four-byte form is read as a three-byte one, and its last byte then
    // starts a form that the text cannot complete: no supplementary character.
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80").size(), 1u);
}

TEST(ServerReentry, RegressionOpenDuringTheContentsParseStopsIt) {
    TempDir dir;
    // Long enough contents that the parse lets events run several times.
    std::string old_contents = "<ul>\n";
    for (int i = 0; i < 40; ++i) {
        old_contents += "<li><param name=\"name\" value=\"Old " + std::to_string(i) +
                        "\" id=\"2\"><param name=\"local\" value=\"old" + std::to_string(i) +
                        ".htm\">\n";
    }
    old_contents += "</ul>\nend\n";
    const std::string first = WriteBook(dir, old_contents, {"<p>old</p>"}, "first.qbx");
    const std::string second = WriteBook(
        dir, kContents, {"<p>index</p>", "<p>page b</p>", "<p>preface</p>", "GIF89a", "sub"},
        "second.qbx");

    Tdm_htServer srv;
    MemoryContentsModel model;
    int pumps = 0;
    // What the window does when a file is dropped while the contents load.
    srv.SetPumpHook([&] {
        if (++pumps != 1)
            return;
        srv.FreeDocument();
        OpenOutcome out = srv.OpenDocument(second, {});
        ASSERT_EQ(out.kind, OpenOutcome::kOpened);
        EXPECT_TRUE(srv.LoadContents(out.contents_text, model));
    });
    OpenOutcome out = srv.OpenDocument(first, {});
    ASSERT_EQ(out.kind, OpenOutcome::kOpened);
    EXPECT_FALSE(srv.LoadContents(out.contents_text, model));

    std::vector<std::string> tree;
    for (auto [id, depth] : model.DisplayOrder())
        tree.emplace_back(model.Caption(id));
    EXPECT_EQ(tree, (std::vector<std::string>{"Index", "Page", "Preface", "Broken"}));
    EXPECT_EQ(model.Index().size(), 4u);
    for (const auto* node : srv.Entries()->Nodes())
        EXPECT_NE(node->value->LocalPath.substr(0, 3), std::string_view("old"));
    EXPECT_EQ(srv.Lookup("old0.htm"), nullptr);
    EXPECT_EQ(srv.Document()->FileName(), second);
    std::string body;
    srv.ReadDataByStream("qbx://reader/index.htm", body);
    EXPECT_EQ(body, "<HTML><p>index</p>");
}

}  // namespace
}  // namespace q3::server
