#include "common/base_settings.h"

#include <mutex>

#include "common/shell.h"
#include "common/trace.h"

namespace q3 {
namespace {

std::mutex& KeyMutex() {
    static std::mutex m;
    return m;
}

std::string& Key() {
    static std::string key;
    return key;
}

}  // namespace

std::string SettingsKey() {
    std::lock_guard lock(KeyMutex());
    return Key();
}

void SetSettingsKey(std::string_view key) {
    std::lock_guard lock(KeyMutex());
    Key() = std::string(key);
}

std::int32_t ReadRegInteger(std::string_view name, std::int32_t def) {
    return ReadHkcuInteger(SettingsKey(), name, def);
}

std::string ReadRegString(std::string_view name, std::string_view def) {
    return ReadHkcuString(SettingsKey(), name, def);
}

bool WriteRegInteger(std::string_view name, std::int32_t value) {
    return WriteHkcuInteger(SettingsKey(), name, value);
}

bool WriteRegString(std::string_view name, std::string_view value) {
    return WriteHkcuString(SettingsKey(), name, value);
}

void ReportError(std::string_view context, std::string_view message) noexcept {
    DebugTrace(context, message);
}

}  // namespace q3
