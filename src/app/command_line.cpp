#include "command_line.h"

#include <algorithm>

#include "common/licence.h"
#include "server/ht_server.h"

#ifndef QUILLON3_VERSION
#define QUILLON3_VERSION "0"
#endif

namespace q3::app {

const std::vector<Option>& Options() {
    static const std::vector<Option> options = {
        {"-h", "--help", InfoRequest::kHelp, "print this help and exit"},
        {"-V", "--version", InfoRequest::kVersion, "print the version and licence and exit"},
        {"", "--", InfoRequest::kNone, "take the next argument as FILE even if it starts with -"},
    };
    return options;
}

InfoRequest InfoRequestOf(const std::vector<std::string>& args) {
    if (args.empty())
        return InfoRequest::kNone;
    const std::string& first = args.front();
    for (const Option& option : Options()) {
        if (first == option.short_name || first == option.long_name)
            return option.request;
    }
    return InfoRequest::kNone;
}

namespace {

std::string HelpText() {
    std::string text =
        "Usage: quillon3 [FILE]\n"
        "Reads QBX e-books. FILE, when it names an existing document, is opened\n"
        "at start; other arguments are ignored.\n"
        "\n";
    for (const Option& option : Options()) {
        std::string names = option.short_name;
        if (!names.empty())
            names += ", ";
        names += option.long_name;
        names.resize(std::max<size_t>(names.size() + 2, 15), ' ');
        text += "  " + names + option.help + "\n";
    }
    text += "\nSee quillon3(1) and qbxtool(1).\n";
    return text;
}

}  // namespace

std::string InfoText(InfoRequest request) {
    switch (request) {
        case InfoRequest::kHelp:
            return HelpText();
        case InfoRequest::kVersion:
            return "quillon3 (Quillon3) " QUILLON3_VERSION ", build " +
                   std::to_string(server::kReaderBuild) + "\n" + kCopyrightLine + "\n" +
                   kLicenceNotice;
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
