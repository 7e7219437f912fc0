// INetworkDrives over the Windows calls.
#pragma once
#include "system/platform/network_drives.h"

namespace velandra::platform::win32 {

class Win32NetworkDrives : public INetworkDrives {};

}  // namespace velandra::platform::win32
