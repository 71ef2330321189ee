// The resource feed of the client service's answer: RSS-like "<item>"
// elements, each naming its parent by number, rebuilt into the resource tree.
// Feed text is UTF-8 (the fetch converts every answer); fields are taken raw,
// with no entity decoding and no trimming except for id and pid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "online/online_settings.h"
#include "online/resource_tree_model.h"

namespace q3::online {

// Field sizes, in characters.
inline constexpr std::size_t kTypeChars = 48;
inline constexpr std::size_t kPubdateChars = 20;
inline constexpr std::size_t kDescriptionChars = 48;
inline constexpr std::size_t kTitleChars = 64;
inline constexpr std::size_t kLinkChars = 255;

// Items past this many are ignored: a feed is a short list of links, and the
// parent search looks through the tree for every item.
inline constexpr std::size_t kMaxFeedItems = 4096;

struct ResourceItem {
    ResourceEntry entry;
    std::string caption;  // the full title
};

// The first max_chars characters of UTF-8 text; a character is a lead byte
// with the continuation bytes after it, so no cut splits one.
std::string CutToChars(std::string_view text, std::size_t max_chars);

// id and pid: the trimmed text as a 32-bit decimal integer, -1 when empty or
// not a number.
std::int32_t FeedInteger(std::string_view text);

// The seven fields of one item's text, each between its tags.
ResourceItem ReadResourceItem(std::string_view item);

// The items of the feed lines in feed order: each between "<item>" and the
// next "</item>"; a missing tag or an empty item ends the reading.
std::vector<ResourceItem> ReadResourceFeed(const std::vector<std::string>& lines);

// For each item, the index of its parent item, or -1 for a root: the first
// item in tree order (parents before children, siblings in order) whose id
// is the item's pid, among the items before it.
std::vector<int> PlaceResourceItems(const std::vector<ResourceItem>& items);

// Rebuilds the tree. Without feed lines it holds the two built-in entries,
// "Quillon" (the home page) and "资源分享" (the resource-sharing site, shown
// expanded); with lines, the feed's items only (none when it has no item).
void BuildResourceTree(ResourceTreeModel& model, const std::vector<std::string>& feed_lines,
                       const OnlineAddresses& addresses);

}  // namespace q3::online
