// Where the reader left each book: the page shown and how far it was
// scrolled, kept in the settings store for the books read most recently.
// A book is known by its own identity, not by its file, so a book moved or
// renamed is still recognised; a book rewritten by its maker is recognised
// by its creation time and texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/registry_store.h"

namespace q3::doc {
class TQBXManage;
}

namespace q3::server {

// How many books are remembered; the one read longest ago is forgotten.
inline constexpr size_t kReadingPlacesKept = 500;
// The key under the settings key that holds the places.
inline constexpr std::string_view kReadingPlacesKey = "ReadingPlaces";

struct BookIdentity {
    uint32_t check = 0;    // the identity number of the file as it is
    uint32_t created = 0;  // the creation time its maker wrote
    uint32_t texts = 0;    // checksum of its subject, author and producer
    bool operator==(const BookIdentity&) const = default;
};

BookIdentity IdentityOf(const doc::TQBXManage& document);

struct ReadingPlace {
    std::string address;  // the page's document address, section included
    int32_t scroll = 0;   // pixels from the page's top
    bool operator==(const ReadingPlace&) const = default;
};

// The stored text of one place, and back; nothing for a damaged text.
std::string PlaceText(const BookIdentity& book, int64_t stamp, const ReadingPlace& place);
struct StoredPlace {
    BookIdentity book;
    int64_t stamp = 0;  // larger for a place written later
    ReadingPlace place;
};
std::optional<StoredPlace> ParsePlaceText(std::string_view text);

class ReadingPlaces {
  public:
    // key: the full path of the key under HKEY_CURRENT_USER.
    ReadingPlaces(RegistryStore store, std::string key, size_t kept = kReadingPlacesKept);

    // The place of this very book; else that of the latest book with the
    // same creation time and texts, which a rewritten book has.
    std::optional<ReadingPlace> Find(const BookIdentity& book) const;
    // Stores the place as the book's latest. False when the store cannot be
    // written; nothing is thrown.
    bool Remember(const BookIdentity& book, const ReadingPlace& place) const;
    // The books held, for the bound.
    size_t Count() const;

  private:
    RegistryStore store_;
    std::string key_;
    size_t kept_;
};

}  // namespace q3::server
