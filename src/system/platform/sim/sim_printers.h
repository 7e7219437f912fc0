// IPrinters on the simulated PC.
#pragma once
#include "system/platform/printers.h"

namespace velandra::platform::sim {

class SimulatedPc;

class SimPrinters : public IPrinters {
 public:
  explicit SimPrinters(SimulatedPc& pc) : pc_(pc) {}

 private:
  [[maybe_unused]] SimulatedPc& pc_;
};

}  // namespace velandra::platform::sim
