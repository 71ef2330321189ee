// "Process pending window messages": runs the main loop's pending events, so
// the window stays responsive inside long work. Re-entrancy at these points
// is intended; callers keep their state valid across them.
#pragma once

#include <chrono>
#include <functional>

namespace q3::reader {

void ProcessMessages();

// Runs the main loop while busy() holds, for at most limit.
void ProcessMessagesWhile(const std::function<bool()>& busy, std::chrono::milliseconds limit);

}  // namespace q3::reader
