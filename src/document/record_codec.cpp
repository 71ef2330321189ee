#include "document/record_codec.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/crc.h"
#include "common/trace.h"

namespace q3::doc {

bool RecordCipher(char* head, size_t n, std::string_view key) {
    const size_t period = key.size() & 0xFF;
    if (period == 0) return false;
    for (size_t i = 0; i < n; ++i) head[i] = static_cast<char>(head[i] ^ key[i % period]);
    return true;
}

bool DecipherAndVerify(char* buf, size_t size, std::string_view key, uint32_t expected_check) {
    const size_t n = std::min(size, kHeadSize);
    if (n == 0) return false;
    char head[kHeadSize];
    std::memcpy(head, buf, n);
    if (!RecordCipher(head, n, key)) return false;
    if (BufferCrc(head, static_cast<int64_t>(n)) != expected_check) return false;
    std::memcpy(buf, head, n);
    return true;
}

bool DecipherAndVerify(std::string& buf, std::string_view key, uint32_t expected_check) {
    return DecipherAndVerify(buf.data(), buf.size(), key, expected_check);
}

uint64_t MaxInflatedSize(size_t stored_bytes) {
    return static_cast<uint64_t>(stored_bytes) * 1032u + 1032u;
}

namespace {

struct DecompressorDeleter {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

libdeflate_decompressor* Decompressor() {
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> d(
        libdeflate_alloc_decompressor());
    return d.get();
}

// The stream holds more than the record's size (or libdeflate could not tell):
// the content is the first bytes of the output, but the stream is still
// inflated to its end, into a scratch buffer, so that a damaged tail or a bad
// trailer fails as it does for an exact-size record.
bool InflatePrefix(const unsigned char* in, size_t in_len, std::string& out) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return false;
    zs.next_in = const_cast<unsigned char*>(in);
    zs.avail_in = static_cast<uInt>(std::min<size_t>(in_len, UINT32_MAX));
    zs.next_out = reinterpret_cast<unsigned char*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    unsigned char scratch[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (zs.avail_out == 0) {
            zs.next_out = scratch;
            zs.avail_out = sizeof scratch;
        }
        rc = inflate(&zs, Z_NO_FLUSH);
    }
    const bool filled = zs.total_out >= out.size();
    const bool ok = rc == Z_STREAM_END && filled;
    if (!ok) DebugTrace("UncompressStream", zs.msg ? zs.msg : "zlib stream ended early");
    inflateEnd(&zs);
    return ok;
}

}  // namespace

RecordError InflateRecord(const char* rec, size_t length, std::string& out) {
    if (length < 4) {
        DebugTrace("UncompressStream", "record shorter than its size field");
        return RecordError::kBadSize;
    }
    auto p = reinterpret_cast<const unsigned char*>(rec);
    const auto size = static_cast<int32_t>(static_cast<uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 |
                                           static_cast<uint32_t>(p[3]) << 24);
    if (size <= 0) return RecordError::kBadSize;
    const size_t in_len = length - 4;
    if (static_cast<uint64_t>(size) > MaxInflatedSize(in_len)) {
        DebugTrace("UncompressStream", "size beyond what the stored bytes can hold");
        return RecordError::kSizeTooLarge;
    }
    out.resize(static_cast<size_t>(size));
    size_t actual_in = 0, actual_out = 0;
    libdeflate_result r = libdeflate_zlib_decompress_ex(Decompressor(), p + 4, in_len, out.data(),
                                                        out.size(), &actual_in, &actual_out);
    if (r == LIBDEFLATE_INSUFFICIENT_SPACE) {
        if (!InflatePrefix(p + 4, in_len, out)) return RecordError::kDamaged;
    } else if (r != LIBDEFLATE_SUCCESS) {
        DebugTrace("UncompressStream", "damaged zlib stream");
        return RecordError::kDamaged;
    } else if (actual_out != out.size()) {
        DebugTrace("UncompressStream", "zlib stream ended before the record's size");
        return RecordError::kShortOutput;
    }
    return RecordError::kOk;
}

RecordError UncompressStreamChecked(std::string& buf) {
    std::string out;
    RecordError e = InflateRecord(buf.data(), buf.size(), out);
    if (e == RecordError::kOk) buf = std::move(out);
    return e;
}

bool UncompressStream(std::string& buf) { return UncompressStreamChecked(buf) == RecordError::kOk; }

const char* Describe(RecordError e) {
    switch (e) {
        case RecordError::kOk: return "ok";
        case RecordError::kNoEntry: return "directory entry outside the file";
        case RecordError::kBadLength: return "stored length runs past the end of the file";
        case RecordError::kShortRead: return "stored bytes cannot be read";
        case RecordError::kCheckMismatch: return "check value mismatch (wrong key or damaged head)";
        case RecordError::kBadSize: return "uncompressed size is not positive";
        case RecordError::kSizeTooLarge: return "uncompressed size larger than the data can hold";
        case RecordError::kDamaged: return "damaged zlib stream";
        case RecordError::kShortOutput: return "zlib stream shorter than the uncompressed size";
    }
    return "unknown";
}

}  // namespace q3::doc
