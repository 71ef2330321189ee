#include "common/desktop_association.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <vector>

#include "common/gbk.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/xdg_dirs.h"

extern char** environ;

namespace q3 {
namespace {

constexpr std::streamsize kMaxAssociationFile = 64 * 1024;

bool IsPlainWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '+';
}

std::string ApplicationName(const std::string& desktop_id) {
    std::string name = desktop_id;
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char>(name[0] - 32);
    return name;
}

std::optional<std::string> ReadSmallFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text(static_cast<size_t>(kMaxAssociationFile) + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

// Writes text to file through a temporary file and a rename; false when the
// file already holds exactly text.
bool ReplaceIfDifferent(const std::filesystem::path& file, const std::string& text) {
    if (ReadSmallFile(file) == text)
        return false;
    if (!MakePrivateFolders(file.parent_path())) {
        throw std::filesystem::filesystem_error("cannot make folder", file.parent_path(),
                                                std::make_error_code(std::errc::permission_denied));
    }
    const std::filesystem::path temp = file.string() + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw std::filesystem::filesystem_error("cannot write", temp,
                                                    std::make_error_code(std::errc::io_error));
        }
    }
    std::filesystem::rename(temp, file);
    return true;
}

// Runs a desktop tool with its output discarded; false when it is missing or fails.
bool RunTool(const char* tool, const std::filesystem::path& argument) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string arg0 = tool;
    std::string arg1 = argument.string();
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, tool, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        DebugTrace("RefreshDesktopDatabases", std::string(tool) + " is not available");
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok)
        DebugTrace("RefreshDesktopDatabases", std::string(tool) + " failed");
    return ok;
}

std::filesystem::path DesktopEntryFile(const std::filesystem::path& data_home,
                                       std::string_view program_path) {
    return data_home / "applications" / (DesktopIdForProgram(program_path) + ".desktop");
}

std::filesystem::path MimePackageFile(const std::filesystem::path& data_home,
                                      const std::string& mime_type) {
    std::string name = mime_type;
    ReplaceChar(name, '/', '-');
    return data_home / "mime" / "packages" / (name + ".xml");
}

}  // namespace

std::optional<std::string> MimeTypeForExtension(std::string_view extension) {
    if (extension.starts_with('.'))
        extension.remove_prefix(1);
    if (extension.empty() || extension.size() > 64)
        return std::nullopt;
    for (const char c : extension) {
        if (!IsPlainWordChar(c))
            return std::nullopt;
    }
    return "application/x-" + AsciiLower(extension);
}

std::string DesktopIdForProgram(std::string_view program_path) {
    std::string id = std::filesystem::path(program_path).filename().string();
    for (char& c : id) {
        if (!IsPlainWordChar(c) && c != '.')
            c = '_';
    }
    return id.empty() ? std::string("quillon3") : id;
}

std::optional<std::string> DesktopExecArgument(std::string_view path) {
    if (!IsValidUtf8(path))
        return std::nullopt;  // desktop entries are UTF-8 text
    std::string quoted = "\"";
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F)
            return std::nullopt;
        // Inside the quotes these four need a backslash; the value's own
        // escaping then doubles every backslash, and "%" is a field code.
        if (c == '"' || c == '`' || c == '$') {
            quoted += "\\\\";
            quoted += c;
        } else if (c == '\\') {
            quoted += "\\\\\\\\";
        } else if (c == '%') {
            quoted += "%%";
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

std::optional<std::string> DesktopEntryText(const DesktopAssociation& association) {
    const std::optional<std::string> mime = MimeTypeForExtension(association.extension);
    if (!mime || !association.program_path.starts_with('/'))
        return std::nullopt;
    const std::optional<std::string> exec = DesktopExecArgument(association.program_path);
    if (!exec)
        return std::nullopt;
    const std::string id = DesktopIdForProgram(association.program_path);
    std::string text = "[Desktop Entry]\nType=Application\n";
    text += "Name=" + ApplicationName(id) + "\n";
    text += "GenericName=E-book reader\n";
    text += "GenericName[zh_CN]=电子书阅读器\n";
    text += "Exec=" + *exec + " %f\n";
    text += "Terminal=false\n";
    text += "MimeType=" + *mime + ";\n";
    text += "Categories=Office;Viewer;\n";
    return text;
}

std::optional<std::string> MimePackageText(const DesktopAssociation& association) {
    const std::optional<std::string> mime = MimeTypeForExtension(association.extension);
    if (!mime)
        return std::nullopt;
    const std::string glob =
        "*." +
        AsciiLower(association.extension.substr(association.extension.starts_with('.') ? 1 : 0));
    std::string description;
    if (!IsValidUtf8(association.description))
        return std::nullopt;
    for (const char c : association.description) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b != 0x7F)
            description += c;  // XML 1.0 cannot hold the others
    }
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text += "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    text += "  <mime-type type=\"" + *mime + "\">\n";
    text += "    <comment>" + HtmlEscape(description) + "</comment>\n";
    text += "    <generic-icon name=\"x-office-document\"/>\n";
    text += "    <glob pattern=\"" + HtmlEscape(glob) + "\"/>\n";
    text += "  </mime-type>\n</mime-info>\n";
    return text;
}

bool InstalledAssociationCovers(std::string_view program_path,
                                const std::vector<std::filesystem::path>& data_dirs) {
    const std::filesystem::path program(program_path);
    // Installed, the program is PREFIX/bin/quillon3 beside PREFIX/share; a
    // build folder elsewhere under that prefix is not the installed reader.
    if (!program.is_absolute() || program.parent_path().filename() != "bin")
        return false;
    const std::filesystem::path share = program.parent_path().parent_path() / "share";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(share / kInstalledDesktopEntry, ec) ||
        !std::filesystem::is_regular_file(share / kInstalledMimePackage, ec)) {
        return false;
    }
    for (const std::filesystem::path& dir : data_dirs) {
        // The same folder may be named through a link or with a trailing "/".
        if (std::filesystem::equivalent(dir, share, ec))
            return true;
    }
    return false;
}

AssociationChanges WriteAssociationFiles(const DesktopAssociation& association,
                                         const std::filesystem::path& data_home) {
    AssociationChanges changes;
    const std::optional<std::string> mime = MimeTypeForExtension(association.extension);
    const std::optional<std::string> package = MimePackageText(association);
    const std::optional<std::string> entry = DesktopEntryText(association);
    if (!mime || !package || !entry) {
        DebugTrace("WriteAssociationFiles",
                   "association cannot be expressed for " + association.program_path);
        return changes;
    }
    changes.mime_package = ReplaceIfDifferent(MimePackageFile(data_home, *mime), *package);
    changes.desktop_entry =
        ReplaceIfDifferent(DesktopEntryFile(data_home, association.program_path), *entry);
    return changes;
}

void RefreshDesktopDatabases(const std::filesystem::path& data_home,
                             const AssociationChanges& changes, bool force) {
    std::error_code ec;
    const std::filesystem::path mime_dir = data_home / "mime";
    if (std::filesystem::is_directory(mime_dir / "packages", ec) &&
        (force || changes.mime_package || !std::filesystem::exists(mime_dir / "mime.cache", ec))) {
        RunTool("update-mime-database", mime_dir);
    }
    const std::filesystem::path apps_dir = data_home / "applications";
    if (std::filesystem::is_directory(apps_dir, ec) &&
        (force || changes.desktop_entry ||
         !std::filesystem::exists(apps_dir / "mimeinfo.cache", ec))) {
        RunTool("update-desktop-database", apps_dir);
    }
}

}  // namespace q3
