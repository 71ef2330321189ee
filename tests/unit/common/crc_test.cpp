#include "common/crc.h"

#include <gtest/gtest.h>

#include <string>

namespace q3 {
namespace {

TEST(BufferCrc, IsTheUninvertedRegister) {
    struct Case {
        std::string bytes;
        uint32_t crc;
    } cases[] = {
        {"abc", 0xCADBBE3Du},  // usual CRC-32 is 0x352441C2
        {"123456789", ~0xCBF43926u},
        {"", 0xFFFFFFFFu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringCrc(c.bytes), c.crc) << c.bytes;
}

TEST(BufferCrc, NonPositiveCountGivesInitialRegister) {
    EXPECT_EQ(BufferCrc("abc", 0), 0xFFFFFFFFu);
    EXPECT_EQ(BufferCrc("abc", -5), 0xFFFFFFFFu);
}

TEST(BufferCrc, PiecewiseUpdateMatchesWhole) {
    std::string text(1000, '\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>(i * 7 + 3);
    uint32_t whole = BufferCrc(text.data(), static_cast<int64_t>(text.size()));
    for (size_t cut : {0u, 1u, 3u, 4u, 5u, 999u}) {
        uint32_t reg = CrcUpdate(0xFFFFFFFFu, text.data(), cut);
        reg = CrcUpdate(reg, text.data() + cut, text.size() - cut);
        EXPECT_EQ(reg, whole) << cut;
    }
}

}  // namespace
}  // namespace q3
