#include "server/reading_places.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "common/crc.h"
#include "common/trace.h"
#include "document/manager.h"

namespace q3::server {
namespace {

// A stored address longer than this, or a scroll position beyond this, is
// not one the reader wrote.
constexpr size_t kMaxAddressBytes = 4096;
constexpr int64_t kMaxScroll = 100'000'000;
constexpr std::string_view kFormatTag = "1";

std::string SlotName(size_t slot) {
    return "Place" + std::to_string(slot);
}

// Takes the text up to the next tab off the front of rest; nothing when
// there is no tab.
std::optional<std::string_view> NextField(std::string_view& rest) {
    const size_t tab = rest.find('\t');
    if (tab == std::string_view::npos)
        return std::nullopt;
    std::string_view field = rest.substr(0, tab);
    rest.remove_prefix(tab + 1);
    return field;
}

std::optional<uint32_t> ParseHex32(std::optional<std::string_view> field) {
    uint32_t value = 0;
    if (!field || field->size() != 8)
        return std::nullopt;
    const auto [end, ec] = std::from_chars(field->data(), field->data() + 8, value, 16);
    if (ec != std::errc() || end != field->data() + 8)
        return std::nullopt;
    return value;
}

std::optional<int64_t> ParseCount(std::optional<std::string_view> field, int64_t max) {
    int64_t value = 0;
    if (!field || field->empty() || field->size() > 19)
        return std::nullopt;
    const char* last = field->data() + field->size();
    const auto [end, ec] = std::from_chars(field->data(), last, value, 10);
    if (ec != std::errc() || end != last || value < 0 || value > max)
        return std::nullopt;
    return value;
}

bool SoundAddress(std::string_view address) {
    if (address.empty() || address.size() > kMaxAddressBytes)
        return false;
    for (unsigned char c : address) {
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

const std::string* SlotText(const RegistryKeyData* key, size_t slot) {
    if (key == nullptr)
        return nullptr;
    const RegistryValue* value = key->Find(SlotName(slot));
    return value == nullptr ? nullptr : std::get_if<std::string>(value);
}

std::optional<StoredPlace> ReadSlot(const RegistryKeyData* key, size_t slot) {
    const std::string* text = SlotText(key, slot);
    return text == nullptr ? std::nullopt : ParsePlaceText(*text);
}

bool SameTexts(const BookIdentity& a, const BookIdentity& b) {
    return a.created == b.created && a.texts == b.texts;
}

}  // namespace

BookIdentity IdentityOf(const doc::TQBXManage& document) {
    const doc::VersionBlock& v = document.Version();
    // A separator no fixed-block text holds keeps "ab"+"c" apart from "a"+"bc".
    const std::string texts = v.Subject + '\x01' + v.BookAuthor + '\x01' + v.Producer;
    return {document.DocumentCheck(), v.CreatedAt, StringCrc(texts)};
}

std::string PlaceText(const BookIdentity& book, int64_t stamp, const ReadingPlace& place) {
    char head[96];
    std::snprintf(head, sizeof head, "%08X\t%08X\t%08X\t%lld\t%d\t", book.check, book.created,
                  book.texts, static_cast<long long>(stamp), place.scroll);
    return std::string(kFormatTag) + '\t' + head + place.address;
}

std::optional<StoredPlace> ParsePlaceText(std::string_view text) {
    std::string_view rest = text;
    if (NextField(rest) != kFormatTag)
        return std::nullopt;
    const std::optional<uint32_t> check = ParseHex32(NextField(rest));
    const std::optional<uint32_t> created = ParseHex32(NextField(rest));
    const std::optional<uint32_t> texts = ParseHex32(NextField(rest));
    const std::optional<int64_t> stamp = ParseCount(NextField(rest), INT64_MAX);
    const std::optional<int64_t> scroll = ParseCount(NextField(rest), kMaxScroll);
    if (!check || !created || !texts || !stamp || !scroll || !SoundAddress(rest))
        return std::nullopt;
    return StoredPlace{
        {*check, *created, *texts}, *stamp, {std::string(rest), static_cast<int32_t>(*scroll)}};
}

ReadingPlaces::ReadingPlaces(RegistryStore store, std::string key, size_t kept)
    : store_(std::move(store)), key_(std::move(key)), kept_(kept) {}

std::optional<ReadingPlace> ReadingPlaces::Find(const BookIdentity& book) const {
    const std::optional<std::vector<std::string>> path = SplitKeyPath(key_);
    const std::optional<HiveData> hive =
        path ? store_.Load(RegistryHive::kCurrentUser) : std::nullopt;
    if (!hive)
        return std::nullopt;
    const RegistryKeyData* key = hive->FindKey(*path);
    std::optional<StoredPlace> best;
    for (size_t slot = 0; slot < kept_; ++slot) {
        std::optional<StoredPlace> stored = ReadSlot(key, slot);
        if (!stored || !SameTexts(stored->book, book))
            continue;
        if (stored->book.check == book.check)
            return stored->place;
        if (!best || stored->stamp > best->stamp)
            best = std::move(stored);
    }
    if (!best)
        return std::nullopt;
    return best->place;
}

bool ReadingPlaces::Remember(const BookIdentity& book, const ReadingPlace& place) const {
    const std::optional<std::vector<std::string>> path = SplitKeyPath(key_);
    if (!path || kept_ == 0 || !SoundAddress(place.address) || place.scroll < 0)
        return false;
    const auto change = [&](HiveData& data) {
        data.CreateKey(*path);
        RegistryKeyData& key = data.KeyAt(*path);
        // The book's own slot, else a free or damaged one, else the one
        // written longest ago.
        size_t own = kept_, free_slot = kept_, oldest = kept_;
        int64_t latest = 0, oldest_stamp = INT64_MAX;
        for (size_t slot = 0; slot < kept_; ++slot) {
            const std::optional<StoredPlace> stored = ReadSlot(&key, slot);
            if (!stored) {
                free_slot = std::min(free_slot, slot);
                continue;
            }
            latest = std::max(latest, stored->stamp);
            if (stored->book == book)
                own = slot;
            if (stored->stamp < oldest_stamp) {
                oldest_stamp = stored->stamp;
                oldest = slot;
            }
        }
        const size_t slot = own < kept_ ? own : free_slot < kept_ ? free_slot : oldest;
        const int64_t stamp = latest < INT64_MAX ? latest + 1 : latest;
        return key.Set(SlotName(slot), PlaceText(book, stamp, place));
    };
    try {
        return store_.Update(RegistryHive::kCurrentUser, change);
    } catch (const std::exception& e) {
        DebugTrace("ReadingPlaces.Remember", e.what());
        return false;
    }
}

size_t ReadingPlaces::Count() const {
    const std::optional<std::vector<std::string>> path = SplitKeyPath(key_);
    const std::optional<HiveData> hive =
        path ? store_.Load(RegistryHive::kCurrentUser) : std::nullopt;
    if (!hive)
        return 0;
    const RegistryKeyData* key = hive->FindKey(*path);
    size_t count = 0;
    for (size_t slot = 0; slot < kept_; ++slot)
        count += ReadSlot(key, slot).has_value();
    return count;
}

}  // namespace q3::server
