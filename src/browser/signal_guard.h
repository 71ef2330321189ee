// WebKit calls the host through plain C callbacks; an exception must not
// unwind through them. It goes to the application's exception handlers, as
// it would from a gtkmm signal handler, and WebKit gets the neutral answer.
#pragma once

#include <glibmm/exceptionhandler.h>

#include <utility>

namespace q3::browser {

template <typename R, typename F>
R Guarded(R fallback, F&& body) {
    try {
        return std::forward<F>(body)();
    } catch (...) {
        Glib::exception_handlers_invoke();
        return fallback;
    }
}

template <typename F>
void Guarded(F&& body) {
    try {
        std::forward<F>(body)();
    } catch (...) {
        Glib::exception_handlers_invoke();
    }
}

}  // namespace q3::browser
