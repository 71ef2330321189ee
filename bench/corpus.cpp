#include "corpus.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "document/format.h"
#include "document/manager.h"
#include "document/record_codec.h"
#include "document/writer.h"

namespace q3::bench {

namespace {

// splitmix64: fast, and good enough to make text that does not repeat.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>((Next() >> 32) * n >> 32); }
    bool Chance(uint32_t percent) { return Below(100) < percent; }
    double Unit() { return (static_cast<double>(Next() >> 11) + 0.5) / 9007199254740992.0; }

  private:
    uint64_t state_;
};

// Maps a 16-bit draw to an index with weight 1 / (rank + 1)^exponent, so the
// common characters and words come up as often as in running text.
class ZipfTable {
  public:
    ZipfTable(size_t n, double exponent) : table_(1u << 16) {
        std::vector<double> cumulative(n);
        double sum = 0;
        for (size_t i = 0; i < n; ++i)
            cumulative[i] = sum += 1.0 / std::pow(static_cast<double>(i) + 1.0, exponent);
        size_t k = 0;
        for (size_t slot = 0; slot < table_.size(); ++slot) {
            const double at =
                (static_cast<double>(slot) + 0.5) / static_cast<double>(table_.size()) * sum;
            while (k + 1 < n && cumulative[k] < at)
                ++k;
            table_[slot] = static_cast<uint16_t>(k);
        }
    }
    uint16_t Draw(Rng& rng) const { return table_[rng.Next() >> 48]; }

  private:
    std::vector<uint16_t> table_;
};

// The 3755 first-level characters of GB2312, as GBK byte pairs.
std::vector<std::array<char, 2>> CommonHanzi() {
    std::vector<std::array<char, 2>> out;
    for (int lead = 0xB0; lead <= 0xD7; ++lead) {
        const int last = lead == 0xD7 ? 0xF9 : 0xFE;
        for (int trail = 0xA1; trail <= last; ++trail)
            out.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    }
    return out;
}

// A fixed vocabulary of one- to four-character words; it is the same for every
// seed, as the language of a book does not change with its content.
struct Vocabulary {
    std::vector<std::string> words;
    ZipfTable pick{8000, 1.05};

    Vocabulary() {
        const auto hanzi = CommonHanzi();
        ZipfTable chars(hanzi.size(), 0.9);
        Rng rng(0x51B1E5);
        words.reserve(8000);
        for (int i = 0; i < 8000; ++i) {
            const uint32_t roll = rng.Below(100);
            const int length = roll < 30 ? 1 : roll < 80 ? 2 : roll < 92 ? 3 : 4;
            std::string w;
            for (int c = 0; c < length; ++c)
                w.append(hanzi[chars.Draw(rng)].data(), 2);
            words.push_back(std::move(w));
        }
    }
};

const Vocabulary& Words() {
    static const Vocabulary v;
    return v;
}

// GBK punctuation and a few fixed captions.
constexpr std::string_view kComma = "\xA3\xAC";
constexpr std::string_view kStops[] = {"\xA1\xA3", "\xA1\xA3", "\xA1\xA3", "\xA3\xA1", "\xA3\xBF"};
constexpr std::string_view kChapter = "\xB5\xDA";     // the ordinal prefix
constexpr std::string_view kChapterEnd = "\xD5\xC2";  // "chapter"
constexpr std::string_view kPrevious = "\xC9\xCF\xD2\xBB\xD2\xB3";
constexpr std::string_view kContents = "\xC4\xBF\xC2\xBC";
constexpr std::string_view kNext = "\xCF\xC2\xD2\xBB\xD2\xB3";

class PageBuilder {
  public:
    PageBuilder(uint64_t seed, int32_t r, int median_bytes, int repeat_percent)
        : rng_(seed ^ (static_cast<uint64_t>(static_cast<uint32_t>(r)) * 0x2545F4914F6CDD1Dull)),
          record_(r),
          median_(median_bytes),
          repeat_percent_(static_cast<uint32_t>(repeat_percent)) {}

    std::string Build() {
        const size_t target = TargetSize();
        std::string title;
        for (uint32_t i = 2 + rng_.Below(4); i > 0; --i)
            title += Word();
        out_.reserve(target + 256);
        out_ +=
            "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
            "charset=gb2312\">\r\n<title>";
        out_ += Chapter() + " " + title;
        out_ +=
            "</title>\r\n<link href=\"../style/book.css\" rel=\"stylesheet\" "
            "type=\"text/css\">\r\n</head>\r\n<body>\r\n<div class=\"chapter\" id=\"c";
        out_ += std::to_string(record_) + "\">\r\n<h2>" + Chapter() + " " + title + "</h2>\r\n";
        const std::string tail = Tail();
        while (out_.size() + tail.size() < target)
            Block(target - tail.size());
        out_ += tail;
        return std::move(out_);
    }

