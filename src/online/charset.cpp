#include "online/charset.h"

#include <iconv.h>

#include <array>
#include <cerrno>

#include "common/gbk.h"
#include "common/text.h"

namespace q3::online {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
// A character set name longer than this is nobody's real name.
constexpr size_t kMaxCharsetName = 40;

// The WHATWG labels of GBK; glibc would read them as strict GB2312 (EUC-CN)
// and turn every GBK-only character into U+FFFD.
constexpr std::array<std::string_view, 9> kGbkLabels = {"chinese", "csgb2312",  "csiso58gb231280",
                                                        "gb2312",  "gb_2312",   "gb_2312-80",
                                                        "gbk",     "iso-ir-58", "x-gbk"};

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
           c == ':';
}

// The name handed to iconv, or empty. The name comes from a web page, so only
// plain label characters pass: no "//IGNORE" or "//TRANSLIT" suffixes, no
// paths.
std::string IconvName(std::string_view charset) {
    std::string name = AsciiLower(Trim(charset));
    if (name.empty() || name.size() > kMaxCharsetName)
        return {};
    for (char c : name) {
        if (!IsNameChar(c))
            return {};
    }
    for (std::string_view label : kGbkLabels) {
        if (name == label)
            return "GBK";
    }
    return name;
}

class Converter {
  public:
    explicit Converter(const std::string& from) : cd_(iconv_open("UTF-8", from.c_str())) {}
    ~Converter() {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::string Convert(std::string_view bytes) {
        std::string out;
        out.reserve(bytes.size() + bytes.size() / 2);
        char* in = const_cast<char*>(bytes.data());
        size_t in_left = bytes.size();
        std::array<char, 4096> buffer;
        while (in_left > 0) {
            char* to = buffer.data();
            size_t to_left = buffer.size();
            const size_t done = iconv(cd_, &in, &in_left, &to, &to_left);
            out.append(buffer.data(), static_cast<size_t>(to - buffer.data()));
            if (done != static_cast<size_t>(-1) || errno == E2BIG)
                continue;
            // An invalid or truncated sequence: one byte becomes U+FFFD and
            // the reading goes on from the next one.
            out += kReplacement;
            ++in;
            --in_left;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        char* to = buffer.data();
        size_t to_left = buffer.size();
        iconv(cd_, nullptr, nullptr, &to, &to_left);
        out.append(buffer.data(), static_cast<size_t>(to - buffer.data()));
        return out;
    }

  private:
    iconv_t cd_;
};

}  // namespace

std::optional<std::string> CharsetToUtf8(std::string_view bytes, std::string_view charset) {
    const std::string name = IconvName(charset);
    if (name.empty())
        return std::nullopt;
    Converter converter(name);
    if (!converter.ok())
        return std::nullopt;
    return converter.Convert(bytes);
}

std::string BytesToText(std::string_view bytes, std::string_view charset) {
    return CharsetToUtf8(bytes, charset).value_or(std::string());
}

std::string HeaderCharset(std::string_view content_type) {
    const std::string lower = AsciiLower(content_type);
    const size_t at = lower.find("charset=");
    if (at == std::string::npos)
        return {};
    std::string_view value = std::string_view(lower).substr(at + 8);
    value = value.substr(0, value.find_first_of("; \t"));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::string ResponseText(std::string_view body, std::string_view content_type) {
    if (body.starts_with("\xEF\xBB\xBF"))
        return BytesToText(body.substr(3), "utf-8");
    if (body.starts_with("\xFF\xFE"))
        return BytesToText(body.substr(2), "utf-16le");
    if (body.starts_with("\xFE\xFF"))
        return BytesToText(body.substr(2), "utf-16be");
    const std::string declared = HeaderCharset(content_type);
    if (!declared.empty()) {
        if (std::optional<std::string> text = CharsetToUtf8(body, declared))
            return *text;
    }
    if (IsValidUtf8(body))
        return std::string(body);
    return GbkToUtf8(body);
}

}  // namespace q3::online
