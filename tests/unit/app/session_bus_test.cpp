#include "session_bus.h"

#include <gtest/gtest.h>

namespace q3::app {
namespace {

TEST(SessionBusAddressToExport, OnlyAMachineWithNoWayToABusGetsOne) {
    struct Case {
        const char* address;
        bool runtime_bus;
        bool autolaunch;
        const char* expected;
    };
    const Case cases[] = {
        // A desktop session's own address is never touched.
        {"unix:path=/run/user/1000/bus", false, false, ""},
        {"unix:path=/run/user/1000/bus", true, true, ""},
        // The libraries find the per-user bus themselves.
        {"", true, false, ""},
        // dbus-launch can still start a bus: leave autolaunch to work.
        {"", false, true, ""},
        // Nothing to find and nothing to start.
        {"", false, false, kUnreachableBusAddress},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SessionBusAddressToExport({c.address, c.runtime_bus, c.autolaunch}), c.expected)
            << "address '" << c.address << "' runtime_bus " << c.runtime_bus << " autolaunch "
            << c.autolaunch;
}

}  // namespace
}  // namespace q3::app
