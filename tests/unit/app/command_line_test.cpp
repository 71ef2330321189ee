#include "command_line.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/licence.h"
#include "support/man_page.h"

namespace q3::app {
namespace {

using Args = std::vector<std::string>;

TEST(InfoRequestOf, OnlyTheFirstArgumentAsksForInformation) {
    const struct {
        Args args;
        InfoRequest expected;
    } cases[] = {
        {{}, InfoRequest::kNone},
        {{"--help"}, InfoRequest::kHelp},
        {{"-h", "book.qbx"}, InfoRequest::kHelp},
        {{"--version"}, InfoRequest::kVersion},
        {{"-V"}, InfoRequest::kVersion},
        {{"book.qbx", "--help"}, InfoRequest::kNone},  // the rest is ignored
        {{"--", "--help"}, InfoRequest::kNone},        // a document named --help
        {{"--helpme"}, InfoRequest::kNone},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InfoRequestOf(c.args), c.expected) << (c.args.empty() ? "" : c.args[0]);
    }
}

TEST(InfoText, VersionNamesTheReleaseTheBuildAndTheLicence) {
    EXPECT_EQ(InfoText(InfoRequest::kVersion),
              std::string("quillon3 (Quillon3) " QUILLON3_VERSION ", build 20090915\n") +
                  kCopyrightLine + "\n" + kLicenceNotice);
    EXPECT_TRUE(InfoText(InfoRequest::kHelp)
                    .starts_with("Usage: quillon3 [--page PATH] [--search WORD] [FILE]\n"));
    EXPECT_EQ(InfoText(InfoRequest::kNone), "");
}

// The manual page is written by hand; it must tell of every option the
// program takes, and of none that it does not.
TEST(Options, ManualPageTellsOfEveryOptionAndNoOther) {
    const std::string page = q3::testing::ReadManPage(Q3_MAN_DIR "/quillon3.1.in");
    ASSERT_FALSE(page.empty()) << Q3_MAN_DIR "/quillon3.1.in";
    std::set<std::string> known;
    for (const Option& option : Options()) {
        for (const std::string name : {option.short_name, option.long_name}) {
            if (name.empty())
                continue;
            known.insert(name);
            EXPECT_TRUE(q3::testing::HasWord(page, name)) << "the manual lacks " << name;
        }
    }
    for (const std::string& word : q3::testing::OptionWords(page))
        EXPECT_TRUE(known.count(word)) << "the manual tells of " << word << ", which is no option";
}

bool OnlyBooksExist(const std::string& path) {
    return path.ends_with(".qbx");
}

TEST(ParseStartRequest, ReadsTheBookItsPageAndItsSearchWord) {
    const struct {
        Args args;
        StartRequest expected;
    } cases[] = {
        {{}, {}},
        {{"book.qbx"}, {"book.qbx", "", "", ""}},
        {{"book.qbx", "other.qbx"}, {"book.qbx", "", "", ""}},  // only the first
        {{"notes.txt"}, {"notes.txt", "", "", ""}},             // the window ignores it, as before
        {{"--helpme"}, {"--helpme", "", "", ""}},
        {{"--", "-odd.qbx"}, {"-odd.qbx", "", "", ""}},
        {{"--", "--"}, {"--", "", "", ""}},
        {{"--", "--page"}, {"--page", "", "", ""}},
        {{"book.qbx", "--"}, {"book.qbx", "", "", ""}},
        {{"--page", "ch1/intro.htm#usage", "book.qbx"},
         {"book.qbx", "ch1/intro.htm#usage", "", ""}},
        {{"--page=a b.htm", "book.qbx"}, {"book.qbx", "a b.htm", "", ""}},
        {{"book.qbx", "--search", "linker"}, {"book.qbx", "", "linker", ""}},
        {{"--search=--page", "--", "-x.qbx"}, {"-x.qbx", "", "--page", ""}},
        {{"--page", "--search", "book.qbx"}, {"book.qbx", "--search", "", ""}},
    };
    for (const auto& c : cases) {
        const StartRequest got = ParseStartRequest(c.args, OnlyBooksExist);
        const std::string where = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(got.book, c.expected.book) << where;
        EXPECT_EQ(got.page, c.expected.page) << where;
        EXPECT_EQ(got.search_word, c.expected.search_word) << where;
        EXPECT_EQ(got.error, "") << where;
    }
}

TEST(ParseStartRequest, BadUsageIsToldAndOpensNothing) {
    const struct {
        Args args;
        std::string error;
    } cases[] = {
        {{"--page"}, "option '--page' needs a PATH"},
        {{"book.qbx", "--page"}, "option '--page' needs a PATH"},
        {{"--page="}, "option '--page' needs a PATH"},
        {{"--search", "", "book.qbx"}, "option '--search' needs a WORD"},
        {{"--page", "intro.htm"}, "option '--page' needs a FILE to open"},
        {{"--search", "w", "--"}, "option '--search' needs a FILE to open"},
        {{"--page", "intro.htm", "gone.txt"}, "gone.txt: no such file"},
        {{"--search=\xff\xfe", "book.qbx"}, "the value of '--search' is not UTF-8 text"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseStartRequest(c.args, OnlyBooksExist).error, c.error) << c.args[0];
}

TEST(ForwardedArguments, ReadBackAsTheSameRequestWhereverTheyAreRead) {
    StartRequest request{"../books/-odd.qbx", "--page", "--help", ""};
    const Args forwarded = ForwardedArguments(request, "/home/reader/work");
    EXPECT_EQ(forwarded, (Args{"--page=--page", "--search=--help", "/home/reader/books/-odd.qbx"}));
    const StartRequest back = ParseStartRequest(forwarded, [](const std::string&) { return true; });
    EXPECT_EQ(back.book, "/home/reader/books/-odd.qbx");
    EXPECT_EQ(back.page, "--page");
    EXPECT_EQ(back.search_word, "--help");
    EXPECT_EQ(ForwardedArguments({"/abs/b.qbx", "", "", ""}, "/elsewhere"), Args{"/abs/b.qbx"});
    EXPECT_EQ(ForwardedArguments({}, "/elsewhere"), Args{});
}

}  // namespace
}  // namespace q3::app
