#include "document/writer.h"

#include <gtest/gtest.h>

#include "common/crc.h"
#include "document/manager.h"
#include "support/temp_dir.h"

namespace q3::doc {
namespace {

TEST(QbxWriter, LaysOutBlocksDirectoryAndData) {
    DocumentInfo info;
    info.Subject = "S";
    QbxWriter w(info);
    EXPECT_EQ(w.AddRecord("contents"), 1);
    int32_t later = w.ReserveRecord();
    EXPECT_EQ(later, 2);
    w.SetRecord(later, "page");
    std::string bytes = w.Build();
    VersionBlock v = ParseVersionBlock(bytes.substr(0, kVersionBlockSize));
    FileHeader h = ParseFileHeader(bytes.substr(kVersionBlockSize, kFileHeaderSize));
    EXPECT_EQ(v.Magic, kMagic);
    EXPECT_EQ(v.Subject, "S");
    EXPECT_EQ(h.DirectoryCount, 2);
    EXPECT_EQ(h.PasswordHash, kNoPassword);
    DirectoryEntry e1 = ParseDirectoryEntry(bytes.substr(538, 24));
    EXPECT_EQ(e1.Offset, 538u + 48u);  // data starts after the directory
}

TEST(QbxWriter, LongGbkTextIsCutOnACharacterBoundary) {
    DocumentInfo info;
    for (int i = 0; i < 30; ++i)
        info.Producer += "\xB0\xA1";  // 60 bytes, capacity 48
    info.Producer = "x" + info.Producer;
    QbxWriter w(info);
    VersionBlock v = ParseVersionBlock(w.Build().substr(0, kVersionBlockSize));
    EXPECT_EQ(v.Producer.size(), 47u);  // 48 would split a character
}

TEST(QbxWriter, RoundTripsThroughTheManagerWithAPassword) {
    q3::testing::TempDir dir;
    DocumentInfo info;
    info.Password = "pw";
    QbxWriter w(info);
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 31) ^ (i >> 7));
    w.AddRecord("contents");
    w.AddRecord(big);
    std::string path = dir.File("a.qbx");
    w.WriteFile(path);
    TQBXManage m(path);
    ASSERT_TRUE(m.Open([](TQBXManage&, std::string& p) { p = "pw"; }));
    std::string text;
    ASSERT_TRUE(m.ReadRecordText(2, text));
    EXPECT_EQ(text, big);
}

TEST(QbxWriter, RefusesAKeyWithoutAPeriod) {
    DocumentInfo info;
    info.Password = std::string(512, 'p');
    EXPECT_THROW(QbxWriter{info}, std::invalid_argument);
}

}  // namespace
}  // namespace q3::doc
