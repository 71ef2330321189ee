#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "common/crc.h"
#include "server/ht_server.h"
#include "support/forge_crc.h"

namespace q3::server {
namespace {

using q3::testing::ForgeCrc;

struct Parsed {
    Tdm_htServer srv;
    MemoryContentsModel model;
    explicit Parsed(std::string_view text) { srv.LoadContents(text, model); }

    // "caption|record|path" per node in display order, depth as leading dots.
    std::vector<std::string> Tree() const {
        std::vector<std::string> out;
        for (auto [id, depth] : model.DisplayOrder()) {
            const auto& n = model.At(id);
            out.push_back(
                std::string(static_cast<size_t>(depth), '.') + std::string(model.Caption(id)) +
                "|" +
                (n.entry ? std::to_string(n.entry->RecordNo) + "|" + std::string(n.entry->LocalPath)
                         : std::string("-")));
        }
        return out;
    }
};

TEST(BuildContents, NestedListsMakeTheTree) {
    Parsed p(
        "<HTML><BODY>\n"                                    // skipped
        "<UL>\n"                                            // level 0
        "<LI><OBJECT type=\"text/sitemap\">\n"              // item
        "<param name=\"Name\" value=\"Intro\" id=\"2\">\n"  // caption, record 2
        "<param name=\"Local\" value=\"Intro.htm\">\n"      // path, lower-cased
        "</OBJECT>\n"
        "<UL>\n"  // level 1
        "<LI><OBJECT type=\"text/sitemap\">\n"
        "<param name=\"Name\" value=\"Part A\" id=\"3\">\n"
        "<param name=\"Local\" value=\"Sub\\A.htm\">\n"
        "</OBJECT>\n"
        "</UL>\n"  // back to level 0
        "<LI><OBJECT type=\"text/sitemap\">\n"
        "<param name=\"Name\" value=\"Heading\" id=\"-1\">\n"  // no page
        "<param name=\"Local\" value=\"\">\n"
        "</OBJECT>\n"
        "</UL>\n"
        "</BODY></HTML>\n");
    EXPECT_EQ(p.Tree(),
              (std::vector<std::string>{"Intro|2|intro.htm", ".Part A|3|sub\\a.htm", "Heading|-"}));
    ASSERT_EQ(p.model.Index().size(), 2u);  // the heading is not indexed
    EXPECT_EQ(p.srv.Lookup("sub/a.htm")->RecordNo, 3);
}

TEST(BuildContents, PathOnTheCaptionLineAndNonNumericIds) {
    Parsed p(
        "<ul>\n"
        "<li><param name=\"name\" value=\"One\" id=\"x7\"><param name=\"local\" "
        "value=\"one.htm\">\n"
        "<li><param name=\"name\" value=\"Two\" id=\"$10\">\n"  // hex, as the id parser allows
        "<param name=\"local\" value=\"two.htm\">\n"
        "</ul>\n"
        "end\n");
    EXPECT_EQ(p.Tree(), (std::vector<std::string>{"One|0|one.htm", "Two|16|two.htm"}));
}

TEST(BuildContents, RegressionLastLineIsNeverExaminedOnItsOwn) {
    // The final item sits on the last line of the text: it is lost, as
    // documents made for this reader expect.
    Parsed p(
        "<ul>\n"
        "<li><param name=\"name\" value=\"Kept\" id=\"2\"><param name=\"local\" value=\"k.htm\">\n"
        "<li><param name=\"name\" value=\"Lost\" id=\"3\"><param name=\"local\" "
        "value=\"l.htm\">\n");
    EXPECT_EQ(p.Tree(), (std::vector<std::string>{"Kept|2|k.htm"}));
    Parsed none("");
    EXPECT_EQ(none.model.NodeCount(), 0u);
}

TEST(BuildContents, CaptionKeepsItsCaseOnlyWhenFoundInTheLine) {
    Parsed p(
        "<ul>\n"
        "<li><param name=\"Name\" value=\"MiXeD Case\" id=\"2\">\n"
        "<param name=\"Local\" value=\"m.htm\">\n"
        "</ul>\n");
    EXPECT_EQ(p.Tree(), (std::vector<std::string>{"MiXeD Case|2|m.htm"}));
}

TEST(BuildContents, DuplicatePathsKeepTheFirstItemsAddress) {
    Parsed p(
        "<ul>\n"
        "<li><param name=\"name\" value=\"First\" id=\"2\"><param name=\"local\" value=\"p.htm\">\n"
        "<li><param name=\"name\" value=\"Second\" id=\"3\"><param name=\"local\" "
        "value=\"p.htm\">\n"
        "</ul>\n");
    ASSERT_EQ(p.model.NodeCount(), 2u);
    ContentsEntry* e = p.srv.Lookup("p.htm");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Node, p.model.Roots()[0]);
    // The second item hides under a key that no address reaches.
    ContentsEntry* second = p.srv.Entries()->Get(StringCrc("[[1]=p.htm"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Node, p.model.Roots()[1]);
}

TEST(BuildContents, DuplicateKeysSkipTakenCountersAsTheRuleGives) {
    Parsed p(
        "<ul>\n"
        "<li><param name=\"name\" value=\"First\" id=\"2\"><param name=\"local\" value=\"p.htm\">\n"
        "<res value=\"[[2]=p.htm\" id=\"9\">\n"  // takes the second duplicate's key
        "<li><param name=\"name\" value=\"Second\" id=\"3\"><param name=\"local\" "
        "value=\"p.htm\">\n"
        "<li><param name=\"name\" value=\"Third\" id=\"4\"><param name=\"local\" value=\"p.htm\">\n"
        "<li><param name=\"name\" value=\"Other\" id=\"5\"><param name=\"local\" value=\"q.htm\">\n"
        "<li><param name=\"name\" value=\"Fourth\" id=\"6\"><param name=\"local\" "
        "value=\"p.htm\">\n"
        "</ul>\n");
    auto record_at = [&](const char* key) {
        ContentsEntry* e = p.srv.Entries()->Get(StringCrc(key));
        return e == nullptr ? -100 : e->RecordNo;
    };
    EXPECT_EQ(record_at("p.htm"), 2);
    EXPECT_EQ(record_at("[[1]=p.htm"), 3);
    EXPECT_EQ(record_at("[[2]=p.htm"), 9);
    EXPECT_EQ(record_at("[[3]=p.htm"), 4);
    EXPECT_EQ(record_at("[[4]=p.htm"), 6);
    EXPECT_EQ(record_at("[[1]=q.htm"), -100);
}

// count different paths of prefix_size + 4 bytes that all hash to target.
std::vector<std::string> CollidingPaths(size_t count, size_t prefix_size, uint32_t target) {
    std::vector<std::string> out;
    for (uint32_t n = 0; out.size() < count; ++n) {
        std::string prefix = "c\\" + std::to_string(n);
        prefix.resize(prefix_size, '-');
        std::string path = ForgeCrc(prefix, target);
        if (!path.empty())
            out.push_back(std::move(path));
    }
    return out;
}

TEST(BuildContents, RegressionCollidingPathsKeepThePlainRulesKeys) {
    constexpr uint32_t kTarget = 0x5EED1234u;
    // Equal length and checksum: one class, one sequence of "[[k]=" keys.
    const std::vector<std::string> same = CollidingPaths(40, 8, kTarget);
    // The same checksum at another length: its own key sequence.
    const std::vector<std::string> longer = CollidingPaths(10, 9, kTarget);
    ASSERT_EQ(StringCrc(same[0]), StringCrc(same[39]));
    ASSERT_EQ(StringCrc(same[0]), StringCrc(longer[0]));
    ASSERT_NE(same[0], same[1]);

    std::vector<std::string> items;
    for (size_t i = 0; i < same.size(); ++i) {
        items.push_back(same[i]);
        if (i % 4 == 1)
            items.push_back(same[1]);  // a repeated path among the colliding ones
        if (i % 4 == 3)
            items.push_back(longer[i / 4]);
    }
    std::string text = "<ul>\n";
    // Resources take keys further down the class's sequence before any item.
    text += "<res value=\"[[3]=" + same[5] + "\" id=\"900\">\n";
    text += "<res value=\"[[7]=" + same[0] + "\" id=\"901\">\n";
    text += "<res value=\"[[2]=" + longer[3] + "\" id=\"902\">\n";
    for (size_t i = 0; i < items.size(); ++i) {
        text += "<li><param name=\"name\" value=\"I" + std::to_string(i) + "\" id=\"" +
                std::to_string(i + 2) + "\"><param name=\"local\" value=\"" + items[i] + "\">\n";
    }
    text += "</ul>\nend\n";
    Parsed p(text);
    ASSERT_EQ(p.model.NodeCount(), items.size());

    // The plain rule: the path's checksum, else "[[k]=" and the path with
    // k = 1, 2, ... until the checksum is free.
    std::set<uint32_t> taken = {StringCrc("[[3]=" + same[5]), StringCrc("[[7]=" + same[0]),
                                StringCrc("[[2]=" + longer[3])};
    const std::vector<NodeId> roots = p.model.Roots();
    for (size_t i = 0; i < items.size(); ++i) {
        uint32_t key = StringCrc(items[i]);
        for (int k = 1; taken.count(key) != 0; ++k) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "[[%d]=%s", k, items[i].c_str());
            key = StringCrc(buf);
        }
        taken.insert(key);
        ContentsEntry* e = p.srv.Entries()->Get(key);
        ASSERT_NE(e, nullptr) << "item " << i;
        EXPECT_EQ(e->Node, roots[i]) << "item " << i;
    }
    EXPECT_EQ(p.srv.Entries()->Count(), static_cast<int32_t>(items.size() + 3));
}

