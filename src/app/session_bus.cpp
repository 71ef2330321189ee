#include "session_bus.h"

#include <glib.h>
#include <sys/stat.h>

#include <cstdlib>

namespace q3::app {

std::string SessionBusAddressToExport(const SessionBusFacts& facts) {
    if (!facts.address.empty() || facts.runtime_bus || facts.autolaunch)
        return {};
    return kUnreachableBusAddress;
}

namespace {

bool RuntimeBusIsSocket() {
    const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
    if (runtime_dir == nullptr || *runtime_dir == '\0')
        return false;
    const std::string path = std::string(runtime_dir) + "/bus";
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

bool DbusLaunchOnPath() {
    gchar* found = g_find_program_in_path("dbus-launch");
    const bool on_path = found != nullptr;
    g_free(found);
    return on_path;
}

}  // namespace

void ExportSessionBusAddress() {
    SessionBusFacts facts;
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        facts.address = address;
    // Checked lazily: most desktops have the address set and need neither.
    if (facts.address.empty()) {
        facts.runtime_bus = RuntimeBusIsSocket();
        facts.autolaunch = !facts.runtime_bus && DbusLaunchOnPath();
    }
    const std::string address = SessionBusAddressToExport(facts);
    if (!address.empty())
        g_setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), TRUE);
}

}  // namespace q3::app
