// Draws the maker's logo and writes it twice: as a JPEG file, and as a C++
// source holding the same JPEG bytes, which the reader links in and decodes
// at run time. Usage: q3_make_logo <logo.jpg> <logo_data.cpp>
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 114;
constexpr int kHeight = 57;

void RoundedRectangle(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void Draw(cairo_t* cr) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);

    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, kHeight);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.37, 0.66, 0.91);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.12, 0.35, 0.66);
    RoundedRectangle(cr, 2, 2, kWidth - 4, kHeight - 4, 10);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);

    // A quill stroke sweeping under the letters.
    cairo_set_source_rgb(cr, 0.98, 0.80, 0.25);
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, 12, kHeight - 12);
    cairo_curve_to(cr, 40, kHeight - 4, 80, kHeight - 20, kWidth - 10, 10);
    cairo_stroke(cr);

    cairo_select_font_face(cr, "Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 34);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, "Q3", &ext);
    const double x = (kWidth - ext.width) / 2 - ext.x_bearing;
    const double y = (kHeight - ext.height) / 2 - ext.y_bearing - 2;
    cairo_set_source_rgba(cr, 0, 0, 0.2, 0.45);
    cairo_move_to(cr, x + 2, y + 2);
    cairo_show_text(cr, "Q3");
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, "Q3");
}

// Cairo keeps premultiplied native-endian ARGB; the JPEG wants plain RGB.
GdkPixbuf* ToPixbuf(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, kWidth, kHeight);
    guchar* out = gdk_pixbuf_get_pixels(pixbuf);
    const int out_stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int row = 0; row < kHeight; ++row) {
        const auto* in = reinterpret_cast<const uint32_t*>(data + row * stride);
        guchar* dst = out + row * out_stride;
        for (int col = 0; col < kWidth; ++col) {
            const uint32_t argb = in[col];
            dst[col * 3 + 0] = static_cast<guchar>((argb >> 16) & 0xFF);
            dst[col * 3 + 1] = static_cast<guchar>((argb >> 8) & 0xFF);
            dst[col * 3 + 2] = static_cast<guchar>(argb & 0xFF);
        }
    }
    return pixbuf;
}

bool WriteSource(const char* path, const gchar* bytes, gsize size) {
    std::ofstream out(path, std::ios::trunc);
    out << "// Made by q3_make_logo from its drawing; do not edit.\n"
        << "#include <cstddef>\n\nnamespace q3::reader {\n\n"
        << "extern const unsigned char kLogoJpeg[] = {";
    for (gsize i = 0; i < size; ++i) {
        if (i % 16 == 0)
            out << "\n   ";
        out << ' ' << static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) << ',';
    }
    out << "\n};\nextern const std::size_t kLogoJpegSize = " << size
        << ";\n\n}  // namespace q3::reader\n";
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <logo.jpg> <logo_data.cpp>\n", argv[0]);
        return 2;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    Draw(cr);
    cairo_destroy(cr);
    GdkPixbuf* pixbuf = ToPixbuf(surface);
    cairo_surface_destroy(surface);

    gchar* jpeg = nullptr;
    gsize size = 0;
    GError* error = nullptr;
    const gboolean saved =
        gdk_pixbuf_save_to_buffer(pixbuf, &jpeg, &size, "jpeg", &error, "quality", "92", nullptr);
    g_object_unref(pixbuf);
    if (!saved) {
        std::fprintf(stderr, "q3_make_logo: %s\n", error != nullptr ? error->message : "no JPEG");
        if (error != nullptr)
            g_error_free(error);
        return 1;
    }
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(jpeg, static_cast<std::streamsize>(size));
    const bool ok = static_cast<bool>(file) && WriteSource(argv[2], jpeg, size);
    g_free(jpeg);
    return ok ? 0 : 1;
}
