#include "application_id.h"

#include <cstdio>
#include <filesystem>

#include "common/crc.h"

namespace q3::app {

namespace {

// "a/b/" and "a//b" are the folder "a/b" too.
std::string FolderName(const std::string& path) {
    std::string name = std::filesystem::path(path).lexically_normal().string();
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    return name;
}

}  // namespace

std::string ApplicationIdFor(const std::string& config_dir, const std::string& home_dir) {
    const std::string folder = FolderName(config_dir);
    if (!home_dir.empty() && folder == FolderName(home_dir + "/.config"))
        return kApplicationId;
    // A name element may not start with a digit; "S" keeps the hex safe.
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".S%08x", StringCrc(folder));
    return kApplicationId + std::string(suffix);
}

}  // namespace q3::app
