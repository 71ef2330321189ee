// One open document: verifies the file when it is opened and reads records by
// number, deciphered, verified and inflated.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "document/format.h"
#include "document/record_codec.h"

namespace q3::doc {

// Raised by Open; what() is the UTF-8 message the window shows unchanged.
class OpenError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Whether the manager keeps other readers out while it holds the document.
// The reader window asks for it (one reader per document); tools that only
// look at a document take no lock, so they work beside an open reader.
enum class Locking { kNone, kExclusive };

// What one walk over many records may decode. Directory entries may name one
// record, or overlapping ranges, any number of times, so the stored bytes a
// walk reads are not bounded by the file; what it decodes is bounded here by
// what the file could hold if no two records shared bytes (zlib's ceiling
// times its size), plus a little for the smallest records.
class DecodeBudget {
  public:
    explicit DecodeBudget(uint64_t file_size);
    // Charges size; false, charging nothing, when it would pass the budget
    // (and the budget stays spent from then on).
    bool Take(uint64_t size);
    bool Spent() const { return spent_; }

  private:
    uint64_t left_;
    bool spent_ = false;
};

class TQBXManage {
  public:
    // May set the password (GBK bytes). A cancelled prompt leaves it empty.
    using PasswordProvider = std::function<void(TQBXManage&, std::string& password)>;
    // May set stop to end the enumeration after this record.
    using RecordVisitor =
        std::function<void(TQBXManage&, bool& stop, int32_t record, const std::string& text)>;

    explicit TQBXManage(std::string file_name, Locking locking = Locking::kNone);
    ~TQBXManage();
    TQBXManage(const TQBXManage&) = delete;
    TQBXManage& operator=(const TQBXManage&) = delete;

    // True on success; every failure raises OpenError. Called once per manager.
    bool Open(const PasswordProvider& provider = {});

    // Replaces stream by record r's content. False when it cannot be read; no
    // failure of the file or the record data escapes as an exception.
    bool ReadRecord(int32_t r, std::string& stream);
    // As ReadRecord, saying why a record cannot be read. A walk over many
    // records passes its budget: a record the budget cannot pay for is not
    // inflated (kWalkTooLarge).
    RecordError ReadRecordChecked(int32_t r, std::string& stream, DecodeBudget* budget = nullptr);
    // As ReadRecord, but leaves text unchanged on failure.
    bool ReadRecordText(int32_t r, std::string& text);
    // Visits records 2 .. DirectoryCount-1 that can be read, in order. A
    // visitor that runs out of memory ends the walk; nothing escapes it.
    // False when the walk stopped because the records decode to more than
    // the file can hold: the document is damaged. workers: the threads that
    // inflate beside the caller's (0: the caller alone); by default as many
    // as the machine has cores for, up to two.
    bool EnumerateRecords(const RecordVisitor& visitor, int workers = -1);
    // True when exactly count bytes were read at offset.
    bool IORead(uint32_t offset, void* buffer, size_t count);

    // The entry as stored; false when it lies outside the file.
    bool ReadEntry(int32_t r, DirectoryEntry& entry);
    // kOk when the entry's stored bytes lie inside the file and may be read.
    RecordError StoredRangeError(const DirectoryEntry& entry) const;
    // The record key: the password, or the default key without one.
    std::string_view Key() const {
        return password_.empty() ? kDefaultKey : std::string_view(password_);
    }

    const std::string& FileName() const { return file_name_; }
    const std::string& Password() const { return password_; }
    const VersionBlock& Version() const { return version_; }
    const FileHeader& Header() const { return header_; }
    int32_t DirectoryCount() const { return header_.DirectoryCount; }
    // Valid after a successful Open (kept in the header's StoredCheck place).
    uint32_t DocumentCheck() const { return header_.StoredCheck; }
    bool Protected() const { return header_.PasswordHash != kNoPassword; }
    uint64_t FileSize() const { return file_size_; }

  private:
    void OpenFile();
    uint32_t ComputeDocumentCheck();
    void LoadDirectory();
    void ReleaseLargeScratch();
    char* StoredBytes(uint32_t offset, size_t length);
    bool InWindow(uint64_t offset, size_t length) const;
    size_t ReadUpTo(uint64_t offset, char* buffer, size_t count);

    std::string file_name_;
    std::string password_;
    Locking locking_;
    int fd_ = -1;
    uint64_t file_size_ = 0;
    FileHeader header_;
    VersionBlock version_;
    // The directory as stored (its first entries at most), read once by Open:
    // the file is held for the manager's life, so its entries do not change.
    std::string directory_;
    // Buffers kept between reads, under lock_: the stored bytes of a record,
    // and the content it inflates into (handed to the caller by a swap).
    std::string stored_;
    std::string content_;
    // Stored bytes read ahead of a run of reads in file order (the bytes as
    // stored: a record deciphered in it is enciphered again after use), and
    // how far the next read of such a run looks ahead.
    std::unique_ptr<char[]> window_;
    uint64_t window_offset_ = 0;
    size_t window_size_ = 0;
    size_t window_capacity_ = 0;
    uint64_t last_end_ = UINT64_MAX;
    size_t read_ahead_ = 0;
    std::mutex lock_;
};

}  // namespace q3::doc
