// Replacing a small data file of the user's ("RURLs.dat", "SearchKey.dat")
// the way the settings store replaces a hive: two windows saving at once each
// write a temporary file of their own, one after the other under the file's
// lock, and a crash mid-write leaves the previous file whole.
#pragma once

#include <filesystem>
#include <string_view>

namespace q3 {

// Writes text to a unique temporary file beside file, syncs it and renames it
// over file, holding "<file>.lock" throughout. False when any step fails; the
// old file is then untouched and the temporary file removed.
bool ReplaceDataFile(const std::filesystem::path& file, std::string_view text);

}  // namespace q3
