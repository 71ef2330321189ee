// The registry as separate processes see it: what one writes survives it,
// a writer killed mid-write loses nothing, and writers running at the same
// time keep each other's keys. The second process is registry_writer.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/registry_store.h"
#include "common/shell.h"
#include "common/xdg_sandbox.h"

extern char** environ;

namespace q3 {
namespace {

using q3::testing::ReadFileBytes;
using q3::testing::ScopedEnv;
using q3::testing::XdgSandbox;

pid_t StartWriter(std::vector<std::string> args) {
    args.insert(args.begin(), Q3_REGISTRY_WRITER);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    EXPECT_EQ(rc, 0) << "cannot start " << argv[0];
    return rc == 0 ? pid : -1;
}

int WaitFor(pid_t pid) {
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunWriter(std::vector<std::string> args) {
    return WaitFor(StartWriter(std::move(args)));
}

std::string WriterOutput(const std::string& key, const std::string& name) {
    const std::string command =
        std::string(Q3_REGISTRY_WRITER) + " read-int '" + key + "' '" + name + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return "popen failed";
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        out += buffer;
    ::pclose(pipe);
    return out;
}

// Waits (with a generous guard, not a timing assertion) for a file to appear.
bool AppearsSoon(const std::string& file) {
    for (int i = 0; i < 2000; ++i) {
        if (std::filesystem::exists(file))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class RegistryProcessTest : public ::testing::Test {
  protected:
    XdgSandbox sandbox_;
};

TEST_F(RegistryProcessTest, ValueWrittenByAnEndedProcessIsReadBack) {
    ASSERT_EQ(
        RunWriter({"write-int", "SOFTWARE\\Tarvik\\Quillon3", "FackColor-Quillon3", "14548957"}),
        0);
    EXPECT_EQ(ReadHkcuInteger("SOFTWARE\\Tarvik\\Quillon3", "FackColor-Quillon3", 0), 14548957);

    ASSERT_TRUE(WriteHkcuInteger("SOFTWARE\\Tarvik\\Quillon3", "Back", 42));
    EXPECT_EQ(WriterOutput("SOFTWARE\\Tarvik\\Quillon3", "Back"), "42\n");
    EXPECT_EQ(WriterOutput("SOFTWARE\\Tarvik\\Quillon3", "Never"), "missing\n");
}

TEST_F(RegistryProcessTest, WriterKilledBetweenWritingAndRenamingLosesNothing) {
    ASSERT_TRUE(WriteHkcuInteger("K", "Old", 1));
    const std::string hive = sandbox_.hive("HKEY_CURRENT_USER");
    const std::string before = ReadFileBytes(hive);
    const std::string marker = sandbox_.dir().File("paused");
    pid_t writer;
    {
        ScopedEnv pause("Q3_PAUSE_BEFORE_RENAME", marker);
        writer = StartWriter({"write-int", "K", "New", "2"});
    }
    ASSERT_TRUE(AppearsSoon(marker)) << "the writer never reached the rename";
    // The complete new hive sits in the temporary file named in the marker.
    const std::string temp = ReadFileBytes(marker);
    EXPECT_NE(ReadFileBytes(temp).find("\"New\"=dword:00000002"), std::string::npos);
    ASSERT_EQ(::kill(writer, SIGKILL), 0);
    EXPECT_EQ(WaitFor(writer), 128 + SIGKILL);

    EXPECT_EQ(ReadFileBytes(hive), before);
    EXPECT_EQ(ReadHkcuInteger("K", "Old", 0), 1);
    EXPECT_EQ(ReadHkcuInteger("K", "New", 0), 0);
    // The dead writer's lock went with it: the next write goes through and
    // clears its leftover.
    ASSERT_TRUE(WriteHkcuInteger("K", "Later", 3));
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_EQ(ReadHkcuInteger("K", "Old", 0), 1);
    EXPECT_EQ(ReadHkcuInteger("K", "Later", 0), 3);
}

TEST_F(RegistryProcessTest, TwoProcessesWritingDifferentKeysKeepBoth) {
    constexpr int kValues = 40;
    const pid_t a = StartWriter(
        {"write-many", "SOFTWARE\\Tarvik\\Quillon3\\BookA", "BookName", std::to_string(kValues)});
    const pid_t b = StartWriter(
        {"write-many", "SOFTWARE\\Tarvik\\Quillon3\\BookB", "BookName", std::to_string(kValues)});
    ASSERT_EQ(WaitFor(a), 0);
    ASSERT_EQ(WaitFor(b), 0);
    for (int i = 0; i < kValues; ++i) {
        const std::string name = "BookName" + std::to_string(i);
        EXPECT_EQ(ReadHkcuInteger("SOFTWARE\\Tarvik\\Quillon3\\BookA", name, -1), i) << name;
        EXPECT_EQ(ReadHkcuInteger("SOFTWARE\\Tarvik\\Quillon3\\BookB", name, -1), i) << name;
    }
}

TEST_F(RegistryProcessTest, GarbageHiveLetsAnotherProcessStartAndWrite) {
    const std::string hive = sandbox_.hive("HKEY_CURRENT_USER");
    std::filesystem::create_directories(std::filesystem::path(hive).parent_path());
    std::ofstream(hive, std::ios::binary) << std::string(3000, '\xFF') << "\n[[[\0garbage";
    const std::string original = ReadFileBytes(hive);
    ASSERT_EQ(RunWriter({"write-int", "K", "V", "5"}), 0);
    EXPECT_EQ(ReadHkcuInteger("K", "V", 0), 5);
    bool kept = false;
    for (const auto& e :
         std::filesystem::directory_iterator(std::filesystem::path(hive).parent_path())) {
        if (e.path().filename().string().starts_with("HKEY_CURRENT_USER.reg.damaged-")) {
            kept = ReadFileBytes(e.path().string()) == original;
        }
    }
    EXPECT_TRUE(kept);
}

}  // namespace
}  // namespace q3
