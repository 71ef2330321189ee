#include "extract.h"

#include <fstream>
#include <set>

#include "common/gbk.h"
#include "common/text.h"

namespace q3::tool {

namespace fs = std::filesystem;

fs::path SafeRelativePath(const std::string& local_utf8) {
    std::string p = local_utf8;
    ReplaceChar(p, '\\', '/');
    if (p.empty() || p[0] == '/' || p.find(':') != std::string::npos)
        return {};
    fs::path rel;
    size_t start = 0;
    while (start <= p.size()) {
        size_t end = p.find('/', start);
        if (end == std::string::npos)
            end = p.size();
        const std::string part = p.substr(start, end - start);
        if (part == "..")
            return {};
        if (!part.empty() && part != ".")
            rel /= part;
        start = end + 1;
    }
    return rel;
}

namespace {

bool WriteFile(const fs::path& target, const std::string& content) {
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    // An item named like a folder another item needs (or the reverse) cannot
    // be written; never follow a link the folder already holds.
    if (fs::is_symlink(fs::symlink_status(target, ec)))
        return false;
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace

ExtractReport ExtractAll(server::Tdm_htServer& srv, const fs::path& dir,
                         const std::function<void(bool ok, const std::string& line)>& note) {
    ExtractReport report;
    if (srv.Document() == nullptr || srv.Entries() == nullptr)
        return report;
    std::error_code ec;
    fs::create_directories(dir, ec);
    std::set<std::string> done;
    doc::DecodeBudget budget(srv.Document()->FileSize());
    for (const auto* node : srv.Entries()->Nodes()) {
        const server::ContentsEntry* e = node->value;
        if (e->RecordNo == -1)
            continue;
        const std::string local(e->LocalPath.substr(0, e->LocalPath.find('#')));
        if (local.empty() || !done.insert(local).second)
            continue;
        const std::string name = GbkToUtf8(local);
        const fs::path rel = SafeRelativePath(name);
        if (rel.empty()) {
            ++report.refused;
            note(false, "refused: " + name + " would leave the folder");
            continue;
        }
        std::string content;
        const doc::RecordError err =
            srv.Document()->ReadRecordChecked(e->RecordNo, content, &budget);
        if (err == doc::RecordError::kWalkTooLarge) {
            report.damaged = true;
            note(false, std::string("stopped: ") + doc::Describe(err));
            break;
        }
        if (err != doc::RecordError::kOk) {
            ++report.failed;
            note(false, name + ": record " + std::to_string(e->RecordNo) + " cannot be read");
            continue;
        }
        if (!WriteFile(dir / rel, content)) {
            ++report.failed;
            note(false, name + ": cannot be written");
            continue;
        }
        ++report.written;
        note(true, rel.string());
    }
    return report;
}

}  // namespace q3::tool
