#include "system/platform/sim/sim_domain.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "system/platform/sim/simulated_pc.h"
#include "system/platform/sim/state_file.h"
#include "system/platform/text.h"
#include "system/platform/win_types.h"

namespace velandra::platform::sim {

namespace {

constexpr char kDomainSection[] = "domain";
constexpr char kDefaultWorkgroup[] = "WORKGROUP";  // where an unjoined PC goes
constexpr const char* kFailingSteps[] = {"open policy", "query policy"};
constexpr uint32_t kGenericRead = 0x80000000;

constexpr char kDomainsHeader[] =
    "# Domain controllers the simulated PC can reach (see docs/simulated-pc.md):\n"
    "# [DOMAIN] reachable = yes|no, computer = NAME (one line per computer account);\n"
    "# [DOMAIN\\user] password = ..., join = yes (may join computers), disabled = yes.\n";

struct Membership {
  std::string Name;  // UTF-8
  bool Member = false;
};

bool IsYes(const std::string& v) { return Cp932EqualsNoCase(v, "yes"); }
bool IsYesOrNo(const std::string& v) { return IsYes(v) || Cp932EqualsNoCase(v, "no"); }

bool StepFails(SimulatedPc& pc, const char* step) {
  for (const auto& item : SplitStateList(pc.Machine().Get(kDomainSection, "failing")))
    if (Cp932EqualsNoCase(item, step)) return true;
  return false;
}

Membership Current(const StateFile& m) {
  Membership now;
  now.Name = m.Get(kDomainSection, "name");
  if (now.Name.empty()) now.Name = kDefaultWorkgroup;
  now.Member = IsYes(m.Get(kDomainSection, "member"));
  return now;
}

bool HasPending(const StateFile& m) {
  return m.Find(kDomainSection, "pending_name") || m.Find(kDomainSection, "pending_member");
}

// What the PC will be after the next restart: what the calls act on.
Membership AfterRestart(const StateFile& m) {
  Membership next = Current(m);
  if (const StateFile::Entry* e = m.Find(kDomainSection, "pending_name")) next.Name = e->Value;
  if (const StateFile::Entry* e = m.Find(kDomainSection, "pending_member"))
    next.Member = IsYes(e->Value);
  return next;
}

bool SetPending(SimulatedPc& pc, const Membership& next) {
  StateFile& m = pc.Machine();
  const Membership now = Current(m);
  if (now.Name == next.Name && now.Member == next.Member) {
    m.Remove(kDomainSection, "pending_name");
    m.Remove(kDomainSection, "pending_member");
  } else {
    m.Set(kDomainSection, "pending_name", next.Name);
    m.Set(kDomainSection, "pending_member", next.Member ? "yes" : "no");
  }
  return pc.SaveMachine();
}

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", v);
  return text;
}

long Refuse(SimulatedPc& pc, const char* call, long code, const std::string& why) {
  pc.LogEvent(std::string(call) + " refused (error " + std::to_string(code) + "): " + why);
  return code;
}

// The running code's account is an administrator of the PC (users.ini).
bool CallerIsAdministrator(SimulatedPc& pc) {
  const std::string user = pc.CurrentUser();
  const StateFile::Section* s =
      user.empty() || Cp932EqualsNoCase(user, "database") ? nullptr : pc.Users().Find(user);
  if (!s) return false;
  for (const auto& g : SplitStateList(pc.Users().Get(s->Name, "groups")))
    if (g == "Administrators") return true;
  return false;
}

// The computer's name as the next restart will have it (UTF-8).
std::string ComputerName(SimulatedPc& pc) {
  std::string pending = pc.Machine().Get("computer", "pending_name");
  return pending.empty() ? pc.Machine().Get("computer", "name") : pending;
}

// domains.ini, checked as a whole; a missing file is a network without
// controllers.
bool LoadControllers(SimulatedPc& pc, StateFile& state, std::string& error) {
  if (!state.Load(pc.directory() / kDomainsFile, false, error)) return false;
  for (const auto& s : state.Sections()) {
    const size_t slash = s.Name.find('\\');
    const bool account = slash != std::string::npos;
    auto at = [&](int line) { return std::string(kDomainsFile) + " line " + std::to_string(line); };
    if (account && (slash == 0 || slash + 1 == s.Name.size() ||
                    s.Name.find('\\', slash + 1) != std::string::npos ||
                    !state.Find(s.Name.substr(0, slash)))) {
      error = at(s.Line) + ": an account section is [DOMAIN\\user] of a domain with its own "
                           "section: [" + s.Name + "]";
      return false;
    }
    for (const auto& e : s.Entries) {
      const bool flag = account ? Cp932EqualsNoCase(e.Key, "join") ||
                                      Cp932EqualsNoCase(e.Key, "disabled")
                                : Cp932EqualsNoCase(e.Key, "reachable");
      const bool text = account ? Cp932EqualsNoCase(e.Key, "password")
                                : Cp932EqualsNoCase(e.Key, "computer");
      if (!flag && !text) {
        error = at(e.Line) + ": unknown key " + e.Key + " in [" + s.Name + "] (" +
                (account ? "password, join, disabled" : "reachable, computer") + ")";
        return false;
      }
      if (flag && !IsYesOrNo(e.Value)) {
        error = at(e.Line) + ": " + e.Key + " must be yes or no: " + e.Value;
        return false;
      }
    }
  }
  return true;
}

// The controller of `domain` (UTF-8): its section name, or an error code.
long FindController(SimulatedPc& pc, StateFile& state, const std::string& domain,
                    std::string& name, std::string& why) {
  std::string error;
  if (!LoadControllers(pc, state, error)) {
    pc.LogEvent("domain controllers refused: " + error);
    why = "domains.ini cannot be read";
    return kErrorNoSuchDomain;
  }
  const StateFile::Section* s =
      domain.find('\\') == std::string::npos ? state.Find(domain) : nullptr;
  if (!s) {
    why = "no domain controller of " + domain + " is known (domains.ini)";
    return kErrorNoSuchDomain;
  }
  if (!IsYes(state.Get(s->Name, "reachable", "yes"))) {
    why = "the domain controller of " + s->Name + " cannot be reached";
    return kErrorNoSuchDomain;
  }
  name = s->Name;
  return kErrorSuccess;
}

// Checks an account of `domain` with its password; the account may be
// given as "DOMAIN\user". `spelled` is set to its section's spelling.
long Authenticate(const StateFile& state, const std::string& domain, std::string user,
                  const std::string& password, std::string& spelled, std::string& why) {
  if (size_t slash = user.find('\\'); slash != std::string::npos) {
    if (!Cp932EqualsNoCase(user.substr(0, slash), domain)) {
      why = "the account " + user + " is not one of the domain " + domain;
      return kErrorLogonFailure;
    }
    user = user.substr(slash + 1);
  }
  const StateFile::Section* s = user.empty() ? nullptr : state.Find(domain + "\\" + user);
  if (!s || state.Get(s->Name, "password") != password) {
    why = "unknown account or wrong password: " + domain + "\\" + user;
    return kErrorLogonFailure;
  }
  spelled = s->Name;
  if (IsYes(state.Get(s->Name, "disabled"))) {
    why = "the account " + s->Name + " is disabled";
    return kErrorAccountDisabled;
  }
  if (!IsYes(state.Get(s->Name, "join"))) {
    why = "the account " + s->Name + " may not join computers to the domain";
    return kErrorAccessDenied;
  }
  return kErrorSuccess;
}

// The account a call without one uses: the running code's own, with its
// password of users.ini, as Windows passes the caller's credentials on.
long AuthenticateCaller(SimulatedPc& pc, const StateFile& state, const std::string& domain,
                        std::string& spelled, std::string& why) {
  const std::string user = pc.CurrentUser();
  const StateFile::Section* local = pc.Users().Find(user);
  const std::string password = local ? pc.Users().Get(local->Name, "password") : "";
  long rc = Authenticate(state, domain, user, password, spelled, why);
  if (rc != kErrorSuccess) why += " (the logged-on user's credentials)";
  return rc;
}

bool HasComputer(const StateFile& state, const std::string& domain, const std::string& computer) {
  if (const StateFile::Section* s = state.Find(domain))
    for (const auto& e : s->Entries)
      if (Cp932EqualsNoCase(e.Key, "computer") && Cp932EqualsNoCase(e.Value, computer))
        return true;
  return false;
}

// Removes the computer account: rebuilds the section without its lines.
void RemoveComputer(StateFile& state, const std::string& domain, const std::string& computer) {
  const StateFile::Section* s = state.Find(domain);
  if (!s) return;
  std::vector<StateFile::Entry> keep;
  for (const auto& e : s->Entries)
    if (!(Cp932EqualsNoCase(e.Key, "computer") && Cp932EqualsNoCase(e.Value, computer)))
      keep.push_back(e);
  const std::string name = s->Name;
  state.Remove(name, "reachable");
  state.Remove(name, "computer");
  for (const auto& e : keep) state.Add(name, e.Key, e.Value);
}

// A workgroup name Windows takes: a NetBIOS name of 1 to 15 bytes without
// the characters it refuses.
bool ValidWorkgroupName(const std::string& cp932) {
  if (cp932.empty() || cp932.size() > 15 || cp932[0] == ' ' || cp932.back() == ' ') return false;
  for (size_t i = 0; i < cp932.size(); i += Cp932CharLength(cp932, i)) {
    unsigned char c = static_cast<unsigned char>(cp932[i]);
    if (Cp932CharLength(cp932, i) == 1 &&
        (c < 0x20 || std::string_view("\"/\\[]:|<>+=;,?*").find(static_cast<char>(c)) !=
                         std::string_view::npos))
      return false;
  }
  return true;
}

}  // namespace