TEST(BuildContents, AnchoredItemMakesItsBarePathAddressable) {
    Parsed p(
        "<ul>\n"
        "<li><param name=\"name\" value=\"Sec\" id=\"4\"><param name=\"local\" "
        "value=\"a.htm#s1\">\n"
        "</ul>\n");
    ContentsEntry* bare = p.srv.Lookup("a.htm");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->Node, kNoNode);  // serving it moves no selection
    EXPECT_EQ(bare->RecordNo, 4);
    EXPECT_EQ(bare->LocalPath, "a.htm#s1");
    EXPECT_EQ(p.srv.Lookup("a.htm#s1")->Node, p.model.Roots()[0]);
}

TEST(BuildContents, ResourceLines) {
    Parsed p(
        "<ul>\n"
        "<res value=\"Img\\Logo.GIF#x\" id=\"5\">\n"  // anchor cut from the key only
        "<res value=\"extra.htm\" id=\"6\">\n"        // a page: not in the resource list
        "<res value=\"img\\logo.gif\" id=\"7\">\n"    // replaces the first under its key
        "<res value=\"bad.css\" id=\"z\">\n"          // not a number: no record
        "</ul>\n");
    ASSERT_EQ(p.model.Resources().size(), 3u);
    EXPECT_EQ(p.model.Resources()[0].text, "img\\logo.gif");
    EXPECT_EQ(p.model.Resources()[0].entry->LocalPath, "img\\logo.gif#x");
    EXPECT_EQ(p.srv.Lookup("img/logo.gif")->RecordNo, 7);
    EXPECT_EQ(p.srv.Lookup("extra.htm")->RecordNo, 6);
    EXPECT_EQ(p.srv.Lookup("bad.css")->RecordNo, -1);
    EXPECT_EQ(p.model.Roots().size(), 0u);
}

