// The search box beside the address box: what a search does in each mode,
// the query addresses of the web search engines and the word list's
// duplicate test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace q3::reader {

// The checked item of the search button's menu, in menu order.
enum class SearchMode { kPage, kFullText, kGoogle, kBing, kBaidu };

// The engine's query address for a word, or empty for the page and
// full-text modes. The word is escaped as UTF-8, so "a&b" or "c#" reach the
// engine whole.
std::string WebSearchAddress(SearchMode mode, std::string_view word);

// True when the list holds the word, compared without regard to letter case.
bool HasSearchWord(const std::vector<std::string>& words, std::string_view word);

}  // namespace q3::reader
