// A generated book for the benchmarks: HTML pages of realistic sizes (1 to 20
// KB, about 5 KB on average) holding GBK Chinese text drawn from a vocabulary
// with a Zipf-like frequency, so the pages compress about as real books do
// rather than collapsing into repeats. Every page follows from the seed and its
// record number alone, so documents of different lengths share their first
// records byte for byte.
#pragma once

#include <cstdint>
#include <string>

namespace q3::bench {

inline constexpr int kDefaultMedianPageBytes = 4096;

struct CorpusOptions {
    int32_t records = 100000;
    uint64_t seed = 20090915;
    int level = 1;  // zlib level; the fast one keeps generation short
    // Pages are log-normal around this size, clamped to a quarter of it and
    // five times it: the default gives a mean of about 5 KB.
    int median_page_bytes = kDefaultMedianPageBytes;
    // The share of clauses (in percent) that repeat one said earlier on the
    // same page, as running text repeats its names and phrases; 0 draws every
    // clause afresh, which compresses worse than real books do.
    int repeat_percent = 0;
};

// The content of record r: one GBK HTML page.
std::string GeneratePage(uint64_t seed, int32_t r, int median_page_bytes = kDefaultMedianPageBytes,
                         int repeat_percent = 0);

// Writes the whole document to path (through a temporary file and a rename,
// so an interrupted run leaves no half document behind).
void WriteCorpus(const std::string& path, const CorpusOptions& options);

// True when path holds the document WriteCorpus makes for these options.
bool CorpusIsValid(const std::string& path, const CorpusOptions& options);

// The path of the document for these options inside dir, written only when no
// valid one is there yet. generated tells whether it was written now.
std::string EnsureCorpus(const std::string& dir, const CorpusOptions& options,
                         bool* generated = nullptr);

}  // namespace q3::bench
