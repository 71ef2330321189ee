// "SearchKey.dat": the words searched in earlier runs, one a line.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace q3::reader {

inline constexpr const char* kSearchWordsFile = "SearchKey.dat";

// The words in the file, in file order; none when the file is missing or
// cannot be read. A file that is not UTF-8 is read as GBK.
std::vector<std::string> LoadSearchWords(const std::filesystem::path& file);

// Replaces the file with the words, each ended by CR LF, as the settings are
// replaced (ReplaceDataFile), so a failed write leaves the previous list
// whole and two windows never share a temporary file. Throws
// std::filesystem::filesystem_error on failure.
void StoreSearchWords(const std::filesystem::path& file, const std::vector<std::string>& words);

}  // namespace q3::reader
