#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(InfoText, VersionNamesTheReleaseAndTheBuild) {
    EXPECT_EQ(InfoText(InfoRequest::kVersion),
              "quillon3 (Quillon3) " QUILLON3_VERSION ", build 20090915\n");
    EXPECT_TRUE(InfoText(InfoRequest::kHelp).starts_with("Usage: quillon3 [FILE]\n"));
    EXPECT_EQ(InfoText(InfoRequest::kNone), "");
}

TEST(WindowArguments, DropsOneLeadingDoubleDash) {
    EXPECT_EQ(WindowArguments({"--", "-odd.qbx"}), (Args{"-odd.qbx"}));
    EXPECT_EQ(WindowArguments({"--", "--"}), (Args{"--"}));
    EXPECT_EQ(WindowArguments({"book.qbx", "--"}), (Args{"book.qbx", "--"}));
    EXPECT_EQ(WindowArguments({}), Args{});
}

}  // namespace
}  // namespace q3::app
