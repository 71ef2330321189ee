// Small documents for the content server tests, written by the project's writer.
#pragma once

#include <string>
#include <vector>

#include "document/writer.h"
#include "server/ht_server.h"
#include "support/temp_dir.h"

namespace q3::server::testing {

// Record 1 is `contents`; records 2.. are `pages` in order.
inline std::string WriteBook(const q3::testing::TempDir& dir, const std::string& contents,
                             const std::vector<std::string>& pages,
                             const std::string& name = "book.qbx", doc::DocumentInfo info = {}) {
    doc::QbxWriter w(std::move(info));
    w.AddRecord(contents);
    for (const std::string& p : pages)
        w.AddRecord(p);
    std::string path = dir.File(name);
    w.WriteFile(path);
    return path;
}

// Opens a book into a server and a memory model, as the reader does.
inline bool OpenBook(Tdm_htServer& srv, MemoryContentsModel& model, const std::string& path) {
    OpenOutcome out = srv.OpenDocument(path, {});
    if (out.kind != OpenOutcome::kOpened)
        return false;
    srv.LoadContents(out.contents_text, model);
    return true;
}

}  // namespace q3::server::testing