long SimDomain::QueryPrimaryDomain(uint32_t access, PrimaryDomain& domain) {
  // An administrator's rights for anything beyond viewing the information.
  if (StepFails(pc_, "open policy"))
    return Refuse(pc_, "LsaOpenPolicy", kErrorAccessDenied, "[domain] failing names it");
  if ((access & ~kPolicyViewLocalInformation) != 0 && !CallerIsAdministrator(pc_))
    return Refuse(pc_, "LsaOpenPolicy", kErrorAccessDenied,
                  "access " + Hex(access) + " needs an administrator, and " + pc_.CurrentUser() +
                      " is none");
  if ((access & (kPolicyViewLocalInformation | kGenericRead)) == 0)
    return Refuse(pc_, "LsaQueryInformationPolicy", kErrorAccessDenied,
                  "the policy was opened without view-local-information access");
  if (StepFails(pc_, "query policy"))
    return Refuse(pc_, "LsaQueryInformationPolicy", kErrorAccessDenied,
                  "[domain] failing names it");
  const Membership now = Current(pc_.Machine());
  domain.Name = Utf8ToCp932(now.Name);
  domain.HasSid = now.Member;
  return kErrorSuccess;
}

long SimDomain::JoinDomain(const std::string& domain, const std::optional<std::string>& account,
                           const std::optional<std::string>& password, uint32_t options) {
  constexpr char kCall[] = "NetJoinDomain";
  constexpr uint32_t kKnown = kNetSetupJoinDomain | kNetSetupAcctCreate | kNetSetupDomainJoinIfJoined;
  const std::string name = Cp932ToUtf8(domain);
  if (options & ~kKnown)
    return Refuse(pc_, kCall, kErrorNotSupported,
                  "options " + Hex(options) + " are not modelled by the simulated PC");
  const bool toDomain = options & kNetSetupJoinDomain;
  if ((options & kNetSetupAcctCreate) && !toDomain)
    return Refuse(pc_, kCall, kErrorInvalidParameter, "account creation without a domain join");
  if (domain.empty() || domain.find('\0') != std::string::npos)
    return Refuse(pc_, kCall, kErrorInvalidParameter, "no domain or workgroup name");
  if (!CallerIsAdministrator(pc_))
    return Refuse(pc_, kCall, kErrorAccessDenied, pc_.CurrentUser() + " is no administrator");
  const Membership before = AfterRestart(pc_.Machine());
  if (before.Member && !(options & kNetSetupDomainJoinIfJoined))
    return Refuse(pc_, kCall, kNerrSetupAlreadyJoined,
                  "the PC is a member of the domain " + before.Name + " already");
  auto left = [&](const std::string& joined) {
    return before.Member && !Cp932EqualsNoCase(before.Name, joined)
               ? "; it leaves the domain " + before.Name + ", whose computer account stays"
               : std::string();
  };

  if (!toDomain) {
    if (!ValidWorkgroupName(domain))
      return Refuse(pc_, kCall, kNerrInvalidWorkgroupName, "no valid workgroup name: " + name);
    if (!SetPending(pc_, {name, false}))
      return Refuse(pc_, kCall, kErrorWriteFault, "pc.ini cannot be written");
    pc_.LogEvent("joined the workgroup " + name + " (in force after the next restart)" + left(""));
    return kErrorSuccess;
  }

  StateFile state;
  std::string controller, why, user;
  if (long rc = FindController(pc_, state, name, controller, why))
    return Refuse(pc_, kCall, rc, why);
  long rc = account ? Authenticate(state, controller, Cp932ToUtf8(*account),
                                   password ? Cp932ToUtf8(*password) : "", user, why)
                    : AuthenticateCaller(pc_, state, controller, user, why);
  if (rc) return Refuse(pc_, kCall, rc, why);
  const std::string computer = ComputerName(pc_);
  const bool existed = HasComputer(state, controller, computer);
  if (!existed && !(options & kNetSetupAcctCreate))
    return Refuse(pc_, kCall, kErrorNoTrustSamAccount,
                  "the domain " + controller + " has no computer account " + computer);
  if (!existed) {
    state.Add(controller, "computer", computer);
    std::string error;
    if (!state.Save(pc_.directory() / kDomainsFile, kDomainsHeader, &error))
      return Refuse(pc_, kCall, kErrorWriteFault, "domains.ini cannot be written: " + error);
  }
  if (!SetPending(pc_, {controller, true}))
    return Refuse(pc_, kCall, kErrorWriteFault, "pc.ini cannot be written");
  pc_.LogEvent("joined the domain " + controller + " as " + user +
               (account ? "" : " (the logged-on user's credentials)") +
               (password && account ? " with a password" : account ? " without a password" : "") +
               "; computer account " + computer + (existed ? " reused" : " created") +
               " (in force after the next restart)" + left(controller));
  return kErrorSuccess;
}

