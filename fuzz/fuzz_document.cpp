// Arbitrary bytes as a document file: opening it, reading records by number
// and enumerating them must never crash, hang or allocate beyond what the file
// holds, and the ways of reading one record must agree with each other.
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/manager.h"

namespace {

using q3::doc::RecordError;
using q3::doc::TQBXManage;

// The password of the protected seed documents.
constexpr char kPassword[] = "fuzz";

// One in-memory file for the whole run, opened by path through /proc like
// any document.
class MemoryFile {
  public:
    MemoryFile() : fd_(memfd_create("fuzz.qbx", MFD_CLOEXEC)) {
        if (fd_ < 0)
            std::abort();
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { ::close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const std::string& Hold(const uint8_t* data, size_t size) {
        if (::ftruncate(fd_, 0) != 0)
            std::abort();
        size_t done = 0;
        while (done < size) {
            ssize_t n = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0)
                std::abort();
            done += static_cast<size_t>(n);
        }
        return path_;
    }

  private:
    int fd_;
    std::string path_;
};

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

// One record read three ways: they succeed together and give the same bytes,
// and a failed read leaves the caller's string as it was.
void ReadEveryWay(TQBXManage& m, int32_t r, std::string& stream) {
    const std::string before = stream;
    const bool ok = m.ReadRecord(r, stream);
    if (!ok)
        Require(stream == before);
    std::string text = "untouched";
    const bool text_ok = m.ReadRecordText(r, text);
    Require(text_ok == ok);
    Require(ok ? text == stream : text == "untouched");
    std::string checked;
    Require((m.ReadRecordChecked(r, checked) == RecordError::kOk) == ok);
}

void Exercise(TQBXManage& m) {
    const int32_t n = m.DirectoryCount();
    auto near_n = [n](int32_t d) {  // wrapping, as record numbers do
        return static_cast<int32_t>(static_cast<uint32_t>(n) + static_cast<uint32_t>(d));
    };
    std::string stream = "from an earlier read";
    const std::vector<int32_t> records = {
        0,          1,         2,         3,         -1,        n,
        near_n(-1), near_n(1), INT32_MAX, INT32_MIN, -536870910 /* wraps onto entry 2 */};
    for (int32_t r : records)
        ReadEveryWay(m, r, stream);

    std::string zero, one;
    const bool zero_ok = m.ReadRecord(0, zero), one_ok = m.ReadRecord(1, one);
    Require(zero_ok == one_ok && zero == one);  // 0 names record 1's entry

    int32_t last = 1;
    m.EnumerateRecords([&](TQBXManage&, bool&, int32_t r, const std::string& text) {
        Require(r > last && r >= 2 && r <= n - 1);
        last = r;
        std::string again;
        Require(m.ReadRecordText(r, again) && again == text);
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file;
    TQBXManage m(file.Hold(data, size));
    try {
        m.Open([](TQBXManage&, std::string& password) { password = kPassword; });
    } catch (const q3::doc::OpenError&) {
        return 0;  // refused with a message: the expected answer to most inputs
    }
    Exercise(m);
    return 0;
}
