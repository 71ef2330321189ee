#include "server/ht_server.h"

#include <cstdio>
#include <new>
#include <optional>

#include "common/crc.h"
#include "common/gbk.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/translation.h"

namespace q3::server {

Tdm_htServer::~Tdm_htServer() {
    // The table before the document: entries are the last things that refer
    // to the document's records.
    entries_.reset();
    document_.reset();
}

OpenOutcome Tdm_htServer::ReadyDocument(const std::string& path,
                                        const doc::TQBXManage::PasswordProvider& provider) const {
    OpenOutcome out;
    try {
        out.document = std::make_unique<doc::TQBXManage>(path, locking_);
        out.document->Open(provider);
    } catch (const doc::OpenError& e) {
        out.document.reset();
        out.kind = OpenOutcome::kOpenFailed;
        out.message = e.what();
        return out;
    } catch (const std::bad_alloc&) {
        out.document.reset();
        out.kind = OpenOutcome::kOpenFailed;
        out.message = _("打开文件失败: 内存不足");
        return out;
    }
    if (!out.document->ReadRecordText(1, out.contents_text)) {
        out.kind = OpenOutcome::kContentsDamaged;
        out.message = _("文件目录已损坏.");
        return out;
    }
    out.kind = OpenOutcome::kOpened;
    return out;
}

void Tdm_htServer::AdoptDocument(std::unique_ptr<doc::TQBXManage> document) {
    ++generation_;
    document_ = std::move(document);
}

OpenOutcome Tdm_htServer::OpenDocument(const std::string& path,
                                       const doc::TQBXManage::PasswordProvider& provider) {
    OpenOutcome out = ReadyDocument(path, provider);
    if (out.document)
        AdoptDocument(std::move(out.document));
    return out;
}

bool Tdm_htServer::LoadContents(std::string_view contents_text, ContentsModel& model) {
    model.BeginUpdate();
    bool complete = true;
    try {
        model.Clear();
        entries_.reset();
        ++generation_;
        entries_ = std::make_unique<EntryTable>();
        complete = BuildContents(contents_text, model);
    } catch (const std::bad_alloc&) {
        // A contents too large for memory: the tree stays as far as filled.
        DebugTrace("Tdm_htServer.LoadContents", "not enough memory for the contents");
    } catch (...) {
        model.EndUpdate();
        throw;
    }
    model.EndUpdate();
    return complete;
}

void Tdm_htServer::AdoptContents(Tdm_htServer& from) {
    ++generation_;
    ++from.generation_;
    // The old table before the old document, as on destruction.
    entries_ = std::move(from.entries_);
    document_ = std::move(from.document_);
}

void Tdm_htServer::FreeDocument() {
    ++generation_;
    document_.reset();
}

namespace {

// Where "?key=" starts, in any letter case; npos when absent. Every request
// passes here, so no lower-cased copy of the path is made.
size_t FindKeyQuery(std::string_view path) {
    constexpr std::string_view kQuery = "?key=";
    for (size_t p = path.find('?'); p != std::string_view::npos; p = path.find('?', p + 1)) {
        if (path.size() - p >= kQuery.size() && AsciiLower(path.substr(p, kQuery.size())) == kQuery)
            return p;
    }
    return std::string_view::npos;
}

// The path part of an address, decoded, without a closing "/".
std::string RequestPath(std::string_view raw) {
    std::string path = PercentDecode(raw);
    if (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

std::optional<std::string> SectionPage(std::string_view path) {
    const size_t key = FindKeyQuery(path);
    // A "#" after "?key=" is part of the word (or a section after it), and
    // the lookup never sees it.
    const size_t hash = path.substr(0, key).find('#');
    if (hash == std::string_view::npos)
        return std::nullopt;
    std::string page(path.substr(0, hash));
    if (key != std::string_view::npos)
        page.append(path.substr(key));
    return page;
}

bool Tdm_htServer::ReadDataByStream(std::string_view address, std::string& out) {
    if (!document_ || !entries_)
        return false;
    try {
        return Serve(address, out);
    } catch (const std::exception& e) {
        // Out of memory for the path or the body: what was written stays.
        DebugTrace("Tdm_htServer.OnContent.ReadDataByStream", e.what());
        return false;
    }
}

bool Tdm_htServer::Serve(std::string_view address, std::string& out) {
    const std::string_view raw = address.substr(std::min(address.size(), kUrlPrefix.size()));
    std::string path = RequestPath(raw);
    // The bare prefix names no item; without this guard the empty path would
    // hash to the key of an item whose path line was left empty.
    ContentsEntry* entry = path.empty() ? nullptr : LookupPath(AsciiLower(path));
    if (entry == nullptr) {
        // A link into a section of a page that is no contents item of its own
        // gets the page; the engine scrolls to the section. The "#" is looked
        // for before decoding: an escaped one belongs to the file name.
        if (std::optional<std::string> page = SectionPage(raw)) {
            path = RequestPath(*page);
            entry = path.empty() ? nullptr : LookupPath(AsciiLower(path));
        }
    }
    if (entry == nullptr) {
        DebugTrace("P=nil", address);
        out.append(kPlaceholderPage);
        return false;
    }
    const std::string_view ext = FileExtension(path);
    if (ext == ".html" || ext == ".htm")
        out.append("<HTML>");
    DebugTrace("URL: ", path);
    try {
        if (entry->RecordNo != -1) {
            std::string content;
            if (document_->ReadRecord(entry->RecordNo, content)) {
                if (out.empty())
                    out.swap(content);  // a large picture is not copied
                else
                    out.append(content);
            }
        }
        if (entry->Node != kNoNode && select_node_)
            select_node_(generation_, entry);
    } catch (const std::exception& e) {
        DebugTrace("Tdm_htServer.OnContent.ReadDataByStream", e.what());
    }
    return true;
}

ContentsEntry* Tdm_htServer::Lookup(std::string_view path) const {
    // An anchored contents item is found as it stands, so it keeps its own
    // node; only a section that is no item falls back to its page.
    if (ContentsEntry* e = LookupPath(path))
        return e;
    try {
        if (std::optional<std::string> page = SectionPage(path))
            return LookupPath(*page);
    } catch (const std::bad_alloc&) {
        // a path too long for memory names nothing
    }
    return nullptr;
}

ContentsEntry* Tdm_htServer::LookupPath(std::string_view path) const {
    if (!entries_)
        return nullptr;
    try {
        if (ContentsEntry* e = LookupKey(path))
            return e;
        // Pages link style sheets, scripts and pictures with a version query
        // ("_static/theme.css?2022.1") that no document stores in its paths.
        // Only an address that finds nothing as it stands is tried without its
        // query, so every address found before still finds the same entry.
        const std::string_view bare = path.substr(0, FindKeyQuery(path));
        const size_t query = bare.find('?');
        if (query == std::string_view::npos)
            return nullptr;
        return LookupKey(bare.substr(0, query));
    } catch (const std::bad_alloc&) {
        return nullptr;  // a path too long for memory names nothing
    }
}

ContentsEntry* Tdm_htServer::LookupKey(std::string_view path) const {
    std::string key(path.substr(0, FindKeyQuery(path)));
    ReplaceChar(key, '/', '\\');
    if (ContentsEntry* e = entries_->Get(StringCrc(key)))
        return e;
    if (auto gbk = WideToGbk(Utf8ToWide(key))) {
        if (ContentsEntry* e = entries_->Get(StringCrc(*gbk)))
            return e;
    }
    const size_t slash = key.find('\\');
    return entries_->Get(StringCrc(slash == std::string::npos ? key : key.substr(slash + 1)));
}

std::u16string Utf8ToWide(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    auto at = [&](size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[k])); };
    while (i < bytes.size()) {
        const unsigned b0 = at(i);
        if (b0 < 0x80) {
            out.push_back(static_cast<char16_t>(b0));
            i += 1;
        } else if ((b0 & 0xE0) == 0xC0) {
            if (bytes.size() - i < 2)
                break;
            out.push_back(static_cast<char16_t>(((b0 & 0x1F) << 6) | (at(i + 1) & 0x3F)));
            i += 2;
        } else {
            if (bytes.size() - i < 3)
                break;
            out.push_back(static_cast<char16_t>(((b0 & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) |
                                                (at(i + 2) & 0x3F)));
            i += 3;
        }
    }
    return out;
}

// Query values go out as the GBK bytes the discussion server has always
// received, but escaped, so that blanks, "&" and "#" in a title cannot break
// the address apart.
std::string Tdm_htServer::CommentUrl() const {
    if (!document_)
        return {};
    const doc::VersionBlock& v = document_->Version();
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "cl=Quillon3&vs=%d&uid=0&qbxid=%d&dvs=%u", kReaderBuild,
                  static_cast<int32_t>(document_->DocumentCheck()), v.FormatVersion);
    std::string url = "http://";
    url.append(kCommentHost).append("/q?").append(numbers);
    // The file name is a UTF-8 path on this platform; the server expects GBK.
    const std::string name = FileNameNoExt(document_->FileName());
    url.append("&qbxname=")
        .append(PercentEncode(IfEmpty(v.Subject, Utf8ToGbk(name).value_or(name))));
    url.append("&author=").append(PercentEncode(v.BookAuthor));
    url.append("&maker=").append(PercentEncode(v.Producer));
    url.append("&comment=").append(PercentEncode(v.Remarks));
    return url;
}

void Tdm_htServer::PurgeCache() {
    for (const std::string& address : purge_list_) {
        try {
            PurgeUrlCache(address);
        } catch (...) {
            // A cache that cannot be purged only costs a reload.
        }
    }
    purge_list_.clear();
}

}  // namespace q3::server
