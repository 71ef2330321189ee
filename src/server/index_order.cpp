#include "server/index_order.h"

#include <glib.h>

#include "common/gbk.h"

namespace q3::server {

std::string IndexOrder::Key(std::string_view gbk_caption) const {
    const std::string utf8 = GbkToUtf8(gbk_caption);
    gchar* folded = g_utf8_casefold(utf8.c_str(), static_cast<gssize>(utf8.size()));
    gchar* key = g_utf8_collate_key(folded, -1);
    std::string out(key);
    g_free(key);
    g_free(folded);
    return out;
}

}  // namespace q3::server
