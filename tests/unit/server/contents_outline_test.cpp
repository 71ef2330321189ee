#include "server/contents_outline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q3::server {
namespace {

// A tree whose node ids are not in display order: the second root is added
// before the children of the first, as a model fed out of order would have it.
//   A            (1)
//     A1         (3)  heading, no entry
//       A1a      (5)
//     A2         (4)
//   B            (2)
class OutlineTest : public ::testing::Test {
  protected:
    OutlineTest() {
        a = model.AddNode(kNoNode, "A");
        b = model.AddNode(kNoNode, "B");
        a1 = model.AddNode(a, "A1");
        a2 = model.AddNode(a, "A2");
        a1a = model.AddNode(a1, "A1a");
        for (NodeId id : {a, b, a2, a1a})
            model.AttachEntry(id, &entry);
    }
    std::string Name(NodeId id) const {
        return id == kNoNode ? "-" : std::string(model.Caption(id));
    }

    MemoryContentsModel model;
    ContentsEntry entry;
    NodeId a, b, a1, a2, a1a;
};

TEST_F(OutlineTest, ChildrenByPositionAndPaths) {
    const ContentsOutline outline(model);
    EXPECT_EQ(outline.NodeCount(), 5u);
    EXPECT_EQ(outline.ChildCount(kNoNode), 2u);
    EXPECT_EQ(Name(outline.Child(kNoNode, 1)), "B");
    EXPECT_EQ(outline.ChildCount(a), 2u);
    EXPECT_EQ(Name(outline.Child(a, 0)), "A1");
    EXPECT_EQ(Name(outline.Child(a, 2)), "-");  // out of range
    EXPECT_EQ(outline.ChildCount(b), 0u);
    EXPECT_EQ(outline.Position(a2), 1u);
    EXPECT_EQ(outline.PathOf(a1a), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(outline.PathOf(b), (std::vector<int>{1}));
    EXPECT_TRUE(outline.PathOf(kNoNode).empty());
}

TEST_F(OutlineTest, DisplayOrderBothWaysMatchesTheModelsWalk) {
    const ContentsOutline outline(model);
    std::vector<std::string> forward, backward, expected;
    for (auto [id, depth] : model.DisplayOrder())
        expected.push_back(Name(id));
    NodeId last = kNoNode;
    for (NodeId id = outline.Child(kNoNode, 0); id != kNoNode;
         id = outline.NextInDisplayOrder(id)) {
        forward.push_back(Name(id));
        last = id;
    }
    for (NodeId id = last; id != kNoNode; id = outline.PreviousInDisplayOrder(id))
        backward.insert(backward.begin(), Name(id));
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(backward, expected);
    EXPECT_EQ(forward, (std::vector<std::string>{"A", "A1", "A1a", "A2", "B"}));
}

TEST_F(OutlineTest, FirstWithEntrySkipsHeadings) {
    MemoryContentsModel headed;
    const NodeId h = headed.AddNode(kNoNode, "Heading");
    const NodeId inner = headed.AddNode(h, "Inner heading");
    const NodeId page = headed.AddNode(inner, "Page");
    headed.AttachEntry(page, &entry);
    EXPECT_EQ(ContentsOutline(headed).FirstWithEntry(), page);
    EXPECT_EQ(ContentsOutline(MemoryContentsModel()).FirstWithEntry(), kNoNode);
}

}  // namespace
}  // namespace q3::server
