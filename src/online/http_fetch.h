// Fetching a web resource by HTTP GET as text, for the update check. Both
// routines block their thread until the answer is complete, the time-out has
// passed or the caller's stop token is triggered, polling every 10 ms. They
// never throw: a failure gives the empty text and exactly one DebugTrace call
// (tag "XMLHttpGet" or "ServerXMLHTTPGet").
//
// Only http:// and https:// addresses are fetched (redirects included), no
// header of our own is sent, and an answer body larger than kMaxAnswerBytes
// is a failure: a server cannot make the reader allocate without bound.
#pragma once

#include <cstddef>
#include <stop_token>
#include <string>
#include <string_view>

namespace q3::online {

inline constexpr int kFetchPollMs = 10;
// The service's answers are a few kilobytes; two megabytes leave room for
// any honest feed while bounding what a hostile server can make us hold.
inline constexpr std::size_t kMaxAnswerBytes = 2u << 20;
// The time-out of the second attempt after a request got no answer at all.
inline constexpr int kSecondAttemptTimeoutMs = 30000;

// GET of the inner address of address (ExtractRealUrl). A complete answer with
// an HTTP status, error statuses included, is processed (ProcessAnswer). A
// request that ended without any answer (status 0: refused, unreachable, no
// such host) is tried once more with ServerXMLHTTPGet and a 30-second
// time-out, whose result is returned.
std::string XMLHttpGet(std::string_view address, int timeout_ms, std::stop_token stop = {});

// The same without the second attempt: a request that ends without an
// answer is a failure.
std::string ServerXMLHTTPGet(std::string_view address, int timeout_ms, std::stop_token stop = {});

// The process-wide set-up of the HTTP and XML libraries. The fetch routines
// call it themselves; a program that fetches from a worker thread calls it on
// its main thread first, since the libraries' set-up is not thread-safe.
void InitOnlineLibraries();

}  // namespace q3::online
