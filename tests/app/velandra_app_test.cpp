#include "app/velandra_app.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sstream>

#include "app/exit_codes.h"
#include "app/messages.h"
#include "apply/apply_flow.h"
#include "support/apply_rig.h"
#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/adapter_registry.h"
#include "system/os_info.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/text.h"
#include "ui/dlg_exit.h"
#include "ui/dlg_user_password.h"

namespace velandra::app {
namespace {

using platform::MessageIcon;
using platform::MessageOwner;

constexpr char kIni[] = "C\\Program Files\\Velandra\\Velandra.ini";
constexpr char kShortcut[] =
    "C\\Documents and Settings\\All Users\\スタート メニュー\\プログラム\\スタートアップ\\Velandra.lnk";

// The scratch PC's relative host path for a Windows-style relative path.
std::string Rel(std::string p) {
  for (auto& c : p)
    if (c == '\\') c = '/';
  return p;
}

// A prompt that must not be asked: these runs never reach -logon's dialog.
class NoPrompt : public ui::IUserPasswordDialog {
 public:
  bool DoModal(ui::CDlgUserPassword&) override {
    ADD_FAILURE() << "the logon prompt was shown";
    return false;
  }
};

struct RunResult {
  int code;
  std::vector<platform::sim::ShownMessage> messages;
  std::vector<std::string> events;
};

RunResult Start(testing::ScratchPc& pc, const std::string& commandLine) {
  NoPrompt prompt;
  auto& sim = pc.Open();
  CVelandraApp app(sim.platform(), prompt);
  int code = app.Run(commandLine);
  return {code, sim.Messages(), sim.Events()};
}

struct StartCase {
  const char* name;
  // pc.ini [windows] major, minor, platform_id, product_type
  int major, minor, platformId, productType;
  const char* user;         // [session] user
  const char* common;       // COMMON section lines of Velandra.ini ("" for none)
  const char* commandLine;
  int exitCode;
  const char* message;      // the one message shown; null: not built; "": none
  MessageIcon icon;
};

// Start-up checks and the mode chosen by the command line.
const StartCase kStartCases[] = {
    {"xp_workstation_interactive", 5, 1, 2, 1, "Administrator", "", "", kExitNotBuilt,
     nullptr, MessageIcon::Warning},
    {"w2000_workstation", 5, 0, 2, 1, "Administrator", "", "", kExitNotBuilt, nullptr,
     MessageIcon::Warning},
    {"windows98", 4, 10, 1, 0, "Administrator", "", "", kExitRefused, kMsgWindowsOnly,
     MessageIcon::Error},
    {"nt4", 4, 0, 2, 1, "Administrator", "", "", kExitRefused, kMsgWindowsOnly,
     MessageIcon::Error},
    {"server2003", 5, 2, 2, 3, "Administrator", "SERVER=TRUE\r\n", "", kExitRefused,
     kMsgWindowsOnly, MessageIcon::Error},
    {"vista", 6, 0, 2, 1, "Administrator", "", "", kExitRefused, kMsgWindowsOnly,
     MessageIcon::Error},
    {"xp_as_server_product", 5, 1, 2, 3, "Administrator", "SERVER=TRUE\r\n", "",
     kExitRefused, kMsgWindowsOnly, MessageIcon::Error},
    {"w2000_server_without_SERVER", 5, 0, 2, 3, "Administrator", "", "", kExitRefused,
     kMsgWindowsOnly, MessageIcon::Error},
    {"w2000_server_with_SERVER", 5, 0, 2, 3, "Administrator", "SERVER=TRUE\r\n", "",
     kExitNotBuilt, nullptr, MessageIcon::Warning},
    {"w2000_server_with_lowercase_true", 5, 0, 2, 3, "Administrator", "SERVER=true\r\n", "",
     kExitRefused, kMsgWindowsOnly, MessageIcon::Error},
    {"w2000_domain_controller", 5, 0, 2, 2, "Administrator", "SERVER=TRUE\r\n", "",
     kExitRefused, kMsgWindowsOnly, MessageIcon::Error},
    {"not_administrator", 5, 1, 2, 1, "yamada", "", "", kExitRefused, kMsgNoAdministrator,
     MessageIcon::Error},
    {"unknown_user", 5, 1, 2, 1, "nobody", "", "", kExitRefused, kMsgNoAdministrator,
     MessageIcon::Error},
    {"admincheck_FALSE", 5, 1, 2, 1, "yamada", "ADMINCHECK=FALSE\r\n", "", kExitNotBuilt,
     nullptr, MessageIcon::Warning},
    {"admincheck_lowercase_still_checks", 5, 1, 2, 1, "yamada", "ADMINCHECK=false\r\n", "",
     kExitRefused, kMsgNoAdministrator, MessageIcon::Error},
    {"p_alone", 5, 1, 2, 1, "Administrator", "", "-p", kExitRefused, kMsgBadArguments,
     MessageIcon::Error},
    {"r_alone", 5, 1, 2, 1, "Administrator", "", "-r", kExitRefused, kMsgBadArguments,
     MessageIcon::Error},
    {"unknown_place", 5, 1, 2, 1, "Administrator", "", "-p 支店", kExitRefused,
     kMsgPlaceNotFound, MessageIcon::Error},
    {"unknown_token_alone", 5, 1, 2, 1, "Administrator", "", "-x", kExitRefused,
     kMsgPlaceNotFound, MessageIcon::Error},
    {"upper_case_P_names_nothing", 5, 1, 2, 1, "Administrator", "", "-P 本社",
     kExitRefused, kMsgPlaceNotFound, MessageIcon::Error},
    {"default_mode", 5, 1, 2, 1, "Administrator", "", "-p \"本社\"", kExitSuccess, "",
     MessageIcon::Warning},
    // Nothing queued: nothing to do, for a known place and for an unknown one.
    {"resume_mode", 5, 1, 2, 1, "Administrator", "", "-r 自宅", kExitSuccess, "",
     MessageIcon::Warning},
    {"resume_unknown_place_nothing_queued", 5, 1, 2, 1, "Administrator", "", "-r 支店",
     kExitSuccess, "", MessageIcon::Warning},
};

class StartUp : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartUp, ChecksAndMode) {
  const StartCase& c = GetParam();
  testing::ScratchPc pc;
  pc.SetMachine("windows", "major", std::to_string(c.major));
  pc.SetMachine("windows", "minor", std::to_string(c.minor));
  pc.SetMachine("windows", "platform_id", std::to_string(c.platformId));
  pc.SetMachine("windows", "product_type", std::to_string(c.productType));
  pc.SetMachine("session", "user", c.user);
  std::string ini = pc.ReadFile(Rel(kIni));
  if (*c.common) ini += std::string("[COMMON]\r\n") + c.common;
  pc.WriteFile(Rel(kIni), ini);

