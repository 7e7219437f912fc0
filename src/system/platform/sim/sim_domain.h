// The simulated PC's domain membership and its domain controller stand-in.
//
// Membership lives in pc.ini, section [domain]: `name` (the domain or the
// workgroup), `member` (yes: a domain member, the policy has a domain SID),
// and what a join or an unjoin has asked for and the next restart brings
// into force: `pending_name`, `pending_member`. The controllers the PC can
// reach are described in domains.ini beside it (docs/simulated-pc.md).
#pragma once
#include <optional>
#include <string>

#include "system/platform/domain.h"

namespace velandra::platform::sim {

class SimulatedPc;
class StateFile;

inline constexpr char kDomainsFile[] = "domains.ini";

// NERR codes of the join calls, and the others the stand-in returns.
enum : long {
  kErrorNotSupported = 50,
  kErrorNoSuchDomain = 1355,
  kErrorNoTrustSamAccount = 1787,
  kNerrSetupAlreadyJoined = 2691,
  kNerrSetupNotJoined = 2692,
  kNerrInvalidWorkgroupName = 2695,
};

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

// Checks pc.ini's [domain] section: yes/no values and the known failing
// steps. False with `error` naming the line.
bool CheckDomainState(const StateFile& machine, std::string& error);

// At a restart: the pending membership comes into force. The line to report
// (UTF-8) when it changed anything, else nullopt. The caller saves pc.ini.
std::optional<std::string> ApplyPendingMembership(SimulatedPc& pc);

}  // namespace velandra::platform::sim
