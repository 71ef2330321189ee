#include "reader/maker/logo.h"

#include <gdkmm/pixbufloader.h>
#include <cstddef>

#include "common/base_settings.h"

namespace q3::reader {

extern const unsigned char kLogoJpeg[];
extern const std::size_t kLogoJpegSize;

Glib::RefPtr<Gdk::Pixbuf> LogoPicture(int width, int height) {
    try {
        Glib::RefPtr<Gdk::PixbufLoader> loader = Gdk::PixbufLoader::create("jpeg");
        loader->write(kLogoJpeg, kLogoJpegSize);
        loader->close();
        Glib::RefPtr<Gdk::Pixbuf> picture = loader->get_pixbuf();
        if (!picture || width <= 0 || height <= 0)
            return picture;
        return picture->scale_simple(width, height, Gdk::INTERP_BILINEAR);
    } catch (const Glib::Error& e) {
        ReportError("LogoPicture", std::string(e.what()));
        return {};
    }
}

}  // namespace q3::reader
