#include "reader/rules/auto_append.h"

#include "common/text.h"

namespace q3::reader {

bool SuggestsItem(std::string_view typed, std::string_view item) {
    if (typed.empty() || item.size() < typed.size())
        return false;
    return AsciiLower(item.substr(0, typed.size())) == AsciiLower(typed);
}

std::string AutoAppendRest(std::string_view typed, const std::vector<std::string>& items) {
    for (const std::string& item : items) {
        // Only ASCII letters change case, so the typed bytes end where the
        // item's matching bytes end: the rest starts on a character boundary.
        if (item.size() > typed.size() && SuggestsItem(typed, item))
            return item.substr(typed.size());
    }
    return {};
}

}  // namespace q3::reader
