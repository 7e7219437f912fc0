// INetworkDrives over the Windows calls (mpr).
#pragma once
#include "system/platform/network_drives.h"

namespace velandra::platform::win32 {

class Win32NetworkDrives : public INetworkDrives {
 public:
  long EnumConnected(std::vector<DriveConnection>& connections) override;
  long CancelConnection(const std::string& localName) override;
  long AddConnection(const std::string& localName, const std::string& remoteName,
                     const std::string& user, const std::string& password) override;
};

}  // namespace velandra::platform::win32
