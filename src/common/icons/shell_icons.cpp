#include "icons/shell_icons.h"

#include <giomm/contenttype.h>
#include <giomm/file.h>
#include <giomm/fileinfo.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <utility>

#include "common/shell_folders.h"
#include "common/text.h"
#include "common/trace.h"
#include "icons/icon_list.h"

namespace q3::icons {
namespace {

constexpr std::string_view kExecutable = ".EXE";

IconQuery& Query() {
    static IconQuery query;
    return query;
}

std::vector<IconCacheEntry>& Cache() {
    static std::vector<IconCacheEntry> cache;
    return cache;
}

std::array<std::int32_t, kStandardIconCount>& Standard() {
    static std::array<std::int32_t, kStandardIconCount> slots{};
    return slots;
}

int AskDesktop(const std::string& path) {
    const IconQuery& query = Query();
    return IconList::Instance().IndexOf(query ? query(path) : DesktopFileIcon(path));
}

std::string_view Unquoted(std::string_view s) {
    if (!s.empty() && s.front() == '"')
        s.remove_prefix(1);
    if (!s.empty() && s.back() == '"')
        s.remove_suffix(1);
    return s;
}

std::string_view LastName(std::string_view path) {
    const size_t cut = path.find_last_of("/\\:");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool Exists(std::string_view path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(std::filesystem::path(std::string(path)), ec);
}

// Removes the empty file made for a name that does not exist, whatever
// happens while the desktop is asked about it.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

  private:
    std::string path_;
};

std::optional<int> CachedIndex(std::string_view extension) {
    for (const IconCacheEntry& entry : Cache()) {
        if (entry.extension == extension)
            return entry.index;
    }
    return std::nullopt;
}

int FileIndex(int kind_flags, std::string_view name) {
    std::string s(Unquoted(name));
    const std::string ext = UpperExtension(s);
    if (ext != kExecutable) {
        if (std::optional<int> cached = CachedIndex(ext))
            return *cached;
    }
    std::optional<TemporaryFile> temp;
    if (!Exists(name)) {
        s = TempFolder() + "/" + std::string(LastName(s));
        if (!Exists(s) && CreateEmptyFile(s))
            temp.emplace(s);
    }
    const int index = AskDesktop(s);
    if (index != -1) {
        Cache().push_back({static_cast<std::uint16_t>(kind_flags), ext, index});
    }
    return index;
}

// Icon names of each folder kind, for folders without a path of their own
// (or whose folder does not exist).
const std::vector<Glib::ustring>& FolderIconNames(int kind) {
    static const std::array<std::vector<Glib::ustring>, kFolderKindCount> names = {{
        {"user-desktop", "folder"},               // desktop
        {"computer"},                             // the computer
        {"network-workgroup", "network-server"},  // network
        {"user-trash"},                           // waste basket
        {"folder"},                               // application data
        {"user-desktop", "folder"},               // all users' desktop
        {"folder"},                               // all users' programs
        {"folder"},                               // all users' start menu
        {"folder"},                               // all users' start-up
        {"preferences-system"},                   // control panel
        {"user-desktop", "folder"},               // desktop folder
        {"user-bookmarks", "folder"},             // favourites
        {"preferences-desktop-font", "folder"},   // fonts
        {"web-browser", "network-workgroup"},     // the Internet
        {"folder-documents", "folder"},           // documents
        {"printer"},                              // printers
        {"folder"},                               // printer links
        {"folder"},                               // programs
        {"document-open-recent", "folder"},       // recent documents
        {"folder"},                               // send to
        {"folder"},                               // start menu
        {"folder"},                               // start-up
        {"folder-templates", "folder"},           // templates
    }};
    return names[static_cast<size_t>(kind)];
}

}  // namespace

Glib::RefPtr<Gio::Icon> DesktopFileIcon(const std::string& path) {
    try {
        auto info = Gio::File::create_for_path(path)->query_info(
            "standard::type,standard::icon,standard::size");
        if (!info)
            return {};
        if (info->get_file_type() == Gio::FILE_TYPE_REGULAR && info->get_size() == 0) {
            bool uncertain = false;
            const Glib::ustring type = Gio::content_type_guess(path, nullptr, 0, uncertain);
            if (!type.empty())
                return Gio::content_type_get_icon(type);
        }
        return info->get_icon();
    } catch (const Glib::Error& e) {
        DebugTrace("DesktopFileIcon", e.what().raw());
        return {};
    }
}

void SetIconQuery(IconQuery query) {
    Query() = std::move(query);
}

const std::vector<IconCacheEntry>& IconCache() {
    return Cache();
}

void ClearIconCache() {
    Cache().clear();
}

std::string UpperExtension(std::string_view path) {
    const std::string_view name = LastName(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string ext(name.substr(dot));
    for (char& c : ext) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return ext;
}

int FileIconIndex(int kind_flags, std::string_view name) {
    if (Trim(name).empty())
        return -1;
    try {
        if ((kind_flags & (kKindDrive | kKindFolder)) != 0) {
            return AskDesktop(name.size() < 4 ? std::string(name) : TempFolder());
        }
        return FileIndex(kind_flags, name);
    } catch (const std::exception& e) {
        DebugTrace("FileIconIndex", e.what());
    } catch (const Glib::Exception& e) {
        DebugTrace("FileIconIndex", e.what().raw());
    }
    return -1;
}

int SpecialFolderIconIndex(int folder_kind) {
    if (!IsFolderKind(folder_kind))
        return -1;
    const int kind = folder_kind & 0x7F;
    const std::string path = SpecialFolderPath(kind);
    // A folder on disk shows what the file manager shows for it (special
    // user folders have icons of their own).
    if (Exists(path)) {
        const int index = AskDesktop(path);
        if (index != -1)
            return index;
    }
    return IconList::Instance().IndexOfThemed(FolderIconNames(kind));
}

const std::array<std::int32_t, kStandardIconCount>& StandardIcons() {
    return Standard();
}

void InitStandardIcons() {
    auto& slots = Standard();
    slots.fill(0);
    slots[kIconExecutable] = FileIconIndex(kKindFile, "test.exe");
    slots[kIconShortcut] = FileIconIndex(kKindFile, "test.lnk");
    slots[kIconFolder] = FileIconIndex(kKindFolder, "C:\\test");
    slots[kIconComputer] = SpecialFolderIconIndex(static_cast<int>(FolderKind::kDrives));
    slots[kIconWasteBasket] = SpecialFolderIconIndex(static_cast<int>(FolderKind::kBitBucket));
    slots[kIconDocuments] = SpecialFolderIconIndex(static_cast<int>(FolderKind::kPersonal));
    slots[kIconFavourites] = SpecialFolderIconIndex(static_cast<int>(FolderKind::kFavorites));

    const std::string pictures = PicturesFolderPath();
    int pictures_index = Exists(pictures) ? AskDesktop(pictures) : -1;
    if (pictures_index == -1) {
        pictures_index = IconList::Instance().IndexOfThemed({"folder-pictures", "folder"});
    }
    slots[kIconPictures] = pictures_index;

    for (int drive :
         {kIconFixedDrive, kIconRemovableDrive, kIconCdRom, kIconNetworkDrive, kIconRamDisk}) {
        slots[static_cast<size_t>(drive)] = slots[kIconShortcut];
    }
}

}  // namespace q3::icons
