#include "document/record_walk.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "document/writer.h"
#include "support/temp_dir.h"

namespace q3::doc {
namespace {

using q3::testing::TempDir;

struct Visit {
    int32_t record;
    RecordError error;
    std::string content;
    bool operator==(const Visit&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Visit& v) {
    return os << v.record << ":" << Describe(v.error) << ":" << v.content.size();
}

// What reading the records one by one with one budget gives: the walk must
// give exactly this, however it reads.
std::vector<Visit> OneByOne(TQBXManage& m, int32_t first, int32_t last) {
    std::vector<Visit> out;
    DecodeBudget budget(m.FileSize());
    std::string text;
    for (int32_t r = first; r <= last; ++r) {
        const RecordError e = m.ReadRecordChecked(r, text, &budget);
        out.push_back({r, e, e == RecordError::kOk ? text : std::string()});
        if (e == RecordError::kWalkTooLarge)
            break;
    }
    return out;
}

std::vector<Visit> Walked(TQBXManage& m, int32_t first, int32_t last, int workers,
                          bool* whole = nullptr) {
    std::vector<Visit> out;
    RecordWalk walk(m, first, last, workers);
    const bool ok = walk.Run([&](int32_t r, RecordError e, const std::string& content) {
        out.push_back({r, e, e == RecordError::kOk ? content : std::string()});
        return true;
    });
    if (whole != nullptr)
        *whole = ok;
    return out;
}

// Letters that hardly compress, so stored sizes run from below the head's 64
// bytes to several hundred.
std::string Page(int i) {
    std::string s = "page " + std::to_string(i) + " ";
    uint32_t x = static_cast<uint32_t>(i) * 2654435761u;
    for (int n = (i * 37) % 700; n > 0; --n) {
        x = x * 1103515245u + 12345u;
        s += static_cast<char>('a' + (x >> 16) % 26);
    }
    return s;
}

void CopyEntry(std::string& bytes, int32_t to, int32_t from) {
    bytes.replace(EntryOffset(to), kDirectoryEntrySize, bytes, EntryOffset(from),
                  kDirectoryEntrySize);
}

uint32_t OffsetOf(const std::string& bytes, int32_t r) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(bytes[EntryOffset(r) + de::kOffset + i]);
    return v;
}

// Records out of file order, sharing bytes, damaged in each way a record can
// be, across several chunks.
std::string TangledBook(int32_t count) {
    QbxWriter w({});
    w.AddRecord("contents");
    for (int32_t r = 2; r <= count; ++r)
        w.AddRecord(Page(r));
    std::string bytes = w.Build();
    const std::string original = bytes;
    for (int32_t r = 10; r < 40; r += 2) {  // pairs stored the other way round
        CopyEntry(bytes, r, r + 1);
        bytes.replace(EntryOffset(r + 1), kDirectoryEntrySize, original, EntryOffset(r),
                      kDirectoryEntrySize);
    }
    for (int32_t r = 60; r < 70; ++r)  // ten entries naming the record before them
        CopyEntry(bytes, r, 59);
    CopyEntry(bytes, 75, 120);  // a record from far ahead, then back
    PutU32(bytes, EntryOffset(80) + de::kOffset, OffsetOf(bytes, 80) + 3);  // inside a record
    bytes[OffsetOf(bytes, 90) + 20] ^= 0x40;                                // a damaged head
    bytes[OffsetOf(bytes, 100) + 70] ^= 0x55;                               // a damaged stream
    PutU32(bytes, EntryOffset(110) + de::kLength, 0x7FFFFF00);              // past the end
    PutU32(bytes, EntryOffset(111) + de::kLength, 0);
    return bytes;
}

class RecordWalkTest : public ::testing::Test {
  protected:
    TempDir dir;
};

TEST_F(RecordWalkTest, GivesWhatSingleReadsGiveInRecordOrder) {
    // Enough records for the walk's chunks to be reused after the first round.
    constexpr int32_t kCount = 5 * RecordWalk::kChunkRecords + 180;
    TQBXManage m(dir.Write("tangled.qbx", TangledBook(kCount)));
    ASSERT_TRUE(m.Open());
    const std::vector<Visit> expected = OneByOne(m, 1, kCount + 2);
    // The book really holds what the walk must get right.
    EXPECT_EQ(expected[60 - 1], (Visit{60, RecordError::kOk, Page(59)}));
    EXPECT_EQ(expected[80 - 1].error, RecordError::kCheckMismatch);
    EXPECT_EQ(expected[90 - 1].error, RecordError::kCheckMismatch);
    EXPECT_EQ(expected[100 - 1].error, RecordError::kDamaged);
    EXPECT_EQ(expected[110 - 1].error, RecordError::kBadLength);
    for (int workers : {0, 1, 2}) {
        bool whole = false;
        EXPECT_EQ(Walked(m, 1, kCount + 2, workers, &whole), expected) << workers << " workers";
        EXPECT_TRUE(whole);
    }
}

TEST_F(RecordWalkTest, FileShrunkUnderTheReaderFailsAsSingleReadsDo) {
    constexpr int32_t kCount = 120;
    const std::string bytes = TangledBook(kCount);
    const std::string path = dir.Write("shrinks.qbx", bytes);
    TQBXManage m(path);
    ASSERT_TRUE(m.Open());
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(OffsetOf(bytes, 70))), 0);
    const std::vector<Visit> expected = OneByOne(m, 2, kCount);
    EXPECT_EQ(expected[70 - 2].error, RecordError::kShortRead);
    EXPECT_EQ(Walked(m, 2, kCount, 2), expected);
}

