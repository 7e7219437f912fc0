#include "system/platform/sim/sim_boot.h"

#include <algorithm>
#include <ostream>
#include <system_error>

#include "system/platform/registry.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/scripted_answers.h"
#include "system/platform/sim/sim_domain.h"
#include "system/platform/sim/sim_session.h"
#include "system/platform/sim/sim_shortcut.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

namespace fs = std::filesystem;

constexpr char kWinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// Prints and logs one line of the boot.
class Reporter {
 public:
  Reporter(SimulatedPc& pc, std::ostream& out) : pc_(pc), out_(out) {}
  void operator()(const std::string& utf8) {
    out_ << "boot: " << utf8 << "\n";
    pc_.LogEvent("boot: " + utf8);
  }

 private:
  SimulatedPc& pc_;
  std::ostream& out_;
};

// The Winlogon values of the automatic logon (CP932); absent ones are "".
struct Winlogon {
  std::string AutoAdminLogon, DefaultUserName, DefaultPassword, DefaultDomainName;
};

Winlogon ReadWinlogon(SimulatedPc& pc) {
  Winlogon w;
  RegKey key;
  if (key.Open(pc.platform().registry, Hive::LocalMachine, kWinlogonKey, kKeyQueryValue) !=
      kErrorSuccess)
    return w;
  key.QueryString("AutoAdminLogon", 1024, w.AutoAdminLogon);
  key.QueryString("DefaultUserName", 1024, w.DefaultUserName);
  key.QueryString("DefaultPassword", 1024, w.DefaultPassword);
  key.QueryString("DefaultDomainName", 1024, w.DefaultDomainName);
  return w;
}

// Who logs on; "" when nobody can (the reason has been reported).
std::string ChooseUser(SimulatedPc& pc, bool& automatic, Reporter& report) {
  const Winlogon w = ReadWinlogon(pc);
  automatic = w.AutoAdminLogon == "1";
  if (automatic) {
    const std::string who = Cp932ToUtf8(w.DefaultUserName);
    // Winlogon logs a local account on with the computer's own name as
    // the domain; the simulated PC reaches no other domain.
    std::string computer;
    pc.platform().system.GetComputerName(computer);
    const bool local = w.DefaultDomainName.empty() || w.DefaultDomainName == "." ||
                       Cp932EqualsNoCase(w.DefaultDomainName, computer);
    long error = 0;
    if (!w.DefaultUserName.empty() &&
        pc.platform().session.LogOn(w.DefaultUserName, local ? "." : w.DefaultDomainName,
                                    w.DefaultPassword, error)) {
      const std::string name = pc.Users().Find(who)->Name;
      report("automatic logon of " + name + " (Winlogon AutoAdminLogon = 1)");
      return name;
    }
    std::string why = w.DefaultUserName.empty() ? "DefaultUserName is empty"
                      : error == kErrorAccountDisabled ? "the account is disabled"
                      : !local ? "the simulated PC has no domain " +
                                     Cp932ToUtf8(w.DefaultDomainName)
                               : "no such account, or DefaultPassword is not its password";
    report("the automatic logon of \"" + who + "\" failed (error " + std::to_string(error) +
           ": " + why + "); Windows shows the logon screen, and the boot stops here");
    return "";
  }
  const std::string last = pc.Machine().Get("session", "user");
  const StateFile::Section* account =
      last.empty() || Cp932EqualsNoCase(last, "database") ? nullptr : pc.Users().Find(last);
  if (!account || Cp932EqualsNoCase(pc.Users().Get(account->Name, "disabled"), "yes")) {
    report("no automatic logon, and the last user \"" + last +
           "\" is no account that can log on; the boot stops at the logon screen");
    return "";
  }
  report("no automatic logon: " + account->Name + " (the last user) logs on at the logon screen");
  return account->Name;
}

// The files of the common Startup folder, in name order, each read as a
// shortcut before any of them runs (a start deletes and writes them).
struct Found {
  std::string File;  // UTF-8
  bool IsShortcut = false, Readable = false;
  ShortcutSpec Spec;
  std::string Why;
};

std::vector<Found> ReadStartupFolder(SimulatedPc& pc) {
  std::vector<Found> found;
  std::string folder;
  fs::path host;
  std::error_code ec;
  if (!pc.platform().shell.GetSpecialFolderPath(SpecialFolder::CommonStartup, false, folder) ||
      !pc.MapPath(folder, host))
    return found;
  for (const auto& entry : fs::directory_iterator(host, ec)) {
    if (!entry.is_regular_file(ec)) continue;  // Windows runs no subfolders
    Found f;
    f.File = HostPathToUtf8(entry.path().filename());
    f.IsShortcut = f.File.size() > 4 &&
                   Cp932EqualsNoCase(f.File.substr(f.File.size() - 4), ".lnk");
    std::string data;
    if (f.IsShortcut) {
      if (!ReadHostFile(entry.path(), data)) f.Why = "it cannot be read";
      else f.Readable = ParseShortcut(data, f.Spec, f.Why);
    }
    found.push_back(std::move(f));
  }
  std::sort(found.begin(), found.end(),
            [](const Found& a, const Found& b) {
              return Cp932CompareNoCase(Utf8ToCp932(a.File), Utf8ToCp932(b.File)) < 0;
            });
  return found;
}

