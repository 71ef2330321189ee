#include "server/full_text_search.h"

#include <gtest/gtest.h>

#include "book_fixture.h"

namespace q3::server {
namespace {

using q3::testing::TempDir;
using testing::OpenBook;
using testing::WriteBook;

TEST(FindCaseless, Table) {
    struct Case {
        std::string text, word;
        size_t pos;
    } cases[] = {
        {"xxABCxx", "abc", 2},
        {"Abc", "abc", 0},
        {"<a href=\"Target.htm\">", "target", 9},  // inside a tag
        {"ab", "abc", std::string::npos},
        {"\x81\x41"
         "bc",
         "abc", std::string::npos},  // "A" is a trail byte here
        {"\x81\x41"
         "Abc",
         "abc", 2},
        // "\xB0\xA1\xB0\xA1": the bytes A1 B0 at offset 1 straddle two characters
        {"\xB0\xA1\xB0\xA1", "\xA1\xB0", std::string::npos},
        {"z\xB0\xA1\xB0\xA1", "\xB0\xA1", 1},
        // a GBK word whose trail byte is an upper-case letter matches as stored
        {"x\x81\x41y", "\x81\x41", 1},
        {"abc", "", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindCaseless(c.text, c.word), c.pos) << c.text;
}

TEST(FindCaseless, LongChineseRunsAreJudgedByTheirStart) {
    // One lead byte shifts a long run of characters: "\x81\xB0" is one
    // character, so every "\xA1\xB0" from offset 2 on starts one.
    std::string text = "\x81";
    for (int i = 0; i < 1500; ++i)
        text += "\xB0\xA1";
    EXPECT_EQ(FindCaseless(text, "\xA1\xB0"), 2u);
    EXPECT_EQ(FindCaseless(text, "\xB0\xA1"), std::string::npos);
    std::string aligned;
    for (int i = 0; i < 1500; ++i)
        aligned += "\xB0\xA1";
    EXPECT_EQ(FindCaseless(aligned, "\xA1\xB0"), std::string::npos);
}

std::string Item(const std::string& caption, int record, const std::string& path) {
    return "<li><param name=\"name\" value=\"" + caption + "\" id=\"" + std::to_string(record) +
           "\"><param name=\"local\" value=\"" + path + "\">\n";
}

class SearchTest : public ::testing::Test {
  protected:
    // Records 2..n carry pages; page r mentions "needle" when r is in `hits`.
    void Make(int pages, const std::vector<int>& hits, std::string extra_contents = "") {
        std::string contents = "<ul>\n";
        std::vector<std::string> bodies;
        for (int r = 2; r < pages + 2; ++r) {
            contents += Item("Page " + std::to_string(r), r, "p" + std::to_string(r) + ".htm");
            bool hit = std::find(hits.begin(), hits.end(), r) != hits.end();
            bodies.push_back(hit ? "<p>some NeeDLE here</p>" : "<p>nothing</p>");
        }
        contents += extra_contents + "</ul>\nend\n";
        path = WriteBook(dir, contents, bodies);
        ASSERT_TRUE(OpenBook(srv, model, path));
    }
    std::vector<std::string> Captions(const std::vector<SearchResult>& rs) {
        std::vector<std::string> out;
        for (const auto& r : rs)
            out.push_back(r.caption);
        return out;
    }
    TempDir dir;
    std::string path;
    Tdm_htServer srv;
    MemoryContentsModel model;
};

TEST_F(SearchTest, FindsEachMatchingPageOnceInRecordOrder) {
    Make(6, {3, 5});
    FullTextSearch s(srv, model, {[] { return std::string("  Needle "); }, {}, {}});
    EXPECT_EQ(Captions(s.Run()), (std::vector<std::string>{"Page 3", "Page 5"}));
    EXPECT_FALSE(s.Running());
    // A result's hint: the page's words around the word it matched.
    EXPECT_EQ(s.Results()[0].word, "needle");
    EXPECT_EQ(ResultSnippet(srv, *s.Results()[0].entry, s.Results()[0].word), "some NeeDLE here");
}

TEST_F(SearchTest, RecordWithoutAContentsNodeIsNeverListed) {
    // Record 8 holds the word but is only a resource; the last record (the
    // directory count) is never searched.
    std::string extra = "<res value=\"r.htm\" id=\"8\">\n";
    Make(7, {8}, extra);
    FullTextSearch s(srv, model, {[] { return std::string("needle"); }, {}, {}});
    EXPECT_TRUE(s.Run().empty());
}

TEST_F(SearchTest, FirstEntryWithANodeInInsertionOrderNamesTheResult) {
    // Two items name record 2: the first one added wins.
    Make(2, {2}, Item("Second name", 2, "again.htm"));
    FullTextSearch s(srv, model, {[] { return std::string("needle"); }, {}, {}});
    EXPECT_EQ(Captions(s.Run()), (std::vector<std::string>{"Page 2"}));
}

TEST_F(SearchTest, ProgressEveryFiftyRecordsWithTheDirectoryCount) {
    Make(119, {10, 60});  // records 2..120, directory count 120, 120 never searched
    std::vector<std::string> progress;
    FullTextSearch s(srv, model,
                     {[] { return std::string("needle"); },
                      [&](const std::string& w, int32_t n, int32_t total, int found) {
                          progress.push_back(SearchProgressText(w, n, total, found));
                      },
                      {}});
    EXPECT_EQ(s.Run().size(), 2u);
    EXPECT_EQ(progress, (std::vector<std::string>{"正在搜索：needle, 50/120，已找到：1个",
                                                  "正在搜索：needle, 100/120，已找到：2个"}));
    EXPECT_EQ(SearchFinalText(" needle", 2), "正在搜索： needle, 找到 2 类似文档.");
}

TEST_F(SearchTest, StopRequestEndsTheWalkBeforeAnyHookRunsAgain) {
    Make(118, {10, 60, 110});
    FullTextSearch* self = nullptr;
    int words_read_after_stop = 0;
    bool stopped = false;
    FullTextSearch s(srv, model,
                     {[&] {
                          words_read_after_stop += stopped ? 1 : 0;
                          return std::string("needle");
                      },
                      [&](const std::string&, int32_t, int32_t, int) {
                          stopped = true;
                          self->Stop();
                      },
                      {}});
    self = &s;
    EXPECT_EQ(s.Run().size(), 1u);  // stopped after record 50, before 60
    // The window that asked for the stop may be gone by then.
    EXPECT_EQ(words_read_after_stop, 0);
}

TEST_F(SearchTest, EmptiedWordEndsTheSearch) {
    Make(10, {2, 8});
    int calls = 0;
    FullTextSearch s(
        srv, model,
        {[&]() -> std::optional<std::string> { return ++calls < 3 ? "needle" : "   "; }, {}, {}});
    EXPECT_EQ(Captions(s.Run()), (std::vector<std::string>{"Page 2"}));
    EXPECT_EQ(calls, 3);
}

TEST_F(SearchTest, WordGbkCannotHoldMatchesNothingButRuns) {
    Make(3, {2});
    FullTextSearch s(srv, model, {[] { return std::nullopt; }, {}, {}});
    EXPECT_TRUE(s.Run().empty());
}

TEST_F(SearchTest, RegressionReplacedDocumentEndsTheWalk) {
    Make(118, {10, 60, 110});
    TempDir other;
    std::string second = WriteBook(other, "<ul>\n</ul>\nend\n", {"x"});
    FullTextSearch s(srv, model,
                     {[] { return std::string("needle"); },
                      [&](const std::string&, int32_t, int32_t, int) {
                          srv.FreeDocument();
                          ASSERT_TRUE(OpenBook(srv, model, second));
                      },
                      {}});
    // The results referred to the old table, which is gone: none are kept.
    EXPECT_TRUE(s.Run().empty());
}

TEST_F(SearchTest, RegressionFailedOpenDuringTheSearchEndsTheWalk) {
    Make(118, {10, 60, 110});
    // The same pages behind a contents record that cannot be read: the open
    // fails after the old manager is gone, leaves the table as it was, and
    // its manager may well take the old one's address.
    doc::QbxWriter w({});
    w.AddRecord("contents");
    for (int r = 2; r < 120; ++r)
        w.AddRecord("<p>needle</p>");
    w.SetStoredRecord(1, doc::StoredRecord{"damaged", 0});
    const std::string damaged = dir.File("damaged.qbx");
    w.WriteFile(damaged);
    bool reopened = false;
    int records_after = 0;
    FullTextSearch s(srv, model,
                     {[&] {
                          records_after += reopened;
                          return std::string("needle");
                      },
                      [&](const std::string&, int32_t, int32_t, int) {
                          srv.FreeDocument();
                          ASSERT_EQ(srv.OpenDocument(damaged, {}).kind,
                                    OpenOutcome::kContentsDamaged);
                          reopened = true;
                      },
                      {}});
    EXPECT_TRUE(s.Run().empty());
    EXPECT_EQ(records_after, 0);
}

}  // namespace
}  // namespace q3::server
