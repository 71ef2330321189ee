#include "document/writer.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "common/crc.h"
#include "common/gbk.h"
#include "document/record_codec.h"

namespace q3::doc {

namespace {

// Cuts GBK text to capacity bytes without splitting a double-byte character.
std::string FitGbk(std::string_view s, size_t capacity) {
    size_t i = 0;
    while (i < s.size()) {
        size_t step = IsGbkLead(static_cast<unsigned char>(s[i])) ? 2 : 1;
        if (i + step > capacity)
            break;
        i += step;
    }
    return std::string(s.substr(0, std::min(i, s.size())));
}

}  // namespace

std::string CompressRecord(std::string_view content, int level) {
    if (content.size() > INT32_MAX)
        throw std::length_error("record too large");
    uLongf bound = compressBound(static_cast<uLong>(content.size()));
    std::string out(4 + bound, '\0');
    PutU32(out, 0, static_cast<uint32_t>(content.size()));
    int rc = compress2(reinterpret_cast<Bytef*>(out.data() + 4), &bound,
                       reinterpret_cast<const Bytef*>(content.data()),
                       static_cast<uLong>(content.size()), level);
    if (rc != Z_OK)
        throw std::runtime_error("zlib compress failed");
    out.resize(4 + bound);
    return out;
}

StoredRecord SealRecord(std::string plain, std::string_view key) {
    StoredRecord rec;
    const size_t n = std::min(plain.size(), kHeadSize);
    rec.check = BufferCrc(plain.data(), static_cast<int64_t>(n));
    if (!RecordCipher(plain.data(), n, key))
        throw std::invalid_argument("a key whose length is a multiple of 256 cannot be used");
    rec.bytes = std::move(plain);
    return rec;
}

QbxWriter::QbxWriter(DocumentInfo info) : info_(std::move(info)) {
    key_ = info_.Password.empty() ? std::string(kDefaultKey) : info_.Password;
    if (key_.size() % 256 == 0)
        throw std::invalid_argument("a password whose length is a multiple of 256 cannot be used");
}

int32_t QbxWriter::AddRecord(std::string_view content, int level) {
    int32_t r = ReserveRecord();
    SetRecord(r, content, level);
    return r;
}

int32_t QbxWriter::ReserveRecord() {
    records_.emplace_back();
    return static_cast<int32_t>(records_.size());
}

void QbxWriter::SetRecord(int32_t r, std::string_view content, int level) {
    SetStoredRecord(r, SealRecord(CompressRecord(content, level), key_));
}

void QbxWriter::SetStoredRecord(int32_t r, StoredRecord record) {
    if (r < 1 || r > Count())
        throw std::out_of_range("no such record");
    records_[static_cast<size_t>(r - 1)] = std::move(record);
}

std::string QbxWriter::Build() const {
    std::string file(kDirectoryStart + kDirectoryEntrySize * records_.size(), '\0');
    PutU32(file, vb::kMagic, kMagic);
    PutU32(file, vb::kFormatVersion, info_.FormatVersion);
    PutU32(file, vb::kCreatedAt, info_.CreatedAt);
    PutShortString(file, vb::kProducer, 48, FitGbk(info_.Producer, 48));
    PutShortString(file, vb::kBookAuthor, 48, FitGbk(info_.BookAuthor, 48));
    PutShortString(file, vb::kSubject, 128, FitGbk(info_.Subject, 128));
    PutShortString(file, vb::kRemarks, 255, FitGbk(info_.Remarks, 255));

    const size_t h = kVersionBlockSize;
    PutU32(file, h + fh::kDirectoryCount, static_cast<uint32_t>(records_.size()));
    PutU32(file, h + fh::kPasswordHash,
           info_.Password.empty() ? kNoPassword : StringCrc(info_.Password));

    size_t total = file.size();
    for (const StoredRecord& r : records_)
        total += r.bytes.size();
    if (total > UINT32_MAX)
        throw std::length_error("document larger than 4 GiB");
    file.reserve(total);
    for (size_t i = 0; i < records_.size(); ++i) {
        const size_t e = kDirectoryStart + kDirectoryEntrySize * i;
        PutU32(file, e + de::kOffset, static_cast<uint32_t>(file.size()));
        PutU32(file, e + de::kLength, static_cast<uint32_t>(records_[i].bytes.size()));
        PutU32(file, e + de::kCheck, records_[i].check);
        file.append(records_[i].bytes);
    }
    return file;
}

void QbxWriter::WriteFile(const std::string& path) const {
    const std::string tmp = path + ".part";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            throw std::runtime_error("cannot write " + tmp);
        std::string bytes = Build();
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
            throw std::runtime_error("cannot write " + tmp);
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        throw std::runtime_error("cannot rename " + tmp + " to " + path);
    }
}

}  // namespace q3::doc
