#include "common/registry_store.h"

#include <map>
#include <mutex>

#include "common/hive_file.h"
#include "common/trace.h"
#include "common/xdg_dirs.h"

namespace q3 {
namespace {

struct CachedHive {
    FileStamp stamp;
    HiveData data;
};

std::mutex& CacheMutex() {
    static std::mutex m;
    return m;
}

// The last sound contents seen per hive file, so that reading settings does
// not parse the file again while it is unchanged.
std::map<std::string, CachedHive>& Cache() {
    static std::map<std::string, CachedHive> cache;
    return cache;
}

std::mutex& HookMutex() {
    static std::mutex m;
    return m;
}

RegistryStore::ReplaceHook& Hook() {
    static RegistryStore::ReplaceHook hook;
    return hook;
}

std::optional<HiveData> CachedIfCurrent(const std::string& file, const FileStamp& stamp) {
    std::lock_guard lock(CacheMutex());
    auto it = Cache().find(file);
    if (it == Cache().end() || !(it->second.stamp == stamp))
        return std::nullopt;
    return it->second.data;
}

void RememberHive(const std::string& file, const FileStamp& stamp, const HiveData& data) {
    std::lock_guard lock(CacheMutex());
    Cache()[file] = CachedHive{stamp, data};
}

}  // namespace

RegistryStore::RegistryStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

RegistryStore RegistryStore::ForUser() {
    return RegistryStore(ConfigHome() / "quillon3");
}

std::filesystem::path RegistryStore::HiveFile(RegistryHive hive) const {
    return folder_ / (std::string(HiveName(hive)) + ".reg");
}

void RegistryStore::SetBeforeReplaceHook(ReplaceHook hook) {
    std::lock_guard lock(HookMutex());
    Hook() = std::move(hook);
}

std::optional<HiveData> RegistryStore::Load(RegistryHive hive) const {
    const std::filesystem::path file = HiveFile(hive);
    HiveBytes probe = ReadHiveBytes(file, false);
    if (probe.status == ReadStatus::kFailed)
        return std::nullopt;
    if (probe.status == ReadStatus::kMissing)
        return HiveData{};
    if (auto cached = CachedIfCurrent(file.string(), probe.stamp))
        return cached;

    HiveBytes read = ReadHiveBytes(file, true);
    if (read.status == ReadStatus::kFailed)
        return std::nullopt;
    if (read.status == ReadStatus::kMissing)
        return HiveData{};
    ParsedHive parsed = ParseHive(read.bytes, hive);
    if (!parsed.damaged && !read.truncated) {
        RememberHive(file.string(), read.stamp, parsed.data);
        return std::move(parsed.data);
    }
    DebugTrace("RegistryStore.Load", "damaged settings file " + file.string());
    try {
        // Rewriting with no change keeps the original aside and stores the sound part.
        if (Update(hive, [](HiveData&) { return false; })) {
            HiveBytes now = ReadHiveBytes(file, false);
            if (auto cached = CachedIfCurrent(file.string(), now.stamp))
                return cached;
        }
    } catch (const RegistryError& e) {
        DebugTrace("RegistryStore.Load", e.what());
    }
    return std::move(parsed.data);
}

bool RegistryStore::Update(RegistryHive hive, const std::function<bool(HiveData&)>& change) const {
    if (!MakePrivateFolders(folder_))
        return false;
    HiveLock lock;
    if (!lock.Acquire(folder_ / (std::string(HiveName(hive)) + ".lock")))
        return false;
    const std::filesystem::path file = HiveFile(hive);
    RemoveStaleTemps(file);

    HiveBytes read = ReadHiveBytes(file, true);
    if (read.status == ReadStatus::kFailed)
        return false;
    ParsedHive current;
    if (read.status == ReadStatus::kRead)
        current = ParseHive(read.bytes, hive);
    const bool damaged = current.damaged || read.truncated;

    const bool changed = change(current.data);
    if (!changed && !damaged) {
        if (read.status == ReadStatus::kRead)
            RememberHive(file.string(), read.stamp, current.data);
        return true;
    }
    const std::string text = SerializeHive(current.data, hive);
    if (text.size() > kMaxHiveBytes)
        throw RegistryError("settings file would grow too large");
    if (damaged)
        KeepDamagedOriginal(file);
    RegistryStore::ReplaceHook hook;
    {
        std::lock_guard hook_lock(HookMutex());
        hook = Hook();
    }
    ReplaceHiveFile(file, text, hook);

    const HiveBytes written = ReadHiveBytes(file, false);
    if (written.status == ReadStatus::kRead)
        RememberHive(file.string(), written.stamp, current.data);
    return true;
}

RegistryKey::RegistryKey(RegistryStore store, RegistryHive hive,
                         std::vector<std::string> components)
    : store_(std::move(store)), hive_(hive), components_(std::move(components)) {}

std::optional<RegistryKey> RegistryKey::Open(const RegistryStore& store, RegistryHive hive,
                                             std::string_view path) {
    std::optional<std::vector<std::string>> components = SplitKeyPath(path);
    if (!components)
        return std::nullopt;
    std::optional<HiveData> data = store.Load(hive);
    if (!data || data->FindKey(*components) == nullptr)
        return std::nullopt;
    return RegistryKey(store, hive, std::move(*components));
}

std::optional<RegistryKey> RegistryKey::Create(const RegistryStore& store, RegistryHive hive,
                                               std::string_view path) {
    std::optional<std::vector<std::string>> components = SplitKeyPath(path);
    if (!components)
        return std::nullopt;
    std::optional<HiveData> data = store.Load(hive);
    if (!data)
        return std::nullopt;
    if (data->FindKey(*components) == nullptr) {
        try {
            const bool created = store.Update(
                hive, [&](HiveData& hive_data) { return hive_data.CreateKey(*components); });
            if (!created)
                return std::nullopt;
        } catch (const RegistryError& e) {
            DebugTrace("RegistryKey.Create", e.what());
            return std::nullopt;
        }
    }
    return RegistryKey(store, hive, std::move(*components));
}

std::optional<RegistryValue> RegistryKey::ReadValue(std::string_view name) const {
    std::optional<HiveData> data = store_.Load(hive_);
    if (!data)
        return std::nullopt;
    const RegistryKeyData* key = data->FindKey(components_);
    if (key == nullptr)
        return std::nullopt;
    const RegistryValue* value = key->Find(name);
    if (value == nullptr)
        return std::nullopt;
    return *value;
}

std::optional<std::int32_t> RegistryKey::ReadInteger(std::string_view name) const {
    std::optional<RegistryValue> value = ReadValue(name);
    if (!value)
        return std::nullopt;
    if (const auto* i = std::get_if<std::int32_t>(&*value))
        return *i;
    throw RegistryError("invalid data type for '" + std::string(name) + "'");
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const {
    std::optional<RegistryValue> value = ReadValue(name);
    if (!value)
        return std::nullopt;
    if (auto* s = std::get_if<std::string>(&*value))
        return std::move(*s);
    throw RegistryError("invalid data type for '" + std::string(name) + "'");
}

void RegistryKey::WriteValue(std::string_view name, const RegistryValue& value) const {
    // An unchanged value costs no lock and no write: the association is
    // rewritten at every start.
    if (std::optional<HiveData> data = store_.Load(hive_)) {
        const RegistryKeyData* key = data->FindKey(components_);
        const RegistryValue* old = key != nullptr ? key->Find(name) : nullptr;
        if (old != nullptr && *old == value)
            return;
    }
    const bool written = store_.Update(
        hive_, [&](HiveData& data) { return data.KeyAt(components_).Set(name, value); });
    if (!written)
        throw RegistryError("cannot open the settings file to write '" + std::string(name) + "'");
}

void RegistryKey::WriteInteger(std::string_view name, std::int32_t value) const {
    WriteValue(name, RegistryValue(value));
}

void RegistryKey::WriteString(std::string_view name, std::string_view value) const {
    WriteValue(name, RegistryValue(std::string(value)));
}

}  // namespace q3