  private:
    // Log-normal around the median, clamped to a quarter of it and five times
    // it: a mean of about 1.2 medians.
    size_t TargetSize() {
        const double z =
            std::sqrt(-2.0 * std::log(rng_.Unit())) * std::cos(6.283185307 * rng_.Unit());
        return static_cast<size_t>(
            std::clamp(median_ * std::exp(0.6 * z), median_ / 4.0, median_ * 5.0));
    }
    const std::string& Word() { return Words().words[Words().pick.Draw(rng_)]; }
    std::string Chapter() {
        return std::string(kChapter) + std::to_string(record_) + std::string(kChapterEnd);
    }
    std::string Hex(uint32_t digits) {
        static constexpr char kHex[] = "0123456789abcdef";
        std::string s;
        for (uint32_t i = 0; i < digits; ++i)
            s += kHex[rng_.Below(16)];
        return s;
    }

    void Sentence() {
        for (uint32_t clause = 1 + rng_.Below(3); clause > 0; --clause) {
            // Without repeats no draw is spent here, so pages stay as they were.
            if (repeat_percent_ > 0 && !clauses_.empty() && rng_.Chance(repeat_percent_)) {
                const auto [at, length] =
                    clauses_[rng_.Below(static_cast<uint32_t>(clauses_.size()))];
                out_.append(out_, at, length);
            } else {
                const size_t at = out_.size();
                for (uint32_t n = 3 + rng_.Below(8); n > 0; --n) {
                    if (rng_.Chance(3))
                        out_ += std::to_string(rng_.Below(2000));
                    out_ += Word();
                }
                clauses_.emplace_back(at, out_.size() - at);
            }
            if (rng_.Chance(8)) {
                const bool bold = rng_.Chance(60);
                out_ += bold ? "<b>" : "<font color=\"#" + Hex(6) + "\">";
                out_ += Word() + Word();
                out_ += bold ? "</b>" : "</font>";
            }
            out_ += clause > 1 ? kComma : kStops[rng_.Below(5)];
        }
    }

    void Block(size_t limit) {
        const uint32_t roll = rng_.Below(100);
        if (roll < 4) {
            out_ += "<p class=\"pic\"><img src=\"../images/" + Hex(8) + ".jpg\" width=\"" +
                    std::to_string(200 + rng_.Below(400)) + "\" height=\"" +
                    std::to_string(150 + rng_.Below(300)) + "\" alt=\"" + Word() + "\"></p>\r\n";
            return;
        }
        if (roll < 8) {
            out_ += "<p><a href=\"" + std::to_string(1 + rng_.Below(100000)) + ".htm#p" +
                    std::to_string(rng_.Below(50)) + "\">" + Word() + Word() + "</a></p>\r\n";
            return;
        }
        out_ += roll < 12 ? "<p class=\"quote\">" : "<p>";
        for (uint32_t n = 1 + rng_.Below(8); n > 0 && out_.size() < limit; --n)
            Sentence();
        out_ += "</p>\r\n";
    }

    std::string Tail() {
        std::string t = "<div class=\"nav\"><a href=\"" + std::to_string(record_ - 1) + ".htm\">";
        t += std::string(kPrevious) + "</a> | <a href=\"index.htm\">" + std::string(kContents);
        t += "</a> | <a href=\"" + std::to_string(record_ + 1) + ".htm\">" + std::string(kNext);
        t += "</a></div>\r\n</div>\r\n</body>\r\n</html>\r\n";
        return t;
    }

    Rng rng_;
    int32_t record_;
    double median_;
    uint32_t repeat_percent_;
    std::vector<std::pair<size_t, size_t>> clauses_;  // where each fresh clause is in out_
    std::string out_;
};

// Corpora of the default page size and without repeats keep the stamp and the
// file name they had before either could be chosen, so caches written then
// stay valid.
std::string SizeTag(const CorpusOptions& o) {
    std::string tag = o.median_page_bytes == kDefaultMedianPageBytes
                          ? ""
                          : "-m" + std::to_string(o.median_page_bytes);
    if (o.repeat_percent != 0)
        tag += "-r" + std::to_string(o.repeat_percent);
    return tag;
}

std::string Stamp(const CorpusOptions& o) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "q3 bench corpus v1 records=%d seed=%llu level=%d%s", o.records,
                  static_cast<unsigned long long>(o.seed), o.level, SizeTag(o).c_str());
    return buf;
}

