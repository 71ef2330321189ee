// The address history: the documents and web addresses the user visited, in
// the order first added. The address box shows it, the home page lists it and
// "RURLs.dat" keeps it between runs. Texts are UTF-8 (file paths and
// addresses as the platform gives them).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/translation.h"

namespace q3::server {

class AddressHistory {
  public:
    // Tells whether a text names an existing file; injectable for tests.
    using FileExists = std::function<bool(const std::string&)>;

    explicit AddressHistory(FileExists exists = {});

    // The most items kept: adding past it drops the oldest.
    static constexpr size_t kMaxItems = 1000;

    // Adds an address unless it is blank or a bare "http://" or "https://"; one trailing
    // "/" is dropped. Returns the index of the (new or existing) item, or -1
    // when nothing was added.
    int Add(std::string_view address);
    // "clear:(url)": drops every item that begins with "http".
    void ClearWebAddresses();
    // "clear:(qbx)": keeps only items that are not existing files and contain
    // "http".
    void ClearDocuments();
    void Clear() {
        items_.clear();
        known_.clear();
    }

    const std::vector<std::string>& Items() const { return items_; }

    // Reads the "URLs" section of an INI file: Count, then url0.. in order.
    // Count is trusted only as far as the section has lines.
    bool Load(const std::string& path);
    // Writes every item but "about:blank"; keys beyond the new count stay.
    bool Store(const std::string& path) const;

  private:
    void Reindex();

    std::vector<std::string> items_;
    // The items, for a lookup per Add that does not walk the whole list.
    std::unordered_set<std::string> known_;
    FileExists exists_;
};

// The message shown when "RURLs.dat" cannot be read or written.
inline constexpr std::string_view kHistoryFileError =
    N_("不能创建文件，请确定您应用程序安装目录是否可写？");

// A history item is a document when its extension, lower-cased, is ".qbx".
bool IsDocumentItem(std::string_view item);

}  // namespace q3::server
