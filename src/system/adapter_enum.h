// The PC's network adapters that can carry place settings: network-class
// devices with an interface, bound to TCP/IP, with a network connection and
// present now. Read from HKEY_LOCAL_MACHINE.
#pragma once

#include "system/adapter_info.h"
#include "system/context.h"

namespace velandra {

inline constexpr char kClassRootPath[] = "SYSTEM\\CurrentControlSet\\Control\\Class";
inline constexpr char kTcpipAdaptersPath[] =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters\\";
inline constexpr char kNetworkPath[] = "SYSTEM\\CurrentControlSet\\Control\\Network\\";
inline constexpr char kEnumPath[] = "SYSTEM\\CurrentControlSet\\Enum\\";

// Appends one AdapterInfo per qualifying adapter, in the registry's order of
// the class keys and of their device keys, each numbered against the
// adapter history of the configuration file. Devices that do not qualify are
// passed over silently. A failure to open the class keys or to read a
// description, instance ID or connection name is shown to the user and asks
// the run to quit with code 1; the walk goes on where it can.
void EnumerateAdapters(Context& context, AdapterList& adapters);

}  // namespace velandra
