#include "browser/render_policy.h"

#include <gtest/gtest.h>

namespace q3::browser {
namespace {

TEST(RenderPolicy, SettingForcesEitherWayAndAnythingElseLeavesItToTheProbe) {
    const struct {
        const char* setting;
        std::optional<bool> forced;
    } cases[] = {
        {nullptr, std::nullopt}, {"", std::nullopt},        {"on", true},
        {"OFF", false},          {" On\t", true},           {"1", std::nullopt},
        {"yes", std::nullopt},   {"offline", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ForcedHardwareAcceleration(c.setting), c.forced)
            << (c.setting ? c.setting : "(unset)");
}

TEST(RenderPolicy, SoftwareRenderersAreKnownByName) {
    const struct {
        const char* renderer;
        bool software;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Software Rasterizer", true},
        {"EGL_EXT_device_drm EGL_MESA_device_software", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6, DRM 3.49)", false},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSoftwareRenderer(c.renderer), c.software) << c.renderer;
}

TEST(RenderPolicy, AccelerationOnlyOnAHardwareRendererUnlessForced) {
    EXPECT_TRUE(UseHardwareAcceleration(std::nullopt, GlRenderer::kHardware));
    EXPECT_FALSE(UseHardwareAcceleration(std::nullopt, GlRenderer::kSoftware));
    EXPECT_FALSE(UseHardwareAcceleration(std::nullopt, GlRenderer::kNone));
    EXPECT_TRUE(UseHardwareAcceleration(true, GlRenderer::kNone));
    EXPECT_FALSE(UseHardwareAcceleration(false, GlRenderer::kHardware));
}

}  // namespace
}  // namespace q3::browser
