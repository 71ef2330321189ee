// Paths whose checksum is chosen, for the tests and benchmarks of contents
// that hold many paths sharing one checksum.
#pragma once

#include <cstdint>
#include <string>

#include "common/crc.h"

namespace q3::testing {

// prefix followed by four bytes that bring its checksum to target, or the
// empty string when those bytes would not survive a contents line as written
// (quote, line end, capital, marker or double-byte lead). CRC-32 is affine, so
// the last four bytes can always be chosen backwards from the target.
inline std::string ForgeCrc(const std::string& prefix, uint32_t target) {
    uint32_t table[256];
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    uint8_t index[4];
    uint32_t r = target;
    for (int k = 3; k >= 0; --k) {
        uint32_t j = 0;
        while ((table[j] >> 24) != (r >> 24))
            ++j;
        index[k] = static_cast<uint8_t>(j);
        r = (r ^ table[j]) << 8;
    }
    std::string out = prefix;
    r = q3::StringCrc(prefix);
    for (uint8_t j : index) {
        const auto b = static_cast<unsigned char>((r ^ j) & 0xFF);
        if (b < 0x21 || b > 0x7E || b == '"' || b == '<' || b == '#' || (b >= 'A' && b <= 'Z'))
            return {};
        out += static_cast<char>(b);
        r = (r >> 8) ^ table[j];
    }
    return out;
}

}  // namespace q3::testing
