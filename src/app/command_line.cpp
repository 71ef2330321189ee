#include "command_line.h"

#include "server/ht_server.h"

#ifndef QUILLON3_VERSION
#define QUILLON3_VERSION "0"
#endif

namespace q3::app {

InfoRequest InfoRequestOf(const std::vector<std::string>& args) {
    if (args.empty())
        return InfoRequest::kNone;
    const std::string& first = args.front();
    if (first == "-h" || first == "--help")
        return InfoRequest::kHelp;
    if (first == "-V" || first == "--version")
        return InfoRequest::kVersion;
    return InfoRequest::kNone;
}

std::string InfoText(InfoRequest request) {
    switch (request) {
        case InfoRequest::kHelp:
            return "Usage: quillon3 [FILE]\n"
                   "Reads QBX e-books. FILE, when it names an existing document, is opened\n"
                   "at start; other arguments are ignored.\n"
                   "\n"
                   "  -h, --help     print this help and exit\n"
                   "  -V, --version  print the version and exit\n"
                   "  --             take the next argument as FILE even if it starts with -\n"
                   "\n"
                   "See quillon3(1) and qbxtool(1).\n";
        case InfoRequest::kVersion:
            return "quillon3 (Quillon3) " QUILLON3_VERSION ", build " +
                   std::to_string(server::kReaderBuild) + "\n";
        case InfoRequest::kNone:
            break;
    }
    return {};
}

std::vector<std::string> WindowArguments(std::vector<std::string> args) {
    if (!args.empty() && args.front() == "--")
        args.erase(args.begin());
    return args;
}

}  // namespace q3::app
