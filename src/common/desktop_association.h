// The file association as the desktop sees it: a desktop entry for the reader
// and a shared-mime-info type for the document extension, in the user's data
// folder, with the desktop's caches refreshed so file managers pick them up.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q3 {

struct DesktopAssociation {
    std::string extension;     // ".qbx"
    std::string description;   // shown by file managers for the type
    std::string program_path;  // absolute path of the reader
};

// "application/x-qbx" for ".qbx"; nothing for an extension that is not a
// plain word (a glob or a mime type could not hold it safely).
std::optional<std::string> MimeTypeForExtension(std::string_view extension);

// "quillon3" for ".../quillon3": the desktop entry's file name without
// ".desktop"; characters a desktop file id cannot hold become "_".
std::string DesktopIdForProgram(std::string_view program_path);

// One Exec argument, quoted and escaped as desktop entries require; nothing
// when the path holds a character that cannot be written there.
std::optional<std::string> DesktopExecArgument(std::string_view path);

std::optional<std::string> DesktopEntryText(const DesktopAssociation& association);
std::optional<std::string> MimePackageText(const DesktopAssociation& association);

// An installation's own desktop entry and type definition, relative to its
// share folder (data/CMakeLists.txt installs them under these names), and
// the one type they define.
inline constexpr const char* kInstalledMimeType = "application/x-qbx";
inline constexpr const char* kInstalledDesktopEntry = "applications/net.quillon3.Reader.desktop";
inline constexpr const char* kInstalledMimePackage = "mime/packages/quillon3.xml";

// True when the program's installation already gives the desktop the
// association: the program lies in PREFIX/bin, PREFIX/share is one of
// data_dirs, so the desktop reads it, and it holds the installed desktop
// entry and type definition. A program run from its build folder has none,
// and neither has one installed where the desktop does not look.
bool InstalledAssociationCovers(std::string_view program_path,
                                const std::vector<std::filesystem::path>& data_dirs);

struct AssociationChanges {
    bool desktop_entry = false;  // the desktop entry was written
    bool mime_package = false;   // the type definition was written
};

// Writes the desktop entry and the type definition under data_home when their
// text differs from what is there. Throws std::filesystem::filesystem_error
// when a file cannot be written; nothing is written for an association that
// cannot be expressed (relative program path, odd extension).
AssociationChanges WriteAssociationFiles(const DesktopAssociation& association,
                                         const std::filesystem::path& data_home);

// Rebuilds the desktop's caches under data_home with update-mime-database and
// update-desktop-database (each skipped when it is not installed): always when
// force is set, otherwise only for what changed or a cache that is missing.
void RefreshDesktopDatabases(const std::filesystem::path& data_home,
                             const AssociationChanges& changes, bool force);

}  // namespace q3