long SimDomain::UnjoinDomain(uint32_t options) {
  constexpr char kCall[] = "NetUnjoinDomain";
  if (options != 0 && options != kNetSetupAcctDelete)
    return Refuse(pc_, kCall, kErrorInvalidParameter, "options " + Hex(options));
  if (!CallerIsAdministrator(pc_))
    return Refuse(pc_, kCall, kErrorAccessDenied, pc_.CurrentUser() + " is no administrator");
  const Membership before = AfterRestart(pc_.Machine());
  if (!before.Member)
    return Refuse(pc_, kCall, kNerrSetupNotJoined,
                  "the PC is in the workgroup " + before.Name + ", not in a domain");
  std::string deleted = "its computer account stays";
  if (options & kNetSetupAcctDelete) {
    StateFile state;
    std::string controller, why, user;
    if (long rc = FindController(pc_, state, before.Name, controller, why))
      return Refuse(pc_, kCall, rc, why);
    if (long rc = AuthenticateCaller(pc_, state, controller, user, why))
      return Refuse(pc_, kCall, rc, why);
    const std::string computer = ComputerName(pc_);
    if (HasComputer(state, controller, computer)) {
      RemoveComputer(state, controller, computer);
      std::string error;
      if (!state.Save(pc_.directory() / kDomainsFile, kDomainsHeader, &error))
        return Refuse(pc_, kCall, kErrorWriteFault, "domains.ini cannot be written: " + error);
      deleted = "the controller deleted its computer account " + computer + " (asked by " +
                user + ")";
    } else {
      deleted = "the controller had no computer account " + computer;
    }
  }
  if (!SetPending(pc_, {kDefaultWorkgroup, false}))
    return Refuse(pc_, kCall, kErrorWriteFault, "pc.ini cannot be written");
  pc_.LogEvent("left the domain " + before.Name + "; " + deleted + "; the PC goes to the "
               "workgroup " + kDefaultWorkgroup + " (in force after the next restart)");
  return kErrorSuccess;
}

