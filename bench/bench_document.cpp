// How fast the document manager hands out records, against the fastest raw
// inflaters given the same stored bytes already deciphered in memory, and
// whether the cost of one read depends on how many records the document holds.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "corpus.h"
#include "document/manager.h"
#include "document/record_codec.h"
#include "summary_reporter.h"

namespace {

using q3::doc::TQBXManage;

constexpr int32_t kBigCount = 100000;
constexpr int32_t kSmallCount = 1000;

// Every record of a document, deciphered and laid end to end in memory.
struct DecipheredRecords {
    struct Item {
        size_t at = 0;
        size_t length = 0;   // stored bytes, size field included
        size_t content = 0;  // UncompressedSize
    };
    std::string arena;
    std::vector<Item> items;
    uint64_t content_bytes = 0;
    size_t largest = 0;
};

struct Documents {
    std::unique_ptr<TQBXManage> big;
    std::unique_ptr<TQBXManage> small;
    DecipheredRecords raw;
};

Documents* g_docs = nullptr;

std::unique_ptr<TQBXManage> OpenDocument(const q3::bench::CorpusOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    bool generated = false;
    const std::string path = q3::bench::EnsureCorpus(Q3_BENCH_CACHE_DIR, options, &generated);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto m = std::make_unique<TQBXManage>(path);
    m->Open();
    std::printf("corpus: %s, %d records, %.1f MB stored, %s in %.1f s\n", path.c_str(),
                m->DirectoryCount(), static_cast<double>(m->FileSize()) / 1e6,
                generated ? "generated" : "reused", seconds);
    return m;
}

DecipheredRecords LoadDeciphered(TQBXManage& m) {
    DecipheredRecords out;
    out.arena.reserve(m.FileSize());
    for (int32_t r = 1; r <= m.DirectoryCount(); ++r) {
        q3::doc::DirectoryEntry e;
        if (!m.ReadEntry(r, e) || e.Length < 4)
            throw std::runtime_error("corpus entry damaged");
        std::string bytes(static_cast<size_t>(e.Length), '\0');
        if (!m.IORead(e.Offset, bytes.data(), bytes.size()) ||
            !q3::doc::DecipherAndVerify(bytes, q3::doc::kDefaultKey, e.Check))
            throw std::runtime_error("corpus record damaged");
        uint32_t size = 0;
        std::memcpy(&size, bytes.data(), 4);  // little-endian host
        out.items.push_back({out.arena.size(), bytes.size(), size});
        out.arena += bytes;
        out.content_bytes += size;
        out.largest = std::max<size_t>(out.largest, size);
    }
    return out;
}

const unsigned char* StreamOf(const DecipheredRecords& d, const DecipheredRecords::Item& item) {
    return reinterpret_cast<const unsigned char*>(d.arena.data() + item.at + 4);
}

void BM_ReadRecord(benchmark::State& state) {
    TQBXManage& m = *g_docs->big;
    std::string stream;
    for (auto _ : state) {
        for (int32_t r = 1; r <= m.DirectoryCount(); ++r) {
            if (!m.ReadRecord(r, stream)) {
                state.SkipWithError("a record could not be read");
                return;
            }
            benchmark::DoNotOptimize(stream.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(g_docs->raw.content_bytes));
}

void BM_RawLibdeflate(benchmark::State& state) {
    const DecipheredRecords& d = g_docs->raw;
    std::vector<unsigned char> out(d.largest);
    libdeflate_decompressor* z = libdeflate_alloc_decompressor();
    for (auto _ : state) {
        for (const auto& item : d.items) {
            // The size is known up front: no actual-size out-parameter.
            if (libdeflate_zlib_decompress(z, StreamOf(d, item), item.length - 4, out.data(),
                                           item.content, nullptr) != LIBDEFLATE_SUCCESS) {
                state.SkipWithError("libdeflate refused a record");
                libdeflate_free_decompressor(z);
                return;
            }
            benchmark::DoNotOptimize(out.data());
        }
    }
    libdeflate_free_decompressor(z);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(d.content_bytes));
}

void BM_RawZlib(benchmark::State& state) {
    const DecipheredRecords& d = g_docs->raw;
    std::vector<unsigned char> out(d.largest);
    for (auto _ : state) {
        for (const auto& item : d.items) {
            uLongf n = static_cast<uLongf>(item.content);
            if (uncompress(out.data(), &n, StreamOf(d, item),
                           static_cast<uLong>(item.length - 4)) != Z_OK ||
                n != item.content) {
                state.SkipWithError("zlib refused a record");
                return;
            }
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(d.content_bytes));
}

// The same 1000 records (both documents share them byte for byte), read one
// per iteration from a small and from a large document.
void BM_ReadOneRecord(benchmark::State& state) {
    TQBXManage& m = state.range(0) == kBigCount ? *g_docs->big : *g_docs->small;
    std::string stream;
    int32_t r = 1;
    for (auto _ : state) {
        if (!m.ReadRecord(r, stream)) {
            state.SkipWithError("a record could not be read");
            return;
        }
        benchmark::DoNotOptimize(stream.data());
        r = r % kSmallCount + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_ReadRecord)
    ->Unit(benchmark::kMillisecond)

    ->MinTime(2.0)
    ->Repetitions(3)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_RawLibdeflate)
    ->Unit(benchmark::kMillisecond)

    ->MinTime(2.0)
    ->Repetitions(3)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_RawZlib)
    ->Unit(benchmark::kMillisecond)

    ->MinTime(2.0)
    ->Repetitions(3)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_ReadOneRecord)
    ->Arg(kSmallCount)
    ->Arg(kBigCount)
    ->Unit(benchmark::kMicrosecond)

