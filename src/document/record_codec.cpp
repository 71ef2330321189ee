#include "document/record_codec.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "common/crc.h"
#include "common/trace.h"

namespace q3::doc {

bool RecordCipher(char* head, size_t n, std::string_view key) {
    const size_t period = key.size() & 0xFF;
    if (period == 0)
        return false;
    for (size_t i = 0; i < n; ++i)
        head[i] = static_cast<char>(head[i] ^ key[i % period]);
    return true;
}

bool DecipherAndVerify(char* buf, size_t size, std::string_view key, uint32_t expected_check) {
    const size_t n = std::min(size, kHeadSize);
    if (n == 0)
        return false;
    char head[kHeadSize];
    std::memcpy(head, buf, n);
    if (!RecordCipher(head, n, key))
        return false;
    if (BufferCrc(head, static_cast<int64_t>(n)) != expected_check)
        return false;
    std::memcpy(buf, head, n);
    return true;
}

bool DecipherAndVerify(std::string& buf, std::string_view key, uint32_t expected_check) {
    return DecipherAndVerify(buf.data(), buf.size(), key, expected_check);
}

uint64_t MaxInflatedSize(size_t stored_bytes) {
    return static_cast<uint64_t>(stored_bytes) * 1032u + 1032u;
}

uint64_t ChargedSize(const char* rec, size_t length) {
    if (length < 4)
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(rec);
    const auto size = static_cast<int32_t>(static_cast<uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 |
                                           static_cast<uint32_t>(p[3]) << 24);
    if (size <= 0)
        return 0;
    return std::min(static_cast<uint64_t>(size), std::min(kMaxRecordSize, MaxInflatedSize(length)));
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

// The first output buffer: the size field is untrusted, so before the stream
// has shown that it really inflates further, no more than this multiple of the
// stored bytes is committed (or kMinGuess, which covers any small record).
// Pages compress about 3 to 10 to 1, so real records take the one-pass path.
constexpr size_t kGuessRatio = 16;
constexpr size_t kMinGuess = size_t{64} << 10;

// Inflates with zlib into out, growing it as output arrives, up to want
// bytes; past those the stream is still inflated to its end, into a scratch
// buffer, so that a damaged tail or a bad trailer fails as it does for an
// exact-size record. out may already hold a first buffer; its bytes are
// overwritten.
RecordError InflateGrowing(const unsigned char* in, size_t in_len, size_t want, std::string& out) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return RecordError::kNoMemory;
    struct End {
        z_stream* zs;
        ~End() { inflateEnd(zs); }
    } end{&zs};
    zs.next_in = const_cast<unsigned char*>(in);
    zs.avail_in = static_cast<uInt>(std::min<size_t>(in_len, UINT32_MAX));
    if (out.empty())
        out.resize(std::min(want, kMinGuess));
    size_t written = 0;
    zs.next_out = reinterpret_cast<unsigned char*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    unsigned char scratch[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (zs.avail_out == 0) {
            written = std::min<size_t>(zs.total_out, want);
            if (written < want) {
                // Doubling keeps the copies linear in the content's size.
                out.resize(std::min(want, std::max(out.size() * 2, kMinGuess)));
                zs.next_out = reinterpret_cast<unsigned char*>(out.data() + written);
                zs.avail_out = static_cast<uInt>(out.size() - written);
            } else {
                zs.next_out = scratch;
                zs.avail_out = sizeof scratch;
            }
        }
        rc = inflate(&zs, Z_NO_FLUSH);
    }
    if (rc == Z_STREAM_END && zs.total_out >= want)
        return RecordError::kOk;
    if (rc == Z_STREAM_END) {
        DebugTrace("UncompressStream", "zlib stream ended before the record's size");
        return RecordError::kShortOutput;
    }
    if (rc == Z_MEM_ERROR)
        return RecordError::kNoMemory;
    DebugTrace("UncompressStream", zs.msg ? zs.msg : "zlib stream ended early");
    return RecordError::kDamaged;
}

RecordError Inflate(const char* rec, size_t length, std::string& out) {
    if (length < 4) {
        DebugTrace("UncompressStream", "record shorter than its size field");
        return RecordError::kBadSize;
    }
    auto p = reinterpret_cast<const unsigned char*>(rec);
    const auto size = static_cast<int32_t>(static_cast<uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 |
                                           static_cast<uint32_t>(p[3]) << 24);
    if (size <= 0)
        return RecordError::kBadSize;
    const size_t in_len = length - 4;
    const auto want = static_cast<size_t>(size);
    if (want > kMaxRecordSize || want > MaxInflatedSize(in_len)) {
        DebugTrace("UncompressStream", "size beyond what a record may hold");
        return RecordError::kSizeTooLarge;
    }
    // in_len is below 2^31 (a record's Length is an int32): no overflow.
    out.resize(std::min(want, std::max(kMinGuess, in_len * kGuessRatio)));
    size_t actual_in = 0, actual_out = 0;
    libdeflate_result r = libdeflate_zlib_decompress_ex(Decompressor(), p + 4, in_len, out.data(),
                                                        out.size(), &actual_in, &actual_out);
    if (r == LIBDEFLATE_INSUFFICIENT_SPACE) {
        // Either the stream holds more than the size (the content is its
        // first bytes), or more than the first guess: zlib takes it from the
        // start, growing the buffer only as far as the stream really goes.
        const RecordError e = InflateGrowing(p + 4, in_len, want, out);
        if (e == RecordError::kOk)
            out.resize(want);
        return e;
    }
    if (r != LIBDEFLATE_SUCCESS) {
        DebugTrace("UncompressStream", "damaged zlib stream");
        return RecordError::kDamaged;
    }
    if (actual_out != want) {
        DebugTrace("UncompressStream", "zlib stream ended before the record's size");
        return RecordError::kShortOutput;
    }
    return RecordError::kOk;
}

}  // namespace

// A record's content is the largest allocation the reader makes for a
// document; when it cannot be had, the record is simply unreadable.
RecordError InflateRecord(const char* rec, size_t length, std::string& out) {
    try {
        return Inflate(rec, length, out);
    } catch (const std::bad_alloc&) {
        DebugTrace("UncompressStream", "not enough memory for the record");
        return RecordError::kNoMemory;
    }
}

RecordError UncompressStreamChecked(std::string& buf) {
    std::string out;
    RecordError e = InflateRecord(buf.data(), buf.size(), out);
    if (e == RecordError::kOk)
        buf = std::move(out);
    return e;
}

bool UncompressStream(std::string& buf) {
    return UncompressStreamChecked(buf) == RecordError::kOk;
}

const char* Describe(RecordError e) {
    switch (e) {
        case RecordError::kOk:
            return "ok";
        case RecordError::kNoEntry:
            return "directory entry outside the file";
        case RecordError::kBadLength:
            return "stored length runs past the end of the file";
        case RecordError::kShortRead:
            return "stored bytes cannot be read";
        case RecordError::kCheckMismatch:
            return "check value mismatch (wrong key or damaged head)";
        case RecordError::kBadSize:
            return "uncompressed size is not positive";
        case RecordError::kSizeTooLarge:
            return "uncompressed size beyond what a record may hold";
        case RecordError::kDamaged:
            return "damaged zlib stream";
        case RecordError::kShortOutput:
            return "zlib stream shorter than the uncompressed size";
        case RecordError::kNoMemory:
            return "not enough memory for the record";
        case RecordError::kWalkTooLarge:
            return "records share stored bytes beyond what the file can hold: the document is "
                   "damaged";
    }
    return "unknown";
}

}  // namespace q3::doc
