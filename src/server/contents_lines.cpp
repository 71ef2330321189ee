#include "server/contents_lines.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/gbk.h"

namespace q3::server {

// A marker as up to three 8-byte words and the masks of its bytes in them,
// so that a candidate place is compared a word at a time. The words are made
// from the bytes in memory order, as the line's bytes are loaded. A byte
// equals a small letter of the marker once lower-cased exactly when it does
// with its 0x20 bit set (only the capital and the small letter do), and
// any other marker byte only as it is: so setting the `fold` bits compares
// as if the line were lower-cased, without lower-casing it.
struct MarkerPattern {
    std::string_view text;
    uint64_t word[3] = {};
    uint64_t mask[3] = {};
    uint64_t fold[3] = {};
    size_t words = 0;

    constexpr explicit MarkerPattern(std::string_view marker)
        : text(marker), words((marker.size() + 7) / 8) {
        for (size_t w = 0; w < words; ++w) {
            std::array<char, 8> bytes{}, ones{}, folds{};
            for (size_t k = 0; k < 8 && 8 * w + k < marker.size(); ++k) {
                const char c = marker[8 * w + k];
                bytes[k] = c;
                ones[k] = static_cast<char>(0xFF);
                folds[k] = c >= 'a' && c <= 'z' ? 0x20 : 0;
            }
            word[w] = std::bit_cast<uint64_t>(bytes);
            mask[w] = std::bit_cast<uint64_t>(ones);
            fold[w] = std::bit_cast<uint64_t>(folds);
        }
    }
};

namespace {

using Pattern = MarkerPattern;
constexpr size_t kNone = std::string_view::npos;

char AsciiLowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

constexpr Pattern kTagPatterns[kTagCount] = {
    Pattern("<ul>"),
    Pattern("</ul>"),
    Pattern("<li>"),
    Pattern("<param name=\"name\""),
    Pattern("<param name=\"local\""),
    Pattern("<res value=\""),
};
constexpr Pattern kAttrPatterns[] = {Pattern("value=\""), Pattern("id=\"")};

static_assert([] {
    for (size_t k = 0; k < kTagCount; ++k) {
        if (kTagPatterns[k].text.size() != kTagLengths[k])
            return false;
    }
    return true;
}());

constexpr const Pattern& PatternOf(Tag tag) {
    return kTagPatterns[static_cast<size_t>(tag)];
}
constexpr const Pattern& PatternOf(Attr attr) {
    return kAttrPatterns[static_cast<size_t>(attr)];
}

#if defined(__SSE2__)
// The bits of the line breaks, '<', '=' and '"' among 64 bytes, bit k for
// byte k: four loads and no branch.
struct BlockBits {
    uint64_t ends, angle, equal, quote;
};

inline BlockBits ScanBlock(const char* p) {
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    const __m128i lt = _mm_set1_epi8('<'), eq = _mm_set1_epi8('='), qt = _mm_set1_epi8('"');
    auto bits = [](__m128i v, __m128i c) {
        return static_cast<uint64_t>(
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, c))));
    };
    BlockBits b{0, 0, 0, 0};
    for (unsigned k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        b.ends |= (bits(v, lf) | bits(v, cr)) << (16 * k);
        b.angle |= bits(v, lt) << (16 * k);
        b.equal |= bits(v, eq) << (16 * k);
        b.quote |= bits(v, qt) << (16 * k);
    }
    return b;
}
#endif

