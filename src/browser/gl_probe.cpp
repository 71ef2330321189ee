// Asks EGL what renders GL on this machine, without a window. First the list
// of devices (EGL_EXT_device_enumeration), which needs no display and loads
// no driver: a device with a DRM node is a GPU the engine can render on.
// Where that cannot say, the default display's device, and last a context
// without a surface, whose GL_RENDERER names the rasterizer. Once per process.
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <cstdlib>
#include <string>

#include "browser/render_policy.h"

namespace q3::browser {
namespace {

bool HasExtension(const char* list, const char* name) {
    if (list == nullptr)
        return false;
    const std::string all = std::string(" ") + list + " ";
    return all.find(std::string(" ") + name + " ") != std::string::npos;
}

// nullopt when the display has no device to ask.
std::optional<GlRenderer> DeviceRenderer(EGLDisplay display) {
    if (!HasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS), "EGL_EXT_device_query"))
        return std::nullopt;
    EGLAttrib device = 0;
    if (!eglQueryDisplayAttribEXT(display, EGL_DEVICE_EXT, &device) || device == 0)
        return std::nullopt;
    const char* ext =
        eglQueryDeviceStringEXT(reinterpret_cast<EGLDeviceEXT>(device), EGL_EXTENSIONS);
    if (ext == nullptr)
        return std::nullopt;
    if (HasExtension(ext, "EGL_MESA_device_software"))
        return GlRenderer::kSoftware;
    // A device that names a DRM node is a real GPU's.
    if (HasExtension(ext, "EGL_EXT_device_drm") ||
        HasExtension(ext, "EGL_EXT_device_drm_render_node"))
        return GlRenderer::kHardware;
    return std::nullopt;
}

std::optional<GlRenderer> EnumeratedRenderer() {
    if (!HasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS), "EGL_EXT_device_enumeration"))
        return std::nullopt;
    EGLDeviceEXT devices[16];
    EGLint count = 0;
    if (!eglQueryDevicesEXT(16, devices, &count) || count <= 0)
        return std::nullopt;
    bool software = false;
    for (EGLint i = 0; i < count; ++i) {
        const char* ext = eglQueryDeviceStringEXT(devices[i], EGL_EXTENSIONS);
        if (HasExtension(ext, "EGL_MESA_device_software"))
            software = true;
        else if (HasExtension(ext, "EGL_EXT_device_drm") ||
                 HasExtension(ext, "EGL_EXT_device_drm_render_node"))
            return GlRenderer::kHardware;
    }
    if (software)
        return GlRenderer::kSoftware;
    return std::nullopt;
}

GlRenderer ContextRenderer(EGLDisplay display) {
    if (!HasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context") ||
        !eglBindAPI(EGL_OPENGL_ES_API))
        return GlRenderer::kNone;
    const EGLint config_attribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(display, config_attribs, &config, 1, &configs) || configs < 1)
        return GlRenderer::kNone;
    const EGLint context_attribs[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, context_attribs);
    if (context == EGL_NO_CONTEXT)
        return GlRenderer::kNone;
    GlRenderer result = GlRenderer::kNone;
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        if (renderer != nullptr)
            result = IsSoftwareRenderer(renderer) ? GlRenderer::kSoftware : GlRenderer::kHardware;
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroyContext(display, context);
    return result;
}

}  // namespace

GlRenderer ProbeGlRenderer() {
    if (std::optional<GlRenderer> listed = EnumeratedRenderer())
        return *listed;
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display == EGL_NO_DISPLAY)
        return GlRenderer::kNone;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor))
        return GlRenderer::kNone;
    GlRenderer result;
    if (std::optional<GlRenderer> device = DeviceRenderer(display))
        result = *device;
    else
        result = ContextRenderer(display);
    eglTerminate(display);
    eglReleaseThread();
    return result;
}

bool HardwareAccelerationWanted() {
    static const bool wanted = [] {
        const std::optional<bool> forced =
            ForcedHardwareAcceleration(std::getenv("QUILLON3_HARDWARE_ACCELERATION"));
        // Forced either way: no probe at all.
        return forced ? *forced : UseHardwareAcceleration(std::nullopt, ProbeGlRenderer());
    }();
    return wanted;
}

}  // namespace q3::browser
