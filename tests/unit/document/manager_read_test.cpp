// Record reading through the buffers the manager keeps between reads and the
// directory it keeps in memory: every read must give what reading the entry
// and the record from the file as stored gives.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "document/format.h"
#include "document/manager.h"
#include "document/record_codec.h"
#include "document/writer.h"
#include "support/temp_dir.h"

namespace q3::doc {
namespace {

using q3::testing::TempDir;

// Text that deflate cannot shrink to nothing, so sizes stay apart.
std::string Page(size_t size, char seed) {
    std::string s(size, '\0');
    uint32_t x = static_cast<unsigned char>(seed) * 2654435761u + 1;
    for (char& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>('a' + (x >> 16) % 26);
    }
    return s;
}

TEST(ManagerRead, ReusedStreamHoldsExactlyEachRecordWhateverCameBefore) {
    TempDir dir;
    const std::vector<std::string> pages = {"contents",      Page(20000, 'a'), Page(10, 'b'),
                                            Page(5000, 'c'), Page(70000, 'd'), Page(1, 'e')};
    QbxWriter w({});
    for (const std::string& p : pages)
        w.AddRecord(p);
    TQBXManage m(dir.Write("a.qbx", w.Build()));
    ASSERT_TRUE(m.Open());
    // Large after small and small after large, twice over, into one stream.
    std::string stream = "left over from the caller";
    for (int round = 0; round < 2; ++round) {
        for (int32_t r : {2, 3, 5, 4, 6, 1, 5, 3}) {
            ASSERT_TRUE(m.ReadRecord(r, stream)) << r;
            EXPECT_EQ(stream, pages[static_cast<size_t>(r - 1)]) << r;
        }
    }
}

uint32_t StoredOffset(const std::string& bytes, int32_t r) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(bytes[EntryOffset(r) + de::kOffset + i]);
    return v;
}

// Records in file order, every tenth entry naming the record before it.
std::string RunBook(std::vector<std::string>& pages, int count = 200) {
    QbxWriter w({});
    pages = {"contents"};
    for (int i = 2; i <= count; ++i)
        pages.push_back(Page(static_cast<size_t>(100 + i * 13 % 3000), static_cast<char>(i)));
    for (const std::string& p : pages)
        w.AddRecord(p);
    std::string bytes = w.Build();
    for (int32_t r = 10; r <= count; r += 10) {
        bytes.replace(EntryOffset(r), kDirectoryEntrySize, bytes, EntryOffset(r - 1),
                      kDirectoryEntrySize);
        pages[static_cast<size_t>(r - 1)] = pages[static_cast<size_t>(r - 2)];
    }
    return bytes;
}

TEST(ManagerRead, RegressionReadsInFileOrderGiveEachRecordAsStored) {
    TempDir dir;
    std::vector<std::string> pages;
    TQBXManage m(dir.Write("run.qbx", RunBook(pages)));
    ASSERT_TRUE(m.Open());
    // A run through the file, twice: records that share bytes read the same.
    std::string stream;
    for (int round = 0; round < 2; ++round) {
        for (int32_t r = 1; r <= 200; ++r) {
            ASSERT_TRUE(m.ReadRecord(r, stream)) << r;
            ASSERT_EQ(stream, pages[static_cast<size_t>(r - 1)]) << r;
        }
    }
}

TEST(ManagerRead, RegressionFileCutShortUnderTheReaderFailsItsRecords) {
    TempDir dir;
    std::vector<std::string> pages;
    const std::string bytes = RunBook(pages, 2000);  // some 2 MB: more than one read ahead
    const std::string path = dir.Write("cut.qbx", bytes);
    TQBXManage m(path);
    ASSERT_TRUE(m.Open());
    std::string stream;
    for (int32_t r = 1; r <= 40; ++r)
        ASSERT_TRUE(m.ReadRecord(r, stream)) << r;
    ASSERT_GT(StoredOffset(bytes, 1500), StoredOffset(bytes, 40) + (1u << 20) + 4096);
    // What was read ahead before the cut may still be served; records the
    // file no longer holds and no read had fetched fail, and none is wrong.
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(StoredOffset(bytes, 1501))), 0);
    for (int32_t r = 41; r <= 2000; ++r) {
        stream.clear();
        ASSERT_EQ(m.ReadRecord(r, stream), r <= 1500) << r;
        if (r <= 1500) {
            ASSERT_EQ(stream, pages[static_cast<size_t>(r - 1)]) << r;
        }
    }
}

