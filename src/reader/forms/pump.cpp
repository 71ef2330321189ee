#include "reader/forms/pump.h"

#include <glibmm/main.h>
#include <glibmm/timer.h>

namespace q3::reader {

void ProcessMessages() {
    Glib::RefPtr<Glib::MainContext> context = Glib::MainContext::get_default();
    // Bounded, so a source that keeps re-arming itself cannot hold us here.
    for (int i = 0; i < 1000 && context->pending(); ++i)
        context->iteration(false);
}

void ProcessMessagesWhile(const std::function<bool()>& busy, std::chrono::milliseconds limit) {
    Glib::RefPtr<Glib::MainContext> context = Glib::MainContext::get_default();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (busy() && std::chrono::steady_clock::now() < deadline) {
        if (!context->iteration(false)) {
            // Nothing ready: wait a little without spinning.
            Glib::usleep(5000);
        }
    }
}

}  // namespace q3::reader
