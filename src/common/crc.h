// The one checksum of the document format: the CRC-32 register of IEEE 802.3
// returned WITHOUT the final inversion. Password hashes, record checks, the
// document check and the content server's address keys all depend on this
// exact register; the usual inverted CRC-32 reads no document.
#pragma once

#include <cstdint>
#include <string_view>

namespace q3 {

// 0xFFFFFFFF for a count of 0 or less.
uint32_t BufferCrc(const void* data, int64_t count);

// Continues a register over more bytes, for checksums taken in pieces.
uint32_t CrcUpdate(uint32_t reg, const void* data, size_t count);

inline uint32_t StringCrc(std::string_view s) {
    return BufferCrc(s.data(), static_cast<int64_t>(s.size()));
}

}  // namespace q3
