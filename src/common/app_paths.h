// Where the program and its files are: the program folder, the read-only data
// it ships (the help book) and the per-user folder for the files it writes.
#pragma once

#include <filesystem>
#include <string>

namespace q3 {

// The folder of the running program file, with a trailing separator.
std::string AppDir();

// The folder holding the read-only data (the help book), with a trailing
// separator: the program folder when the program runs from its build tree,
// otherwise the installed data folder (found beside the program's prefix
// first, so a moved installation still finds its data), and the program
// folder when neither exists.
std::string ReadOnlyDataDir();

// The choice behind ReadOnlyDataDir, for a given program folder.
std::string ReadOnlyDataDirFor(const std::filesystem::path& app_dir,
                               const std::filesystem::path& build_dir,
                               const std::filesystem::path& installed_data_dir);

// The folder holding the interface's message catalogues (<lang>/LC_MESSAGES/
// quillon3.mo): the build tree's when the program runs from there, otherwise
// the locale folder beside the program's prefix when it holds the catalogue
// (a moved installation), else the configured installed locale folder.
std::string LocaleDir();

// The choice behind LocaleDir, for a given program folder.
std::string LocaleDirFor(const std::filesystem::path& app_dir,
                         const std::filesystem::path& build_dir,
                         const std::filesystem::path& installed_locale_dir);

// $XDG_DATA_HOME/quillon3/ with a trailing separator, for the files the
// program writes (address history, search words); made on demand.
std::string UserDataDir();

// $XDG_CONFIG_HOME/quillon3/ with a trailing separator (the registry hives).
std::string UserConfigDir();

// Whether path names a regular file (after links); an empty path or one that
// cannot be examined is none.
bool IsRegularFile(const std::string& path);

}  // namespace q3