TEST(BuildContents, LevelJumpsAndClosingBelowRoot) {
    Parsed p(
        "<ul>\n"
        "<li><param name=\"name\" value=\"A\" id=\"2\"><param name=\"local\" value=\"a.htm\">\n"
        "<ul><ul><ul>\n"  // three levels down at once: still one level below A
        "<li><param name=\"name\" value=\"B\" id=\"3\"><param name=\"local\" value=\"b.htm\">\n"
        "</ul></ul>\n"  // only one close counts per line: back to level 0
        "<li><param name=\"name\" value=\"C\" id=\"4\"><param name=\"local\" value=\"c.htm\">\n"
        "</ul>\n</ul>\n</ul>\n</ul>\n"
        "<li><param name=\"name\" value=\"D\" id=\"5\"><param name=\"local\" value=\"d.htm\">\n"
        "end\n");
    // C closes B's level and becomes A's sibling; D, below every root level,
    // is appended as the last root.
    // ("A" itself reads "a": the caption's case is taken from the first place
    // its lower-case form occurs in the line, here inside "param".)
    EXPECT_EQ(p.Tree(),
              (std::vector<std::string>{"a|2|a.htm", ".B|3|b.htm", "C|4|c.htm", "D|5|d.htm"}));
}

TEST(BuildContents, ItemWithEmptyPathLineIsDropped) {
    Parsed p(
        "<ul>\n"
        "<li><param name=\"name\" value=\"A\" id=\"2\">\n"
        "<param name=\"local\"\n"  // nothing after the marker
        "</ul>\n");
    EXPECT_EQ(p.model.NodeCount(), 0u);
}

