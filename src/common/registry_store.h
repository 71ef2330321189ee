// The registry of this platform: one ".reg"-style text file per hive in the
// user's configuration folder. Every change re-reads the file under an
// advisory lock and replaces it atomically, so two running readers never lose
// each other's keys and a crash mid-write leaves the previous file whole.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/registry_format.h"

namespace q3 {

// A value that exists with another type, or a hive file that cannot be
// replaced after its key was opened.
class RegistryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class RegistryStore {
  public:
    // The hives live as "<HIVE>.reg" in folder; the folder is made on the
    // first write.
    explicit RegistryStore(std::filesystem::path folder);

    // The store in $XDG_CONFIG_HOME/quillon3, resolved at each call.
    static RegistryStore ForUser();

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path HiveFile(RegistryHive hive) const;

    // The hive as it is on disk now. Nothing when the file exists but cannot
    // be read (the registry cannot be opened). A damaged file is read as far
    // as it is sound, and replaced by its sound part with the original kept
    // beside it as "<HIVE>.reg.damaged-<time>".
    std::optional<HiveData> Load(RegistryHive hive) const;

    // Applies change to the current contents under the hive's lock and
    // replaces the file when change reports a change. False when the folder,
    // the lock or the current file cannot be opened (nothing is written);
    // throws RegistryError when the new file cannot be written or renamed.
    bool Update(RegistryHive hive, const std::function<bool(HiveData&)>& change) const;

    // Called after the new contents are written to the temporary file and
    // before it is renamed over the hive: a test can stop a writer there.
    using ReplaceHook = std::function<void(const std::filesystem::path& temp_file)>;
    static void SetBeforeReplaceHook(ReplaceHook hook);

  private:
    std::filesystem::path folder_;
};

// An open key of one hive, as a registry handle: opening without creation
// fails for a missing key; reads and writes go to the store each time.
class RegistryKey {
  public:
    static std::optional<RegistryKey> Open(const RegistryStore& store, RegistryHive hive,
                                           std::string_view path);
    // Creates the key (and its parents) when missing. Nothing when the path
    // is not a valid key name or the hive cannot be opened.
    static std::optional<RegistryKey> Create(const RegistryStore& store, RegistryHive hive,
                                             std::string_view path);

    // Nothing when the value (or, by now, the key) is missing; RegistryError
    // when the value has the other type.
    std::optional<std::int32_t> ReadInteger(std::string_view name) const;
    std::optional<std::string> ReadString(std::string_view name) const;

    // RegistryError when the value cannot be stored.
    void WriteInteger(std::string_view name, std::int32_t value) const;
    void WriteString(std::string_view name, std::string_view value) const;

  private:
    RegistryKey(RegistryStore store, RegistryHive hive, std::vector<std::string> components);
    std::optional<RegistryValue> ReadValue(std::string_view name) const;
    void WriteValue(std::string_view name, const RegistryValue& value) const;

    RegistryStore store_;
    RegistryHive hive_;
    std::vector<std::string> components_;
};

}  // namespace q3
