#include "extract.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <vector>

#include "common/file_descriptor.h"
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

enum class Written { kOk, kLink, kFailed };

// Opens (making it when missing) the folder name beneath at, never through a
// link: the target folder may hold links someone else put there.
int OpenFolderBeneath(int at, const std::string& name, Written& why) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0)
            return fd;
        struct stat st {};
        if (::fstatat(at, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            why = S_ISLNK(st.st_mode) ? Written::kLink : Written::kFailed;
            return -1;
        }
        if (errno != ENOENT || (::mkdirat(at, name.c_str(), 0755) != 0 && errno != EEXIST))
            break;
    }
    why = Written::kFailed;
    return -1;
}

// Writes content to rel beneath the folder root, opening every component
// relative to the one before without following links; a link on the way (or
// at the file's place) is reported, never written through.
Written WriteBeneath(int root, const fs::path& rel, const std::string& content) {
    std::vector<std::string> parts;
    for (const fs::path& p : rel)
        parts.push_back(p.string());
    if (parts.empty())
        return Written::kFailed;
    FileDescriptor folder(::dup(root));
    Written why = Written::kFailed;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        folder.reset(OpenFolderBeneath(folder.get(), parts[i], why));
        if (folder.get() < 0)
            return why;
    }
    FileDescriptor file(::openat(folder.get(), parts.back().c_str(),
                                 O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (file.get() < 0) {
        struct stat st {};
        const bool link =
            ::fstatat(folder.get(), parts.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISLNK(st.st_mode);
        return link ? Written::kLink : Written::kFailed;
    }
    std::string_view rest = content;
    while (!rest.empty()) {
        const ssize_t n = ::write(file.get(), rest.data(), rest.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Written::kFailed;
        rest.remove_prefix(static_cast<size_t>(n));
    }
    return ::close(file.release()) == 0 ? Written::kOk : Written::kFailed;
}

}  // namespace

ExtractReport ExtractAll(server::Tdm_htServer& srv, const fs::path& dir,
                         const std::function<void(bool ok, const std::string& line)>& note) {
    ExtractReport report;
    if (srv.Document() == nullptr || srv.Entries() == nullptr)
        return report;
    std::error_code ec;
    fs::create_directories(dir, ec);
    // The folder the user named is taken as it is, links and all; nothing
    // beneath it is reached through a link.
    FileDescriptor root(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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
        const Written w =
            root.get() < 0 ? Written::kFailed : WriteBeneath(root.get(), rel, content);
        if (w == Written::kLink) {
            ++report.refused;
            note(false, "refused: " + name + " would be written through a link in the folder");
            continue;
        }
        if (w != Written::kOk) {
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
