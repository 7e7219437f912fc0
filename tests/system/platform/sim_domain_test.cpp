#include "system/platform/sim/sim_domain.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "support/scratch_dir.h"
#include "system/platform/sim/sim_boot.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/win_types.h"

namespace velandra::platform::sim {
namespace {

using velandra::testing::ScratchPc;

constexpr uint32_t kJoin = kNetSetupJoinDomain | kNetSetupAcctCreate | kNetSetupDomainJoinIfJoined;
constexpr uint32_t kWorkgroup = kNetSetupDomainJoinIfJoined;

PrimaryDomain Query(SimulatedPc& pc, uint32_t access = kPolicyMemberAccess) {
  PrimaryDomain d;
  EXPECT_EQ(pc.platform().domain.QueryPrimaryDomain(access, d), kErrorSuccess);
  return d;
}

std::string Membership(ScratchPc& pc) {
  std::string error;
  StateFile m;
  EXPECT_TRUE(m.Load(pc.dir() / kMachineFile, true, error)) << error;
  return m.Get("domain", "name") + "/" + m.Get("domain", "member") + " -> " +
         m.Get("domain", "pending_name") + "/" + m.Get("domain", "pending_member");
}

// kanri: an administrator of the PC without an account of any domain.
void AddLocalAdministrator(ScratchPc& pc) {
  pc.WriteFile(kUsersFile,
               pc.ReadFile(kUsersFile) + "\n[kanri]\ngroups = Administrators\npassword = k\n");
}

std::string LastEvent(SimulatedPc& pc) { return pc.Events().empty() ? "" : pc.Events().back(); }

// The demo's controller: VELANDRA with Administrator (may join) and suzuki
// (may not), and the unreachable SHITEN.
TEST(SimDomain, JoinResultsAsWindowsGivesThem) {
  struct Row {
    const char* name;
    const char* member;  // pc.ini [domain] name/member before; null: the demo's workgroup
    const char* user;    // [session] user; null: Administrator
    const char* domain;
    std::optional<std::string> account, password;
    uint32_t options;
    long code;
    const char* membership;  // after the call
  } rows[] = {
      {"domain", nullptr, nullptr, "VELANDRA", "Administrator", "admin", kJoin, 0,
       "WORKGROUP/no -> VELANDRA/yes"},
      {"domain_in_lower_case", nullptr, nullptr, "velandra", "administrator", "admin", kJoin, 0,
       "WORKGROUP/no -> VELANDRA/yes"},
      {"account_with_its_domain", nullptr, nullptr, "VELANDRA", "VELANDRA\\Administrator",
       "admin", kJoin, 0, "WORKGROUP/no -> VELANDRA/yes"},
      {"caller_credentials", nullptr, nullptr, "VELANDRA", std::nullopt, std::nullopt, kJoin, 0,
       "WORKGROUP/no -> VELANDRA/yes"},
      {"account_of_another_domain", nullptr, nullptr, "VELANDRA", "SHITEN\\Administrator",
       "admin", kJoin, kErrorLogonFailure, "WORKGROUP/no -> /"},
      {"wrong_password", nullptr, nullptr, "VELANDRA", "Administrator", "Admin", kJoin,
       kErrorLogonFailure, "WORKGROUP/no -> /"},
      {"no_password", nullptr, nullptr, "VELANDRA", "Administrator", std::nullopt, kJoin,
       kErrorLogonFailure, "WORKGROUP/no -> /"},
      {"unknown_account", nullptr, nullptr, "VELANDRA", "tanaka", "admin", kJoin,
       kErrorLogonFailure, "WORKGROUP/no -> /"},
      {"account_without_the_right", nullptr, nullptr, "VELANDRA", "suzuki", "suzuki", kJoin,
       kErrorAccessDenied, "WORKGROUP/no -> /"},
      {"unreachable_domain", nullptr, nullptr, "SHITEN", "Administrator", "admin", kJoin,
       kErrorNoSuchDomain, "WORKGROUP/no -> /"},
      {"unknown_domain", nullptr, nullptr, "NOWHERE", "Administrator", "admin", kJoin,
       kErrorNoSuchDomain, "WORKGROUP/no -> /"},
      {"caller_without_domain_account", nullptr, "kanri", "VELANDRA", std::nullopt,
       std::nullopt, kJoin, kErrorLogonFailure, "WORKGROUP/no -> /"},
      {"caller_no_administrator", nullptr, "yamada", "VELANDRA", "Administrator", "admin",
       kJoin, kErrorAccessDenied, "WORKGROUP/no -> /"},
      {"already_joined", "VELANDRA", nullptr, "VELANDRA", "Administrator", "admin",
       kNetSetupJoinDomain | kNetSetupAcctCreate, kNerrSetupAlreadyJoined, "VELANDRA/yes -> /"},
      {"joined_elsewhere_if_joined", "SHITEN", nullptr, "VELANDRA", "Administrator", "admin",
       kJoin, 0, "SHITEN/yes -> VELANDRA/yes"},
      {"no_computer_account", nullptr, nullptr, "VELANDRA", "Administrator", "admin",
       kNetSetupJoinDomain, kErrorNoTrustSamAccount, "WORKGROUP/no -> /"},
      {"unmodelled_option", nullptr, nullptr, "VELANDRA", "Administrator", "admin",
       kJoin | 0x40, kErrorNotSupported, "WORKGROUP/no -> /"},
      {"account_creation_without_join", nullptr, nullptr, "VELANDRA", std::nullopt,
       std::nullopt, kNetSetupAcctCreate, kErrorInvalidParameter, "WORKGROUP/no -> /"},
      {"empty_name", nullptr, nullptr, "", "Administrator", "admin", kJoin,
       kErrorInvalidParameter, "WORKGROUP/no -> /"},
      {"workgroup", nullptr, nullptr, "HOME", std::nullopt, std::nullopt, kWorkgroup, 0,
       "WORKGROUP/no -> HOME/no"},
      {"workgroup_leaving_a_domain", "VELANDRA", nullptr, "HOME", std::nullopt, std::nullopt,
       kWorkgroup, 0, "VELANDRA/yes -> HOME/no"},
      {"workgroup_while_joined", "VELANDRA", nullptr, "HOME", std::nullopt, std::nullopt, 0,
       kNerrSetupAlreadyJoined, "VELANDRA/yes -> /"},
      {"workgroup_bad_character", nullptr, nullptr, "HOME*", std::nullopt, std::nullopt,
       kWorkgroup, kNerrInvalidWorkgroupName, "WORKGROUP/no -> /"},
      {"workgroup_of_16_bytes", nullptr, nullptr, "ABCDEFGHIJKLMNOP", std::nullopt,
       std::nullopt, kWorkgroup, kNerrInvalidWorkgroupName, "WORKGROUP/no -> /"},
      {"workgroup_by_no_administrator", nullptr, "yamada", "HOME", std::nullopt, std::nullopt,
       kWorkgroup, kErrorAccessDenied, "WORKGROUP/no -> /"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    if (row.member) {
      pc.SetMachine("domain", "name", row.member);
      pc.SetMachine("domain", "member", "yes");
    }
    AddLocalAdministrator(pc);
    if (row.user) pc.SetMachine("session", "user", row.user);
    const std::string domainsBefore = pc.ReadFile(kDomainsFile);
    SimulatedPc& sim = pc.Open();
    const PrimaryDomain before = Query(sim, kPolicyViewLocalInformation);

    EXPECT_EQ(sim.platform().domain.JoinDomain(row.domain, row.account, row.password,
                                               row.options),
              row.code)
        << LastEvent(sim);

    EXPECT_EQ(Membership(pc), row.membership);
    // In force only after the restart.
    const PrimaryDomain after = Query(sim, kPolicyViewLocalInformation);
    EXPECT_EQ(after.Name, before.Name);
    EXPECT_EQ(after.HasSid, before.HasSid);
    if (row.code != 0) {
      EXPECT_EQ(pc.ReadFile(kDomainsFile), domainsBefore);
    }
  }
}

TEST(SimDomain, JoinCreatesTheComputerAccountAndUnjoinDeletesIt) {
  ScratchPc pc;
  pc.SetMachine("computer", "pending_name", "HONSHA-PC");
  SimulatedPc& sim = pc.Open();
  ASSERT_EQ(sim.platform().domain.JoinDomain("VELANDRA", "Administrator", "admin", kJoin), 0);
  EXPECT_NE(pc.ReadFile(kDomainsFile).find("computer = HONSHA-PC\n"), std::string::npos);
  EXPECT_NE(LastEvent(sim).find("computer account HONSHA-PC created"), std::string::npos)
      << LastEvent(sim);

  ASSERT_EQ(sim.platform().domain.UnjoinDomain(kNetSetupAcctDelete), 0) << LastEvent(sim);
  const std::string domains = pc.ReadFile(kDomainsFile);
  EXPECT_EQ(domains.find("HONSHA-PC"), std::string::npos) << domains;
  EXPECT_NE(domains.find("computer = FS01\n"), std::string::npos) << domains;
  EXPECT_NE(domains.find("reachable = yes"), std::string::npos) << domains;
  EXPECT_NE(LastEvent(sim).find("deleted its computer account HONSHA-PC"), std::string::npos)
      << LastEvent(sim);
  EXPECT_EQ(Membership(pc), "WORKGROUP/no -> /");
}

TEST(SimDomain, UnjoinResults) {
  struct Row {
    const char* name;
    const char* member;  // domain of the PC; null: the demo's workgroup
    const char* user;
    uint32_t options;
    long code;
    const char* membership;
  } rows[] = {
      {"not_joined", nullptr, nullptr, kNetSetupAcctDelete, kNerrSetupNotJoined,
       "WORKGROUP/no -> /"},
      {"delete_account", "VELANDRA", nullptr, kNetSetupAcctDelete, 0,
       "VELANDRA/yes -> WORKGROUP/no"},
      {"keep_account", "VELANDRA", nullptr, 0, 0, "VELANDRA/yes -> WORKGROUP/no"},
      {"delete_on_unreachable_controller", "SHITEN", nullptr, kNetSetupAcctDelete,
       kErrorNoSuchDomain, "SHITEN/yes -> /"},
      {"leave_unreachable_domain", "SHITEN", nullptr, 0, 0, "SHITEN/yes -> WORKGROUP/no"},
      {"delete_without_domain_account", "VELANDRA", "kanri", kNetSetupAcctDelete,
       kErrorLogonFailure, "VELANDRA/yes -> /"},
      {"no_administrator", "VELANDRA", "yamada", 0, kErrorAccessDenied, "VELANDRA/yes -> /"},
      {"bad_option", "VELANDRA", nullptr, kNetSetupAcctCreate, kErrorInvalidParameter,
       "VELANDRA/yes -> /"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    if (row.member) {
      pc.SetMachine("domain", "name", row.member);
      pc.SetMachine("domain", "member", "yes");
    }
    AddLocalAdministrator(pc);
    if (row.user) pc.SetMachine("session", "user", row.user);
    SimulatedPc& sim = pc.Open();
    EXPECT_EQ(sim.platform().domain.UnjoinDomain(row.options), row.code) << LastEvent(sim);
    EXPECT_EQ(Membership(pc), row.membership);
  }
}

TEST(SimDomain, MembershipComesIntoForceAtARestartNotAtALogOff) {
  struct Row {
    const char* exitRequest;
    const char* name;
    bool hasSid;
  } rows[] = {
      {"restart", "VELANDRA", true},
      {"shut down", "VELANDRA", true},
      {"log off", "WORKGROUP", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.exitRequest);
    ScratchPc pc;
    pc.SetMachine("session", "exit_request", row.exitRequest);
    SimulatedPc& sim = pc.Open();
    ASSERT_EQ(sim.platform().domain.JoinDomain("VELANDRA", "Administrator", "admin", kJoin), 0);
    std::ostringstream out;
    Boot(sim, false, [](SimulatedPc&, const std::string&, std::ostream&) { return 0; }, out);
    const PrimaryDomain d = Query(sim);
    EXPECT_EQ(d.Name, row.name);
    EXPECT_EQ(d.HasSid, row.hasSid);
    EXPECT_EQ(out.str().find("now a member of the domain VELANDRA") != std::string::npos,
              row.hasSid)
        << out.str();
  }
}

TEST(SimDomain, QueryNeedsAnAdministratorForMoreThanViewingAndFailsWhereInjected) {
  struct Row {
    const char* name;
    const char* user;
    const char* failing;
    uint32_t access;
    long code;
  } rows[] = {
      {"administrator", "Administrator", nullptr, kPolicyMemberAccess, 0},
      {"user_viewing", "yamada", nullptr, kPolicyViewLocalInformation, 0},
      {"user_with_all_access", "yamada", nullptr, kPolicyMemberAccess, kErrorAccessDenied},
      {"no_view_right", "Administrator", nullptr, 0x00000800, kErrorAccessDenied},
      {"open_failing", "Administrator", "open policy", kPolicyMemberAccess, kErrorAccessDenied},
      {"query_failing", "Administrator", "Query Policy", kPolicyViewLocalInformation,
       kErrorAccessDenied},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    pc.SetMachine("session", "user", row.user);
    if (row.failing) pc.SetMachine("domain", "failing", row.failing);
    SimulatedPc& sim = pc.Open();
    PrimaryDomain d{"untouched", true};
    EXPECT_EQ(sim.platform().domain.QueryPrimaryDomain(row.access, d), row.code);
    EXPECT_EQ(d.Name, row.code ? "untouched" : "WORKGROUP");
    EXPECT_EQ(d.HasSid, row.code != 0);
  }
}

TEST(SimDomain, BadStateFilesAreNamedWithTheirLine) {
  struct Row {
    const char* key;
    const char* value;
    const char* error;
  } rows[] = {
      {"member", "maybe", "member must be yes or no: maybe"},
      {"pending_member", "1", "pending_member must be yes or no: 1"},
      {"failing", "open policy, join", "failing names an unknown step \"join\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    ScratchPc pc;
    pc.SetMachine("domain", row.key, row.value);
    std::string error;
    EXPECT_FALSE(SimulatedPc::Open(pc.dir(), error));
    EXPECT_NE(error.find("pc.ini line "), std::string::npos) << error;
    EXPECT_NE(error.find(row.error), std::string::npos) << error;
  }

  // A broken controller file: no domain can be found, and the log says why.
  const struct {
    const char* text;
    const char* why;
  } controllers[] = {
      {"[VELANDRA]\nreachable = perhaps\n", "domains.ini line 2: reachable must be yes or no"},
      {"[VELANDRA]\nowner = x\n", "domains.ini line 2: unknown key owner"},
      {"[OTHER\\Administrator]\npassword = admin\n", "domains.ini line 1: an account section"},
      {"no section line\n", "domains.ini line 1"},
  };
  for (const auto& c : controllers) {
    SCOPED_TRACE(c.text);
    ScratchPc pc;
    pc.WriteFile(kDomainsFile, c.text);
    SimulatedPc& sim = pc.Open();
    EXPECT_EQ(sim.platform().domain.JoinDomain("VELANDRA", "Administrator", "admin", kJoin),
              kErrorNoSuchDomain);
    bool logged = false;
    for (const auto& e : sim.Events())
      logged = logged || (e.find("domain controllers refused") != std::string::npos &&
                          e.find(c.why) != std::string::npos);
    EXPECT_TRUE(logged) << (sim.Events().empty() ? "" : sim.Events().front());
    EXPECT_EQ(pc.ReadFile(kDomainsFile), c.text);
  }
}

}  // namespace
}  // namespace velandra::platform::sim
