#include "reader/rules/bookmarks.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>
#include <variant>

#include "common/base_settings.h"
#include "common/gbk.h"
#include "common/registry_format.h"
#include "common/registry_store.h"
#include "common/shell.h"
#include "common/text.h"
#include "common/trace.h"

namespace q3::reader {
namespace {

constexpr std::string_view kDocumentPrefix = "qbx://reader/";

size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    return 2;
}

std::string Numbered(std::string_view name, int n) {
    return std::string(name) + std::to_string(n);
}

// The key's values by ASCII-folded name, as the settings compare names: a
// long list is then read without a search through every value per item.
using ValueIndex = std::unordered_map<std::string, const RegistryValue*>;

ValueIndex IndexValues(const RegistryKeyData& key) {
    ValueIndex index;
    for (const auto& [name, value] : key.values)
        index.emplace(AsciiLower(name), &value);
    return index;
}

// A value of the wrong type or a text that is not UTF-8 is damage in the
// settings file; the list is read as far as it is sound.
std::string ReadText(const ValueIndex& values, const std::string& name) {
    const auto found = values.find(AsciiLower(name));
    const std::string* text =
        found != values.end() ? std::get_if<std::string>(found->second) : nullptr;
    return text != nullptr ? TextFileToUtf8(*text) : std::string();
}

}  // namespace

std::string CutGbkBytes(std::string_view utf8, size_t limit) {
    // No character takes more bytes in GBK than in UTF-8.
    if (utf8.size() <= limit)
        return std::string(utf8);
    if (const std::optional<std::string> gbk = Utf8ToGbk(utf8)) {
        size_t end = 0;
        while (end < gbk->size()) {
            const size_t len = IsGbkLead(static_cast<unsigned char>((*gbk)[end])) ? 2 : 1;
            if (end + len > limit)
                break;
            end += len;
        }
        return GbkToUtf8(std::string_view(*gbk).substr(0, end));
    }
    // Some character has no GBK form: measure character by character, such a
    // character counting as a double-byte one.
    size_t used = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        const size_t len =
            std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        size_t width = 1;
        if (len > 1) {
            const std::optional<std::string> gbk = Utf8ToGbk(utf8.substr(i, len));
            width = gbk ? gbk->size() : 2;
        }
        if (used + width > limit)
            break;
        used += width;
        i += len;
    }
    return std::string(utf8.substr(0, i));
}

BookmarkRecord MakeBookmark(std::string_view name, std::string_view address) {
    return BookmarkRecord{CutGbkBytes(name), CutGbkBytes(address)};
}

std::string BookmarkKey(std::string_view document_path) {
    return std::string(kQuillonSettingsKey) + "\\" + FileNameNoExt(document_path);
}

std::vector<BookmarkRecord> LoadBookmarkList(std::string_view key) {
    // One reading of the settings for the whole list, not one per value.
    const std::optional<std::vector<std::string>> components = SplitKeyPath(key);
    const std::optional<HiveData> hive =
        components ? RegistryStore::ForUser().Load(RegistryHive::kCurrentUser) : std::nullopt;
    const RegistryKeyData* data = hive ? hive->FindKey(*components) : nullptr;
    if (data == nullptr)
        return {};
    const RegistryValue* stored = data->Find(kBookmarkCountValue);
    const std::int32_t* count = stored != nullptr ? std::get_if<std::int32_t>(stored) : nullptr;
    if (count == nullptr)
        return {};
    const int kept = std::clamp(*count, 0, kMaxBookmarks);
    const ValueIndex values = IndexValues(*data);
    std::vector<BookmarkRecord> list;
    list.reserve(static_cast<size_t>(kept));
    for (int n = 0; n < kept; ++n) {
        list.push_back(MakeBookmark(ReadText(values, Numbered(kBookmarkNameValue, n)),
                                    ReadText(values, Numbered(kBookmarkAddressValue, n))));
    }
    return list;
}

bool StoreBookmarkList(std::string_view key, const std::vector<BookmarkRecord>& list) {
    std::vector<std::pair<std::string, RegistryValue>> values;
    values.reserve(1 + 2 * list.size());
    values.emplace_back(std::string(kBookmarkCountValue), static_cast<std::int32_t>(list.size()));
    for (size_t n = 0; n < list.size(); ++n) {
        const int i = static_cast<int>(n);
        values.emplace_back(Numbered(kBookmarkNameValue, i), list[n].name);
        values.emplace_back(Numbered(kBookmarkAddressValue, i), list[n].address);
    }
    try {
        return WriteHkcuValues(key, values);
    } catch (const RegistryError& e) {
        DebugTrace("SyncBookmarks", e.what());
        return false;
    }
}

std::string BookmarkAddress(std::string_view page_address) {
    if (page_address.substr(0, kDocumentPrefix.size()) != kDocumentPrefix)
        return std::string(page_address);
    std::string_view local = page_address.substr(kDocumentPrefix.size());
    local = local.substr(0, local.find("?key="));
    // The engine hands addresses back percent-encoded; the list keeps the
    // page path as the document names it. A "%" that decodes to something
    // that is not text stays encoded, so the address still opens the page.
    std::string decoded = PercentDecode(local);
    if (!IsValidUtf8(decoded) || decoded.find('%') != std::string::npos)
        return std::string(local);
    return decoded;
}

std::string BookmarkTarget(std::string_view address) {
    if (address.find("://") != std::string_view::npos)
        return std::string(address);
    return std::string(kDocumentPrefix) + std::string(address);
}

}  // namespace q3::reader