  RunResult run = Start(pc, c.commandLine);
  EXPECT_EQ(run.code, c.exitCode);
  if (c.message && !*c.message) {
    EXPECT_TRUE(run.messages.empty());
    return;
  }
  ASSERT_EQ(run.messages.size(), 1u);
  const auto& m = run.messages[0];
  EXPECT_EQ(m.Caption, "Velandra");
  EXPECT_EQ(m.Icon, c.icon);
  EXPECT_EQ(m.Owner, MessageOwner::None);
  if (c.message) {
    EXPECT_EQ(m.Text, c.message);
  }
  else EXPECT_EQ(m.Text.rfind(kMsgNotBuilt, 0), 0u) << platform::Cp932ToUtf8(m.Text);
}

INSTANTIATE_TEST_SUITE_P(Table, StartUp, ::testing::ValuesIn(kStartCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartUpMode, MessageNamesTheModeAndPlace) {
  struct Row {
    const char* commandLine;
    const char* mode;
  } rows[] = {
      // Without an exit-mode dialog (this run has none), -d is not built.
      {"-p 本社 -d", "-d "},
      {"", "プロパティシート"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.commandLine);
    testing::ScratchPc pc;
    RunResult run = Start(pc, row.commandLine);
    EXPECT_EQ(run.code, kExitNotBuilt);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_NE(run.messages[0].Text.find(row.mode), std::string::npos)
        << platform::Cp932ToUtf8(run.messages[0].Text);
    if (*row.commandLine) {
      EXPECT_NE(run.messages[0].Text.find("本社"), std::string::npos);
    }
  }
}

TEST(StartUpShortcut, DeletedByEveryStartThatPassesTheChecks) {
  struct Row {
    const char* name;
    const char* user;
    const char* commandLine;
    bool deleted;
  } rows[] = {
      {"interactive", "Administrator", "", true},
      {"ends_with_place_not_found", "Administrator", "-p 支店", true},
      {"bad_arguments", "Administrator", "-p", true},
      {"refused_for_rights", "yamada", "-p 本社", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing::ScratchPc pc;
    pc.SetMachine("session", "user", row.user);
    pc.WriteFile(Rel(kShortcut), "[shortcut]\r\n");
    Start(pc, row.commandLine);
    EXPECT_EQ(pc.ReadFile(Rel(kShortcut)).empty(), row.deleted);
  }
}

TEST(StartUpResume, SleepsOnlyWhenDelaySleepIsPositive) {
  for (int delay : {0, -5, 1500}) {
    SCOPED_TRACE(delay);
    testing::ScratchPc pc;
    pc.WriteFile(Rel(kIni), pc.ReadFile(Rel(kIni)) + "[COMMON]\r\nDELAYSLEEP=" +
                                std::to_string(delay) + "\r\n");
    RunResult run = Start(pc, "-r 自宅");
    int sleeps = 0;
    for (const auto& e : run.events)
      if (e.rfind("sleep ", 0) == 0) {
        ++sleeps;
        EXPECT_EQ(e, "sleep " + std::to_string(delay) + " ms");
      }
    EXPECT_EQ(sleeps, delay > 0 ? 1 : 0);
  }
}

TEST(StartUpConfig, UnattendedRunLeavesTheFileAlone) {
  testing::ScratchPc pc;
  pc.WriteFile(Rel(kIni), pc.ReadFile(Rel(kIni)) +
                              "[COMMON]\r\nDIFFCHECK=FALSE\r\n[DelayAction]\r\nActionCount=1\r\n"
                              "Action00=NetworkDrive\r\n");
  const std::string before = pc.ReadFile(Rel(kIni));
  for (const char* line : {"-p 本社 -diff -now", "-p", "-p 支店", ""}) {
    SCOPED_TRACE(line);
    Start(pc, line);
    EXPECT_EQ(pc.ReadFile(Rel(kIni)), before);
  }
}

TEST(StartUpSheet, PcWithoutAdapterEndsAsAFailure) {
  for (const char* line : {"", "-p 本社 -now", "-r 本社"}) {
    SCOPED_TRACE(line);
    testing::ScratchPc pc;
    pc.WriteFile("registry.reg",
                 "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control"
                 "\\Class]\r\n");
    RunResult run = Start(pc, line);
    EXPECT_EQ(run.code, kExitFailed);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].Text, ui::kMsgNoAdapter);
    EXPECT_EQ(run.messages[0].Icon, MessageIcon::Warning);
  }
}

// With the difference check the place is compared with the PC before the
// mode runs; a registry key that cannot be read then ends the run with 1.
TEST(StartUpSheet, DiffCheckComparesThePlaceFirst) {
  const std::string key =
      "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
      "{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}";
  struct Row {
    const char* line;
    int code;
    bool registryMessage;
  } rows[] = {
      {"-p 本社 -d", kExitNotBuilt, false},
      {"-p 本社 -d -diff", kExitFailed, true},
      {"-p 支店 -d -diff", kExitRefused, false},  // no place, nothing compared
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    testing::ScratchPc pc;
    {
      // Every place's settings in the file, so that loading reads no PC.
      auto& sim = pc.Open();
      Context context(sim.platform(), "C:\\Program Files\\Velandra\\Velandra.ini",
                      ReadOsInfo(sim.platform().system));
      ui::CVelandraSheet sheet(context);
      ASSERT_TRUE(sheet.LoadAll());
      ASSERT_TRUE(sheet.SaveAll());
      sim.registry().FailOpen(platform::Hive::LocalMachine, key, platform::kErrorAccessDenied);
    }
    RunResult run = Start(pc, row.line);
    EXPECT_EQ(run.code, row.code);
    bool registryMessage = false;
    for (const auto& m : run.messages)
      registryMessage |= m.Text == "レジストリ " + key + " のopenでエラーが発生しました";
    EXPECT_EQ(registryMessage, row.registryMessage);
  }
}

TEST(StartUpConfig, MissingFileReadsAsDefaults) {
  testing::ScratchPc pc;
  std::filesystem::remove(pc.dir() / Rel(kIni));
  RunResult run = Start(pc, "-p 標準 -d");  // the default place exists without a file
  EXPECT_EQ(run.code, kExitNotBuilt);
  EXPECT_FALSE(std::filesystem::exists(pc.dir() / Rel(kIni)));
}

TEST(StartUpConfig, PathOfExecutableFixesTheConfigPath) {
  struct Row {
    const char* exe;
    const char* configPath;
  } rows[] = {
      {"C:\\Program Files\\Velandra\\Velandra.exe", "C:\\Program Files\\Velandra\\Velandra.ini"},
      {"C:\\Velandra.exe", "C:\\Velandra.ini"},
      // 表 and ソ end in the byte 0x5C: not a separator.
      {"C:\\ツール\\表\\Velandra.exe", "C:\\ツール\\表\\Velandra.ini"},
      {"C:\\ソフト\\Velandra.exe", "C:\\ソフト\\Velandra.ini"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(platform::Cp932ToUtf8(row.exe));
    testing::ScratchPc pc;
    pc.SetMachine("session", "executable", row.exe);
    NoPrompt prompt;
    CVelandraApp app(pc.Open().platform(), prompt);
    EXPECT_EQ(app.ConfigPath(), row.configPath);
  }
}

TEST(StartUpConfig, OverlongConfigPathIsRefused) {
  testing::ScratchPc pc;
  pc.SetMachine("session", "executable", "C:\\" + std::string(250, 'a') + "\\Velandra.exe");
  RunResult run = Start(pc, "-p 本社");
  EXPECT_EQ(run.code, kExitRefused);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].Text, kMsgConfigPathTooLong);
}

