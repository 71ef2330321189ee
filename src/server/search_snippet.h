// The words around a search match, as plain text a result's hint can show:
// a reader chooses among results without opening each page.
#pragma once

#include <string>
#include <string_view>

namespace q3::server {

// Characters of plain text kept before and after the match.
inline constexpr size_t kSnippetBefore = 30;
inline constexpr size_t kSnippetAfter = 50;

// The text around the first visible occurrence of word (GBK, lower-cased as
// the search uses it) in a GBK record, as UTF-8: tags, comments, scripts,
// style sheets and the title are left out, the common entities decoded and runs of blanks
// made one. When the word occurs only inside markup (a link target, a
// script), the text around the place where it occurs is given; a cut end is
// marked with "…". Empty when the record holds no text at all.
std::string MatchSnippet(std::string_view record, std::string_view word);

}  // namespace q3::server
