// The bookmarks of a document as the settings keep them: under the settings
// key, a key named after the document's file name, with a count and numbered
// name and address values. Documents of the same file name share one list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace q3::reader {

// Fixed records cut texts at this many bytes of their GBK form.
inline constexpr size_t kBookmarkTextBytes = 255;
// A stored count beyond this is damage, not bookmarks: reading stops there
// instead of making items without end.
inline constexpr int kMaxBookmarks = 10000;

inline constexpr std::string_view kBookmarkCountValue = "MaskerCount";
inline constexpr std::string_view kBookmarkNameValue = "BookName";
inline constexpr std::string_view kBookmarkAddressValue = "BookAnchor";

// UTF-8 texts, each at most kBookmarkTextBytes in GBK.
struct BookmarkRecord {
    std::string name;
    // The part after "qbx://reader/" for a page of the document, else the
    // whole address.
    std::string address;
};

// The text cut to at most limit bytes of its GBK form, at the end of a whole
// character. A text GBK cannot hold is cut the same way in UTF-8.
std::string CutGbkBytes(std::string_view utf8, size_t limit = kBookmarkTextBytes);

BookmarkRecord MakeBookmark(std::string_view name, std::string_view address);

// The key of a document's list: the settings key, "\", and the document's
// file name without folder and extension.
std::string BookmarkKey(std::string_view document_path);

// The stored list; empty when the key is missing. A value of the wrong type
// reads as empty, and missing values below the stored count as empty items.
std::vector<BookmarkRecord> LoadBookmarkList(std::string_view key);
// Replaces the stored list; false when the settings could not be written.
// Values past the new count stay but are never read.
bool StoreBookmarkList(std::string_view key, const std::vector<BookmarkRecord>& list);

// The bookmark address of a page the engine shows at page_address: for a page
// of the document its path, without the "?key=" query and percent-decoded;
// any other address unchanged.
std::string BookmarkAddress(std::string_view page_address);

// Where a bookmark goes: a web address unchanged, anything else as a page of
// the open document.
std::string BookmarkTarget(std::string_view address);

}  // namespace q3::reader
