#include "common/xdg_dirs.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "common/text.h"

namespace q3 {
namespace {

constexpr std::streamsize kMaxUserDirsFile = 64 * 1024;

std::optional<std::filesystem::path> AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return std::nullopt;
    return std::filesystem::path(value);
}

std::string ReadSmallFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::string text(static_cast<size_t>(kMaxUserDirsFile), '\0');
    in.read(text.data(), kMaxUserDirsFile);
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

// The value of a shell-quoted assignment: "..." with backslash escapes.
std::optional<std::string> Unquote(std::string_view quoted) {
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
        return std::nullopt;
    quoted = quoted.substr(1, quoted.size() - 2);
    std::string out;
    for (size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] == '\\' && i + 1 < quoted.size())
            ++i;
        out += quoted[i];
    }
    return out;
}

}  // namespace

std::filesystem::path UserHome() {
    if (auto home = AbsoluteEnv("HOME"))
        return *home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return std::filesystem::path(found->pw_dir);
    }
    return std::filesystem::path("/");
}

std::filesystem::path ConfigHome() {
    if (auto dir = AbsoluteEnv("XDG_CONFIG_HOME"))
        return *dir;
    return UserHome() / ".config";
}

std::filesystem::path DataHome() {
    if (auto dir = AbsoluteEnv("XDG_DATA_HOME"))
        return *dir;
    return UserHome() / ".local" / "share";
}

std::vector<std::filesystem::path> DataDirs() {
    std::vector<std::filesystem::path> dirs;
    const char* value = std::getenv("XDG_DATA_DIRS");
    std::string_view rest = value != nullptr ? value : "";
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string_view entry = rest.substr(0, colon);
        // The XDG base directory rules make relative entries invalid.
        if (entry.starts_with('/'))
            dirs.emplace_back(entry);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    if (dirs.empty())
        dirs = {"/usr/local/share", "/usr/share"};
    return dirs;
}

std::optional<std::filesystem::path> UserDirectoryEntry(std::string_view text,
                                                        std::string_view kind,
                                                        const std::filesystem::path& home) {
    const std::string key = "XDG_" + std::string(kind) + "_DIR";
    std::optional<std::filesystem::path> found;
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        const std::string_view line = Trim(text.substr(0, eol));
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        if (!line.starts_with(key) || line.size() <= key.size() || line[key.size()] != '=') {
            continue;
        }
        std::optional<std::string> value = Unquote(line.substr(key.size() + 1));
        if (!value)
            continue;
        constexpr std::string_view kHome = "$HOME";
        if (value->starts_with(kHome) && (value->size() == kHome.size() || (*value)[5] == '/')) {
            const std::string rest = value->substr(kHome.size());
            found = rest.empty() ? home : home / std::filesystem::path(rest).relative_path();
        } else if (!value->empty() && value->front() == '/') {
            found = std::filesystem::path(*value);
        }
    }
    return found;
}

std::filesystem::path UserDirectory(std::string_view kind) {
    const std::filesystem::path home = UserHome();
    const std::string text = ReadSmallFile(ConfigHome() / "user-dirs.dirs");
    if (auto entry = UserDirectoryEntry(text, kind, home))
        return *entry;
    return kind == "DESKTOP" ? home / "Desktop" : home;
}

bool MakePrivateFolders(const std::filesystem::path& folder) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec))
        return true;
    std::filesystem::path partial;
    for (const auto& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return std::filesystem::is_directory(folder, ec);
}

}  // namespace q3
