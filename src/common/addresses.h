// Addresses as people see and type them: the scheme a typed address leaves
// out, document addresses shown with their characters instead of escapes,
// and the form the engine is given back.
#pragma once

#include <string>
#include <string_view>

namespace q3 {

// The scheme of an address, lower-cased, without the ":"; empty when the
// text names none. "localhost:8080" and "example.com:81/x" name a host and a
// port, not a scheme.
std::string AddressScheme(std::string_view address);

// "http://" or "https://" at the start, in any letter case: the addresses
// the reader hands to the browser rather than opening them as files.
bool IsWebAddress(std::string_view text);

// A typed address without a scheme ("www.example.com", "example.com/page")
// gets "http://", as browsers do. Paths, texts with blanks inside and
// addresses that name a scheme are returned unchanged.
std::string CompleteAddress(std::string_view typed);

// A document address ("qbx://reader/...") with the escapes of characters
// outside ASCII shown as those characters, when they spell UTF-8 text.
// Escapes of ASCII bytes ("%23", "%2F", "%25") stay, so what is shown still
// means the same address. Every other address is returned unchanged.
std::string DisplayAddress(std::string_view address);

// What the engine is given for an address that may have been shown readable:
// bytes outside ASCII, blanks and control bytes escaped; escapes already
// there are kept, so an address never gets escaped twice.
std::string NavigableAddress(std::string_view address);

}  // namespace q3
