#include "document/manager.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include "common/crc.h"
#include "common/trace.h"
#include "common/translation.h"
#include "document/record_codec.h"
#include "document/record_walk.h"

namespace q3::doc {

namespace {

// Up to this many entries are kept in memory (24 MiB); a larger directory is
// read entry by entry beyond them.
constexpr size_t kCachedEntries = size_t{1} << 20;
// Read buffers above this size are given back after the read, so one huge
// record does not keep its memory for the manager's life.
constexpr size_t kScratchKeep = size_t{1} << 20;

// How far a run of reads in file order reads ahead, and how far after the
// last read's end the next may start and still be part of the run.
constexpr size_t kReadAheadMin = size_t{64} << 10;
constexpr size_t kReadAheadMax = size_t{1} << 20;
constexpr uint64_t kReadAheadGap = uint64_t{64} << 10;

// Room for the fixed cost of many tiny records beyond zlib's ratio.
constexpr uint64_t kBudgetSlack = uint64_t{1} << 20;

}  // namespace

DecodeBudget::DecodeBudget(uint64_t file_size)
    : left_(MaxInflatedSize(static_cast<size_t>(file_size)) + kBudgetSlack) {}

bool DecodeBudget::Take(uint64_t size) {
    if (spent_ || size > left_) {
        spent_ = true;
        return false;
    }
    left_ -= size;
    return true;
}

TQBXManage::TQBXManage(std::string file_name, Locking locking)
    : file_name_(std::move(file_name)), locking_(locking) {}

TQBXManage::~TQBXManage() {
    if (fd_ >= 0)
        ::close(fd_);  // also drops the advisory lock
}

// The reader never writes to a document, so the file is opened for reading
// only (documents on read-only media and the installed help book must open).
// The rule that no second reader window opens the same document is kept with
// an advisory lock, taken only when asked for, instead of an exclusive write
// open.
void TQBXManage::OpenFile() {
    int fd = ::open(file_name_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw OpenError(std::string(_("打开文件失败: ")) + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        throw OpenError(std::string(_("打开文件失败: ")) + std::strerror(err));
    }
    if (locking_ == Locking::kExclusive && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            throw OpenError(_("打开文件失败: 文件已被另一个阅读器打开"));
        throw OpenError(std::string(_("打开文件失败: ")) + std::strerror(err));
    }
    fd_ = fd;
    file_size_ = static_cast<uint64_t>(st.st_size);
}

bool TQBXManage::Open(const PasswordProvider& provider) {
    struct stat st {};
    if (::stat(file_name_.c_str(), &st) != 0 && errno == ENOENT)
        throw OpenError(_("文件不存在"));

    header_ = FileHeader{};
    version_ = VersionBlock{};
    OpenFile();

    std::string block(kVersionBlockSize, '\0');
    if (!IORead(0, block.data(), block.size()))
        throw OpenError(_("读取文件版本信息失败"));
    version_ = ParseVersionBlock(block);
    if (version_.Magic != kMagic)
        throw OpenError(_("无效的Qbx文件格式"));
    if (version_.FormatVersion > kFormatVersion)
        throw OpenError(_("不支持的版本，请更新阅读器到最新版"));
    if (version_.FormatVersion < kFormatVersion)
        throw OpenError(_("文件格式的版本太低，已不被支持"));

    std::string head(kFileHeaderSize, '\0');
    if (!IORead(kVersionBlockSize, head.data(), head.size()))
        throw OpenError(_("读取文件头信息失败"));
    header_ = ParseFileHeader(head);

    // A negative count would wrap the entry offset to a small value and read
    // the directory through it; such a document is damaged.
    if (header_.DirectoryCount < 0 || file_size_ < EntryOffset(header_.DirectoryCount))
        throw OpenError(_("数据记录已损坏"));

    if (header_.PasswordHash != kNoPassword) {
        if (provider)
            provider(*this, password_);
        // A key whose length is a multiple of 256 has no cipher period: it can
        // never decode a record, so it is refused like any wrong password.
        if (password_.size() % 256 == 0 || StringCrc(password_) != header_.PasswordHash)
            throw OpenError(_("密码错误, 请输入正确的密码"));
    }

    header_.StoredCheck = ComputeDocumentCheck();
    LoadDirectory();
    return true;
}

void TQBXManage::LoadDirectory() {
    const size_t entries =
        std::min<size_t>(static_cast<size_t>(header_.DirectoryCount), kCachedEntries);
    std::string bytes(entries * kDirectoryEntrySize, '\0');
    // Without it every entry is simply read from the file.
    if (IORead(kDirectoryStart, bytes.data(), bytes.size()))
        directory_ = std::move(bytes);
}

uint32_t TQBXManage::ComputeDocumentCheck() {
    const uint64_t total =
        kDirectoryStart + kDirectoryEntrySize * static_cast<uint64_t>(header_.DirectoryCount);
    if (file_size_ < total)
        throw OpenError(_("读取文件失败: 文件目录不完整"));
    std::vector<char> chunk(1 << 16);
    uint32_t reg = 0xFFFFFFFFu;
    uint64_t done = 0;
    while (done < total) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(chunk.size(), total - done));
        ssize_t got = ::pread(fd_, chunk.data(), n, static_cast<off_t>(done));
        if (got != static_cast<ssize_t>(n))
            throw OpenError(_("读取文件失败: 文件目录不完整"));
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
        ssize_t got = ::pread(fd_, out + done, count - done,
                              static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            DebugTrace("TQBXManage.IORead", std::string("IORead: ") + std::strerror(errno));
            return false;
        }
        if (got == 0)
            return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

// 24 bytes wholly inside the kept directory are taken from memory (a wrapped
// record number may name them from the middle of an entry); any others,
// beyond the directory or across its end, are read from the file as stored.
bool TQBXManage::ReadEntry(int32_t r, DirectoryEntry& entry) {
    const uint32_t at = EntryOffset(r);
    if (at >= kDirectoryStart) {
        const size_t rel = at - kDirectoryStart;
        if (rel + kDirectoryEntrySize <= directory_.size()) {
            const std::string_view raw(directory_.data() + rel, kDirectoryEntrySize);
            entry = ParseDirectoryEntry(raw);
            return true;
        }
    }
    char raw[kDirectoryEntrySize] = {};
    if (!IORead(EntryOffset(r), raw, sizeof raw))
        return false;
    entry = ParseDirectoryEntry(std::string_view(raw, sizeof raw));
    return true;
}

RecordError TQBXManage::ReadRecordChecked(int32_t r, std::string& stream, DecodeBudget* budget) {
    std::lock_guard guard(lock_);
    DirectoryEntry entry;
    if (!ReadEntry(r, entry))
        return RecordError::kNoEntry;
    if (const RecordError range = StoredRangeError(entry); range != RecordError::kOk)
        return range;
    const auto length = static_cast<size_t>(entry.Length);
    const std::string_view key = Key();
    RecordError e = RecordError::kOk;
    try {
        char* rec = StoredBytes(entry.Offset, length);
        const bool windowed = rec != nullptr && rec != stored_.data();
        if (rec == nullptr)
            e = RecordError::kShortRead;
        else if (!DecipherAndVerify(rec, length, key, entry.Check))
            e = RecordError::kCheckMismatch;
        else {
            if (budget != nullptr && !budget->Take(ChargedSize(rec, length)))
                e = RecordError::kWalkTooLarge;
            else
                e = InflateRecord(rec, length, content_);
            // The window keeps the bytes as stored, for records sharing them.
            if (windowed)
                RecordCipher(rec, std::min(length, kHeadSize), key);
        }
    } catch (const std::bad_alloc&) {
        DebugTrace("TQBXManage.ReadRecord", "not enough memory for the record");
        e = RecordError::kNoMemory;
    }
    // The caller's old buffer becomes the next read's: no allocation per record.
    if (e == RecordError::kOk)
        stream.swap(content_);
    ReleaseLargeScratch();
    return e;
}

// A read that starts where the one before ended (or a little after it) is
// taken as part of a run through the file, and each further read of the run
// fetches more ahead into the window, up to kReadAheadMax: records are
// mostly stored in their order, and one call per record costs as much as a
// small record's inflate. Reads elsewhere fetch just their record, as before.
// The window holds only bytes a read found in the file: a file cut short
// under the reader ends the window where it ends, and the records past it
// fail as any read of them does (a mapping of the file would fault there).
// No check of the file per record: on a virtual machine that call alone
// costs a quarter of the record's time.
char* TQBXManage::StoredBytes(uint32_t offset, size_t length) {
    const uint64_t end = uint64_t{offset} + length;
    const bool in_run =
        last_end_ != UINT64_MAX && offset >= last_end_ && offset - last_end_ <= kReadAheadGap;
    last_end_ = end;
    if (InWindow(offset, length))
        return window_.get() + (offset - window_offset_);
    read_ahead_ = in_run ? std::min(std::max(read_ahead_ * 2, kReadAheadMin), kReadAheadMax) : 0;
    if (length >= read_ahead_) {
        if (stored_.size() < length)
            stored_.resize(length);
        return IORead(offset, stored_.data(), length) ? stored_.data() : nullptr;
    }
    const size_t want = static_cast<size_t>(std::min<uint64_t>(read_ahead_, file_size_ - offset));
    if (window_capacity_ < want) {
        // Uninitialised: only bytes the read fills are ever used.
        window_ = std::make_unique_for_overwrite<char[]>(kReadAheadMax);
        window_capacity_ = kReadAheadMax;
    }
    window_offset_ = offset;
    window_size_ = ReadUpTo(offset, window_.get(), want);
    return InWindow(offset, length) ? window_.get() : nullptr;
}

bool TQBXManage::InWindow(uint64_t offset, size_t length) const {
    return window_size_ > 0 && offset >= window_offset_ &&
           offset + length <= window_offset_ + window_size_;
}

size_t TQBXManage::ReadUpTo(uint64_t offset, char* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        ssize_t got = ::pread(fd_, buffer + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    return done;
}

void TQBXManage::ReleaseLargeScratch() {
    if (stored_.capacity() > kScratchKeep)
        std::string().swap(stored_);
    if (content_.capacity() > kScratchKeep)
        std::string().swap(content_);
}

bool TQBXManage::ReadRecord(int32_t r, std::string& stream) {
    return ReadRecordChecked(r, stream) == RecordError::kOk;
}

// ReadRecord already leaves text alone on failure.
bool TQBXManage::ReadRecordText(int32_t r, std::string& text) {
    return ReadRecord(r, text);
}

// Checked before allocating: a hostile Length never makes the reader reserve
// more than the file really holds.
RecordError TQBXManage::StoredRangeError(const DirectoryEntry& entry) const {
    if (entry.Length <= 0 || entry.Offset > file_size_ ||
        static_cast<uint64_t>(entry.Length) > file_size_ - entry.Offset)
        return RecordError::kBadLength;
    if (static_cast<uint64_t>(entry.Length) > kMaxStoredSize)
        return RecordError::kSizeTooLarge;
    return RecordError::kOk;
}

bool TQBXManage::EnumerateRecords(const RecordVisitor& visitor, int workers) {
    // The walk hands records over on this thread, in order; it reads nothing
    // more of this manager once the visitor has stopped it, so a visitor may
    // replace the document from inside.
    RecordWalk walk(*this, 2, header_.DirectoryCount - 1,
                    workers < 0 ? DefaultWalkWorkers() : workers);
    bool damaged = false;
    walk.Run([&](int32_t r, RecordError e, const std::string& text) {
        if (e == RecordError::kWalkTooLarge) {
            DebugTrace("TQBXManage.EnumerateRecords", "records decode to more than the file holds");
            damaged = true;
            return false;
        }
        if (e != RecordError::kOk)
            return true;
        bool stop = false;
        try {
            visitor(*this, stop, r, text);
        } catch (const std::bad_alloc&) {
            DebugTrace("TQBXManage.EnumerateRecords", "not enough memory");
            return false;
        }
        return !stop;
    });
    return !damaged;
}

}  // namespace q3::doc
