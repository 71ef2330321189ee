#include "server/full_text_search.h"

#include <cstring>

#include "common/gbk.h"
#include "common/text.h"
#include "common/translation.h"
#include "server/search_snippet.h"

namespace q3::server {
namespace {

inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// True when pos starts a character, judged from the run of lead-range bytes
// before it; `known` is a character start at or before pos that bounds the
// walk back, so a long run of Chinese text is not rescanned per candidate.
bool IsCharStart(std::string_view text, size_t pos, size_t& known) {
    size_t run = 0;
    size_t k = pos;
    while (k > known && IsGbkLead(static_cast<unsigned char>(text[k - 1]))) {
        --k;
        ++run;
    }
    if (k > known) {
        // Stopped on a byte that cannot lead: the byte after it starts a
        // character, whatever came before.
        known = pos - (run % 2);
        return run % 2 == 0;
    }
    // Reached the known start: step forward from it.
    size_t b = known;
    while (b < pos)
        b += IsGbkLead(static_cast<unsigned char>(text[b])) ? 2 : 1;
    known = b == pos ? pos : pos - 1;
    return b == pos;
}

// Compares word with text at pos as the lower-cased text would read there:
// single-byte characters are lower-cased, both bytes of a double-byte
// character are compared as they are.
bool MatchesAt(std::string_view text, size_t pos, std::string_view word) {
    if (text.size() - pos < word.size())
        return false;
    bool trail = false;
    for (size_t j = 0; j < word.size(); ++j) {
        const char c = text[pos + j];
        if (trail) {
            trail = false;
            if (c != word[j])
                return false;
        } else if (IsGbkLead(static_cast<unsigned char>(c))) {
            trail = true;
            if (c != word[j])
                return false;
        } else if (LowerAscii(c) != word[j]) {
            return false;
        }
    }
    return true;
}

}  // namespace

size_t FindCaseless(std::string_view text, std::string_view word, size_t from) {
    if (from > text.size())
        return std::string_view::npos;
    if (word.empty())
        return from;
    const char first = word[0];
    const bool letter = first >= 'a' && first <= 'z';
    const char upper = letter ? static_cast<char>(first - 32) : first;
    const char* base = text.data();
    const char* end = base + text.size();
    const char* next_lo =
        static_cast<const char*>(std::memchr(base + from, first, end - base - from));
    const char* next_up =
        letter ? static_cast<const char*>(std::memchr(base + from, upper, end - base - from))
               : nullptr;
    size_t known = 0;
    while (next_lo != nullptr || next_up != nullptr) {
        const char* cand;
        if (next_up == nullptr || (next_lo != nullptr && next_lo < next_up)) {
            cand = next_lo;
            next_lo = static_cast<const char*>(std::memchr(cand + 1, first, end - cand - 1));
        } else {
            cand = next_up;
            next_up = static_cast<const char*>(std::memchr(cand + 1, upper, end - cand - 1));
        }
        const auto pos = static_cast<size_t>(cand - base);
        if (MatchesAt(text, pos, word) && IsCharStart(text, pos, known))
            return pos;
    }
    return std::string_view::npos;
}

ContentsEntry* FullTextSearch::FirstNodeEntry(int32_t record) {
    if (first_entry_.empty()) {
        // One pass over the table in insertion order instead of one per
        // matching record: the first entry with a node wins either way.
        const EntryTable* table = server_.Entries();
        if (table == nullptr)
            return nullptr;
        const int32_t count = server_.Document() ? server_.Document()->DirectoryCount() : 0;
        first_entry_.assign(static_cast<size_t>(std::max(count, 0)) + 1, nullptr);
        for (const auto* node : table->Nodes()) {
            ContentsEntry* e = node->value;
            if (e->Node == kNoNode || e->RecordNo < 0 || e->RecordNo > count)
                continue;
            ContentsEntry*& slot = first_entry_[static_cast<size_t>(e->RecordNo)];
            if (slot == nullptr)
                slot = e;
        }
    }
    if (record < 0 || static_cast<size_t>(record) >= first_entry_.size())
        return nullptr;
    return first_entry_[static_cast<size_t>(record)];
}

const std::vector<SearchResult>& FullTextSearch::Run() {
    results_.clear();
    first_entry_.clear();
    stopped_on_damage_ = false;
    doc::TQBXManage* document = server_.Document();
    if (document == nullptr || server_.Entries() == nullptr)
        return results_;
    const uint64_t generation = server_.Generation();
    // The word is asked for at every record, but lowered again only when it
    // changed: a hundred thousand small copies showed in the search's time.
    std::optional<std::string> raw;
    std::string word;
    bool asked = false;
    running_ = true;
    try {
        stopped_on_damage_ = !document->EnumerateRecords(
            [&](doc::TQBXManage& m, bool& stop, int32_t n, const std::string& text) {
                if (!running_) {
                    stop = true;
                    return;
                }
                std::optional<std::string> now = hooks_.word ? hooks_.word() : std::nullopt;
                if (!asked || now != raw) {
                    asked = true;
                    raw = std::move(now);
                    word = raw ? std::string(Trim(GbkLower(*raw))) : std::string();
                }
                if (raw && word.empty()) {
                    stop = true;
                    return;
                }
                if (raw && FindCaseless(text, word) != std::string_view::npos) {
                    if (ContentsEntry* entry = FirstNodeEntry(n)) {
                        results_.push_back(
                            SearchResult{model_.NodeCaption(entry->Node), entry, word});
                        if (hooks_.found)
                            hooks_.found(results_.back());
                    }
                }
                if (n % 50 == 0 && hooks_.progress) {
                    const int32_t total = m.DirectoryCount();
                    hooks_.progress(word, n, total, static_cast<int>(results_.size()));
                    // A stop is looked at first: whoever stopped the walk from
                    // the hook may have freed the server with its window.
                    if (!running_) {
                        stop = true;
                    } else if (server_.Document() != &m || server_.Generation() != generation) {
                        results_.clear();
                        stop = true;
                    }
                }
            },
            walk_workers_);
    } catch (...) {
        running_ = false;
        throw;
    }
    running_ = false;
    return results_;
}

std::string ResultSnippet(Tdm_htServer& server, const ContentsEntry& entry, std::string_view word) {
    doc::TQBXManage* document = server.Document();
    std::string text;
    if (document == nullptr || entry.RecordNo < 0 ||
        !document->ReadRecordText(entry.RecordNo, text))
        return {};
    return MatchSnippet(text, word);
}

std::string SearchProgressText(std::string_view word_utf8, int32_t record, int32_t total,
                               int found) {
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, _(", %d/%d，已找到：%d个"), record, total, found);
    return _("正在搜索：") + std::string(word_utf8) + numbers;
}

std::string SearchFinalText(std::string_view raw_word_utf8, int found) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, _(", 找到 %d 类似文档."), found);
    return _("正在搜索：") + std::string(raw_word_utf8) + numbers;
}

}  // namespace q3::server
