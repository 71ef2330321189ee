// The project's addresses the reader links to. The home page, the
// resource-sharing site and the logo's link are settings of the online
// services (online/online_settings.h); these two are fixed.
#pragma once

namespace q3::reader {

inline constexpr const char* kMakerMailbox = "mailto:support@quillon3.net";
inline constexpr const char* kMakerSoftwarePage = "https://www.quillon3.net/download/";

}  // namespace q3::reader
