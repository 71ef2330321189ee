// qbxtool pack: a folder into a document. Record 1 is the contents text, then
// one record per file in ScanFolder's order, then a list of the packed files
// as the last record: the reader's full-text search never visits the last
// record, so it must not be a page.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "document/writer.h"
#include "qbxtool/pack_files.h"

namespace q3::tool {

struct PackOptions {
    std::filesystem::path dir;
    std::filesystem::path out;
    std::optional<std::filesystem::path> contents;  // an author's sitemap (UTF-8 or GBK)
    doc::DocumentInfo info;                         // texts and password already GBK
    bool to_gbk = false;
};

struct PackSummary {
    int32_t files = 0;    // records 2 .. files + 1
    int32_t records = 0;  // the document's DirectoryCount
};

// Writes options.out (beside it first, then renamed, so a failure leaves no
// half document). Throws PackError with a message for the user when the input
// cannot be read or the document cannot be written.
PackSummary PackFolder(const PackOptions& options, Warnings& warnings);

// The text of the last record: one "record<TAB>local path" line per file, GBK.
std::string FileListText(const std::vector<PackFile>& files);

}  // namespace q3::tool
