#include "system/place_settings_pc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/delayed_actions.h"
#include "app/relogon.h"
#include "config/place_settings.h"
#include "support/demo_pc_facts.h"
#include "support/registry_values.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/net_shares.h"
#include "system/network_drives.h"
#include "system/os_info.h"
#include "system/platform/registry.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/sim/simulated_pc.h"
#include "ui/dlg_user_password.h"

namespace velandra {
namespace {

using config::PlaceSettings;
using platform::Hive;
using platform::sim::DemoVariant;
using velandra::testing::DemoLayoutName;
using velandra::testing::DemoLayouts;
using velandra::testing::Dword;
using velandra::testing::kDemoIniPath;
using velandra::testing::Raw;
using velandra::testing::ScratchPc;
using velandra::testing::Sz;

// The keys, spelled out rather than taken from the code under test.
constexpr char kTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr char kNetBt[] = "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters";
constexpr char kServer[] = "SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";
constexpr char kWinlogon[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr char kShellNoRoam[] = "Software\\Microsoft\\Windows\\ShellNoRoam";

std::string OpenFailed(const std::string& key) {
  return "レジストリ " + key + " のopenでエラーが発生しました";
}
std::string WriteFailed(const std::string& key, const std::string& tail) {
  return "レジストリ " + key + "\\" + tail + " にデータを書き出せませんでした";
}
std::string QueryFailed(const std::string& key, const std::string& value) {
  return "レジストリ " + key + "\\" + value + " のデータ取得でエラーが発生しました";
}
// A bare REG_SZ: the text without its terminating zero.
Raw Bare(const std::string& text) { return {platform::kRegSz, text}; }
Raw ForeignValue() { return {platform::kRegBinary, "\xEE\xEE"}; }

// The domain membership as a test sets it. A join makes the PC a member of
// what it joined, so that a later read sees it.
class FakeDomain : public platform::IDomain {
 public:
  long QueryPrimaryDomain(uint32_t access, platform::PrimaryDomain& domain) override {
    accesses.push_back(access);
    if (queryError) return queryError;
    domain = answer;
    return 0;
  }
  long JoinDomain(const std::string& domain, const std::optional<std::string>&,
                  const std::optional<std::string>&, uint32_t options) override {
    joins.push_back(domain);
    if (joinError) return joinError;
    answer = {domain, (options & platform::kNetSetupJoinDomain) != 0};
    return 0;
  }
  long UnjoinDomain(uint32_t) override { return 0; }

  long queryError = 0;
  long joinError = 0;
  platform::PrimaryDomain answer{"WORKGROUP", false};
  std::vector<uint32_t> accesses;
  std::vector<std::string> joins;
};

// The PC's configuration file, with writes to one section refused.
class RefusingProfile : public platform::IProfile {
 public:
  explicit RefusingProfile(platform::IProfile& inner) : inner_(inner) {}
  std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                        uint32_t size, const std::string& path) override {
    return inner_.GetString(section, key, def, size, path);
  }
  int GetInt(std::string_view section, std::string_view key, int def,
             const std::string& path) override {
    return inner_.GetInt(section, key, def, path);
  }
  std::string GetSection(std::string_view section, uint32_t size,
                         const std::string& path) override {
    return inner_.GetSection(section, size, path);
  }
  bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) override {
    return section != refused && inner_.WriteString(section, key, value, path);
  }
  bool DeleteKey(std::string_view section, std::string_view key,
                 const std::string& path) override {
    return section != refused && inner_.DeleteKey(section, key, path);
  }
  bool DeleteSection(std::string_view section, const std::string& path) override {
    return section != refused && inner_.DeleteSection(section, path);
  }
  std::string refused;

 private:
  platform::IProfile& inner_;
};

// Answers the credentials question with the stored account again, or
// cancels it.
class SameCredentials : public ui::IUserPasswordDialog {
 public:
  bool DoModal(ui::CDlgUserPassword&) override {
    ++shown;
    return !cancel;
  }
  int shown = 0;
  bool cancel = false;
};

// A demo PC of one layout with the fake domain (and, when asked, the
// refusing profile) in its platform, and a place numbered 7.
class PcRig {
 public:
  explicit PcRig(DemoVariant variant,
               const std::function<void(ScratchPc&)>& beforeOpen = nullptr)
      : pc_(variant) {
    if (beforeOpen) beforeOpen(pc_);
    sim_ = &pc_.Open();
    profile_ = std::make_unique<RefusingProfile>(sim_->platform().profile);
    place.Number = 7;
    place.Name = "出張先";
    NewRun();
  }

  void NewRun() {
    platform::Platform& s = sim_->platform();
    platform_ = std::make_unique<platform::Platform>(platform::Platform{
        *profile_, s.registry, s.system, s.accounts, s.files, s.shell, s.messages, s.processes,
        s.session, s.drives, s.printers, s.shares, domain});
    context_ = std::make_unique<Context>(*platform_, kDemoIniPath, ReadOsInfo(s.system));
    seen_ = sim_->Messages().size();
  }

  Context& context() { return *context_; }
  platform::Platform& P() { return *platform_; }
  platform::sim::SimulatedPc& sim() { return *sim_; }
  bool xp() const { return context_->Os().IsWindowsXp(); }
  void RefuseSection(const std::string& section) { profile_->refused = section; }

  std::unique_ptr<PlaceSettings> FromPc(bool snapshot = false) {
    return std::make_unique<PlaceSettings>(*context_, place, config::PlaceSource::Pc, snapshot);
  }

  // REGEDIT4 lines applied onto the PC's registry.
  void Import(const std::string& lines) {
    std::string error;
    ASSERT_TRUE(sim_->registry().ImportText("REGEDIT4\r\n\r\n" + lines, error)) << error;
  }
  void Set(Hive hive, const std::string& path, const std::string& name, const Raw& raw) {
    platform::RegKey k;
    ASSERT_EQ(k.Create(sim_->registry(), hive, path, platform::kKeyAllAccess), 0) << path;
    ASSERT_EQ(k.SetValue(name, raw.type, raw.data), 0) << name;
  }
  std::optional<Raw> Get(Hive hive, const std::string& path, const std::string& name) {
    platform::RegKey k;
    if (k.Open(sim_->registry(), hive, path, platform::kKeyQueryValue) != 0) return std::nullopt;
    Raw raw;
    if (k.QueryValue(name, 1 << 16, raw.type, raw.data) != 0) return std::nullopt;
    return raw;
  }

