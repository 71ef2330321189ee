// One full-text search of the generated 100 000-record book through the real
// main window, against the same search with no window (what `qbxtool search`
// runs), and the longest time the main loop went unserved meanwhile: a 10 ms
// timer records the largest gap between its ticks.
//
//   cmake -S . -B build -DQUILLON3_BENCH=ON && cmake --build build
//   xvfb-run -a build/bench/measure_window_search [WORD...]
//
// WORD is UTF-8; without one, a word no page holds, one every page holds and
// an ordinary one are searched. The book is kept beside the other generated
// documents and reused while valid.
#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <gtkmm/treeview.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/gbk.h"
#include "corpus.h"
#include "document/writer.h"
#include "reader/main_window/main_window.h"
#include "server/full_text_search.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kRecords = 100000;
constexpr uint64_t kSeed = 20090915;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The contents record: one item per page, records 2 .. kRecords - 1, twenty to
// a chapter, as the content server benchmark lays them out.
std::string Sitemap() {
    const std::string page = q3::Utf8ToGbk("第").value();
    const std::string chapter = q3::Utf8ToGbk("章").value();
    std::string s = "<HTML><BODY>\r\n<UL>\r\n";
    for (int32_t r = 2; r < kRecords; ++r) {
        const int32_t i = r - 2;
        if (i % 20 == 0) {
            if (i > 0)
                s += "</UL>\r\n";
            s += "<LI><OBJECT type=\"text/sitemap\">\r\n<param name=\"Name\" value=\"" + chapter +
                 std::to_string(i / 20) +
                 "\" id=\"-1\">\r\n<param name=\"Local\" value=\"\">\r\n</OBJECT>\r\n<UL>\r\n";
        }
        s += "<LI><OBJECT type=\"text/sitemap\">\r\n<param name=\"Name\" value=\"" + page +
             std::to_string(r) + "\" id=\"" + std::to_string(r) +
             "\">\r\n<param name=\"Local\" value=\"part" + std::to_string(r / 1000) + "\\page" +
             std::to_string(r) + ".htm\">\r\n</OBJECT>\r\n";
    }
    s += "</UL>\r\n</UL>\r\n</BODY></HTML>\r\n";
    return s;
}

std::string EnsureBook() {
    const std::filesystem::path dir = Q3_BENCH_CACHE_DIR;
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "window-search-100000-v2.qbx").string();
    if (std::filesystem::exists(path))
        return path;
    std::fprintf(stderr, "writing %s ...\n", path.c_str());
    q3::doc::QbxWriter writer(q3::doc::DocumentInfo{});
    writer.AddRecord(Sitemap(), 1);
    for (int32_t r = 2; r <= kRecords; ++r)
        writer.AddRecord(q3::bench::GeneratePage(kSeed, r), 1);
    writer.WriteFile(path);
    return path;
}

// Wall and processor time: the machine may be shared, and the processor
// time is what the search itself costs.
struct Times {
    double wall_ms = 0, cpu_ms = 0;
};

class Stopwatch {
  public:
    Stopwatch() : wall_(Clock::now()), cpu_(std::clock()) {}
    Times Elapsed() const {
        return {Ms(Clock::now() - wall_),
                1000.0 * static_cast<double>(std::clock() - cpu_) / CLOCKS_PER_SEC};
    }

  private:
    Clock::time_point wall_;
    std::clock_t cpu_;
};

// The walk without a window, as `qbxtool search` runs it. The document is
// opened for this run alone: it is held exclusively while open.
Times CoreSearch(const std::string& book, const std::string& word, size_t& results) {
    q3::server::Tdm_htServer srv;
    q3::server::MemoryContentsModel model;
    const auto outcome = srv.OpenDocument(book, {});
    srv.LoadContents(outcome.contents_text, model);
    const std::optional<std::string> gbk = q3::Utf8ToGbk(word);
    q3::server::FullTextSearch core(srv, model, {[&] { return gbk; }, {}, {}});
    const Stopwatch watch;
    results = core.Run().size();
    return watch.Elapsed();
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The longest time the main loop went unserved: between two ticks of a
// 10 ms timer, on the clock and in the main thread's processor time (on a
// busy machine the clock also counts waiting for a processor).
struct Gaps {
    double wall_ms = 0, cpu_ms = 0;
};

// The rows of the list of that name, found as an assistive tool finds it.
size_t ListedRows(Gtk::Widget& widget, const std::string& name) {
    if (auto* list = dynamic_cast<Gtk::TreeView*>(&widget); list && list->get_name() == name)
        return list->get_model() ? list->get_model()->children().size() : 0;
    size_t found = 0;
    if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
        for (Gtk::Widget* child : container->get_children())
            found = std::max(found, ListedRows(*child, name));
    }
    return found;
}

Times WindowSearch(q3::reader::Tfm_Quillon3& w, const std::string& word, size_t& results,
                   Gaps& gaps) {
    auto last = Clock::now();
    double last_cpu = ThreadCpuMs();
    const auto tick = [&] {
        const auto now = Clock::now();
        const double now_cpu = ThreadCpuMs();
        gaps.wall_ms = std::max(gaps.wall_ms, Ms(now - last));
        gaps.cpu_ms = std::max(gaps.cpu_ms, now_cpu - last_cpu);
        last = now;
        last_cpu = now_cpu;
        return true;
    };
    sigc::connection ticks = Glib::signal_timeout().connect(tick, 10);
    const Stopwatch watch;
    last = Clock::now();
    last_cpu = ThreadCpuMs();
    w.StartFullTextSearch(word);
    const Times took = watch.Elapsed();
    tick();
    ticks.disconnect();
    results = ListedRows(w, "search_results");
    return took;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty())
        words = {"quillonxyz", "目录", "发展"};
    const std::string book = EnsureBook();

    // Settings and data of this run stay out of the user's folders.
    char folder[] = "/tmp/q3-window-search-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        return 1;
    setenv("XDG_CONFIG_HOME", (std::string(folder) + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (std::string(folder) + "/data").c_str(), 1);
    if (!gtk_init_check(&argc, &argv)) {
        std::fputs("needs a display (run it under xvfb-run)\n", stderr);
        return 1;
    }
    Gtk::Main::init_gtkmm_internals();

    std::vector<Times> core(words.size());
    std::vector<size_t> core_results(words.size());
    for (size_t i = 0; i < words.size(); ++i)
        core[i] = CoreSearch(book, words[i], core_results[i]);

    q3::reader::TApplicationModules modules;
    {
        q3::reader::Tfm_Quillon3 w(modules, {book});
        w.show();
        const auto settle = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < settle)
            Glib::MainContext::get_default()->iteration(false);
        for (size_t i = 0; i < words.size(); ++i) {
            size_t results = 0;
            Gaps gaps;
            const Times t = WindowSearch(w, words[i], results, gaps);
            std::printf(
                "%s: window %.0f ms (processor %.0f ms), %zu results; "
                "no window %.0f ms (processor %.0f ms), %zu results; "
                "longest main-loop gap %.1f ms (main thread's processor time in it %.1f ms)\n",
                words[i].c_str(), t.wall_ms, t.cpu_ms, results, core[i].wall_ms, core[i].cpu_ms,
                core_results[i], gaps.wall_ms, gaps.cpu_ms);
        }
    }
    modules.server_module.reset();
    std::filesystem::remove_all(folder);
    return 0;
}
