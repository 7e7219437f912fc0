#include "system/platform/sim/sim_session.h"

#include <vector>

#include "system/platform/sim/simulated_pc.h"
#include "system/platform/sim/state_file.h"
#include "system/platform/text.h"
#include "system/platform/win_types.h"

namespace velandra::platform::sim {

namespace {

struct ExitWord {
  uint32_t Flags;
  const char* Name;
};
constexpr ExitWord kExitWords[] = {
    {kExitLogOff, "log off"},
    {kExitShutdown, "shut down"},
    {kExitReboot, "restart"},
    {kExitPowerOff, "power off"},
};

// A logged-on account of users.ini, spelled as the file spells it (UTF-8).
class SimToken : public IToken {
 public:
  SimToken(const SimulatedPc& pc, std::string user) : pc_(&pc), user_(std::move(user)) {}
  const SimulatedPc* Pc() const { return pc_; }
  const std::string& User() const { return user_; }

 private:
  const SimulatedPc* pc_;
  std::string user_;
};

// The users.ini section of a local account (names compare without case,
// as Windows compares them); null for none.
const StateFile::Section* FindAccount(SimulatedPc& pc, const std::string& utf8) {
  if (utf8.empty() || Cp932EqualsNoCase(utf8, "database")) return nullptr;
  return pc.Users().Find(utf8);
}

constexpr const char* kSessionSteps[] = {
    "open token", "lookup privilege", "adjust token", "exit", "impersonate", "revert"};

bool Fail(long code, long& error) {
  error = code;
  return false;
}

}  // namespace

const char* ExitRequestName(uint32_t flags) {
  for (const auto& w : kExitWords)
    if (w.Flags == flags) return w.Name;
  return nullptr;
}

std::optional<uint32_t> ExitRequestFlags(const std::string& name) {
  for (const auto& w : kExitWords)
    if (Cp932EqualsNoCase(name, w.Name)) return w.Flags;
  return std::nullopt;
}

bool SessionStepFails(SimulatedPc& pc, const char* step) {
  for (const auto& item : SplitStateList(pc.Machine().Get("session", "failing")))
    if (Cp932EqualsNoCase(item, step)) return true;
  return false;
}

std::optional<std::string> UnknownSessionStep(const std::string& list) {
  for (const auto& item : SplitStateList(list)) {
    bool known = false;
    for (const char* step : kSessionSteps) known = known || Cp932EqualsNoCase(item, step);
    if (!known) return item;
  }
  return std::nullopt;
}

bool SimSession::EnableShutdownPrivilege(PrivilegeStep& failed) {
  // The process token's privilege, whoever the thread impersonates.
  struct Step {
    const char* name;
    PrivilegeStep step;
  };
  for (const Step& s : {Step{"open token", PrivilegeStep::OpenToken},
                        Step{"lookup privilege", PrivilegeStep::LookupPrivilege},
                        Step{"adjust token", PrivilegeStep::AdjustToken}}) {
    if (SessionStepFails(pc_, s.name)) {
      failed = s.step;
      pc_.LogEvent(std::string("shutdown privilege not enabled: ") + s.name + " failed");
      return false;
    }
  }
  pc_.Process().ShutdownPrivilege = true;
  pc_.LogEvent("shutdown privilege enabled");
  return true;
}

bool SimSession::RequestExit(uint32_t flags) {
  const char* name = ExitRequestName(flags);
  auto refuse = [&](long code, const std::string& why) {
    pc_.LogEvent("exit request refused (error " + std::to_string(code) + "): " + why);
    return false;
  };
  // The program never adds the force flags; a request with them is a fault.
  if (!name) return refuse(kErrorInvalidParameter, "flags " + std::to_string(flags));
  const std::string pending = pc_.Machine().Get("session", "exit_request");
  if (!pending.empty())
    return refuse(kErrorShutdownInProgress,
                  std::string(name) + " while \"" + pending + "\" is pending");
  if (flags != kExitLogOff && !pc_.Process().ShutdownPrivilege)
    return refuse(kErrorPrivilegeNotHeld, std::string(name) + " without the shutdown privilege");
  if (SessionStepFails(pc_, "exit"))
    return refuse(kErrorAccessDenied, std::string(name) + " (pc.ini makes it fail)");
  pc_.Machine().Set("session", "exit_request", name);
  if (!pc_.SaveMachine()) {
    pc_.Machine().Remove("session", "exit_request");
    return refuse(kErrorWriteFault, "pc.ini cannot be written");
  }
  pc_.LogEvent(std::string("exit requested: ") + name + " (by " + pc_.CurrentUser() + ")");
  return true;
}

std::unique_ptr<IToken> SimSession::LogOn(const std::string& user, const std::string& domain,
                                          const std::string& password, long& error) {
  bool ok = true;
  const std::string name = Cp932ToUtf8(user, &ok);
  auto refuse = [&](long code, const char* why) -> std::unique_ptr<IToken> {
    error = code;
    pc_.LogEvent("logon of " + name + " refused (error " + std::to_string(code) + "): " + why);
    return nullptr;
  };
  // Only this computer's accounts: the simulated PC reaches no domain.
  if (domain != ".") return refuse(kErrorLogonFailure, "not a local logon (domain \".\")");
  const StateFile::Section* account = ok ? FindAccount(pc_, name) : nullptr;
  if (!account) return refuse(kErrorLogonFailure, "no such account");
  // Windows checks the password before it tells that the account is
  // disabled, so that a guess learns nothing about the account.
  if (Utf8ToCp932(pc_.Users().Get(account->Name, "password")) != password)
    return refuse(kErrorLogonFailure, "wrong password");
  if (Cp932EqualsNoCase(pc_.Users().Get(account->Name, "disabled"), "yes"))
    return refuse(kErrorAccountDisabled, "the account is disabled");
  pc_.LogEvent("logged on " + account->Name + " (a token for this process)");
  return std::make_unique<SimToken>(pc_, account->Name);
}

bool SimSession::Impersonate(IToken& token, long& error) {
  auto* sim = dynamic_cast<SimToken*>(&token);
  if (!sim || sim->Pc() != &pc_) return Fail(kErrorInvalidHandle, error);
  if (SessionStepFails(pc_, "impersonate")) {
    pc_.LogEvent("impersonation of " + sim->User() + " refused (pc.ini makes it fail)");
    return Fail(kErrorAccessDenied, error);
  }
  pc_.Process().Impersonating = sim->User();
  pc_.LogEvent("impersonating " + sim->User() + ": what follows is done as " + sim->User());
  return true;
}

bool SimSession::RevertToSelf(long& error) {
  if (SessionStepFails(pc_, "revert")) {
    pc_.LogEvent("revert to self refused (pc.ini makes it fail)");
    return Fail(kErrorAccessDenied, error);
  }
  // Reverting while not impersonating succeeds, as on Windows.
  if (!pc_.Process().Impersonating.empty()) {
    pc_.Process().Impersonating.clear();
    pc_.LogEvent("reverted to self: " + pc_.CurrentUser());
  }
  return true;
}

}  // namespace velandra::platform::sim
