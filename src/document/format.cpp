#include "document/format.h"

#include <algorithm>
#include <cstdio>

namespace q3::doc {

uint32_t ByteCursor::U32(size_t at) {
    if (at > bytes_.size() || bytes_.size() - at < 4) {
        ok_ = false;
        return 0;
    }
    auto p = reinterpret_cast<const unsigned char*>(bytes_.data() + at);
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint8_t ByteCursor::U8(size_t at) {
    if (at >= bytes_.size()) {
        ok_ = false;
        return 0;
    }
    return static_cast<uint8_t>(bytes_[at]);
}

std::string ByteCursor::ShortString(size_t at, size_t capacity) {
    size_t n = std::min<size_t>(U8(at), capacity);
    if (!ok_ || bytes_.size() - at - 1 < n) {
        ok_ = false;
        return {};
    }
    return std::string(bytes_.substr(at + 1, n));
}

VersionBlock ParseVersionBlock(std::string_view bytes) {
    ByteCursor c(bytes);
    VersionBlock v;
    v.Magic = c.U32(vb::kMagic);
    v.FormatVersion = c.U32(vb::kFormatVersion);
    v.CreatedAt = c.U32(vb::kCreatedAt);
    v.Producer = c.ShortString(vb::kProducer, 48);
    v.BookAuthor = c.ShortString(vb::kBookAuthor, 48);
    v.Subject = c.ShortString(vb::kSubject, 128);
    v.Remarks = c.ShortString(vb::kRemarks, 255);
    return v;
}

FileHeader ParseFileHeader(std::string_view bytes) {
    ByteCursor c(bytes);
    FileHeader h;
    for (size_t i = 0; i < 3; ++i)
        h.Attributes[i] = c.U8(fh::kAttributes + i);
    h.DirectoryCount = c.I32(fh::kDirectoryCount);
    h.StoredCheck = c.U32(fh::kStoredCheck);
    h.PasswordHash = c.U32(fh::kPasswordHash);
    return h;
}

DirectoryEntry ParseDirectoryEntry(std::string_view bytes) {
    ByteCursor c(bytes);
    DirectoryEntry e;
    e.Offset = c.U32(de::kOffset);
    e.Length = c.I32(de::kLength);
    e.Check = c.U32(de::kCheck);
    return e;
}

uint32_t EntryOffset(int32_t r) {
    if (r == 0)
        return kDirectoryStart;
    if (r == -1)
        return 0xFFFFFFFFu;
    return static_cast<uint32_t>(kDirectoryStart) +
           static_cast<uint32_t>(kDirectoryEntrySize) * (static_cast<uint32_t>(r) - 1u);
}

std::string FormatDosDateTime(uint32_t dos) {
    unsigned date = dos >> 16, time = dos & 0xFFFF;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", (date >> 9) + 1980,
                  (date >> 5) & 0x0F, date & 0x1F, time >> 11, (time >> 5) & 0x3F,
                  (time & 0x1F) * 2);
    return buf;
}

uint32_t MakeDosDateTime(int year, int month, int day, int hour, int minute, int second) {
    uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
    uint32_t time = static_cast<uint32_t>((hour << 11) | (minute << 5) | (second / 2));
    return date << 16 | time;
}

void PutU32(std::string& buf, size_t at, uint32_t v) {
    if (buf.size() < at + 4)
        buf.resize(at + 4);
    for (int i = 0; i < 4; ++i)
        buf[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
}

void PutShortString(std::string& buf, size_t at, size_t capacity, std::string_view s) {
    size_t n = std::min(s.size(), capacity);
    if (buf.size() < at + 1 + capacity)
        buf.resize(at + 1 + capacity);
    buf[at] = static_cast<char>(n);
    std::copy_n(s.data(), n, buf.begin() + static_cast<std::ptrdiff_t>(at + 1));
}

}  // namespace q3::doc
