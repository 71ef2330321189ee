// libcurl, loaded on the first request instead of linked in. Linked, the
// library and the TLS, LDAP and SSH stack it pulls in (a dozen libraries)
// cost every start of the reader about 20 ms and 4.5 MB before its first
// page, though the update service is off by default and most starts never
// make a request.
#pragma once

#include <curl/curl.h>

namespace q3::online {

struct CurlLibrary {
    decltype(&curl_global_init) global_init;
    decltype(&curl_easy_init) easy_init;
    decltype(&curl_easy_cleanup) easy_cleanup;
    decltype(&curl_easy_setopt) easy_setopt;
    decltype(&curl_easy_getinfo) easy_getinfo;
    decltype(&curl_easy_strerror) easy_strerror;
    decltype(&curl_multi_init) multi_init;
    decltype(&curl_multi_cleanup) multi_cleanup;
    decltype(&curl_multi_add_handle) multi_add_handle;
    decltype(&curl_multi_remove_handle) multi_remove_handle;
    decltype(&curl_multi_perform) multi_perform;
    decltype(&curl_multi_poll) multi_poll;
    decltype(&curl_multi_wakeup) multi_wakeup;
    decltype(&curl_multi_info_read) multi_info_read;
};

// The library, loaded and set up (curl_global_init) on the first call, which
// must come from the main thread as curl_global_init asks. Null when it cannot
// be loaded or lacks a routine; the reader then makes no requests.
const CurlLibrary* Curl();

}  // namespace q3::online
