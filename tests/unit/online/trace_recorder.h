// Collects what the code under test hands to DebugTrace, from any thread.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/trace.h"

namespace q3::testing {

class TraceRecorder {
  public:
    using Entry = std::pair<std::string, std::string>;  // tag, text

    TraceRecorder() {
        SetTraceSink([this](std::string_view tag, std::string_view text) {
            std::lock_guard lock(mutex_);
            entries_.emplace_back(tag, text);
        });
    }
    ~TraceRecorder() { SetTraceSink({}); }
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    std::vector<Entry> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(entries_, {});
    }

  private:
    std::mutex mutex_;
    std::vector<Entry> entries_;
};

}  // namespace q3::testing
