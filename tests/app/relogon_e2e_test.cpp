// A relogon played through on the simulated PC: the -logon start, the log
// off and automatic logon of the other account, the start from the
// Startup shortcut, one more boot and the -r start, with the automatic
// logon checked after each.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/delayed_actions.h"
#include "app/exit_codes.h"
#include "app/messages.h"
#include "app/relogon.h"
#include "app/velandra_app.h"
#include "support/app_runs.h"
#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/platform/sim/sim_boot.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "ui/dlg_user_password.h"

namespace velandra::app {
namespace {

using testing::StartVelandra;

using Values = std::map<std::string, std::string>;
namespace sim = platform::sim;

Values Winlogon(sim::SimulatedPc& pc) {
  platform::RegKey key;
  EXPECT_EQ(key.Open(pc.platform().registry, platform::Hive::LocalMachine, kWinlogonKey,
                     platform::kKeyQueryValue), 0);
  Values values;
  for (const char* name : {"AutoAdminLogon", "DefaultUserName", "DefaultPassword",
                           "ForceAutoLogon", "DefaultDomainName", "AltDefaultDomainName"})
    if (std::string v; key.QueryString(name, 1024, v) == 0) values[name] = v;
  return values;
}

const Values kKanriLogon = {{"AutoAdminLogon", "1"},        {"DefaultUserName", "kanri"},
                            {"DefaultPassword", "kanri-pw"}, {"ForceAutoLogon", "1"},
                            {"DefaultDomainName", "VELANDRA-PC"},
                            {"AltDefaultDomainName", "VELANDRA-PC"}};
Values WithoutForcedLogon(Values v) {
  v.erase("ForceAutoLogon");
  return v;
}
const Values kKanriAutoLogon = WithoutForcedLogon(kKanriLogon);
constexpr char kQueueAfterRestart[] =
    "Action01=DisableAutoLogon;ActionCount=6;Action02=DisableAutoLogon;"
    "Action03=ExecuteChangeProxy;Action04=ConnectNetworkDrive;Action05=DefaultPrinter;"
    "Action06=NetShare;;";
// The relogon stage of a place whose section gives no user: a logon by hand.
const Values kManualLogon = {{"AutoAdminLogon", "0"},
                             {"DefaultUserName", "kanri"},
                             {"DefaultDomainName", "VELANDRA-PC"},
                             {"AltDefaultDomainName", "VELANDRA-PC"}};

struct Relogon {
  const char* name;
  const char* options;        // of the first start, after -logon USER PASSWORD -p 本社
  const char* shortcut;       // the arguments it leaves for the second start
  const char* secondExit;     // what the second start asks Windows for
  Values afterSecond;         // the automatic logon after the second start
  bool thirdAutomatic;        // the third boot logs kanri on automatically
  const char* queueAfterSecond;
};

class RelogonOnTheSimulatedPc : public ::testing::TestWithParam<Relogon> {};

TEST_P(RelogonOnTheSimulatedPc, ThreeStarts) {
  const Relogon& r = GetParam();
  testing::ScratchPc pc;
  pc.WriteFile("users.ini", pc.ReadFile("users.ini") +
                                "\n[kanri]\ngroups = Administrators\npassword = kanri-pw\n");
  sim::SimulatedPc& sim = pc.Open();
  std::ostringstream out;

  // Start 1, as the demo's Administrator.
  EXPECT_EQ(StartVelandra(sim, std::string("-logon kanri kanri-pw -p 本社") + r.options, out),
            kExitSuccess);
  EXPECT_TRUE(sim.Messages().empty());
  EXPECT_EQ(Winlogon(sim), kKanriLogon);
  EXPECT_EQ(sim.Machine().Get("session", "exit_request"), "log off");
  EXPECT_EQ(testing::QueueText(sim.platform()), "Action01=DisableAutoLogon;ActionCount=1;;");

  // The log off; kanri is logged on automatically and start 2 runs.
  sim::BootResult boot = sim::Boot(sim, false, StartVelandra, out);
  EXPECT_EQ(boot.ExitRequest, "log off");
  EXPECT_EQ(boot.User, "kanri");
  EXPECT_TRUE(boot.AutomaticLogon);
  ASSERT_EQ(boot.Starts.size(), 1u) << out.str();
  EXPECT_EQ(boot.Starts[0].Spec.Arguments, r.shortcut);
  EXPECT_TRUE(boot.Starts[0].Started);
  EXPECT_EQ(boot.Starts[0].ExitCode, kExitSuccess) << out.str();
  EXPECT_TRUE(sim.Messages().empty()) << out.str();
  EXPECT_EQ(Winlogon(sim), r.afterSecond);
  EXPECT_EQ(sim.Machine().Get("session", "exit_request"), r.secondExit);
  EXPECT_EQ(testing::QueueText(sim.platform()), r.queueAfterSecond);

  // The next boot: kanri again, by the automatic logon or by hand, and
  // start 3 with -r, which turns the automatic logon off (once for each
  // queued removal), deletes the queue and the shortcut and asks for no
  // further exit.
  boot = sim::Boot(sim, false, StartVelandra, out);
  EXPECT_EQ(boot.User, "kanri");
  EXPECT_EQ(boot.AutomaticLogon, r.thirdAutomatic);
  ASSERT_EQ(boot.Starts.size(), 1u) << out.str();
  EXPECT_EQ(boot.Starts[0].Spec.Arguments, "-r \"本社\"");
  EXPECT_EQ(boot.Starts[0].ExitCode, kExitSuccess) << out.str();
  EXPECT_TRUE(sim.Messages().empty()) << out.str();
  EXPECT_EQ(Winlogon(sim), kManualLogon);
  EXPECT_EQ(testing::QueueText(sim.platform()), ";");  // the section is gone
  EXPECT_EQ(sim.Machine().Get("session", "exit_request"), "");

  // Nothing is left to start at the boot after that.
  boot = sim::Boot(sim, true, StartVelandra, out);
  EXPECT_TRUE(boot.Starts.empty()) << out.str();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RelogonOnTheSimulatedPc,
    ::testing::Values(
        // The change with restart as kanri; kanri's logon stays until the
        // queued removal runs. 本社 stores no place-wide record, so what is
        // written is the PC's own: kanri's automatic logon (without the
        // forced one), its queued removal once more, and the actions of the
        // drives, printer, shares and proxy entry.
        Relogon{"restart", "", "-p \"本社\"", "restart", kKanriAutoLogon, true, kQueueAfterRestart},
        Relogon{"shut_down", " -s", "-p \"本社\" -s", "power off", kKanriAutoLogon, true,
                kQueueAfterRestart},
        // The relogon stage: the change batch as kanri, then the place's own
        // user, which the demo place 本社 does not name.
        Relogon{"without_restart", " -now", "-p \"本社\" -relogon", "log off", kManualLogon,
                false, "Action01=DisableAutoLogon;ActionCount=2;Action02=DisableAutoLogon;;"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velandra::app
