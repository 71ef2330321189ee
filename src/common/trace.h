// The program-wide diagnostic trace. Callers hand it the errors they swallow;
// it never fails and shows nothing to the user. With QUILLON3_TRACE=1 in the
// environment it prints to stderr, which is how a developer sees why a page
// came out empty.
#pragma once

#include <functional>
#include <string_view>

namespace q3 {

void DebugTrace(std::string_view tag, std::string_view text) noexcept;

// Tests observe the trace through this sink; pass an empty function to remove it.
using TraceSink = std::function<void(std::string_view tag, std::string_view text)>;
void SetTraceSink(TraceSink sink);

}  // namespace q3
