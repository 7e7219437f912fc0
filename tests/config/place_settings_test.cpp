#include "config/place_settings.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/place_settings_pc.h"
#include "system/platform/registry.h"
#include "system/platform/sim/simulated_pc.h"

namespace velandra::config {
namespace {

using platform::sim::DemoVariant;
using velandra::testing::kDemoIniFile;
using velandra::testing::kDemoIniPath;
using velandra::testing::ScratchPc;

constexpr char kWinlogon[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr char kExeDir[] = "C:\\Program Files\\Velandra\\";

std::string Join(const std::vector<std::string>& list) {
  std::string out;
  for (size_t i = 0; i < list.size(); ++i) out += (i ? "|" : "") + list[i];
  return out;
}

std::string B(bool b) { return b ? "1" : "0"; }

// Every stored field of the record, one group a line.
std::string StoredFields(const PlaceSettings& s) {
  std::string out;
  out += "change " + B(s.ChangeUser) + " " + s.ChangeUserName + "/" + s.ChangeUserPassword + "\n";
  out += "dns " + B(s.PrimarySuffix) + B(s.PrimaryParentSuffix) + " " + Join(s.DNS_Suffix) +
         " lmhosts " + B(s.EnableLMHOSTS) + "\n";
  out += "computer " + s.ComputerName + " / " + s.SrvComment + "\n";
  out += "domain " + B(s.DomainWorkgroup) + " " + s.DomainName + " / " + s.WorkgroupName +
         " logonplace " + B(s.LogonPlace) + " delay " + B(s.DelayDomain) + "\n";
  out += "join " + s.JoinDomainUser + "/" + s.JoinDomainPassword + " admin " + s.LocalAdminUser +
         "/" + s.LocalAdminPassword + "\n";
  out += "logon " + s.DefaultUserName + "/" + s.DefaultPassword + " auto " + B(s.AutoAdminLogon) +
         B(s.AutoLogonKeep) + " cad " + B(s.DisableCAD) + " welcome " + B(s.Welcome) +
         B(s.MultipleTSSessions) + "\n";
  out += "proxy " + B(s.Proxy.Installed) + " " + s.Proxy.ProxyName + " " + B(s.Proxy.DisableProxy) +
         "\n";
  for (const auto& d : s.NetworkDrives.Drives)
    out += "drive " + d.LocalName + " " + d.RemoteName + " " + d.UserName + "/" + d.Password + "\n";
  out += "printer " + s.DefaultPrinter + "\n";
  for (const auto& sh : s.NetShares) {
    out += "share " + sh.ShareName + " " + sh.SharePath + " " + sh.Remark + "\n";
    for (const auto& p : sh.Access) out += "  ace " + p.AccountName + "\n";
  }
  out += "hosts " + s.HOSTS + " | " + s.LMHOSTS + "\n";
  for (const auto& p : s.Programs)
    out += "program " + std::to_string(p->Type) + " " + p->Path + " [" + p->Arguments + "] " +
           p->Directory + " " + std::to_string(p->Show) + "\n";
  return out;
}

// Written by hand from the key tables, every key in the order a save leaves
// them: the drive, share and program keys are removed and written anew, so
// they follow the keys that are overwritten where they stand.
constexpr char kFullSection[] =
    "[P3]\r\n"
    "ChangeUser=TRUE\r\n"
    "ChangeUserName=山田太郎\r\n"
    "ChangeUserPassword=141138145158140\r\n"
    "PrimarySuffix=FALSE\r\n"
    "PrimaryParentSuffix=TRUE\r\n"
    "DNS_Suffix=honsha.example.co.jp,example.co.jp\r\n"
    "EnableLMHOSTS=FALSE\r\n"
    "ComputerName=HONSHA-PC01\r\n"
    "SrvComment=本社 経理部のPC\r\n"
    "DomainWorkgroup=TRUE\r\n"
    "DomainName=HONSHA\r\n"
    "WorkgroupName=\r\n"
    "LogonPlace=FALSE\r\n"
    "DelayDomain=TRUE\r\n"
    "JoinDomainUser=joiner\r\n"
    "JoinDomainPassword=149144150145222\r\n"
    "LocalAdminUser=管理者\r\n"
    "LocalAdminPassword=158155146150145\r\n"
    "DefaultUserName=鈴木\r\n"
    "AutoAdminLogon=TRUE\r\n"
    "AutoLogonKeep=TRUE\r\n"
    "DefaultPassword=104022105039143136\r\n"
    "DisableCAD=FALSE\r\n"
    "Welcome=TRUE\r\n"
    "MultipleTSSessions=TRUE\r\n"
    "ProxyName=自宅 光回線\r\n"
    "DisableProxy=TRUE\r\n"
    "DefaultPrinter=経理部 EPSON LP-9000C\r\n"
    "HOSTS=C:\\Program Files\\Velandra\\hosts.本社\r\n"
    "LMHOSTS=\r\n"
    "TYPE0=PGM\r\n"
    "TYPE1=FOLDER\r\n"
    "TYPE2=FILE\r\n"
    "NetworkDrive01=Z:,\\\\fs01\\総務,yamada,134158146158155158\r\n"
    "NetworkDrive02=Y:,\\\\fs01\\ソフト開発,,\r\n"
    "NetShare01=資料,0,部署の資料,0,-1,0,C:\\共有\\資料,\r\n"
    "NetShare0101=Everyone,,ACCESS_ALLOWED_ACE_TYPE,0,001200a9\r\n"
    "PGM0=C:\\Program Files\\秀丸\\Hidemaru.exe\r\n"
    "ARG0=\"\"C:\\メモ\\本社 手順.txt\" /r\"\r\n"
    "DIR0=C:\\メモ\r\n"
    "SIZE0=MAXIMIZE\r\n"
    "PGM1=C:\\共有\r\n"
    "ARG1=\r\n"
    "DIR1=\r\n"
    "SIZE1=NORMAL\r\n"
    "PGM2=C:\\メモ\\予定表.txt\r\n"
    "ARG2=\r\n"
    "DIR2=C:\\メモ\r\n"
    "SIZE2=MINIMIZE\r\n";

constexpr char kFullDump[] =
    "change 1 山田太郎/runas\n"
    "dns 01 honsha.example.co.jp|example.co.jp lmhosts 0\n"
    "computer HONSHA-PC01 / 本社 経理部のPC\n"
    "domain 1 HONSHA /  logonplace 0 delay 1\n"
    "join joiner/join! admin 管理者/admin\n"
    "logon 鈴木/鈴木pw auto 11 cad 0 welcome 11\n"
    "proxy 1 自宅 光回線 1\n"
    "drive Z: \\\\fs01\\総務 yamada/yamada\n"
    "drive Y: \\\\fs01\\ソフト開発 /\n"
    "printer 経理部 EPSON LP-9000C\n"
    "share 資料 C:\\共有\\資料 部署の資料\n"
    "  ace Everyone\n"
    "hosts C:\\Program Files\\Velandra\\hosts.本社 | \n"
    "program 0 C:\\Program Files\\秀丸\\Hidemaru.exe [\"C:\\メモ\\本社 手順.txt\" /r] C:\\メモ 3\n"
    "program 1 C:\\共有 []  5\n"
    "program 2 C:\\メモ\\予定表.txt [] C:\\メモ 6\n";

// The keys a section needs to count as stored, with the given suffix list,
// and an empty hosts pair so that a snapshot would show.
std::string Required(const std::string& dnsSuffix = "") {
  return "PrimarySuffix=TRUE\r\nPrimaryParentSuffix=TRUE\r\nDNS_Suffix=" + dnsSuffix +
         "\r\nEnableLMHOSTS=TRUE\r\nComputerName=MINE\r\nHOSTS=\r\nLMHOSTS=\r\n";
}
// The logon group, complete, so that it is not taken from the PC.
constexpr char kLogonGroup[] =
    "DefaultUserName=鈴木\r\nAutoAdminLogon=FALSE\r\nDefaultPassword=\r\nDisableCAD=TRUE\r\n";

class PlaceSettingsTest : public ::testing::Test {
 protected:
  explicit PlaceSettingsTest(DemoVariant variant = DemoVariant::WindowsXp) : pc_(variant) {
    place_.Number = 3;
    place_.Name = "本社";
  }
  void SetIni(const std::string& data) { pc_.WriteFile(kDemoIniFile, data); }
  void SetSection(const std::string& body) { SetIni("[P3]\r\n" + body); }
  std::string Ini() const { return pc_.ReadFile(kDemoIniFile); }
  Context& Ctx() {
    if (!context_) {
      platform::sim::SimulatedPc& sim = pc_.Open();
      context_ = std::make_unique<Context>(sim.platform(), kDemoIniPath,
                                           ReadOsInfo(sim.platform().system));
    }
    return *context_;
  }
  std::unique_ptr<PlaceSettings> Load() {
    return std::make_unique<PlaceSettings>(Ctx(), place_, PlaceSource::ConfigFile, false);
  }
  void SetPcWinlogonDword(const char* name, uint32_t value) {
    platform::RegKey key;
    ASSERT_EQ(key.Open(pc_.Open().platform().registry, platform::Hive::LocalMachine, kWinlogon,
                       platform::kKeyAllAccess),
              platform::kErrorSuccess);
    ASSERT_EQ(key.SetDword(name, value), platform::kErrorSuccess);
  }
  const std::vector<platform::sim::ShownMessage>& Messages() { return pc_.Open().Messages(); }
  // Whether the PC side of the record reads the PC yet: the demo PC always
  // has a computer name.
  bool PcSideReads() {
    Place probe;
    probe.Number = 99;
    probe.Name = "probe";
    return !PlaceSettings(Ctx(), probe, PlaceSource::Pc, false).ComputerName.empty();
  }

  ScratchPc pc_;
  Place place_;
  std::unique_ptr<Context> context_;
};

TEST_F(PlaceSettingsTest, HandWrittenSectionLoadsSavesUnchangedAndLoadsAgain) {
  SetIni(kFullSection);
  auto record = Load();
  EXPECT_EQ(StoredFields(*record), kFullDump);
  EXPECT_EQ(record->ChangeKind, 2u);
  EXPECT_EQ(record->Same, PlaceGroupFlags{});
  EXPECT_EQ(Join(record->Printers),
            "Canon LBP-1310|経理部 EPSON LP-9000C|\\\\fs01\\営業部カラー");

  ASSERT_TRUE(record->WriteToConfig(Ctx()));
  EXPECT_EQ(Ini(), kFullSection);
  EXPECT_EQ(StoredFields(*Load()), kFullDump);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(PlaceSettingsTest, WindowsXpHomeNeverReadsDomainMembership) {
  pc_.SetMachine("windows", "suite_mask", "0x0300");
  SetIni(kFullSection);
  auto record = Load();
  EXPECT_FALSE(record->DomainWorkgroup);
  EXPECT_EQ(record->DomainName, "HONSHA");
}

class PlaceSettingsLayouts : public PlaceSettingsTest,
                             public ::testing::WithParamInterface<DemoVariant> {
 protected:
  PlaceSettingsLayouts() : PlaceSettingsTest(GetParam()) {}
};

TEST_P(PlaceSettingsLayouts, WelcomeAndFastSwitchingOnlyOnWindowsXp) {
  const bool xp = GetParam() == DemoVariant::WindowsXp;
  SetIni(kFullSection);
  auto record = Load();
  EXPECT_EQ(record->Welcome, xp);
  EXPECT_EQ(record->MultipleTSSessions, xp);
  record->Welcome = false;
  record->MultipleTSSessions = false;
  ASSERT_TRUE(record->WriteToConfig(Ctx()));
  // Windows 2000 leaves the keys as they were stored.
  const std::string ini = Ini();
  EXPECT_NE(ini.find(xp ? "Welcome=FALSE\r\nMultipleTSSessions=FALSE\r\n"
                        : "Welcome=TRUE\r\nMultipleTSSessions=TRUE\r\n"),
            std::string::npos);

  // Missing keys on Windows XP take the PC's Winlogon values.
  SetSection(Required() + kLogonGroup);
  SetPcWinlogonDword("LogonType", 1);
  SetPcWinlogonDword("AllowMultipleTSSessions", 0);
  auto missing = Load();
  EXPECT_EQ(missing->Welcome, xp);
  EXPECT_FALSE(missing->MultipleTSSessions);
  SetPcWinlogonDword("AllowMultipleTSSessions", 1);
  EXPECT_EQ(Load()->MultipleTSSessions, xp);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PlaceSettingsLayouts, velandra::testing::DemoLayouts(),
                         velandra::testing::DemoLayoutName);

TEST_F(PlaceSettingsTest, LogonAndDomainKeysFollowTheirReadingRules) {
  struct Row {
    const char* name;
    const char* body;  // after the required keys
    const char* dump;  // the domain, join and logon lines
  } rows[] = {
      {"logon_place_missing_is_true", kLogonGroup, "logonplace 1 delay 0"},
      {"logon_place_lower_case_false_is_true", "LogonPlace=false\r\n", "logonplace 1 delay 0"},
      {"logon_place_false", "LogonPlace=FALSE\r\n", "logonplace 0 delay 0"},
      {"delay_lower_case_true_is_false", "DelayDomain=true\r\n", "logonplace 1 delay 0"},
      {"delay_true", "DelayDomain=TRUE\r\n", "logonplace 1 delay 1"},
      {"join_and_admin_from_the_logon_user",
       "DefaultUserName=鈴木\r\nAutoAdminLogon=FALSE\r\nDefaultPassword=158157156\r\n"
       "DisableCAD=TRUE\r\n",
       "join 鈴木/abc admin 鈴木/abc"},
      {"join_and_admin_keys_win",
       "JoinDomainUser=j\r\nJoinDomainPassword=\r\nLocalAdminUser=a\r\n"
       "LocalAdminPassword=158157156\r\nDefaultUserName=鈴木\r\nAutoAdminLogon=FALSE\r\n"
       "DefaultPassword=158157156\r\nDisableCAD=TRUE\r\n",
       "join j/ admin a/abc"},
      // The logon group then comes from the PC; the accounts do not.
      {"nothing_gives_administrator",
       "AutoAdminLogon=FALSE\r\nDefaultPassword=\r\nDisableCAD=TRUE\r\n",
       "join / admin Administrator/"},
      {"auto_keep_missing", "AutoAdminLogon=TRUE\r\n", "auto 10"},
      {"auto_keep_true", "AutoAdminLogon=TRUE\r\nAutoLogonKeep=TRUE\r\n", "auto 11"},
      {"auto_keep_lower_case", "AutoAdminLogon=TRUE\r\nAutoLogonKeep=true\r\n", "auto 10"},
      {"auto_false_ignores_keep", "AutoAdminLogon=FALSE\r\nAutoLogonKeep=TRUE\r\n", "auto 00"},
      {"auto_other_word", "AutoAdminLogon=1\r\nAutoLogonKeep=TRUE\r\n", "auto 00"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string body = Required() + row.body;
    // Rows about the domain keys or automatic logon get the rest of the
    // logon group, so that it stays as read.
    const std::string name = row.name;
    if (name.rfind("logon_place", 0) == 0 || name.rfind("delay", 0) == 0) {
      if (name != "logon_place_missing_is_true") body += kLogonGroup;
    } else if (name.rfind("auto", 0) == 0) {
      body += "DefaultUserName=鈴木\r\nDefaultPassword=\r\nDisableCAD=TRUE\r\n";
    }
    SetSection(body);
    const std::string dump = StoredFields(*Load());
    EXPECT_NE(dump.find(row.dump), std::string::npos) << dump;
  }
}

TEST_F(PlaceSettingsTest, ProgramListEndsAtTheFirstMissingPathAndLeavesNoStaleEntries) {
  SetSection(Required() + kLogonGroup +
             "TYPE0=FOLDER\r\nPGM0=C:\\a\r\nSIZE0=huge\r\n"
             "TYPE1=odd\r\nPGM1=C:\\b\r\nARG1=-x\r\nDIR1=C:\\\r\nSIZE1=MINIMIZE\r\n"
             "TYPE2=FILE\r\nARG2=left\r\n"
             "PGM3=C:\\behind the gap\r\n");
  auto record = Load();
  ASSERT_EQ(record->Programs.size(), 2u);
  EXPECT_EQ(StoredFields(*record).substr(StoredFields(*record).find("program")),
            "program 1 C:\\a []  5\nprogram 0 C:\\b [-x] C:\\ 6\n");

  record->Programs.pop_back();
  ASSERT_TRUE(record->WriteToConfig(Ctx()));
  const std::string ini = Ini();
  for (const char* kept : {"TYPE0=FOLDER", "TYPE1=odd", "TYPE2=FILE", "PGM0=C:\\a", "SIZE0=NORMAL"})
    EXPECT_NE(ini.find(kept), std::string::npos) << kept;
  for (const char* gone : {"PGM1", "ARG1", "DIR1", "SIZE1", "ARG2", "PGM3"})
    EXPECT_EQ(ini.find(gone), std::string::npos) << gone;

  // Grown again over the old places, nothing old comes back.
  for (int i = 0; i < 3; ++i) {
    auto p = std::make_unique<ProgramEntry>();
    p->Path = "C:\\new" + std::to_string(i);
    record->Programs.push_back(std::move(p));
  }
  ASSERT_TRUE(record->WriteToConfig(Ctx()));
  EXPECT_EQ(Load()->Programs.size(), 4u);
}

TEST_F(PlaceSettingsTest, ArgumentsSurviveAWriteAndARead) {
  const char* rows[] = {
      "\"C:\\My Documents\\a b.txt\"",
      "\"C:\\a b\\c.txt\" -n",
      "'quoted'",
      "-x \"tail\"",
      "",
  };
  SetSection(Required() + kLogonGroup);
  auto record = Load();
  for (const char* args : rows) {
    SCOPED_TRACE(args);
    record->Programs.clear();
    auto p = std::make_unique<ProgramEntry>();
    p->Path = "C:\\x.exe";
    p->Arguments = args;
    record->Programs.push_back(std::move(p));
    ASSERT_TRUE(record->WriteToConfig(Ctx()));
    auto again = Load();
    ASSERT_EQ(again->Programs.size(), 1u);
    EXPECT_EQ(again->Programs[0]->Arguments, args);
  }
}

TEST_F(PlaceSettingsTest, DnsSuffixListRoundTripsAndAnOverlongOneIsRefused) {
  struct Row {
    const char* name;
    std::string stored;
    size_t items;
  } rows[] = {
      {"empty", "", 0},
      {"two", "a.example,b.example", 2},
      {"empty_item", "a,,c", 3},
      {"exactly_255", std::string(255, 'a'), 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetSection(Required(row.stored) + kLogonGroup);
    auto record = Load();
    EXPECT_EQ(record->DNS_Suffix.size(), row.items);
    EXPECT_TRUE(record->HOSTS.empty());  // read, not taken from the PC
    ASSERT_TRUE(record->WriteToConfig(Ctx()));
    EXPECT_NE(Ini().find("DNS_Suffix=" + row.stored + "\r\n"), std::string::npos);
  }

  // Over 255 joined bytes, or an item holding a comma, would not read back:
  // refused with a message, the stored list kept.
  SetSection(Required("keep.example") + kLogonGroup);
  auto record = Load();
  const std::vector<std::vector<std::string>> refused = {
      {std::string(128, 'a'), std::string(127, 'b')}, {"a,b"}};
  for (const auto& list : refused) {
    record->DNS_Suffix = list;
    record->ComputerName = "NEW";
    const size_t before = Messages().size();
    EXPECT_FALSE(record->WriteToConfig(Ctx()));
    ASSERT_EQ(Messages().size(), before + 1);
    EXPECT_NE(Messages().back().Text.find("DNSサフィックス検索一覧"), std::string::npos);
    EXPECT_EQ(Messages().back().Icon, platform::MessageIcon::Warning);
    EXPECT_NE(Ini().find("DNS_Suffix=keep.example\r\n"), std::string::npos);
    EXPECT_NE(Ini().find("ComputerName=NEW\r\n"), std::string::npos);  // the rest is written
  }
}

TEST_F(PlaceSettingsTest, PasswordOf85BytesRoundTripsAndOf86IsStoredEmpty) {
  SetSection(Required() + kLogonGroup);
  auto record = Load();
  record->ChangeUser = true;
  record->ChangeUserName = "u";
  for (size_t length : {85u, 86u}) {
    SCOPED_TRACE(length);
    const std::string password(length, 'p');
    record->ChangeUserPassword = password;
    record->JoinDomainPassword = password;
    record->LocalAdminPassword = password;
    record->DefaultPassword = password;
    const size_t before = Messages().size();
    ASSERT_TRUE(record->WriteToConfig(Ctx()));
    auto again = Load();
    const std::string expected = length == 85 ? password : "";
    EXPECT_EQ(again->ChangeUserPassword, expected);
    EXPECT_EQ(again->JoinDomainPassword, expected);
    EXPECT_EQ(again->LocalAdminPassword, expected);
    EXPECT_EQ(again->DefaultPassword, expected);
    // The user is told of each password that is gone.
    EXPECT_EQ(Messages().size(), before + (length == 85 ? 0 : 4));
  }
}

TEST_F(PlaceSettingsTest, ChangeUserOffRemovesItsAccount) {
  SetIni(kFullSection);
  auto record = Load();
  record->ChangeUser = false;
  ASSERT_TRUE(record->WriteToConfig(Ctx()));
  const std::string ini = Ini();
  EXPECT_NE(ini.find("[P3]\r\nChangeUser=FALSE\r\nPrimarySuffix=FALSE\r\n"), std::string::npos);
  EXPECT_EQ(ini.find("ChangeUserName"), std::string::npos);
  EXPECT_EQ(ini.find("ChangeUserPassword"), std::string::npos);
}

TEST_F(PlaceSettingsTest, ValuesThatWouldNotReadBackAreRefused) {
  SetSection(Required() + kLogonGroup + "SrvComment=old\r\n");
  struct Row {
    const char* name;
    void (*change)(PlaceSettings&);
  } rows[] = {
      {"line_break", [](PlaceSettings& s) { s.SrvComment = "a\r\nComputerName=EVIL"; }},
      {"too_long", [](PlaceSettings& s) { s.SrvComment = std::string(512, 'c'); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto record = Load();
    row.change(*record);
    const size_t before = Messages().size();
    EXPECT_FALSE(record->WriteToConfig(Ctx()));
    EXPECT_EQ(Messages().size(), before + 1);
    EXPECT_NE(Messages().back().Text.find("SrvComment"), std::string::npos);
    auto again = Load();
    EXPECT_EQ(again->SrvComment, "old");
    EXPECT_EQ(again->ComputerName, "MINE");
  }
  // 511 bytes is the longest comment read back.
  auto record = Load();
  record->SrvComment = std::string(511, 'c');
  ASSERT_TRUE(record->WriteToConfig(Ctx()));
  EXPECT_EQ(Load()->SrvComment.size(), 511u);
}

TEST_F(PlaceSettingsTest, MissingOptionalKeysComeFromThePc) {
  SetSection(Required() + kLogonGroup);
  auto record = Load();
  EXPECT_EQ(record->DefaultPrinter, "Canon LBP-1310");
  EXPECT_EQ(record->Proxy.ProxyName, "本社プロキシ");  // the companion's own selection
  EXPECT_FALSE(record->Proxy.DisableProxy);
  EXPECT_TRUE(record->NetworkDrives.Drives.empty());
  EXPECT_TRUE(record->NetShares.empty());
  EXPECT_FALSE(record->ChangeUser);
  EXPECT_EQ(record->LocalAdminUser, "鈴木");
}

TEST_F(PlaceSettingsTest, MissingCommentAndLogonGroupComeFromThePc) {
  if (!PcSideReads()) GTEST_SKIP() << "the PC side of the place-wide record reads nothing yet";
  SetSection(Required() + "DefaultUserName=鈴木\r\nDisableCAD=FALSE\r\n");
  auto record = Load();
  EXPECT_EQ(record->SrvComment, "デモ用のPC");
  // One key of the group missing takes the whole group from Winlogon.
  EXPECT_EQ(record->DefaultUserName, "Administrator");
  EXPECT_FALSE(record->AutoAdminLogon);
  EXPECT_TRUE(record->DisableCAD);
  EXPECT_EQ(record->ComputerName, "MINE");
  EXPECT_TRUE(record->HOSTS.empty());
}

TEST_F(PlaceSettingsTest, SectionNotStoredIsTakenFromThePcWithAHostsSnapshot) {
  const std::string fresh = std::string(kExeDir) + "hosts.本社";
  struct Row {
    const char* name;
    const char* body;
  } rows[] = {
      {"no_section", nullptr},
      {"only_computer_name", "ComputerName=MINE\r\nHOSTS=\r\nLMHOSTS=\r\n"},
      {"primary_suffix_lower_case",
       "PrimarySuffix=true\r\nPrimaryParentSuffix=TRUE\r\nDNS_Suffix=a\r\nEnableLMHOSTS=TRUE\r\n"
       "ComputerName=MINE\r\nHOSTS=\r\nLMHOSTS=\r\n"},
      {"parent_suffix_missing",
       "PrimarySuffix=TRUE\r\nDNS_Suffix=a\r\nEnableLMHOSTS=TRUE\r\nComputerName=MINE\r\n"
       "HOSTS=\r\nLMHOSTS=\r\n"},
      {"dns_suffix_missing",
       "PrimarySuffix=TRUE\r\nPrimaryParentSuffix=TRUE\r\nEnableLMHOSTS=TRUE\r\n"
       "ComputerName=MINE\r\nHOSTS=\r\nLMHOSTS=\r\n"},
      {"lmhosts_other_word",
       "PrimarySuffix=TRUE\r\nPrimaryParentSuffix=TRUE\r\nDNS_Suffix=a\r\nEnableLMHOSTS=1\r\n"
       "ComputerName=MINE\r\nHOSTS=\r\nLMHOSTS=\r\n"},
      {"computer_name_missing",
       "PrimarySuffix=TRUE\r\nPrimaryParentSuffix=TRUE\r\nDNS_Suffix=a\r\nEnableLMHOSTS=TRUE\r\n"
       "HOSTS=\r\nLMHOSTS=\r\n"},
  };
  if (!PcSideReads()) GTEST_SKIP() << "the PC side of the place-wide record reads nothing yet";
  const std::string systemHosts = pc_.ReadFile("C/WINDOWS/system32/drivers/etc/hosts");
  ASSERT_FALSE(systemHosts.empty());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    pc_.WriteFile("C/Program Files/Velandra/hosts.本社", "stale\r\n");
    SetIni(row.body ? std::string("[P3]\r\n") + row.body : std::string());
    auto record = Load();
    EXPECT_EQ(record->HOSTS, fresh);
    EXPECT_EQ(pc_.ReadFile("C/Program Files/Velandra/hosts.本社"), systemHosts);
    EXPECT_EQ(record->LMHOSTS, "");  // the demo PC has no lmhosts
    EXPECT_TRUE(record->DNS_Suffix.empty());
    EXPECT_FALSE(record->Printers.empty());
    // What the PC holds.
    EXPECT_EQ(record->ComputerName, "VELANDRA-PC");
    EXPECT_EQ(record->SrvComment, "デモ用のPC");
    EXPECT_TRUE(record->PrimarySuffix);
    EXPECT_EQ(record->DefaultPrinter, "Canon LBP-1310");
    EXPECT_EQ(record->NetworkDrives.Drives.size(), 2u);
    // The fallback itself is silent; the PC side may report what it cannot read.
    for (const auto& m : Messages()) EXPECT_EQ(m.Text, kMsgDomainInfoError);
  }
}

}  // namespace
}  // namespace velandra::config