// The length of the line at base (up to its CR or LF, or all of left). On
// the way the bits of its '<', '=' and '"' bytes among the first kKnown are
// set: one pass, 64 or 16 bytes at a time where the processor allows (a
// contents line rarely reaches past 64 bytes, and most of the time reading
// further costs less than stopping early).
template <size_t kWords>
size_t ScanLine(const char* base, size_t left, uint64_t (&angle)[kWords], uint64_t (&equal)[kWords],
                uint64_t (&quote)[kWords]) {
    constexpr size_t kKnown = kWords * 64;
    size_t i = 0;
#if defined(__SSE2__)
    for (; left - i >= 64; i += 64) {
        const BlockBits b = ScanBlock(base + i);
        const uint64_t keep = b.ends != 0 ? (b.ends & (0 - b.ends)) - 1 : ~uint64_t{0};
        if (i < kKnown) {
            angle[i / 64] = b.angle & keep;
            equal[i / 64] = b.equal & keep;
            quote[i / 64] = b.quote & keep;
        }
        if (b.ends != 0)
            return i + static_cast<size_t>(__builtin_ctzll(b.ends));
    }
#endif
    // The rest add to the words bit by bit.
    for (size_t w = i / 64; w < kWords; ++w)
        angle[w] = equal[w] = quote[w] = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    const __m128i lt = _mm_set1_epi8('<'), eq = _mm_set1_epi8('='), qt = _mm_set1_epi8('"');
    auto bits = [](__m128i v, __m128i c) {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, c)));
    };
    for (; left - i >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        const unsigned ends = bits(v, lf) | bits(v, cr);
        const uint64_t keep = ends != 0 ? (1u << __builtin_ctz(ends)) - 1 : 0xFFFFu;
        if (i < kKnown) {
            const unsigned shift = i % 64;
            angle[i / 64] |= (bits(v, lt) & keep) << shift;
            equal[i / 64] |= (bits(v, eq) & keep) << shift;
            quote[i / 64] |= (bits(v, qt) & keep) << shift;
        }
        if (ends != 0)
            return i + static_cast<size_t>(__builtin_ctz(ends));
    }
#endif
    for (; i < left; ++i) {
        const char c = base[i];
        if (c == '\n' || c == '\r')
            return i;
        if (i >= kKnown)
            continue;
        const uint64_t bit = uint64_t{1} << (i % 64);
        if (c == '<')
            angle[i / 64] |= bit;
        if (c == '=')
            equal[i / 64] |= bit;
        if (c == '"')
            quote[i / 64] |= bit;
    }
    return left;
}

}  // namespace

void LineCursor::Next(ContentsLine& out) {
    // Only the words the line reaches are written, and only those are read.
    uint64_t angle[ContentsLine::kWords];
    const size_t left = text_.size() - pos_;
    const size_t len = ScanLine(text_.data() + pos_, left, angle, out.equal_bits_, out.quote_bits_);
    out.line = text_.substr(pos_, len);
    out.at = 0;
    out.readable_ = left;
    out.words_ = std::min(ContentsLine::kWords, len / 64 + 1);
    out.ClassifyTags(angle);
    size_t next = pos_ + len;
    if (next < text_.size()) {
        const bool crlf = text_[next] == '\r' && next + 1 < text_.size() && text_[next + 1] == '\n';
        next += crlf ? 2 : 1;
    }
    pos_ = next;
}

// The marker that can start at a '<' followed by a byte, named by that byte
// with its 0x20 bit set (a letter lower-cased), as the Tag + 1; 0 for none.
// "<param name=\"" starts two markers; the table names the caption line's.
constexpr std::array<unsigned char, 256> kTagAfterAngle = [] {
    std::array<unsigned char, 256> t{};
    for (Tag tag :
         {Tag::kListOpen, Tag::kListClose, Tag::kItem, Tag::kCaptionLine, Tag::kResourceLine})
        t[static_cast<unsigned char>(PatternOf(tag).text[1])] =
            static_cast<unsigned char>(static_cast<unsigned>(tag) + 1);
    return t;
}();

// A '<' is never the trail of a double-byte character, and the bytes after
// it start characters as long as they are ASCII: the byte after it tells
// which marker can start there, and one comparison settles it.
void ContentsLine::ClassifyTags(const uint64_t* angle_bits) {
    tag_count_ = 0;
    present_ = 0;
    for (size_t w = 0; w < words_; ++w) {
        for (uint64_t m = angle_bits[w]; m != 0; m &= m - 1) {
            const size_t p = w * 64 + static_cast<size_t>(__builtin_ctzll(m));
            // The byte after '<', lower-cased, names the only marker that can
            // start there ('p' two of them).
            const unsigned char next =
                p + 1 < line.size() ? static_cast<unsigned char>(line[p + 1]) | 0x20 : 0;
            const unsigned char named = kTagAfterAngle[next];
            if (named == 0)
                continue;
            Tag tag = static_cast<Tag>(named - 1);
            if (tag == Tag::kCaptionLine) {
                // The two "<param name=\"" markers part at their 14th byte,
                // 'n' or 'l' in either case.
                constexpr size_t kParting = 13;
                if (p + kParting < line.size() &&
                    (static_cast<unsigned char>(line[p + kParting]) | 0x20) == 'l')
                    tag = Tag::kPathLine;
            }
            if (!MatchesTag(p, tag))
                continue;
            tags_[tag_count_++] = Found{static_cast<uint32_t>(p), tag};
            present_ |= 1u << static_cast<unsigned>(tag);
        }
    }
}

