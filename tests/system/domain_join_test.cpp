#include "system/domain_join.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/relogon.h"
#include "config/config_file.h"
#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/platform/registry.h"
#include "system/platform/sim/sim_boot.h"
#include "system/platform/sim/sim_domain.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/win_types.h"
#include "ui/dlg_user_password.h"

namespace velandra {
namespace {

using platform::sim::SimulatedPc;

// The simulated PC's domain calls, recorded as they were made.
class RecordingDomain : public platform::IDomain {
 public:
  explicit RecordingDomain(platform::IDomain& pc) : pc_(pc) {}
  long QueryPrimaryDomain(uint32_t access, platform::PrimaryDomain& domain) override {
    return pc_.QueryPrimaryDomain(access, domain);
  }
  long JoinDomain(const std::string& domain, const std::optional<std::string>& account,
                  const std::optional<std::string>& password, uint32_t options) override {
    long rc = pc_.JoinDomain(domain, account, password, options);
    calls.push_back("join " + domain + " " + account.value_or("(none)") + " " +
                    password.value_or("(none)") + " " + std::to_string(options) + " = " +
                    std::to_string(rc));
    return rc;
  }
  long UnjoinDomain(uint32_t options) override {
    long rc = pc_.UnjoinDomain(options);
    calls.push_back("unjoin " + std::to_string(options) + " = " + std::to_string(rc));
    return rc;
  }
  std::vector<std::string> calls;

 private:
  platform::IDomain& pc_;
};

// The credentials dialog: what it was shown, and one answer.
class CredentialsDialog : public ui::IUserPasswordDialog {
 public:
  bool DoModal(ui::CDlgUserPassword& dialog) override {
    shown.push_back(dialog);
    if (!answer) return false;
    dialog.UserName = answer->first;
    dialog.Password = answer->second;
    return true;
  }
  std::optional<std::pair<std::string, std::string>> answer;  // nullopt: cancel
  std::vector<ui::CDlgUserPassword> shown;
};

// A scratch demo PC whose domain calls are recorded, with a context on the
// demo's configuration file and the record of place 1 (本社).
struct Rig {
  testing::ScratchPc pc;
  SimulatedPc* sim = nullptr;
  std::unique_ptr<RecordingDomain> domain;
  std::unique_ptr<platform::Platform> platform;
  std::unique_ptr<Context> context;
  config::Place place{};
  std::unique_ptr<config::PlaceSettings> record;
  CredentialsDialog dialog;
  size_t messagesBefore = 0;

