#include "browser/render_policy.h"

#include <algorithm>
#include <cctype>

namespace q3::browser {

std::optional<bool> ForcedHardwareAcceleration(const char* setting) {
    if (setting == nullptr)
        return std::nullopt;
    std::string v(setting);
    v.erase(0, v.find_first_not_of(" \t"));
    v.erase(v.find_last_not_of(" \t") + 1);
    std::transform(v.begin(), v.end(), v.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (v == "on")
        return true;
    if (v == "off")
        return false;
    return std::nullopt;
}

bool IsSoftwareRenderer(std::string_view renderer) {
    std::string lower(renderer);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (std::string_view name : {"llvmpipe", "softpipe", "swrast", "software rasterizer",
                                  "egl_mesa_device_software", "lavapipe", "swiftshader"})
        if (lower.find(name) != std::string::npos)
            return true;
    return false;
}

bool UseHardwareAcceleration(std::optional<bool> forced, GlRenderer renderer) {
    if (forced)
        return *forced;
    return renderer == GlRenderer::kHardware;
}

}  // namespace q3::browser
