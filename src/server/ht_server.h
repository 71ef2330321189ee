// The content server: owns the open document and its entry table, turns the
// contents record into the tree, index and table, and answers every
// "qbx://reader/" address with the bytes of its record.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/manager.h"
#include "server/contents_entry.h"
#include "server/contents_model.h"

namespace q3::server {

inline constexpr std::string_view kUrlPrefix = "qbx://reader/";
inline constexpr std::string_view kPlaceholderPage =
    "<HTML><HEAD></HEAD><BODY><!--NODOC--></BODY><HTML>";
inline constexpr int32_t kReaderBuild = 20090915;
inline constexpr std::string_view kCommentHost = "comment.quillon3.net";

// What an open attempt came to; the window shows `message` unchanged.
struct OpenOutcome {
    enum Kind { kOpened, kOpenFailed, kContentsDamaged } kind = kOpenFailed;
    std::string message;        // UTF-8
    std::string contents_text;  // record 1, GBK, when kOpened
    // The opened document until it is adopted (kOpened, kContentsDamaged).
    std::unique_ptr<doc::TQBXManage> document;
};

class Tdm_htServer {
  public:
    // Posted (never sent) after an item with a tree node was served; the
    // generation lets the receiver drop a notice that outlived its table.
    using SelectNodeHook = std::function<void(uint64_t generation, ContentsEntry* entry)>;
    using PumpHook = std::function<void()>;

    Tdm_htServer() = default;
    ~Tdm_htServer();
    Tdm_htServer(const Tdm_htServer&) = delete;
    Tdm_htServer& operator=(const Tdm_htServer&) = delete;

    static std::string_view UrlPrefix() { return kUrlPrefix; }

    // Hooks the owner supplies: the window pumps its main loop and defers the
    // node selection; qbxtool leaves both empty.
    void SetPumpHook(PumpHook hook) { pump_ = std::move(hook); }
    // The reader window keeps a second reader off the documents it opens;
    // qbxtool leaves them shared.
    void SetDocumentLocking(doc::Locking locking) { locking_ = locking; }
    void SetSelectNodeHook(SelectNodeHook hook) { select_node_ = std::move(hook); }

    // Opens the document at path and reads its contents record, asking for
    // its password on the way, without touching the open document: a book
    // that fails to open never costs the reader the one it has.
    OpenOutcome ReadyDocument(const std::string& path,
                              const doc::TQBXManage::PasswordProvider& provider) const;
    // Makes an opened document the open one; the old one (and its file
    // lock) goes only now.
    void AdoptDocument(std::unique_ptr<doc::TQBXManage> document);
    // Both in one: the new document replaces the open one when it opened,
    // damaged contents included; a failed open keeps the open one.
    OpenOutcome OpenDocument(const std::string& path,
                             const doc::TQBXManage::PasswordProvider& provider);
    // Clears the model, replaces the entry table and fills both from the
    // contents text. The model is cleared before the old table goes, so no
    // released entry is ever reachable from the window. False when another
    // document replaced this one while the parse let events run: the parse
    // stopped there, and the model and table are the newer document's.
    bool LoadContents(std::string_view contents_text, ContentsModel& model);
    // The document and the contents another server read (on another
    // thread, while the window was made) become this one's; `from` is left
    // with neither. The caller's model must have let go of this server's
    // entries first: they go here.
    void AdoptContents(Tdm_htServer& from);
    void FreeDocument();

    doc::TQBXManage* Document() const { return document_.get(); }
    const EntryTable* Entries() const { return entries_.get(); }
    // Changes whenever the document or the entry table is replaced or freed,
    // whatever the outcome: code that lets events run while it uses either
    // compares it afterwards (a new manager may sit at the old one's address).
    uint64_t Generation() const { return generation_; }
    // The entry of a deferred notice, or null when its table is gone.
    ContentsEntry* CurrentEntry(uint64_t generation, ContentsEntry* entry) const {
        return generation == generation_ && entries_ ? entry : nullptr;
    }

