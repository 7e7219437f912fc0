// INetworkDrives on the simulated PC.
#pragma once
#include "system/platform/network_drives.h"

namespace velandra::platform::sim {

class SimulatedPc;

class SimNetworkDrives : public INetworkDrives {
 public:
  explicit SimNetworkDrives(SimulatedPc& pc) : pc_(pc) {}

 private:
  [[maybe_unused]] SimulatedPc& pc_;
};

}  // namespace velandra::platform::sim
