// Single registry values under the current user's hive, and the file-type
// association of the document extension (registry entries plus the desktop's
// own association).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/registry_format.h"

namespace q3 {

// Each call opens the key afresh. A missing key or value gives def; a value
// of the other type raises RegistryError.
std::int32_t ReadHkcuInteger(std::string_view key, std::string_view name, std::int32_t def);
std::string ReadHkcuString(std::string_view key, std::string_view name, std::string_view def);

// Creates the key when missing. False when it cannot be opened; a value that
// cannot be stored once the key is open raises RegistryError.
bool WriteHkcuInteger(std::string_view key, std::string_view name, std::int32_t value);
bool WriteHkcuString(std::string_view key, std::string_view name, std::string_view value);
// Several values of one key in a single replacement of the settings file, so
// a list stored as numbered values is never left half old, half new.
bool WriteHkcuValues(std::string_view key,
                     const std::vector<std::pair<std::string, RegistryValue>>& values);

// Writes the association of extension to program_path under
// HKEY_CLASSES_ROOT (the five default values) and as a desktop entry with a
// mime type in the user's data folder, unless the program's installation
// gives the desktop the same already. When notify is set and the extension's key did not exist
// before, the desktop is told that associations changed. A registry value
// that cannot be written raises RegistryError and skips the rest; the
// desktop side never raises. Unchanged values and files are not rewritten,
// so calling it at every start costs little.
void RegisterFileType(std::string_view extension, std::string_view type_name,
                      std::string_view description, std::string_view program_path, int icon_index,
                      bool notify);

// Called whenever RegisterFileType tells the desktop that associations
// changed; for tests and for anything that must follow the change.
using AssociationObserver = std::function<void()>;
void SetAssociationChangeObserver(AssociationObserver observer);

}  // namespace q3