    // Writes the response body for a full address; true when an entry was
    // found (false: nothing, or the placeholder page).
    bool ReadDataByStream(std::string_view address, std::string& out);
    // path: lower-cased by the caller, "/" or "\" separated, maybe "?key=".
    // A path that finds nothing with its query ("theme.css?v=2") is looked
    // up once more without it, and one that names a section of a page
    // ("page.htm#sec") once more without its "#" part.
    ContentsEntry* Lookup(std::string_view path) const;
    // False when the document was replaced during a pump (see LoadContents).
    bool BuildContents(std::string_view text, ContentsModel& model);
    void AddAnchorAlias(std::string_view path, std::string_view id);
    std::string CommentUrl() const;
    void PurgeCache();
    void AddPurgeAddress(std::string address) { purge_list_.push_back(std::move(address)); }

  private:
    bool Serve(std::string_view address, std::string& out);
    // Lookup without the section step: the path as it stands, then without
    // a query other than "?key=".
    ContentsEntry* LookupPath(std::string_view path) const;
    // One lookup of a path as it stands: "?key=" cut off, then the GBK,
    // UTF-8 and first-folder steps.
    ContentsEntry* LookupKey(std::string_view path) const;
    // The next "[[%d]=" counter to try, per checksum and length of a path.
    // CRC-32 is affine: the key of "[[k]=" and a path depends on the path only
    // through its checksum and length, so all paths of one class walk the
    // same key sequence, and a hostile contents of many different paths with
    // one checksum would retry every taken counter for every path. Table keys
    // are never removed while contents are built, so every counter below the
    // remembered one is still taken and the plain rule's key is found in
    // linear total time.
    using DuplicateCounters = std::unordered_map<uint64_t, int>;
    // Items whose entries are stored a few items late: the buckets their
    // paths hash to are fetched while the next items' lines are read, which
    // hides the memory access a large table cannot keep close. Whatever else
    // reads or writes the table (a pump, a resource line, the end) stores
    // them first, so the table sees the order the text gives.
    class PendingItems {
      public:
        PendingItems(Tdm_htServer& server, ContentsModel& model, DuplicateCounters& counters);
        // path is taken (swapped with a buffer of an earlier item).
        void Add(NodeId node, std::string_view caption, std::string& path, std::string_view id);
        void StoreAll();

      private:
        static constexpr size_t kDepth = 16;
        struct Item {
            NodeId node = kNoNode;
            std::string_view caption, id;  // views of the contents text
            std::string path;
            uint32_t key = 0;
        };
        void StoreOldest();

        Tdm_htServer& server_;
        ContentsModel& model_;
        DuplicateCounters& counters_;
        Item items_[kDepth];
        size_t first_ = 0, count_ = 0;
    };

    // key: StringCrc(path), computed by the caller.
    void AddItemEntry(NodeId node, std::string_view caption, const std::string& path,
                      std::string_view id, uint32_t key, ContentsModel& model,
                      DuplicateCounters& counters);
    void AddResourceEntry(std::string path, std::string_view id, ContentsModel& model);

    std::unique_ptr<doc::TQBXManage> document_;
    std::unique_ptr<EntryTable> entries_;
    std::vector<std::string> purge_list_;
    uint64_t generation_ = 0;
    doc::Locking locking_ = doc::Locking::kNone;
    PumpHook pump_;
    SelectNodeHook select_node_;
};

// The record number written in an id attribute; `fallback` when it is not
// a number.
int32_t ParseRecordId(std::string_view id, int32_t fallback);

// The address of the page a section link points into: `path` without its
// "#" part, a "?key=" after the section kept so that the word still reaches
// the page. None when no "#" comes before the "?key=".
std::optional<std::string> SectionPage(std::string_view path);

// Decodes UTF-8 into 16-bit characters the way the address lookup always has:
// continuation bytes are not validated and four-byte forms are read as
// three-byte ones.
std::u16string Utf8ToWide(std::string_view bytes);

}  // namespace q3::server
