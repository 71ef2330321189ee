// Where a desktop user's files go (the XDG base and user directories). Each
// call reads the environment afresh, so a test can point them elsewhere.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace q3 {

// $HOME when it is an absolute path, else the home folder of the user.
std::filesystem::path UserHome();

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
std::filesystem::path ConfigHome();

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
std::filesystem::path DataHome();

// The data folders the desktop reads besides the user's own: the absolute
// entries of $XDG_DATA_DIRS, or /usr/local/share and /usr/share when it
// holds none.
std::vector<std::filesystem::path> DataDirs();

// The user folder named in $XDG_CONFIG_HOME/user-dirs.dirs by kind ("DESKTOP",
// "DOCUMENTS", "PICTURES", "TEMPLATES", ...). Without an entry the desktop is
// ~/Desktop and every other kind the home folder.
std::filesystem::path UserDirectory(std::string_view kind);

// The entry of kind in the text of a user-dirs.dirs file, "$HOME" replaced
// by home; nothing when the text has no sound entry for it.
std::optional<std::filesystem::path> UserDirectoryEntry(std::string_view text,
                                                        std::string_view kind,
                                                        const std::filesystem::path& home);

// Makes folder and its parents, private to the user; true when it exists.
bool MakePrivateFolders(const std::filesystem::path& folder);

}  // namespace q3
