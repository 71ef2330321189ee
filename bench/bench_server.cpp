// The content server's costs, each against the floor it is measured by in the
// same run: building the contents of a 100 000-item sitemap against only
// splitting its text into lines; full-text search over the 100 000-record book
// against the fastest raw decoder of the same records, and over a book of
// 100 003 small pages against its time goal; one address lookup.
#include <benchmark/benchmark.h>
#include <libdeflate.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/crc.h"
#include "common/gbk.h"
#include "corpus.h"
#include "document/manager.h"
#include "document/record_codec.h"
#include "server/full_text_search.h"
#include "server/ht_server.h"
#include "summary_reporter.h"
#include "support/forge_crc.h"

namespace {

using q3::server::MemoryContentsModel;
using q3::server::Tdm_htServer;
using q3::testing::ForgeCrc;

constexpr int32_t kItems = 100000;        // sitemap items
constexpr int32_t kBookRecords = 100000;  // records of the generated book
constexpr int32_t kSmallPagesRecords = 100003;

// A sitemap as books carry it: nested chapters, GBK captions, a path line
// after each caption line, one page per record from 2 on. With one_path every
// item names the same page, as a hostile (or careless) book may.
std::string MakeSitemap(int32_t items, bool one_path = false) {
    std::string s = "<HTML><BODY>\r\n<UL>\r\n";
    const std::string chapter = q3::Utf8ToGbk("第章节").value();
    for (int32_t i = 0; i < items; ++i) {
        if (i % 20 == 0 && i > 0)
            s += "</UL>\r\n";
        if (i % 20 == 0)
            s += "<LI><OBJECT type=\"text/sitemap\">\r\n";
        if (i % 20 == 0) {
            s += "<param name=\"Name\" value=\"" + chapter + " " + std::to_string(i / 20) +
                 "\" id=\"-1\">\r\n<param name=\"Local\" value=\"\">\r\n</OBJECT>\r\n<UL>\r\n";
        }
        s += "<LI><OBJECT type=\"text/sitemap\">\r\n<param name=\"Name\" value=\"" + chapter +
             " Page " + std::to_string(i) + "\" id=\"" + std::to_string(i + 2) +
             "\">\r\n<param name=\"Local\" value=\"Part" + std::to_string(i / 1000) + "\\Page" +
             std::to_string(one_path ? 0 : i) + ".htm\">\r\n</OBJECT>\r\n";
    }
    s += "</UL>\r\n</UL>\r\n</BODY></HTML>\r\n";
    return s;
}

const std::string& Sitemap() {
    static const std::string text = MakeSitemap(kItems);
    return text;
}

void BM_BuildContents(benchmark::State& state) {
    for (auto _ : state) {
        Tdm_htServer srv;
        MemoryContentsModel model;
        srv.LoadContents(Sitemap(), model);
        benchmark::DoNotOptimize(model.NodeCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Sitemap().size()));
}

const std::string& OnePathSitemap() {
    static const std::string text = MakeSitemap(kItems, true);
    return text;
}

// The same number of items, every one naming the same path: each later item
// needs a "[[n]=" key of its own.
void BM_BuildContentsDuplicates(benchmark::State& state) {
    for (auto _ : state) {
        Tdm_htServer srv;
        MemoryContentsModel model;
        srv.LoadContents(OnePathSitemap(), model);
        benchmark::DoNotOptimize(model.NodeCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(OnePathSitemap().size()));
}

constexpr int32_t kCollidingItems = 64000;

// kCollidingItems different paths of one length; with colliding, all share
// one checksum, as a hostile book's may, so every later item needs a "[[n]="
// key and each of them starts from the same taken keys.
std::string MakeCollidingSitemap(bool colliding) {
    std::string s = "<HTML><BODY>\r\n<UL>\r\n";
    int32_t made = 0;
    for (uint32_t n = 0; made < kCollidingItems; ++n) {
        std::string prefix = "p\\" + std::to_string(n);
        prefix.resize(12, '-');
        const std::string path = colliding ? ForgeCrc(prefix, 0x5EED1234u) : prefix + "wxyz";
        if (path.empty())
            continue;
        s += "<LI><OBJECT type=\"text/sitemap\">\r\n<param name=\"Name\" value=\"Page " +
             std::to_string(made) + "\" id=\"" + std::to_string(made + 2) +
             "\">\r\n<param name=\"Local\" value=\"" + path + "\">\r\n</OBJECT>\r\n";
        ++made;
    }
    s += "</UL>\r\n</BODY></HTML>\r\n";
    return s;
}

void BM_BuildContentsPaths(benchmark::State& state) {
    static const std::string texts[2] = {MakeCollidingSitemap(false), MakeCollidingSitemap(true)};
    const std::string& text = texts[state.range(0)];
    for (auto _ : state) {
        Tdm_htServer srv;
        MemoryContentsModel model;
        srv.LoadContents(text, model);
        benchmark::DoNotOptimize(model.NodeCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// The floor: the same text split into lines, and nothing else.
void BM_SplitLines(benchmark::State& state) {
    const std::string& text = Sitemap();
    for (auto _ : state) {
        std::vector<std::string_view> lines;
        size_t start = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\r' && text[i] != '\n')
                continue;
            lines.push_back(std::string_view(text).substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Sitemap().size()));
}

// The book, opened once, with the sitemap as its contents.
struct Book {
    Tdm_htServer srv;
    MemoryContentsModel model;
    std::string sitemap;
    std::vector<std::string> records;  // deciphered stored records 2..N-1, for the raw decoder
    uint64_t content_bytes = 0;        // of records 2..N-1
    uint64_t stored_bytes = 0;         // the whole file
    size_t largest = 0;
};

// Opens the corpus of these options; with raw, it also keeps the deciphered
// stored records for the raw decoder.
std::unique_ptr<Book> OpenBook(const q3::bench::CorpusOptions& options, bool raw) {
    auto b = std::make_unique<Book>();
    const std::string path = q3::bench::EnsureCorpus(Q3_BENCH_CACHE_DIR, options);
    if (b->srv.OpenDocument(path, {}).kind != q3::server::OpenOutcome::kOpened)
        throw std::runtime_error("the corpus does not open");
    // Items name records 2 .. N - 1, the ones a search visits.
    b->sitemap = MakeSitemap(options.records - 2);
    b->srv.LoadContents(b->sitemap, b->model);
    q3::doc::TQBXManage& m = *b->srv.Document();
    b->stored_bytes = m.FileSize();
    for (int32_t r = 2; r < m.DirectoryCount(); ++r) {
        q3::doc::DirectoryEntry e;
        if (!m.ReadEntry(r, e))
            throw std::runtime_error("no entry");
        std::string stored(static_cast<size_t>(e.Length), '\0');
        if (!m.IORead(e.Offset, stored.data(), stored.size()) ||
            !q3::doc::DecipherAndVerify(stored, q3::doc::kDefaultKey, e.Check))
            throw std::runtime_error("a record does not decipher");
        std::string content = stored;
        if (!q3::doc::UncompressStream(content))
            throw std::runtime_error("bad record");
        b->content_bytes += content.size();
        b->largest = std::max(b->largest, content.size());
        if (raw)
            b->records.push_back(std::move(stored));
    }
    return b;
}

Book& TheBook() {
    static Book* book = [] {
        q3::bench::CorpusOptions options;
        options.records = kBookRecords;
        return OpenBook(options, true).release();
    }();
    return *book;
}

// A book of the shape users have timed a search on: 100 003 records of small
// pages (about 1.7 KB of HTML each, 168 MB in all) stored in 68 MB, so
// compressed at zlib's default level from text that repeats its phrases as
// running text does (fresh draws alone would store 110 MB, and decode slower
// than the book timed).
Book& SmallPagesBook() {
    static Book* book = [] {
        q3::bench::CorpusOptions options;
        options.records = kSmallPagesRecords;
        options.median_page_bytes = 1370;
        options.repeat_percent = 75;
        options.level = 6;
        return OpenBook(options, true).release();
    }();
    return *book;
}

// Args: the word (0 ASCII, 1 GBK), the inflate workers beside the caller (0:
// one core, 2: two). Process CPU time counts the workers too; wall time is
// what the user waits.
void BM_FullTextSearch(benchmark::State& state) {
    Book& b = TheBook();
    // A word no page holds: every record is decoded and searched to its end,
    // the most a search ever costs.
    const std::string word = state.range(0) == 0 ? "quillonxyz" : q3::Utf8ToGbk("龘龘").value();
    const int workers = static_cast<int>(state.range(1));
    size_t found = 0;
    for (auto _ : state) {
        q3::server::FullTextSearch search(b.srv, b.model, {[&] { return word; }, {}, {}});
        search.SetWalkWorkers(workers);
        found = search.Run().size();
    }
    state.counters["results"] = static_cast<double>(found);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(b.content_bytes));
}

// Arg: the inflate workers beside the caller. A GBK word no page holds.
void BM_SmallPagesSearch(benchmark::State& state) {
    Book& b = SmallPagesBook();
    const std::string word = q3::Utf8ToGbk("龘龘").value();
    for (auto _ : state) {
        q3::server::FullTextSearch search(b.srv, b.model, {[&] { return word; }, {}, {}});
        search.SetWalkWorkers(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(search.Run());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(b.content_bytes));
}

// The floor: libdeflate over the book's deciphered records, on one core.
void DecodeAll(benchmark::State& state, const Book& b) {
    libdeflate_decompressor* z = libdeflate_alloc_decompressor();
    std::vector<char> out(b.largest);
    for (auto _ : state) {
        for (const std::string& rec : b.records) {
            const auto* p = reinterpret_cast<const unsigned char*>(rec.data());
            const size_t size = p[0] | p[1] << 8 | p[2] << 16 | static_cast<size_t>(p[3]) << 24;
            size_t got = 0;
            if (libdeflate_zlib_decompress(z, p + 4, rec.size() - 4, out.data(), size, &got) !=
                LIBDEFLATE_SUCCESS) {
                state.SkipWithError("libdeflate refused a record");
                break;
            }
            benchmark::DoNotOptimize(out.data());
        }
    }
    libdeflate_free_decompressor(z);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(b.content_bytes));
}

void BM_RawDecoder(benchmark::State& state) {
    DecodeAll(state, TheBook());
}

void BM_SmallPagesRawDecoder(benchmark::State& state) {
    DecodeAll(state, SmallPagesBook());
}

void BM_Lookup(benchmark::State& state) {
    Book& b = TheBook();
    std::vector<std::string> paths;
    for (int32_t i = 0; i < kItems; i += 7)
        paths.push_back("part" + std::to_string(i / 1000) + "/page" + std::to_string(i) + ".htm");
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.srv.Lookup(paths[i]));
        i = (i + 1) % paths.size();
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_BuildContents)->Unit(benchmark::kMillisecond)->Repetitions(3)->DisplayAggregatesOnly();
BENCHMARK(BM_BuildContentsDuplicates)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->DisplayAggregatesOnly();
// 0: distinct checksums, 1: one checksum for all.
BENCHMARK(BM_BuildContentsPaths)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->DisplayAggregatesOnly();
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond)->Repetitions(3)->DisplayAggregatesOnly();
// The decoder runs on one thread: its process CPU time is its time.
void DecoderTimes(benchmark::internal::Benchmark* b) {
    b->MeasureProcessCPUTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0)
        ->Repetitions(3)
        ->DisplayAggregatesOnly();
}

// A search's workers count in its CPU time; its wall time is what users wait.
void SearchTimes(benchmark::internal::Benchmark* b) {
    DecoderTimes(b);
    b->UseRealTime();
}

BENCHMARK(BM_FullTextSearch)->ArgsProduct({{0, 1}, {0, 2}})->Apply(SearchTimes);
BENCHMARK(BM_SmallPagesSearch)->Arg(0)->Arg(2)->Apply(SearchTimes);
BENCHMARK(BM_RawDecoder)->Apply(DecoderTimes);
BENCHMARK(BM_SmallPagesRawDecoder)->Apply(DecoderTimes);
BENCHMARK(BM_Lookup)->Unit(benchmark::kNanosecond)->Repetitions(3)->DisplayAggregatesOnly();

void PrintSummary(const q3::bench::SummaryReporter& rep) {
    const auto* build = rep.Find("BM_BuildContents");
    const auto* split = rep.Find("BM_SplitLines");
    if (build && split)
        std::printf(
            "\nsummary: BuildContents %.1f ms, line splitting %.1f ms: %.2f times "
            "(goal: within 3)\n",
            build->cpu_time, split->cpu_time, build->cpu_time / split->cpu_time);
    const auto* same = rep.Find("BM_BuildContentsDuplicates");
    if (build && same)
        std::printf(
            "summary: %d items naming one path %.1f ms, %d distinct paths %.1f ms: %.2f "
            "times (goal: within 3)\n",
            kItems, same->cpu_time, kItems, build->cpu_time, same->cpu_time / build->cpu_time);
    const auto* distinct = rep.Find("BM_BuildContentsPaths/0");
    const auto* colliding = rep.Find("BM_BuildContentsPaths/1");
    if (distinct && colliding)
        std::printf(
            "summary: %d paths sharing one checksum %.1f ms, %d distinct paths %.1f ms: %.2f "
            "times (goal: within 3)\n",
            kCollidingItems, colliding->cpu_time, kCollidingItems, distinct->cpu_time,
            colliding->cpu_time / distinct->cpu_time);
    // Content bytes per CPU second, so a shared machine's waits do not count.
    const auto* raw = rep.Find("BM_RawDecoder");
    const Book& b = TheBook();
    const auto mib_per_cpu_s = [&](const q3::bench::SummaryReporter::Figures& f) {
        return static_cast<double>(b.content_bytes) / 1048576.0 / (f.cpu_time / 1000.0);
    };
    for (const char* arg : {"0", "1"}) {
        const char* kind = arg[0] == '0' ? "ASCII" : "GBK";
        const auto* one = rep.Find(std::string("BM_FullTextSearch/") + arg + "/0");
        const auto* two = rep.Find(std::string("BM_FullTextSearch/") + arg + "/2");
        if (one && raw)
            std::printf(
                "summary: full-text search (%s word) on one core %.1f MiB/s, raw libdeflate "
                "%.1f MiB/s: ratio %.3f (goal >= 0.9)\n",
                kind, mib_per_cpu_s(*one), mib_per_cpu_s(*raw),
                mib_per_cpu_s(*one) / mib_per_cpu_s(*raw));
        if (one && two)
            std::printf(
                "summary: full-text search (%s word) of %d records: one core %.0f ms, two cores "
                "%.0f ms wall (%.0f ms CPU): %.2f times as fast (goal >= 1.6; <= 300 ms)\n",
                kind, kBookRecords, one->real_time, two->real_time, two->cpu_time,
                one->real_time / two->real_time);
    }
    const auto* small_one = rep.Find("BM_SmallPagesSearch/0");
    const auto* small_two = rep.Find("BM_SmallPagesSearch/2");
    if (small_one && small_two) {
        const Book& small = SmallPagesBook();
        std::printf(
            "summary: full-text search (GBK word) of %d small pages (%.0f MB of HTML, %.0f MB "
            "stored): one core %.0f ms, two cores %.0f ms wall: %.2f times as fast (goal <= "
            "300 ms)\n",
            kSmallPagesRecords, static_cast<double>(small.content_bytes) / 1e6,
            static_cast<double>(small.stored_bytes) / 1e6, small_one->real_time,
            small_two->real_time, small_one->real_time / small_two->real_time);
        // What no search can beat: the raw decoder's time split evenly over two cores.
        if (const auto* floor = rep.Find("BM_SmallPagesRawDecoder"))
            std::printf(
                "summary: raw libdeflate over the same records: one core %.0f ms CPU, half of it "
                "%.0f ms; two-core search at %.2f of that floor\n",
                floor->cpu_time, floor->cpu_time / 2, floor->cpu_time / 2 / small_two->real_time);
    }
    if (const auto* lookup = rep.Find("BM_Lookup"))
        std::printf("summary: Lookup %.0f ns per address\n", lookup->cpu_time);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    q3::bench::SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
