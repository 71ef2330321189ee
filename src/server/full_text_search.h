// Searching every record of the open document for a word. The loop runs on
// the caller's thread and hands control back through the progress hook every
// 50 records, which is where a stop request or a new document can arrive.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/ht_server.h"

namespace q3::server {

struct SearchResult {
    std::string caption;  // GBK: the title of the page's contents node
    ContentsEntry* entry = nullptr;
    std::string word;  // GBK, lower-cased and trimmed: the word the page matched
};

// Finds word (already lower-cased by GbkLower) in text as if text had been
// lower-cased the same way, at a character start at or after from only;
// npos when absent. Works on the bytes in place: no lower-cased copy of the
// record is made.
size_t FindCaseless(std::string_view text, std::string_view word, size_t from = 0);

class FullTextSearch {
  public:
    struct Hooks {
        // The edit's current text as GBK, read again on every record so the
        // word can change while the search runs; nullopt when the text holds a
        // character GBK cannot, which then matches nothing.
        std::function<std::optional<std::string>()> word;
        // Every 50th record: the trimmed lower-cased word, the record number,
        // the directory count and the results so far. The window shows the
        // progress text and runs its main loop here.
        std::function<void(const std::string& word, int32_t record, int32_t total, int found)>
            progress;
        // Each result as it is found.
        std::function<void(const SearchResult&)> found;
    };

    FullTextSearch(Tdm_htServer& server, const ContentsModel& model, Hooks hooks)
        : server_(server), model_(model), hooks_(std::move(hooks)) {}

    // Walks the records; returns the results in the order found. Ends early
    // on Stop(), an empty word, or when the document or its table is replaced
    // from inside a progress hook (the walk must not read a replaced document).
    // A Stop() from inside a hook ends the walk before any hook is called
    // again and before the server is looked at, so the owner of the hooks
    // and of the server may be gone by then; the results found so far are
    // then returned as they are, and a caller that replaced the document
    // must not use them.
    const std::vector<SearchResult>& Run();
    void Stop() { running_ = false; }
    // The threads that inflate records beside the caller's (0: none); by
    // default as many as the machine has cores for, up to two.
    void SetWalkWorkers(int workers) { walk_workers_ = workers; }
    bool Running() const { return running_; }
    const std::vector<SearchResult>& Results() const { return results_; }
    // The last Run ended early because the document's records decode to more
    // than its file can hold (entries sharing one huge record): the document
    // is damaged, and the results are those found up to there.
    bool StoppedOnDamage() const { return stopped_on_damage_; }

  private:
    ContentsEntry* FirstNodeEntry(int32_t record);

    Tdm_htServer& server_;
    const ContentsModel& model_;
    Hooks hooks_;
    bool running_ = false;
    int walk_workers_ = -1;
    bool stopped_on_damage_ = false;
    std::vector<SearchResult> results_;
    // Record number -> first entry (insertion order) with a tree node.
    std::vector<ContentsEntry*> first_entry_;
};

// The page's words around the first match of the result's word (see
// MatchSnippet), read from the open document when a hint asks for them, so
// the search itself spends nothing on hints; empty when the record cannot be
// read.
std::string ResultSnippet(Tdm_htServer& server, const ContentsEntry& entry, std::string_view word);

// The status texts of the search, UTF-8. word is shown as given.
std::string SearchProgressText(std::string_view word_utf8, int32_t record, int32_t total,
                               int found);
std::string SearchFinalText(std::string_view raw_word_utf8, int found);

}  // namespace q3::server
