#include "cli.h"

#include <algorithm>
#include <cstdio>

#include "common/gbk.h"

namespace q3::tool {

std::string Args::Get(const std::string& name, const std::string& fallback) const {
    auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
}

std::optional<Args> ParseArgs(int argc, char** argv, int first,
                              const std::vector<std::string>& value_options,
                              const std::vector<std::string>& flag_options) {
    Args args;
    auto is = [](const std::vector<std::string>& list, const std::string& s) {
        return std::find(list.begin(), list.end(), s) != list.end();
    };
    for (int i = first; i < argc; ++i) {
        std::string a = argv[i];
        if (is(value_options, a)) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "qbxtool: %s needs a value\n", a.c_str());
                return std::nullopt;
            }
            args.options[a] = argv[++i];
        } else if (is(flag_options, a)) {
            args.options[a] = "";
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            std::fprintf(stderr, "qbxtool: unknown option %s\n", a.c_str());
            return std::nullopt;
        } else {
            args.positional.push_back(a);
        }
    }
    return args;
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
            if (password) p = *password;
        });
    } catch (const doc::OpenError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return nullptr;
    }
    return manager;
}

std::string Utf8(std::string_view gbk) { return GbkToUtf8(gbk); }

int Usage(const char* message) {
    if (message != nullptr) std::fprintf(stderr, "qbxtool: %s\n", message);
    std::fputs(
        "usage: qbxtool COMMAND ...\n"
        "  info FILE [--password P]           the document's fields\n"
        "  records FILE [--password P]        one line per directory entry\n"
        "  record FILE N [--password P]       record N's content to stdout\n"
        "  verify FILE [--password P]         read every record, list failures\n"
        "  contents FILE [--password P]       the contents tree\n"
        "  index FILE [--password P]          the alphabetic index\n"
        "  cat FILE ADDRESS [--password P]    the bytes served for a qbx://reader/ address\n"
        "  search FILE WORD [--password P]    full-text search\n"
        "  extract FILE DIR [--password P]    write every item under DIR\n"
        "  pack DIR -o OUT.qbx [--contents SITEMAP] [--subject S] [--author A]\n"
        "       [--producer P] [--remarks R] [--password P] [--to-gbk]\n",
        stderr);
    return kCannot;
}

}  // namespace q3::tool
