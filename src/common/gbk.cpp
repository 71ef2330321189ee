#include "common/gbk.h"

#include <iconv.h>
#include <cerrno>

#include <cstring>
#include <memory>

namespace q3 {
namespace {

// iconv_open costs far more than a short conversion, so each thread keeps one
// descriptor per direction; iconv_t is not safe to share between threads.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in; on an invalid or unconvertible sequence calls
    // on_error(consumed so far) which returns how many input bytes to skip
    // after appending its own replacement, or 0 to give up.
    template <class OnError>
    bool Run(const char* in, size_t len, std::string& out, OnError on_error) {
        if (!ok())
            return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        size_t left = len;
        char buf[4096];
        while (left > 0) {
            char* dst = buf;
            size_t room = sizeof buf;
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            size_t skip = on_error(out, static_cast<size_t>(src - in));
            if (skip == 0 || skip > left)
                return false;
            src += skip;
            left -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return true;
    }

  private:
    iconv_t cd_;
};

Converter& GbkToUtf8Conv() {
    thread_local Converter c("UTF-8", "CP936");
    return c;
}
Converter& Utf8ToGbkConv() {
    thread_local Converter c("CP936", "UTF-8");
    return c;
}
Converter& Utf16ToGbkConv() {
    thread_local Converter c("CP936", "UTF-16LE");
    return c;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);
    bool ok = GbkToUtf8Conv().Run(gbk.data(), gbk.size(), out, [&](std::string& o, size_t at) {
        o.append(kReplacement);
        // A lead byte whose trail is not a valid pair: drop the lead only, so an
        // ASCII byte after it survives.
        (void)at;
        return size_t{1};
    });
    if (!ok) {
        // No converter on this system: keep ASCII, mark the rest.
        out.clear();
        for (unsigned char c : gbk) {
            if (c < 0x80)
                out.push_back(static_cast<char>(c));
            else
                out.append(kReplacement);
        }
    }
    return out;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    bool ok = Utf8ToGbkConv().Run(utf8.data(), utf8.size(), out,
                                  [](std::string&, size_t) { return size_t{0}; });
    if (!ok)
        return std::nullopt;
    return out;
}

std::optional<std::string> WideToGbk(std::u16string_view wide) {
    std::string bytes;
    bytes.reserve(wide.size() * 2);
    for (char16_t c : wide) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    std::string out;
    bool ok = Utf16ToGbkConv().Run(bytes.data(), bytes.size(), out,
                                   [](std::string&, size_t) { return size_t{0}; });
    if (!ok)
        return std::nullopt;
    return out;
}

void GbkLowerInPlace(std::string& text) {
    // Contents lines and search words are mostly ASCII markup: eight bytes
    // with no high bit are lower-cased at once; anything else goes byte by
    // byte so that a double-byte character's trail is stepped over.
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    auto lower8 = [](uint64_t v) {
        const uint64_t at_least_a = v + (0x80 - 'A') * kOnes;
        const uint64_t beyond_z = v + (0x80 - 'Z' - 1) * kOnes;
        return v | (((at_least_a & ~beyond_z) & kHigh) >> 2);
    };
    char* p = text.data();
    const size_t n = text.size();
    size_t i = 0;
    // While every byte so far was ASCII, each byte is a character start, so
    // a short tail is done as the text's last eight bytes: lower-casing the
    // overlap twice changes nothing.
    bool all_ascii = true;
    while (i < n) {
        if (n - i >= 8) {
            uint64_t v;
            std::memcpy(&v, p + i, 8);
            if ((v & kHigh) == 0) {
                v = lower8(v);
                std::memcpy(p + i, &v, 8);
                i += 8;
                continue;
            }
        } else if (all_ascii && n >= 8) {
            uint64_t v;
            std::memcpy(&v, p + n - 8, 8);
            if ((v & kHigh) == 0) {
                v = lower8(v);
                std::memcpy(p + n - 8, &v, 8);
                return;
            }
        }
        all_ascii = false;
        const auto c = static_cast<unsigned char>(p[i]);
        if (IsGbkLead(c)) {
            i += 2;  // the trail byte is part of the character, never a letter
        } else {
            if (c >= 'A' && c <= 'Z')
                p[i] = static_cast<char>(c + 32);
            ++i;
        }
    }
}

std::string GbkLower(std::string_view text) {
    std::string s(text);
    GbkLowerInPlace(s);
    return s;
}

size_t GbkFind(std::string_view hay, std::string_view needle, size_t from) {
    if (needle.empty())
        return from <= hay.size() ? from : std::string_view::npos;
    size_t boundary = 0;  // a known character start at or before every candidate
    size_t pos = hay.find(needle, from);
    while (pos != std::string_view::npos) {
        while (boundary < pos) {
            boundary += IsGbkLead(static_cast<unsigned char>(hay[boundary])) ? 2 : 1;
        }
        if (boundary == pos)
            return pos;
        pos = hay.find(needle, pos + 1);
    }
    return std::string_view::npos;
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        auto c = static_cast<unsigned char>(text[i]);
        size_t len;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (size_t k = 1; k < len; ++k) {
            auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
            cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

std::string TextFileToUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return GbkToUtf8(bytes);
}

}  // namespace q3
