#include "app/exit_windows.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/session_fakes.h"
#include "system/platform/sim/simulated_pc.h"

namespace velandra::app {
namespace {

using platform::PrivilegeStep;

TEST(ExitWindowsWithPrivilege, MessagePerFailingStepAndTheExitStillTried) {
  struct Row {
    const char* name;
    std::optional<PrivilegeStep> failStep;
    bool exitAccepted;
    std::vector<std::string> messages;
  } rows[] = {
      {"all_well", std::nullopt, true, {}},
      {"token", PrivilegeStep::OpenToken, true, {kMsgTokenFailed}},
      {"privilege_name", PrivilegeStep::LookupPrivilege, true, {kMsgPrivilegeNameFailed}},
      {"enable", PrivilegeStep::AdjustToken, true, {kMsgPrivilegeFailed}},
      {"exit_call", std::nullopt, false, {kMsgExitFailed}},
      {"enable_and_exit_call", PrivilegeStep::AdjustToken, false,
       {kMsgPrivilegeFailed, kMsgExitFailed}},
  };
  for (const Row& row : rows) {
    for (uint32_t flags : {platform::kExitLogOff, platform::kExitShutdown,
                           platform::kExitReboot, platform::kExitPowerOff}) {
      SCOPED_TRACE(std::string(row.name) + " flags " + std::to_string(flags));
      testing::SessionRig rig;
      Context& context = rig.Open();
      rig.session.failStep = row.failStep;
      rig.session.exitAccepted = row.exitAccepted;

      EXPECT_EQ(ExitWindowsWithPrivilege(context, flags), row.exitAccepted);

      EXPECT_EQ(rig.session.privilegeCalls, 1);
      EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{flags});
      std::vector<std::string> shown;
      for (const auto& m : rig.sim->Messages()) {
        shown.push_back(m.Text);
        EXPECT_EQ(m.Caption, "Velandra");
        EXPECT_EQ(m.Icon, platform::MessageIcon::Warning);
        EXPECT_EQ(m.Owner, platform::MessageOwner::MainWindow);
        EXPECT_EQ(m.Buttons, platform::MessageButtons::Ok);
      }
      EXPECT_EQ(shown, row.messages);
      if (row.messages.empty())
        EXPECT_FALSE(context.QuitCode());
      else
        EXPECT_EQ(context.QuitCode(), 1);
    }
  }
}

// On the simulated PC, which records the request in pc.ini and refuses a
// shut down without the privilege, as Windows does; a log off needs none.
TEST(ExitWindowsWithPrivilege, OnTheSimulatedPc) {
  struct Row {
    const char* failing;  // [session] failing
    uint32_t flags;
    std::vector<std::string> messages;
    const char* recorded;  // [session] exit_request afterwards
  } rows[] = {
      {"", platform::kExitReboot, {}, "restart"},
      {"", platform::kExitPowerOff, {}, "power off"},
      {"open token", platform::kExitShutdown, {kMsgTokenFailed, kMsgExitFailed}, ""},
      {"lookup privilege", platform::kExitReboot, {kMsgPrivilegeNameFailed, kMsgExitFailed}, ""},
      {"adjust token", platform::kExitLogOff, {kMsgPrivilegeFailed}, "log off"},
      {"exit", platform::kExitLogOff, {kMsgExitFailed}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.failing) + " flags " + std::to_string(row.flags));
    testing::ScratchPc pc;
    if (*row.failing) pc.SetMachine("session", "failing", row.failing);
    platform::sim::SimulatedPc& sim = pc.Open();
    Context context(sim.platform(), testing::kDemoIniPath, ReadOsInfo(sim.platform().system));

    EXPECT_EQ(ExitWindowsWithPrivilege(context, row.flags), *row.recorded != 0);

    std::vector<std::string> shown;
    for (const auto& m : sim.Messages()) shown.push_back(m.Text);
    EXPECT_EQ(shown, row.messages);
    EXPECT_EQ(sim.Machine().Get("session", "exit_request"), row.recorded);
    EXPECT_EQ(context.QuitCode(), row.messages.empty() ? std::nullopt : std::optional<int>(1));
  }
}

}  // namespace
}  // namespace velandra::app
