// Writing a document's items out as files. Local paths come from the
// document, so every one is checked before it becomes a file name.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "server/ht_server.h"

namespace q3::tool {

// The folder-relative file a local path (UTF-8, "\" or "/" separated) names,
// or empty when it would leave the folder: an absolute path, a drive or other
// ":" prefix, or a ".." step.
std::filesystem::path SafeRelativePath(const std::string& local_utf8);

struct ExtractReport {
    int written = 0;
    int refused = 0;  // paths that would leave the folder or go through a link in it
    int failed = 0;   // unreadable records or files that could not be written
    // The items' records decode to more than the file can hold (entries
    // sharing a huge record): extracting stopped there.
    bool damaged = false;
};

// Writes every addressable item with a record once, by its path without the
// anchor. `note` receives one line per written, refused or failed item.
ExtractReport ExtractAll(server::Tdm_htServer& srv, const std::filesystem::path& dir,
                         const std::function<void(bool ok, const std::string& line)>& note);

}  // namespace q3::tool
