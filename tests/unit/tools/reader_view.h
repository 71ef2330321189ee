// A contents text as the reader sees it: parsed by the content server's own
// contents parser, so a test checks what a reader shows, not what a line of
// the text looks like.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/gbk.h"
#include "qbxtool/pack_files.h"
#include "server/contents_model.h"
#include "server/ht_server.h"

namespace q3::tool::testing {

class ReaderView {
  public:
    explicit ReaderView(std::string_view contents_text) {
        server_.LoadContents(contents_text, model_);
    }

    // One line per tree node in display order: two spaces per level, the
    // caption as UTF-8, then the record number or "-" for a heading.
    std::vector<std::string> Tree() const {
        std::vector<std::string> lines;
        for (auto [id, depth] : model_.DisplayOrder()) {
            const server::ContentsEntry* entry = model_.At(id).entry;
            lines.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') +
                            GbkToUtf8(model_.NodeCaption(id)) + " " +
                            (entry ? std::to_string(entry->RecordNo) : "-"));
        }
        return lines;
    }

    // The record an address path (GBK, any letter case, "\" or "/") reaches,
    // -2 when it reaches nothing.
    int32_t RecordOf(std::string_view path) const {
        const server::ContentsEntry* e = server_.Lookup(GbkLower(path));
        return e ? e->RecordNo : -2;
    }
    // Whether the address selects a tree node when its page is served.
    bool HasNode(std::string_view path) const {
        const server::ContentsEntry* e = server_.Lookup(GbkLower(path));
        return e != nullptr && e->Node != server::kNoNode;
    }

    size_t IndexSize() const { return model_.Index().size(); }
    size_t ResourceListSize() const { return model_.Resources().size(); }

  private:
    server::Tdm_htServer server_;
    server::MemoryContentsModel model_;
};

// Files as ScanFolder would give them, numbered from record 2 on.
inline std::vector<PackFile> NumberedFiles(const std::vector<std::string>& rels) {
    std::vector<PackFile> files;
    int32_t record = 2;
    for (const std::string& rel : rels)
        files.push_back(PackFile{rel, rel, LocalPathOf(rel).value(), record++});
    return files;
}

}  // namespace q3::tool::testing