  // Messages shown since the last NewRun.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (size_t i = seen_; i < sim_->Messages().size(); ++i)
      texts.push_back(sim_->Messages()[i].Text);
    return texts;
  }

  // The delayed action slots in use, "ActionNN=name", front slot first.
  std::vector<std::string> Queue() const {
    const config::ConfigFile& config = context_->Config();
    std::vector<std::string> slots;
    const int count = app::DelayedActionCount(config);
    for (int i = 0; i <= count; ++i) {
      char key[24];
      std::snprintf(key, sizeof key, "Action%02d", i);
      std::string v = config.ReadString(app::kDelayActionSection, key, "NO_DATA", 64);
      if (v != "NO_DATA") slots.push_back(std::string(key) + "=" + v);
    }
    return slots;
  }

  FakeDomain domain;
  config::Place place;

 private:
  ScratchPc pc_;
  platform::sim::SimulatedPc* sim_ = nullptr;
  std::unique_ptr<RefusingProfile> profile_;
  std::unique_ptr<platform::Platform> platform_;
  std::unique_ptr<Context> context_;
  size_t seen_ = 0;
};

// The fields of the PC's record that the registry and the system give.
struct Read {
  std::vector<std::string> DNS_Suffix;
  bool PrimarySuffix = true, PrimaryParentSuffix = true, EnableLMHOSTS = true;
  std::string ComputerName = "VELANDRA-PC", SrvComment = "デモ用のPC";
  std::string DefaultUserName = "Administrator", DefaultPassword;
  bool AutoAdminLogon = false, DisableCAD = true, Welcome = false, MultipleTSSessions = false;
  bool operator==(const Read&) const = default;
};
Read Summary(const PlaceSettings& s) {
  return {s.DNS_Suffix,      s.PrimarySuffix,   s.PrimaryParentSuffix, s.EnableLMHOSTS,
          s.ComputerName,    s.SrvComment,      s.DefaultUserName,     s.DefaultPassword,
          s.AutoAdminLogon,  s.DisableCAD,      s.Welcome,             s.MultipleTSSessions};
}
void PrintTo(const Read& r, std::ostream* os) {
  *os << "suffix[";
  for (const auto& s : r.DNS_Suffix) *os << s << ";";
  *os << "] primary " << r.PrimarySuffix << " parent " << r.PrimaryParentSuffix << " lmhosts "
      << r.EnableLMHOSTS << " name " << r.ComputerName << " user " << r.DefaultUserName
      << " password " << r.DefaultPassword << " auto " << r.AutoAdminLogon << " cad "
      << r.DisableCAD << " welcome " << r.Welcome << " mts " << r.MultipleTSSessions;
}

class PlaceSettingsPc : public ::testing::TestWithParam<DemoVariant> {};
INSTANTIATE_TEST_SUITE_P(Layouts, PlaceSettingsPc, DemoLayouts(), DemoLayoutName);

