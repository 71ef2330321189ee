#include "online/resource_feed.h"

#include <gtest/gtest.h>

namespace q3::online {
namespace {

using Lines = std::vector<std::string>;

std::string Item(std::string_view id, std::string_view pid, std::string_view title) {
    std::string item = "<item>";
    if (!id.empty())
        item += "<id>" + std::string(id) + "</id>";
    if (!pid.empty())
        item += "<pid>" + std::string(pid) + "</pid>";
    return item + "<title>" + std::string(title) + "</title></item>";
}

// The tree as "P(Q R) S": each node's caption, its children in brackets.
std::string Describe(const MemoryResourceTreeModel& model,
                     const std::vector<ResourceNodeId>& nodes) {
    std::string out;
    for (ResourceNodeId id : nodes) {
        if (!out.empty())
            out += ' ';
        const auto& node = model.At(id);
        out += node.caption;
        if (!node.children.empty())
            out += "(" + Describe(model, node.children) + ")";
    }
    return out;
}

std::string Tree(const Lines& feed) {
    MemoryResourceTreeModel model;
    BuildResourceTree(model, feed, OnlineAddresses{});
    return Describe(model, model.Roots());
}

TEST(BuildResourceTree, ItemsGoUnderTheFirstNodeInTreeOrderWithTheirParentId) {
    const struct {
        const char* what;
        Lines feed;
        std::string tree;
    } cases[] = {
        {"P, Q, R", {Item("1", "0", "P"), Item("2", "1", "Q"), Item("3", "1", "R")}, "P(Q R)"},
        {"parent comes later: root", {Item("1", "2", "A"), Item("2", "", "B")}, "A B"},
        // Tree order is X, Z, Y: W goes under Z although Y was added first.
        {"same id twice",
         {Item("5", "", "X"), Item("7", "", "Y"), Item("7", "5", "Z"), Item("8", "7", "W")},
         "X(Z(W)) Y"},
        {"no pid: under the first node without id",
         {Item("", "", "N"), Item("4", "", "M")},
         "N(M)"},
        {"id and pid are trimmed, anything else is -1",
         {Item(" 3 ", "", "A"), Item("x", " 3\t", "B"), Item("99999999999", "", "C")},
         "A(B(C))"},
        {"one item over several lines", {"<item><id>1</id>", "<title>L</title></item>"}, "L"},
        {"an empty item ends the reading",
         {Item("1", "", "A"), "<item></item>", Item("2", "", "B")},
         "A"},
        {"no complete item: an empty tree", {"<item><title>A</title>"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tree(c.feed), c.tree) << c.what;
}

TEST(BuildResourceTree, FieldsAreCutByCharactersButTheCaptionKeepsTheTitle) {
    std::string title;
    for (int i = 0; i < 80; ++i)
        title += "资";
    const std::string link = "http://x.org/" + std::string(300, 'a');
    const std::string description = "a" + title;  // a cut inside a character would show
    MemoryResourceTreeModel model;
    BuildResourceTree(model,
                      {"<item><type> t </type><pubdate>2009-09-15 12:00:00 +0800</pubdate>"
                       "<description>" +
                       description + "</description><title>" + title + "</title><link>" + link +
                       "</link></item>"},
                      OnlineAddresses{});
    ASSERT_EQ(model.NodeCount(), 1u);
    const auto& node = model.At(model.Roots()[0]);
    EXPECT_EQ(node.caption, title);
    EXPECT_EQ(node.entry.title, title.substr(0, 64 * 3));
    EXPECT_EQ(node.entry.description, description.substr(0, 1 + 47 * 3));
    EXPECT_EQ(node.entry.link, link.substr(0, 255));
    EXPECT_EQ(node.entry.pubdate, "2009-09-15 12:00:00 ");
    EXPECT_EQ(node.entry.type, " t ");  // raw: only id and pid are trimmed
    EXPECT_EQ(node.entry.id, -1);
    EXPECT_EQ(node.entry.pid, -1);
}

TEST(BuildResourceTree, WithoutAFeedItHoldsTheBuiltInEntries) {
    MemoryResourceTreeModel model;
    const OnlineAddresses addresses{"", "https://home.example/", "https://share.example/", ""};
    BuildResourceTree(model, {Item("1", "", "old")}, addresses);
    BuildResourceTree(model, {}, addresses);
    EXPECT_EQ(Describe(model, model.Roots()), "Quillon 资源分享");
    const auto& home = model.At(model.Roots()[0]);
    const auto& sharing = model.At(model.Roots()[1]);
    EXPECT_EQ(home.entry.link, "https://home.example/");
    EXPECT_FALSE(home.expanded);
    EXPECT_EQ(sharing.entry.link, "https://share.example/");
    EXPECT_TRUE(sharing.expanded);
    EXPECT_EQ(sharing.entry.id, -1);
    EXPECT_EQ(sharing.entry.pid, -1);
}

TEST(ReadResourceFeed, RegressionAHugeFeedStopsAtTheItemCap) {
    const Lines feed(kMaxFeedItems + 10, "<item><id>1</id></item>");
    EXPECT_EQ(ReadResourceFeed(feed).size(), kMaxFeedItems);
}

}  // namespace
}  // namespace q3::online