std::string FixedBlocks(const CorpusOptions& o) {
    std::string head(doc::kDirectoryStart + doc::kDirectoryEntrySize * o.records, '\0');
    doc::PutU32(head, doc::vb::kMagic, doc::kMagic);
    doc::PutU32(head, doc::vb::kFormatVersion, doc::kFormatVersion);
    doc::PutU32(head, doc::vb::kCreatedAt, doc::MakeDosDateTime(2009, 9, 15, 12, 0, 0));
    doc::PutShortString(head, doc::vb::kProducer, 48, "qbx bench");
    doc::PutShortString(head, doc::vb::kBookAuthor, 48, "generator");
    doc::PutShortString(head, doc::vb::kSubject, 128, "Generated book");
    doc::PutShortString(head, doc::vb::kRemarks, 255, Stamp(o));
    doc::PutU32(head, doc::kVersionBlockSize + doc::fh::kDirectoryCount,
                static_cast<uint32_t>(o.records));
    doc::PutU32(head, doc::kVersionBlockSize + doc::fh::kPasswordHash, doc::kNoPassword);
    return head;
}

}  // namespace

std::string GeneratePage(uint64_t seed, int32_t r, int median_page_bytes, int repeat_percent) {
    return PageBuilder(seed, r, median_page_bytes, repeat_percent).Build();
}

void WriteCorpus(const std::string& path, const CorpusOptions& options) {
    if (options.records < 1)
        throw std::invalid_argument("a corpus needs at least one record");
    if (options.median_page_bytes < 256)
        throw std::invalid_argument("pages smaller than their markup");
    if (options.repeat_percent < 0 || options.repeat_percent > 100)
        throw std::invalid_argument("a share of clauses beyond 0 to 100 percent");
    const std::string tmp = path + ".part";
    std::string head = FixedBlocks(options);
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + tmp);
    out.write(head.data(), static_cast<std::streamsize>(head.size()));  // directory filled below
    uint64_t offset = head.size();
    for (int32_t r = 1; r <= options.records; ++r) {
        doc::StoredRecord rec = doc::SealRecord(
            doc::CompressRecord(
                GeneratePage(options.seed, r, options.median_page_bytes, options.repeat_percent),
                options.level),
            doc::kDefaultKey);
        if (offset + rec.bytes.size() > UINT32_MAX)
            throw std::length_error("corpus beyond 4 GiB");
        const size_t entry = doc::kDirectoryStart + doc::kDirectoryEntrySize * (r - 1);
        doc::PutU32(head, entry + doc::de::kOffset, static_cast<uint32_t>(offset));
        doc::PutU32(head, entry + doc::de::kLength, static_cast<uint32_t>(rec.bytes.size()));
        doc::PutU32(head, entry + doc::de::kCheck, rec.check);
        out.write(rec.bytes.data(), static_cast<std::streamsize>(rec.bytes.size()));
        offset += rec.bytes.size();
    }
    out.seekp(0);
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + tmp);
    std::filesystem::rename(tmp, path);
}

bool CorpusIsValid(const std::string& path, const CorpusOptions& options) {
    if (!std::filesystem::exists(path))
        return false;
    try {
        doc::TQBXManage m(path);
        m.Open();
        if (m.Version().Remarks != Stamp(options) || m.DirectoryCount() != options.records)
            return false;
        // Records are written in order, so the last one ends the file.
        doc::DirectoryEntry last;
        if (!m.ReadEntry(options.records, last) ||
            uint64_t{last.Offset} + static_cast<uint64_t>(last.Length) != m.FileSize())
            return false;
        for (int32_t r : {1, options.records / 2 + 1, options.records}) {
            std::string text;
            if (!m.ReadRecordText(r, text) ||
                text != GeneratePage(options.seed, r, options.median_page_bytes,
                                     options.repeat_percent))
                return false;
        }
        return true;
    } catch (const doc::OpenError&) {
        return false;
    }
}

std::string EnsureCorpus(const std::string& dir, const CorpusOptions& options, bool* generated) {
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/corpus-" + std::to_string(options.records) + "-" +
                             std::to_string(options.seed) + "-l" + std::to_string(options.level) +
                             SizeTag(options) + ".qbx";
    const bool fresh = !CorpusIsValid(path, options);
    if (fresh)
        WriteCorpus(path, options);
    if (generated)
        *generated = fresh;
    return path;
}

}  // namespace q3::bench
