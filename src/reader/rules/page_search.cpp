#include "reader/rules/page_search.h"

#include <glib.h>

#include "common/text.h"

namespace q3::reader {

namespace {

std::string CaseFolded(std::string_view text) {
    gchar* folded = g_utf8_casefold(text.data(), static_cast<gssize>(text.size()));
    std::string out = folded != nullptr ? folded : "";
    g_free(folded);
    return out;
}

}  // namespace

std::string WebSearchAddress(SearchMode mode, std::string_view word) {
    const std::string query = PercentEncode(word);
    switch (mode) {
        case SearchMode::kGoogle:
            return "https://www.google.com/search?hl=zh-CN&q=" + query;
        case SearchMode::kBing:
            return "https://www.bing.com/search?q=" + query;
        case SearchMode::kBaidu:
            return "https://www.baidu.com/s?wd=" + query;
        case SearchMode::kPage:
        case SearchMode::kFullText:
            break;
    }
    return {};
}

bool HasSearchWord(const std::vector<std::string>& words, std::string_view word) {
    const std::string wanted = CaseFolded(word);
    for (const std::string& w : words) {
        if (CaseFolded(w) == wanted)
            return true;
    }
    return false;
}

}  // namespace q3::reader
