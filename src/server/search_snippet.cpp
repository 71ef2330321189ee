#include "server/search_snippet.h"

#include <array>
#include <cstring>

#include "common/gbk.h"
#include "server/full_text_search.h"

namespace q3::server {
namespace {

constexpr std::string_view kEllipsis = "…";
// Longest entity read ("&#x10FFFF;" and every named one fit).
constexpr size_t kMaxEntity = 10;
// The plain text is searched for the word each time it has grown this much,
// so a record whose match comes early is not turned into text to its end.
constexpr size_t kCheckStep = 512;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool SameCaseless(std::string_view text, size_t at, std::string_view lower) {
    if (text.size() - at < lower.size())
        return false;
    for (size_t k = 0; k < lower.size(); ++k) {
        if (LowerAscii(text[at + k]) != lower[k])
            return false;
    }
    return true;
}

// Where "</name" starts at or after from, in any letter case; npos if never.
size_t FindClosingTag(std::string_view text, size_t from, std::string_view name) {
    for (size_t p = text.find("</", from); p != std::string_view::npos;
         p = text.find("</", p + 2)) {
        if (SameCaseless(text, p + 2, name))
            return p;
    }
    return std::string_view::npos;
}

// Inline elements run inside a word; every other tag separates words.
bool IsInlineTag(std::string_view name) {
    static constexpr std::array<std::string_view, 22> kInline = {
        "a",    "abbr", "b", "big",   "cite", "code",   "em",     "font", "i",   "kbd", "label",
        "mark", "q",    "s", "small", "span", "strike", "strong", "sub",  "sup", "tt",  "u"};
    for (std::string_view tag : kInline) {
        if (tag == name)
            return true;
    }
    return false;
}

// Builds the plain text of a record, keeping it in GBK so the search word can
// be found in it by the search's own rules.
class PlainText {
  public:
    explicit PlainText(std::string_view word) : word_(word) {}

    void Char(std::string_view bytes) {
        if (bytes.size() == 1 &&
            (static_cast<unsigned char>(bytes[0]) < 0x20 || IsBlank(bytes[0]))) {
            Blank();
            return;
        }
        if (blank_ && !text_.empty())
            text_.push_back(' ');
        blank_ = false;
        text_.append(bytes);
    }
    void Blank() { blank_ = true; }
    // Marks the place where the raw match sat, once.
    void MarkRawMatch() {
        if (raw_mark_ == std::string::npos)
            raw_mark_ = text_.size();
    }
    // True once the visible match and the text after it are in hand.
    bool Enough() {
        if (match_ == std::string::npos && text_.size() >= checked_ + kCheckStep)
            Check();
        return match_ != std::string::npos &&
               text_.size() >= match_ + word_.size() + 2 * kSnippetAfter;
    }
    void Finish() {
        if (match_ == std::string::npos)
            Check();
    }
    const std::string& text() const { return text_; }
    // Where the window is centred, and how long the matched text there is.
    size_t Centre() const {
        if (match_ != std::string::npos)
            return match_;
        return raw_mark_ == std::string::npos ? 0 : raw_mark_;
    }
    size_t CentreLength() const { return match_ != std::string::npos ? word_.size() : 0; }

  private:
    void Check() {
        // A match cut by the last check starts after checked_ - word + 1.
        const size_t from = checked_ + 1 > word_.size() ? checked_ + 1 - word_.size() : 0;
        match_ = FindCaseless(text_, word_, from);
        checked_ = text_.size();
    }