TEST(BuildContents, MarkersAreFoundWhereverTheLineHoldsThem) {
    const std::string pad(140, 'x');
    Parsed p(
        "<ul>\r"  // CR alone ends a line
        // Every marker past the first 128 bytes of its line.
        + pad +
        "<li><param name=\"name\" value=\"Far\" id=\"8\"><param name=\"local\" "
        "value=\"far.htm\">\r\n"
        // A caption longer than those 128 bytes, its id and path after it.
        "<li><param name=\"name\" value=\"" +
        pad +
        "\" id=\"7\"><param name=\"local\" value=\"long.htm\">\n"
        // "V" after a lead byte is a trail byte, never lower-cased: that
        // "Value" is no attribute; "v" there is matched as it stands.
        "<li><param name=\"name\" \x81Value=\"No\" value=\"Yes\" id=\"9\"><param name=\"local\" "
        "value=\"y.htm\">\n"
        "<li><param name=\"name\" \x81value=\"Trail\" id=\"10\"><param name=\"local\" "
        "value=\"t.htm\">\n"
        "<LI><PARAM NAME=\"NAME\" VALUE=\"Caps\" ID=\"11\"><PARAM NAME=\"LOCAL\" VALUE=\"C.HTM\">\n"
        "</ul>\n");
    EXPECT_EQ(p.Tree(),
              (std::vector<std::string>{"Far|8|far.htm", pad + "|7|long.htm", "Yes|9|y.htm",
                                        "Trail|10|t.htm", "Caps|11|c.htm"}));
}

TEST(BuildContents, PumpsEveryTenthLine) {
    Tdm_htServer srv;
    MemoryContentsModel model;
    int pumps = 0;
    srv.SetPumpHook([&] { ++pumps; });
    std::string text;
    for (int i = 0; i < 35; ++i)
        text += "line\n";
    srv.LoadContents(text, model);
    EXPECT_EQ(pumps, 3);  // lines 10, 20, 30; parsing ends before line 35
}

TEST(ParseRecordId, Table) {
    EXPECT_EQ(ParseRecordId("12", 0), 12);
    EXPECT_EQ(ParseRecordId(" 12", 0), 12);
    EXPECT_EQ(ParseRecordId("-1", 0), -1);
    EXPECT_EQ(ParseRecordId("12 ", 0), 0);
    EXPECT_EQ(ParseRecordId("", -1), -1);
    EXPECT_EQ(ParseRecordId("0x1f", 0), 31);
    EXPECT_EQ(ParseRecordId("99999999999", 0), 0);
}

}  // namespace
}  // namespace q3::server
