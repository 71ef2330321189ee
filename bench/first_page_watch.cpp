// Starts a program on the X display and watches it as a user would: the time
// from its start until the screen shows pixels of a marker colour (the first
// page is painted), and the peak memory of the program with every process it
// started (its web and network processes), sampled from /proc. Prints one line:
//   first_page_ms=N tree_rss_kb=N tree_pss_kb=N main_rss_kb=N processes=N
// first_page_ms is -1 when the marker never showed within the time limit.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <dirent.h>
#include <signal.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    unsigned long marker = 0xDE216F;
    long settle_ms = 4000;    // how long memory is watched after the first page
    long timeout_ms = 60000;  // how long the first page may take
    bool processes = false;   // tell each process started
    char** command = nullptr;
};

[[noreturn]] void Usage() {
    std::fprintf(stderr,
                 "usage: first_page_watch [--marker RRGGBB] [--settle-ms N] [--timeout-ms N] "
                 "[--processes 1] -- PROGRAM [ARGS...]\n");
    std::exit(2);
}

Options ParseOptions(int argc, char** argv) {
    Options o;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (i + 1 >= argc)
            Usage();
        if (std::strcmp(argv[i], "--marker") == 0)
            o.marker = std::strtoul(argv[++i], nullptr, 16);
        else if (std::strcmp(argv[i], "--settle-ms") == 0)
            o.settle_ms = std::atol(argv[++i]);
        else if (std::strcmp(argv[i], "--timeout-ms") == 0)
            o.timeout_ms = std::atol(argv[++i]);
        else if (std::strcmp(argv[i], "--processes") == 0)
            o.processes = std::atoi(argv[++i]) != 0;
        else
            Usage();
    }
    if (i + 1 >= argc)
        Usage();
    o.command = argv + i + 1;
    return o;
}

// The root window grabbed through shared memory: a full-screen grab costs
// about a millisecond, so watching often takes little from the program watched.
class ScreenGrabber {
  public:
    ScreenGrabber() : display_(XOpenDisplay(nullptr)) {
        if (display_ == nullptr) {
            std::fprintf(stderr, "first_page_watch: cannot open the display\n");
            std::exit(1);
        }
        const int screen = DefaultScreen(display_);
        root_ = RootWindow(display_, screen);
        width_ = DisplayWidth(display_, screen);
        height_ = DisplayHeight(display_, screen);
        if (!XShmQueryExtension(display_)) {
            std::fprintf(stderr, "first_page_watch: the display has no MIT-SHM\n");
            std::exit(1);
        }
        image_ =
            XShmCreateImage(display_, DefaultVisual(display_, screen),
                            static_cast<unsigned>(DefaultDepth(display_, screen)), ZPixmap, nullptr,
                            &shm_, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
        shm_.shmid = shmget(
            IPC_PRIVATE,
            static_cast<size_t>(image_->bytes_per_line) * static_cast<size_t>(image_->height),
            IPC_CREAT | 0600);
        shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
        shm_.readOnly = False;
        XShmAttach(display_, &shm_);
        XSync(display_, False);
        shmctl(shm_.shmid, IPC_RMID, nullptr);  // gone once both sides detach
    }
    ~ScreenGrabber() {
        XShmDetach(display_, &shm_);
        shmdt(shm_.shmaddr);
        XDestroyImage(image_);
        XCloseDisplay(display_);
    }
    ScreenGrabber(const ScreenGrabber&) = delete;
    ScreenGrabber& operator=(const ScreenGrabber&) = delete;

    // Marker pixels on a grid of every fourth pixel.
    long CountMarker(unsigned long marker) {
        XShmGetImage(display_, root_, image_, 0, 0, AllPlanes);
        long hits = 0;
        for (int y = 0; y < height_; y += 4) {
            for (int x = 0; x < width_; x += 4) {
                if ((XGetPixel(image_, x, y) & 0xFFFFFF) == marker)
                    ++hits;
            }
        }
        return hits;
    }

  private:
    Display* display_;
    Window root_;
    int width_ = 0, height_ = 0;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
};

// Every process whose ancestry leads to root, root included.
std::vector<pid_t> ProcessTree(pid_t root) {
    std::multimap<pid_t, pid_t> children;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* e = readdir(proc)) {
            const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
            if (pid <= 0)
                continue;
            std::ifstream stat("/proc/" + std::string(e->d_name) + "/stat");
            std::string line;
            std::getline(stat, line);
            // The name may hold blanks and parentheses: the fields follow the last ")".
            const size_t close = line.rfind(')');
            if (close == std::string::npos)
                continue;
            char state = 0;
            int ppid = 0;
            if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) == 2)
                children.emplace(static_cast<pid_t>(ppid), pid);
        }
        closedir(proc);
    }
    std::vector<pid_t> tree{root};
    for (size_t i = 0; i < tree.size(); ++i) {
        auto [from, to] = children.equal_range(tree[i]);
        for (auto it = from; it != to; ++it)
            tree.push_back(it->second);
    }
    return tree;
}

