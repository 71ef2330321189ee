#include "server/reading_places.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace q3::server {
namespace {

using q3::testing::TempDir;

constexpr const char* kKey = "SOFTWARE\\Tarvik\\Quillon3\\ReadingPlaces";

BookIdentity Book(uint32_t check, uint32_t texts = 7) {
    return {check, 0x3B2F0000, texts};
}

ReadingPlace Place(const std::string& page, int32_t scroll = 0) {
    return {"qbx://reader/" + page, scroll};
}

TEST(ReadingPlacesTest, PlacesSurviveTheStoreAndRewrittenBooksFindTheirsByTheirTexts) {
    TempDir dir;
    const ReadingPlaces places(RegistryStore(dir.path()), kKey);
    EXPECT_EQ(places.Find(Book(1)), std::nullopt);
    ASSERT_TRUE(places.Remember(Book(1), Place("one/second.htm#part%202", 1234)));
    // Another book that happens to share the creation time and texts keeps
    // a place of its own.
    ASSERT_TRUE(places.Remember(Book(2), Place("cover.htm")));
    ASSERT_TRUE(places.Remember(Book(1), Place("one/first.htm", 77)));

    const ReadingPlaces again(RegistryStore(dir.path()), kKey);
    EXPECT_EQ(again.Find(Book(1)), Place("one/first.htm", 77));
    EXPECT_EQ(again.Find(Book(2)), Place("cover.htm"));
    EXPECT_EQ(again.Count(), 2u);
    // A rewritten book has a new identity number: it takes the latest place
    // of its texts; other texts are another book.
    EXPECT_EQ(again.Find(Book(3)), Place("one/first.htm", 77));
    EXPECT_EQ(again.Find(Book(1, 8)), std::nullopt);
    // Nothing the store could not give back is written.
    EXPECT_FALSE(again.Remember(Book(4), Place("a\tb")));
    EXPECT_FALSE(again.Remember(Book(4), {"", 0}));
    EXPECT_EQ(again.Count(), 2u);
}

TEST(ReadingPlacesTest, KeepsTheBooksReadLatestAndForgetsTheOneReadLongestAgo) {
    TempDir dir;
    const ReadingPlaces places(RegistryStore(dir.path()), kKey);
    for (uint32_t b = 0; b < kReadingPlacesKept; ++b)
        ASSERT_TRUE(places.Remember(Book(b, b), Place("p" + std::to_string(b) + ".htm")));
    EXPECT_EQ(places.Count(), kReadingPlacesKept);
    // Book 0 is read again, so book 1 is now the one read longest ago.
    ASSERT_TRUE(places.Remember(Book(0, 0), Place("again.htm")));
    ASSERT_TRUE(places.Remember(Book(9000, 9000), Place("new.htm")));
    EXPECT_EQ(places.Count(), kReadingPlacesKept);
    EXPECT_EQ(places.Find(Book(0, 0)), Place("again.htm"));
    EXPECT_EQ(places.Find(Book(9000, 9000)), Place("new.htm"));
    EXPECT_EQ(places.Find(Book(1, 1)), std::nullopt);
    EXPECT_EQ(places.Find(Book(2, 2)), Place("p2.htm"));
}

TEST(ReadingPlacesTest, DamagedStoredValuesAreIgnoredAndTheirSlotsReused) {
    TempDir dir;
    const RegistryStore store(dir.path());
    const std::string good = PlaceText(Book(1), 5, Place("x.htm", 3));
    ASSERT_EQ(ParsePlaceText(good)->place, Place("x.htm", 3));
    const std::string damaged[] = {
        "",
        "2" + good.substr(1),                                          // a format not known
        good.substr(0, good.find("qbx://")),                           // no address
        "1\t0000000G\t3B2F0000\t00000007\t5\t3\tqbx://reader/x.htm",   // not hexadecimal
        "1\t00000001\t3B2F0000\t00000007\t-5\t3\tqbx://reader/x.htm",  // negative stamp
        "1\t00000001\t3B2F0000\t00000007\t5\t999999999999\tqbx://reader/x.htm",  // scroll
        "1\t00000001\t3B2F0000\t00000007\t5\t3\tqbx://reader/x\x01.htm",         // control byte
        "1\t00000001\t3B2F0000\t00000007\t5\t3\t" + std::string(5000, 'a'),      // too long
    };
    ASSERT_TRUE(store.Update(RegistryHive::kCurrentUser, [&](HiveData& data) {
        const auto path = *SplitKeyPath(kKey);
        data.CreateKey(path);
        RegistryKeyData& key = data.KeyAt(path);
        key.Set("Place0", RegistryValue(int32_t{12}));  // a value of the other type
        for (size_t i = 0; i < std::size(damaged); ++i)
            key.Set("Place" + std::to_string(i + 1), RegistryValue(damaged[i]));
        return true;
    }));
    const ReadingPlaces places(store, kKey, std::size(damaged) + 1);
    EXPECT_EQ(places.Count(), 0u);
    EXPECT_EQ(places.Find(Book(1)), std::nullopt);
    // The damaged slots are free ones: the bound still holds.
    for (uint32_t b = 0; b < 20; ++b)
        ASSERT_TRUE(places.Remember(Book(b), Place("p.htm", static_cast<int32_t>(b))));
    EXPECT_EQ(places.Count(), std::size(damaged) + 1);
    EXPECT_EQ(places.Find(Book(19)), Place("p.htm", 19));
}

}  // namespace
}  // namespace q3::server
