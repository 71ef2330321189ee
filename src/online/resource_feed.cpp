#include "online/resource_feed.h"

#include <charconv>

#include "common/text.h"
#include "common/translation.h"
#include "online/online_info.h"

namespace q3::online {
namespace {

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string Field(std::string_view item, std::string_view name) {
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    return TextBetween(item, open, close);
}

ResourceEntry BuiltInEntry(std::string_view caption, std::string_view link) {
    ResourceEntry entry;
    entry.title = CutToChars(caption, kTitleChars);
    entry.link = CutToChars(link, kLinkChars);
    return entry;
}

// Ends the model's update however the rebuild ends.
class UpdateScope {
  public:
    explicit UpdateScope(ResourceTreeModel& model) : model_(model) { model_.BeginUpdate(); }
    ~UpdateScope() { model_.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

  private:
    ResourceTreeModel& model_;
};

// The first node in tree order whose item has id, or -1. Explicit stack: a
// feed can chain its items as deep as it is long.
int FirstInTreeOrder(const std::vector<ResourceItem>& items,
                     const std::vector<std::vector<int>>& children, const std::vector<int>& roots,
                     std::int32_t id, std::vector<int>& stack) {
    stack.assign(roots.rbegin(), roots.rend());
    while (!stack.empty()) {
        const int node = stack.back();
        stack.pop_back();
        if (items[static_cast<size_t>(node)].entry.id == id)
            return node;
        const std::vector<int>& below = children[static_cast<size_t>(node)];
        stack.insert(stack.end(), below.rbegin(), below.rend());
    }
    return -1;
}

}  // namespace

std::string CutToChars(std::string_view text, std::size_t max_chars) {
    size_t at = 0;
    for (size_t chars = 0; chars < max_chars && at < text.size(); ++chars) {
        ++at;
        while (at < text.size() && IsContinuation(text[at]))
            ++at;
    }
    return std::string(text.substr(0, at));
}

std::int32_t FeedInteger(std::string_view text) {
    text = Trim(text);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        text.remove_prefix(1);
    std::int32_t value = -1;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return -1;
    return value;
}

ResourceItem ReadResourceItem(std::string_view item) {
    ResourceItem read;
    ResourceEntry& entry = read.entry;
    entry.id = FeedInteger(Field(item, "id"));
    entry.pid = FeedInteger(Field(item, "pid"));
    entry.type = CutToChars(Field(item, "type"), kTypeChars);
    entry.pubdate = CutToChars(Field(item, "pubdate"), kPubdateChars);
    entry.description = CutToChars(Field(item, "description"), kDescriptionChars);
    read.caption = Field(item, "title");
    entry.title = CutToChars(read.caption, kTitleChars);
    entry.link = CutToChars(Field(item, "link"), kLinkChars);
    return read;
}

std::vector<ResourceItem> ReadResourceFeed(const std::vector<std::string>& lines) {
    const std::string text = JoinLines(lines);
    std::string_view rest = text;
    std::vector<ResourceItem> items;
    while (!rest.empty() && items.size() < kMaxFeedItems) {
        const std::string_view item = CutTextBetween(rest, "<item>", "</item>");
        if (item.empty())
            break;
        items.push_back(ReadResourceItem(item));
    }
    return items;
}

std::vector<int> PlaceResourceItems(const std::vector<ResourceItem>& items) {
    std::vector<int> parents;
    parents.reserve(items.size());
    std::vector<std::vector<int>> children(items.size());
    std::vector<int> roots;
    std::vector<int> stack;
    for (size_t i = 0; i < items.size(); ++i) {
        const int parent = FirstInTreeOrder(items, children, roots, items[i].entry.pid, stack);
        parents.push_back(parent);
        (parent < 0 ? roots : children[static_cast<size_t>(parent)]).push_back(static_cast<int>(i));
    }
    return parents;
}

void BuildResourceTree(ResourceTreeModel& model, const std::vector<std::string>& feed_lines,
                       const OnlineAddresses& addresses) {
    UpdateScope scope(model);
    model.Clear();
    if (feed_lines.empty()) {
        model.AddNode(kNoResourceNode, "Quillon", BuiltInEntry("Quillon", addresses.home_page));
        const ResourceNodeId sharing = model.AddNode(
            kNoResourceNode, _("资源分享"), BuiltInEntry(_("资源分享"), addresses.resource_site));
        model.ExpandAll(sharing);
    } else {
        const std::vector<ResourceItem> items = ReadResourceFeed(feed_lines);
        const std::vector<int> parents = PlaceResourceItems(items);
        std::vector<ResourceNodeId> nodes;
        nodes.reserve(items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            const ResourceNodeId parent =
                parents[i] < 0 ? kNoResourceNode : nodes[static_cast<size_t>(parents[i])];
            nodes.push_back(model.AddNode(parent, items[i].caption, items[i].entry));
        }
    }
}

}  // namespace q3::online
