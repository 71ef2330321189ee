// Whether the web views render with the engine's hardware acceleration. It
// pays only where a hardware GL renderer draws: on a software renderer
// (llvmpipe, softpipe, swrast) or without GL, the engine's GL path costs the
// first page time and memory and static pages gain nothing from it. The rule
// is toolkit-free, so it is tested without a display; the probe asks EGL.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace q3::browser {

// What the machine has for GL, as the probe found it.
enum class GlRenderer { kNone, kSoftware, kHardware };

// "on" or "off" in QUILLON3_HARDWARE_ACCELERATION (any case, surrounding
// blanks ignored) forces the choice; nullopt leaves it to the probe.
std::optional<bool> ForcedHardwareAcceleration(const char* setting);

// A GL_RENDERER string, or an EGL device's extension list, names a software
// rasterizer.
bool IsSoftwareRenderer(std::string_view renderer);

bool UseHardwareAcceleration(std::optional<bool> forced, GlRenderer renderer);

// The probe, once per process (EGL: the default display's device, or a
// context's GL_RENDERER when the device cannot say). Toolkit side only.
GlRenderer ProbeGlRenderer();
// The decision for this process, made on first use and kept.
bool HardwareAccelerationWanted();

}  // namespace q3::browser
