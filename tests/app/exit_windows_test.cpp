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

}  // namespace
}  // namespace velandra::app
