#include "common/app_paths.h"

#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "common/xdg_dirs.h"

#ifndef QUILLON3_BUILD_DIR
#define QUILLON3_BUILD_DIR ""
#endif
#ifndef QUILLON3_LOCALEDIR
#define QUILLON3_LOCALEDIR "/usr/local/share/locale"
#endif
#ifndef QUILLON3_DATADIR
#define QUILLON3_DATADIR "/usr/local/share/quillon3"
#endif

namespace q3 {
namespace {

std::string WithSeparator(const std::filesystem::path& folder) {
    std::string text = folder.string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

std::filesystem::path ProgramFile() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < buffer.size()) {
            return std::filesystem::path(std::string(buffer.data(), static_cast<size_t>(n)));
        }
        if (buffer.size() >= 1u << 20)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

bool IsInside(const std::filesystem::path& inner, const std::filesystem::path& outer) {
    if (outer.empty())
        return false;
    const std::filesystem::path a = inner.lexically_normal();
    const std::filesystem::path b = outer.lexically_normal();
    auto mismatch = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    // A trailing separator leaves an empty last component in b.
    return mismatch.first == b.end() ||
           (std::next(mismatch.first) == b.end() && mismatch.first->empty());
}

}  // namespace

std::string AppDir() {
    const std::filesystem::path program = ProgramFile();
    if (program.empty())
        return WithSeparator(std::filesystem::current_path());
    return WithSeparator(program.parent_path());
}

std::string ReadOnlyDataDirFor(const std::filesystem::path& app_dir,
                               const std::filesystem::path& build_dir,
                               const std::filesystem::path& installed_data_dir) {
    if (IsInside(app_dir, build_dir))
        return WithSeparator(app_dir.lexically_normal());
    std::error_code ec;
    const std::filesystem::path beside = (app_dir / ".." / "share" / "quillon3").lexically_normal();
    if (std::filesystem::is_directory(beside, ec))
        return WithSeparator(beside);
    if (std::filesystem::is_directory(installed_data_dir, ec)) {
        return WithSeparator(installed_data_dir);
    }
    return WithSeparator(app_dir.lexically_normal());
}

std::string ReadOnlyDataDir() {
    return ReadOnlyDataDirFor(AppDir(), QUILLON3_BUILD_DIR, QUILLON3_DATADIR);
}

std::string LocaleDirFor(const std::filesystem::path& app_dir,
                         const std::filesystem::path& build_dir,
                         const std::filesystem::path& installed_locale_dir) {
    if (IsInside(app_dir, build_dir))
        return WithSeparator((build_dir / "locale").lexically_normal());
    // Every installation has a share/locale folder beside its prefix; only one
    // holding the program's own catalogue is a moved installation of it.
    std::error_code ec;
    const std::filesystem::path beside = (app_dir / ".." / "share" / "locale").lexically_normal();
    if (std::filesystem::is_regular_file(beside / "en" / "LC_MESSAGES" / "quillon3.mo", ec))
        return WithSeparator(beside);
    return WithSeparator(installed_locale_dir.lexically_normal());
}

std::string LocaleDir() {
    return LocaleDirFor(AppDir(), QUILLON3_BUILD_DIR, QUILLON3_LOCALEDIR);
}

std::string UserDataDir() {
    const std::filesystem::path folder = DataHome() / "quillon3";
    MakePrivateFolders(folder);
    return WithSeparator(folder);
}

std::string UserConfigDir() {
    return WithSeparator(ConfigHome() / "quillon3");
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

}  // namespace q3