// The first set bit at or after from, among the known bytes; npos when none.
size_t ContentsLine::NextBit(const uint64_t* bits, size_t from) const {
    size_t w = from / 64;
    if (w >= words_)
        return kNone;
    uint64_t m = bits[w] & (~uint64_t{0} << (from % 64));
    while (m == 0) {
        if (++w == words_)
            return kNone;
        m = bits[w];
    }
    return w * 64 + static_cast<size_t>(__builtin_ctzll(m));
}

bool ContentsLine::CharStart(size_t pos) const {
    size_t run = 0;
    while (pos > run && IsGbkLead(static_cast<unsigned char>(line[pos - run - 1])))
        ++run;
    return run % 2 == 0;
}

// Matches for a marker known when compiled, at a '<' of the line: that byte
// is the marker's first as written, so only the rest is compared.
template <Tag kTag>
bool ContentsLine::MatchesTagAt(size_t p) const {
    constexpr const Pattern& pattern = PatternOf(kTag);
    if (line.size() - p < pattern.text.size())
        return false;
    if (readable_ - p < pattern.words * 8)
        return MatchesText(p, pattern.text);
    for (size_t w = 0; w < pattern.words; ++w) {
        uint64_t have;
        std::memcpy(&have, line.data() + p + 8 * w, 8);
        if (((have | pattern.fold[w]) & pattern.mask[w]) != pattern.word[w])
            return false;
    }
    return true;
}

// Whether an attribute marker starts at p of the lower-cased line. Its first
// byte may be the trail of a double-byte character, which the lower-casing
// leaves alone, so a capital there matches only at a character start; every
// later byte follows an ASCII byte and so starts a character of its own.
template <Attr kAttr>
bool ContentsLine::MatchesAttrAt(size_t p) const {
    constexpr const Pattern& pattern = PatternOf(kAttr);
    static_assert(pattern.words == 1);
    if (p > line.size() || line.size() - p < pattern.text.size())
        return false;
    if (readable_ - p < 8)
        return MatchesText(p, pattern.text);
    uint64_t have;
    std::memcpy(&have, line.data() + p, 8);
    if (((have | pattern.fold[0]) & pattern.mask[0]) != pattern.word[0])
        return false;
    return line[p] == pattern.text[0] || CharStart(p);
}

bool ContentsLine::MatchesTag(size_t p, Tag tag) const {
    switch (tag) {
        case Tag::kListOpen:
            return MatchesTagAt<Tag::kListOpen>(p);
        case Tag::kListClose:
            return MatchesTagAt<Tag::kListClose>(p);
        case Tag::kItem:
            return MatchesTagAt<Tag::kItem>(p);
        case Tag::kCaptionLine:
            return MatchesTagAt<Tag::kCaptionLine>(p);
        case Tag::kPathLine:
            return MatchesTagAt<Tag::kPathLine>(p);
        case Tag::kResourceLine:
            return MatchesTagAt<Tag::kResourceLine>(p);
    }
    return false;
}

bool ContentsLine::MatchesText(size_t p, std::string_view marker) const {
    if (line.size() - p < marker.size())
        return false;
    const char first = line[p];
    if (first != marker[0] && !(CharStart(p) && AsciiLowerChar(first) == marker[0]))
        return false;
    for (size_t j = 1; j < marker.size(); ++j) {
        if (AsciiLowerChar(line[p + j]) != marker[j])
            return false;
    }
    return true;
}

// The plain search, for lines longer than the bytes known by their bits.
size_t ContentsLine::Scan(std::string_view marker) const {
    const char first = marker[0];
    const bool letter = first >= 'a' && first <= 'z';
    for (size_t p = at; p < line.size(); ++p) {
        if (!letter) {
            const void* hit = std::memchr(line.data() + p, first, line.size() - p);
            if (hit == nullptr)
                return kNone;
            p = static_cast<size_t>(static_cast<const char*>(hit) - line.data());
        } else if (AsciiLowerChar(line[p]) != first) {
            continue;
        }
        if (MatchesText(p, marker))
            return p;
    }
    return kNone;
}

