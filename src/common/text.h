// Stateless helpers on byte text (GBK in the core): the marker search that
// parses sitemaps, feeds and special links, percent-decoding, captions and the
// pieces of file names and addresses.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace q3 {

std::string IfEmpty(std::string_view a, std::string_view b);

// Every "%" and the (up to) two bytes after it become the byte they denote; an
// escape that is not hexadecimal disappears. "+" stays "+".
std::string PercentDecode(std::string_view text);
// Escapes every byte but ASCII letters, digits and "-_.~" as "%XX" (upper-case
// hex), so any byte text fits an address and decodes back to the same bytes.
std::string PercentEncode(std::string_view bytes);

// The name after the last "\" or ":" (and "/", this platform's separator)
// without its extension.
std::string FileNameNoExt(std::string_view path);

// The extension of path (from the last "." after the last "\" or ":"), with
// the dot, or empty. The content server's ".htm" test depends on exactly these
// separators: a "/" does not end the search.
std::string_view FileExtension(std::string_view path);

// limit characters of text then suffix; a text with any double-byte character
// gets half the limit, since such characters are drawn twice as wide.
std::string ShortenText(std::string_view text, int limit, std::string_view suffix);

// The same rule for UTF-8 text (the platform's captions and addresses): a
// character that is double-byte in GBK halves the limit; characters count as
// 16-bit units.
std::string ShortenTextUtf8(std::string_view text, int limit, std::string_view suffix);

std::string TextBetween(std::string_view text, std::string_view start, std::string_view end);

// As TextBetween; on success source loses everything through the end marker,
// so repeated calls walk a list of items.
std::string CutTextBetween(std::string& source, std::string_view start, std::string_view end);
// The same walk over a view: nothing is copied or moved, so a long feed costs
// one pass however many items it holds. The result views source's text.
std::string_view CutTextBetween(std::string_view& source, std::string_view start,
                                std::string_view end);

std::string LastPathSegment(std::string_view address);
std::string AnchorOf(std::string_view address);
void ReplaceChar(std::string& s, char from, char to);

// ASCII-only lower case; addresses are compared this way.
std::string AsciiLower(std::string_view text);

// Trims bytes <= ' ' at both ends, as the platform's trim does.
std::string_view Trim(std::string_view text);

// The value of a hexadecimal digit, or -1 for any other character.
int HexValue(char c);

// Text made safe inside HTML or XML, in element text and in quoted
// attribute values alike.
std::string HtmlEscape(std::string_view text);

// Deletes an address from the browser's cache. The core has no browser: the
// web host installs the real call at start; without one nothing is purged.
using UrlCachePurger = std::function<bool(std::string_view address)>;
void SetUrlCachePurger(UrlCachePurger purger);
bool PurgeUrlCache(std::string_view address);

}  // namespace q3
