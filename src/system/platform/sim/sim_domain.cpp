#include "system/platform/sim/sim_domain.h"

#include "system/platform/sim/simulated_pc.h"

namespace velandra::platform::sim {

namespace {
constexpr long kErrorNotSupported = 50;
}  // namespace

// Not modelled yet: every call fails, so that nothing counts as joined.
long SimDomain::QueryPrimaryDomain(uint32_t, PrimaryDomain&) { return kErrorNotSupported; }

long SimDomain::JoinDomain(const std::string&, const std::optional<std::string>&,
                           const std::optional<std::string>&, uint32_t) {
  return kErrorNotSupported;
}

long SimDomain::UnjoinDomain(uint32_t) { return kErrorNotSupported; }

}  // namespace velandra::platform::sim
