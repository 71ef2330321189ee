// The maker's addresses the reader links to.
#pragma once

namespace q3::reader {

inline constexpr const char* kMakerHomePage = "http://www.quillon3.net/";
inline constexpr const char* kMakerMailbox = "mailto:support@quillon3.net";
inline constexpr const char* kMakerResourceSite = "http://share.quillon3.net/";
inline constexpr const char* kMakerSoftwarePage = "http://www.quillon3.net/download/";

}  // namespace q3::reader
