#include "common/data_file.h"

#include "common/hive_file.h"
#include "common/registry_store.h"
#include "common/trace.h"

namespace q3 {

bool ReplaceDataFile(const std::filesystem::path& file, std::string_view text) {
    std::filesystem::path lock_file = file;
    lock_file += ".lock";
    HiveLock lock;
    if (!lock.Acquire(lock_file)) {
        DebugTrace("ReplaceDataFile", "cannot lock " + lock_file.string());
        return false;
    }
    // Under the lock no other writer is between writing and renaming: what
    // is left of a temporary file is a dead writer's.
    RemoveStaleTemps(file);
    try {
        ReplaceHiveFile(file, text, {});
    } catch (const RegistryError& e) {
        DebugTrace("ReplaceDataFile", e.what());
        return false;
    }
    return true;
}

}  // namespace q3
