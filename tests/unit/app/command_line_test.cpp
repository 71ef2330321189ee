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
    EXPECT_TRUE(InfoText(InfoRequest::kHelp).starts_with("Usage: quillon3 [FILE]\n"));
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

TEST(WindowArguments, DropsOneLeadingDoubleDash) {
    EXPECT_EQ(WindowArguments({"--", "-odd.qbx"}), (Args{"-odd.qbx"}));
    EXPECT_EQ(WindowArguments({"--", "--"}), (Args{"--"}));
    EXPECT_EQ(WindowArguments({"book.qbx", "--"}), (Args{"book.qbx", "--"}));
    EXPECT_EQ(WindowArguments({}), Args{});
}

}  // namespace
}  // namespace q3::app