TEST_P(PlaceSettingsPc, ReadsTheRegistryWithItsDefaults) {
  const std::string longList(300, 'a');
  struct Row {
    const char* name;
    std::string regedit;  // lines applied to the demo PC
    const char* computerName;  // pc.ini's, when the row needs another
    std::function<void(Read&, bool xp)> expect;  // from the demo's values
    std::vector<std::string> messages;
  } rows[] = {
      {"demo", "", nullptr,
       [](Read& r, bool xp) { r.Welcome = r.MultipleTSSessions = xp; }, {}},
      {"search list",
       "[HKEY_LOCAL_MACHINE\\" + std::string(kTcpip) + "]\r\n"
       "\"SearchList\"=\"tokyo.example,osaka.example\"\r\n\"UseDomainNameDevolution\"=dword:0\r\n",
       nullptr,
       [](Read& r, bool xp) {
         r.DNS_Suffix = {"tokyo.example", "osaka.example"};
         r.PrimarySuffix = r.PrimaryParentSuffix = false;
         r.Welcome = r.MultipleTSSessions = xp;
       },
       {}},
      {"nothing of the lookups stored, Hostname absent",
       "[HKEY_LOCAL_MACHINE\\" + std::string(kTcpip) + "]\r\n\"SearchList\"=-\r\n"
       "\"UseDomainNameDevolution\"=-\r\n\"Hostname\"=-\r\n"
       "[HKEY_LOCAL_MACHINE\\" + std::string(kNetBt) + "]\r\n\"EnableLMHOSTS\"=-\r\n",
       "MOBILE-PC",
       [](Read& r, bool xp) {
         r.ComputerName = "MOBILE-PC";
         r.Welcome = r.MultipleTSSessions = xp;
       },
       {}},
      {"LMHOSTS off, Hostname empty, no server key",
       "[HKEY_LOCAL_MACHINE\\" + std::string(kNetBt) + "]\r\n\"EnableLMHOSTS\"=dword:0\r\n"
       "[HKEY_LOCAL_MACHINE\\" + std::string(kTcpip) + "]\r\n\"Hostname\"=\"\"\r\n"
       "[-HKEY_LOCAL_MACHINE\\" + std::string(kServer) + "]\r\n",
       "MOBILE-PC",
       [](Read& r, bool xp) {
         r.EnableLMHOSTS = false;
         r.ComputerName = "MOBILE-PC";
         r.SrvComment = "";
         r.Welcome = r.MultipleTSSessions = xp;
       },
       {}},
      {"automatic logon with its password, Ctrl+Alt+Del asked for",
       "[HKEY_LOCAL_MACHINE\\" + std::string(kWinlogon) + "]\r\n\"AutoAdminLogon\"=\"1\"\r\n"
       "\"DefaultUserName\"=\"yamada\"\r\n\"DefaultPassword\"=\"秘密\"\r\n"
       "\"DisableCAD\"=dword:0\r\n\"LogonType\"=dword:1\r\n\"AllowMultipleTSSessions\"=dword:0\r\n",
       nullptr,
       [](Read& r, bool xp) {
         r.AutoAdminLogon = true;
         r.DefaultUserName = "yamada";
         r.DefaultPassword = "秘密";
         r.DisableCAD = false;
         r.Welcome = xp;  // never on Windows 2000, whatever the value
       },
       {}},
      {"a password without automatic logon is not read; DisableCAD other than 1",
       "[HKEY_LOCAL_MACHINE\\" + std::string(kWinlogon) + "]\r\n\"AutoAdminLogon\"=-\r\n"
       "\"DefaultPassword\"=\"秘密\"\r\n\"DisableCAD\"=dword:2\r\n\"LogonType\"=dword:0\r\n",
       nullptr,
       [](Read& r, bool xp) {
         r.DisableCAD = false;
         r.MultipleTSSessions = xp;
       },
       {}},
      {"DisableCAD 1, Welcome values missing",
       "[HKEY_LOCAL_MACHINE\\" + std::string(kWinlogon) + "]\r\n\"DisableCAD\"=dword:1\r\n"
       "\"LogonType\"=-\r\n\"AllowMultipleTSSessions\"=-\r\n",
       nullptr, [](Read&, bool) {}, {}},
      {"a search list longer than the record holds",
       "[HKEY_LOCAL_MACHINE\\" + std::string(kTcpip) + "]\r\n\"SearchList\"=\"" + longList +
           "\"\r\n",
       nullptr, [](Read& r, bool xp) { r.Welcome = r.MultipleTSSessions = xp; },
       {QueryFailed(kTcpip, "SearchList")}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PcRig rig(GetParam(), [&](ScratchPc& pc) {
      if (row.computerName) pc.SetMachine("computer", "name", row.computerName);
    });
    if (!row.regedit.empty()) rig.Import(row.regedit);
    rig.NewRun();
    auto record = rig.FromPc();
    Read expected;
    row.expect(expected, rig.xp());
    EXPECT_EQ(Summary(*record), expected);
    EXPECT_EQ(rig.Messages(), row.messages);
    EXPECT_FALSE(rig.context().QuitCode());
    // Never taken from the PC.
    EXPECT_FALSE(record->ChangeUser);
    EXPECT_TRUE(record->LogonPlace);
    EXPECT_FALSE(record->DelayDomain);
    EXPECT_FALSE(record->AutoLogonKeep);
  }
}

TEST_P(PlaceSettingsPc, ReadsTheOtherPiecesOfThePc) {
  PcRig rig(GetParam());
  auto record = rig.FromPc(true);
  EXPECT_EQ(record->Proxy.ProxyName, "本社プロキシ");
  ASSERT_EQ(record->NetworkDrives.Drives.size(), 2u);
  EXPECT_NE(config::FindDrive(record->NetworkDrives, "Z:"), nullptr);
  EXPECT_EQ(record->DefaultPrinter, "Canon LBP-1310");
  EXPECT_NE(config::FindShare(record->NetShares, "資料"), nullptr);
  EXPECT_NE(record->HOSTS, "");  // the snapshot of the PC's hosts
  EXPECT_EQ(record->LMHOSTS, "");  // the PC has no lmhosts
  // Without a snapshot the paths are left alone.
  record->HOSTS = "keep";
  ReadFromPC(rig.context(), *record, false);
  EXPECT_EQ(record->HOSTS, "keep");
  // Read twice, the lists are not doubled.
  EXPECT_EQ(record->NetworkDrives.Drives.size(), 2u);
}

TEST_P(PlaceSettingsPc, DomainOrWorkgroupFromThePrimaryDomain) {
  std::string wide;  // 150 two-byte characters
  for (int i = 0; i < 150; ++i) wide += "\x82\xA0";
  struct Row {
    const char* name;
    long error;
    platform::PrimaryDomain answer;
    bool member;
    std::string domainName, workgroupName;
  } rows[] = {
      {"workgroup", 0, {"WORKGROUP", false}, false, "", "WORKGROUP"},
      {"domain", 0, {"CORP", true}, true, "CORP", ""},
      {"a name cut to 255 bytes, not inside a character", 0, {wide, false}, false, "",
       wide.substr(0, 254)},
      {"the query fails: the fields stay", 5, {}, true, "OLD", "OLDGROUP"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PcRig rig(GetParam());
    auto record = rig.FromPc();
    record->DomainWorkgroup = true;
    record->DomainName = "OLD";
    record->WorkgroupName = "OLDGROUP";
    rig.domain.queryError = row.error;
    rig.domain.answer = row.answer;
    rig.domain.accesses.clear();
    rig.NewRun();
    ReadFromPC(rig.context(), *record, false);
    EXPECT_EQ(rig.domain.accesses, std::vector<uint32_t>{platform::kPolicyViewLocalInformation});
    EXPECT_EQ(record->DomainWorkgroup, row.member);
    EXPECT_EQ(record->DomainName, row.domainName);
    EXPECT_EQ(record->WorkgroupName, row.workgroupName);
    if (row.error) {
      EXPECT_EQ(rig.Messages(), std::vector<std::string>{kMsgDomainInfoError});
      EXPECT_EQ(rig.context().QuitCode(), 1);
    } else {
      EXPECT_TRUE(rig.Messages().empty());
      EXPECT_FALSE(rig.context().QuitCode());
    }
  }
}

TEST_P(PlaceSettingsPc, TheSimulatedPcsOwnMembershipIsItsWorkgroup) {
  ScratchPc pc(GetParam());
  platform::sim::SimulatedPc& sim = pc.Open();
  Context context(sim.platform(), kDemoIniPath, ReadOsInfo(sim.platform().system));
  config::Place place;
  place.Number = 7;
  place.Name = "出張先";
  PlaceSettings record(context, place, config::PlaceSource::Pc, false);
  EXPECT_FALSE(record.DomainWorkgroup);
  EXPECT_EQ(record.DomainName, "");
  EXPECT_EQ(record.WorkgroupName, "WORKGROUP");
  EXPECT_TRUE(sim.Messages().empty());
  EXPECT_FALSE(context.QuitCode());
}

TEST_P(PlaceSettingsPc, AKeyThatDoesNotOpenAsksToQuitAndTheDefaultsStand) {
  struct Row {
    const char* key;
    std::vector<std::string> messages;
    std::function<void(Read&, bool xp)> expect;
  } rows[] = {
      // Opened twice: for the lookups and for the computer name.
      {kTcpip, {OpenFailed(kTcpip), OpenFailed(kTcpip)},
       [](Read& r, bool xp) {
         r.ComputerName = "MOBILE-PC";  // GetComputerNameA's
         r.Welcome = r.MultipleTSSessions = xp;
       }},
      {kNetBt, {OpenFailed(kNetBt)}, [](Read& r, bool xp) {
         r.Welcome = r.MultipleTSSessions = xp;
       }},
      {kWinlogon, {OpenFailed(kWinlogon)}, [](Read& r, bool) { r.DefaultUserName = ""; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key);
    PcRig rig(GetParam(), [](ScratchPc& pc) { pc.SetMachine("computer", "name", "MOBILE-PC"); });
    rig.Import("[HKEY_LOCAL_MACHINE\\" + std::string(kTcpip) +
               "]\r\n\"UseDomainNameDevolution\"=dword:0\r\n"
               "[HKEY_LOCAL_MACHINE\\" + std::string(kNetBt) +
               "]\r\n\"EnableLMHOSTS\"=dword:0\r\n"
               "[HKEY_LOCAL_MACHINE\\" + std::string(kWinlogon) +
               "]\r\n\"DisableCAD\"=dword:0\r\n");
    rig.sim().registry().FailOpen(Hive::LocalMachine, row.key, platform::kErrorAccessDenied);
    rig.NewRun();
    auto record = rig.FromPc();
    Read expected;
    expected.PrimaryParentSuffix = false;
    expected.EnableLMHOSTS = false;
    expected.DisableCAD = false;
    if (std::string(row.key) == kTcpip) expected.PrimaryParentSuffix = true;
    if (std::string(row.key) == kNetBt) expected.EnableLMHOSTS = true;
    if (std::string(row.key) == kWinlogon) expected.DisableCAD = true;
    row.expect(expected, rig.xp());
    EXPECT_EQ(Summary(*record), expected);
    EXPECT_EQ(rig.Messages(), row.messages);
    EXPECT_EQ(rig.context().QuitCode(), 1);
  }
}

// A place equal to the PC in every group, and one field changed.
TEST_P(PlaceSettingsPc, ComparesEachGroup) {
  using Edit = std::function<void(PlaceSettings&, PcRig&)>;
  struct Row {
    const char* name;
    Edit edit;
    int group;  // the one group that differs; -1: none
    bool xpOnly = false;  // equal on Windows 2000
  } rows[] = {
      {"nothing changed", [](PlaceSettings&, PcRig&) {}, -1},
      {"a list under the primary suffix is not looked at",
       [](PlaceSettings& p, PcRig&) { p.DNS_Suffix = {"ignored.example"}; }, -1},
      {"search list instead of the primary suffix",
       [](PlaceSettings& p, PcRig&) {
         p.PrimarySuffix = false;
         p.DNS_Suffix = {"tokyo.example"};
       },
       config::kGroupDnsSuffix},
      {"devolution", [](PlaceSettings& p, PcRig&) { p.PrimaryParentSuffix = false; },
       config::kGroupDnsSuffix},
      {"LMHOSTS lookup", [](PlaceSettings& p, PcRig&) { p.EnableLMHOSTS = false; },
       config::kGroupLmhostsLookup},
      {"computer name in another case",
       [](PlaceSettings& p, PcRig&) { p.ComputerName = "velandra-pc"; }, config::kGroupComputer},
      {"description", [](PlaceSettings& p, PcRig&) { p.SrvComment = "別のPC"; },
       config::kGroupComputer},
      {"workgroup name", [](PlaceSettings& p, PcRig&) { p.WorkgroupName = "HOME"; },
       config::kGroupDomain},
      {"a domain name is not looked at for a workgroup PC",
       [](PlaceSettings& p, PcRig&) { p.DomainName = "CORP"; }, -1},
      {"domain member", [](PlaceSettings& p, PcRig&) { p.DomainWorkgroup = true; },
       config::kGroupDomain},
      {"logon user", [](PlaceSettings& p, PcRig&) { p.DefaultUserName = "yamada"; },
       config::kGroupLogon},
      {"automatic logon kept on",
       [](PlaceSettings& p, PcRig&) { p.AutoAdminLogon = p.AutoLogonKeep = true; },
       config::kGroupLogon},
      {"one-time automatic logon matches a PC without it",
       [](PlaceSettings& p, PcRig&) {
         p.AutoAdminLogon = true;
         p.AutoLogonKeep = false;
       },
       -1},
      {"the password is not looked at",
       [](PlaceSettings& p, PcRig&) { p.DefaultPassword = "other"; }, -1},
      {"Ctrl+Alt+Del", [](PlaceSettings& p, PcRig&) { p.DisableCAD = !p.DisableCAD; },
       config::kGroupLogon},
      {"Welcome", [](PlaceSettings& p, PcRig&) { p.Welcome = !p.Welcome; }, config::kGroupLogon,
       true},
      {"fast user switching",
       [](PlaceSettings& p, PcRig&) { p.MultipleTSSessions = !p.MultipleTSSessions; },
       config::kGroupLogon, true},
      {"proxy entry", [](PlaceSettings& p, PcRig&) { p.Proxy.ProxyName = "自宅 光回線"; },
       config::kGroupProxy},
      {"a drive's remote name",
       [](PlaceSettings& p, PcRig&) { p.NetworkDrives.Drives[0].RemoteName = "\\\\fs01\\経理"; },
       config::kGroupNetworkDrives},
      {"a drive with a user name",
       [](PlaceSettings& p, PcRig&) { p.NetworkDrives.Drives[1].UserName = "yamada"; },
       config::kGroupNetworkDrives},
      {"one drive more",
       [](PlaceSettings& p, PcRig&) {
         p.NetworkDrives.Drives.push_back({});
         p.NetworkDrives.Drives.back().LocalName = "X:";
         p.NetworkDrives.Drives.back().RemoteName = "\\\\fs01\\public";
       },
       config::kGroupNetworkDrives},
      {"a share's remark",
       [](PlaceSettings& p, PcRig&) { p.NetShares[0].Remark = "別の説明"; },
       config::kGroupShares},
      {"a permission's mask",
       [](PlaceSettings& p, PcRig&) {
         for (auto& s : p.NetShares)
           if (!s.Access.empty()) s.Access[0].AccessMask = config::kShareChange;
       },
       config::kGroupShares},
      {"a permission entry more",
       [](PlaceSettings& p, PcRig&) {
         for (auto& s : p.NetShares)
           if (!s.Access.empty()) s.Access.push_back({"Users", "", config::kAceAllowed, 0,
                                                      config::kShareRead});
       },
       config::kGroupShares},
      {"default printer",
       [](PlaceSettings& p, PcRig&) { p.DefaultPrinter = "経理部 EPSON LP-9000C"; },
       config::kGroupDefaultPrinter},
      {"hosts variant",
       [](PlaceSettings& p, PcRig& rig) {
         rig.P().files.WriteFile(p.HOSTS, "127.0.0.1 localhost\r\n10.0.0.1 server\r\n");
       },
       config::kGroupHostsFile},
      {"lmhosts variant where the PC has none",
       [](PlaceSettings& p, PcRig& rig) {
         p.LMHOSTS = "C:\\Program Files\\Velandra\\lmhosts.test";
         rig.P().files.WriteFile(p.LMHOSTS, "10.0.0.9 WINS #PRE\r\n");
       },
       config::kGroupLmhostsFile},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PcRig rig(GetParam());
    auto place = rig.FromPc(true);
    row.edit(*place, rig);
    rig.NewRun();
    const uint32_t kind = CompareWithPC(rig.context(), *place);
    const int differing = row.xpOnly && !rig.xp() ? -1 : row.group;
    for (size_t g = 0; g < config::kPlaceGroupCount; ++g)
      EXPECT_EQ(place->Same[g], static_cast<int>(g) != differing) << "group " << g;
    const uint32_t expected = differing < 0 ? 0 : differing <= static_cast<int>(config::kGroupLogon) ? 2 : 1;
    EXPECT_EQ(kind, expected);
    EXPECT_EQ(place->ChangeKind, expected);
    EXPECT_TRUE(rig.Messages().empty());
  }
}

// The place the write tests start from: the PC's, with the DNS, LMHOSTS,
// computer and logon groups changed.
void Branch(PlaceSettings& p) {
  p.PrimarySuffix = false;
  p.DNS_Suffix = {"tokyo.example", "osaka.example"};
  p.EnableLMHOSTS = false;
  p.ComputerName = "BRANCH-PC";
  p.SrvComment = "支店のPC";
  p.DefaultUserName = "yamada";
  p.AutoAdminLogon = true;
  p.AutoLogonKeep = true;
  p.DefaultPassword = "pw";
  p.DisableCAD = false;
  p.Welcome = false;
  p.MultipleTSSessions = false;
}

struct Value {
  Hive hive;
  const char* key;
  const char* name;
  std::optional<Raw> raw;  // nullopt: absent
};
void ExpectValues(PcRig& rig, const std::vector<Value>& values) {
  for (const auto& v : values)
    EXPECT_EQ(rig.Get(v.hive, v.key, v.name), v.raw) << v.key << "\\" << v.name;
}

TEST_P(PlaceSettingsPc, WritesTheRegistryValuesAndTheirByteCounts) {
  using Edit = std::function<void(PlaceSettings&)>;
  const Hive lm = Hive::LocalMachine;
  struct Row {
    const char* name;
    Edit edit;
    std::vector<Value> values;
    std::optional<std::pair<Raw, Raw>> xpLogon;  // LogonType, AllowMultipleTSSessions
    std::vector<std::string> queue;
  } rows[] = {
      {"the primary suffix stores an empty list whatever the list holds",
       [](PlaceSettings& p) {
         p.PrimarySuffix = true;
         p.PrimaryParentSuffix = false;
         p.DNS_Suffix = {"ignored.example"};
       },
       {{lm, kTcpip, "SearchList", Sz("|")}, {lm, kTcpip, "UseDomainNameDevolution", Dword(0)}},
       std::nullopt,
       {}},
      {"a search list, LMHOSTS off",
       [](PlaceSettings& p) {
         p.PrimarySuffix = false;
         p.DNS_Suffix = {"tokyo.example", "osaka.example"};
         p.EnableLMHOSTS = false;
       },
       {{lm, kTcpip, "SearchList", Sz("tokyo.example,osaka.example|")},
        {lm, kTcpip, "UseDomainNameDevolution", Dword(1)},
        {lm, kNetBt, "EnableLMHOSTS", Dword(0)}},
       std::nullopt,
       {}},
      {"the computer's texts without their zero",
       [](PlaceSettings& p) {
         p.ComputerName = "BRANCH-PC";
         p.SrvComment = "支店のPC";
       },
       {{lm, kTcpip, "Hostname", Bare("BRANCH-PC")},
        {lm, kTcpip, "NV Hostname", Bare("BRANCH-PC")},
        {Hive::CurrentUser, kShellNoRoam, "", Bare("BRANCH-PC")},
        {lm, kServer, "srvcomment", Bare("支店のPC")}},
       std::nullopt,
       {}},
      {"one-time automatic logon queues its end",
       [](PlaceSettings& p) {
         p.DefaultUserName = "yamada";
         p.AutoAdminLogon = true;
         p.AutoLogonKeep = false;
         p.DefaultPassword = "pw";
         p.DisableCAD = false;  // so that the logon differs
       },
       {{lm, kWinlogon, "DefaultUserName", Sz("yamada|")},
        {lm, kWinlogon, "AutoAdminLogon", Sz("1|")},
        {lm, kWinlogon, "DefaultPassword", Sz("pw|")},
        {lm, kWinlogon, "ForceAutoLogon", std::nullopt},
        {lm, kWinlogon, "DisableCAD", Dword(0)}},
       std::nullopt,
       {"Action01=DisableAutoLogon"}},
      {"automatic logon kept, Welcome without switching",
       [](PlaceSettings& p) {
         p.DefaultUserName = "yamada";
         p.AutoAdminLogon = p.AutoLogonKeep = true;
         p.DefaultPassword = "pw";
         p.Welcome = true;
         p.MultipleTSSessions = false;
       },
       {{lm, kWinlogon, "AutoAdminLogon", Sz("1|")},
        {lm, kWinlogon, "DefaultPassword", Sz("pw|")},
        {lm, kWinlogon, "DisableCAD", Dword(1)}},
       std::make_pair(Dword(1), Dword(0)),
       {}},
      {"no automatic logon: its password removed; classic logon without switching",
       [](PlaceSettings& p) {
         p.DefaultUserName = "yamada";
         p.AutoAdminLogon = false;
         p.Welcome = false;
         p.MultipleTSSessions = true;
       },
       {{lm, kWinlogon, "DefaultUserName", Sz("yamada|")},
        {lm, kWinlogon, "AutoAdminLogon", Sz("0|")},
        {lm, kWinlogon, "DefaultPassword", std::nullopt},
        {lm, kWinlogon, "ForceAutoLogon", std::nullopt}},
       std::make_pair(Dword(0), Dword(0)),
       {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PcRig rig(GetParam());
    rig.Set(Hive::LocalMachine, kWinlogon, "ForceAutoLogon", Sz("1|"));
    rig.Set(Hive::LocalMachine, kWinlogon, "DefaultPassword", Sz("old|"));
    if (!rig.xp()) {
      rig.Set(Hive::LocalMachine, kWinlogon, "LogonType", ForeignValue());
      rig.Set(Hive::LocalMachine, kWinlogon, "AllowMultipleTSSessions", ForeignValue());
    }
    rig.NewRun();
    auto place = rig.FromPc(true);
    row.edit(*place);
    CompareWithPC(rig.context(), *place);
    rig.context().DiffCheck = true;
    SameCredentials credentials;
    EXPECT_TRUE(WriteToPC(rig.context(), *place, credentials));
    ExpectValues(rig, row.values);
    if (rig.xp() && row.xpLogon) {
      EXPECT_EQ(rig.Get(Hive::LocalMachine, kWinlogon, "LogonType"), row.xpLogon->first);
      EXPECT_EQ(rig.Get(Hive::LocalMachine, kWinlogon, "AllowMultipleTSSessions"),
                row.xpLogon->second);
    }
    if (!rig.xp()) {
      // Windows 2000 has neither value: never touched.
      EXPECT_EQ(rig.Get(Hive::LocalMachine, kWinlogon, "LogonType"), ForeignValue());
      EXPECT_EQ(rig.Get(Hive::LocalMachine, kWinlogon, "AllowMultipleTSSessions"), ForeignValue());
    }
    EXPECT_EQ(rig.Queue(), row.queue);
    EXPECT_TRUE(rig.Messages().empty());
  }
}

TEST_P(PlaceSettingsPc, WrittenAndReadBackTheRegistryGroupsAndHostsFilesAreEqual) {
  PcRig rig(GetParam());
  auto place = rig.FromPc(true);
  Branch(*place);
  if (rig.xp()) place->Welcome = true;  // the PC's is on: still differs by switching
  rig.P().files.WriteFile(place->HOSTS, "127.0.0.1 localhost\r\n10.0.0.1 branch\r\n");
  place->LMHOSTS = "C:\\Program Files\\Velandra\\lmhosts.branch";
  rig.P().files.WriteFile(place->LMHOSTS, "10.0.0.9 WINS #PRE\r\n");
  rig.context().DiffCheck = true;
  ASSERT_EQ(CompareWithPC(rig.context(), *place), 2u);
  for (size_t g : {config::kGroupDnsSuffix, config::kGroupLmhostsLookup, config::kGroupComputer,
                   config::kGroupLogon, config::kGroupHostsFile, config::kGroupLmhostsFile})
    EXPECT_FALSE(place->Same[g]) << g;
  SameCredentials credentials;
  EXPECT_TRUE(WriteToPC(rig.context(), *place, credentials));
  EXPECT_TRUE(rig.Messages().empty());
  EXPECT_EQ(CompareWithPC(rig.context(), *place), 0u);
  EXPECT_TRUE(rig.Queue().empty());
}

TEST_P(PlaceSettingsPc, WithTheDifferenceCheckOnlyTheDefaultPrinterIsQueued) {
  for (bool programs : {false, true}) {
    SCOPED_TRACE(programs ? "with programs" : "without programs");
    PcRig rig(GetParam());
    auto place = rig.FromPc(true);
    place->DefaultPrinter = "経理部 EPSON LP-9000C";
    if (programs) {
      place->Programs.push_back(std::make_unique<config::ProgramEntry>());
      place->Programs.back()->Path = "C:\\WINDOWS\\notepad.exe";
    }
    rig.context().DiffCheck = true;
    ASSERT_EQ(CompareWithPC(rig.context(), *place), 1u);
    const std::string registry = rig.sim().registry().ToRegedit4();
    SameCredentials credentials;
    EXPECT_TRUE(WriteToPC(rig.context(), *place, credentials));
    EXPECT_EQ(rig.sim().registry().ToRegedit4(), registry);
    std::vector<std::string> queue{"Action01=DefaultPrinter"};
    if (programs) queue.push_back("Action02=ExecuteProgram");
    EXPECT_EQ(rig.Queue(), queue);
    // Drives and shares left as they are; the printer itself waits for the queue.
    config::NetworkDriveList drives;
    ReadDrivesFromPC(drives, rig.P().drives);
    EXPECT_EQ(drives.Drives.size(), 2u);
    config::NetShareList shares;
    ReadSharesFromPC(rig.P().shares, shares);
    EXPECT_EQ(shares.size(), 2u);
    EXPECT_EQ(GetDefaultPrinter(rig.P().printers), "Canon LBP-1310");
    EXPECT_TRUE(rig.Messages().empty());
  }
}

TEST_P(PlaceSettingsPc, WithoutTheDifferenceCheckTheWaitingWorkIsQueued) {
  struct Row {
    const char* name;
    bool proxyOff, drives, shares, programs;
    std::vector<std::string> queue;
  } rows[] = {
      {"everything",
       false,
       true,
       true,
       true,
       {"Action01=ExecuteChangeProxy", "Action02=ConnectNetworkDrive", "Action03=DefaultPrinter",
        "Action04=NetShare", "Action05=ExecuteProgram"}},
      {"proxy off, nothing to connect or share, no programs",
       true,
       false,
       false,
       false,
       {"Action01=DefaultPrinter"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PcRig rig(GetParam());
    auto place = rig.FromPc(true);
    place->Proxy.DisableProxy = row.proxyOff;
    if (!row.drives) place->NetworkDrives.Drives.clear();
    if (!row.shares) place->NetShares.clear();
    if (row.programs) {
      place->Programs.push_back(std::make_unique<config::ProgramEntry>());
      place->Programs.back()->Path = "C:\\WINDOWS\\notepad.exe";
    }
    rig.context().DiffCheck = false;
    SameCredentials credentials;
    EXPECT_TRUE(WriteToPC(rig.context(), *place, credentials));
    EXPECT_EQ(rig.Queue(), row.queue);
    // The PC's drives and shares are gone: the queue makes the place's.
    config::NetworkDriveList drives;
    ReadDrivesFromPC(drives, rig.P().drives);
    EXPECT_TRUE(drives.Drives.empty());
    config::NetShareList shares;
    ReadSharesFromPC(rig.P().shares, shares);
    EXPECT_TRUE(shares.empty());
  }
}

// A domain place whose join waits for the restart.
void DelayedCorp(PlaceSettings& p) {
  p.DomainWorkgroup = true;
  p.DomainName = "CORP";
  p.DelayDomain = true;
  p.LocalAdminUser = "Administrator";
  p.LocalAdminPassword = "admin";
  p.ComputerName = "OFFICE-PC";
  p.DefaultUserName = "yamada";
  p.AutoAdminLogon = true;
  p.AutoLogonKeep = false;
  p.DisableCAD = false;
}

TEST_P(PlaceSettingsPc, ADelayedJoinPreparesTheAdministratorsLogonInstead) {
  PcRig rig(GetParam());
  auto place = rig.FromPc(true);
  DelayedCorp(*place);
  rig.context().DiffCheck = true;
  ASSERT_EQ(CompareWithPC(rig.context(), *place), 2u);
  SameCredentials credentials;
  EXPECT_TRUE(WriteToPC(rig.context(), *place, credentials));
  const Hive lm = Hive::LocalMachine;
  ExpectValues(rig, {{lm, kWinlogon, "AutoAdminLogon", Sz("1|")},
                     {lm, kWinlogon, "DefaultUserName", Sz("Administrator|")},
                     {lm, kWinlogon, "DefaultPassword", Sz("admin|")},
                     {lm, kWinlogon, "DefaultDomainName", Sz("OFFICE-PC|")},
                     {lm, kWinlogon, "AltDefaultDomainName", Sz("OFFICE-PC|")},
                     // The place's own logon is the join's, after the restart.
                     {lm, kWinlogon, "DisableCAD", std::nullopt}});
  EXPECT_EQ(rig.Queue(), std::vector<std::string>{"Action00=ChangeDomain"});
  EXPECT_TRUE(rig.domain.joins.empty());
  EXPECT_EQ(credentials.shown, 0);
  EXPECT_TRUE(rig.Messages().empty());
}

TEST_P(PlaceSettingsPc, ADelayedJoinOfTheDomainThePcIsInStillWritesTheLogon) {
  PcRig rig(GetParam());
  rig.domain.answer = {"CORP", true};
  auto place = rig.FromPc(true);
  DelayedCorp(*place);
  place->ComputerName = "VELANDRA-PC";
  rig.context().DiffCheck = true;
  CompareWithPC(rig.context(), *place);
  ASSERT_TRUE(place->Same[config::kGroupDomain]);
  SameCredentials credentials;
  EXPECT_TRUE(WriteToPC(rig.context(), *place, credentials));
  const Hive lm = Hive::LocalMachine;
  ExpectValues(rig, {{lm, kWinlogon, "DefaultUserName", Sz("yamada|")},
                     {lm, kWinlogon, "DisableCAD", Dword(0)}});
  EXPECT_EQ(rig.Queue(), std::vector<std::string>{"Action01=DisableAutoLogon"});
}

TEST_P(PlaceSettingsPc, AFailedJoinIsShownAndTheWriteGoesOn) {
  PcRig rig(GetParam());
  rig.domain.joinError = platform::kErrorLogonFailure;
  auto place = rig.FromPc(true);
  DelayedCorp(*place);
  place->DelayDomain = false;
  rig.context().DiffCheck = true;
  CompareWithPC(rig.context(), *place);
  SameCredentials credentials;
  EXPECT_TRUE(WriteToPC(rig.context(), *place, credentials));
  const std::vector<std::string> messages = rig.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(), kMsgDomainJoinFailed), messages.end());
  // The logon group after it is written.
  EXPECT_EQ(rig.Get(Hive::LocalMachine, kWinlogon, "DefaultUserName"), Sz("yamada|"));
}

// Cancelling the account question ends the run: nothing after the join is
// written or queued.
TEST_P(PlaceSettingsPc, ACancelledAccountQuestionStopsTheWrite) {
  PcRig rig(GetParam());
  rig.domain.joinError = platform::kErrorLogonFailure;
  auto place = rig.FromPc(true);
  DelayedCorp(*place);
  place->DelayDomain = false;
  place->DefaultPrinter = "他のプリンタ";
  rig.context().DiffCheck = true;
  CompareWithPC(rig.context(), *place);
  SameCredentials credentials;
  credentials.cancel = true;
  const auto before = rig.Get(Hive::LocalMachine, kWinlogon, "DefaultUserName");
  EXPECT_FALSE(WriteToPC(rig.context(), *place, credentials));
  EXPECT_EQ(rig.context().QuitCode(), 1);
  EXPECT_EQ(credentials.shown, 1);
  const std::vector<std::string> messages = rig.Messages();
  EXPECT_EQ(std::find(messages.begin(), messages.end(), kMsgDomainJoinFailed), messages.end());
  EXPECT_EQ(rig.Get(Hive::LocalMachine, kWinlogon, "DefaultUserName"), before);
  EXPECT_TRUE(rig.Queue().empty());
}

TEST_P(PlaceSettingsPc, WriteErrorsStopTheFirstGroupsOnly) {
  const Hive lm = Hive::LocalMachine;
  using Inject = std::function<void(platform::sim::SimRegistry&)>;
  auto failOpen = [](Hive hive, const char* key) -> Inject {
    return [=](platform::sim::SimRegistry& r) { r.FailOpen(hive, key, 5); };
  };
  auto failSet = [](const char* key, const char* name) -> Inject {
    return [=](platform::sim::SimRegistry& r) { r.FailSetValue(Hive::LocalMachine, key, name, 5); };
  };
  const std::string longName = "BRANCH-OFFICE-PC-01";
  struct Row {
    const char* name;
    Inject inject;
    std::function<void(PlaceSettings&)> edit;
    bool result;
    std::vector<std::string> messages;
    std::vector<Value> values;
    bool xpOnly = false;
  } rows[] = {
      {"Tcpip does not open", failOpen(lm, kTcpip), nullptr, false, {OpenFailed(kTcpip)},
       {{lm, kNetBt, "EnableLMHOSTS", Dword(1)}}},
      {"SearchList", failSet(kTcpip, "SearchList"), nullptr, false,
       {WriteFailed(kTcpip, "SearchList")}, {{lm, kNetBt, "EnableLMHOSTS", Dword(1)}}},
      {"a search list too long to read back is refused before anything is written", nullptr,
       [](PlaceSettings& p) { p.DNS_Suffix.assign(20, "branch.example.co.jp"); }, false,
       {WriteFailed(kTcpip, "SearchList")},
       {{lm, kTcpip, "SearchList", Sz("|")}, {lm, kNetBt, "EnableLMHOSTS", Dword(1)}}},
      {"NetBT does not open: the suffixes stay written", failOpen(lm, kNetBt), nullptr, false,
       {OpenFailed(kNetBt)},
       {{lm, kTcpip, "SearchList", Sz("tokyo.example,osaka.example|")},
        {lm, kTcpip, "Hostname", Sz("VELANDRA-PC|")}}},
      {"EnableLMHOSTS", failSet(kNetBt, "EnableLMHOSTS"), nullptr, false,
       {WriteFailed(kNetBt, "EnableLMHOSTS")}, {{lm, kTcpip, "Hostname", Sz("VELANDRA-PC|")}}},
      {"Hostname", failSet(kTcpip, "Hostname"), nullptr, false, {WriteFailed(kTcpip, "Hostname")},
       {{lm, kNetBt, "EnableLMHOSTS", Dword(0)},
        {lm, kWinlogon, "DefaultUserName", Sz("Administrator|")}}},
      {"NV Hostname", failSet(kTcpip, "NV Hostname"), nullptr, false,
       {WriteFailed(kTcpip, "NV Hostname")}, {{lm, kTcpip, "Hostname", Bare("BRANCH-PC")}}},
      {"ShellNoRoam does not open", failOpen(Hive::CurrentUser, kShellNoRoam), nullptr, false,
       {OpenFailed(kShellNoRoam)}, {{lm, kServer, "srvcomment", Sz("デモ用のPC|")}}},
      {"ShellNoRoam's value: the tail names the key",
       [](platform::sim::SimRegistry& r) { r.FailSetValue(Hive::CurrentUser, kShellNoRoam, "", 5); },
       nullptr, false, {WriteFailed(kShellNoRoam, "ShellNoRoam")},
       {{lm, kServer, "srvcomment", Sz("デモ用のPC|")}}},
      {"srvcomment", failSet(kServer, "srvcomment"), nullptr, false,
       {WriteFailed(kServer, "srvcomment")},
       {{lm, kWinlogon, "DefaultUserName", Sz("Administrator|")}}},
      {"no server key: the comment is left, silently", failOpen(lm, kServer), nullptr, true, {},
       {{lm, kServer, "srvcomment", Sz("デモ用のPC|")},
        {lm, kWinlogon, "DefaultUserName", Sz("yamada|")}}},
      {"a computer name Windows refuses is reported; the write goes on", nullptr,
       [longName](PlaceSettings& p) { p.ComputerName = longName; }, true,
       {kMsgComputerNameRefused + longName},
       {{lm, kTcpip, "Hostname", Bare(longName)},
        {lm, kWinlogon, "DefaultUserName", Sz("yamada|")}}},
      {"a logon value: shown, the write goes on", failSet(kWinlogon, "DefaultUserName"), nullptr,
       true, {WriteFailed(kWinlogon, "DefaultUserName")},
       {{lm, kWinlogon, "DisableCAD", std::nullopt}, {lm, kServer, "srvcomment", Bare("支店のPC")}}},
      {"LogonType 1: the system's own spelling", failSet(kWinlogon, "LogonType"),
       [](PlaceSettings& p) { p.Welcome = true; }, true, {WriteFailed(kWinlogon, "LongonType")},
       {{lm, kWinlogon, "AllowMultipleTSSessions", Dword(1)}}, true},
      {"LogonType 0", failSet(kWinlogon, "LogonType"), nullptr, true,
       {WriteFailed(kWinlogon, "LogonType")},
       {{lm, kWinlogon, "AllowMultipleTSSessions", Dword(1)}}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PcRig rig(GetParam());
    if (row.xpOnly && !rig.xp()) continue;
    auto place = rig.FromPc(true);
    Branch(*place);
    if (row.edit) row.edit(*place);
    CompareWithPC(rig.context(), *place);
    if (row.inject) row.inject(rig.sim().registry());
    rig.NewRun();
    rig.context().DiffCheck = true;
    SameCredentials credentials;
    EXPECT_EQ(WriteToPC(rig.context(), *place, credentials), row.result);
    EXPECT_EQ(rig.Messages(), row.messages);
    rig.sim().registry().ClearFailures();
    ExpectValues(rig, row.values);
    EXPECT_FALSE(rig.context().QuitCode());
  }
}

TEST_P(PlaceSettingsPc, AnActionThatCannotBeQueuedIsReported) {
  const Hive lm = Hive::LocalMachine;
  struct Row {
    const char* name;
    std::function<void(PlaceSettings&)> edit;
    bool result;
    std::string action;  // of the message; empty: the automatic logon's
    std::vector<Value> values;
  } rows[] = {
      // Nothing prepared: the administrator's logon would have nothing to run.
      {"a delayed join", DelayedCorp, false, app::kActionChangeDomain,
       {{lm, kWinlogon, "AutoAdminLogon", Sz("0|")},
        {lm, kWinlogon, "DefaultUserName", Sz("Administrator|")}}},
      // Its password would stay in the registry for good.
      {"the end of a one-time automatic logon",
       [](PlaceSettings& p) {
         p.DefaultUserName = "yamada";
         p.AutoAdminLogon = true;
         p.AutoLogonKeep = false;
         p.DefaultPassword = "pw";
         p.DisableCAD = false;
       },
       true, "",
       {{lm, kWinlogon, "AutoAdminLogon", Sz("0|")},
        {lm, kWinlogon, "DefaultPassword", std::nullopt},
        {lm, kWinlogon, "DefaultUserName", Sz("yamada|")},
        {lm, kWinlogon, "DisableCAD", Dword(0)}}},
      {"the default printer",
       [](PlaceSettings& p) { p.DefaultPrinter = "経理部 EPSON LP-9000C"; }, true,
       app::kActionDefaultPrinter, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PcRig rig(GetParam());
    auto place = rig.FromPc(true);
    row.edit(*place);
    CompareWithPC(rig.context(), *place);
    rig.RefuseSection(app::kDelayActionSection);
    rig.NewRun();
    rig.context().DiffCheck = true;
    SameCredentials credentials;
    EXPECT_EQ(WriteToPC(rig.context(), *place, credentials), row.result);
    const std::string message =
        row.action.empty() ? app::kMsgAutoLogonNotQueued + std::string(kDemoIniPath)
                           : DelayedActionNotQueuedMessage(row.action, kDemoIniPath);
    EXPECT_EQ(rig.Messages(), std::vector<std::string>{message});
    ExpectValues(rig, row.values);
    EXPECT_TRUE(rig.Queue().empty());
  }
}

}  // namespace
}  // namespace velandra