long StatusField(pid_t pid, const char* file, const char* field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(in, line)) {
        if (line.compare(0, length, field) == 0)
            return std::atol(line.c_str() + length);
    }
    return 0;
}

struct Memory {
    long tree_rss_kb = 0, tree_pss_kb = 0, main_rss_kb = 0;
    size_t processes = 0;
};

// Every process the program started, told once to stderr as it is first
// seen: where the memory goes, process by process.
void TellNewProcesses(const std::vector<pid_t>& tree, long elapsed_ms) {
    static std::map<pid_t, bool> seen;
    for (pid_t pid : tree) {
        if (seen[pid])
            continue;
        seen[pid] = true;
        std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline");
        std::string name;
        std::getline(cmdline, name, '\0');
        std::fprintf(stderr, "first_page_watch: %ld ms: process %d %s\n", elapsed_ms,
                     static_cast<int>(pid), name.c_str());
    }
}

std::string ExeOf(pid_t pid) {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec).string();
}

// The program's processes, without the copies of itself that exist for a
// moment between a fork and the exec of a helper: they share its pages, and
// counting them would count its memory twice.
std::vector<pid_t> ProgramProcesses(pid_t root) {
    std::vector<pid_t> tree = ProcessTree(root);
    const std::string exe = ExeOf(root);
    std::erase_if(tree, [&](pid_t pid) { return pid != root && ExeOf(pid) == exe; });
    return tree;
}

Memory Sample(pid_t root, bool with_pss, bool tell, long elapsed_ms) {
    Memory m;
    const std::vector<pid_t> tree = ProgramProcesses(root);
    if (tell)
        TellNewProcesses(tree, elapsed_ms);
    m.processes = tree.size();
    for (pid_t pid : tree) {
        const long rss = StatusField(pid, "status", "VmRSS:");
        m.tree_rss_kb += rss;
        if (pid == root)
            m.main_rss_kb = rss;
        if (with_pss)
            m.tree_pss_kb += StatusField(pid, "smaps_rollup", "Pss:");
    }
    return m;
}

void StopTree(pid_t root) {
    const std::vector<pid_t> tree = ProcessTree(root);
    kill(-root, SIGKILL);  // the program's own group
    for (pid_t pid : tree)
        kill(pid, SIGKILL);  // helpers that left the group
    int status = 0;
    waitpid(root, &status, 0);
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    ScreenGrabber screen;
    if (screen.CountMarker(options.marker) > 0) {
        std::fprintf(stderr, "first_page_watch: the marker is on the screen before the start\n");
        return 1;
    }

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        execvp(options.command[0], options.command);
        std::perror("first_page_watch: exec");
        _exit(127);
    }
    setpgid(child, child);

    long first_page_ms = -1;
    Memory peak;
    Clock::time_point last_memory{}, last_pss{};
    for (;;) {
        const Clock::time_point now = Clock::now();
        const long elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
        if (first_page_ms < 0 && screen.CountMarker(options.marker) >= 100)
            first_page_ms = elapsed;
        if (now - last_memory >= std::chrono::milliseconds(50)) {
            // PSS costs the kernel a walk of every page table: sampled less often.
            const bool with_pss = now - last_pss >= std::chrono::milliseconds(250);
            const Memory m = Sample(child, with_pss, options.processes, elapsed);
            peak.tree_rss_kb = std::max(peak.tree_rss_kb, m.tree_rss_kb);
            peak.main_rss_kb = std::max(peak.main_rss_kb, m.main_rss_kb);
            peak.processes = std::max(peak.processes, m.processes);
            if (with_pss) {
                peak.tree_pss_kb = std::max(peak.tree_pss_kb, m.tree_pss_kb);
                last_pss = now;
            }
            last_memory = now;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "first_page_watch: the program ended early\n");
            break;
        }
        if (first_page_ms >= 0 ? elapsed - first_page_ms >= options.settle_ms
                               : elapsed >= options.timeout_ms) {
            StopTree(child);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::printf("first_page_ms=%ld tree_rss_kb=%ld tree_pss_kb=%ld main_rss_kb=%ld processes=%zu\n",
                first_page_ms, peak.tree_rss_kb, peak.tree_pss_kb, peak.main_rss_kb,
                peak.processes);
    return first_page_ms >= 0 ? 0 : 1;
}
