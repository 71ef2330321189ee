#include "server/link_rules.h"

#include <gtest/gtest.h>

namespace q3::server {
namespace {

LinkAction Classify(const std::string& address, bool archive = false,
                    const std::string& existing = "") {
    return ClassifyNavigation(
        address, [&](std::string_view) { return archive; },
        [&](const std::string& p) { return p == existing; });
}

TEST(ClassifyNavigation, RulesInOrder) {
    struct Case {
        std::string address;
        LinkAction::Kind kind;
        std::string path;
    } cases[] = {
        {"commnet://|C:%5Cbooks%5Ca.qbx|", LinkAction::kComment, "C:\\books\\a.qbx"},
        {"open://|C:%5Cbooks%5Ca.qbx|", LinkAction::kOpen, "C:\\books\\a.qbx"},
        {"open://|http://a.org|", LinkAction::kOpen, "http://a.org"},  // has ":"
        {"open://|www.a.org|", LinkAction::kNavigateTo, "www.a.org"},  // no file, no folder
        {"clear:(url)", LinkAction::kClearWeb, ""},
        {"clear:(qbx)", LinkAction::kClearDocuments, ""},
        {"clear:(anything)", LinkAction::kClearDocuments, ""},
        {"open:(help)", LinkAction::kOpenHelp, ""},
        {"open:(qbx)", LinkAction::kOpenDialog, ""},
        {"open:(other)", LinkAction::kIgnore, ""},
        {"http://a.org/x", LinkAction::kNavigate, ""},
        {"qbx://reader/a.htm", LinkAction::kNavigate, ""},
        {"Open:(help)", LinkAction::kNavigate, ""},  // matched as written
    };
    for (const Case& c : cases) {
        LinkAction a = Classify(c.address);
        EXPECT_EQ(a.kind, c.kind) << c.address;
        EXPECT_EQ(a.path, c.path) << c.address;
        EXPECT_EQ(a.Cancels(), c.kind != LinkAction::kNavigate) << c.address;
    }
}

TEST(ClassifyNavigation, SchemesTheBrowserCannotShowGoToTheDesktop) {
    const std::string mail = "mailto:support@quillon3.net?subject=Bug%E6%8A%A5%E5%91%8A";
    EXPECT_EQ(Classify(mail).kind, LinkAction::kDesktop);
    EXPECT_EQ(Classify(mail).path, mail);  // handed over exactly as the page wrote it
    EXPECT_EQ(Classify("MailTo:a@b.org").kind, LinkAction::kDesktop);
    EXPECT_EQ(Classify("tel:+861012345678").kind, LinkAction::kDesktop);
    for (const char* shown :
         {"https://a.org/", "file:///tmp/a.htm", "about:blank", "data:,x", "javascript:void(0)",
          "qbx://reader/a.htm", "clear:x", "open:x", "localhost:8080/x"}) {
        EXPECT_EQ(Classify(shown).kind, LinkAction::kNavigate) << shown;
    }
}

// Regression: a form anywhere inside an address acted, so a web page's
// own address or query could open local documents or send the book's fields.
TEST(ClassifyNavigation, RegressionFormsCountOnlyAtTheStart) {
    for (const char* web : {"http://a.org/?open://|/home/u/b.qbx|", "http://a.org/commnet://|x|",
                            "https://a.org/p#open://|x|"}) {
        EXPECT_EQ(Classify(web).kind, LinkAction::kNavigate) << web;
    }
}

TEST(ClassifyNavigation, ExistingFileWithoutFolderOpens) {
    EXPECT_EQ(Classify("open://|a.qbx|", false, "a.qbx").kind, LinkAction::kOpen);
}

TEST(ClassifyNavigation, ArchiveRuleOnlyForDocumentAddresses) {
    EXPECT_EQ(Classify("qbx://reader/files/a.zip", true).kind, LinkAction::kArchiveSaved);
    EXPECT_EQ(Classify("http://a.org/a.zip", true).kind, LinkAction::kNavigate);
}

TEST(IsArchiveAddress, ExtensionIsCaseSensitive) {
    EXPECT_TRUE(IsArchiveAddress("qbx://reader/files/a.zip"));
    EXPECT_TRUE(IsArchiveAddress("qbx://reader/a.7z"));
    EXPECT_FALSE(IsArchiveAddress("qbx://reader/files/a.ZIP"));
    EXPECT_FALSE(IsArchiveAddress("qbx://reader/a.htm"));
    EXPECT_FALSE(IsArchiveAddress("qbx://reader/zip"));
}

}  // namespace
}  // namespace q3::server
