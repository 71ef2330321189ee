#include "common/hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "common/registry_store.h"
#include "common/trace.h"

namespace q3 {
namespace {

FileStamp StampOf(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size,
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw RegistryError(std::string("cannot write settings: ") + std::strerror(errno));
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

std::string TempPrefix(const std::filesystem::path& file) {
    return file.filename().string() + ".tmp-";
}

void SyncFolder(const std::filesystem::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

}  // namespace

HiveBytes ReadHiveBytes(const std::filesystem::path& file, bool want_bytes) {
    HiveBytes out;
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        out.status = errno == ENOENT ? ReadStatus::kMissing : ReadStatus::kFailed;
        return out;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        out.status = ReadStatus::kFailed;
        return out;
    }
    out.status = ReadStatus::kRead;
    out.stamp = StampOf(st);
    if (!want_bytes)
        return out;
    const size_t expected = static_cast<size_t>(std::max<off_t>(st.st_size, 0));
    out.bytes.resize(std::min(expected, kMaxHiveBytes) + 1);
    size_t got = 0;
    while (got < out.bytes.size()) {
        const ssize_t n = ::read(fd.get(), out.bytes.data() + got, out.bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            out.status = ReadStatus::kFailed;
            return out;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    out.truncated = got > kMaxHiveBytes;
    out.bytes.resize(std::min(got, kMaxHiveBytes));
    return out;
}

bool HiveLock::Acquire(const std::filesystem::path& lock_file) {
    fd_.reset(::open(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (fd_.get() < 0)
        return false;
    while (::flock(fd_.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

void RemoveStaleTemps(const std::filesystem::path& file) {
    std::error_code ec;
    const std::string prefix = TempPrefix(file);
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), ec)) {
        if (entry.path().filename().string().starts_with(prefix)) {
            std::filesystem::remove(entry.path(), ec);
        }
    }
}

void ReplaceHiveFile(const std::filesystem::path& file, std::string_view text,
                     const BeforeRename& before_rename) {
    std::string temp = (file.parent_path() / (TempPrefix(file) + "XXXXXX")).string();
    FileDescriptor fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0)
        throw RegistryError(std::string("cannot write settings: ") + std::strerror(errno));
    try {
        WriteAll(fd.get(), text);
        if (::fsync(fd.get()) != 0 || ::close(fd.release()) != 0) {
            throw RegistryError(std::string("cannot write settings: ") + std::strerror(errno));
        }
        if (before_rename)
            before_rename(temp);
        if (::rename(temp.c_str(), file.c_str()) != 0) {
            throw RegistryError(std::string("cannot replace settings: ") + std::strerror(errno));
        }
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    SyncFolder(file.parent_path());
}

void KeepDamagedOriginal(const std::filesystem::path& file) {
    char stamp[32] = "unknown";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) != nullptr) {
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    }
    const std::string base = file.string() + ".damaged-" + stamp;
    std::string target = base;
    std::error_code ec;
    for (int n = 1; std::filesystem::exists(target, ec); ++n)
        target = base + "-" + std::to_string(n);
    if (::link(file.c_str(), target.c_str()) == 0)
        return;
    std::filesystem::copy_file(file, target, ec);
    if (ec)
        throw RegistryError("cannot keep the damaged settings file: " + ec.message());
    DebugTrace("RegistryStore.KeepDamagedOriginal", target);
}

}  // namespace q3
