// pack: a folder into a document.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "cli.h"
#include "common/gbk.h"
#include "document/format.h"
#include "qbxtool/packer.h"

namespace q3::tool {

namespace {

// The creation time: SOURCE_DATE_EPOCH when it is set, so that a build packs
// the same bytes every time, else the local time now.
uint32_t CreationTime() {
    std::tm tm{};
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    char* end = nullptr;
    const long long seconds = epoch != nullptr ? std::strtoll(epoch, &end, 10) : 0;
    if (epoch != nullptr && *epoch != '\0' && end != nullptr && *end == '\0' && seconds >= 0) {
        const std::time_t t = static_cast<std::time_t>(seconds);
        gmtime_r(&t, &tm);
    } else {
        const std::time_t t = std::time(nullptr);
        localtime_r(&t, &tm);
    }
    // The MS-DOS form holds the years 1980 to 2107.
    const int year = tm.tm_year + 1900;
    if (year < 1980)
        return doc::MakeDosDateTime(1980, 1, 1, 0, 0, 0);
    if (year > 2107)
        return doc::MakeDosDateTime(2107, 12, 31, 23, 59, 58);
    return doc::MakeDosDateTime(year, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

struct TextField {
    const char* option;
    const char* what;
    size_t capacity;  // bytes of GBK the document keeps
    std::string doc::DocumentInfo::*target;
};

// Command-line texts are UTF-8; the document holds GBK. False (with the
// message printed) when one cannot be written in GBK.
bool FillTexts(const Args& args, doc::DocumentInfo& info) {
    static const TextField kFields[] = {
        {"--subject", "subject", 128, &doc::DocumentInfo::Subject},
        {"--author", "author", 48, &doc::DocumentInfo::BookAuthor},
        {"--producer", "producer", 48, &doc::DocumentInfo::Producer},
        {"--remarks", "remarks", 255, &doc::DocumentInfo::Remarks},
    };
    for (const TextField& f : kFields) {
        if (!args.Has(f.option))
            continue;
        auto gbk = Utf8ToGbk(args.Get(f.option));
        if (!gbk) {
            std::fprintf(stderr, "qbxtool: the %s cannot be written in GBK\n", f.what);
            return false;
        }
        if (gbk->size() > f.capacity)
            std::fprintf(stderr, "qbxtool: warning: the %s is cut to %zu bytes of GBK\n", f.what,
                         f.capacity);
        info.*f.target = std::move(*gbk);
    }
    return true;
}

bool FillPassword(const Args& args, doc::DocumentInfo& info) {
    if (!args.Has("--password"))
        return true;
    auto gbk = Utf8ToGbk(args.Get("--password"));
    if (!gbk) {
        std::fprintf(stderr, "qbxtool: the password cannot be written in GBK\n");
        return false;
    }
    if (gbk->size() > 255) {
        std::fprintf(stderr, "qbxtool: the password is longer than 255 bytes of GBK\n");
        return false;
    }
    if (gbk->empty())
        std::fprintf(stderr, "qbxtool: warning: an empty password leaves the document open\n");
    info.Password = std::move(*gbk);
    return true;
}

}  // namespace

int CmdPack(const Args& args) {
    if (args.positional.size() != 1)
        return Usage("pack takes one DIR");
    if (args.Get("-o").empty())
        return Usage("pack needs -o OUT.qbx");
    PackOptions options;
    options.dir = args.positional[0];
    options.out = args.Get("-o");
    if (args.Has("--contents"))
        options.contents = args.Get("--contents");
    options.to_gbk = args.Has("--to-gbk");
    if (!FillTexts(args, options.info) || !FillPassword(args, options.info))
        return kCannot;
    options.info.CreatedAt = CreationTime();

    Warnings warnings;
    auto print_warnings = [&] {
        for (const std::string& w : warnings)
            std::fprintf(stderr, "qbxtool: warning: %s\n", w.c_str());
    };
    try {
        const PackSummary summary = PackFolder(options, warnings);
        print_warnings();
        std::printf("packed %d files into %s (%d records)\n", summary.files,
                    options.out.string().c_str(), summary.records);
        return kOk;
    } catch (const PackError& e) {
        print_warnings();
        std::fprintf(stderr, "qbxtool: %s\n", e.what());
        return kCannot;
    }
}

}  // namespace q3::tool
