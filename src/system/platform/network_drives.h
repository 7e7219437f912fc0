// Network connections (mpr): the PC's drive connections, connecting and disconnecting.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velandra::platform {

class INetworkDrives {
 public:
  virtual ~INetworkDrives() = default;
};

}  // namespace velandra::platform
