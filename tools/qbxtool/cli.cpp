#include "cli.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "common/gbk.h"
#include "server/ht_server.h"

namespace q3::tool {

std::string Args::Get(const std::string& name, const std::string& fallback) const {
    auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
}

namespace {

bool IsNegativeNumber(const std::string& a) {
    return a.size() > 1 && a[0] == '-' && a.find_first_not_of("0123456789", 1) == std::string::npos;
}

}  // namespace

std::optional<Args> ParseArgs(int argc, char** argv, int first,
                              const std::vector<std::string>& value_options,
                              const std::vector<std::string>& flag_options) {
    Args args;
    auto is = [](const std::vector<std::string>& list, const std::string& s) {
        return std::find(list.begin(), list.end(), s) != list.end();
    };
    bool options_end = false;
    for (int i = first; i < argc; ++i) {
        std::string a = argv[i];
        if (options_end || a == "-" || a.empty() || a[0] != '-' || IsNegativeNumber(a)) {
            args.positional.push_back(a);
            continue;
        }
        if (a == "--") {
            options_end = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            args.help = true;
            return args;
        }
        const size_t eq = a.find('=');
        if (a.rfind("--", 0) == 0 && eq != std::string::npos &&
            is(value_options, a.substr(0, eq))) {
            args.options[a.substr(0, eq)] = a.substr(eq + 1);
        } else if (is(value_options, a)) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "qbxtool: %s needs a value\n", a.c_str());
                return std::nullopt;
            }
            args.options[a] = argv[++i];
        } else if (is(flag_options, a)) {
            args.options[a] = "";
        } else {
            std::fprintf(stderr, "qbxtool: unknown option %s\n", a.c_str());
            return std::nullopt;
        }
    }
    return args;
}

RecordArg ParseRecordArg(const std::string& s) {
    RecordArg out;
    const size_t digits = s.empty() || (s[0] != '-' && s[0] != '+') ? 0 : 1;
    if (s.size() == digits || s.find_first_not_of("0123456789", digits) != std::string::npos)
        return out;
    out.is_number = true;
    int64_t v = 0;
    for (size_t i = digits; i < s.size(); ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > int64_t{INT32_MAX} + 1)
            return out;
    }
    if (s[0] == '-')
        v = -v;
    if (v >= INT32_MIN && v <= INT32_MAX)
        out.record = static_cast<int32_t>(v);
    return out;
}

std::unique_ptr<doc::TQBXManage> OpenDocument(const std::string& file, const Args& args) {
    auto manager = std::make_unique<doc::TQBXManage>(file);
    std::optional<std::string> password;
    if (args.Has("--password")) {
        password = Utf8ToGbk(args.Get("--password"));
        if (!password) {
            std::fprintf(stderr, "qbxtool: the password cannot be written in GBK\n");
            return nullptr;
        }
    }
    try {
        manager->Open([&](doc::TQBXManage&, std::string& p) {
            if (password)
                p = *password;
        });
    } catch (const doc::OpenError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return nullptr;
    }
    return manager;
}

std::string Utf8(std::string_view gbk) {
    return GbkToUtf8(gbk);
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"info", "FILE [--password P]", "the document's fields", CmdInfo, {"--password"}, {}},
        {"records",
         "FILE [--password P]",
         "one line per directory entry",
         CmdRecords,
         {"--password"},
         {}},
        {"record",
         "FILE N [--password P]",
         "record N's content to stdout",
         CmdRecord,
         {"--password"},
         {}},
        {"verify",
         "FILE [--password P]",
         "read every record, list failures",
         CmdVerify,
         {"--password"},
         {}},
        {"contents", "FILE [--password P]", "the contents tree", CmdContents, {"--password"}, {}},
        {"index", "FILE [--password P]", "the alphabetic index", CmdIndex, {"--password"}, {}},
        {"cat",
         "FILE ADDRESS [--password P]",
         "the bytes served for a qbx://reader/ address",
         CmdCat,
         {"--password"},
         {}},
        {"search", "FILE WORD [--password P]", "full-text search", CmdSearch, {"--password"}, {}},
        {"extract",
         "FILE DIR [--password P]",
         "write every item under DIR",
         CmdExtract,
         {"--password"},
         {}},
        {"pack",
         "DIR -o OUT.qbx [--contents SITEMAP] [--subject S] [--author A]\n"
         "       [--producer P] [--remarks R] [--password P] [--to-gbk]",
         "pack a folder into a document",
         CmdPack,
         {"-o", "--contents", "--subject", "--author", "--producer", "--remarks", "--password"},
         {"--to-gbk"}},
    };
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : Commands()) {
        if (name == c.name)
            return &c;
    }
    return nullptr;
}

void PrintUsage(std::FILE* out) {
    std::fputs("usage: qbxtool COMMAND ...\n", out);
    for (const Command& c : Commands()) {
        std::fprintf(out, "  %s %s\n      %s\n", c.name, c.synopsis, c.summary);
    }
    std::fputs(
        "\n"
        "  qbxtool --help, qbxtool COMMAND --help, qbxtool --version\n"
        "Texts and passwords are UTF-8 on the command line; \"--\" ends the options.\n"
        "Exit status: 0 success, 1 damage found (or a record that cannot be read),\n"
        "2 the document cannot be opened or bad usage.\n",
        out);
}

void PrintCommandHelp(const Command& command, std::FILE* out) {
    std::fprintf(out, "usage: qbxtool %s %s\n%s\n", command.name, command.synopsis,
                 command.summary);
    if (std::find(command.value_options.begin(), command.value_options.end(), "--password") !=
        command.value_options.end())
        std::fputs("  --password P   the document's password (UTF-8)\n", out);
}

void PrintVersion(std::FILE* out) {
    std::fprintf(out, "qbxtool %s (Quillon3 build %d)\n", Q3_VERSION, server::kReaderBuild);
}

int Usage(const char* message) {
    if (message == nullptr) {
        PrintUsage(stderr);
    } else {
        std::fprintf(stderr, "qbxtool: %s\nTry 'qbxtool --help' for more information.\n", message);
    }
    return kCannot;
}

}  // namespace q3::tool
