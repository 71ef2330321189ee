// The address box's completion as its users know it: what is typed stays as
// typed, and the rest of the first history item that begins with it is
// appended, selected, so that the next key replaces it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace q3::reader {

// The rest of the first item that begins with typed (ASCII letters compared
// without case, as addresses are), or empty when typed is empty or no item
// is longer than it.
std::string AutoAppendRest(std::string_view typed, const std::vector<std::string>& items);

// Whether an item belongs among the suggestions for typed: the same prefix
// rule, an empty typed text suggesting nothing.
bool SuggestsItem(std::string_view typed, std::string_view item);

}  // namespace q3::reader