    ->MinTime(0.5)
    ->Repetitions(3)
    ->DisplayAggregatesOnly(true);

using q3::bench::SummaryReporter;

constexpr double kMiB = 1024.0 * 1024.0;

// CPU time, not wall time: the machine is shared, and a process waiting for a
// core is not slower code.
void PrintSummary(const SummaryReporter& rep) {
    const auto* read = rep.Find("BM_ReadRecord");
    const auto* fast = rep.Find("BM_RawLibdeflate");
    const auto* zlib = rep.Find("BM_RawZlib");
    if (read && fast && zlib) {
        std::printf(
            "\nsummary: ReadRecord %.1f MiB/s, libdeflate %.1f MiB/s, zlib %.1f MiB/s "
            "(content bytes per CPU second, medians of 3)\n",
            read->bytes_per_second / kMiB, fast->bytes_per_second / kMiB,
            zlib->bytes_per_second / kMiB);
        const double best = std::max(fast->bytes_per_second, zlib->bytes_per_second);
        std::printf(
            "summary: ReadRecord/libdeflate = %.3f, ReadRecord/zlib = %.3f; "
            "ReadRecord/fastest raw decoder = %.3f (goal >= 0.9)\n",
            read->bytes_per_second / fast->bytes_per_second,
            read->bytes_per_second / zlib->bytes_per_second, read->bytes_per_second / best);
    }
    const auto* small = rep.Find("BM_ReadOneRecord/" + std::to_string(kSmallCount));
    const auto* big = rep.Find("BM_ReadOneRecord/" + std::to_string(kBigCount));
    if (small && big)
        std::printf(
            "summary: one record from %d records %.2f us, from %d records %.2f us (CPU); "
            "ratio %.3f (should stay near 1)\n",
            kSmallCount, small->cpu_time, kBigCount, big->cpu_time,
            big->cpu_time / small->cpu_time);
}

bool WantsTabular(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--benchmark_counters_tabular=true") == 0 ||
            std::strcmp(argv[i], "--benchmark_counters_tabular") == 0)
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    int opts = WantsTabular(argc, argv) ? benchmark::ConsoleReporter::OO_Tabular : 0;
    if (isatty(STDOUT_FILENO))
        opts |= benchmark::ConsoleReporter::OO_Color;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    Documents docs;
    docs.small = OpenDocument({.records = kSmallCount});
    docs.big = OpenDocument({.records = kBigCount});
    docs.raw = LoadDeciphered(*docs.big);
    std::printf(
        "corpus: %zu records, %.1f MB of content, mean %.0f bytes, largest %zu bytes\n",
        docs.raw.items.size(), static_cast<double>(docs.raw.content_bytes) / 1e6,
        static_cast<double>(docs.raw.content_bytes) / static_cast<double>(docs.raw.items.size()),
        docs.raw.largest);
    std::fflush(stdout);
    g_docs = &docs;

    SummaryReporter reporter(static_cast<benchmark::ConsoleReporter::OutputOptions>(opts));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    g_docs = nullptr;
    return 0;
}