  // Edit the PC's files before.
  void Open() {
    sim = &pc.Open();
    platform::Platform& p = sim->platform();
    domain = std::make_unique<RecordingDomain>(p.domain);
    platform = std::make_unique<platform::Platform>(platform::Platform{
        p.profile, p.registry, p.system, p.accounts, p.files, p.shell, p.messages, p.processes,
        p.session, p.drives, p.printers, p.shares, *domain});
    context = std::make_unique<Context>(*platform, testing::kDemoIniPath, ReadOsInfo(p.system));
    place.Number = 1;
    place.Name = "本社";
    record = std::make_unique<config::PlaceSettings>(*context, place, config::PlaceSource::Pc,
                                                     false);
    record->DomainWorkgroup = true;
    record->DomainName = "VELANDRA";
    record->LogonPlace = true;
    record->ComputerName = "VELANDRA-PC";
    record->DisableCAD = true;
    messagesBefore = sim->Messages().size();
    domain->calls.clear();
  }
  long Join(const std::string& domainName, const std::string& user, const std::string& password) {
    return JoinDomain(*context, *record, domainName, user, password, dialog);
  }
  // Text and icon of the messages since Open.
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (size_t i = messagesBefore; i < sim->Messages().size(); ++i) {
      const auto& m = sim->Messages()[i];
      EXPECT_EQ(m.Caption, "Velandra");
      out.push_back(std::string(m.Icon == platform::MessageIcon::Error      ? "error: "
                                : m.Icon == platform::MessageIcon::Question ? "question: "
                                : m.Icon == platform::MessageIcon::Warning  ? "warning: "
                                                                            : "info: ") +
                    m.Text);
    }
    return out;
  }
  std::string Ini(const char* key) const {
    return context->Config().ReadString("P1", key, "(missing)", 1024);
  }
  std::string Winlogon(const char* value) {
    platform::RegKey key;
    if (key.Open(sim->platform().registry, platform::Hive::LocalMachine, app::kWinlogonKey,
                 platform::kKeyQueryValue) != 0)
      return "(no key)";
    uint32_t type = 0;
    std::string data;
    if (key.QueryValue(value, 1024, type, data) != 0) return "(missing)";
    if (type == platform::kRegDword) return "dword " + std::to_string(uint8_t(data[0]));
    if (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
  }
};


// A domain account without a password, besides the demo's.
constexpr char kNoPasswordAccount[] = "\n[VELANDRA\\nopass]\njoin = yes\n";

TEST(JoinDomain, StoredAccountPassedAsItIsKept) {
  struct Row {
    const char* name;
    const char* user;
    const char* password;
    const char* call;
  } rows[] = {
      // No account: the logged-on Administrator's own credentials join.
      {"no_user", "", "", "join VELANDRA (none) (none) 35 = 0"},
      {"no_user_with_a_password", "", "stray", "join VELANDRA (none) (none) 35 = 0"},
      {"user_without_password", "nopass", "", "join VELANDRA nopass (none) 35 = 0"},
      {"user_and_password", "Administrator", "admin",
       "join VELANDRA Administrator admin 35 = 0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.pc.WriteFile(platform::sim::kDomainsFile,
                     rig.pc.ReadFile(platform::sim::kDomainsFile) + kNoPasswordAccount);
    rig.Open();
    EXPECT_EQ(rig.Join("VELANDRA", row.user, row.password), 0);
    EXPECT_EQ(rig.domain->calls, std::vector<std::string>{row.call});
    EXPECT_TRUE(rig.dialog.shown.empty());
    EXPECT_TRUE(rig.Messages().empty());
    EXPECT_EQ(rig.Winlogon("DefaultDomainName"), "VELANDRA");
    EXPECT_EQ(rig.Winlogon("AltDefaultDomainName"), "VELANDRA");
    EXPECT_EQ(rig.Winlogon("DisableCAD"), "dword 1");
    EXPECT_EQ(rig.Ini("JoinDomainUser"), "(missing)");
  }
}

TEST(JoinDomain, MemberOrUnknownMembershipIsUnjoinedFirst) {
  struct Row {
    const char* name;
    const char* member;   // pc.ini [domain] member
    const char* failing;  // [domain] failing, set after the record is read
    std::vector<std::string> calls;
  } rows[] = {
      {"workgroup", "no", nullptr, {"join VELANDRA Administrator admin 35 = 0"}},
      {"member", "yes", nullptr, {"unjoin 4 = 0", "join VELANDRA Administrator admin 35 = 0"}},
      // The PC is in fact in its workgroup: the unjoin's refusal is ignored.
      {"query_fails", "no", "query policy",
       {"unjoin 4 = 2692", "join VELANDRA Administrator admin 35 = 0"}},
      {"open_fails", "no", "open policy",
       {"unjoin 4 = 2692", "join VELANDRA Administrator admin 35 = 0"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.pc.SetMachine("domain", "name", std::string(row.member) == "yes" ? "VELANDRA" : "WORKGROUP");
    rig.pc.SetMachine("domain", "member", row.member);
    rig.Open();
    if (row.failing) rig.sim->Machine().Set("domain", "failing", row.failing);
    EXPECT_EQ(rig.Join("VELANDRA", "Administrator", "admin"), 0);
    EXPECT_EQ(rig.domain->calls, row.calls);
    EXPECT_TRUE(rig.Messages().empty());
  }
}

TEST(JoinDomain, SecondAttemptWithTheTypedAccount) {
  struct Row {
    const char* name;
    const char* typedUser;
    const char* typedPassword;
    const char* answer;  // to the question; null: none asked
    long result;
    const char* storedUser;
    const char* storedPassword;
  } rows[] = {
      {"yes_keeps_it", "Administrator", "admin", "yes", 0, "Administrator",
       "158155146150145"},
      {"no_keeps_nothing", "Administrator", "admin", "no", 0, "(missing)", "(missing)"},
      {"fails_again", "suzuki", "suzuki", nullptr, platform::kErrorAccessDenied, "(missing)",
       "(missing)"},
  };
  ASSERT_EQ(config::EncodeStoredPassword("admin"), "158155146150145");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.Open();
    rig.dialog.answer = {{row.typedUser, row.typedPassword}};
    if (row.answer) rig.sim->answers().Push(row.answer);

    EXPECT_EQ(rig.Join("VELANDRA", "Administrator", "wrong"), row.result);

    ASSERT_EQ(rig.dialog.shown.size(), 1u);
    EXPECT_EQ(rig.dialog.shown[0].Message, kMsgJoinPrompt);
    EXPECT_EQ(rig.dialog.shown[0].Focus, 0u);
    EXPECT_EQ(rig.dialog.shown[0].UserName, "");
    EXPECT_EQ(rig.dialog.shown[0].Password, "");
    ASSERT_EQ(rig.domain->calls.size(), 2u);
    EXPECT_EQ(rig.domain->calls[0], "join VELANDRA Administrator wrong 35 = 1326");
    EXPECT_EQ(rig.domain->calls[1].rfind(std::string("join VELANDRA ") + row.typedUser + " " +
                                             row.typedPassword + " 35 = ",
                                         0),
              0u)
        << rig.domain->calls[1];
    EXPECT_EQ(rig.Messages(), row.answer ? std::vector<std::string>{std::string("question: ") +
                                                                    kMsgJoinSaveCredentials}
                                         : std::vector<std::string>{});
    EXPECT_EQ(rig.Ini("JoinDomainUser"), row.storedUser);
    EXPECT_EQ(rig.Ini("JoinDomainPassword"), row.storedPassword);
    // The record in memory stays as it was.
    EXPECT_EQ(rig.record->JoinDomainUser, "");
    EXPECT_EQ(rig.Winlogon("DefaultDomainName"), row.result ? "VELANDRA-PC" : "VELANDRA");
    EXPECT_TRUE(rig.sim->answers().Empty());
  }
}

TEST(JoinDomain, FailedJoinsLeaveTheLogonAsItWas) {
  struct Row {
    const char* name;
    const char* domain;
    long result;
  } rows[] = {
      {"unreachable", "SHITEN", 1355},
      {"unknown", "NOWHERE", 1355},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.Open();
    rig.dialog.answer = {{"Administrator", "admin"}};
    EXPECT_EQ(rig.Join(row.domain, "Administrator", "admin"), row.result);
    EXPECT_EQ(rig.domain->calls.size(), 2u);
    EXPECT_EQ(rig.dialog.shown.size(), 1u);
    EXPECT_TRUE(rig.Messages().empty());  // the caller reports the failure
    EXPECT_EQ(rig.Winlogon("DefaultDomainName"), "VELANDRA-PC");
    EXPECT_EQ(rig.Winlogon("DisableCAD"), "(missing)");
    EXPECT_FALSE(rig.context->QuitCode());
  }
}

TEST(JoinDomain, CancelledQuestionEndsTheRun) {
  Rig rig;
  rig.Open();
  EXPECT_EQ(rig.Join("VELANDRA", "Administrator", "wrong"), kJoinDomainCancelled);
  EXPECT_EQ(rig.domain->calls.size(), 1u);
  EXPECT_EQ(rig.Messages(),
            std::vector<std::string>{std::string("error: ") + kMsgJoinCredentialsCancelled});
  EXPECT_EQ(rig.context->QuitCode(), 1);
  EXPECT_EQ(rig.Winlogon("DefaultDomainName"), "VELANDRA-PC");
}

TEST(JoinDomain, TypedEntriesLongerThanTheJoinTakesAreRefusedNotCut) {
  struct Row {
    const char* name;
    std::string user, password;
    const char* message;  // null: taken, and tried
  } rows[] = {
      {"user_of_128", std::string(128, 'u'), "admin", kMsgJoinUserTooLong},
      {"password_of_128", "Administrator", std::string(128, 'p'), kMsgJoinPasswordTooLong},
      {"both_of_127", std::string(127, 'u'), std::string(127, 'p'), nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.Open();
    rig.dialog.answer = {{row.user, row.password}};
    EXPECT_EQ(rig.Join("VELANDRA", "Administrator", "wrong"), platform::kErrorLogonFailure);
    EXPECT_EQ(rig.domain->calls.size(), row.message ? 1u : 2u);
    EXPECT_EQ(rig.Messages(), row.message ? std::vector<std::string>{std::string("warning: ") +
                                                                      row.message}
                                          : std::vector<std::string>{});
  }
}

TEST(JoinDomain, LogonDefaultsAfterTheJoin) {
  struct Row {
    const char* name;
    bool logonPlace;
    bool disableCad;
    const char* logonDomain;
    const char* cad;
  } rows[] = {
      {"place_domain", true, true, "VELANDRA", "dword 1"},
      {"computer_name", false, false, "HONSHA-PC", "dword 0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.Open();
    rig.record->LogonPlace = row.logonPlace;
    rig.record->DisableCAD = row.disableCad;
    rig.record->ComputerName = "HONSHA-PC";
    EXPECT_EQ(rig.Join("VELANDRA", "Administrator", "admin"), 0);
    EXPECT_EQ(rig.Winlogon("DefaultDomainName"), row.logonDomain);
    EXPECT_EQ(rig.Winlogon("AltDefaultDomainName"), row.logonDomain);
    EXPECT_EQ(rig.Winlogon("DisableCAD"), row.cad);
  }

  // Without the key the join still counts; the open error is shown.
  Rig rig;
  rig.Open();
  ASSERT_EQ(rig.sim->platform().registry.DeleteKey(platform::Hive::LocalMachine,
                                                   app::kWinlogonKey),
            0);
  EXPECT_EQ(rig.Join("VELANDRA", "Administrator", "admin"), 0);
  EXPECT_EQ(rig.Messages(),
            std::vector<std::string>{std::string("warning: レジストリ ") + app::kWinlogonKey +
                                     " のopenでエラーが発生しました"});
}

TEST(JoinDomain, MembershipInForceOnlyAfterTheRestart) {
  Rig rig;
  rig.pc.SetMachine("session", "exit_request", "restart");
  rig.Open();
  ASSERT_EQ(rig.Join("VELANDRA", "Administrator", "admin"), 0);
  EXPECT_FALSE(IsDomainMember(*rig.platform));

  std::ostringstream out;
  platform::sim::Boot(*rig.sim, false,
                      [](SimulatedPc&, const std::string&, std::ostream&) { return 0; }, out);
  EXPECT_TRUE(IsDomainMember(*rig.platform)) << out.str();
  platform::PrimaryDomain d;
  ASSERT_EQ(rig.platform->domain.QueryPrimaryDomain(platform::kPolicyMemberAccess, d), 0);
  EXPECT_EQ(d.Name, "VELANDRA");
}

TEST(SwitchToWorkgroup, UnjoinsThenJoinsAndReportsAllButAccessDenied) {
  struct Row {
    const char* name;
    const char* domain;  // the PC's domain; null: in its workgroup
    const char* user;    // [session] user; null: Administrator
    const char* workgroup;
    std::vector<std::string> calls;
    bool reported;
  } rows[] = {
      {"from_workgroup", nullptr, nullptr, "HOME", {"join HOME (none) (none) 32 = 0"}, false},
      {"from_domain", "VELANDRA", nullptr, "HOME",
       {"unjoin 4 = 0", "join HOME (none) (none) 32 = 0"}, false},
      {"unreachable_domain_left_without_deleting", "SHITEN", nullptr, "HOME",
       {"unjoin 4 = 1355", "unjoin 0 = 0", "join HOME (none) (none) 32 = 0"}, false},
      // yamada is no administrator: the query fails too, so he is taken for a member.
      {"access_denied", nullptr, "yamada", "HOME",
       {"unjoin 4 = 5", "unjoin 0 = 5", "join HOME (none) (none) 32 = 5"}, false},
      {"invalid_name", nullptr, nullptr, "HOME*", {"join HOME* (none) (none) 32 = 2695"}, true},
      {"empty_name", nullptr, nullptr, "", {"join  (none) (none) 32 = 87"}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    if (row.domain) {
      rig.pc.SetMachine("domain", "name", row.domain);
      rig.pc.SetMachine("domain", "member", "yes");
    }
    if (row.user) rig.pc.SetMachine("session", "user", row.user);
    rig.Open();
    rig.record->DomainWorkgroup = false;
    rig.record->WorkgroupName = row.workgroup;
    rig.record->ComputerName = "HOME-PC";
    const std::string before = rig.Winlogon("DefaultDomainName");
    const std::string beforeAlt = rig.Winlogon("AltDefaultDomainName");
    SwitchToWorkgroup(*rig.context, *rig.record);
    EXPECT_EQ(rig.domain->calls, row.calls);
    EXPECT_EQ(rig.Messages(), row.reported ? std::vector<std::string>{std::string("warning: ") +
                                                                       kMsgWorkgroupSwitchFailed}
                                           : std::vector<std::string>{});
    // After a switch that worked no logon goes to the domain left behind.
    const bool switched = row.calls.back().ends_with("= 0");
    EXPECT_EQ(rig.Winlogon("DefaultDomainName"), switched ? "HOME-PC" : before);
    EXPECT_EQ(rig.Winlogon("AltDefaultDomainName"), switched ? "HOME-PC" : beforeAlt);
  }
}

TEST(IsDomainMember, TrueForAMemberAndWhenItCannotBeFoundOut) {
  struct Row {
    const char* member;
    const char* failing;
    bool expected;
  } rows[] = {
      {"no", nullptr, false},
      {"yes", nullptr, true},
      {"no", "open policy", true},
      {"no", "query policy", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.member) + " " + (row.failing ? row.failing : ""));
    testing::ScratchPc pc;
    pc.SetMachine("domain", "member", row.member);
    if (row.failing) pc.SetMachine("domain", "failing", row.failing);
    EXPECT_EQ(IsDomainMember(pc.Open().platform()), row.expected);
  }
}

}  // namespace
}  // namespace velandra
