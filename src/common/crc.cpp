#include "common/crc.h"

#include <array>

namespace q3 {
namespace {

// Slicing-by-8 tables: the directory check runs over megabytes for large
// books, and a large contents takes a checksum of every one of its paths.
using Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Tables MakeTables() {
    Tables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i) {
        for (size_t s = 1; s < 8; ++s)
            t[s][i] = t[0][t[s - 1][i] & 0xFF] ^ (t[s - 1][i] >> 8);
    }
    return t;
}

constexpr Tables kTables = MakeTables();

uint32_t Le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

uint32_t CrcUpdate(uint32_t reg, const void* data, size_t count) {
    auto p = static_cast<const unsigned char*>(data);
    while (count >= 8) {
        const uint32_t lo = reg ^ Le32(p);
        const uint32_t hi = Le32(p + 4);
        reg = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
              kTables[4][lo >> 24] ^ kTables[3][hi & 0xFF] ^ kTables[2][(hi >> 8) & 0xFF] ^
              kTables[1][(hi >> 16) & 0xFF] ^ kTables[0][hi >> 24];
        p += 8;
        count -= 8;
    }
    if (count >= 4) {
        reg ^= Le32(p);
        reg = kTables[3][reg & 0xFF] ^ kTables[2][(reg >> 8) & 0xFF] ^
              kTables[1][(reg >> 16) & 0xFF] ^ kTables[0][reg >> 24];
        p += 4;
        count -= 4;
    }
    while (count-- > 0)
        reg = kTables[0][(reg ^ *p++) & 0xFF] ^ (reg >> 8);
    return reg;
}

uint32_t BufferCrc(const void* data, int64_t count) {
    if (count <= 0)
        return 0xFFFFFFFFu;
    return CrcUpdate(0xFFFFFFFFu, data, static_cast<size_t>(count));
}

}  // namespace q3