// Whether two Windows paths of the PC name one file.
bool SameFile(SimulatedPc& pc, const std::string& a, const std::string& b) {
  fs::path ha, hb;
  if (!pc.MapPath(a, ha) || !pc.MapPath(b, hb)) return false;
  return Cp932EqualsNoCase(Utf8ToCp932(HostPathToUtf8(ha)), Utf8ToCp932(HostPathToUtf8(hb)));
}

}  // namespace

BootResult Boot(SimulatedPc& pc, bool force, const StartProgram& start, std::ostream& out) {
  BootResult result;
  Reporter report(pc, out);
  std::ostream* console = pc.Console();
  pc.SetConsole(&out);
  struct RestoreConsole {
    SimulatedPc& pc;
    std::ostream* console;
    ~RestoreConsole() { pc.SetConsole(console); }
  } restore{pc, console};

  const std::string request = pc.Machine().Get("session", "exit_request");
  if (request.empty() && !force) {
    report("no exit request is recorded: nothing to boot (--force boots anyway)");
    return result;
  }
  result.Booted = true;
  result.ExitRequest = request;
  report(request.empty() ? "no exit request is recorded; booting anyway, as after a restart"
                         : "the last session asked to " + request + "; the request is cleared");

  // Everything but a log off restarts Windows: a new computer name is in force.
  pc.Machine().Remove("session", "exit_request");
  const std::string pending = pc.Machine().Get("computer", "pending_name");
  if (ExitRequestFlags(request).value_or(kExitReboot) != kExitLogOff && !pending.empty()) {
    pc.Machine().Set("computer", "name", pending);
    pc.Machine().Remove("computer", "pending_name");
    report("the computer name is now " + pending);
  }
  if (ExitRequestFlags(request).value_or(kExitReboot) != kExitLogOff)
    if (auto membership = ApplyPendingMembership(pc)) report(*membership);
  pc.BeginProcess();
  result.User = ChooseUser(pc, result.AutomaticLogon, report);
  if (!result.User.empty()) pc.Machine().Set("session", "user", result.User);
  if (!pc.SaveMachine()) {
    report("pc.ini cannot be written; the boot stops");
    result.ExitCode = kBootStateNotWritten;
    return result;
  }
  if (result.User.empty()) {
    result.ExitCode = kBootNoLogon;
    return result;
  }

  const std::string executable = pc.platform().system.ModuleFileName();
  for (Found& f : ReadStartupFolder(pc)) {
    if (!f.IsShortcut) {
      report(f.File + " is not a shortcut; the simulated PC opens no other files: skipped");
      continue;
    }
    if (!f.Readable) {
      report(f.File + " cannot be read as a shortcut (" + f.Why + "): skipped");
      continue;
    }
    BootStart s{f.File, f.Spec, false, 0};
    const std::string target = Cp932ToUtf8(f.Spec.Target);
    const std::string pendingExit = pc.Machine().Get("session", "exit_request");
    if (!SameFile(pc, f.Spec.Target, executable)) {
      report(f.File + " starts " + target + ", which is not Velandra: skipped");
    } else if (!pendingExit.empty()) {
      report(f.File + " is not started: the session is ending (" + pendingExit + ")");
    } else {
      report("start " + f.File + ": \"" + target + "\" " + Cp932ToUtf8(f.Spec.Arguments));
      pc.BeginProcess();
      try {
        s.ExitCode = start(pc, f.Spec.Arguments, out);
      } catch (const SimulationError& e) {
        report(std::string("simulation stopped: ") + e.what());
        result.Starts.push_back(s);
        result.ExitCode = kBootSimulationStopped;
        return result;
      }
      s.Started = true;
      result.ExitCode = s.ExitCode;
      report(f.File + ": Velandra ended with exit code " + std::to_string(s.ExitCode));
    }
    result.Starts.push_back(std::move(s));
  }
  if (std::none_of(result.Starts.begin(), result.Starts.end(),
                   [](const BootStart& s) { return s.Started; }))
    report("nothing was started from the common Startup folder");
  if (!pc.answers().Empty())
    report(std::to_string(pc.answers().Remaining()) + " scripted answer(s) were not used");
  const std::string next = pc.Machine().Get("session", "exit_request");
  if (!next.empty()) report("the session asked to " + next + ": boot again to go on");
  return result;
}

}  // namespace velandra::platform::sim