TEST(StartUpOsInfo, ExtendedFieldsOnlyOnVersion5) {
  struct Row {
    int major, minor, platformId;
    uint16_t suite;
    uint8_t product;
  } rows[] = {{5, 1, 2, 0x100, 1}, {5, 0, 2, 0x100, 1}, {6, 0, 2, 0, 0}, {4, 10, 1, 0, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.major) + "." + std::to_string(row.minor));
    testing::ScratchPc pc;
    pc.SetMachine("windows", "major", std::to_string(row.major));
    pc.SetMachine("windows", "minor", std::to_string(row.minor));
    pc.SetMachine("windows", "platform_id", std::to_string(row.platformId));
    NoPrompt prompt;
    CVelandraApp app(pc.Open().platform(), prompt);
    EXPECT_EQ(app.Os().MajorVersion, static_cast<uint32_t>(row.major));
    EXPECT_EQ(app.Os().SuiteMask, row.suite);
    EXPECT_EQ(app.Os().ProductType, row.product);
    EXPECT_EQ(app.Os().ServicePack, "Service Pack 2");
  }
}

}  // namespace
}  // namespace velandra::app

namespace velandra::app {
namespace {

// All bytes of a literal, NULs included.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

TEST(StartUpBadInput, DamagedConfigurationFilesStillStart) {
  struct Row {
    const char* name;
    std::string ini;
    int code;
  } rows[] = {
      {"truncated_in_a_section_name", "[PLACELIST]\r\nP0=標準\r\nP1=本社\r\n[COMM", kExitNotBuilt},
      {"truncated_in_a_character", Bytes("[PLACELIST]\r\nP1=本社\r\nP2=\x96"), kExitNotBuilt},
      {"binary", Bytes("\x00\xff\xfe\r\n[PLACELIST]\r\nP1=本社\x00\x01\r\n\x1a\x00"),
       kExitNotBuilt},
      {"binary_without_places", Bytes("\x00\xff\xfe[PLACELIST]\x00P1=本社\r\n\x1a\x00"),
       kExitRefused},
      {"huge_line", "[PLACELIST]\r\nP1=本社\r\nP2=" + std::string(1 << 20, 'x') + "\r\n",
       kExitNotBuilt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing::ScratchPc pc;
    pc.WriteFile(Rel(kIni), row.ini);
    RunResult run = Start(pc, "-p 本社 -d");
    // The place is read where its line is whole; otherwise the file has none.
    EXPECT_EQ(run.code, row.code);
    EXPECT_EQ(pc.ReadFile(Rel(kIni)), row.ini);  // a run that saves nothing changes nothing
  }
}

TEST(StartUpBadInput, TenThousandTokens) {
  testing::ScratchPc pc;
  std::string line;
  for (int i = 0; i < 10000; ++i) line += (i % 3 == 0 ? "-x " : i % 3 == 1 ? "\"a b\" " : "-d ");
  line += "-p 本社";
  RunResult run = Start(pc, line);
  EXPECT_EQ(run.code, kExitNotBuilt);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_NE(run.messages[0].Text.find("-d "), std::string::npos);
}

}  // namespace
}  // namespace velandra::app

namespace velandra::app {
namespace {

using testing::ApplyRig;

// A run on the demo PC with the session, the shell and the registry seen
// through recorders, the dialogs answered by the script.
struct Dispatched {
  explicit Dispatched(const std::string& iniExtra = "", const char* user = "Administrator") {
    rig.pc.SetMachine("session", "user", user);
    if (!iniExtra.empty())
      rig.pc.WriteFile(testing::kDemoIniFile, rig.pc.ReadFile(testing::kDemoIniFile) + iniExtra);
    rig.Open();
    iniBefore = Ini();
  }
  int Run(const std::string& commandLine, const std::string& answers = "") {
    rig.sim->answers().PushList(answers);
    ui::ScriptedUserPasswordDialog prompt(rig.sim->answers(), rig.out);
    ui::ScriptedExitDialog exitDialog(rig.sim->answers(), rig.out);
    CVelandraApp app(rig.platform(), prompt, &exitDialog);
    return app.Run(commandLine);
  }
  std::string Ini() const { return rig.pc.ReadFile(testing::kDemoIniFile); }

