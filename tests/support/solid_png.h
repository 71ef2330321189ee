// A picture of one colour as PNG bytes, for pages whose pixels a test reads.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <string>

namespace q3::testing {

// rgb: 0xRRGGBB.
inline std::string SolidPng(int width, int height, uint32_t rgb) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
    gdk_pixbuf_fill(pixbuf, (rgb << 8) | 0xFF);
    gchar* buffer = nullptr;
    gsize size = 0;
    gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, "png", nullptr, nullptr);
    std::string out(buffer, size);
    g_free(buffer);
    g_object_unref(pixbuf);
    return out;
}

}  // namespace q3::testing
