// IShares on the simulated PC.
#pragma once
#include "system/platform/shares.h"

namespace velandra::platform::sim {

class SimulatedPc;

class SimShares : public IShares {
 public:
  explicit SimShares(SimulatedPc& pc) : pc_(pc) {}

 private:
  [[maybe_unused]] SimulatedPc& pc_;
};

}  // namespace velandra::platform::sim
