// Turning a record's stored bytes into its content: the head cipher, the check
// against the directory, and the inflate of the zlib stream after the size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace q3::doc {

inline constexpr std::string_view kDefaultKey = "zmr";
inline constexpr size_t kHeadSize = 64;

// The largest record content the reader accepts (256 MiB). No page or picture
// of a real book comes near it; a record whose size field says more is
// unreadable, so one hostile record cannot make the reader commit gigabytes.
inline constexpr uint64_t kMaxRecordSize = uint64_t{256} << 20;
// Stored bytes of a record above this cannot inflate to an accepted content
// (deflate adds 5 bytes per 64 KiB block when it cannot compress).
inline constexpr uint64_t kMaxStoredSize = kMaxRecordSize + (kMaxRecordSize >> 10) + 64;

// XORs the first n bytes with the key repeated; symmetric. Only the low eight
// bits of the key's length count, so a key whose length is a multiple of 256
// has no period: such a key leaves the bytes alone and returns false.
bool RecordCipher(char* head, size_t n, std::string_view key);

// Deciphers the head of buf (n = min(64, size)) and checks it. On mismatch buf
// is left as it was.
bool DecipherAndVerify(std::string& buf, std::string_view key, uint32_t expected_check);
// The same over the first size bytes at buf.
bool DecipherAndVerify(char* buf, size_t size, std::string_view key, uint32_t expected_check);

// Why a record could not be read, for the tool that reports damage; the
// reader itself only needs success or failure.
enum class RecordError {
    kOk,
    kNoEntry,        // the directory entry lies outside the file
    kBadLength,      // Length not positive, or running past the end of the file
    kShortRead,      // the stored bytes could not be read
    kCheckMismatch,  // wrong key or damaged head
    kBadSize,        // UncompressedSize not positive
    kSizeTooLarge,   // UncompressedSize beyond kMaxRecordSize or what the stored bytes can hold
    kDamaged,        // the zlib stream or its trailer is damaged
    kShortOutput,    // the stream ends before UncompressedSize bytes
    kNoMemory,       // the content did not fit in memory
    kWalkTooLarge,   // a walk over records would decode more than the file can hold
};
const char* Describe(RecordError e);

// Replaces buf (a deciphered record) by exactly UncompressedSize bytes of its
// inflated zlib stream. Fails, tracing why, on a non-positive size, a size
// beyond kMaxRecordSize or what the stored bytes can inflate to, damage, a bad
// trailer, short output or memory running out (never by an exception). Output
// beyond the size is ignored.
bool UncompressStream(std::string& buf);
RecordError UncompressStreamChecked(std::string& buf);

// The same rules, reading the deciphered record at rec and writing the
// content into out, which then holds exactly UncompressedSize bytes; on
// failure out holds nothing of use. out's memory is reused, so a reader that
// keeps one buffer across records allocates nothing per record. The size
// field is not trusted for the allocation: out grows as the stream really
// inflates, from a first guess bounded by a multiple of the stored bytes.
RecordError InflateRecord(const char* rec, size_t length, std::string& out);

// What inflating the deciphered record at rec can produce at most: its size
// field, unless the inflate refuses that size anyway. A walk over many records
// charges this to its budget before it inflates.
uint64_t ChargedSize(const char* rec, size_t length);

// The largest output a zlib stream of this many bytes can hold (deflate's
// best case is about 1032 to 1); sizes above it are refused before allocating.
uint64_t MaxInflatedSize(size_t stored_bytes);

}  // namespace q3::doc
