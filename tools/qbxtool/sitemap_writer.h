// The contents text of a packed document (record 1): which items the tree
// shows, which record each one opens, and which files are only made
// addressable. It is written for the reader's line parser:
//   - every marker the parser looks for stands on a line of its own;
//   - an item's Name line carries id="N" before value="caption", and its
//     Local line follows right after it;
//   - captions hold no quote or angle bracket, so no marker can hide in one;
//   - the text ends with closing tags, since the parser never examines the
//     last line on its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "qbxtool/pack_files.h"
#include "qbxtool/sitemap_reader.h"

namespace q3::tool {

struct ContentsItem {
    std::string caption;  // UTF-8
    std::string local;    // GBK, "\"-separated, letter case as on disk, maybe "#anchor"
    int32_t id = -1;      // the record the item opens; -1 for a heading
    std::vector<ContentsItem> children;
};

struct ContentsResource {
    std::string local;  // GBK, "\"-separated
    int32_t id = -1;
};

struct Contents {
    std::vector<ContentsItem> items;
    std::vector<ContentsResource> resources;
};

// The author's sitemap with each item's Local resolved to a packed file (in
// the file's letter case, an anchor kept) and its record. An item whose Local
// names no packed file becomes a heading, with a warning. Every file that no
// item names without an anchor is declared as a resource. files must carry
// their record numbers.
Contents ContentsFromSitemap(const std::vector<SitemapItem>& sitemap,
                             const std::vector<PackFile>& files, Warnings& warnings);

// A tree made from the folder: each folder a heading holding its pages and
// folders, each page an item captioned by title(page) or, when that is empty,
// its file name without extension; an index page comes first in its folder.
// Files other than pages are declared as resources.
Contents ContentsFromFolder(const std::vector<PackFile>& files,
                            const std::function<std::string(const PackFile&)>& title);

// The contents text, GBK. Caption characters GBK cannot hold become "?" with
// a warning.
std::string WriteContents(const Contents& contents, Warnings& warnings);

// A caption as it can stand in a Name line: UTF-8, one line, no '"', '<' or
// '>' (quotes become apostrophes, angle brackets their full-width forms).
std::string CleanCaption(std::string_view caption);

}  // namespace q3::tool
