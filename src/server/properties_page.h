// The generated properties page of the open document: its path, the texts of
// its version block, its format version, identity number and creation time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/translation.h"

namespace q3::doc {
class TQBXManage;
}

namespace q3::server {

// The page's title is the file name followed by this.
inline constexpr std::string_view kPropertiesTitleSuffix = N_(" 的属性");

// The page text, lines joined by CR LF. background: the page colour in HTML
// notation. Every inserted value is HTML-escaped: a document's subject or
// remarks holding markup must not become script in the reader's own page.
std::string PropertiesPageHtml(const doc::TQBXManage& document, std::string_view background);

// An MS-DOS date and time in the user's locale: its date format, a blank and
// its time format; the time is left out at exactly midnight. Empty for a
// value that is no date (a damaged version block).
std::string CreatedAtText(uint32_t dos);

}  // namespace q3::server
