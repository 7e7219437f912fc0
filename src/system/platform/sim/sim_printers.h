// IPrinters on the simulated PC: the installed printers and the default one
// in printers.ini of the PC directory (see docs/simulated-pc.md). A missing
// printers.ini is a PC without printers.
#pragma once
#include "system/platform/printers.h"

namespace velandra::platform::sim {

class SimulatedPc;

inline constexpr char kPrintersFile[] = "printers.ini";

class SimPrinters : public IPrinters {
 public:
  explicit SimPrinters(SimulatedPc& pc) : pc_(pc) {}
  bool EnumPrinterNames(std::vector<std::string>& names, long& error) override;
  bool GetDefault(std::string& name, long& error) override;
  // Only an installed printer (names compared without ASCII case, as the
  // spooler does) becomes the default.
  bool SetDefault(const std::string& name, long& error) override;

 private:
  SimulatedPc& pc_;
};

}  // namespace velandra::platform::sim