    std::string_view word_;
    std::string text_;
    bool blank_ = false;
    size_t raw_mark_ = std::string::npos;
    size_t match_ = std::string::npos;
    size_t checked_ = 0;
};

// Decodes the entity at text[at] == '&' into out; the number of bytes it took,
// 0 when it is no entity this reader knows.
size_t DecodeEntity(std::string_view text, size_t at, PlainText& out) {
    const size_t semi = text.substr(at, kMaxEntity + 2).find(';');
    if (semi == std::string_view::npos || semi < 2)
        return 0;
    const std::string_view body = text.substr(at + 1, semi - 1);
    struct Named {
        std::string_view name, text;
    };
    static constexpr std::array<Named, 6> kNamed = {
        {{"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}}};
    for (const Named& n : kNamed) {
        if (body == n.name) {
            out.Char(n.text);
            return semi + 1;
        }
    }
    if (body[0] != '#' || body.size() < 2)
        return 0;
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty())
        return 0;
    uint32_t code = 0;
    for (const char c : digits) {
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && LowerAscii(c) >= 'a' && LowerAscii(c) <= 'f')
            d = LowerAscii(c) - 'a' + 10;
        if (d < 0)
            return 0;
        code = code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
        if (code > 0x10FFFF)
            return 0;
    }
    if (code < 0x80) {
        const char c = static_cast<char>(code);
        out.Char(std::string_view(&c, 1));
    } else if (code <= 0xFFFF) {
        const std::u16string wide(1, static_cast<char16_t>(code));
        // A character GBK cannot hold is left out of the hint.
        if (std::optional<std::string> gbk = WideToGbk(wide))
            out.Char(*gbk);
    }
    return semi + 1;
}

// Skips the markup at text[at] == '<' and returns where the text goes on; at
// itself when the '<' is plain text ("a < b").
size_t SkipMarkup(std::string_view text, size_t at, PlainText& out) {
    const size_t n = text.size();
    if (text.substr(at, 4) == "<!--") {
        const size_t end = text.find("-->", at + 4);
        return end == std::string_view::npos ? n : end + 3;
    }
    size_t p = at + 1;
    const bool closing = p < n && text[p] == '/';
    if (closing)
        ++p;
    if (p >= n || !(IsAsciiLetter(text[p]) || (!closing && (text[p] == '!' || text[p] == '?'))))
        return at;
    std::string name;
    while (p < n && (IsAsciiLetter(text[p]) || (text[p] >= '0' && text[p] <= '9')) &&
           name.size() < 16)
        name.push_back(LowerAscii(text[p++]));
    // The rest of the tag; a '>' inside a quoted attribute value does not end it.
    char quote = 0;
    while (p < n && (quote != 0 || text[p] != '>')) {
        if (quote != 0 && text[p] == quote)
            quote = 0;
        else if (quote == 0 && (text[p] == '"' || text[p] == '\''))
            quote = text[p];
        ++p;
    }
    p = p < n ? p + 1 : n;
    if (!IsInlineTag(name))
        out.Blank();
    // Their text is no part of what the page shows.
    if (!closing && (name == "script" || name == "style" || name == "title")) {
        const size_t close = FindClosingTag(text, p, name);
        if (close == std::string_view::npos)
            return n;
        const size_t end = text.find('>', close);
        return end == std::string_view::npos ? n : end + 1;
    }
    return p;
}

size_t CharLength(std::string_view text, size_t at) {
    return IsGbkLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// kSnippetBefore characters before centre up to kSnippetAfter characters after
// the matched text, on character starts of the GBK plain text.
std::string Window(const std::string& plain, size_t centre, size_t length) {
    std::array<size_t, kSnippetBefore> starts{};
    size_t kept = 0;
    size_t i = 0;
    while (i < centre && i < plain.size()) {
        starts[kept % kSnippetBefore] = i;
        ++kept;
        i += CharLength(plain, i);
    }
    const size_t begin = kept < kSnippetBefore ? 0 : starts[kept % kSnippetBefore];
    size_t end = std::min(plain.size(), i + length);
    for (size_t c = 0; c < kSnippetAfter && end < plain.size(); ++c)
        end += CharLength(plain, end);
    end = std::min(end, plain.size());
    std::string_view cut(plain.data() + begin, end - begin);
    while (!cut.empty() && cut.front() == ' ')
        cut.remove_prefix(1);
    while (!cut.empty() && cut.back() == ' ')
        cut.remove_suffix(1);
    if (cut.empty())
        return {};
    std::string out;
    if (begin > 0)
        out.append(kEllipsis);
    out.append(GbkToUtf8(cut));
    if (end < plain.size())
        out.append(kEllipsis);
    return out;
}

}  // namespace

std::string MatchSnippet(std::string_view record, std::string_view word) {
    const size_t raw_match = word.empty() ? std::string_view::npos : FindCaseless(record, word);
    PlainText plain(word);
    const size_t n = record.size();
    size_t i = 0;
    while (i < n && !plain.Enough()) {
        if (i >= raw_match)
            plain.MarkRawMatch();
        const char c = record[i];
        if (c == '<') {
            const size_t next = SkipMarkup(record, i, plain);
            if (next != i) {
                i = next;
                continue;
            }
        } else if (c == '&') {
            if (const size_t used = DecodeEntity(record, i, plain)) {
                i += used;
                continue;
            }
        }
        const size_t len = CharLength(record, i);
        plain.Char(record.substr(i, len));
        i += len;
    }
    if (raw_match != std::string_view::npos)
        plain.MarkRawMatch();
    plain.Finish();
    return Window(plain.text(), plain.Centre(), plain.CentreLength());
}

}  // namespace q3::server