  ApplyRig rig;
  std::string iniBefore;
};

// What each unattended mode does with the place 本社, which differs from
// the PC in its wired adapter. Without DIFFCHECK its place-wide record (the
// PC's own values, as none is stored) is written too and queues its
// actions, so the -r shortcut follows.
TEST(StartUpDispatch, EveryModeOfTheCommandLine) {
  static constexpr char kResume[] = "-r \"本社\"";
  const std::string lanNetBt = NetBtInterfaceKey(testing::kDemoLanGuid);
  struct Row {
    const char* name;
    const char* ini;  // added to Velandra.ini
    const char* user;
    const char* commandLine;
    const char* answers;
    bool failWins;  // the LAN's WINS list cannot be written
    // Expected:
    int code;
    std::vector<uint32_t> exits;
    bool batch;
    const char* registry;
    const char* shortcut;  // arguments of the Startup shortcut, or null
    bool lastSaved;        // LAST/LASTPLACE=1
    const char* message;   // the one message, or null for none
  } rows[] = {
      {"restart", "", "Administrator", "-p 本社", "", false, kExitSuccess,
       {platform::kExitReboot}, false, "LW", kResume, true, nullptr},
      {"shut_down_powered_off", "", "Administrator", "-p 本社 -s", "", false, kExitSuccess,
       {platform::kExitPowerOff}, false, "LW", kResume, true, nullptr},
      {"shut_down", "[COMMON]\r\nPowerOff=FALSE\r\n", "Administrator", "-p 本社 -s", "", false,
       kExitSuccess, {platform::kExitShutdown}, false, "LW", kResume, true, nullptr},
      {"diff_writes_what_differs", "", "Administrator", "-p 本社 -diff", "", false, kExitSuccess,
       {platform::kExitReboot}, false, "L", nullptr, true, nullptr},
      {"restart_fails", "", "Administrator", "-p 本社", "", true, kExitFailed, {}, false, "L",
       nullptr, true, nullptr},
      {"user_logon_cancelled", "[COMMON]\r\nADMINCHECK=FALSE\r\n", "yamada", "-p 本社",
       "cancel", false, kExitFailed, {}, false, "", nullptr, true,
       apply::kMsgLogonCancelled},
      {"user_logs_on", "[COMMON]\r\nADMINCHECK=FALSE\r\n", "yamada", "-p 本社",
       "ok:Administrator:pw", false, kExitSuccess, {platform::kExitReboot}, false, "LW",
       kResume, true, nullptr},
      {"dialog_restart", "", "Administrator", "-p 本社 -d", "exit:restart", false, kExitSuccess,
       {platform::kExitReboot}, false, "LW", kResume, true, nullptr},
      {"dialog_shut_down", "", "Administrator", "-p 本社 -d", "exit:shutdown", false,
       kExitSuccess, {platform::kExitShutdown}, false, "LW", kResume, true, nullptr},
      {"dialog_without_restart", "", "Administrator", "-p 本社 -d", "exit:norestart", false,
       kExitSuccess, {}, true, "", nullptr, true, nullptr},
      {"dialog_save_only", "", "Administrator", "-p 本社 -d", "exit:saveonly", false,
       kExitSuccess, {}, false, "", nullptr, true, nullptr},
      {"dialog_cancelled", "", "Administrator", "-p 本社 -d", "cancel", false, kExitSuccess, {},
       false, "", nullptr, true, nullptr},
      {"dialog_question_no", "", "Administrator", "-p 本社 -d -diff -nohide", "exit:restart;no",
       false, kExitSuccess, {platform::kExitReboot}, false, "L", nullptr, true,
       apply::kMsgChangeWithoutRestart},
      {"dialog_restart_fails", "", "Administrator", "-p 本社 -d", "exit:restart", true,
       kExitFailed, {}, false, "L", nullptr, true, nullptr},
      {"dialog_another_user", "", "Administrator", "-p 本社 -d",
       "exit:restart:user:yamada:pw", false, kExitSuccess, {platform::kExitLogOff}, false, "",
       "-p \"本社\"", true, nullptr},
      {"logon", "", "Administrator", "-logon admin pw -p 本社", "", false, kExitSuccess,
       {platform::kExitLogOff}, false, "", "-p \"本社\"", false, nullptr},
      {"logon_shut_down", "", "Administrator", "-logon admin pw -p 本社 -s", "", false,
       kExitSuccess, {platform::kExitLogOff}, false, "", "-p \"本社\" -s", false, nullptr},
      {"logon_now", "", "Administrator", "-logon admin pw -p 本社 -now", "", false, kExitSuccess,
       {platform::kExitLogOff}, false, "", "-p \"本社\" -relogon", false, nullptr},
      {"relogon", "", "Administrator", "-p 本社 -relogon", "", false, kExitSuccess,
       {platform::kExitLogOff}, true, "", "-r \"本社\"", false, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Dispatched d(row.ini, row.user);
    if (row.failWins)
      d.rig.sim->registry().FailSetValue(platform::Hive::LocalMachine, lanNetBt,
                                         "NameServerList", platform::kErrorAccessDenied);
    EXPECT_EQ(d.Run(row.commandLine, row.answers), row.code);
    EXPECT_EQ(d.rig.session.exits, row.exits);
    EXPECT_EQ(d.rig.BatchRan(), row.batch);
    EXPECT_EQ(d.rig.AdaptersWritten(), row.registry);
    EXPECT_EQ(d.rig.shell->arguments,
              row.shortcut ? std::vector<std::string>{row.shortcut} : std::vector<std::string>{});
    config::ConfigFile ini(d.rig.platform().profile, testing::kDemoIniPath);
    EXPECT_EQ(ini.ReadString("LAST", "LASTPLACE", "(none)", 20), row.lastSaved ? "1" : "(none)");
    // -d saves nothing else: the exit mode chosen stays in memory.
    EXPECT_EQ(ini.ReadString("COMMON", "LastExit", "(none)", 20), "(none)");
    const std::vector<std::string> texts = d.rig.MessageTexts();
    if (row.message) {
      EXPECT_EQ(texts, std::vector<std::string>{row.message});
    } else if (row.failWins) {
      EXPECT_EQ(texts, std::vector<std::string>{
                           RegistryWriteFailedMessage(lanNetBt, "NameServerList", false)});
    } else {
      EXPECT_TRUE(texts.empty()) << platform::Cp932ToUtf8(texts.empty() ? "" : texts[0]);
    }
    EXPECT_TRUE(d.rig.sim->answers().Empty());
  }
}

// On the simulated PC itself: its session records the exit request in
// pc.ini, and -d takes the exit mode from the scripted answers.
TEST(StartUpDispatch, DialogOnTheSimulatedPcTakesTheScriptedExitMode) {
  struct Row {
    const char* commandLine;
    const char* answers;
    int code;
    const char* exitRequest;  // pc.ini [session] exit_request, or "" for none
  } rows[] = {
      {"-p 本社 -d", "exit:restart", kExitSuccess, "restart"},
      {"-p 本社 -d", "exit:shutdown:poweroff", kExitSuccess, "power off"},
      {"-p 本社 -d", "exit:shutdown", kExitSuccess, "shut down"},
      {"-p 本社 -d", "exit:norestart", kExitSuccess, ""},
      {"-p 本社 -d", "cancel", kExitSuccess, ""},
      {"-p 本社 -d -diff", "exit:restart;yes", kExitSuccess, ""},
      {"-p 本社", "", kExitSuccess, "restart"},
      {"-p 本社 -s", "", kExitSuccess, "power off"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.commandLine) + " / " + row.answers);
    testing::ScratchPc pc;
    auto& sim = pc.Open();
    sim.answers().PushList(row.answers);
    std::ostringstream out;
    ui::ScriptedUserPasswordDialog prompt(sim.answers(), out);
    ui::ScriptedExitDialog exitDialog(sim.answers(), out);
    CVelandraApp app(sim.platform(), prompt, &exitDialog);
    EXPECT_EQ(app.Run(row.commandLine), row.code);
    EXPECT_TRUE(sim.answers().Empty());
    const std::string machine = pc.ReadFile("pc.ini");
    if (*row.exitRequest) {
      EXPECT_NE(machine.find(std::string("exit_request = ") + row.exitRequest + "\n"),
                std::string::npos) << machine;
    } else {
      EXPECT_EQ(machine.find("exit_request"), std::string::npos) << machine;
    }
  }
}

// yamada, who is not an administrator, runs the change with restart on the
// simulated PC (ADMINCHECK "FALSE"): the account entered is checked
// against users.ini, and every failure ends with its message, exit code 1
// and no exit request.
TEST(StartUpDispatch, ChangeWithRestartAsAnotherAccountOnTheSimulatedPc) {
  struct Row {
    const char* name;
    const char* failing;  // pc.ini [session] failing
    const char* answer;   // to the logon prompt
    int code;
    const char* message;  // the one message, or null for none
  } rows[] = {
      {"logged_on", "", "ok:Administrator:admin", kExitSuccess, nullptr},
      {"cancelled", "", "cancel", kExitFailed, apply::kMsgLogonCancelled},
      {"wrong_password", "", "ok:Administrator:wrong", kExitFailed,
       "LogonUser error : Code=1326"},
      {"impersonation_refused", "impersonate", "ok:Administrator:admin", kExitFailed,
       "ImpersonateLoggedOnUser error : Code=5"},
      {"revert_refused", "revert", "ok:Administrator:admin", kExitFailed,
       "RevertToSelf error : Code=5"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing::ScratchPc pc;
    pc.SetMachine("session", "user", "yamada");
    if (*row.failing) pc.SetMachine("session", "failing", row.failing);
    pc.WriteFile(Rel(kIni), pc.ReadFile(Rel(kIni)) + "[COMMON]\r\nADMINCHECK=FALSE\r\n");
    auto& sim = pc.Open();
    sim.answers().Push(row.answer);
    std::ostringstream out;
    ui::ScriptedUserPasswordDialog prompt(sim.answers(), out);
    CVelandraApp app(sim.platform(), prompt);
    EXPECT_EQ(app.Run("-p 本社"), row.code);
    const std::string machine = pc.ReadFile("pc.ini");
    EXPECT_EQ(machine.find("exit_request") != std::string::npos, row.code == kExitSuccess)
        << machine;
    if (row.message) {
      ASSERT_EQ(sim.Messages().size(), 1u);
      EXPECT_EQ(sim.Messages()[0].Text, row.message);
      EXPECT_EQ(sim.Messages()[0].Icon, MessageIcon::Error);
    } else {
      EXPECT_TRUE(sim.Messages().empty());
    }
  }
}

// -np keeps the companion from running for this run only; the stored
// choice stays as it was.
TEST(StartUpDispatch, WithoutProxyTheCompanionIsNotRun) {
  for (const bool np : {false, true}) {
    SCOPED_TRACE(np ? "-np" : "with the companion");
    Dispatched d("");
    EXPECT_EQ(d.Run(np ? "-p 本社 -now -np" : "-p 本社 -now"), kExitSuccess);
    const auto& events = d.rig.sim->Events();
    const bool ran = std::any_of(events.begin(), events.end(), [](const std::string& e) {
      return e.rfind("companion selected: ", 0) == 0;
    });
    EXPECT_EQ(ran, !np);
    config::ConfigFile ini(d.rig.platform().profile, testing::kDemoIniPath);
    EXPECT_EQ(ini.ReadString("P1", "DisableProxy", "(none)", 20), "(none)");
  }
}

}  // namespace
}  // namespace velandra::app
