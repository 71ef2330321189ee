// Writes the book the start-up benchmark opens: ITEMS contents items in
// chapters of a thousand pages (a chapter is a heading without a page of its
// own); the first page is a generated GBK page of realistic size, and it is
// written as a file of its own too, for the bare view to load from disk. The first
// page carries a block of one colour that nothing else on the screen has:
// the benchmark knows the page is shown when those pixels appear.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "corpus.h"
#include "document/writer.h"

namespace {

constexpr int32_t kChapterSize = 1000;
constexpr uint64_t kSeed = 20090915;

// The first level of GB2312 is in pinyin order; captions drawn from all of it
// give the index a realistic sort.
std::string Hanzi(uint32_t n) {
    std::string s;
    s += static_cast<char>(0xB0 + (n / 94) % 40);
    s += static_cast<char>(0xA1 + n % 94);
    return s;
}

std::string Caption(int32_t item) {
    const auto n = static_cast<uint32_t>(item) * 2654435761u;
    if (item % 7 == 3)
        return "Section " + std::to_string(item);
    return Hanzi(n >> 7) + Hanzi(n >> 15) + Hanzi(n >> 21) + " " + std::to_string(item);
}

std::string PagePath(int32_t chapter, int32_t item) {
    char path[64];
    std::snprintf(path, sizeof path, "c%03d\\p%06d.htm", chapter, item);
    return path;
}

std::string FirstPage() {
    std::string page = q3::bench::GeneratePage(kSeed, 2);
    // Self-contained: the bare view reads it from disk, where the corpus's
    // style sheet and pictures do not exist.
    const size_t link = page.find("<link ");
    if (link != std::string::npos)
        page.erase(link, page.find('>', link) + 1 - link);
    const size_t body = page.find("<body>");
    page.insert(body == std::string::npos ? 0 : body + 6,
                "\r\n<div style=\"background:#de216f;height:240px\"></div>\r\n");
    return page;
}

// The other pages are short: only the contents' size matters past the first.
std::string Page(const std::string& caption) {
    return "<html><head><title>" + caption + "</title></head><body><h2>" + caption + "</h2><p>" +
           caption + "</p></body></html>";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_book OUT.qbx ITEMS FIRST_PAGE.htm\n");
        return 2;
    }
    const int32_t items = std::atoi(argv[2]);
    if (items < 1) {
        std::fprintf(stderr, "make_book: ITEMS must be at least 1\n");
        return 2;
    }
    q3::doc::DocumentInfo info;
    info.Subject = "Benchmark book";
    q3::doc::QbxWriter writer(info);
    const int32_t contents = writer.ReserveRecord();
    std::string sitemap = "<ul>\r\n";
    const std::string first = FirstPage();
    for (int32_t item = 1; item <= items; ++item) {
        const int32_t chapter = (item - 1) / kChapterSize + 1;
        if (items > 1 && (item - 1) % kChapterSize == 0) {
            if (chapter > 1)
                sitemap += "</ul>\r\n";
            sitemap += "<li><param name=\"name\" value=\"\xB5\xDA" + std::to_string(chapter) +
                       "\xD5\xC2\" id=\"-1\">\r\n<param name=\"local\" value=\"c" +
                       std::to_string(chapter) + "\">\r\n<ul>\r\n";
        }
        const std::string caption = Caption(item);
        const int32_t record = writer.AddRecord(item == 1 ? first : Page(caption), 1);
        sitemap += "<li><param name=\"name\" value=\"" + caption + "\" id=\"" +
                   std::to_string(record) + "\"><param name=\"local\" value=\"" +
                   PagePath(chapter, item) + "\">\r\n";
    }
    if (items > 1)
        sitemap += "</ul>\r\n";
    sitemap += "</ul>\r\n";
    writer.SetRecord(contents, sitemap);
    writer.WriteFile(argv[1]);
    std::ofstream(argv[3], std::ios::binary) << first;
    return 0;
}
