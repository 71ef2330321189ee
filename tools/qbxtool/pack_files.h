// The files that qbxtool pack puts into a document: which files a folder
// holds, the path under which the reader will look each of them up, and the
// titles of its pages.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace q3::tool {

// Messages for the user (UTF-8), printed as warnings; packing goes on.
using Warnings = std::vector<std::string>;

// Input that cannot be read or a document that cannot be written: pack stops
// and leaves no output behind.
class PackError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct PackFile {
    std::filesystem::path disk;  // where the bytes are read from
    std::string rel;             // UTF-8, "/"-separated, letter case as on disk
    std::string local;           // GBK, "\"-separated: the path the reader looks up
    int32_t record = -1;
};

// ".htm" and ".html" in any letter case: the files the reader serves as pages.
bool IsPageName(std::string_view name);

// The GBK, backslash-separated local path of a UTF-8 relative path, or empty
// with the reason in why when the reader could not address the file by it.
std::optional<std::string> LocalPathOf(std::string_view rel, std::string* why = nullptr);

// Every regular file under dir (recursively, symbolic links to folders not
// followed), except the paths in skip, in a reproducible order: folder by
// folder, names compared byte-wise. Files the reader could not address, and
// links to files outside dir, are left out with a warning. Throws PackError
// when dir cannot be listed.
std::vector<PackFile> ScanFolder(const std::filesystem::path& dir,
                                 const std::vector<std::filesystem::path>& skip,
                                 Warnings& warnings);

// The text of a page's <title> as UTF-8 (the page read as UTF-8 when it is
// valid UTF-8, else as GBK), entities decoded and white space collapsed;
// empty when the page has none.
std::string PageTitle(std::string_view page);

// &amp; &lt; &gt; &quot; &apos; &nbsp; and numeric references in UTF-8 text;
// anything else is kept as written.
std::string DecodeEntities(std::string_view text);

// One code point as UTF-8.
void AppendUtf8(std::string& out, uint32_t cp);

}  // namespace q3::tool
