#include "common/shell_folders.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "common/xdg_dirs.h"

namespace q3 {
namespace {

std::string PathText(const std::filesystem::path& p) {
    return p.string();
}

}  // namespace

bool IsFolderKind(int kind) {
    return (kind & 0x7F) < kFolderKindCount;
}

std::string SpecialFolderPath(int kind) {
    if (!IsFolderKind(kind))
        return {};
    switch (static_cast<FolderKind>(kind & 0x7F)) {
        case FolderKind::kDesktop:
        case FolderKind::kDesktopDirectory:
            return PathText(UserDirectory("DESKTOP"));
        case FolderKind::kPersonal:
            return PathText(UserDirectory("DOCUMENTS"));
        case FolderKind::kTemplates:
            return PathText(UserDirectory("TEMPLATES"));
        case FolderKind::kAppData:
            return PathText(DataHome());
        case FolderKind::kFonts:
            return PathText(DataHome() / "fonts");
        case FolderKind::kPrograms:
        case FolderKind::kStartMenu:
            return PathText(DataHome() / "applications");
        case FolderKind::kStartup:
            return PathText(ConfigHome() / "autostart");
        case FolderKind::kCommonPrograms:
        case FolderKind::kCommonStartMenu:
            return "/usr/share/applications";
        case FolderKind::kCommonStartup:
            return "/etc/xdg/autostart";
        default:
            // Shell-only places, and folders this desktop does not have.
            return {};
    }
}

std::string PicturesFolderPath() {
    return PathText(UserDirectory("PICTURES"));
}

std::string TempFolder() {
    const char* env = std::getenv("TMPDIR");
    std::string folder = env != nullptr && env[0] == '/' ? std::string(env) : std::string("/tmp");
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

bool CreateEmptyFile(std::string_view path) {
    const std::filesystem::path file{std::string(path)};
    std::error_code ec;
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path(), ec);
        if (ec)
            return false;
    }
    if (std::filesystem::exists(file, ec))
        return true;
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno == EEXIST;
    if (::close(fd) != 0)
        throw std::system_error(errno, std::generic_category(), "close");
    return true;
}

}  // namespace q3