// Entries 2 .. count-1 all name one record of `size` zero bytes.
std::string SharedRecordBook(int32_t count, size_t size) {
    QbxWriter w({});
    w.AddRecord("c");
    w.AddRecord(std::string(size, '\0'), 9);
    for (int32_t r = 3; r <= count; ++r)
        w.AddRecord("x");
    std::string bytes = w.Build();
    for (int32_t r = 3; r < count; ++r)
        CopyEntry(bytes, r, 2);
    return bytes;
}

TEST_F(RecordWalkTest, BudgetEndsTheWalkAtTheSameRecord) {
    TQBXManage m(dir.Write("shared.qbx", SharedRecordBook(150, size_t{4} << 20)));
    ASSERT_TRUE(m.Open());
    const std::vector<Visit> expected = OneByOne(m, 2, 149);
    ASSERT_EQ(expected.back().error, RecordError::kWalkTooLarge);
    ASSERT_LT(expected.size(), 100u);
    for (int workers : {0, 2}) {
        bool whole = true;
        EXPECT_EQ(Walked(m, 2, 149, workers, &whole), expected) << workers << " workers";
        EXPECT_FALSE(whole);
    }
}

TEST_F(RecordWalkTest, StopEndsAtOnceAndTheDocumentMayGoInsideTheVisitor) {
    const std::string path = dir.Write("stop.qbx", TangledBook(400));
    for (int workers : {0, 2}) {
        auto m = std::make_unique<TQBXManage>(path);
        ASSERT_TRUE(m->Open());
        std::vector<int32_t> seen;
        RecordWalk walk(*m, 2, 399, workers);
        // The window closing from inside a progress point frees the document
        // before the stop: the walk must not read it again.
        EXPECT_TRUE(walk.Run([&](int32_t r, RecordError, const std::string&) {
            seen.push_back(r);
            if (r < 77)
                return true;
            m.reset();
            return false;
        }));
        ASSERT_EQ(seen.size(), 76u) << workers << " workers";
        EXPECT_EQ(seen.front(), 2);
        EXPECT_EQ(seen.back(), 77);
    }
}

TEST_F(RecordWalkTest, EmptyRunsVisitNothing) {
    QbxWriter w({});
    w.AddRecord("c");
    w.AddRecord("last");
    TQBXManage m(dir.Write("two.qbx", w.Build()));
    ASSERT_TRUE(m.Open());
    EXPECT_TRUE(Walked(m, 2, 1, 2).empty());
    int visits = 0;
    EXPECT_TRUE(
        m.EnumerateRecords([&](TQBXManage&, bool&, int32_t, const std::string&) { ++visits; }));
    EXPECT_EQ(visits, 0);
}

}  // namespace
}  // namespace q3::doc
