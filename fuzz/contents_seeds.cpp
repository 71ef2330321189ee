// Writes the seeds of the contents fuzz target into a folder: each an address,
// a NUL byte and a contents text. Most texts are what qbxtool pack writes;
// the rest are the hand-made layouts the reader still meets (a path on the
// caption line, capitals, anchors, duplicates, resource lines, stray closes).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/gbk.h"
#include "qbxtool/sitemap_writer.h"

namespace {

using q3::tool::Contents;
using q3::tool::ContentsItem;

void Save(const std::filesystem::path& dir, const char* name, const std::string& address,
          const std::string& contents) {
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out << address << '\0' << contents;
}

// Item paths are GBK in a document, as the packer writes them.
std::string Gbk(const char* utf8) {
    return q3::Utf8ToGbk(utf8).value();
}

std::string Written(const Contents& contents) {
    q3::tool::Warnings warnings;
    return q3::tool::WriteContents(contents, warnings);
}

Contents Book() {
    Contents c;
    ContentsItem cover{"封面", "index.htm", 2, {}};
    ContentsItem chapter{"第一章", "", -1, {}};
    chapter.children.push_back({"第一节", Gbk("第一章\\一.htm#top"), 3, {}});
    chapter.children.push_back({"Second Part", "Part\\Two.HTM", 4, {}});
    ContentsItem again{"Cover again", "index.htm", 5, {}};
    c.items = {cover, chapter, again};
    c.resources = {{Gbk("图片\\标志.png"), 6}, {"style.css", 7}, {"extra.htm", 8}};
    return c;
}

Contents Deep() {
    Contents c;
    ContentsItem* at = nullptr;
    c.items.push_back({"Level 0", "l0.htm", 2, {}});
    at = &c.items.back();
    for (int depth = 1; depth < 12; ++depth) {
        at->children.push_back({"Level " + std::to_string(depth),
                                "l" + std::to_string(depth) + ".htm",
                                depth + 2,
                                {}});
        at = &at->children.back();
    }
    return c;
}

const char kHandMade[] =
    "<HTML><BODY>\r\n"
    "<UL>\r\n"
    "<LI><param name=\"Name\" value=\"One\" id=\"x7\"><param name=\"Local\" value=\"ONE.htm\">\r\n"
    "<LI><param name=\"Name\" value=\"Two\" id=\"$10\">\r\n"
    "<param name=\"Local\" value=\"two.htm#sec\">\r\n"
    "<UL><UL><LI><param name=\"Name\" value=\"Deep\" id=\"0x3\">\r\n"
    "<param name=\"Local\" value=\"sub/deep.html\">\r\n"
    "</UL></UL></UL></UL>\r\n"
    "<res value=\"Img\\Logo.GIF#x\" id=\"5\">\r"
    "<res value=\"about:blank#top\" id=\"z\">\n"
    "<LI><param name=\"Name\" value=\"A\" id=\"-1\">\n"
    "<param name=\"Local\"\n"
    "<LI><param name=\"Name\" value=\"Same\" id=\"2\"><param name=\"Local\" value=\"one.htm\">\n"
    "</UL>\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        Save(dir, "seed-book", "index.htm", Written(Book()));
        Save(dir, "seed-book-anchor", "%E7%AC%AC%E4%B8%80%E7%AB%A0/%E4%B8%80.htm?key=Word",
             Written(Book()));
        Save(dir, "seed-deep", "extra/l11.htm", Written(Deep()));
        Save(dir, "seed-hand-made", "Sub/Deep.html/", kHandMade);
        Save(dir, "seed-empty", "", "");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_contents_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
