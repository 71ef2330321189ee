#include "document/manager.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "common/crc.h"
#include "common/trace.h"
#include "document/record_codec.h"

namespace q3::doc {

TQBXManage::TQBXManage(std::string file_name) : file_name_(std::move(file_name)) {}

TQBXManage::~TQBXManage() {
    if (fd_ >= 0) ::close(fd_);  // also drops the advisory lock
}

// The reader never writes to a document, so the file is opened for reading
// only (documents on read-only media and the installed help book must open).
// The rule that no second reader opens the same document is kept with an
// advisory lock instead of an exclusive write open.
void TQBXManage::OpenFileLocked() {
    int fd = ::open(file_name_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw OpenError(std::string("打开文件失败: ") + std::strerror(errno));
    struct stat st{};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        throw OpenError(std::string("打开文件失败: ") + std::strerror(err));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) throw OpenError("打开文件失败: 文件已被另一个阅读器打开");
        throw OpenError(std::string("打开文件失败: ") + std::strerror(err));
    }
    fd_ = fd;
    file_size_ = static_cast<uint64_t>(st.st_size);
}

bool TQBXManage::Open(const PasswordProvider& provider) {
    struct stat st{};
    if (::stat(file_name_.c_str(), &st) != 0 && errno == ENOENT) throw OpenError("文件不存在");

    header_ = FileHeader{};
    version_ = VersionBlock{};
    OpenFileLocked();

    std::string block(kVersionBlockSize, '\0');
    if (!IORead(0, block.data(), block.size())) throw OpenError("读取文件版本信息失败");
    version_ = ParseVersionBlock(block);
    if (version_.Magic != kMagic) throw OpenError("无效的Qbx文件格式");
    if (version_.FormatVersion > kFormatVersion)
        throw OpenError("不支持的版本，请更新阅读器到最新版");
    if (version_.FormatVersion < kFormatVersion) throw OpenError("文件格式的版本太低，已不被支持");

    std::string head(kFileHeaderSize, '\0');
    if (!IORead(kVersionBlockSize, head.data(), head.size())) throw OpenError("读取文件头信息失败");
    header_ = ParseFileHeader(head);

    // A negative count would wrap the entry offset to a small value and read
    // the directory through it; such a document is damaged.
    if (header_.DirectoryCount < 0 || file_size_ < EntryOffset(header_.DirectoryCount))
        throw OpenError("数据记录已损坏");

    if (header_.PasswordHash != kNoPassword) {
        if (provider) provider(*this, password_);
        // A key whose length is a multiple of 256 has no cipher period: it can
        // never decode a record, so it is refused like any wrong password.
        if (password_.size() % 256 == 0 || StringCrc(password_) != header_.PasswordHash)
            throw OpenError("密码错误, 请输入正确的密码");
    }

    header_.StoredCheck = ComputeDocumentCheck();
    return true;
}

uint32_t TQBXManage::ComputeDocumentCheck() {
    const uint64_t total = kDirectoryStart + kDirectoryEntrySize *
                                                 static_cast<uint64_t>(header_.DirectoryCount);
    if (file_size_ < total) throw OpenError("读取文件失败: 文件目录不完整");
    std::vector<char> chunk(1 << 16);
    uint32_t reg = 0xFFFFFFFFu;
    uint64_t done = 0;
    while (done < total) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(chunk.size(), total - done));
        ssize_t got = ::pread(fd_, chunk.data(), n, static_cast<off_t>(done));
        if (got != static_cast<ssize_t>(n)) throw OpenError("读取文件失败: 文件目录不完整");
        reg = CrcUpdate(reg, chunk.data(), n);
        done += n;
    }
    return reg;
}

bool TQBXManage::IORead(uint32_t offset, void* buffer, size_t count) {
    if (fd_ < 0) {
        DebugTrace("TQBXManage.IORead", "IORead: the document is not open");
        return false;
    }
    size_t done = 0;
    auto out = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t got = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset) +
                                                                 static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            DebugTrace("TQBXManage.IORead", std::string("IORead: ") + std::strerror(errno));
            return false;
        }
        if (got == 0) return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

bool TQBXManage::ReadEntry(int32_t r, DirectoryEntry& entry) {
    char raw[kDirectoryEntrySize] = {};
    if (!IORead(EntryOffset(r), raw, sizeof raw)) return false;
    entry = ParseDirectoryEntry(std::string_view(raw, sizeof raw));
    return true;
}

RecordError TQBXManage::ReadRecordChecked(int32_t r, std::string& stream) {
    std::lock_guard guard(lock_);
    DirectoryEntry entry;
    if (!ReadEntry(r, entry)) return RecordError::kNoEntry;
    // Checked before allocating: a hostile Length never makes the reader
    // reserve more than the file really holds.
    if (entry.Length <= 0 || entry.Offset > file_size_ ||
        static_cast<uint64_t>(entry.Length) > file_size_ - entry.Offset)
        return RecordError::kBadLength;
    std::string bytes(static_cast<size_t>(entry.Length), '\0');
    if (!IORead(entry.Offset, bytes.data(), bytes.size())) return RecordError::kShortRead;
    const std::string_view key = password_.empty() ? kDefaultKey : std::string_view(password_);
    if (!DecipherAndVerify(bytes, key, entry.Check)) return RecordError::kCheckMismatch;
    RecordError e = UncompressStreamChecked(bytes);
    if (e == RecordError::kOk) stream = std::move(bytes);
    return e;
}

bool TQBXManage::ReadRecord(int32_t r, std::string& stream) {
    return ReadRecordChecked(r, stream) == RecordError::kOk;
}

bool TQBXManage::ReadRecordText(int32_t r, std::string& text) {
    std::string content;
    if (!ReadRecord(r, content)) return false;
    text = std::move(content);
    return true;
}

void TQBXManage::EnumerateRecords(const RecordVisitor& visitor) {
    const int32_t last = header_.DirectoryCount - 1;
    std::string text;
    for (int32_t r = 2; r <= last; ++r) {
        if (!ReadRecordText(r, text)) continue;
        bool stop = false;
        visitor(*this, stop, r, text);
        if (stop) break;
    }
}

}  // namespace q3::doc
