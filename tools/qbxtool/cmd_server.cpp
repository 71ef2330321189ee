// contents, index, cat, search and extract: the document as the reader serves it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "cli.h"
#include "common/gbk.h"
#include "common/text.h"
#include "server/full_text_search.h"
#include "server/ht_server.h"

namespace q3::tool {
namespace {

namespace fs = std::filesystem;
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
            if (password) p = *password;
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
    if (args.positional.size() != 1) return Usage("contents takes one FILE");
    Tdm_htServer srv;
    MemoryContentsModel model;
    if (!Load(args, srv, model)) return kCannot;
    for (auto [id, depth] : model.DisplayOrder()) {
        const MemoryContentsModel::Node& n = model.At(id);
        std::printf("%s%s\t%s\t%s\n", std::string(static_cast<size_t>(depth) * 2, ' ').c_str(),
                    Utf8(n.caption).c_str(), RecordText(n.entry).c_str(),
                    n.entry ? Utf8(n.entry->LocalPath).c_str() : "");
    }
    return kOk;
}

int CmdIndex(const Args& args) {
    if (args.positional.size() != 1) return Usage("index takes one FILE");
    Tdm_htServer srv;
    MemoryContentsModel model;
    if (!Load(args, srv, model)) return kCannot;
    for (const auto& item : model.SortedIndex()) {
        std::printf("%s\t%s\t%s\n", Utf8(item.text).c_str(), RecordText(item.entry).c_str(),
                    Utf8(item.entry->LocalPath).c_str());
    }
    return kOk;
}

int CmdCat(const Args& args) {
    if (args.positional.size() != 2) return Usage("cat takes FILE and ADDRESS");
    Tdm_htServer srv;
    MemoryContentsModel model;
    if (!Load(args, srv, model)) return kCannot;
    std::string body;
    const bool found = srv.ReadDataByStream(args.positional[1], body);
    std::fwrite(body.data(), 1, body.size(), stdout);
    if (std::fflush(stdout) != 0) return kCannot;
    return found ? kOk : kDamage;
}

int CmdSearch(const Args& args) {
    if (args.positional.size() != 2) return Usage("search takes FILE and WORD");
    const std::string raw = args.positional[1];
    Tdm_htServer srv;
    MemoryContentsModel model;
    if (!Load(args, srv, model)) return kCannot;
    server::FullTextSearch search(srv, model, {[&] { return Utf8ToGbk(raw); }, {}, {}});
    const auto& results = Trim(raw).empty() ? search.Results() : search.Run();
    for (const auto& r : results) {
        std::printf("%s\t%s\n", Utf8(r.caption).c_str(), Utf8(r.entry->LocalPath).c_str());
    }
    std::printf("%s\n", server::SearchFinalText(raw, static_cast<int>(results.size())).c_str());
    return kOk;
}

namespace {

// The folder-relative file a local path names, or empty when the path would
// leave the folder (an absolute path, a drive prefix or a ".." step).
fs::path SafeRelativePath(const std::string& local_utf8) {
    std::string p = local_utf8;
    ReplaceChar(p, '\\', '/');
    if (p.empty() || p[0] == '/' || p.find(':') != std::string::npos) return {};
    fs::path rel;
    size_t start = 0;
    while (start <= p.size()) {
        size_t end = p.find('/', start);
        if (end == std::string::npos) end = p.size();
        std::string part = p.substr(start, end - start);
        if (part == "..") return {};
        if (!part.empty() && part != ".") rel /= part;
        start = end + 1;
    }
    return rel;
}

}  // namespace

int CmdExtract(const Args& args) {
    if (args.positional.size() != 2) return Usage("extract takes FILE and DIR");
    Tdm_htServer srv;
    MemoryContentsModel model;
    if (!Load(args, srv, model)) return kCannot;
    const fs::path dir = args.positional[1];
    std::error_code ec;
    fs::create_directories(dir, ec);
    int status = kOk;
    std::set<std::string> done;
    for (const auto* node : srv.Entries()->Nodes()) {
        const ContentsEntry* e = node->value;
        if (e->RecordNo == -1) continue;
        std::string local = e->LocalPath.substr(0, e->LocalPath.find('#'));
        if (local.empty() || !done.insert(local).second) continue;
        const std::string name = Utf8(local);
        const fs::path rel = SafeRelativePath(name);
        if (rel.empty()) {
            std::fprintf(stderr, "refused: %s leaves the folder\n", name.c_str());
            status = kDamage;
            continue;
        }
        std::string content;
        if (!srv.Document()->ReadRecord(e->RecordNo, content)) {
            std::fprintf(stderr, "%s: record %d cannot be read\n", name.c_str(), e->RecordNo);
            status = kDamage;
            continue;
        }
        const fs::path target = dir / rel;
        fs::create_directories(target.parent_path(), ec);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out) {
            std::fprintf(stderr, "%s: cannot write %s\n", name.c_str(), target.c_str());
            status = kDamage;
            continue;
        }
        std::printf("%s\n", rel.c_str());
    }
    return status;
}

}  // namespace q3::tool
