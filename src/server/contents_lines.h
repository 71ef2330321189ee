// The lines of a contents text, as the contents parser reads them. Each line
// is found in one pass over its bytes that also notes where its '<', '=' and
// '"' bytes are, and which structural marker starts at each '<'. Markers are
// matched as if the line had been lower-cased (ASCII letters at character
// starts only), without making that copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace q3::server {

// The structural markers; each starts with '<' and is matched as a whole.
enum class Tag : unsigned char {
    kListOpen,      // "<ul>"
    kListClose,     // "</ul>"
    kItem,          // "<li>"
    kCaptionLine,   // "<param name=\"name\""
    kPathLine,      // "<param name=\"local\""
    kResourceLine,  // "<res value=\""
};
inline constexpr size_t kTagCount = 6;
// Each marker's length, in the order above.
inline constexpr size_t kTagLengths[kTagCount] = {4, 5, 4, 18, 19, 12};

// The attribute markers; each ends with '="'.
enum class Attr : unsigned char {
    kValue,  // "value=\""
    kId,     // "id=\""
};

// A marker prepared for comparing a word at a time.
struct MarkerPattern;

// One line and the part of it still to be examined (from `at`).
class ContentsLine {
  public:
    std::string_view line;
    size_t at = 0;

    bool Empty() const { return at >= line.size(); }

    // Where the marker first occurs from `at` on; npos when it does not.
    // Most questions are about a tag the line does not hold, answered by
    // one bit without a call.
    size_t Find(Tag tag) const {
        if ((present_ & (1u << static_cast<unsigned>(tag))) == 0 && line.size() <= kKnown)
            return std::string_view::npos;
        return FindSlow(tag);
    }
    bool Has(Tag tag) const { return Find(tag) != std::string_view::npos; }
    // Drops everything through the first occurrence of the marker; false
    // when it is absent.
    bool After(Tag tag) {
        const size_t p = Find(tag);
        if (p == std::string_view::npos)
            return false;
        at = p + kTagLengths[static_cast<size_t>(tag)];
        return true;
    }

    // The text between the attribute marker and the next double quote, as
    // written; empty when either is missing. The text starts right after a
    // quote, so it starts a character and lower-cases on its own exactly as
    // in the line. at_out: where the text starts (npos when it is missing).
    std::string_view RawAttribute(Attr attr, size_t* at_out = nullptr) const;
    // The same, lower-cased into out.
    void Attribute(Attr attr, std::string& out) const;

    // The caption of a caption line: the value attribute in the letter case
    // it is written in, taken from where the lower-cased value first occurs
    // in the lower-cased line. scratch and low are buffers for the rare line
    // that needs lower-cased copies. With it, in id, the id attribute as
    // RawAttribute gives it: one walk over the line finds both.
    std::string_view CaptionAndId(std::string& scratch, std::string& low,
                                  std::string_view& id) const;

  private:
    friend class LineCursor;
    // A line's first kKnown bytes are known by bit masks, one bit per byte
    // in kWords words; the searches scan longer lines beyond that.
    static constexpr size_t kWords = 2;
    static constexpr size_t kKnown = kWords * 64;

    size_t FindSlow(Tag tag) const;
    void ClassifyTags(const uint64_t* angle_bits);
    size_t NextBit(const uint64_t* bits, size_t from) const;
    bool CharStart(size_t pos) const;
    // At a '<' byte p of the line (p < line.size()).
    bool MatchesTag(size_t p, Tag tag) const;
    template <Tag kTag>
    bool MatchesTagAt(size_t p) const;
    template <Attr kAttr>
    bool MatchesAttrAt(size_t p) const;
    template <Attr kAttr>
    size_t FindAttributeOf() const;
    bool MatchesText(size_t p, std::string_view marker) const;
    size_t Scan(std::string_view marker) const;
    size_t NextQuote(size_t from) const;
    size_t FindAttribute(Attr attr) const;
    std::string_view AttributeText(Attr attr, size_t p, size_t* at_out) const;
    std::string_view CaptionOf(std::string_view value, size_t start, std::string& scratch,
                               std::string& low) const;

    // The markers that start at '<' bytes among the known ones, in order,
    // and a bit per Tag present: most lines hold one or two tags, and most
    // questions about a line are about a tag it does not hold.
    struct Found {
        uint32_t at;
        Tag tag;
    };
    Found tags_[kKnown / 4];
    size_t tag_count_ = 0;
    unsigned present_ = 0;
    uint64_t equal_bits_[kWords];
    uint64_t quote_bits_[kWords];
    size_t words_ = 0;     // the words the line reaches, at most kWords
    size_t readable_ = 0;  // bytes readable from line.data() on (the text's rest)
};

// Hands out the lines of a text one by one (they end at CR LF, CR or LF; a
// break at the very end opens no empty line) without building a list.
class LineCursor {
  public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    // True when no line is left: the line handed out last was the last one.
    bool AtEnd() const { return pos_ >= text_.size(); }
    // Makes out the next line, examined from its start.
    void Next(ContentsLine& out);

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace q3::server
