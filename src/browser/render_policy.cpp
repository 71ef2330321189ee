#include "browser/render_policy.h"

#include "common/text.h"

namespace q3::browser {

std::optional<bool> ForcedHardwareAcceleration(const char* setting) {
    if (setting == nullptr)
        return std::nullopt;
    const std::string v = AsciiLower(Trim(setting));
    if (v == "on")
        return true;
    if (v == "off")
        return false;
    return std::nullopt;
}

bool IsSoftwareRenderer(std::string_view renderer) {
    const std::string lower = AsciiLower(renderer);
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
