// Draws the application icon once as vectors and writes it as a scalable SVG
// and as PNG files of the sizes the icon theme keeps, so every size comes
// from the same drawing. Usage: q3_make_icons <out-dir> <name> <size>...
// writes <out-dir>/scalable/<name>.svg and <out-dir>/<size>/<name>.png.
#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The drawing is made on a 256-unit square and scaled to each size.
constexpr double kUnits = 256;
constexpr int kLargestSize = 1024;

void RoundedSquare(cairo_t* cr, double inset, double radius) {
    const double a = inset;
    const double b = kUnits - inset;
    cairo_new_sub_path(cr);
    cairo_arc(cr, b - radius, a + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, b - radius, b - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, a + radius, b - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, a + radius, a + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// One page of the open book; side is -1 for the left page, +1 for the right.
void Page(cairo_t* cr, double side, double drop) {
    const double spine = kUnits / 2;
    cairo_move_to(cr, spine, 88 + drop);
    cairo_curve_to(cr, spine + side * 30, 70 + drop, spine + side * 62, 68 + drop,
                   spine + side * 92, 76 + drop);
    cairo_line_to(cr, spine + side * 92, 184 + drop);
    cairo_curve_to(cr, spine + side * 62, 176 + drop, spine + side * 30, 180 + drop, spine,
                   198 + drop);
    cairo_close_path(cr);
}

// Text lines on a page; left out where they would only blur into grey.
void PageLines(cairo_t* cr, double side) {
    const double spine = kUnits / 2;
    cairo_set_source_rgba(cr, 0.36, 0.50, 0.70, 0.55);
    cairo_set_line_width(cr, 5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 5; ++i) {
        const double y = 98 + 18 * i;
        const double near = spine + side * 16;
        const double far = spine + side * (i == 4 ? 54 : 76);
        cairo_move_to(cr, near, y + 4);
        cairo_curve_to(cr, near + side * 14, y - 4, far - side * 20, y - 6, far, y - 3);
        cairo_stroke(cr);
    }
}

void Draw(cairo_t* cr, int size) {
    cairo_scale(cr, size / kUnits, size / kUnits);

    // The tile, in the blue of the maker's logo.
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, kUnits);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.37, 0.66, 0.91);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.12, 0.35, 0.66);
    RoundedSquare(cr, 8, 48);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);

    // The cover shows below the pages.
    cairo_set_source_rgb(cr, 0.07, 0.20, 0.42);
    Page(cr, -1, 10);
    Page(cr, 1, 10);
    cairo_fill(cr);

    cairo_set_source_rgb(cr, 1, 1, 1);
    Page(cr, -1, 0);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.93, 0.95, 0.98);
    Page(cr, 1, 0);
    cairo_fill(cr);
    if (size >= 48) {
        PageLines(cr, -1);
        PageLines(cr, 1);
    }

    // A golden bookmark ribbon hanging out of the book.
    cairo_set_source_rgb(cr, 0.98, 0.76, 0.18);
    cairo_move_to(cr, 158, 74);
    cairo_line_to(cr, 182, 72);
    cairo_line_to(cr, 182, 226);
    cairo_line_to(cr, 170, 212);
    cairo_line_to(cr, 158, 226);
    cairo_close_path(cr);
    cairo_fill(cr);
}

bool WritePng(const std::filesystem::path& file, int size) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    Draw(cr, size);
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, file.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

bool WriteSvg(const std::filesystem::path& file) {
    cairo_surface_t* surface = cairo_svg_surface_create(file.c_str(), kUnits, kUnits);
    // Icon themes measure in pixels; cairo's default unit is the point.
    cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(surface);
    Draw(cr, static_cast<int>(kUnits));
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <out-dir> <name> <size>...\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const std::string name = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(out / "scalable", ec);
    if (ec || !WriteSvg(out / "scalable" / (name + ".svg"))) {
        std::fprintf(stderr, "q3_make_icons: cannot write the SVG icon under %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || size < 8 || size > kLargestSize) {
            std::fprintf(stderr, "q3_make_icons: %s is not an icon size\n", argv[i]);
            return 2;
        }
        const std::filesystem::path folder = out / argv[i];
        std::filesystem::create_directories(folder, ec);
        if (ec || !WritePng(folder / (name + ".png"), static_cast<int>(size))) {
            std::fprintf(stderr, "q3_make_icons: cannot write the %ld pixel icon\n", size);
            return 1;
        }
    }
    return 0;
}
