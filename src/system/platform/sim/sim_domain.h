// The simulated PC's domain membership and its domain controller stand-in.
#pragma once
#include "system/platform/domain.h"

namespace velandra::platform::sim {

class SimulatedPc;

class SimDomain : public IDomain {
 public:
  explicit SimDomain(SimulatedPc& pc) : pc_(pc) {}
  long QueryPrimaryDomain(uint32_t access, PrimaryDomain& domain) override;
  long JoinDomain(const std::string& domain, const std::optional<std::string>& account,
                  const std::optional<std::string>& password, uint32_t options) override;
  long UnjoinDomain(uint32_t options) override;

 private:
  SimulatedPc& pc_;
};

}  // namespace velandra::platform::sim
