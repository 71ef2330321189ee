// The file operations under the registry store: reading a hive file with a
// cap, taking the hive's advisory lock, and replacing the file atomically.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "common/file_descriptor.h"
#include "common/registry_format.h"

namespace q3 {

// Tells whether a file is still the one that was read.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t mtime_ns = 0;
    bool operator==(const FileStamp&) const = default;
};

enum class ReadStatus { kRead, kMissing, kFailed };

struct HiveBytes {
    ReadStatus status = ReadStatus::kMissing;
    FileStamp stamp;
    std::string bytes;
    bool truncated = false;  // longer than kMaxHiveBytes
};

// Opens the hive file and stats it; the bytes are read only when wanted. A
// path that is not a regular file cannot be read.
HiveBytes ReadHiveBytes(const std::filesystem::path& file, bool want_bytes);

// Holds a lock file locked for the whole read-change-write, so that
// concurrent writers (threads or processes) take turns. The lock goes with
// the object, or with the process if it dies.
class HiveLock {
  public:
    bool Acquire(const std::filesystem::path& lock_file);

  private:
    FileDescriptor fd_;
};

// Removes the temporary files of writers that died between writing and
// renaming. Only under the hive's lock, when no writer is between those steps.
void RemoveStaleTemps(const std::filesystem::path& file);

// Writes text to a temporary file beside file, flushes it to disk, calls
// before_rename with its path, and renames it over file. Throws
// RegistryError on failure; the old file is then untouched and the
// temporary file removed.
using BeforeRename = std::function<void(const std::filesystem::path& temp_file)>;
void ReplaceHiveFile(const std::filesystem::path& file, std::string_view text,
                     const BeforeRename& before_rename);

// Keeps the bytes of a damaged hive beside it, as "<file>.damaged-<time>",
// before its sound part replaces it. Throws RegistryError when it cannot.
void KeepDamagedOriginal(const std::filesystem::path& file);

}  // namespace q3
