// What the fetch routines make of an answer once it is complete: XML written
// back as XML text, an HTML page read by the character set its meta tag
// declares, anything else as its plain text. All results are UTF-8.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace q3::online {

// A request or an answer that cannot be turned into a result; the fetch
// routines hand its message to the trace.
class FetchError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// After leading blanks and control characters, the text begins with the XML
// declaration up to the quote that opens its version (`<?xml version="`) or
// with "<rss"; both case-sensitive, so "<RSS" is not XML here.
bool IsXmlText(std::string_view text);

// The inner address of a wrapped or redirecting link: from the first
// "http://" at the fifth character or later to the end; the address itself
// when there is none. Only "http://" counts: an inner "https://" address is
// not unwrapped.
std::string ExtractRealUrl(std::string_view address);

// The character set an HTML text declares in its Content-Type meta tag,
// lower-cased; empty when none is declared. Only the spellings
// http-equiv="Content-Type" and http-equiv="content-type" are recognised (a
// page writing CONTENT-TYPE declares nothing), and the value counts only when
// a double quote closes it: `charset=gb2312">` declares gb2312,
// `content=text/html;charset=gb2312>` declares nothing.
std::string DeclaredCharset(std::string_view text);

// The document in bytes parsed as XML and written back as UTF-8 XML text; an
// XML declaration in the source is kept without its encoding, which no longer
// applies. Empty when the bytes are not well-formed XML. Nothing outside the
// bytes is ever loaded (no DTDs, no network).
std::string XmlAsText(std::string_view bytes);

// The result of a complete answer: its text (`ResponseText`), unless it is
// XML, which comes back as `XmlAsText` (the text when that is empty), or it
// declares a character set, by which its bytes are then read. Throws
// FetchError when the declared character set is unknown.
std::string ProcessAnswer(std::string_view body, std::string_view content_type);

}  // namespace q3::online
