// contents, index, cat, search and extract: the document as the reader serves it.
#include <cstdio>

#include "cli.h"
#include "common/gbk.h"
#include "common/text.h"
#include "extract.h"
#include "server/full_text_search.h"
#include "server/ht_server.h"

namespace q3::tool {
namespace {

using server::ContentsEntry;
using server::MemoryContentsModel;
using server::Tdm_htServer;

// Opens FILE and builds its contents the way the reader's open does.
bool Load(const Args& args, Tdm_htServer& srv, MemoryContentsModel& model) {
    std::optional<std::string> password;
    if (args.Has("--password")) {
        password = Utf8ToGbk(args.Get("--password"));
        if (!password) {
            std::fprintf(stderr, "qbxtool: the password cannot be written in GBK\n");
            return false;
        }
    }
    server::OpenOutcome out =
        srv.OpenDocument(args.positional[0], [&](doc::TQBXManage&, std::string& p) {
            if (password)
                p = *password;
        });
    if (out.kind != server::OpenOutcome::kOpened) {
        std::fprintf(stderr, "%s\n", out.message.c_str());
        return false;
    }
    srv.LoadContents(out.contents_text, model);
    return true;
}

std::string RecordText(const ContentsEntry* e) {
    return e == nullptr ? "-" : std::to_string(e->RecordNo);
}

}  // namespace

int CmdContents(const Args& args) {
    if (args.positional.size() != 1)
        return Usage("contents takes one FILE");
    Tdm_htServer srv;
    MemoryContentsModel model;
    if (!Load(args, srv, model))
        return kCannot;
    for (auto [id, depth] : model.DisplayOrder()) {
        const MemoryContentsModel::Node& n = model.At(id);
        std::printf("%s%s\t%s\t%s\n", std::string(static_cast<size_t>(depth) * 2, ' ').c_str(),
                    Utf8(std::string(model.Caption(id))).c_str(), RecordText(n.entry).c_str(),
                    n.entry ? Utf8(n.entry->LocalPath).c_str() : "");
    }
    return kOk;
}

int CmdIndex(const Args& args) {
    if (args.positional.size() != 1)
        return Usage("index takes one FILE");
    Tdm_htServer srv;
    MemoryContentsModel model;
    if (!Load(args, srv, model))
        return kCannot;
    for (const auto& item : model.SortedIndex()) {
        std::printf("%s\t%s\t%s\n", Utf8(item.text).c_str(), RecordText(item.entry).c_str(),
                    Utf8(item.entry->LocalPath).c_str());
    }
    return kOk;
}

int CmdCat(const Args& args) {
    if (args.positional.size() != 2)
        return Usage("cat takes FILE and ADDRESS");
    Tdm_htServer srv;
    MemoryContentsModel model;
    if (!Load(args, srv, model))
        return kCannot;
    std::string body;
    const bool found = srv.ReadDataByStream(args.positional[1], body);
    std::fwrite(body.data(), 1, body.size(), stdout);
    if (std::fflush(stdout) != 0)
        return kCannot;
    return found ? kOk : kDamage;
}

int CmdSearch(const Args& args) {
    if (args.positional.size() != 2)
        return Usage("search takes FILE and WORD");
    const std::string raw = args.positional[1];
    Tdm_htServer srv;
    MemoryContentsModel model;
    if (!Load(args, srv, model))
        return kCannot;
    server::FullTextSearch search(srv, model, {[&] { return Utf8ToGbk(raw); }, {}, {}});
    const auto& results = Trim(raw).empty() ? search.Results() : search.Run();
    for (const auto& r : results) {
        std::printf("%s\t%s\n", Utf8(r.caption).c_str(), Utf8(r.entry->LocalPath).c_str());
    }
    std::printf("%s\n", server::SearchFinalText(raw, static_cast<int>(results.size())).c_str());
    if (search.StoppedOnDamage()) {
        std::fprintf(stderr,
                     "qbxtool: the search stopped: the records decode to more than the file "
                     "holds, the document is damaged\n");
        return kDamage;
    }
    return kOk;
}

int CmdExtract(const Args& args) {
    if (args.positional.size() != 2)
        return Usage("extract takes FILE and DIR");
    Tdm_htServer srv;
    MemoryContentsModel model;
    if (!Load(args, srv, model))
        return kCannot;
    ExtractReport r = ExtractAll(srv, args.positional[1], [](bool ok, const std::string& line) {
        std::fprintf(ok ? stdout : stderr, "%s\n", line.c_str());
    });
    return r.refused + r.failed > 0 || r.damaged ? kDamage : kOk;
}

}  // namespace q3::tool
