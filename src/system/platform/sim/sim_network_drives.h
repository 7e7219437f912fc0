// INetworkDrives on the simulated PC: the user's connections in drives.ini
// of the PC directory (see docs/simulated-pc.md). A missing drives.ini is
// no connection at all; without a [network] section every UNC path can be
// reached, with one only the shares it lists.
#pragma once
#include "system/platform/network_drives.h"

namespace velandra::platform::sim {

class SimulatedPc;

inline constexpr char kDrivesFile[] = "drives.ini";

class SimNetworkDrives : public INetworkDrives {
 public:
  explicit SimNetworkDrives(SimulatedPc& pc) : pc_(pc) {}
  long EnumConnected(std::vector<DriveConnection>& connections) override;
  long CancelConnection(const std::string& localName) override;
  // The user and whether a password was given are recorded; the password
  // itself is written nowhere.
  long AddConnection(const std::string& localName, const std::string& remoteName,
                     const std::string& user, const std::string& password) override;

 private:
  SimulatedPc& pc_;
};

}  // namespace velandra::platform::sim
