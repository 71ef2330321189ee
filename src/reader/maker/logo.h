// The maker's logo picture, a JPEG drawn at build time and linked in.
#pragma once

#include <gdkmm/pixbuf.h>

namespace q3::reader {

// The logo decoded from its JPEG bytes and scaled to the size asked for (the
// picture's own size when width or height is 0); null when it cannot be
// decoded.
Glib::RefPtr<Gdk::Pixbuf> LogoPicture(int width = 0, int height = 0);

}  // namespace q3::reader
