#include "server/search_snippet.h"

#include <gtest/gtest.h>

#include "common/gbk.h"

namespace q3::server {
namespace {

std::string Gbk(const std::string& utf8) {
    return Utf8ToGbk(utf8).value();
}

TEST(MatchSnippet, PlainTextAroundTheFirstVisibleMatch) {
    struct Case {
        const char* name;
        std::string record, word, snippet;
    } cases[] = {
        {"tags and blanks", "<html><body><p>Some  <b>Needle</b>\r\n here</p></body></html>",
         "needle", "Some Needle here"},
        {"the head is left out, its title too",
         "<head><title>needle</title><style>p{}</style></head><p>x needle</p>", "needle",
         "x needle"},
        {"a visible match wins over an earlier one in a tag",
         "<a href=\"needle.htm\">link</a><p>the needle</p>", "needle", "link the needle"},
        {"a match only inside a tag gives the text where the tag sits",
         "<p>before</p><a href=\"needle.htm\">after</a>", "needle", "before after"},
        {"scripts, styles and comments are left out",
         "<script>var needle = '<p>';</script><!-- needle --><style>.needle{}</style>text",
         "needle", "text"},
        {"entities are decoded", "a&lt;b&gt; &amp;&nbsp;&quot;q&quot; &#65;&#x42; needle", "needle",
         "a<b> & \"q\" AB needle"},
        {"an unknown entity stays as written", "&copy; &#xZZ; &#; needle", "needle",
         "&copy; &#xZZ; &#; needle"},
        {"a bare '<' is text", "a < b needle", "needle", "a < b needle"},
        {"inline tags do not split a word", "ne<b>ed</b>le, needle", "needle", "needle, needle"},
        {"an unclosed tag ends the text", "needle <a href=\"x", "needle", "needle"},
        {"an unclosed script ends the text", "needle<script>never shown", "needle", "needle"},
        {"a record of markup only", "<br><hr>", "needle", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchSnippet(c.record, c.word), c.snippet) << c.name;
}

TEST(MatchSnippet, GbkIsShownAsTextWithItsEntities) {
    // "软件包" in the page, a numeric entity for "管" beside it.
    const std::string record = Gbk("<p>安装软件包&#31649;理</p>");
    EXPECT_EQ(MatchSnippet(record, Gbk("软件包")), "安装软件包管理");
}

TEST(MatchSnippet, LongTextIsCutAroundTheMatchOnWholeCharacters) {
    std::string before, after;
    for (int i = 0; i < 100; ++i) {
        before += "前";
        after += "后";
    }
    const std::string record = Gbk("<p>" + before + "词" + after + "</p>");
    std::string want = "…";
    for (size_t i = 0; i < kSnippetBefore; ++i)
        want += "前";
    want += "词";
    for (size_t i = 0; i < kSnippetAfter; ++i)
        want += "后";
    want += "…";
    EXPECT_EQ(MatchSnippet(record, Gbk("词")), want);
}

TEST(MatchSnippet, RegressionMatchLongAfterTheStartIsFound) {
    // The plain text is checked for the word in steps while it is built; a
    // match that straddles two steps must still be found, not replaced by
    // the place of the earlier match in the link.
    for (size_t pad = 500; pad < 530; ++pad) {
        const std::string record =
            "<a href=\"needle\">" + std::string(pad, 'x') + "</a> needle tail</p>";
        const std::string got = MatchSnippet(record, "needle");
        EXPECT_NE(got.find("x needle tail"), std::string::npos) << pad;
    }
}

}  // namespace
}  // namespace q3::server