size_t ContentsLine::FindSlow(Tag tag) const {
    if ((present_ & (1u << static_cast<unsigned>(tag))) != 0) {
        for (size_t k = 0; k < tag_count_; ++k) {
            if (tags_[k].tag == tag && tags_[k].at >= at)
                return tags_[k].at;
        }
    }
    return line.size() > kKnown ? Scan(PatternOf(tag).text) : kNone;
}

size_t ContentsLine::NextQuote(size_t from) const {
    const size_t q = NextBit(quote_bits_, from);
    if (q != kNone || line.size() <= kKnown)
        return q;
    return line.find('"', std::max(from, kKnown));
}

// Every occurrence of an attribute marker has one of the line's '=' bytes
// right after its name, so only those places are tried.
template <Attr kAttr>
size_t ContentsLine::FindAttributeOf() const {
    constexpr size_t name = PatternOf(kAttr).text.size() - 2;
    for (size_t e = NextBit(equal_bits_, at + name); e != kNone; e = NextBit(equal_bits_, e + 1)) {
        if (MatchesAttrAt<kAttr>(e - name))
            return e - name;
    }
    return line.size() > kKnown ? Scan(PatternOf(kAttr).text) : kNone;
}

size_t ContentsLine::FindAttribute(Attr attr) const {
    return attr == Attr::kValue ? FindAttributeOf<Attr::kValue>() : FindAttributeOf<Attr::kId>();
}

// The text of the attribute whose marker starts at p (npos: none).
std::string_view ContentsLine::AttributeText(Attr attr, size_t p, size_t* at_out) const {
    if (at_out != nullptr)
        *at_out = kNone;
    if (p == kNone)
        return {};
    const size_t start = p + PatternOf(attr).text.size();
    const size_t q = NextQuote(start);
    if (q == kNone)
        return {};
    if (at_out != nullptr)
        *at_out = start;
    return line.substr(start, q - start);
}

std::string_view ContentsLine::RawAttribute(Attr attr, size_t* at_out) const {
    return AttributeText(attr, FindAttribute(attr), at_out);
}

void ContentsLine::Attribute(Attr attr, std::string& out) const {
    out.assign(RawAttribute(attr));
    GbkLowerInPlace(out);
}

std::string_view ContentsLine::CaptionAndId(std::string& scratch, std::string& low,
                                            std::string_view& id) const {
    const Pattern& value_marker = PatternOf(Attr::kValue);
    const Pattern& id_marker = PatternOf(Attr::kId);
    constexpr size_t kValueName = 5, kIdName = 2;  // the names before '="'
    static_assert(kValueName + 2 == PatternOf(Attr::kValue).text.size() &&
                  kIdName + 2 == PatternOf(Attr::kId).text.size());
    size_t value_at = kNone, id_at = kNone;
    for (size_t e = NextBit(equal_bits_, at + kIdName); e != kNone;
         e = NextBit(equal_bits_, e + 1)) {
        if (value_at == kNone && e >= at + kValueName &&
            MatchesAttrAt<Attr::kValue>(e - kValueName))
            value_at = e - kValueName;
        else if (id_at == kNone && MatchesAttrAt<Attr::kId>(e - kIdName))
            id_at = e - kIdName;
        if (value_at != kNone && id_at != kNone)
            break;
    }
    if (line.size() > kKnown) {
        if (value_at == kNone)
            value_at = Scan(value_marker.text);
        if (id_at == kNone)
            id_at = Scan(id_marker.text);
    }
    id = AttributeText(Attr::kId, id_at, nullptr);
    size_t start = 0;
    const std::string_view value = AttributeText(Attr::kValue, value_at, &start);
    return CaptionOf(value, start, scratch, low);
}

// The first occurrence is at the value itself unless the value's first
// character (in either case) occurs before it: only then is a lower-cased
// copy of the line searched.
std::string_view ContentsLine::CaptionOf(std::string_view value, size_t start, std::string& scratch,
                                         std::string& low) const {
    if (value.empty())
        return {};
    const char lower = AsciiLowerChar(value[0]);
    const char upper = lower >= 'a' && lower <= 'z' ? static_cast<char>(lower - 32) : lower;
    const std::string_view before = line.substr(0, start);
    if (before.find(lower) == kNone && (upper == lower || before.find(upper) == kNone))
        return value;
    scratch.assign(value);
    GbkLowerInPlace(scratch);
    low.assign(line.substr(0, start + value.size()));
    GbkLowerInPlace(low);
    const size_t first = low.find(scratch);  // at start at the latest
    return line.substr(first, value.size());
}

}  // namespace q3::server
