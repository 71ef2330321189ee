// qbxtool: the reader's core on the command line.
#include <clocale>
#include <cstdio>
#include <string>

#include "cli.h"

int main(int argc, char** argv) {
    using namespace q3::tool;
    std::setlocale(LC_ALL, "");
    if (argc < 2)
        return Usage();
    const std::string first = argv[1];
    if (first == "help") {
        if (argc > 2) {
            const Command* c = FindCommand(argv[2]);
            if (c == nullptr)
                return Usage((std::string("unknown command ") + argv[2]).c_str());
            PrintCommandHelp(*c, stdout);
        } else {
            PrintUsage(stdout);
        }
        return kOk;
    }
    if (const ToolOption* option = FindToolOption(first)) {
        if (option->request == ToolRequest::kVersion)
            PrintVersion(stdout);
        else
            PrintUsage(stdout);
        return kOk;
    }
    const Command* command = FindCommand(first);
    if (command == nullptr)
        return Usage(("unknown command " + first).c_str());
    auto args = ParseArgs(argc, argv, 2, command->options);
    if (!args)
        return Usage();
    if (args->help) {
        PrintCommandHelp(*command, stdout);
        return kOk;
    }
    return command->run(*args);
}
