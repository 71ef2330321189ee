#include "document/manager.h"

#include <gtest/gtest.h>

#include "common/crc.h"
#include "document/writer.h"
#include "support/memory_limit.h"
#include "support/temp_dir.h"

namespace q3::doc {
namespace {

using q3::testing::TempDir;

std::string Build(const std::vector<std::string>& records, DocumentInfo info = {}) {
    QbxWriter w(std::move(info));
    for (const std::string& r : records)
        w.AddRecord(r);
    return w.Build();
}

std::string OpenMessage(const std::string& path,
                        const TQBXManage::PasswordProvider& provider = {}) {
    TQBXManage m(path);
    try {
        m.Open(provider);
    } catch (const OpenError& e) {
        return e.what();
    }
    return "opened";
}

class ManagerTest : public ::testing::Test {
  protected:
    TempDir dir;
};

TEST_F(ManagerTest, OpensAndReadsRecords) {
    DocumentInfo info;
    info.Subject = "subject";
    std::string path = dir.Write("a.qbx", Build({"contents", "page two", "page three"}, info));
    TQBXManage m(path);
    ASSERT_TRUE(m.Open());
    EXPECT_EQ(m.DirectoryCount(), 3);
    EXPECT_EQ(m.Version().Subject, "subject");
    EXPECT_FALSE(m.Protected());
    std::string text;
    ASSERT_TRUE(m.ReadRecordText(2, text));
    EXPECT_EQ(text, "page two");
    std::string zero, one;
    ASSERT_TRUE(m.ReadRecord(0, zero));
    ASSERT_TRUE(m.ReadRecord(1, one));
    EXPECT_EQ(zero, "contents");
    EXPECT_EQ(one, zero);
    EXPECT_FALSE(m.ReadRecord(-1, text));
    EXPECT_FALSE(m.ReadRecord(4, text));  // past the directory and the file
    EXPECT_EQ(text, "page two");          // unchanged on failure
}

TEST_F(ManagerTest, DocumentCheckCoversBlocksAndDirectory) {
    std::string bytes = Build({"c", "p"});
    std::string path = dir.Write("a.qbx", bytes);
    TQBXManage m(path);
    ASSERT_TRUE(m.Open());
    EXPECT_EQ(m.DocumentCheck(), BufferCrc(bytes.data(), 538 + 24 * 2));
}

TEST_F(ManagerTest, OpenMessagesInTheirOrder) {
    std::string good = Build({"c", "p"});
    EXPECT_EQ(OpenMessage(dir.File("missing.qbx")), "文件不存在");

    EXPECT_EQ(OpenMessage(dir.Write("short.qbx", good.substr(0, 494))), "读取文件版本信息失败");

    std::string magic = good;
    magic[0] = 0x07;
    EXPECT_EQ(OpenMessage(dir.Write("magic.qbx", magic)), "无效的Qbx文件格式");

    std::string newer = good, older = good;
    PutU32(newer, vb::kFormatVersion, 20090627);
    PutU32(older, vb::kFormatVersion, 20090625);
    EXPECT_EQ(OpenMessage(dir.Write("new.qbx", newer)), "不支持的版本，请更新阅读器到最新版");
    EXPECT_EQ(OpenMessage(dir.Write("old.qbx", older)), "文件格式的版本太低，已不被支持");

    EXPECT_EQ(OpenMessage(dir.Write("nohead.qbx", good.substr(0, 530))), "读取文件头信息失败");

    std::string count = good;
    PutU32(count, 495 + fh::kDirectoryCount, 1000);
    EXPECT_EQ(OpenMessage(dir.Write("count.qbx", count)), "数据记录已损坏");
}

TEST_F(ManagerTest, RegressionNegativeDirectoryCountIsDamagedNotWrapped) {
    std::string bytes = Build({"c", "p"});
    PutU32(bytes, 495 + fh::kDirectoryCount, static_cast<uint32_t>(-5));
    EXPECT_EQ(OpenMessage(dir.Write("neg.qbx", bytes)), "数据记录已损坏");
}

TEST_F(ManagerTest, SizeCheckIsAtTheStartOfTheLastEntry) {
    // N = 0: a bare 538-byte file passes and has nothing to read.
    std::string empty = Build({});
    ASSERT_EQ(empty.size(), 538u);
    TQBXManage m(dir.Write("empty.qbx", empty));
    ASSERT_TRUE(m.Open());
    std::string text;
    EXPECT_FALSE(m.ReadRecord(1, text));

    // Entry N missing: passes the size check, fails on the directory check.
    std::string two = Build({"c", "p"}).substr(0, 538 + 24);
    EXPECT_EQ(OpenMessage(dir.Write("cut.qbx", two)).rfind("读取文件失败", 0), 0u);
}

TEST_F(ManagerTest, StoredCheckIsNeverCompared) {
    std::string bytes = Build({"c", "p"});
    PutU32(bytes, 495 + fh::kStoredCheck, 0xDEADBEEF);
    TQBXManage m(dir.Write("a.qbx", bytes));
    ASSERT_TRUE(m.Open());
    EXPECT_EQ(m.DocumentCheck(), BufferCrc(bytes.data(), 538 + 48));
}

TEST_F(ManagerTest, PasswordRules) {
    DocumentInfo info;
    info.Password = "\xCA\xBE\xC0\xFD\xC3\xDC\xC2\xEB";  // 示例密码 in GBK
    std::string path = dir.Write("p.qbx", Build({"c", "secret page"}, info));

    EXPECT_EQ(OpenMessage(path), "密码错误, 请输入正确的密码");     // no provider
    EXPECT_EQ(OpenMessage(path, [](TQBXManage&, std::string&) {}),  // cancelled prompt
              "密码错误, 请输入正确的密码");
    EXPECT_EQ(OpenMessage(path, [](TQBXManage&, std::string& p) { p = "wrong"; }),
              "密码错误, 请输入正确的密码");

    int calls = 0;
    TQBXManage m(path);
    ASSERT_TRUE(m.Open([&](TQBXManage&, std::string& p) {
        ++calls;
        p = "\xCA\xBE\xC0\xFD\xC3\xDC\xC2\xEB";
    }));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(m.Protected());
    std::string text;
    ASSERT_TRUE(m.ReadRecordText(2, text));
    EXPECT_EQ(text, "secret page");
}

TEST_F(ManagerTest, UnprotectedDocumentNeverAsksForAPassword) {
    TQBXManage m(dir.Write("a.qbx", Build({"c"})));
    bool asked = false;
    ASSERT_TRUE(m.Open([&](TQBXManage&, std::string&) { asked = true; }));
    EXPECT_FALSE(asked);
}

TEST_F(ManagerTest, RegressionPasswordOf256BytesIsRefusedAsWrong) {
    // The stored hash matches, yet such a key has no cipher period.
    std::string key(256, 'k');
    std::string bytes = Build({"c"});
    PutU32(bytes, 495 + fh::kPasswordHash, StringCrc(key));
    EXPECT_EQ(OpenMessage(dir.Write("k.qbx", bytes), [&](TQBXManage&, std::string& p) { p = key; }),
              "密码错误, 请输入正确的密码");
}

TEST_F(ManagerTest, RegressionSecondReaderIsRefusedWithAReason) {
    std::string path = dir.Write("a.qbx", Build({"c"}));
    TQBXManage first(path, Locking::kExclusive);
    ASSERT_TRUE(first.Open());
    TQBXManage second(path, Locking::kExclusive);
    std::string msg;
    try {
        second.Open();
    } catch (const OpenError& e) {
        msg = e.what();
    }
    EXPECT_EQ(msg.rfind("打开文件失败: ", 0), 0u) << msg;
    EXPECT_GT(msg.size(), std::string("打开文件失败: ").size());
}

TEST_F(ManagerTest, RegressionToolsReadADocumentAReaderHolds) {
    // The one-reader rule belongs to the reader window: a manager that takes
    // no lock opens beside it, and does not keep the window out either.
    std::string path = dir.Write("a.qbx", Build({"c", "page"}));
    auto window = std::make_unique<TQBXManage>(path, Locking::kExclusive);
    ASSERT_TRUE(window->Open());
    TQBXManage tool(path);
    ASSERT_TRUE(tool.Open());
    std::string text;
    EXPECT_TRUE(tool.ReadRecordText(2, text));
    window.reset();
    EXPECT_EQ(OpenMessage(path), "opened");
    TQBXManage again(path, Locking::kExclusive);
    EXPECT_TRUE(again.Open());
}

TEST_F(ManagerTest, RegressionReadOnlyDocumentOpens) {
    std::string path = dir.Write("ro.qbx", Build({"c", "p"}));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    TQBXManage m(path);
    EXPECT_TRUE(m.Open());
}

TEST_F(ManagerTest, RegressionHostileLengthIsRefusedBeforeAllocating) {
    std::string bytes = Build({"c", "page"});
    PutU32(bytes, 538 + 24 + de::kLength, 0x7FFFFFFF);
    TQBXManage m(dir.Write("a.qbx", bytes));
    ASSERT_TRUE(m.Open());
    std::string text;
    EXPECT_EQ(m.ReadRecordChecked(2, text), RecordError::kBadLength);
    PutU32(bytes, 538 + 24 + de::kLength, 0);
    TQBXManage z(dir.Write("b.qbx", bytes));
    ASSERT_TRUE(z.Open());
    EXPECT_FALSE(z.ReadRecord(2, text));
}

TEST_F(ManagerTest, DamagedRecordFailsOthersStillRead) {
    QbxWriter w({});
    w.AddRecord("c");
    w.AddRecord(std::string(300, 'a'));
    w.AddRecord("third");
    std::string bytes = w.Build();
    // Flip a byte inside record 2's head: the check catches it.
    uint32_t off = static_cast<uint8_t>(bytes[538 + 24 + 4]) |
                   static_cast<uint8_t>(bytes[538 + 24 + 5]) << 8 |
                   static_cast<uint8_t>(bytes[538 + 24 + 6]) << 16;
    bytes[off + 10] ^= 0x55;
    TQBXManage m(dir.Write("a.qbx", bytes));
    ASSERT_TRUE(m.Open());
    std::string text;
    EXPECT_EQ(m.ReadRecordChecked(2, text), RecordError::kCheckMismatch);
    EXPECT_TRUE(m.ReadRecordText(3, text));
}

TEST_F(ManagerTest, EnumerateVisitsTwoToCountMinusOne) {
    TQBXManage m(dir.Write("a.qbx", Build({"c", "r2", "r3", "r4", "r5"})));
    ASSERT_TRUE(m.Open());
    std::vector<int32_t> seen;
    m.EnumerateRecords([&](TQBXManage&, bool&, int32_t r, const std::string& text) {
        seen.push_back(r);
        EXPECT_EQ(text, "r" + std::to_string(r));
    });
    EXPECT_EQ(seen, (std::vector<int32_t>{2, 3, 4}));

    seen.clear();
    m.EnumerateRecords([&](TQBXManage&, bool& stop, int32_t r, const std::string&) {
        seen.push_back(r);
        stop = true;
    });
    EXPECT_EQ(seen, (std::vector<int32_t>{2}));

    TQBXManage three(dir.Write("b.qbx", Build({"c", "only", "last"})));
    ASSERT_TRUE(three.Open());
    seen.clear();
    three.EnumerateRecords(
        [&](TQBXManage&, bool&, int32_t r, const std::string&) { seen.push_back(r); });
    EXPECT_EQ(seen, (std::vector<int32_t>{2}));
}

TEST_F(ManagerTest, RegressionVisitorOutOfMemoryEndsTheWalkInsideIt) {
    TQBXManage m(dir.Write("a.qbx", Build({"c", "r2", "r3", "r4", "r5"})));
    ASSERT_TRUE(m.Open());
    std::vector<int32_t> seen;
    m.EnumerateRecords([&](TQBXManage&, bool&, int32_t r, const std::string&) {
        seen.push_back(r);
        if (r == 3)
            throw std::bad_alloc();
    });
    EXPECT_EQ(seen, (std::vector<int32_t>{2, 3}));
}

TEST_F(ManagerTest, RegressionRecordBeyondMemoryIsSkippedNotFatal) {
    if (!q3::testing::kCanLimitMemory)
        GTEST_SKIP() << "no address-space limit under ASan";
    constexpr size_t kMiB = size_t{1} << 20;
    std::string path;
    {
        QbxWriter w({});
        w.AddRecord("c");
        w.AddRecord("before");
        w.AddRecord(std::string(64 * kMiB, '\0'), 1);  // about 64 KiB stored
        w.AddRecord("after");
        w.AddRecord("last");
        path = dir.Write("bomb.qbx", w.Build());
    }
    const int status = q3::testing::RunWithMemoryLimit(32 * kMiB, [&] {
        TQBXManage m(path);
        m.Open();
        std::string text;
        if (m.ReadRecordChecked(3, text) != RecordError::kNoMemory)
            return 1;
        std::vector<int32_t> seen;
        m.EnumerateRecords(
            [&](TQBXManage&, bool&, int32_t r, const std::string&) { seen.push_back(r); });
        return seen == std::vector<int32_t>{2, 4} ? 0 : 2;
    });
    EXPECT_EQ(status, 0) << "1, 2: wrong answer; 134: an exception escaped";
}

// A book whose entries 2 .. count-1 all name one stored record of `size`
// zero bytes: the file is small, every walk over its records is not.
std::string SharedRecordBook(int32_t count, size_t size) {
    QbxWriter w({});
    w.AddRecord("c");
    w.AddRecord(std::string(size, '\0'), 9);
    for (int32_t r = 3; r < count; ++r)
        w.AddRecord("x");
    std::string bytes = w.Build();
    const size_t shared = EntryOffset(2);
    for (int32_t r = 3; r < count - 1; ++r) {
        // Offset, Length and Check of record 2, and the rest of its entry.
        bytes.replace(EntryOffset(r), kDirectoryEntrySize, bytes, shared, kDirectoryEntrySize);
    }
    return bytes;
}

TEST_F(ManagerTest, RegressionEntriesSharingOneRecordStopTheWalkAtTheFilesSize) {
    constexpr size_t kMiB = size_t{1} << 20;
    // 100 entries naming one 16 MiB record of some 16 KiB: 1.6 GB to inflate
    // before; the file can hold about 1032 times its size, some 17 MiB.
    TQBXManage m(dir.Write("shared.qbx", SharedRecordBook(102, 16 * kMiB)));
    ASSERT_TRUE(m.Open());
    ASSERT_LT(m.FileSize(), 32 * 1024u);
    std::string one;
    ASSERT_TRUE(m.ReadRecord(50, one));  // one record alone is read as ever
    EXPECT_EQ(one.size(), 16 * kMiB);
    int visits = 0;
    EXPECT_FALSE(
        m.EnumerateRecords([&](TQBXManage&, bool&, int32_t, const std::string&) { ++visits; }));
    EXPECT_GE(visits, 1);
    EXPECT_LE(visits, 2);

    // A walk of its own gets a budget of its own.
    DecodeBudget budget(m.FileSize());
    EXPECT_EQ(m.ReadRecordChecked(2, one, &budget), RecordError::kOk);
    RecordError e = RecordError::kOk;
    for (int32_t r = 3; r < 100 && e == RecordError::kOk; ++r)
        e = m.ReadRecordChecked(r, one, &budget);
    EXPECT_EQ(e, RecordError::kWalkTooLarge);
    EXPECT_EQ(m.ReadRecordChecked(101, one, &budget), RecordError::kWalkTooLarge);
}

TEST_F(ManagerTest, WalkOverHighlyCompressedDistinctRecordsIsWhole) {
    // Distinct records at zlib's best ratio are what the budget is made for.
    std::vector<std::string> records = {"c"};
    for (int i = 0; i < 8; ++i)
        records.push_back(std::string(size_t{4} << 20, static_cast<char>('a' + i)));
    records.push_back("last");
    QbxWriter w({});
    for (const std::string& r : records)
        w.AddRecord(r, 9);
    TQBXManage m(dir.Write("dense.qbx", w.Build()));
    ASSERT_TRUE(m.Open());
    int visits = 0;
    EXPECT_TRUE(
        m.EnumerateRecords([&](TQBXManage&, bool&, int32_t, const std::string&) { ++visits; }));
    EXPECT_EQ(visits, 8);
}

}  // namespace
}  // namespace q3::doc
