#include "document/record_codec.h"

#include <gtest/gtest.h>

#include "common/crc.h"
#include "document/format.h"
#include "document/writer.h"
#include "support/memory_limit.h"

namespace q3::doc {
namespace {

TEST(RecordCipher, RepeatsTheKeyOverTheHead) {
    std::string head = "\x01\x02\x03\x04\x05";
    ASSERT_TRUE(RecordCipher(head.data(), head.size(), "abc"));
    EXPECT_EQ(head, std::string({'a' ^ 1, 'b' ^ 2, 'c' ^ 3, 'a' ^ 4, 'b' ^ 5}));
}

TEST(RecordCipher, KeyOf260BytesHasPeriodFour) {
    std::string key(260, '\0');
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<char>(i + 1);
    std::string head(8, '\0');
    ASSERT_TRUE(RecordCipher(head.data(), head.size(), key));
    EXPECT_EQ(head, std::string("\x01\x02\x03\x04\x01\x02\x03\x04"));
}

TEST(RecordCipher, RegressionKeyLengthMultipleOf256IsRefusedNotDividedByZero) {
    std::string head = "abcd";
    EXPECT_FALSE(RecordCipher(head.data(), head.size(), std::string(256, 'k')));
    EXPECT_EQ(head, "abcd");
}

TEST(DecipherAndVerify, ChecksOnlyTheFirst64Bytes) {
    std::string plain(100, 'p');
    StoredRecord rec = SealRecord(plain, "key");
    EXPECT_EQ(rec.check, BufferCrc(plain.data(), 64));
    EXPECT_EQ(rec.bytes.substr(64), plain.substr(64));  // the tail is stored plain
    std::string buf = rec.bytes;
    ASSERT_TRUE(DecipherAndVerify(buf, "key", rec.check));
    EXPECT_EQ(buf, plain);
}

TEST(DecipherAndVerify, ShortRecordIsWhollyEnciphered) {
    std::string plain = "0123456789";
    StoredRecord rec = SealRecord(plain, "key");
    EXPECT_NE(rec.bytes, plain);
    std::string buf = rec.bytes;
    ASSERT_TRUE(DecipherAndVerify(buf, "key", rec.check));
    EXPECT_EQ(buf, plain);
}

TEST(DecipherAndVerify, WrongKeyFailsAndLeavesTheBufferAlone) {
    StoredRecord rec = SealRecord(std::string(80, 'x'), "right");
    std::string buf = rec.bytes;
    EXPECT_FALSE(DecipherAndVerify(buf, "wrong", rec.check));
    EXPECT_EQ(buf, rec.bytes);
    std::string empty;
    EXPECT_FALSE(DecipherAndVerify(empty, "right", 0xFFFFFFFFu));
}

std::string WithSize(std::string plain, int32_t size) {
    PutU32(plain, 0, static_cast<uint32_t>(size));
    return plain;
}

TEST(UncompressStream, YieldsExactlyTheDeclaredSize) {
    const std::string content = "<html>hello</html>";
    std::string rec = CompressRecord(content);
    ASSERT_TRUE(UncompressStream(rec));
    EXPECT_EQ(rec, content);

    std::string smaller = WithSize(CompressRecord(content), 6);  // output beyond is ignored
    ASSERT_TRUE(UncompressStream(smaller));
    EXPECT_EQ(smaller, "<html>");
}

TEST(UncompressStream, FailsOnBadSizesAndDamage) {
    const std::string content(5000, 'z');
    std::string zero = WithSize(CompressRecord(content), 0);
    EXPECT_FALSE(UncompressStream(zero));
    std::string negative = WithSize(CompressRecord(content), -1);
    EXPECT_FALSE(UncompressStream(negative));
    std::string larger = WithSize(CompressRecord(content), 5001);  // output runs short
    EXPECT_EQ(UncompressStreamChecked(larger), RecordError::kShortOutput);
    std::string cut = CompressRecord(content);
    cut.resize(cut.size() - 3);  // trailer cut off
    EXPECT_FALSE(UncompressStream(cut));
    std::string trailer = CompressRecord(content);
    trailer.back() ^= 1;  // Adler-32 damaged
    EXPECT_EQ(UncompressStreamChecked(trailer), RecordError::kDamaged);
    std::string tiny = "\x01\x00";
    EXPECT_FALSE(UncompressStream(tiny));
}

TEST(UncompressStream, RegressionHostileSizeIsRefusedBeforeAllocating) {
    // 2 GiB declared over a few stored bytes: deflate cannot expand that far.
    std::string rec = WithSize(CompressRecord("abc"), INT32_MAX);
    EXPECT_EQ(UncompressStreamChecked(rec), RecordError::kSizeTooLarge);
    EXPECT_LT(MaxInflatedSize(10), 20000u);
}

TEST(UncompressStream, HighlyCompressibleRecordStaysWithinTheBound) {
    const std::string content(1 << 20, '\0');  // about 1000:1
    std::string rec = CompressRecord(content, 9);
    EXPECT_LE(content.size(), MaxInflatedSize(rec.size() - 4));
    ASSERT_TRUE(UncompressStream(rec));
    EXPECT_EQ(rec.size(), content.size());
}

TEST(UncompressStream, GrowingOutputKeepsTheSizeRules) {
    // Zeros inflate far beyond the first buffer guessed from the stored
    // bytes, so each of these takes the growing path.
    const std::string zeros(1 << 20, '\0');
    const std::string rec = CompressRecord(zeros, 9);
    struct Case {
        int32_t size;
        RecordError want;
    } cases[] = {
        {1 << 20, RecordError::kOk},                 // exactly the stream
        {300000, RecordError::kOk},                  // the stream holds more: its first bytes
        {(1 << 20) + 1, RecordError::kShortOutput},  // the stream ends first
    };
    for (const Case& c : cases) {
        std::string out = "old";
        const std::string sized = WithSize(rec, c.size);
        EXPECT_EQ(InflateRecord(sized.data(), sized.size(), out), c.want) << c.size;
        if (c.want == RecordError::kOk) {
            EXPECT_EQ(out, zeros.substr(0, static_cast<size_t>(c.size)));
        }
    }
    std::string damaged = rec;
    damaged.back() ^= 1;  // the trailer is checked on the growing path too
    EXPECT_EQ(UncompressStreamChecked(damaged), RecordError::kDamaged);
}

TEST(UncompressStream, RecordBeyondTheCapIsUnreadable) {
    // Enough stored bytes that deflate could expand them past the cap.
    std::string noise(300000, '\0');
    uint32_t x = 1;
    for (char& c : noise)
        c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    std::string rec = WithSize(CompressRecord(noise, 0), static_cast<int32_t>(kMaxRecordSize + 1));
    ASSERT_GE(MaxInflatedSize(rec.size() - 4), kMaxRecordSize + 1);
    EXPECT_EQ(UncompressStreamChecked(rec), RecordError::kSizeTooLarge);
}

constexpr size_t kMiB = size_t{1} << 20;

// Incompressible bytes stored as they are, claiming far more than they hold
// (yet no more than deflate could expand them to).
std::string ClaimingMoreThanItHolds() {
    std::string noise(200 * 1024, '\0');
    uint32_t x = 7;
    for (char& c : noise)
        c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    return WithSize(CompressRecord(noise, 0), static_cast<int32_t>(150 * kMiB));
}

// Zeros that really inflate to size bytes from about a thousandth of it.
std::string InflatingTo(size_t size) {
    return CompressRecord(std::string(size, '\0'), 1);
}

TEST(UncompressStream, RegressionClaimedSizeIsNotAllocatedBeforeTheStreamHoldsIt) {
    if (!q3::testing::kCanLimitMemory)
        GTEST_SKIP() << "no address-space limit under ASan";
    const std::string claiming = ClaimingMoreThanItHolds();
    const std::string bomb = InflatingTo(64 * kMiB);
    // 32 MiB to spare: the claimed 150 MiB cannot be had, nor the bomb's 64.
    const int status = q3::testing::RunWithMemoryLimit(32 * kMiB, [&] {
        std::string out;
        if (InflateRecord(claiming.data(), claiming.size(), out) != RecordError::kShortOutput)
            return 1;
        if (InflateRecord(bomb.data(), bomb.size(), out) != RecordError::kNoMemory)
            return 2;
        std::string copy = bomb;
        return UncompressStream(copy) ? 3 : 0;
    });
    EXPECT_EQ(status, 0) << "1, 2, 3: wrong answer; 134: an exception escaped";
}

}  // namespace
}  // namespace q3::doc
