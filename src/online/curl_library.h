// libcurl, loaded on the first request instead of linked in. Linked, the
// library and the TLS, LDAP and SSH stack it pulls in (a dozen libraries)
// cost every start of the reader about 20 ms and 4.5 MB before its first
// page, though the update service is off by default and most starts never
// make a request.
#pragma once

#include <curl/curl.h>

namespace q3::online {

// The routines the reader calls, each as curl_<name>: the one list both the
// table below and its loading are made from.
// clang-format off
#define Q3_CURL_ROUTINES(X)                                                                  \
    X(global_init)                                                                           \
    X(easy_init) X(easy_cleanup) X(easy_setopt) X(easy_getinfo) X(easy_strerror)             \
    X(multi_init) X(multi_cleanup) X(multi_add_handle) X(multi_remove_handle)                \
    X(multi_perform) X(multi_poll) X(multi_wakeup) X(multi_info_read)
// clang-format on

struct CurlLibrary {
#define Q3_CURL_MEMBER(name) decltype(&curl_##name) name;
    Q3_CURL_ROUTINES(Q3_CURL_MEMBER)
#undef Q3_CURL_MEMBER
};

// The library, loaded and set up (curl_global_init) on the first call, which
// must come from the main thread as curl_global_init asks. Null when it cannot
// be loaded or lacks a routine; the reader then makes no requests.
const CurlLibrary* Curl();

}  // namespace q3::online
