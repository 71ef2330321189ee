#include "qbxtool/transcode.h"

#include <algorithm>
#include <vector>

#include "common/gbk.h"
#include "common/text.h"

namespace q3::tool {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

struct Span {
    size_t at;
    size_t len;
};

// At lower[at]: optional blanks, the separator (when one is asked for),
// optional blanks, an optional quote, then "utf-8" or "utf8" as a whole word.
// The span of that word, or len 0.
Span Utf8Word(const std::string& lower, size_t at, char separator) {
    auto skip = [&] {
        while (at < lower.size() && IsBlank(lower[at]))
            ++at;
    };
    skip();
    if (separator != 0) {
        if (at >= lower.size() || lower[at] != separator)
            return {at, 0};
        ++at;
        skip();
    }
    if (at < lower.size() && (lower[at] == '"' || lower[at] == '\''))
        ++at;
    for (std::string_view word : {"utf-8", "utf8"}) {
        if (lower.compare(at, word.size(), word) != 0)
            continue;
        const size_t end = at + word.size();
        if (end < lower.size() && IsNameChar(lower[end]))
            return {at, 0};
        return {at, word.size()};
    }
    return {at, 0};
}

// Where the tag around lower[at] starts, or npos when at is not inside a tag.
size_t TagStart(const std::string& lower, size_t at) {
    const size_t lt = lower.rfind('<', at);
    if (lt == std::string::npos)
        return lt;
    const size_t gt = lower.rfind('>', at);
    return gt != std::string::npos && gt > lt ? std::string::npos : lt;
}

std::vector<Span> MarkupDeclarations(const std::string& lower) {
    std::vector<Span> spans;
    for (size_t p = lower.find("charset"); p != std::string::npos;
         p = lower.find("charset", p + 1)) {
        if (TagStart(lower, p) == std::string::npos)
            continue;
        Span s = Utf8Word(lower, p + 7, '=');
        if (s.len > 0)
            spans.push_back(s);
    }
    for (size_t p = lower.find("encoding"); p != std::string::npos;
         p = lower.find("encoding", p + 1)) {
        const size_t tag = TagStart(lower, p);
        if (tag == std::string::npos || lower.compare(tag, 5, "<?xml") != 0)
            continue;
        Span s = Utf8Word(lower, p + 8, '=');
        if (s.len > 0)
            spans.push_back(s);
    }
    return spans;
}

std::vector<Span> StyleDeclarations(const std::string& lower) {
    std::vector<Span> spans;
    for (size_t p = lower.find("@charset"); p != std::string::npos;
         p = lower.find("@charset", p + 1)) {
        Span s = Utf8Word(lower, p + 8, 0);
        if (s.len > 0)
            spans.push_back(s);
    }
    return spans;
}

// Markup with every character GBK cannot hold written as &#N;.
std::string MarkupToGbkWithReferences(std::string_view text, size_t& referenced) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        // text is valid UTF-8, so the lead byte gives the length.
        const size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        std::string_view one = text.substr(i, len);
        if (auto gbk = Utf8ToGbk(one)) {
            out += *gbk;
        } else {
            uint32_t cp = c & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
            for (size_t k = 1; k < len; ++k)
                cp = (cp << 6) | (static_cast<unsigned char>(one[k]) & 0x3F);
            out += "&#" + std::to_string(cp) + ";";
            ++referenced;
        }
        i += len;
    }
    return out;
}

}  // namespace

TextKind TextKindOf(std::string_view name) {
    const size_t slash = name.rfind('/');
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return TextKind::kBinary;
    const std::string ext = AsciiLower(name.substr(dot));
    if (ext == ".htm" || ext == ".html" || ext == ".hhc" || ext == ".hhk")
        return TextKind::kMarkup;
    if (ext == ".css")
        return TextKind::kStyle;
    if (ext == ".js" || ext == ".txt")
        return TextKind::kPlain;
    return TextKind::kBinary;
}

std::string DeclareGbk(std::string_view text, TextKind kind) {
    const std::string lower = AsciiLower(text);
    std::vector<Span> spans;
    if (kind == TextKind::kMarkup)
        spans = MarkupDeclarations(lower);
    if (kind == TextKind::kStyle)
        spans = StyleDeclarations(lower);
    std::sort(spans.begin(), spans.end(), [](Span a, Span b) { return a.at < b.at; });
    std::string out;
    out.reserve(text.size());
    size_t from = 0;
    for (const Span& s : spans) {
        if (s.at < from)
            continue;  // found twice
        out.append(text.substr(from, s.at - from));
        out += "gbk";
        from = s.at + s.len;
    }
    out.append(text.substr(from));
    return out;
}

std::string TranscodeToGbk(std::string_view name, std::string bytes, Warnings& warnings) {
    const TextKind kind = TextKindOf(name);
    if (kind == TextKind::kBinary || !IsValidUtf8(bytes))
        return bytes;
    std::string_view text = bytes;
    if (text.substr(0, kBom.size()) == kBom)
        text.remove_prefix(kBom.size());
    if (auto gbk = Utf8ToGbk(DeclareGbk(text, kind)))
        return *gbk;
    if (kind == TextKind::kMarkup) {
        size_t referenced = 0;
        std::string out = MarkupToGbkWithReferences(DeclareGbk(text, kind), referenced);
        warnings.push_back(std::string(name) + ": " + std::to_string(referenced) +
                           " characters GBK cannot hold are written as character references");
        return out;
    }
    warnings.push_back(std::string(name) + ": holds characters GBK cannot hold; kept as UTF-8");
    return bytes;
}

}  // namespace q3::tool
