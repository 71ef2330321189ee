// Answers from the network arrive as bytes in whatever character set their
// server chose; everything the reader shows is UTF-8. These routines make the
// one step between the two, with iconv.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace q3::online {

// The bytes read in charset, as UTF-8. Nothing when charset is not a name
// iconv knows. Bytes that are invalid in charset become U+FFFD, so a damaged
// page still reads. The GB2312 labels read as GBK, its superset, as browsers
// and the original platform do: pages labelled gb2312 routinely use GBK.
std::optional<std::string> CharsetToUtf8(std::string_view bytes, std::string_view charset);

// The same, empty when the character set is unknown.
std::string BytesToText(std::string_view bytes, std::string_view charset);

// The charset parameter of an HTTP Content-Type header, lower-cased, without
// quotes; empty when there is none.
std::string HeaderCharset(std::string_view content_type);

// An answer's body as text, read the way a browser reads it: by a byte-order
// mark, else by the header's character set, else as UTF-8 when it is valid,
// else as GBK (the Chinese pages this reader is made for). Always valid UTF-8.
std::string ResponseText(std::string_view body, std::string_view content_type);

}  // namespace q3::online
