#include "system/net_shares.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "system/platform/sim/sim_shares.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "system/share_permissions.h"

namespace velandra {
namespace {

using config::kAceAllowed;
using config::kAceDenied;
using config::kShareChange;
using config::kShareChangeAndRead;
using config::kShareFullControl;
using config::kShareRead;
using config::NetShare;
using config::NetShareList;
using config::SharePermission;
using velandra::testing::ScratchPc;

constexpr char kComputer[] = "VELANDRA-PC";

SharePermission Entry(std::string name, std::string domain, uint8_t type, uint32_t mask) {
  return {std::move(name), std::move(domain), type, 0, mask};
}

NetShare Spare(std::vector<SharePermission> access = {}) {
  NetShare s;
  s.ShareName = "予備";
  s.SharePath = "C:\\共有\\予備";
  s.Remark = "予備の資料";
  s.MaxUses = -1;
  s.Access = std::move(access);
  return s;
}

class PcShares : public ::testing::Test {
 protected:
  platform::IShares& Shares() { return pc_.Open().platform().shares; }
  NetShareList ReadPc() {
    NetShareList list;
    EXPECT_EQ(ReadSharesFromPC(Shares(), list), 0);
    return list;
  }
  std::string SharesIni() const { return pc_.ReadFile("shares.ini"); }
  ScratchPc pc_;
};

TEST_F(PcShares, DemoPcReadsWithoutAdministrativeShares) {
  NetShareList list = ReadPc();
  ASSERT_EQ(list.size(), 2u);
  NetShare docs;
  docs.ShareName = "資料";
  docs.SharePath = "C:\\共有\\資料";
  docs.Remark = "部署の資料";
  docs.MaxUses = 10;
  docs.Access = {Entry("Everyone", "", kAceAllowed, kShareRead),
                 Entry("yamada", kComputer, kAceAllowed, kShareFullControl),
                 Entry("Guest", kComputer, kAceDenied, kShareFullControl)};
  EXPECT_EQ(list[0], docs);
  EXPECT_EQ(list[1].ShareName, "公開");
  EXPECT_TRUE(list[1].Access.empty());
}

TEST_F(PcShares, DeleteLeavesAdministrativeShares) {
  EXPECT_TRUE(DeletePCShares(Shares()));
  EXPECT_TRUE(ReadPc().empty());
  std::vector<platform::ShareInfo> all;
  ASSERT_EQ(Shares().EnumShares(all), 0);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].Name, "C$");
  EXPECT_EQ(all[2].Name, "IPC$");
}

struct AclCase {
  const char* why;
  std::vector<SharePermission> given;
  std::vector<SharePermission> readBack;  // empty: as given
};

TEST_F(PcShares, PermissionCombinationsReadBackEqual) {
  const AclCase cases[] = {
      {"no entries: default permissions", {}, {}},
      {"Everyone full", {Entry("Everyone", "", kAceAllowed, kShareFullControl)}, {}},
      {"allow before deny keeps its order",
       {Entry("Everyone", "", kAceAllowed, kShareRead),
        Entry("yamada", kComputer, kAceDenied, kShareChange)},
       {}},
      {"deny before allow",
       {Entry("Guest", kComputer, kAceDenied, kShareFullControl),
        Entry("Users", "BUILTIN", kAceAllowed, kShareChangeAndRead)},
       {}},
      {"allow and deny for one account",
       {Entry("yamada", kComputer, kAceAllowed, kShareFullControl),
        Entry("yamada", kComputer, kAceDenied, kShareChange)},
       {}},
      {"every mask, groups and users",
       {Entry("Administrators", "BUILTIN", kAceAllowed, kShareFullControl),
        Entry("Power Users", "BUILTIN", kAceAllowed, kShareChangeAndRead),
        Entry("Authenticated Users", "NT AUTHORITY", kAceAllowed, kShareChange),
        Entry("Everyone", "", kAceDenied, kShareRead),
        Entry("SYSTEM", "NT AUTHORITY", kAceAllowed, 0x10000000)},
       {}},
      {"names without domain or with another case",
       {Entry("yamada", "", kAceAllowed, kShareRead),
        Entry("EVERYONE", "", kAceDenied, kShareChange),
        Entry("administrators", "builtin", kAceAllowed, kShareFullControl)},
       {Entry("yamada", kComputer, kAceAllowed, kShareRead),
        Entry("Everyone", "", kAceDenied, kShareChange),
        Entry("Administrators", "BUILTIN", kAceAllowed, kShareFullControl)}},
  };
  for (const AclCase& c : cases) {
    SCOPED_TRACE(c.why);
    ASSERT_TRUE(DeletePCShares(Shares()));
    std::string message;
    ASSERT_EQ(CreateShare(Shares(), Spare(c.given), &message), 0) << message;
    NetShareList list = ReadPc();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], Spare(c.readBack.empty() ? c.given : c.readBack));
  }
}

