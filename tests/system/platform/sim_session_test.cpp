#include "system/platform/sim/sim_session.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "system/utilities.h"

namespace velandra::platform::sim {
namespace {

using velandra::testing::ScratchPc;

bool EventsHold(SimulatedPc& pc, const std::string& part) {
  for (const auto& e : pc.Events())
    if (e.find(part) != std::string::npos) return true;
  return false;
}

// pc.ini as the next process (or velandra-pc boot) reads it.
std::string Recorded(const ScratchPc& pc, const char* key) {
  std::string error;
  auto reopened = SimulatedPc::Open(pc.dir(), error);
  EXPECT_NE(reopened, nullptr) << error;
  return reopened ? reopened->Machine().Get("session", key) : "";
}

TEST(SimSessionExit, EachRequestIsRecordedInPcIni) {
  struct Row {
    uint32_t flags;
    const char* recorded;
  } rows[] = {
      {kExitLogOff, "log off"},
      {kExitShutdown, "shut down"},
      {kExitReboot, "restart"},
      {kExitPowerOff, "power off"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.recorded);
    ScratchPc pc;
    ISession& session = pc.Open().platform().session;
    PrivilegeStep failed = PrivilegeStep::AdjustToken;
    ASSERT_TRUE(session.EnableShutdownPrivilege(failed));
    EXPECT_TRUE(session.RequestExit(row.flags));
    EXPECT_EQ(Recorded(pc, "exit_request"), row.recorded);
    EXPECT_TRUE(EventsHold(pc.Open(), std::string("exit requested: ") + row.recorded +
                                          " (by Administrator)"));
  }
}

TEST(SimSessionExit, RefusedRequestsRecordNothing) {
  struct Row {
    const char* name;
    bool privilege;      // enabled first
    uint32_t flags;
    const char* event;   // part of the refusal's event
  } rows[] = {
      {"restart_without_privilege", false, kExitReboot, "error 1314"},
      {"shutdown_without_privilege", false, kExitShutdown, "error 1314"},
      {"power_off_without_privilege", false, kExitPowerOff, "error 1314"},
      {"forced_restart", true, kExitReboot | 4, "error 87"},
      {"forced_log_off", true, kExitLogOff | 0x10, "error 87"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    ISession& session = pc.Open().platform().session;
    PrivilegeStep failed;
    if (row.privilege) {
      ASSERT_TRUE(session.EnableShutdownPrivilege(failed));
    }
    EXPECT_FALSE(session.RequestExit(row.flags));
    EXPECT_EQ(Recorded(pc, "exit_request"), "");
    EXPECT_TRUE(EventsHold(pc.Open(), row.event));
  }
}

TEST(SimSessionExit, LogOffNeedsNoPrivilege) {
  ScratchPc pc;
  EXPECT_TRUE(pc.Open().platform().session.RequestExit(kExitLogOff));
  EXPECT_EQ(Recorded(pc, "exit_request"), "log off");
}

TEST(SimSessionExit, TheFirstRequestWins) {
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  ISession& session = sim.platform().session;
  PrivilegeStep failed;
  ASSERT_TRUE(session.EnableShutdownPrivilege(failed));
  ASSERT_TRUE(session.RequestExit(kExitLogOff));
  EXPECT_FALSE(session.RequestExit(kExitReboot));
  EXPECT_EQ(Recorded(pc, "exit_request"), "log off");
  EXPECT_TRUE(EventsHold(sim, "error 1115"));

  // Also for a later run on the same PC, until it has booted.
  sim.BeginProcess();
  ASSERT_TRUE(session.EnableShutdownPrivilege(failed));
  EXPECT_FALSE(session.RequestExit(kExitShutdown));
  EXPECT_EQ(Recorded(pc, "exit_request"), "log off");
}

TEST(SimSessionExit, TheFailingKeyMakesEachStepFail) {
  struct Row {
    const char* failing;
    bool privilege;        // EnableShutdownPrivilege's result
    PrivilegeStep step;    // the step reported when it fails
    bool logOff, restart;  // RequestExit's results afterwards
  } rows[] = {
      {"open token", false, PrivilegeStep::OpenToken, true, false},
      {"LOOKUP PRIVILEGE", false, PrivilegeStep::LookupPrivilege, true, false},
      {"adjust token", false, PrivilegeStep::AdjustToken, true, false},
      {"adjust token, open token", false, PrivilegeStep::OpenToken, true, false},
      {"exit", true, PrivilegeStep::AdjustToken, false, false},
      {"impersonate, revert", true, PrivilegeStep::AdjustToken, true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.failing);
    for (bool logOff : {true, false}) {
      ScratchPc pc;
      pc.SetMachine("session", "failing", row.failing);
      ISession& session = pc.Open().platform().session;
      PrivilegeStep failed = PrivilegeStep::AdjustToken;
      EXPECT_EQ(session.EnableShutdownPrivilege(failed), row.privilege);
      if (!row.privilege) {
        EXPECT_EQ(failed, row.step);
      }
      EXPECT_EQ(session.RequestExit(logOff ? kExitLogOff : kExitReboot),
                logOff ? row.logOff : row.restart);
    }
  }
}

TEST(SimSessionExit, BadSessionKeysStopThePcFromOpening) {
  struct Row {
    const char* key;
    const char* value;
    const char* error;
  } rows[] = {
      {"exit_request", "reboot", "exit_request must be"},
      {"failing", "open token, shutdown", "unknown step \"shutdown\""},
      {"failing", "exit,", "unknown step \"\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    ScratchPc pc;
    pc.SetMachine("session", row.key, row.value);
    std::string error;
    EXPECT_EQ(SimulatedPc::Open(pc.dir(), error), nullptr);
    EXPECT_NE(error.find("pc.ini line"), std::string::npos) << error;
    EXPECT_NE(error.find(row.error), std::string::npos) << error;
  }
}

TEST(SimSessionLogOn, AccountsOfUsersIni) {
  // The demo PC: Administrator with password "admin", yamada without one,
  // Guest disabled without one.
  struct Row {
    const char* user;
    const char* domain;
    const char* password;
    long error;  // 0: logged on
  } rows[] = {
      {"Administrator", ".", "admin", 0},
      {"administrator", ".", "admin", 0},  // names without case
      {"Administrator", ".", "Admin", kErrorLogonFailure},  // passwords with it
      {"Administrator", ".", "", kErrorLogonFailure},
      {"Administrator", ".", "admin ", kErrorLogonFailure},
      {"yamada", ".", "", 0},
      {"yamada", ".", "yamada", kErrorLogonFailure},
      {"Guest", ".", "", kErrorAccountDisabled},
      {"Guest", ".", "guess", kErrorLogonFailure},  // the password is checked first
      {"nobody", ".", "", kErrorLogonFailure},
      {"", ".", "", kErrorLogonFailure},
      {"Everyone", ".", "", kErrorLogonFailure},
      {"database", ".", "", kErrorLogonFailure},
      {"Administrator", "VELANDRA-PC", "admin", kErrorLogonFailure},
      {"Administrator", "", "admin", kErrorLogonFailure},
      {"Administrator", "CORP", "admin", kErrorLogonFailure},
  };
  ScratchPc pc;
  ISession& session = pc.Open().platform().session;
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.user) + " / " + row.domain + " / " + row.password);
    long error = -1;
    auto token = session.LogOn(row.user, row.domain, row.password, error);
    EXPECT_EQ(token != nullptr, row.error == 0);
    if (row.error != 0) {
      EXPECT_EQ(error, row.error);
    }
  }
}

TEST(SimSessionLogOn, PasswordsInCp932) {
  ScratchPc pc;
  pc.WriteFile("users.ini", Cp932ToUtf8("[山田]\ngroups = Users\npassword = 表ソ\n"));
  ISession& session = pc.Open().platform().session;
  long error = 0;
  EXPECT_NE(session.LogOn("山田", ".", "表ソ", error), nullptr);
  EXPECT_EQ(session.LogOn("山田", ".", "表", error), nullptr);
  EXPECT_EQ(error, kErrorLogonFailure);
}

class SimImpersonation : public ::testing::Test {
 protected:
  void SetUp() override { pc_.SetMachine("session", "user", "yamada"); }
  std::string User() {
    std::string name;
    EXPECT_TRUE(sim().platform().system.GetUserName(name));
    return name;
  }
  SimulatedPc& sim() { return pc_.Open(); }
  ISession& session() { return sim().platform().session; }
  std::unique_ptr<IToken> Administrator() {
    long error = 0;
    auto token = session().LogOn("administrator", ".", "admin", error);
    EXPECT_NE(token, nullptr) << error;
    return token;
  }
  ScratchPc pc_;
};

TEST_F(SimImpersonation, SwitchesTheIdentityAndBack) {
  EXPECT_FALSE(IsAdministrator(sim().platform()));
  auto token = Administrator();
  long error = 0;
  ASSERT_TRUE(session().Impersonate(*token, error));
  EXPECT_EQ(User(), "Administrator");  // as users.ini spells it
  EXPECT_TRUE(IsAdministrator(sim().platform()));
  // Closing the token keeps the thread's impersonation, as on Windows.
  token.reset();
  EXPECT_EQ(User(), "Administrator");

  // A registry write meanwhile is a plain write; the log tells as whom.
  RegKey key;
  ASSERT_EQ(key.Create(sim().platform().registry, Hive::LocalMachine, "SOFTWARE\\Velandra",
                       kKeyAllAccess),
            kErrorSuccess);
  ASSERT_EQ(key.SetString("x", "1"), kErrorSuccess);
  EXPECT_TRUE(EventsHold(sim(), "impersonating Administrator"));

  ASSERT_TRUE(session().RevertToSelf(error));
  EXPECT_EQ(User(), "yamada");
  EXPECT_FALSE(IsAdministrator(sim().platform()));
  EXPECT_TRUE(EventsHold(sim(), "reverted to self: yamada"));
  // Nothing of it is kept in pc.ini.
  EXPECT_EQ(Recorded(pc_, "user"), "yamada");
}

TEST_F(SimImpersonation, RevertWithoutImpersonatingSucceeds) {
  long error = 0;
  EXPECT_TRUE(session().RevertToSelf(error));
  EXPECT_EQ(User(), "yamada");
}

TEST_F(SimImpersonation, ForeignTokensAreInvalidHandles) {
  class OtherToken : public IToken {};
  OtherToken other;
  long error = 0;
  EXPECT_FALSE(session().Impersonate(other, error));
  EXPECT_EQ(error, kErrorInvalidHandle);

  ScratchPc second;
  long ignored = 0;
  auto elsewhere = second.Open().platform().session.LogOn("Administrator", ".", "admin", ignored);
  ASSERT_NE(elsewhere, nullptr);
  error = 0;
  EXPECT_FALSE(session().Impersonate(*elsewhere, error));
  EXPECT_EQ(error, kErrorInvalidHandle);
  EXPECT_EQ(User(), "yamada");
}

TEST_F(SimImpersonation, FailingStepsKeepTheIdentity) {
  pc_.SetMachine("session", "failing", "impersonate");
  auto token = Administrator();
  long error = 0;
  EXPECT_FALSE(session().Impersonate(*token, error));
  EXPECT_EQ(error, kErrorAccessDenied);
  EXPECT_EQ(User(), "yamada");
}

TEST_F(SimImpersonation, FailedRevertStaysImpersonating) {
  pc_.SetMachine("session", "failing", "revert");
  auto token = Administrator();
  long error = 0;
  ASSERT_TRUE(session().Impersonate(*token, error));
  EXPECT_FALSE(session().RevertToSelf(error));
  EXPECT_EQ(error, kErrorAccessDenied);
  EXPECT_EQ(User(), "Administrator");
}

TEST_F(SimImpersonation, ANewProcessStartsAsTheSessionUser) {
  auto token = Administrator();
  long error = 0;
  PrivilegeStep failed;
  ASSERT_TRUE(session().Impersonate(*token, error));
  ASSERT_TRUE(session().EnableShutdownPrivilege(failed));
  sim().BeginProcess();
  EXPECT_EQ(User(), "yamada");
  EXPECT_FALSE(session().RequestExit(kExitReboot));  // the privilege went with it
}

}  // namespace
}  // namespace velandra::platform::sim
