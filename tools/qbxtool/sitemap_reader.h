// Reads an author's contents sitemap: nested <UL> lists whose <LI> items hold
// an <OBJECT type="text/sitemap"> with "Name" and "Local" params. Authors'
// files come in many layouts (one tag per line or all on one, params in any
// order, other params between them, any letter case, single or no quotes),
// so this reads tags, not lines; the packer then writes the one layout the
// reader's line parser expects.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace q3::tool {

struct SitemapItem {
    std::string name;   // UTF-8, entities decoded; may be empty
    std::string local;  // UTF-8 as written (entities decoded); empty for a heading
    std::vector<SitemapItem> children;
};

// Lists nested deeper than this are read as this deep.
inline constexpr int kMaxSitemapDepth = 64;

// text is UTF-8. Objects of other types (site properties) are skipped, as are
// comments; an item with several Name or Local params keeps the first of each.
std::vector<SitemapItem> ReadSitemap(std::string_view text);

}  // namespace q3::tool
