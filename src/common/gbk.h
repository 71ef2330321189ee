// The one place where GBK (code page 936) text meets UTF-8. Document bytes stay
// GBK in the core; everything the platform sees is UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q3 {

inline bool IsGbkLead(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

// Invalid or truncated GBK becomes U+FFFD; never fails.
std::string GbkToUtf8(std::string_view gbk);

// Empty when the text is not valid UTF-8 or holds a character GBK cannot
// represent: a search word or an address that GBK cannot hold simply matches
// nothing, so callers must not substitute a '?'.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// Same conversion for 16-bit text (the lookup's second step works on it).
std::optional<std::string> WideToGbk(std::u16string_view wide);

// Lower-cases ASCII letters only and steps over double-byte characters: a lead
// byte and its trail byte are copied unchanged even when the trail byte is an
// upper-case ASCII letter, so a character is never turned into another one.
std::string GbkLower(std::string_view text);
void GbkLowerInPlace(std::string& text);

// Finds needle in hay at a character start (never on the trail byte of a
// double-byte character); npos when absent.
size_t GbkFind(std::string_view hay, std::string_view needle, size_t from = 0);

// True when text holds no invalid UTF-8 sequence.
bool IsValidUtf8(std::string_view text);

// Reads a data file's text: UTF-8 as it is, anything else as GBK, so files
// written on the original platform still load.
std::string TextFileToUtf8(std::string_view bytes);

}  // namespace q3