bool CheckDomainState(const StateFile& m, std::string& error) {
  for (const char* key : {"member", "pending_member"}) {
    if (const StateFile::Entry* e = m.Find(kDomainSection, key); e && !IsYesOrNo(e->Value)) {
      error = m.Name() + " line " + std::to_string(e->Line) + ": " + key +
              " must be yes or no: " + e->Value;
      return false;
    }
  }
  if (const StateFile::Entry* e = m.Find(kDomainSection, "failing")) {
    for (const auto& item : SplitStateList(e->Value)) {
      bool known = false;
      for (const char* step : kFailingSteps) known = known || Cp932EqualsNoCase(item, step);
      if (!known) {
        error = m.Name() + " line " + std::to_string(e->Line) +
                ": failing names an unknown step \"" + item + "\" (open policy, query policy)";
        return false;
      }
    }
  }
  return true;
}

std::optional<std::string> ApplyPendingMembership(SimulatedPc& pc) {
  StateFile& m = pc.Machine();
  if (!HasPending(m)) return std::nullopt;
  const Membership next = AfterRestart(m);
  m.Set(kDomainSection, "name", next.Name);
  m.Set(kDomainSection, "member", next.Member ? "yes" : "no");
  m.Remove(kDomainSection, "pending_name");
  m.Remove(kDomainSection, "pending_member");
  return next.Member ? "the PC is now a member of the domain " + next.Name
                     : "the PC is now in the workgroup " + next.Name;
}

}  // namespace velandra::platform::sim
