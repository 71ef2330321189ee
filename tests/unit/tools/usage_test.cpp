#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "cli.h"
#include "common/licence.h"
#include "support/man_page.h"

namespace q3::tool {
namespace {

std::set<std::string> OptionNames(const Command& command) {
    std::set<std::string> names;
    for (const Option& option : command.options)
        names.insert(option.name);
    return names;
}

// The synopsis is written by hand beside the table the parser reads.
TEST(Commands, SynopsisNamesExactlyTheOptionsTheCommandTakes) {
    for (const Command& command : Commands()) {
        EXPECT_EQ(q3::testing::OptionWords(command.synopsis), OptionNames(command)) << command.name;
    }
}

// So is the manual page: it must tell of every command and option, and of
// no option that the tool does not take.
TEST(Commands, ManualPageTellsOfEveryCommandAndOptionAndNoOther) {
    const std::string page = q3::testing::ReadManPage(Q3_MAN_DIR "/qbxtool.1.in");
    ASSERT_FALSE(page.empty()) << Q3_MAN_DIR "/qbxtool.1.in";
    std::set<std::string> known;
    for (const Command& command : Commands()) {
        EXPECT_NE(page.find(std::string("\n.BI \"") + command.name + " "), std::string::npos)
            << "the manual has no entry for " << command.name;
        for (const std::string& name : OptionNames(command)) {
            known.insert(name);
            EXPECT_TRUE(q3::testing::HasWord(page, name)) << "the manual lacks " << name;
        }
    }
    EXPECT_NE(page.find("\n.BI \"help \""), std::string::npos);
    for (const ToolOption& option : ToolOptions()) {
        for (const std::string name : {option.short_name, option.long_name}) {
            known.insert(name);
            EXPECT_TRUE(q3::testing::HasWord(page, name)) << "the manual lacks " << name;
        }
    }
    for (const std::string& word : q3::testing::OptionWords(page))
        EXPECT_TRUE(known.count(word)) << "the manual tells of " << word << ", which is no option";
}

std::string Printed(void (*print)(std::FILE*)) {
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    print(out);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

TEST(PrintVersion, NamesTheLicence) {
    const std::string text = Printed(&PrintVersion);
    EXPECT_TRUE(text.starts_with("qbxtool ")) << text;
    EXPECT_NE(text.find(std::string("\n") + kCopyrightLine + "\n" + kLicenceNotice),
              std::string::npos)
        << text;
}

}  // namespace
}  // namespace q3::tool