TEST_F(PcShares, DeleteAndRecreateKeepsNothingStale) {
  NetShare full = Spare({Entry("Everyone", "", kAceAllowed, kShareRead),
                         Entry("yamada", kComputer, kAceDenied, kShareFullControl),
                         Entry("Guest", kComputer, kAceDenied, kShareRead)});
  full.MaxUses = 3;
  full.Password = "pw";
  ASSERT_EQ(CreateShare(Shares(), full), 0);
  EXPECT_EQ(CreateShare(Shares(), full), platform::kShareDuplicate);
  ASSERT_TRUE(DeletePCShares(Shares()));
  NetShare bare = Spare({Entry("Users", "BUILTIN", kAceAllowed, kShareChange)});
  bare.Remark = "";
  ASSERT_TRUE(CreateShares(Shares(), {bare}));
  NetShareList list = ReadPc();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0], bare);
  EXPECT_EQ(SharesIni().find("yamada"), std::string::npos) << SharesIni();
}

TEST_F(PcShares, CurrentUsesOfANewShareAreZero) {
  NetShare s = Spare();
  s.CurrentUses = 4;
  ASSERT_EQ(CreateShare(Shares(), s), 0);
  EXPECT_EQ(ReadPc().at(0).CurrentUses, 0);
}

TEST_F(PcShares, UnresolvableAccountCreatesNothing) {
  std::string before = SharesIni();
  std::string message;
  NetShare s = Spare({Entry("Everyone", "", kAceAllowed, kShareRead),
                      Entry("誰か", "", kAceDenied, kShareFullControl)});
  EXPECT_EQ(CreateShare(Shares(), s, &message), platform::kShareNoneMapped);
  EXPECT_NE(message.find("誰か"), std::string::npos) << message;
  // A domain that is not the account's does not resolve either.
  s.Access[1] = Entry("yamada", "OTHER-PC", kAceDenied, kShareFullControl);
  EXPECT_EQ(CreateShare(Shares(), s), platform::kShareNoneMapped);
  EXPECT_EQ(SharesIni(), before);
}

TEST_F(PcShares, OrphanSidReadsAsItsStringAndIsCreatedAgain) {
  // taro is not in users.ini any more: his entry names a SID nobody owns.
  pc_.WriteFile("shares.ini", platform::Cp932ToUtf8(
                "[旧共有]\npath = C:\\共有\\予備\nace = deny, taro, 0x1200A9\n"
                "ace = allow, S-1-5-21-9-9-9-1234, 0x1F01FF\nace = allow, Everyone, 0x1200A9\n"));
  auto& sim = static_cast<platform::sim::SimShares&>(Shares());
  std::string taro = sim.LocalSid("taro");
  NetShareList first = ReadPc();
  ASSERT_EQ(first.size(), 1u);
  const std::vector<SharePermission> expected = {
      Entry(taro, "", kAceDenied, kShareRead),
      Entry("S-1-5-21-9-9-9-1234", "", kAceAllowed, kShareFullControl),
      Entry("Everyone", "", kAceAllowed, kShareRead)};
  EXPECT_EQ(first[0].Access, expected);
  ASSERT_TRUE(DeletePCShares(Shares()));
  ASSERT_TRUE(CreateShares(Shares(), first));
  EXPECT_EQ(ReadPc(), first);
}

