// The producer side of the format: records are compressed behind their size,
// checked over the plain head, then enciphered. Used by qbxtool pack, the test
// fixtures and the benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/format.h"

namespace q3::doc {

struct DocumentInfo {
    std::string Subject;  // GBK, as all fixed-block texts
    std::string BookAuthor;
    std::string Producer;
    std::string Remarks;
    std::string Password;  // GBK bytes; empty for an unprotected document
    uint32_t CreatedAt = MakeDosDateTime(2009, 9, 15, 0, 0, 0);
    uint32_t FormatVersion = kFormatVersion;
};

struct StoredRecord {
    std::string bytes;  // enciphered head, plain tail
    uint32_t check = 0;
};

// UncompressedSize then the zlib stream of content, before enciphering.
std::string CompressRecord(std::string_view content, int level = 6);
// Checks the plain head, then enciphers it with key.
StoredRecord SealRecord(std::string plain, std::string_view key);

class QbxWriter {
  public:
    explicit QbxWriter(DocumentInfo info);

    // Adds a record and returns its number (the first is 1, the contents).
    int32_t AddRecord(std::string_view content, int level = 6);
    // Keeps a number for a record whose content is known later (the contents
    // text needs every other record's number first).
    int32_t ReserveRecord();
    void SetRecord(int32_t r, std::string_view content, int level = 6);
    // Stores bytes as they are: for crafted, damaged records.
    void SetStoredRecord(int32_t r, StoredRecord record);

    int32_t Count() const { return static_cast<int32_t>(records_.size()); }
    const std::string& Key() const { return key_; }

    std::string Build() const;
    // Writes beside the target and renames, so a failed pack leaves no half file.
    void WriteFile(const std::string& path) const;

  private:
    DocumentInfo info_;
    std::string key_;
    std::vector<StoredRecord> records_;
};

}  // namespace q3::doc
