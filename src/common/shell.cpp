#include "common/shell.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "common/desktop_association.h"
#include "common/registry_store.h"
#include "common/trace.h"
#include "common/xdg_dirs.h"

namespace q3 {
namespace {

std::mutex& ObserverMutex() {
    static std::mutex m;
    return m;
}

AssociationObserver& Observer() {
    static AssociationObserver observer;
    return observer;
}

// Sets the default value of a key under HKEY_CLASSES_ROOT, creating the key.
// A key that cannot be opened is reported like a failed write.
void SetClassDefault(const RegistryStore& store, std::string_view key, std::string_view text) {
    std::optional<RegistryKey> handle = RegistryKey::Create(store, RegistryHive::kClassesRoot, key);
    if (!handle)
        throw RegistryError("cannot open HKEY_CLASSES_ROOT\\" + std::string(key));
    handle->WriteString("", text);
}

void SyncDesktopAssociation(std::string_view extension, std::string_view description,
                            std::string_view program_path) {
    const std::filesystem::path data_home = DataHome();
    // An installed reader's own files already say the same; a copy in the
    // user's folder would only shadow them and go stale on the next upgrade.
    // The user's data folder counts too: `make install PREFIX=~/.local`.
    std::vector<std::filesystem::path> read_by_desktop = DataDirs();
    read_by_desktop.insert(read_by_desktop.begin(), data_home);
    if (MimeTypeForExtension(extension) == kInstalledMimeType &&
        InstalledAssociationCovers(program_path, read_by_desktop)) {
        return;
    }
    AssociationChanges changes;
    try {
        changes = WriteAssociationFiles(
            {std::string(extension), std::string(description), std::string(program_path)},
            data_home);
    } catch (const std::exception& e) {
        DebugTrace("RegisterFileType", e.what());
    }
    // On this desktop, rebuilding its caches is how it learns of the change;
    // files that say what they said before need no rebuild, however new the
    // registry's side is.
    RefreshDesktopDatabases(data_home, changes, false);
}

}  // namespace

std::int32_t ReadHkcuInteger(std::string_view key, std::string_view name, std::int32_t def) {
    const RegistryStore store = RegistryStore::ForUser();
    std::optional<RegistryKey> handle = RegistryKey::Open(store, RegistryHive::kCurrentUser, key);
    if (!handle)
        return def;
    return handle->ReadInteger(name).value_or(def);
}

std::string ReadHkcuString(std::string_view key, std::string_view name, std::string_view def) {
    const RegistryStore store = RegistryStore::ForUser();
    std::optional<RegistryKey> handle = RegistryKey::Open(store, RegistryHive::kCurrentUser, key);
    if (!handle)
        return std::string(def);
    std::optional<std::string> value = handle->ReadString(name);
    return value ? std::move(*value) : std::string(def);
}

bool WriteHkcuInteger(std::string_view key, std::string_view name, std::int32_t value) {
    const RegistryStore store = RegistryStore::ForUser();
    std::optional<RegistryKey> handle = RegistryKey::Create(store, RegistryHive::kCurrentUser, key);
    if (!handle)
        return false;
    handle->WriteInteger(name, value);
    return true;
}

bool WriteHkcuString(std::string_view key, std::string_view name, std::string_view value) {
    const RegistryStore store = RegistryStore::ForUser();
    std::optional<RegistryKey> handle = RegistryKey::Create(store, RegistryHive::kCurrentUser, key);
    if (!handle)
        return false;
    handle->WriteString(name, value);
    return true;
}

bool WriteHkcuValues(std::string_view key,
                     const std::vector<std::pair<std::string, RegistryValue>>& values) {
    const std::optional<std::vector<std::string>> components = SplitKeyPath(key);
    if (!components)
        return false;
    const RegistryStore store = RegistryStore::ForUser();
    return store.Update(RegistryHive::kCurrentUser, [&](HiveData& data) {
        bool changed = data.CreateKey(*components);
        RegistryKeyData& handle = data.KeyAt(*components);
        for (const auto& [name, value] : values)
            changed = handle.Set(name, value) || changed;
        return changed;
    });
}

void RegisterFileType(std::string_view extension, std::string_view type_name,
                      std::string_view description, std::string_view program_path, int icon_index,
                      bool notify) {
    const RegistryStore store = RegistryStore::ForUser();
    const bool existed =
        RegistryKey::Open(store, RegistryHive::kClassesRoot, extension).has_value();
    const std::string type(type_name);
    const std::string program(program_path);
    SetClassDefault(store, extension, type_name);
    SetClassDefault(store, type, description);
    SetClassDefault(store, type + "\\DefaultIcon", program + "," + std::to_string(icon_index));
    SetClassDefault(store, type + "\\Shell\\Open", "&Open");
    SetClassDefault(store, type + "\\Shell\\Open\\Command", "\"" + program + "\" \"%1\"");

    const bool tell_desktop = !existed && notify;
    SyncDesktopAssociation(extension, description, program_path);
    if (!tell_desktop)
        return;
    AssociationObserver observer;
    {
        std::lock_guard lock(ObserverMutex());
        observer = Observer();
    }
    if (observer)
        observer();
}

void SetAssociationChangeObserver(AssociationObserver observer) {
    std::lock_guard lock(ObserverMutex());
    Observer() = std::move(observer);
}

}  // namespace q3
