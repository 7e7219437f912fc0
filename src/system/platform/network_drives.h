// Network connections (mpr): the PC's drive connections, connecting and disconnecting.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "system/platform/win_types.h"

namespace velandra::platform {

// One connected disk resource as the enumeration returns it (CP932).
struct DriveConnection {
  std::string LocalName;   // "Z:"; empty for a connection without a drive letter
  std::string RemoteName;  // "\\server\share"
};

class INetworkDrives {
 public:
  virtual ~INetworkDrives() = default;
  // WNetOpenEnumA(RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, NULL), then
  // WNetEnumResourceA one entry at a time into a 1024-byte buffer until it
  // returns anything but success, then WNetCloseEnum. Returns the result of
  // the open; the connections are appended only when it succeeded.
  virtual long EnumConnected(std::vector<DriveConnection>& connections) = 0;
  // WNetCancelConnection2A(localName, CONNECT_UPDATE_PROFILE, force TRUE).
  virtual long CancelConnection(const std::string& localName) = 0;
  // WNetAddConnection2A of a global-network disk resource with no provider,
  // remembered in the user profile (CONNECT_UPDATE_PROFILE). An empty `user`
  // passes no user and no password: the logged-on user's credentials.
  virtual long AddConnection(const std::string& localName, const std::string& remoteName,
                             const std::string& user, const std::string& password) = 0;
};

}  // namespace velandra::platform