TEST(ManagerRead, FailedReadAfterGoodOnesLeavesTheStreamAlone) {
    TempDir dir;
    QbxWriter w({});
    w.AddRecord("contents");
    w.AddRecord(Page(3000, 'x'));
    StoredRecord bad = SealRecord(CompressRecord(Page(3000, 'y')), w.Key());
    bad.bytes[bad.bytes.size() - 1] ^= 0x01;  // Adler-32 trailer damaged
    w.ReserveRecord();
    w.SetStoredRecord(3, bad);
    TQBXManage m(dir.Write("a.qbx", w.Build()));
    ASSERT_TRUE(m.Open());
    std::string stream;
    ASSERT_TRUE(m.ReadRecord(2, stream));
    const std::string good = stream;
    EXPECT_EQ(m.ReadRecordChecked(3, stream), RecordError::kDamaged);
    EXPECT_EQ(stream, good);
    std::string text = "unchanged";
    EXPECT_FALSE(m.ReadRecordText(3, text));
    EXPECT_EQ(text, "unchanged");
    ASSERT_TRUE(m.ReadRecordText(2, text));  // the manager's buffers still work
    EXPECT_EQ(text, good);
}

// Record 1's stored bytes are 24 bytes shaped like an entry for record 2, and
// lie where entry 3 would be: reading record 3 reads them as its entry.
std::string DocumentWithAnEntryPastTheDirectory(std::string& page) {
    page = Page(400, 'p');
    QbxWriter w({});
    w.ReserveRecord();
    w.AddRecord(page);
    const std::string plain = w.Build();  // record 1 still empty: learn record 2's place
    DirectoryEntry second = ParseDirectoryEntry(std::string_view(plain).substr(538 + 24, 24));
    std::string fake(24, '\0');                     // reserved
    PutU32(fake, de::kOffset, second.Offset + 24);  // record 2 moves by record 1's 24 bytes
    PutU32(fake, de::kLength, static_cast<uint32_t>(second.Length));
    PutU32(fake, de::kCheck, second.Check);  // record 2's own check
    w.SetStoredRecord(1, StoredRecord{fake, 0});
    return w.Build();
}

TEST(ManagerRead, EntryPastTheDirectoryIsReadFromTheFileAsStored) {
    TempDir dir;
    std::string page;
    TQBXManage m(dir.Write("a.qbx", DocumentWithAnEntryPastTheDirectory(page)));
    ASSERT_TRUE(m.Open());
    ASSERT_EQ(m.DirectoryCount(), 2);
    std::string text;
    ASSERT_TRUE(m.ReadRecordText(3, text));
    EXPECT_EQ(text, page);
}

// Entry offsets are 32-bit and wrap: a far record number can land on an entry
// of the directory, between two entries, past it, or outside the file.
TEST(ManagerRead, EveryRecordNumberReadsTheBytesItsOffsetNames) {
    TempDir dir;
    QbxWriter w({});
    for (char c : {'a', 'b', 'c', 'd'})
        w.AddRecord(Page(100, c));
    const std::string bytes = w.Build();
    TQBXManage m(dir.Write("a.qbx", bytes));
    ASSERT_TRUE(m.Open());

    struct Case {
        int32_t r;
        uint32_t offset;  // EntryOffset(r)
    };
    const std::vector<Case> cases = {
        {0, 538},                // record 0 names entry 1
        {1, 538},                // entry 1
        {4, 538 + 72},           // the last entry
        {5, 538 + 96},           // just past the directory: record data as stored
        {-536870910, 538 + 24},  // wraps around onto entry 2
        {178956972, 538 + 8},    // wraps to the middle of entry 1
        {357913946, 538 + 88},   // wraps across the end of the directory into record data
    };
    for (const Case& c : cases) {
        ASSERT_EQ(EntryOffset(c.r), c.offset) << c.r;
        DirectoryEntry got,
            want = ParseDirectoryEntry(std::string_view(bytes).substr(c.offset, 24));
        ASSERT_TRUE(m.ReadEntry(c.r, got)) << c.r;
        EXPECT_EQ(got.Offset, want.Offset) << c.r;
        EXPECT_EQ(got.Length, want.Length) << c.r;
        EXPECT_EQ(got.Check, want.Check) << c.r;
    }
    std::string text;
    ASSERT_TRUE(m.ReadRecordText(-536870910, text));
    EXPECT_EQ(text, Page(100, 'b'));

    DirectoryEntry none;
    EXPECT_FALSE(m.ReadEntry(-1, none));
    EXPECT_FALSE(m.ReadEntry(1000000, none));  // beyond the end of the file
}

TEST(InflateRecord, WritesExactlyTheSizeIntoWhateverBufferItIsGiven) {
    const std::string content = Page(3000, 'z');
    const std::string record = CompressRecord(content);
    for (std::string out : {std::string(), std::string(10, '#'), std::string(100000, '#')}) {
        ASSERT_EQ(InflateRecord(record.data(), record.size(), out), RecordError::kOk);
        EXPECT_EQ(out, content);
    }
}

}  // namespace
}  // namespace q3::doc
