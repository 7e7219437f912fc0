#include "system/platform/sim/sim_boot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/exit_codes.h"
#include "app/velandra_app.h"
#include "support/scratch_dir.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/scripted_answers.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "ui/dlg_exit.h"
#include "ui/dlg_user_password.h"

namespace velandra::platform::sim {
namespace {

using velandra::testing::ScratchPc;

constexpr char kStartup[] =
    "C:\\Documents and Settings\\All Users\\スタート メニュー\\プログラム\\スタートアップ";
constexpr char kStartupDir[] =
    "C/Documents and Settings/All Users/スタート メニュー/プログラム/スタートアップ";
constexpr char kExe[] = "C:\\Program Files\\Velandra\\Velandra.exe";
constexpr char kWinlogon[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

ShortcutSpec Shortcut(const std::string& target, const std::string& arguments) {
  return {target, arguments, "C:\\Program Files\\Velandra", "Velandra"};
}

void PutShortcut(SimulatedPc& pc, const std::string& name, const ShortcutSpec& spec) {
  ASSERT_TRUE(pc.platform().shell.CreateShortcut(std::string(kStartup) + "\\" + name, spec));
}

void SetWinlogon(SimulatedPc& pc, const char* name, const char* value) {
  RegKey key;
  ASSERT_EQ(key.Open(pc.platform().registry, Hive::LocalMachine, kWinlogon, kKeyAllAccess),
            kErrorSuccess);
  if (value)
    ASSERT_EQ(key.SetString(name, value), kErrorSuccess);
  else
    key.DeleteValue(name);
}

// A start that records who ran it with which arguments and, when asked to,
// makes an exit request the way Velandra does.
struct Recorder {
  struct Seen {
    std::string user, arguments;
    bool administratorRights;
  };
  std::vector<Seen> seen;
  uint32_t exitWith = 0;
  bool requestExit = false;
  int code = 0;

  StartProgram Program() {
    return [this](SimulatedPc& pc, const std::string& arguments, std::ostream&) {
      std::string user;
      pc.platform().system.GetUserName(user);
      std::vector<std::string> groups;
      pc.platform().accounts.GetLocalGroups(user, groups);
      seen.push_back({user, arguments,
                      std::find(groups.begin(), groups.end(), "Administrators") != groups.end()});
      if (requestExit) {
        PrivilegeStep failed;
        pc.platform().session.EnableShutdownPrivilege(failed);
        pc.platform().session.RequestExit(exitWith);
      }
      return code;
    };
  }
};

// Velandra itself, started as the velandra-pc front end starts it.
int RunVelandra(SimulatedPc& pc, const std::string& arguments, std::ostream& out) {
  ui::ScriptedUserPasswordDialog prompt(pc.answers(), out);
  ui::ScriptedExitDialog exitDialog(pc.answers(), out);
  app::CVelandraApp app(pc.platform(), prompt, &exitDialog);
  return app.Run(arguments);
}

std::string Reopened(const ScratchPc& pc, const char* section, const char* key) {
  std::string error;
  auto again = SimulatedPc::Open(pc.dir(), error);
  EXPECT_NE(again, nullptr) << error;
  return again ? again->Machine().Get(section, key) : "";
}

TEST(SimBoot, WithoutAnExitRequestNothingRuns) {
  ScratchPc pc;
  PutShortcut(pc.Open(), "Velandra.lnk", Shortcut(kExe, "-p \"本社\" -now"));
  Recorder recorder;
  std::ostringstream out;
  BootResult result = Boot(pc.Open(), false, recorder.Program(), out);
  EXPECT_FALSE(result.Booted);
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_TRUE(recorder.seen.empty());
  EXPECT_NE(out.str().find("no exit request is recorded"), std::string::npos) << out.str();

  result = Boot(pc.Open(), true, recorder.Program(), out);  // --force
  EXPECT_TRUE(result.Booted);
  EXPECT_EQ(result.ExitRequest, "");
  ASSERT_EQ(recorder.seen.size(), 1u);
  EXPECT_EQ(recorder.seen[0].arguments, "-p \"本社\" -now");
}

TEST(SimBoot, TheRequestIsClearedAndARestartBringsTheNewComputerName) {
  struct Row {
    const char* request;
    const char* name;  // [computer] name after the boot
  } rows[] = {
      {"log off", "VELANDRA-PC"},
      {"shut down", "OFFICE-PC"},
      {"restart", "OFFICE-PC"},
      {"power off", "OFFICE-PC"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.request);
    ScratchPc pc;
    pc.SetMachine("session", "exit_request", row.request);
    ASSERT_TRUE(pc.Open().platform().system.SetComputerName("OFFICE-PC"));
    Recorder recorder;
    std::ostringstream out;
    BootResult result = Boot(pc.Open(), false, recorder.Program(), out);
    EXPECT_TRUE(result.Booted);
    EXPECT_EQ(result.ExitRequest, row.request);
    EXPECT_EQ(Reopened(pc, "session", "exit_request"), "");
    EXPECT_EQ(Reopened(pc, "computer", "name"), row.name);
    std::string name;
    ASSERT_TRUE(pc.Open().platform().system.GetComputerName(name));
    EXPECT_EQ(name, row.name);
  }
}

TEST(SimBoot, WhoLogsOn) {
  // The demo PC: Administrator (password "admin", an administrator),
  // yamada (no password), Guest (disabled).
  struct Row {
    const char* name;
    const char* lastUser;  // [session] user
    const char* autoAdminLogon;  // Winlogon values; null: absent
    const char* userName;
    const char* password;
    const char* domain;
    const char* loggedOn;  // "" when the boot stops at the logon screen
    bool automatic;
  } rows[] = {
      {"no_automatic_logon", "yamada", "0", "Administrator", "admin", "VELANDRA-PC", "yamada",
       false},
      {"auto_admin_logon_absent", "yamada", nullptr, "Administrator", "admin", nullptr,
       "yamada", false},
      {"automatic", "yamada", "1", "Administrator", "admin", "VELANDRA-PC", "Administrator", true},
      {"automatic_name_in_other_case", "yamada", "1", "administrator", "admin", ".",
       "Administrator", true},
      {"automatic_without_domain", "Administrator", "1", "yamada", nullptr, nullptr, "yamada",
       true},
      {"automatic_domain_in_lower_case", "yamada", "1", "Administrator", "admin", "velandra-pc",
       "Administrator", true},
      {"wrong_password", "yamada", "1", "Administrator", "Admin", "VELANDRA-PC", "", true},
      {"password_missing", "yamada", "1", "Administrator", nullptr, "VELANDRA-PC", "", true},
      {"password_for_an_account_without", "Administrator", "1", "yamada", "x", nullptr, "",
       true},
      {"no_user_name", "yamada", "1", nullptr, "admin", nullptr, "", true},
      {"disabled_account", "yamada", "1", "Guest", "", nullptr, "", true},
      {"unknown_account", "yamada", "1", "nobody", "", nullptr, "", true},
      {"a_domain", "yamada", "1", "Administrator", "admin", "CORP", "", true},
      {"auto_admin_logon_not_exactly_1", "yamada", "yes", "Administrator", "admin", nullptr,
       "yamada", false},
      {"last_user_unknown", "nobody", "0", nullptr, nullptr, nullptr, "", false},
      {"last_user_disabled", "Guest", "0", nullptr, nullptr, nullptr, "", false},
      {"last_user_in_other_case", "YAMADA", "0", nullptr, nullptr, nullptr, "yamada", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    pc.SetMachine("session", "user", row.lastUser);
    pc.SetMachine("session", "exit_request", "log off");
    SimulatedPc& sim = pc.Open();
    SetWinlogon(sim, "AutoAdminLogon", row.autoAdminLogon);
    SetWinlogon(sim, "DefaultUserName", row.userName);
    SetWinlogon(sim, "DefaultPassword", row.password);
    SetWinlogon(sim, "DefaultDomainName", row.domain);
    PutShortcut(sim, "Velandra.lnk", Shortcut(kExe, "-r \"本社\""));
    Recorder recorder;
    std::ostringstream out;
    BootResult result = Boot(sim, false, recorder.Program(), out);
    EXPECT_EQ(result.User, row.loggedOn) << out.str();
    EXPECT_EQ(result.AutomaticLogon, row.automatic);
    if (*row.loggedOn) {
      EXPECT_EQ(Reopened(pc, "session", "user"), row.loggedOn);
      ASSERT_EQ(recorder.seen.size(), 1u);
      EXPECT_EQ(recorder.seen[0].user, row.loggedOn);  // GetUserName of the start
    } else {
      EXPECT_EQ(result.ExitCode, kBootNoLogon);
      EXPECT_NE(out.str().find("logon screen"), std::string::npos) << out.str();
      EXPECT_TRUE(recorder.seen.empty());
      EXPECT_EQ(Reopened(pc, "session", "user"), row.lastUser);
      EXPECT_EQ(Reopened(pc, "session", "exit_request"), "");  // Windows did end
    }
  }
}

TEST(SimBoot, RunsTheShortcutsThatStartVelandraInNameOrder) {
  ScratchPc pc;
  pc.SetMachine("session", "exit_request", "restart");
  SimulatedPc& sim = pc.Open();
  PutShortcut(sim, "b.lnk", Shortcut("c:/program files/VELANDRA/velandra.EXE", "-r \"b\""));
  PutShortcut(sim, "A.lnk", Shortcut(kExe, "-r \"a\""));
  PutShortcut(sim, "Notepad.lnk", Shortcut("C:\\WINDOWS\\notepad.exe", "x.txt"));
  PutShortcut(sim, "c.lnk", Shortcut("C:\\Program Files\\Velandra\\Other.exe", ""));
  const auto dir = pc.dir() / HostPathFromUtf8(Cp932ToUtf8(kStartupDir));
  ASSERT_TRUE(WriteHostFileAtomically(dir / "broken.lnk", "not a shortcut\n"));
  ASSERT_TRUE(WriteHostFileAtomically(dir / "readme.txt", "text\n"));
  std::filesystem::create_directories(dir / "folder.lnk");
  Recorder recorder;
  recorder.code = 5;
  std::ostringstream out;
  BootResult result = Boot(sim, false, recorder.Program(), out);

  ASSERT_EQ(recorder.seen.size(), 2u) << out.str();
  EXPECT_EQ(recorder.seen[0].arguments, "-r \"a\"");
  EXPECT_EQ(recorder.seen[1].arguments, "-r \"b\"");
  EXPECT_EQ(result.ExitCode, 5);
  std::vector<std::pair<std::string, bool>> starts;
  for (const auto& s : result.Starts) starts.emplace_back(s.File, s.Started);
  EXPECT_EQ(starts, (std::vector<std::pair<std::string, bool>>{
                        {"A.lnk", true}, {"b.lnk", true}, {"c.lnk", false}, {"Notepad.lnk", false}}));
  for (const char* said : {"broken.lnk cannot be read as a shortcut",
                           "Notepad.lnk starts C:\\WINDOWS\\notepad.exe, which is not Velandra",
                           "readme.txt is not a shortcut", "b.lnk: Velandra ended with exit code 5"})
    EXPECT_NE(out.str().find(said), std::string::npos) << said << "\n" << out.str();
}

TEST(SimBoot, AStartThatAsksForAnExitEndsTheSessionAndWaitsForTheNextBoot) {
  ScratchPc pc;
  pc.SetMachine("session", "exit_request", "restart");
  SimulatedPc& sim = pc.Open();
  PutShortcut(sim, "1.lnk", Shortcut(kExe, "-p \"本社\" -relogon"));
  PutShortcut(sim, "2.lnk", Shortcut(kExe, "-r \"本社\""));
  Recorder recorder;
  recorder.requestExit = true;
  recorder.exitWith = kExitLogOff;
  recorder.code = 0;
  std::ostringstream out;
  BootResult result = Boot(sim, false, recorder.Program(), out);
  ASSERT_EQ(recorder.seen.size(), 1u);
  ASSERT_EQ(result.Starts.size(), 2u);
  EXPECT_FALSE(result.Starts[1].Started);
  EXPECT_EQ(Reopened(pc, "session", "exit_request"), "log off");
  EXPECT_NE(out.str().find("boot again"), std::string::npos) << out.str();

  // The next boot takes that request; the second shortcut runs then.
  recorder.requestExit = false;
  result = Boot(sim, false, recorder.Program(), out);
  EXPECT_EQ(result.ExitRequest, "log off");
  ASSERT_EQ(recorder.seen.size(), 3u);
  EXPECT_EQ(recorder.seen[2].arguments, "-r \"本社\"");
  EXPECT_EQ(Reopened(pc, "session", "exit_request"), "");
}

TEST(SimBoot, EachStartIsANewProcess) {
  ScratchPc pc;
  pc.SetMachine("session", "exit_request", "restart");
  pc.SetMachine("session", "user", "yamada");
  SimulatedPc& sim = pc.Open();
  PutShortcut(sim, "1.lnk", Shortcut(kExe, "first"));
  PutShortcut(sim, "2.lnk", Shortcut(kExe, "second"));
  std::vector<std::string> users;
  std::vector<bool> restarts;
  auto program = [&](SimulatedPc& p, const std::string&, std::ostream&) {
    std::string user;
    p.platform().system.GetUserName(user);
    users.push_back(user);
    restarts.push_back(p.platform().session.RequestExit(kExitReboot));
    // Each start ends while impersonating, with the privilege enabled.
    long error = 0;
    PrivilegeStep failed;
    auto token = p.platform().session.LogOn("Administrator", ".", "admin", error);
    EXPECT_TRUE(token && p.platform().session.Impersonate(*token, error));
    EXPECT_TRUE(p.platform().session.EnableShutdownPrivilege(failed));
    return 0;
  };
  std::ostringstream out;
  Boot(sim, false, program, out);
  EXPECT_EQ(users, (std::vector<std::string>{"yamada", "yamada"}));
  EXPECT_EQ(restarts, (std::vector<bool>{false, false}));  // no privilege carried over
}

TEST(SimBoot, AStartWithoutScriptedAnswersStopsTheSimulation) {
  ScratchPc pc;
  pc.SetMachine("session", "exit_request", "restart");
  SimulatedPc& sim = pc.Open();
  PutShortcut(sim, "Velandra.lnk", Shortcut(kExe, ""));
  std::ostringstream out;
  BootResult result = Boot(
      sim, false,
      [](SimulatedPc& p, const std::string&, std::ostream&) -> int {
        p.answers().Take("the question");
        return 0;
      },
      out);
  EXPECT_EQ(result.ExitCode, kBootSimulationStopped);
  EXPECT_NE(out.str().find("simulation stopped"), std::string::npos) << out.str();
}

// Velandra itself from the Startup folder: what it shows and does is that of
// a start with the shortcut's arguments.
TEST(SimBootVelandra, ShortcutArgumentsReachTheProgram) {
  struct Row {
    const char* name;
    const char* arguments;
    int exitCode;
    const char* printed;  // part of the output
  } rows[] = {
      {"unknown_place", "-p \"支店\" -now", app::kExitRefused,
       "[Velandra: error] 指定された場所の名前が見つかりません"},
      {"change_batch", "-p \"本社\" -now", app::kExitSuccess,
       "Velandra.lnk: Velandra ended with exit code 0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    pc.SetMachine("session", "exit_request", "restart");
    SimulatedPc& sim = pc.Open();
    PutShortcut(sim, "Velandra.lnk", Shortcut(kExe, row.arguments));
    std::ostringstream out;
    BootResult result = Boot(sim, false, RunVelandra, out);
    EXPECT_EQ(result.ExitCode, row.exitCode) << out.str();
    EXPECT_NE(out.str().find(Cp932ToUtf8(row.printed)), std::string::npos) << out.str();
    // Every start deletes the shortcut first.
    EXPECT_FALSE(sim.platform().files.Exists(std::string(kStartup) + "\\Velandra.lnk"));
  }
}

TEST(SimBootVelandra, TheChangeBatchRunsOnThePc) {
  ScratchPc pc;
  pc.SetMachine("session", "exit_request", "restart");
  SimulatedPc& sim = pc.Open();
  PutShortcut(sim, "Velandra.lnk", Shortcut(kExe, "-p \"本社\" -now"));
  std::ostringstream out;
  ASSERT_EQ(Boot(sim, false, RunVelandra, out).ExitCode, 0) << out.str();
  RegKey key;
  ASSERT_EQ(key.Open(sim.platform().registry, Hive::LocalMachine,
                     "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
                     "{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}",
                     kKeyQueryValue),
            kErrorSuccess);
  std::string dns;
  ASSERT_EQ(key.QueryString("NameServer", 256, dns), kErrorSuccess);
  EXPECT_EQ(dns, "10.1.0.53,10.1.0.54");  // 本社's servers
}

}  // namespace
}  // namespace velandra::platform::sim
