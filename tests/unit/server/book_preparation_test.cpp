#include "server/book_preparation.h"

#include <gtest/gtest.h>

#include "book_fixture.h"

namespace q3::server {
namespace {

using q3::testing::TempDir;
using testing::WriteBook;

const std::string kContents =
    "<ul>\n"
    "<li><param name=\"name\" value=\"Index\" id=\"2\"><param name=\"local\" value=\"index.htm\">\n"
    "<li><param name=\"name\" value=\"Page\" id=\"3\"><param name=\"local\" value=\"page.htm\">\n"
    "</ul>\n"
    "end\n";

// Whether another reader could take the book's lock now.
bool Unlocked(const std::string& path, const std::string& password = "") {
    Tdm_htServer other;
    other.SetDocumentLocking(doc::Locking::kExclusive);
    return other.ReadyDocument(path, [&](doc::TQBXManage&, std::string& p) { p = password; })
               .kind == OpenOutcome::kOpened;
}

TEST(BookPreparation, HandsTheReadContentsToTheWindowsServer) {
    TempDir dir;
    const std::string path = WriteBook(dir, kContents, {"<p>index</p>", "<p>page</p>"});
    MemoryContentsModel model;
    int sealed = 0;
    BookPreparation preparation(path, doc::Locking::kExclusive, model, [&] { ++sealed; });
    std::optional<BookPreparation::Result> result = preparation.Take();
    ASSERT_TRUE(result);
    ASSERT_EQ(result->outcome.kind, OpenOutcome::kOpened);
    EXPECT_EQ(sealed, 1);
    EXPECT_EQ(model.NodeCount(), 2u);
    // Held open, and locked, until the window's server takes it over.
    EXPECT_FALSE(Unlocked(path));

    Tdm_htServer window_server;
    window_server.AdoptContents(*result->server);
    EXPECT_EQ(result->server->Document(), nullptr);
    EXPECT_EQ(result->server->Entries(), nullptr);
    std::string page;
    EXPECT_TRUE(window_server.ReadDataByStream("qbx://reader/page.htm", page));
    EXPECT_EQ(page, "<HTML><p>page</p>");
    // The node the model holds points into the adopted table.
    EXPECT_EQ(model.At(1).entry, window_server.Lookup("index.htm"));

    EXPECT_FALSE(preparation.Take()) << "given once";
}

TEST(BookPreparation, LeavesABookWithAPasswordToTheWindowUnlocked) {
    TempDir dir;
    doc::DocumentInfo info;
    info.Password = "secret";
    const std::string path =
        WriteBook(dir, kContents, {"<p>index</p>", "<p>page</p>"}, "p.qbx", info);
    MemoryContentsModel model;
    BookPreparation preparation(path, doc::Locking::kExclusive, model, {});
    EXPECT_FALSE(preparation.Take());
    EXPECT_TRUE(Unlocked(path, "secret"));
}

TEST(BookPreparation, ReportsAFailedOpenAsTheWindowWouldSeeIt) {
    TempDir dir;
    MemoryContentsModel model;
    BookPreparation preparation(dir.File("missing.qbx"), doc::Locking::kExclusive, model, {});
    std::optional<BookPreparation::Result> result = preparation.Take();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->outcome.kind, OpenOutcome::kOpenFailed);
    EXPECT_EQ(result->outcome.message, "文件不存在");
}

TEST(BookPreparation, AbandonedStartLetsGoOfTheBook) {
    TempDir dir;
    std::string contents = "<ul>\n";
    for (int i = 0; i < 50000; ++i)
        contents +=
            "<li><param name=\"name\" value=\"P\" id=\"2\"><param name=\"local\" value=\"p" +
            std::to_string(i) + ".htm\">\n";
    contents += "</ul>\n";
    const std::string path = WriteBook(dir, contents, {"<p>p</p>"});
    {
        MemoryContentsModel model;
        BookPreparation preparation(path, doc::Locking::kExclusive, model, {});
    }
    EXPECT_TRUE(Unlocked(path));
}

}  // namespace
}  // namespace q3::server
