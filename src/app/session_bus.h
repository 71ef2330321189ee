// Where the session bus is, decided before any library goes looking for it.
#pragma once

#include <string>

namespace q3::app {

struct SessionBusFacts {
    std::string address;       // DBUS_SESSION_BUS_ADDRESS as it stands, "" when unset
    bool runtime_bus = false;  // $XDG_RUNTIME_DIR/bus is a socket
    bool autolaunch = false;   // dbus-launch is on the PATH
};

// An address that no connection can reach: nothing can be created under
// /dev/null, so connecting fails at once with "not a directory".
inline constexpr const char* kUnreachableBusAddress = "unix:path=/dev/null/quillon3-no-session-bus";

// The address to export, or "" to leave the environment as it is. Only a
// machine with no bus at all and no way to start one gets an address: there,
// every library that looks for the bus (the application's registration, the
// accessibility bridge, the settings backend) would otherwise fork the whole
// process to run a dbus-launch that is not there, four times per start.
std::string SessionBusAddressToExport(const SessionBusFacts& facts);

// Looks at this machine and exports the address chosen above. Called first in
// main, before any thread starts, since it changes the environment.
void ExportSessionBusAddress();

}  // namespace q3::app
