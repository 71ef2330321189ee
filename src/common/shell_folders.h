// The special folders of the desktop, the temporary folder and empty files,
// for the icon routines and anything that needs a well-known place.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace q3 {

// Folder kinds by index; an index is masked with 0x7F before use. Each kind
// keeps the shell's CSIDL number of the folder it stands for.
enum class FolderKind : std::uint8_t {
    kDesktop = 0,
    kDrives = 1,  // the computer
    kNetwork = 2,
    kBitBucket = 3,  // the waste basket
    kAppData = 4,
    kCommonDesktopDirectory = 5,
    kCommonPrograms = 6,
    kCommonStartMenu = 7,
    kCommonStartup = 8,
    kControls = 9,
    kDesktopDirectory = 10,
    kFavorites = 11,
    kFonts = 12,
    kInternet = 13,
    kPersonal = 14,  // the user's documents
    kPrinters = 15,
    kPrintHood = 16,
    kPrograms = 17,
    kRecent = 18,
    kSendTo = 19,
    kStartMenu = 20,
    kStartup = 21,
    kTemplates = 22,
};
inline constexpr int kFolderKindCount = 23;

inline constexpr std::array<std::uint8_t, kFolderKindCount> kFolderCsidl = {
    0x00, 0x11, 0x12, 0x0A, 0x1A, 0x19, 0x17, 0x16, 0x18, 0x03, 0x10, 0x06,
    0x14, 0x01, 0x05, 0x04, 0x1B, 0x02, 0x08, 0x09, 0x0B, 0x07, 0x15,
};

// Whether kind, masked with 0x7F, names a folder of the table.
bool IsFolderKind(int kind);

// The file-system path of a special folder on this desktop (the XDG user
// and base folders); empty for folders that exist only in the shell's view
// (the computer, the network, the waste basket, printers, ...) and for
// kinds past the table.
std::string SpecialFolderPath(int kind);

// The user's pictures folder (shown beside the documents folder).
std::string PicturesFolderPath();

// $TMPDIR when it is an absolute path, else "/tmp", without one trailing "/"
// (the root folder stays "/").
std::string TempFolder();

// Creates the folders of path and an empty file at path unless one exists.
// False when a folder or the file cannot be created; throws
// std::system_error when the new file cannot be closed.
bool CreateEmptyFile(std::string_view path);

}  // namespace q3
