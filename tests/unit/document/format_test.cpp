#include "document/format.h"

#include <gtest/gtest.h>

namespace q3::doc {
namespace {

TEST(EntryOffset, FollowsTheWrappingRule) {
    EXPECT_EQ(EntryOffset(0), 538u);  // record 0 reads record 1
    EXPECT_EQ(EntryOffset(1), 538u);
    EXPECT_EQ(EntryOffset(2), 562u);
    EXPECT_EQ(EntryOffset(-1), 0xFFFFFFFFu);
    EXPECT_EQ(EntryOffset(-2), 538u - 72u);  // wraps to a small value
}

TEST(ParseVersionBlock, ReadsFieldsAtTheirOffsets) {
    std::string b(kVersionBlockSize, '\0');
    PutU32(b, vb::kMagic, kMagic);
    PutU32(b, vb::kFormatVersion, 20090626);
    PutU32(b, vb::kCreatedAt, MakeDosDateTime(2009, 9, 15, 9, 30, 0));
    PutShortString(b, vb::kProducer, 48, "maker");
    PutShortString(b, vb::kBookAuthor, 48, "author");
    PutShortString(b, vb::kSubject, 128, "subject");
    PutShortString(b, vb::kRemarks, 255, "remarks");
    EXPECT_EQ(std::string(b.data(), 4), std::string("\x06\x09\xFF\x00", 4));
    VersionBlock v = ParseVersionBlock(b);
    EXPECT_EQ(v.Magic, kMagic);
    EXPECT_EQ(v.FormatVersion, 20090626u);
    EXPECT_EQ(FormatDosDateTime(v.CreatedAt), "2009-09-15 09:30:00");
    EXPECT_EQ(v.Producer, "maker");
    EXPECT_EQ(v.BookAuthor, "author");
    EXPECT_EQ(v.Subject, "subject");
    EXPECT_EQ(v.Remarks, "remarks");
}

TEST(ParseVersionBlock, LengthByteBeyondCapacityIsClamped) {
    std::string b(kVersionBlockSize, 'x');
    b[vb::kProducer] = static_cast<char>(200);  // capacity is 48
    b[vb::kRemarks] = static_cast<char>(255);   // capacity 255: the block's last byte
    VersionBlock v = ParseVersionBlock(b);
    EXPECT_EQ(v.Producer.size(), 48u);
    EXPECT_EQ(v.Remarks.size(), 255u);
}

TEST(ByteCursor, ReadPastTheEndFailsWithoutTouchingMemory) {
    ByteCursor c(std::string_view("abc"));
    EXPECT_EQ(c.U32(0), 0u);
    EXPECT_FALSE(c.ok());
    ByteCursor d(std::string_view("\x05xy", 3));
    EXPECT_EQ(d.ShortString(0, 48), "");
    EXPECT_FALSE(d.ok());
}

TEST(ParseFileHeader, ReadsCountAndHash) {
    std::string h(kFileHeaderSize, '\0');
    PutU32(h, fh::kDirectoryCount, static_cast<uint32_t>(-3));
    PutU32(h, fh::kPasswordHash, 0x12345678);
    FileHeader f = ParseFileHeader(h);
    EXPECT_EQ(f.DirectoryCount, -3);
    EXPECT_EQ(f.PasswordHash, 0x12345678u);
}

}  // namespace
}  // namespace q3::doc
