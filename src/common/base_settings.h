// The settings routines every window shares: values under one program-wide
// key of the current user's registry, and the error hook that swallows what
// the windows catch.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace q3 {

// The main window's settings key.
inline constexpr std::string_view kQuillonSettingsKey = "SOFTWARE\\Tarvik\\Quillon3";

// The key (under HKEY_CURRENT_USER) the routines below use; empty until the
// main window sets it at creation.
std::string SettingsKey();
void SetSettingsKey(std::string_view key);

// A missing key or value gives def; a value of the other type raises
// RegistryError.
std::int32_t ReadRegInteger(std::string_view name, std::int32_t def);
std::string ReadRegString(std::string_view name, std::string_view def);

// False when the key cannot be opened or created.
bool WriteRegInteger(std::string_view name, std::int32_t value);
bool WriteRegString(std::string_view name, std::string_view value);

// Hands an error a window caught to the trace; nothing is shown.
void ReportError(std::string_view context, std::string_view message) noexcept;

}  // namespace q3
