// The fixed layout of a .qbx file. Everything here parses untrusted bytes:
// each block is read through a cursor that knows how much remains, and string
// lengths are clamped to the field's capacity.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace q3::doc {

inline constexpr uint32_t kMagic = 0x00FF0906;
inline constexpr uint32_t kFormatVersion = 20090626;
inline constexpr uint32_t kNoPassword = 0xFFFFFFFF;

inline constexpr size_t kVersionBlockSize = 495;
inline constexpr size_t kFileHeaderSize = 43;
inline constexpr size_t kDirectoryStart = kVersionBlockSize + kFileHeaderSize;  // 538
inline constexpr size_t kDirectoryEntrySize = 24;

// Field offsets within the version block.
namespace vb {
inline constexpr size_t kMagic = 0;
inline constexpr size_t kFormatVersion = 4;
inline constexpr size_t kCreatedAt = 8;
inline constexpr size_t kProducer = 12;    // capacity 48
inline constexpr size_t kBookAuthor = 61;  // capacity 48
inline constexpr size_t kSubject = 110;    // capacity 128
inline constexpr size_t kRemarks = 239;    // capacity 255
}  // namespace vb

// Field offsets within the file header.
namespace fh {
inline constexpr size_t kAttributes = 4;  // three bytes, not acted on
inline constexpr size_t kDirectoryCount = 7;
inline constexpr size_t kStoredCheck = 11;
inline constexpr size_t kPasswordHash = 39;
}  // namespace fh

// Field offsets within a directory entry.
namespace de {
inline constexpr size_t kOffset = 4;
inline constexpr size_t kLength = 8;
inline constexpr size_t kCheck = 12;
}  // namespace de

struct VersionBlock {
    uint32_t Magic = 0;
    uint32_t FormatVersion = 0;
    uint32_t CreatedAt = 0;  // MS-DOS date (high word) and time (low word)
    std::string Producer;
    std::string BookAuthor;
    std::string Subject;
    std::string Remarks;
};

struct FileHeader {
    uint8_t Attributes[3] = {0, 0, 0};
    int32_t DirectoryCount = 0;
    uint32_t StoredCheck = 0;
    uint32_t PasswordHash = 0;
};

struct DirectoryEntry {
    uint32_t Offset = 0;
    int32_t Length = 0;
    uint32_t Check = 0;
};

// Little-endian reads over a bounded buffer. A read past the end yields zero
// and marks the cursor failed, so parsing code never indexes out of range.
class ByteCursor {
  public:
    explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}
    uint32_t U32(size_t at);
    int32_t I32(size_t at) { return static_cast<int32_t>(U32(at)); }
    uint8_t U8(size_t at);
    // A length-prefixed string of the given capacity; a length byte beyond the
    // capacity is clamped to it.
    std::string ShortString(size_t at, size_t capacity);
    bool ok() const { return ok_; }

  private:
    std::string_view bytes_;
    bool ok_ = true;
};

VersionBlock ParseVersionBlock(std::string_view bytes);
FileHeader ParseFileHeader(std::string_view bytes);
DirectoryEntry ParseDirectoryEntry(std::string_view bytes);

// The file offset of record r's directory entry, in the format's wrapping
// 32-bit arithmetic: 0 addresses record 1, -1 addresses nothing.
uint32_t EntryOffset(int32_t r);

// MS-DOS date and time as "yyyy-mm-dd hh:mm:ss".
std::string FormatDosDateTime(uint32_t dos);
uint32_t MakeDosDateTime(int year, int month, int day, int hour, int minute, int second);

// Little-endian writers for the producer side.
void PutU32(std::string& buf, size_t at, uint32_t v);
void PutShortString(std::string& buf, size_t at, size_t capacity, std::string_view s);

}  // namespace q3::doc
