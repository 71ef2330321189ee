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
    bool complete = true;
#define Q3_CURL_RESOLVE(name) complete = complete && Resolve(handle, "curl_" #name, lib.name);
    Q3_CURL_ROUTINES(Q3_CURL_RESOLVE)
#undef Q3_CURL_RESOLVE
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
