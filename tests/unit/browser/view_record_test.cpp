// The record of a web view: which document it shows and how long the
// reader's claim on one of its loads lasts. The signals come in the orders
// WebKitGTK 2.50 sends them.
#include <gtest/gtest.h>

#include <string>

#include "scheme/view_record.h"

namespace q3::server::scheme {
namespace {

constexpr const char* kWebPage = "http://127.0.0.1:8080/page.html";
constexpr const char* kBookPage = "qbx://reader/a.htm";
constexpr const char* kOtherBookPage = "qbx://reader/b.htm";

// Whether a request for address carrying no Origin or Referer (a main-frame
// load, or a page that sends no referrer) would read the book.
bool ReadsHeaderless(const ViewRecord& record, const std::string& address) {
    RequestSource source;
    source.address = address;
    record.Describe(source);
    return ComesFromBook(source);
}

// A view whose main frame shows address.
ViewRecord Showing(const std::string& address) {
    ViewRecord record;
    record.LoadStarted();
    record.LoadCommitted(address);
    record.LoadFinished();
    return record;
}

void AskReaderLoad(ViewRecord& record, const std::string& address) {
    record.ReaderLoadAsking();
    record.AddressChanged(address);
    record.ReaderLoadAsked(address);
}

TEST(ViewRecordTest, ReaderLoadOfABookPageReadsUntilItCommits) {
    ViewRecord record = Showing(kWebPage);
    AskReaderLoad(record, kBookPage);
    EXPECT_EQ(record.Document(), kWebPage);
    record.LoadStarted();
    EXPECT_TRUE(ReadsHeaderless(record, kBookPage));
    EXPECT_TRUE(ReadsHeaderless(record, std::string(kBookPage) + "#part"));
    EXPECT_FALSE(ReadsHeaderless(record, kOtherBookPage));
    record.LoadCommitted(kBookPage);
    EXPECT_EQ(record.PendingLoad(), "");
    EXPECT_TRUE(ReadsHeaderless(record, kOtherBookPage));
}

TEST(ViewRecordTest, RegressionStoppedReaderLoadLeavesNoClaimForTheNextPage) {
    // Stopped before WebKit began it: no signal at all follows.
    ViewRecord before_start = Showing(kWebPage);
    AskReaderLoad(before_start, kBookPage);
    before_start.ReaderLoadStopped();
    // Stopped once begun: WebKit reports it cancelled.
    ViewRecord after_start = Showing(kWebPage);
    AskReaderLoad(after_start, kBookPage);
    after_start.LoadStarted();
    after_start.LoadFailed(kBookPage);
    after_start.LoadFinished();
    for (ViewRecord* record : {&before_start, &after_start}) {
        EXPECT_EQ(record->PendingLoad(), "");
        // The web page still shown goes on to its next page.
        record->LoadStarted();
        EXPECT_FALSE(ReadsHeaderless(*record, kBookPage));
        record->LoadCommitted("http://127.0.0.1:8080/next.html");
        EXPECT_FALSE(ReadsHeaderless(*record, kBookPage));
    }
}

TEST(ViewRecordTest, RegressionClaimEndsWhenItsLoadCommitsAnotherAddress) {
    ViewRecord record = Showing("about:blank");
    AskReaderLoad(record, kBookPage);
    record.LoadStarted();
    record.LoadCommitted(kWebPage);
    EXPECT_EQ(record.PendingLoad(), "");
    EXPECT_EQ(record.Document(), kWebPage);
    EXPECT_FALSE(ReadsHeaderless(record, kBookPage));
}

TEST(ViewRecordTest, RegressionRefusedReaderLoadLeavesNoClaim) {
    ViewRecord record = Showing(kWebPage);
    AskReaderLoad(record, kBookPage);
    // Another address turned away is not the reader's load.
    record.NavigationRefused("http://example.com/");
    EXPECT_EQ(record.PendingLoad(), kBookPage);
    record.NavigationRefused(kBookPage);
    // WebKit shows the old address again; no load follows.
    record.AddressChanged(kWebPage);
    EXPECT_EQ(record.PendingLoad(), "");
    EXPECT_EQ(record.Document(), kWebPage);
    EXPECT_FALSE(ReadsHeaderless(record, kBookPage));
}

TEST(ViewRecordTest, RegressionFailedReaderLoadLeavesNoClaim) {
    ViewRecord record = Showing(kWebPage);
    AskReaderLoad(record, kBookPage);
    record.LoadStarted();
    record.LoadFailed(kBookPage);
    record.LoadFinished();
    EXPECT_FALSE(ReadsHeaderless(record, kBookPage));
}

// The older load's end arrives after the reader asked for the new one.
TEST(ViewRecordTest, ClaimOutlivesTheEndOfTheLoadItReplaced) {
    ViewRecord record = Showing(kWebPage);
    // The web page had committed and was still loading its pictures.
    AskReaderLoad(record, kBookPage);
    record.LoadFailed(kWebPage);
    record.LoadFinished();
    EXPECT_EQ(record.PendingLoad(), kBookPage);
    record.LoadStarted();
    EXPECT_TRUE(ReadsHeaderless(record, kBookPage));
    record.LoadCommitted(kBookPage);
    record.LoadFinished();
    EXPECT_EQ(record.Document(), kBookPage);
}

TEST(ViewRecordTest, LaterReaderLoadTakesOverTheClaim) {
    ViewRecord record = Showing(kWebPage);
    AskReaderLoad(record, kBookPage);
    AskReaderLoad(record, kOtherBookPage);
    // The first was cancelled before it began.
    record.LoadFailed(kBookPage);
    EXPECT_EQ(record.PendingLoad(), kOtherBookPage);
    record.LoadStarted();
    EXPECT_FALSE(ReadsHeaderless(record, kBookPage));
    EXPECT_TRUE(ReadsHeaderless(record, kOtherBookPage));
}

// A book opened at once after the window came up: the home page written at
// about:blank had not begun when the book's page was asked for, and its
// start and commit arrived after that.
TEST(ViewRecordTest, RegressionEarlierLoadsLateSignalsDoNotEndTheClaim) {
    ViewRecord record = Showing("about:blank");
    AskReaderLoad(record, "about:blank");
    AskReaderLoad(record, kBookPage);
    record.LoadStarted();
    record.LoadCommitted("about:blank");
    record.LoadFinished();
    EXPECT_EQ(record.PendingLoad(), kBookPage);
    // The page the earlier load committed does not share the claim.
    EXPECT_FALSE(ReadsHeaderless(record, kBookPage));
    record.LoadStarted();
    EXPECT_TRUE(ReadsHeaderless(record, kBookPage));
    record.LoadCommitted(kBookPage);
    EXPECT_EQ(record.PendingLoad(), "");
    EXPECT_EQ(record.Document(), kBookPage);
    // Loads WebKit drops without a signal: the first start is the claim's.
    ViewRecord silent = Showing("about:blank");
    AskReaderLoad(silent, "about:blank");
    AskReaderLoad(silent, "about:blank");
    AskReaderLoad(silent, kBookPage);
    silent.LoadStarted();
    EXPECT_TRUE(ReadsHeaderless(silent, kBookPage));
}

TEST(ViewRecordTest, FragmentOfTheShownPageMakesNoClaim) {
    ViewRecord record = Showing(kBookPage);
    AskReaderLoad(record, std::string(kBookPage) + "#part");
    EXPECT_EQ(record.PendingLoad(), "");
    EXPECT_EQ(record.Document(), std::string(kBookPage) + "#part");
    // The same page without a fragment is loaded again.
    ViewRecord web = Showing(kWebPage);
    AskReaderLoad(web, std::string(kWebPage) + "#part");
    EXPECT_EQ(web.PendingLoad(), "");
    AskReaderLoad(web, kBookPage);
    EXPECT_EQ(web.PendingLoad(), kBookPage);
}

// A page the reader wrote at about:blank takes the address of a load being
// asked for, not the book's rights.
TEST(ViewRecordTest, AddressOfAnAskedLoadIsNotTheDocument) {
    ViewRecord record = Showing("about:blank");
    AskReaderLoad(record, kBookPage);
    EXPECT_EQ(record.Document(), "about:blank");
    record.LoadStarted();
    record.AddressChanged(kBookPage);
    EXPECT_EQ(record.Document(), "about:blank");
}

TEST(ViewRecordTest, DocumentFollowsChangesOutsideALoad) {
    ViewRecord record = Showing(kBookPage);
    // A fragment or a pushed history entry of the page itself.
    record.AddressChanged(kOtherBookPage);
    EXPECT_EQ(record.Document(), kOtherBookPage);
    // A load WebKit was asked for but has not begun (a page going back).
    record.AddressChanged(kWebPage);
    EXPECT_EQ(record.Document(), kOtherBookPage);
    // A fresh window takes what its opener writes into it.
    ViewRecord window;
    window.AddressChanged(kBookPage);
    EXPECT_EQ(window.Document(), kBookPage);
}

TEST(ViewRecordTest, WindowOpenedByABookPageLoadsItsAddressOnly) {
    ViewRecord window;
    window.OpenedFor(kBookPage);
    EXPECT_TRUE(ReadsHeaderless(window, kBookPage));
    EXPECT_FALSE(ReadsHeaderless(window, kOtherBookPage));
    window.LoadStarted();
    window.LoadCommitted(kWebPage);
    EXPECT_FALSE(ReadsHeaderless(window, kBookPage));
}

}  // namespace
}  // namespace q3::server::scheme
