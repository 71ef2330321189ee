// What a later start of the program asks of the running window: another book
// at a page of it, a page in the book that is open, and a page the book does
// not have.
#include <gtest/gtest.h>

#include "browser/web_browser.h"
#include "document/manager.h"
#include "reader/main_window/main_window_request.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

class OpenRequestTest : public ReaderTest {
  protected:
    // Waits until the current tab shows the address and has finished.
    static bool Shows(Tfm_Quillon3& w, const std::string& address) {
        browser::WebBrowser& wb = HomeBrowser(w);
        return PumpUntil([&] { return wb.LocationUrl() == address && !wb.Busy(); });
    }
};

TEST_F(OpenRequestTest, AnotherBookOpensAtThePageAskedForWithItsSection) {
    ReaderSession session({WriteBook("first.qbx")});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(Shows(w, "qbx://reader/cover.htm"));
    const std::string other = WriteBook("other.qbx");

    OpenRequest(w, {other, "ONE/second.htm#end", ""});
    EXPECT_EQ(w.Server()->Document()->FileName(), other);
    EXPECT_TRUE(Shows(w, "qbx://reader/one/second.htm#end")) << HomeBrowser(w).LocationUrl();
    // A whole address of the book, as its pages link, names the page too.
    OpenRequest(w, {"", "qbx://reader/one/first%2Ehtm", ""});
    EXPECT_TRUE(Shows(w, "qbx://reader/one/first.htm")) << HomeBrowser(w).LocationUrl();
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(OpenRequestTest, APageTheBookLacksLeavesThePageShownAndSaysSo) {
    const std::string book = WriteBook();
    ReaderSession session({book});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(Shows(w, "qbx://reader/cover.htm"));

    OpenRequest(w, {book, "missing/page.htm", ""});
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(StatusPanelTexts(w).at(0), "找不到\"missing/page.htm\"");
    EXPECT_EQ(HomeBrowser(w).LocationUrl(), "qbx://reader/cover.htm");
    // The book was open already: no question and no message for it.
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(OpenRequestTest, ASearchListsTheBooksPagesWithoutOpeningOne) {
    ReaderSession session({WriteBook("first.qbx")});
    Tfm_Quillon3& w = session.window();
    ASSERT_TRUE(Shows(w, "qbx://reader/cover.htm"));
    const std::string other = WriteBook("other.qbx");

    // The book's last record is never searched: the word is on the one before.
    OpenRequest(w, {other, "", "first"});
    auto& results = Named<Gtk::TreeView>(w, "search_results");
    EXPECT_TRUE(PumpUntil([&] { return !w.FullTextSearchRunning() && RowCount(results) > 0; }))
        << RowCount(results);
    // Listed by its contents caption, the first page still in view.
    EXPECT_EQ(RowTexts(results), std::vector<std::string>{"First"});
    EXPECT_EQ(HomeBrowser(w).LocationUrl(), "qbx://reader/cover.htm");
}

}  // namespace
}  // namespace q3::reader::testing
