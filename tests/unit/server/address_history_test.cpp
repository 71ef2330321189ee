#include "server/address_history.h"

#include <gtest/gtest.h>

#include "common/ini_file.h"
#include "support/temp_dir.h"

namespace q3::server {
namespace {

using q3::testing::TempDir;

AddressHistory NoFiles() {
    return AddressHistory([](const std::string&) { return false; });
}

TEST(AddressHistory, AddRules) {
    AddressHistory h = NoFiles();
    EXPECT_EQ(h.Add("  "), -1);
    EXPECT_EQ(h.Add("HTTP://"), -1);
    EXPECT_EQ(h.Add("http:///"), -1);
    EXPECT_EQ(h.Add("https://"), -1);  // a bare secure scheme is no address either
    EXPECT_EQ(h.Add("https:///"), -1);
    EXPECT_EQ(h.Add("http://a.org/"), 0);  // one trailing "/" dropped
    EXPECT_EQ(h.Add("http://a.org"), 0);   // already there: selected, not added
    EXPECT_EQ(h.Add("/books/b.qbx"), 1);
    EXPECT_EQ(h.Items(), (std::vector<std::string>{"http://a.org", "/books/b.qbx"}));
}

TEST(AddressHistory, ClearLinks) {
    const std::string existing = "/books/there.qbx";
    auto make = [&] {
        AddressHistory h([&](const std::string& p) { return p == existing; });
        for (const char* s : {"http://a.org", "about:blank", "/books/there.qbx", "/books/gone.qbx",
                              "ftp://http.example"})
            h.Add(s);
        return h;
    };
    AddressHistory web = make();
    web.ClearWebAddresses();  // keeps about:blank and document paths
    EXPECT_EQ(web.Items(), (std::vector<std::string>{"about:blank", "/books/there.qbx",
                                                     "/books/gone.qbx", "ftp://http.example"}));
    AddressHistory docs = make();
    docs.ClearDocuments();  // keeps what is no file and contains "http"
    EXPECT_EQ(docs.Items(), (std::vector<std::string>{"http://a.org", "ftp://http.example"}));
}

TEST(AddressHistory, StoreSkipsAboutBlankAndKeepsStaleKeys) {
    TempDir dir;
    const std::string path = dir.Write("RURLs.dat", "[URLs]\nCount=5\nurl4=old\n");
    AddressHistory h = NoFiles();
    h.Add("C:\\b\\A.QBX");
    h.Add("http://a.org");
    h.Add("about:blank");
    ASSERT_TRUE(h.Store(path));
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    EXPECT_EQ(ini.ReadInteger("URLs", "Count", 0), 2);
    EXPECT_EQ(ini.ReadString("URLs", "url0", ""), "C:\\b\\A.QBX");
    EXPECT_EQ(ini.ReadString("URLs", "url1", ""), "http://a.org");
    EXPECT_EQ(ini.ReadString("URLs", "url4", ""), "old");  // never erased
}

TEST(AddressHistory, LoadReadsOnlyUpToTheCountAndSkipsEmptyKeys) {
    TempDir dir;
    AddressHistory h = NoFiles();
    ASSERT_TRUE(h.Load(dir.Write("a.dat", "[URLs]\nCount=3\nurl0=a\nurl1=\nurl2=c\nurl3=d\n")));
    EXPECT_EQ(h.Items(), (std::vector<std::string>{"a", "c"}));
    AddressHistory none = NoFiles();
    EXPECT_TRUE(none.Load(dir.File("missing.dat")));
    EXPECT_TRUE(none.Items().empty());
}

TEST(AddressHistory, RegressionHugeCountIsTrustedOnlyAsFarAsTheLines) {
    TempDir dir;
    AddressHistory h = NoFiles();
    // The count claims 2^31 - 1 entries; the start read each one that is not there.
    ASSERT_TRUE(h.Load(dir.Write("a.dat", "[URLs]\nCount=2147483647\nurl0=a\nurl1=b\n")));
    EXPECT_EQ(h.Items(), (std::vector<std::string>{"a", "b"}));
    AddressHistory negative = NoFiles();
    ASSERT_TRUE(negative.Load(dir.Write("b.dat", "[URLs]\nCount=-5\nurl0=a\n")));
    EXPECT_TRUE(negative.Items().empty());
}

TEST(AddressHistory, KeepsTheNewestItemsUpToItsLength) {
    TempDir dir;
    const size_t extra = 5;
    std::string text = "[URLs]\nCount=" + std::to_string(AddressHistory::kMaxItems + extra) + "\n";
    for (size_t i = 0; i < AddressHistory::kMaxItems + extra; ++i)
        text += "url" + std::to_string(i) + "=http://h/" + std::to_string(i) + "\n";
    AddressHistory h = NoFiles();
    ASSERT_TRUE(h.Load(dir.Write("RURLs.dat", text)));
    ASSERT_EQ(h.Items().size(), AddressHistory::kMaxItems);
    EXPECT_EQ(h.Items().front(), "http://h/5");  // the oldest went
    EXPECT_EQ(h.Items().back(), "http://h/" + std::to_string(AddressHistory::kMaxItems + 4));
    // A dropped item is new again; one still kept is found, not doubled.
    EXPECT_EQ(h.Add("http://h/0"), static_cast<int>(AddressHistory::kMaxItems) - 1);
    EXPECT_EQ(h.Add("http://h/7"), 1);
    EXPECT_EQ(h.Items().front(), "http://h/6");
    h.ClearWebAddresses();
    EXPECT_EQ(h.Add("http://h/7"), 0);  // forgotten with its list
}

TEST(AddressHistory, UnwritableFileFailsStore) {
    AddressHistory h = NoFiles();
    h.Add("x");
    EXPECT_FALSE(h.Store("/nonexistent-folder-q3/RURLs.dat"));
}

TEST(IsDocumentItem, Table) {
    EXPECT_TRUE(IsDocumentItem("C:\\b\\A.QBX"));
    EXPECT_TRUE(IsDocumentItem("/home/u/book.qbx"));
    EXPECT_FALSE(IsDocumentItem("http://a.org/page.htm"));
    EXPECT_FALSE(IsDocumentItem("/home/u.qbx/book"));
}

}  // namespace
}  // namespace q3::server
