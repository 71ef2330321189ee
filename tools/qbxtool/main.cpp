// qbxtool: the reader's core on the command line.
#include <clocale>
#include <cstring>
#include <string>

#include "cli.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const q3::tool::Args&);
    std::vector<std::string> value_options;
    std::vector<std::string> flag_options;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace q3::tool;
    std::setlocale(LC_ALL, "");
    if (argc < 2) return Usage();
    const std::vector<Command> commands = {
        {"info", CmdInfo, {"--password"}, {}},
        {"records", CmdRecords, {"--password"}, {}},
        {"record", CmdRecord, {"--password"}, {}},
        {"verify", CmdVerify, {"--password"}, {}},
        {"contents", CmdContents, {"--password"}, {}},
        {"index", CmdIndex, {"--password"}, {}},
        {"cat", CmdCat, {"--password"}, {}},
        {"search", CmdSearch, {"--password"}, {}},
        {"extract", CmdExtract, {"--password"}, {}},
        {"pack",
         CmdPack,
         {"-o", "--contents", "--subject", "--author", "--producer", "--remarks", "--password"},
         {"--to-gbk"}},
    };
    for (const Command& c : commands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        auto args = ParseArgs(argc, argv, 2, c.value_options, c.flag_options);
        if (!args) return Usage();
        return c.run(*args);
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        Usage();
        return kOk;
    }
    return Usage((std::string("unknown command ") + argv[1]).c_str());
}
