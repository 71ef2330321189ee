#include "online/curl_library.h"

#include <dlfcn.h>

#include <string>

#include "common/trace.h"

namespace q3::online {
namespace {

// The soname of the ABI the headers describe (libcurl4 and its TLS variants
// all install it).
constexpr const char* kSoname = "libcurl.so.4";

template <typename F>
bool Resolve(void* handle, const char* name, F& slot) {
    slot = reinterpret_cast<F>(dlsym(handle, name));
    return slot != nullptr;
}

const CurlLibrary* Load() {
    void* handle = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        DebugTrace("Curl", std::string("cannot load ") + kSoname + ": " + (why ? why : ""));
        return nullptr;
    }
    static CurlLibrary lib;
    const bool complete = Resolve(handle, "curl_global_init", lib.global_init) &&
                          Resolve(handle, "curl_easy_init", lib.easy_init) &&
                          Resolve(handle, "curl_easy_cleanup", lib.easy_cleanup) &&
                          Resolve(handle, "curl_easy_setopt", lib.easy_setopt) &&
                          Resolve(handle, "curl_easy_getinfo", lib.easy_getinfo) &&
                          Resolve(handle, "curl_easy_strerror", lib.easy_strerror) &&
                          Resolve(handle, "curl_multi_init", lib.multi_init) &&
                          Resolve(handle, "curl_multi_cleanup", lib.multi_cleanup) &&
                          Resolve(handle, "curl_multi_add_handle", lib.multi_add_handle) &&
                          Resolve(handle, "curl_multi_remove_handle", lib.multi_remove_handle) &&
                          Resolve(handle, "curl_multi_perform", lib.multi_perform) &&
                          Resolve(handle, "curl_multi_poll", lib.multi_poll) &&
                          Resolve(handle, "curl_multi_wakeup", lib.multi_wakeup) &&
                          Resolve(handle, "curl_multi_info_read", lib.multi_info_read);
    // An older libcurl than the build's (no curl_multi_wakeup) is not used
    // half: it stays loaded, unused, as unloading what set nothing up gains little.
    if (!complete) {
        DebugTrace("Curl", std::string(kSoname) + " lacks a routine the reader needs");
        return nullptr;
    }
    if (lib.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        DebugTrace("Curl", "curl_global_init failed");
        return nullptr;
    }
    return &lib;
}

}  // namespace

const CurlLibrary* Curl() {
    static const CurlLibrary* const lib = Load();
    return lib;
}

}  // namespace q3::online
