#include "cli.h"

#include <climits>
#include <cstdio>

#include "common/gbk.h"

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
                              const std::vector<Option>& options) {
    Args args;
    auto find = [&](const std::string& name) -> const Option* {
        for (const Option& o : options) {
            if (name == o.name)
                return &o;
        }
        return nullptr;
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
        const Option* with_value = eq == std::string::npos ? nullptr : find(a.substr(0, eq));
        const Option* option = find(a);
        if (a.rfind("--", 0) == 0 && with_value != nullptr && with_value->value != nullptr) {
            args.options[a.substr(0, eq)] = a.substr(eq + 1);
        } else if (option != nullptr && option->value != nullptr) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "qbxtool: %s needs a value\n", a.c_str());
                return std::nullopt;
            }
            args.options[a] = argv[++i];
        } else if (option != nullptr) {
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

int Usage(const char* message) {
    if (message == nullptr) {
        PrintUsage(stderr);
    } else {
        std::fprintf(stderr, "qbxtool: %s\nTry 'qbxtool --help' for more information.\n", message);
    }
    return kCannot;
}

}  // namespace q3::tool
