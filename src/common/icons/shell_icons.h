// Icon indexes of files, folders and special folders, with a cache per file
// extension, and the table of standard icons filled at program start.
#pragma once

#include <giomm/icon.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace q3::icons {

// Kind flags of FileIconIndex: callers pass 32 for files, 16 for a folder
// and 8 for drives.
inline constexpr int kKindDrive = 0x08;
inline constexpr int kKindFolder = 0x10;
inline constexpr int kKindFile = 32;

// Asks the desktop for the icon of an existing path; null when it cannot.
using IconQuery = std::function<Glib::RefPtr<Gio::Icon>(const std::string& path)>;

// The desktop's answer: the icon GIO gives the file, and for an empty file
// the icon of the type its name suggests (an empty "test.exe" is still an
// executable to the user).
Glib::RefPtr<Gio::Icon> DesktopFileIcon(const std::string& path);

// Replaces the query (tests count the questions); empty restores the desktop's.
void SetIconQuery(IconQuery query);

struct IconCacheEntry {
    std::uint16_t kind_flags;
    std::string extension;  // upper case, with the dot; empty for none
    std::int32_t index;
};

// The extension cache, in the order it grew.
const std::vector<IconCacheEntry>& IconCache();
void ClearIconCache();

// The upper-case extension of the last name of path (".TXT"), or empty.
std::string UpperExtension(std::string_view path);

// The icon list index of a file, folder or drive, or -1. A file's icon is
// remembered per extension (executables excepted: each has its own); a
// name that does not exist is asked about as an empty file of that name in
// the temporary folder, removed afterwards. Every folder shows the plain
// folder icon.
int FileIconIndex(int kind_flags, std::string_view name);

// The icon list index of a special folder kind (masked with 0x7F), or -1
// for a kind past the table.
int SpecialFolderIconIndex(int folder_kind);

// Slots of the standard icon table.
enum StandardIcon : int {
    kIconExecutable = 0,
    kIconComputer = 1,
    kIconWasteBasket = 2,
    kIconDocuments = 3,
    kIconFavourites = 4,
    kIconPictures = 5,
    kIconFolder = 6,
    kIconFixedDrive = 7,
    kIconRemovableDrive = 8,
    kIconCdRom = 9,
    kIconNetworkDrive = 10,
    kIconRamDisk = 11,
    kIconShortcut = 12,  // also the address box's icon for web addresses
};
inline constexpr int kStandardIconCount = 13;

const std::array<std::int32_t, kStandardIconCount>& StandardIcons();

// Fills the standard icons; called once at program start, after GTK is
// initialised and before any window exists. This platform has no drive
// letters, so every drive slot takes the shortcut slot's icon.
void InitStandardIcons();

}  // namespace q3::icons
