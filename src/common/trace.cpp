#include "common/trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace q3 {
namespace {

std::mutex& SinkMutex() {
    static std::mutex m;
    return m;
}

TraceSink& Sink() {
    static TraceSink sink;
    return sink;
}

bool PrintEnabled() {
    static const bool enabled = [] {
        const char* v = std::getenv("QUILLON3_TRACE");
        return v != nullptr && std::strcmp(v, "1") == 0;
    }();
    return enabled;
}

}  // namespace

void DebugTrace(std::string_view tag, std::string_view text) noexcept {
    try {
        if (PrintEnabled()) {
            std::fprintf(stderr, "[trace] %.*s: %.*s\n", static_cast<int>(tag.size()), tag.data(),
                         static_cast<int>(text.size()), text.data());
        }
        std::lock_guard lock(SinkMutex());
        if (Sink())
            Sink()(tag, text);
    } catch (...) {
        // The trace must never be the reason a caller fails.
    }
}

void SetTraceSink(TraceSink sink) {
    std::lock_guard lock(SinkMutex());
    Sink() = std::move(sink);
}

}  // namespace q3