TEST_F(PcShares, AccountSidsFollowUsersIni) {
  auto& sim = static_cast<platform::sim::SimShares&>(Shares());
  struct Row {
    const char* account;
    const char* sid;  // null: the local hash rule
  } rows[] = {{"Everyone", "S-1-1-0"},
              {"BUILTIN\\Administrators", "S-1-5-32-544"},
              {"NT AUTHORITY\\SYSTEM", "S-1-5-18"},
              {"Administrator", "S-1-5-21-1004336348-1177238915-682003330-500"},
              {"VELANDRA-PC\\Guest", "S-1-5-21-1004336348-1177238915-682003330-501"},
              {"yamada", nullptr}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.account);
    std::string sid, name, domain;
    ASSERT_TRUE(Shares().SidOfAccount(r.account, sid));
    std::string bare = r.account;
    if (size_t slash = bare.find('\\'); slash != std::string::npos) bare = bare.substr(slash + 1);
    EXPECT_EQ(sid, r.sid ? std::string(r.sid) : sim.LocalSid(bare));
    ASSERT_TRUE(Shares().AccountOfSid(sid, name, domain));
    EXPECT_EQ(name, bare);
  }
  std::string sid;
  EXPECT_FALSE(Shares().SidOfAccount("nobody", sid));
  std::string name, domain;
  EXPECT_FALSE(Shares().AccountOfSid("S-1-5-21-1-2-3-4", name, domain));
  EXPECT_FALSE(Shares().AccountOfSid("not a sid", name, domain));
}

struct BadCreate {
  const char* why;
  NetShare share;
  long status;
};

TEST_F(PcShares, RefusedCreationsChangeNothing) {
  auto named = [](std::string name) {
    NetShare s = Spare();
    s.ShareName = std::move(name);
    return s;
  };
  auto at = [](std::string path) {
    NetShare s = Spare();
    s.SharePath = std::move(path);
    return s;
  };
  const BadCreate cases[] = {
      {"empty name", named(""), platform::kErrorInvalidParameter},
      {"name with slash", named("a/b"), platform::kErrorInvalidParameter},
      {"name with brackets", named("[a]"), platform::kErrorInvalidParameter},
      {"81 characters", named(std::string(81, 'x')), platform::kErrorInvalidParameter},
      {"UNC path", at("\\\\server\\share"), platform::kErrorInvalidParameter},
      {"relative path", at("共有\\予備"), platform::kErrorInvalidParameter},
      {"missing folder", at("C:\\共有\\ない"), platform::kShareUnknownDevDir},
      {"a file, not a folder", at("C:\\WINDOWS\\system32\\drivers\\etc\\hosts"),
       platform::kShareUnknownDevDir},
      {"drive not on the PC", at("Q:\\x"), platform::kShareUnknownDevDir},
      {"existing name in another case", named("資料"), platform::kShareDuplicate},
  };
  const std::string before = SharesIni();
  for (const BadCreate& c : cases) {
    SCOPED_TRACE(c.why);
    std::string message;
    EXPECT_EQ(CreateShare(Shares(), c.share, &message), c.status);
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(SharesIni(), before);
  }
}

TEST_F(PcShares, MalformedSharesIniFailsTheRead) {
  pc_.WriteFile("shares.ini", "[a]\nace = maybe, Everyone, 0x1\n");
  NetShareList list;
  EXPECT_EQ(ReadSharesFromPC(Shares(), list), platform::kErrorInvalidData);
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(DeletePCShares(Shares()));
}

TEST_F(PcShares, MissingSharesIniIsAnEmptyPc) {
  std::filesystem::remove(pc_.dir() / "shares.ini");
  EXPECT_TRUE(ReadPc().empty());
  ASSERT_EQ(CreateShare(Shares(), Spare()), 0);
  EXPECT_EQ(ReadPc(), NetShareList{Spare()});
}

}  // namespace
}  // namespace velandra
