// The licence the programs are distributed under, as their --version texts
// tell it. data/debian/copyright, the AppStream data and LICENSE say the
// same; a unit test keeps them in step with kLicenceId.
#pragma once

namespace q3 {

// The SPDX name, as the Debian copyright file and AppStream's
// project_license spell it.
inline constexpr const char* kLicenceId = "GPL-3.0-or-later";

inline constexpr const char* kCopyrightLine = "Copyright (C) 2026 Quillon3 developers";

// The lines GNU programs print under their version, ending in a newline.
inline constexpr const char* kLicenceNotice =
    "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

}  // namespace q3
