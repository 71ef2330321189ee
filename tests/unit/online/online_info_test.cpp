#include "online/online_info.h"

#include <gtest/gtest.h>

namespace q3::online {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitLines, BreaksAtEveryKindOfLineEnd) {
    const struct {
        std::string_view text;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"a\n\n", {"a", ""}},
        {"a\r\r\n", {"a", ""}},      // CR, then CR LF
        {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
    EXPECT_EQ(JoinLines({"a", ""}), "a\r\n\r\n");
}

TEST(ReadAdSwitch, Table) {
    const struct {
        std::string_view line;
        bool on;
    } cases[] = {
        {"<!--1-->", true},    {"<!-- 1 -->", true},  {"<!--2.5-->", true},
        {"<!--TRUE-->", true}, {"<!--True-->", true}, {"<html><!--1--><body>", true},
        {"<!--0-->", false},   {"<!--0.0-->", false}, {"<!--false-->", false},
        {"<!---->", false},    {"<!--yes-->", false}, {"<!--1x-->", false},
        {"1", false},          {"<!--1", false},      {"<!--nan-->", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadAdSwitch(c.line), c.on) << c.line;
}

TEST(ReadOnlineInfo, OnlyTheFirstLineSwitchesTheAdOn) {
    const std::string ad = "[[DATA<a href=\"http://x.org/\" target=\"_blank\">广告</a>]]";
    const OnlineInfo on = ReadOnlineInfo({"<!--1-->", ad});
    EXPECT_TRUE(on.show_ad);
    EXPECT_EQ(on.ad_html, "<a href=\"http://x.org/\" target=\"_blank\">广告</a>");
    EXPECT_FALSE(on.has_feed);
    EXPECT_FALSE(ReadOnlineInfo({"<!--0-->", ad}).show_ad);
    EXPECT_FALSE(ReadOnlineInfo({"<html>", "<!--1-->", ad}).show_ad);
    // The ad may span lines: it is cut from the whole text.
    EXPECT_EQ(ReadOnlineInfo({"<!--1-->[[DATA<b>", "x</b>]]"}).ad_html, "<b>\r\nx</b>");
    // Switched on without an ad: an empty page is shown.
    const OnlineInfo bare = ReadOnlineInfo({"<!--1-->"});
    EXPECT_TRUE(bare.show_ad);
    EXPECT_EQ(bare.ad_html, "");
}

TEST(ReadOnlineInfo, TheFeedComesFromTheWholeTextAndLeavesTheAdOff) {
    const OnlineInfo info =
        ReadOnlineInfo({"<!-- -->", "[[FRESS", "<item><id>1</id></item>", "]] trailing"});
    EXPECT_FALSE(info.show_ad);
    EXPECT_TRUE(info.has_feed);
    EXPECT_EQ(info.feed_lines, (Lines{"", "<item><id>1</id></item>"}));
}

TEST(ReadOnlineInfo, AnAnswerOfOneEmptyLineChangesNothing) {
    for (const Lines& lines : {Lines{""}, Lines{}, Lines{"[[FRESS]]"}}) {
        const OnlineInfo info = ReadOnlineInfo(lines);
        EXPECT_FALSE(info.show_ad);
        EXPECT_FALSE(info.has_feed);
        EXPECT_TRUE(info.ad_html.empty());
    }
}

TEST(IsWebLink, OnlyWebAddressesReachTheReadersTab) {
    const struct {
        std::string_view link;
        bool web;
    } cases[] = {
        {"http://x.org/", true},
        {"HTTPS://x.org/a?b=1", true},
        {"http://", false},  // no address after the scheme
        {"javascript:alert(1)", false},
        {" http://x.org/", false},  // a blank before the scheme is not a web address
        {"qbx://reader/index.htm", false},
        {"file:///etc/passwd", false},
        {"data:text/html,<b>x</b>", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWebLink(c.link), c.web) << c.link;
}

}  // namespace
}  // namespace q3::online
