// The logon session of the simulated PC: the shutdown privilege, exit
// requests recorded in pc.ini, logons checked against users.ini, and
// impersonation, which changes the user the PC reports to the running code.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "system/platform/session.h"

#include "system/platform/win_types.h"

namespace velandra::platform::sim {

class SimulatedPc;

// The words pc.ini uses for an exit request ("log off", "shut down",
// "restart", "power off"); null for flags the simulated PC does not take.
const char* ExitRequestName(uint32_t flags);
// The flags of such a word (any case); nullopt for another text.
std::optional<uint32_t> ExitRequestFlags(const std::string& name);

// Whether `step` is listed in pc.ini's [session] failing (see
// docs/simulated-pc.md): "open token", "lookup privilege", "adjust token",
// "exit", "impersonate", "revert".
bool SessionStepFails(SimulatedPc& pc, const char* step);
// The first item of such a list that names no step, for the check when the
// PC opens; nullopt when all are known.
std::optional<std::string> UnknownSessionStep(const std::string& list);

class SimSession : public ISession {
 public:
  explicit SimSession(SimulatedPc& pc) : pc_(pc) {}
  bool EnableShutdownPrivilege(PrivilegeStep& failed) override;
  // Records the request as [session] exit_request. A shut down, restart or
  // power off needs the privilege enabled first; while a request is
  // recorded, another one is refused (the first wins, Windows is ending).
  bool RequestExit(uint32_t flags) override;
  // Local accounts of users.ini only (domain "."), with their password.
  std::unique_ptr<IToken> LogOn(const std::string& user, const std::string& domain,
                                const std::string& password, long& error) override;
  bool Impersonate(IToken& token, long& error) override;
  bool RevertToSelf(long& error) override;

 private:
  SimulatedPc& pc_;
};

}  // namespace velandra::platform::sim
