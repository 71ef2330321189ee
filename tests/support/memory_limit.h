// Runs a piece of a test in a child process whose address space is capped a
// little above what it uses already, so that "never allocates what the input
// merely claims" and "running out of memory is handled" can be checked
// without exhausting the machine.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <functional>

namespace q3::testing {

// AddressSanitizer reserves terabytes of shadow memory and aborts instead of
// throwing std::bad_alloc, so a capped address space says nothing there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kCanLimitMemory = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kCanLimitMemory = false;
#else
inline constexpr bool kCanLimitMemory = true;
#endif
#else
inline constexpr bool kCanLimitMemory = true;
#endif

inline size_t CurrentAddressSpace() {
    unsigned long pages = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr)
        return 0;
    if (std::fscanf(f, "%lu", &pages) != 1)
        pages = 0;
    std::fclose(f);
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// The child's exit status from body, or 128 + the signal that ended it (an
// exception that escaped body ends it with SIGABRT).
inline int RunWithMemoryLimit(size_t extra_bytes, const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        const rlim_t limit = CurrentAddressSpace() + extra_bytes;
        const rlimit rl{limit, limit};
        if (setrlimit(RLIMIT_AS, &rl) != 0)
            _exit(126);
        _exit(body());
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

}  // namespace q3::testing
