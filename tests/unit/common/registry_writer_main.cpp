// A second process for the registry tests: writes or reads values of the
// current user's hive through the same routines the reader uses.
//
//   registry_writer write-int KEY NAME VALUE
//   registry_writer write-many KEY PREFIX COUNT   (PREFIX0 = 0, PREFIX1 = 1, ...)
//   registry_writer read-int KEY NAME              (prints the value, or "missing")
//
// With Q3_PAUSE_BEFORE_RENAME=<file> in the environment, a write stops after
// the new hive is written to its temporary file and before the rename: it
// creates <file> and waits there to be killed.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "common/registry_store.h"
#include "common/shell.h"

namespace {

void InstallPauseHook() {
    const char* marker = std::getenv("Q3_PAUSE_BEFORE_RENAME");
    if (marker == nullptr)
        return;
    const std::string marker_file = marker;
    q3::RegistryStore::SetBeforeReplaceHook([marker_file](const std::filesystem::path& temp) {
        // The test reads the marker as soon as it exists: it must appear
        // whole, hence the rename.
        const std::string partial = marker_file + ".partial";
        std::ofstream(partial) << temp.string();
        std::rename(partial.c_str(), marker_file.c_str());
        for (;;)
            ::pause();
    });
}

int Usage() {
    std::fputs("usage: registry_writer write-int|write-many|read-int ...\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    InstallPauseHook();
    const std::string command = argv[1];
    try {
        if (command == "write-int" && argc == 5) {
            return q3::WriteHkcuInteger(argv[2], argv[3], std::atoi(argv[4])) ? 0 : 1;
        }
        if (command == "write-many" && argc == 5) {
            const int count = std::atoi(argv[4]);
            for (int i = 0; i < count; ++i) {
                if (!q3::WriteHkcuInteger(argv[2], argv[3] + std::to_string(i), i))
                    return 1;
            }
            return 0;
        }
        if (command == "read-int" && argc == 4) {
            constexpr std::int32_t kMissing = -123456789;
            const std::int32_t v = q3::ReadHkcuInteger(argv[2], argv[3], kMissing);
            std::printf("%s\n", v == kMissing ? "missing" : std::to_string(v).c_str());
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "registry_writer: %s\n", e.what());
        return 3;
    }
    return Usage();
}
