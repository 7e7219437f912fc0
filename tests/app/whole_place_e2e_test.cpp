// Whole places played through on the simulated PC: a place section written
// by hand, applied with restart (-p NAME) and booted until no Startup
// shortcut is left, or applied without restart (-p NAME -now); then the
// sheet is loaded anew and every adapter and the place-wide record must
// compare equal with the PC. Failed domain joins leave the PC, the queue and
// the place's section as the next start needs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/delayed_actions.h"
#include "app/delayed_run.h"
#include "app/exit_codes.h"
#include "app/relogon.h"
#include "app/velandra_app.h"
#include "config/config_file.h"
#include "config/place_settings.h"
#include "support/app_runs.h"
#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "support/whole_runs.h"
#include "system/domain_join.h"
#include "system/os_info.h"
#include "system/place_settings_pc.h"
#include "system/platform/sim/sim_boot.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "ui/dlg_user_password.h"
#include "ui/velandra_sheet.h"

namespace velandra::app {
namespace {

using testing::BootUntilSettled;
using testing::MessagesText;
using testing::StartVelandra;
using testing::StartupShortcuts;

namespace sim = platform::sim;
using platform::Cp932ToUtf8;
using sim::DemoVariant;
using testing::ScratchPc;

constexpr char kPlace[] = "転勤先";
std::string Enc(const std::string& password) { return config::EncodeStoredPassword(password); }

using Values = std::map<std::string, std::string>;
Values Winlogon(sim::SimulatedPc& s) {
  platform::RegKey key;
  Values values;
  if (key.Open(s.platform().registry, platform::Hive::LocalMachine, kWinlogonKey,
               platform::kKeyQueryValue) != 0)
    return {{"(key)", "missing"}};
  for (const char* name : {"AutoAdminLogon", "DefaultUserName", "DefaultPassword",
                           "DefaultDomainName", "AltDefaultDomainName"})
    if (std::string v; key.QueryString(name, 1024, v) == 0) values[name] = v;
  return values;
}

std::vector<std::string> EventsWith(sim::SimulatedPc& pc, const std::string& prefix) {
  std::vector<std::string> found;
  for (const auto& e : pc.Events())
    if (e.rfind(prefix, 0) == 0) found.push_back(e);
  return found;
}

// The comparison of the place with the PC after loading the sheet anew.
testing::PlaceComparison Compare(sim::SimulatedPc& s) { return testing::ComparePlaceWithPc(s, kPlace); }

// The place-wide keys of the groups that only a restart changes: different
// from the demo PC's for the change with restart, its own for the change
// without. A row's own keys come after them (the first key of a name is the
// one read, so rows give the domain group whole instead of adding to it).
constexpr char kRestartBaseKeys[] =
    "ChangeUser=FALSE\r\n"
    "PrimarySuffix=FALSE\r\n"
    "PrimaryParentSuffix=FALSE\r\n"
    "DNS_Suffix=tenkin.example.co.jp,example.co.jp\r\n"
    "EnableLMHOSTS=FALSE\r\n"
    "SrvComment=転勤先のPC\r\n";
constexpr char kNowBaseKeys[] =
    "ChangeUser=FALSE\r\n"
    "PrimarySuffix=TRUE\r\n"
    "PrimaryParentSuffix=TRUE\r\n"
    "DNS_Suffix=\r\n"
    "EnableLMHOSTS=TRUE\r\n";
constexpr char kWorkgroupKeys[] =
    "DomainWorkgroup=FALSE\r\nDomainName=\r\nWorkgroupName=WORKGROUP\r\nLogonPlace=FALSE\r\n"
    "DelayDomain=FALSE\r\n";
// The logon group of a place without automatic logon.
constexpr char kManualLogonKeys[] =
    "DefaultUserName=Administrator\r\nAutoAdminLogon=FALSE\r\nAutoLogonKeep=FALSE\r\n"
    "DefaultPassword=\r\nDisableCAD=FALSE\r\n";

// The adapter sections: the wired one static, the wireless one on DHCP.
// The interface metric, which the change batch leaves alone, is given.
std::string AdapterSections(int interfaceMetric) {
  const std::string metric = "InterfaceMetric=" + std::to_string(interfaceMetric) + "\r\n";
  return "[P1A0]\r\nEnableDHCP=FALSE\r\nIPAddress=10.20.0.5\r\nSubnetMask=255.255.0.0\r\n"
         "Gateway=10.20.0.1\r\nMetric=1\r\n" + metric + "EnableDNS=FALSE\r\n"
         "DNS_Server=10.20.0.53\r\nDOMAIN_Suffix=tenkin.example.co.jp\r\nDOMAIN_Update=TRUE\r\n"
         "DOMAIN_Registration=FALSE\r\nWINS=10.20.0.9\r\nNetBIOS=0\r\n"
         "[P1A1]\r\nEnableDHCP=TRUE\r\nIPAddress=\r\nSubnetMask=\r\nGateway=\r\nMetric=\r\n" +
         metric + "EnableDNS=TRUE\r\nDNS_Server=\r\nDOMAIN_Suffix=\r\n"
         "DOMAIN_Update=TRUE\r\nDOMAIN_Registration=FALSE\r\nWINS=\r\nNetBIOS=0\r\n";
}

struct PlaceRow {
  const char* name;
  std::string domain;  // the domain group's keys; empty: kWorkgroupKeys
  std::string keys;    // the row's other place-wide keys
  bool nowWhole;       // -now can do the whole place
  std::function<void(ScratchPc&)> setup;  // the PC before it opens
  const char* answers = "";
  // Commands the batch of the change without restart must hold for the
  // drives and the printer.
  std::vector<std::string> nowCommands = {};
  const char* computerName = "VELANDRA-PC";
};

std::string PlaceIni(const PlaceRow& row, const char* baseKeys, int interfaceMetric) {
  return std::string("[PLACELIST]\r\nP0=標準\r\nP1=") + kPlace + "\r\n[P1]\r\nComputerName=" +
         row.computerName + "\r\n" + baseKeys +
         (row.domain.empty() ? std::string(kWorkgroupKeys) : row.domain) + row.keys +
         AdapterSections(interfaceMetric);
}

void MemberOf(ScratchPc& pc, const char* domain) {
  pc.SetMachine("domain", "name", domain);
  pc.SetMachine("domain", "member", "yes");
}

const std::vector<PlaceRow>& PlaceRows() {
  static const std::vector<PlaceRow> rows = {
      {"workgroup_to_domain_now", std::string("DomainWorkgroup=TRUE\r\nDomainName=VELANDRA\r\n"
       "WorkgroupName=WORKGROUP\r\nLogonPlace=TRUE\r\nDelayDomain=FALSE\r\n"
       "JoinDomainUser=Administrator\r\nJoinDomainPassword=") + Enc("admin") + "\r\n",
       "", false, nullptr},
      {"workgroup_to_domain_delayed", std::string("DomainWorkgroup=TRUE\r\nDomainName=VELANDRA\r\n"
       "WorkgroupName=WORKGROUP\r\nLogonPlace=TRUE\r\nDelayDomain=TRUE\r\n"
       "JoinDomainUser=Administrator\r\nJoinDomainPassword=") + Enc("admin") + "\r\n"
       "LocalAdminUser=Administrator\r\nLocalAdminPassword=" + Enc("admin") + "\r\n",
       kManualLogonKeys, false, nullptr},
      {"domain_to_workgroup", std::string("DomainWorkgroup=FALSE\r\nDomainName=\r\n"
       "WorkgroupName=TENKIN\r\nLogonPlace=FALSE\r\nDelayDomain=FALSE\r\n"
       "JoinDomainUser=Administrator\r\nJoinDomainPassword=") + Enc("admin") + "\r\n",
       "", false, [](ScratchPc& pc) { MemberOf(pc, "VELANDRA"); }},
      {"computer_name", "", "", false, nullptr, "", {}, "TENKIN-PC"},
      {"network_drives", "",
       "NetworkDrive01=X:,\\\\fs01\\経理,,\r\nNetworkDrive02=W:,\\\\nas-home\\写真,,\r\n"
       "NetworkDrive03=Z:,\\\\fs01\\総務,,\r\n",
       true, nullptr, "",
       {"net use * /delete /yes", "net use X: \\\\fs01\\経理", "net use W: \\\\nas-home\\写真",
        "net use Z: \\\\fs01\\総務"}},
      {"shares_with_allow_and_deny", "",
       "NetShare01=予備,0,転勤先の予備,0,5,0,C:\\共有\\予備,\r\n"
       "NetShare0101=Everyone,,ACCESS_ALLOWED_ACE_TYPE,0,001200a9\r\n"
       "NetShare0102=yamada,VELANDRA-PC,ACCESS_ALLOWED_ACE_TYPE,0,001f01ff\r\n"
       "NetShare0103=Guest,VELANDRA-PC,ACCESS_DENIED_ACE_TYPE,0,001f01ff\r\n"
       "NetShare02=公開,0,,0,-1,0,C:\\共有\\公開,\r\n",
       true, nullptr},
      {"default_printer", "", "DefaultPrinter=経理部 EPSON LP-9000C\r\n", true, nullptr, "",
       {"rundll32 printui.dll,PrintUIEntry /y /n \"経理部 EPSON LP-9000C\""}},
      {"hosts_variant", "",
       "HOSTS=C:\\Program Files\\Velandra\\hosts.本社\r\n"
       "LMHOSTS=C:\\Program Files\\Velandra\\lmhosts.転勤先\r\n",
       true,
       [](ScratchPc& pc) {
         pc.WriteFile("C/Program Files/Velandra/lmhosts.転勤先",
                      "10.20.0.10   TENKIN-FS   #PRE\r\n");
       }},
      {"proxy_entry", "", "ProxyName=自宅 光回線\r\nDisableProxy=FALSE\r\n", true, nullptr},
      {"programs_existing_and_missing", "",
       "TYPE0=PGM\r\nPGM0=C:\\Program Files\\Orvane\\Brisco\\BRISCO.EXE\r\nARG0=/x\r\n"
       "DIR0=C:\\Program Files\\Orvane\\Brisco\r\nSIZE0=MINIMIZE\r\n"
       "TYPE1=PGM\r\nPGM1=C:\\ない\\tool.exe\r\nARG1=\r\nDIR1=\r\nSIZE1=NORMAL\r\n",
       true, nullptr},
      {"automatic_logon_kept", "",
       std::string("DefaultUserName=Administrator\r\nAutoAdminLogon=TRUE\r\nAutoLogonKeep=TRUE\r\n"
       "DefaultPassword=") + Enc("admin") + "\r\nDisableCAD=TRUE\r\n",
       false, nullptr},
      {"automatic_logon_once", "",
       std::string("DefaultUserName=Administrator\r\nAutoAdminLogon=TRUE\r\nAutoLogonKeep=FALSE\r\n"
       "DefaultPassword=") + Enc("admin") + "\r\nDisableCAD=FALSE\r\n",
       false, nullptr},
  };
  return rows;
}

// The demo PC's interface metric: 0 on Windows XP, 1 on Windows 2000.
int DemoInterfaceMetric(DemoVariant variant) { return variant == DemoVariant::WindowsXp ? 0 : 1; }

// The commands the simulated command interpreter ran (CP932).
std::vector<std::string> BatchCommands(sim::SimulatedPc& s) {
  std::vector<std::string> out;
  const std::string prefix = "batch command: ";
  for (const auto& e : s.Events())
    if (e.rfind(prefix, 0) == 0) out.push_back(platform::Utf8ToCp932(e.substr(prefix.size())));
  return out;
}

struct Layout {
  const char* name;
  DemoVariant variant;
};
constexpr Layout kLayouts[] = {{"xp", DemoVariant::WindowsXp},
                               {"w2000", DemoVariant::Windows2000}};

// Writes the row's place into a fresh PC and opens it.
sim::SimulatedPc& Prepare(ScratchPc& pc, const PlaceRow& row, const char* baseKeys,
                          int interfaceMetric) {
  if (row.setup) row.setup(pc);
  pc.WriteFile(testing::kDemoIniFile, PlaceIni(row, baseKeys, interfaceMetric));
  sim::SimulatedPc& s = pc.Open();
  s.answers().PushList(row.answers);
  return s;
}

TEST(WholePlaceEndToEnd, WithRestartEveryGroupComparesEqualAfterTheBoots) {
  for (const Layout& layout : kLayouts) {
    for (const PlaceRow& row : PlaceRows()) {
      SCOPED_TRACE(std::string(layout.name) + " " + row.name);
      ScratchPc pc(layout.variant);
      sim::SimulatedPc& s = Prepare(pc, row, kRestartBaseKeys, 5);
      ASSERT_NE(Compare(s).placeKind, 0u);
      std::ostringstream out;

      EXPECT_EQ(StartVelandra(s, std::string("-p ") + kPlace, out), kExitSuccess)
          << MessagesText(s) << out.str();
      EXPECT_EQ(s.Machine().Get("session", "exit_request"), "restart");
      ASSERT_TRUE(BootUntilSettled(pc, s, out)) << out.str();

      EXPECT_TRUE(s.Messages().empty()) << MessagesText(s);
      EXPECT_EQ(testing::QueueText(s.platform()), ";");
      const testing::PlaceComparison c = Compare(s);
      EXPECT_EQ(c.adapterKinds, (std::vector<uint32_t>{0, 0}));
      EXPECT_EQ(c.placeKind, 0u) << "differing: " << c.differing << "\n" << out.str();
    }
  }
}

TEST(WholePlaceEndToEnd, WithoutRestartTheGroupsItChangesCompareEqual) {
  for (const Layout& layout : kLayouts) {
    for (const PlaceRow& row : PlaceRows()) {
      SCOPED_TRACE(std::string(layout.name) + " " + row.name);
      ScratchPc pc(layout.variant);
      sim::SimulatedPc& s = Prepare(pc, row, kNowBaseKeys, DemoInterfaceMetric(layout.variant));
      std::ostringstream out;

      EXPECT_EQ(StartVelandra(s, std::string("-p ") + kPlace + " -now", out), kExitSuccess)
          << MessagesText(s) << out.str();
      EXPECT_TRUE(s.Messages().empty()) << MessagesText(s);
      const testing::PlaceComparison c = Compare(s);
      std::string commands;
      for (const auto& e : s.Events()) commands += e + "\n";
      EXPECT_EQ(c.adapterKinds, (std::vector<uint32_t>{0, 0})) << commands;
      const size_t first = row.nowWhole ? 0 : static_cast<size_t>(config::kGroupProxy);
      for (size_t g = first; g < config::kPlaceGroupCount; ++g) {
        EXPECT_TRUE(c.same[g]) << testing::kPlaceGroupNames[g] << " differs; all differing: " << c.differing;
      }
      const std::vector<std::string> ran = BatchCommands(s);
      for (const std::string& command : row.nowCommands)
        EXPECT_NE(std::find(ran.begin(), ran.end(), command), ran.end())
            << Cp932ToUtf8(command) << "\n" << commands;
    }
  }
}

// The programs of the place: the existing one started through the shell
// after the restart, the missing one skipped.
TEST(WholePlaceEndToEnd, ProgramsStartAfterTheRestart) {
  const PlaceRow* row = nullptr;
  for (const PlaceRow& r : PlaceRows())
    if (std::string(r.name) == "programs_existing_and_missing") row = &r;
  ASSERT_TRUE(row);
  ScratchPc pc;
  sim::SimulatedPc& s = Prepare(pc, *row, kRestartBaseKeys, 5);
  std::ostringstream out;
  EXPECT_EQ(StartVelandra(s, std::string("-p ") + kPlace, out), kExitSuccess);
  ASSERT_TRUE(BootUntilSettled(pc, s, out)) << out.str();
  const std::vector<std::string> started = EventsWith(s, "shell started");
  ASSERT_EQ(started.size(), 1u) << out.str();
  EXPECT_NE(started[0].find("BRISCO.EXE"), std::string::npos) << started[0];
  EXPECT_NE(started[0].find("/x"), std::string::npos) << started[0];
  // The missing one is passed over without a message.
  EXPECT_TRUE(EventsWith(s, "shell could not start").empty()) << out.str();
  EXPECT_TRUE(s.Messages().empty()) << MessagesText(s);
}

// ---- failed joins ----------------------------------------------------------

// The place section as the file holds it, keys in order.
std::string Section(sim::SimulatedPc& s, const char* name) {
  std::string text = s.platform().profile.GetSection(name, 65536, testing::kDemoIniPath);
  for (char& c : text)
    if (c == '\0') c = '\n';
  return text;
}

struct FailedJoin {
  const char* name;
  const char* domain;
  const char* password;  // stored
  bool delayed;
  const char* answers;   // the credentials dialog's
};

TEST(WholePlaceEndToEnd, FailedJoinsShowTheirMessageAndLoseNothing) {
  const FailedJoin rows[] = {
      {"wrong_password_now", "VELANDRA", "wrong", false, "ok:Administrator:wrong-again"},
      {"unreachable_now", "SHITEN", "admin", false, "ok:Administrator:admin"},
      {"wrong_password_delayed", "VELANDRA", "wrong", true, "ok:Administrator:wrong-again"},
      {"unreachable_delayed", "SHITEN", "admin", true, "ok:Administrator:admin"},
  };
  for (const Layout& layout : kLayouts) {
    for (const FailedJoin& f : rows) {
      SCOPED_TRACE(std::string(layout.name) + " " + f.name);
      const std::string domainKeys =
          std::string("DomainWorkgroup=TRUE\r\nDomainName=") + f.domain +
          "\r\nWorkgroupName=WORKGROUP\r\nLogonPlace=TRUE\r\nDelayDomain=" +
          (f.delayed ? "TRUE" : "FALSE") + "\r\nJoinDomainUser=Administrator\r\n" +
          "JoinDomainPassword=" + Enc(f.password) + "\r\n" +
          "LocalAdminUser=Administrator\r\nLocalAdminPassword=" + Enc("admin") + "\r\n";
      PlaceRow row{f.name, domainKeys, kManualLogonKeys, false, nullptr, f.answers};
      ScratchPc pc(layout.variant);
      sim::SimulatedPc& s = Prepare(pc, row, kNowBaseKeys, DemoInterfaceMetric(layout.variant));
      const std::string before = Section(s, "P1");
      std::ostringstream out;

      StartVelandra(s, std::string("-p ") + kPlace, out);
      if (f.delayed) {
        // The join waits for the restart; the -r start after it fails.
        EXPECT_TRUE(s.Messages().empty()) << MessagesText(s);
        EXPECT_EQ(s.Machine().Get("session", "exit_request"), "restart");
        std::vector<int> codes;
        ASSERT_TRUE(BootUntilSettled(pc, s, out, &codes)) << out.str();
        // One -r start, which fails.
        EXPECT_EQ(codes, std::vector<int>{kExitFailed}) << out.str();
        ASSERT_FALSE(s.Messages().empty()) << out.str();
        EXPECT_EQ(s.Messages().back().Text, kMsgDomainSwitchFailed) << MessagesText(s);
      } else {
        ASSERT_FALSE(s.Messages().empty()) << out.str();
        EXPECT_EQ(s.Messages().front().Text, kMsgDomainJoinFailed) << MessagesText(s);
        BootUntilSettled(pc, s, out);
      }
      EXPECT_TRUE(s.answers().Empty());
      // The PC stays in its workgroup, nothing waits for a start, and the
      // next boot runs nothing.
      EXPECT_EQ(s.Machine().Get("domain", "pending_member"), "") << out.str();
      EXPECT_EQ(testing::QueueText(s.platform()), ";");
      EXPECT_TRUE(StartupShortcuts(pc).empty());
      sim::BootResult next = sim::Boot(s, true, StartVelandra, out);
      EXPECT_TRUE(next.Starts.empty()) << out.str();
      // The place's section is as it was written.
      EXPECT_EQ(Section(s, "P1"), before);
    }
  }
}

// After a failed delayed join nothing is queued any more, so the
// administrator's automatic logon that the join prepared must not stay on
// with its password: the place itself wants no automatic logon.
TEST(WholePlaceEndToEnd, FailedDelayedJoinLeavesNoPreparedLogon) {
  for (const Layout& layout : kLayouts) {
    for (const char* domain : {"VELANDRA", "SHITEN"}) {
      SCOPED_TRACE(std::string(layout.name) + " " + domain);
      const std::string domainKeys =
          std::string("DomainWorkgroup=TRUE\r\nDomainName=") + domain +
          "\r\nWorkgroupName=WORKGROUP\r\nLogonPlace=TRUE\r\nDelayDomain=TRUE\r\n"
          "JoinDomainUser=Administrator\r\nJoinDomainPassword=" + Enc("wrong") + "\r\n" +
          "LocalAdminUser=Administrator\r\nLocalAdminPassword=" + Enc("admin") + "\r\n";
      PlaceRow row{"failed_delayed", domainKeys, kManualLogonKeys, false, nullptr,
                   "ok:Administrator:wrong-again"};
      ScratchPc pc(layout.variant);
      sim::SimulatedPc& s = Prepare(pc, row, kNowBaseKeys, DemoInterfaceMetric(layout.variant));
      std::ostringstream out;
      StartVelandra(s, std::string("-p ") + kPlace, out);
      std::vector<int> codes;
      ASSERT_TRUE(BootUntilSettled(pc, s, out, &codes)) << out.str();
      const Values logon = Winlogon(s);
      EXPECT_NE(logon.count("AutoAdminLogon") ? logon.at("AutoAdminLogon") : "", "1");
      EXPECT_EQ(logon.count("DefaultPassword"), 0u);
    }
  }
}

// A delayed join of a place whose section stores no logon group: the -r
// start reads that group from the PC, where the join's preparation put the
// administrator's logon, and must still not keep it on after the join.
TEST(WholePlaceEndToEnd, DelayedJoinWithoutStoredLogonLeavesNoPreparedLogon) {
  for (const Layout& layout : kLayouts) {
    SCOPED_TRACE(layout.name);
    PlaceRow row{"delayed_without_logon",
                 std::string("DomainWorkgroup=TRUE\r\nDomainName=VELANDRA\r\n"
                             "WorkgroupName=WORKGROUP\r\nLogonPlace=TRUE\r\nDelayDomain=TRUE\r\n"
                             "JoinDomainUser=Administrator\r\nJoinDomainPassword=") +
                     Enc("admin") + "\r\nLocalAdminUser=Administrator\r\nLocalAdminPassword=" +
                     Enc("admin") + "\r\n",
                 "", false, nullptr};
    ScratchPc pc(layout.variant);
    sim::SimulatedPc& s = Prepare(pc, row, kNowBaseKeys, DemoInterfaceMetric(layout.variant));
    std::ostringstream out;
    EXPECT_EQ(StartVelandra(s, std::string("-p ") + kPlace, out), kExitSuccess);
    ASSERT_TRUE(BootUntilSettled(pc, s, out)) << out.str();
    const Values logon = Winlogon(s);
    EXPECT_NE(logon.count("AutoAdminLogon") ? logon.at("AutoAdminLogon") : "", "1");
    EXPECT_EQ(logon.count("DefaultPassword"), 0u);
  }
}

// A place that renames the PC and keeps an automatic logon: the boot after
// the restart logs the place's user on automatically on the renamed PC.
TEST(WholePlaceEndToEnd, RenamedPcKeepsTheAutomaticLogon) {
  for (const Layout& layout : kLayouts) {
    SCOPED_TRACE(layout.name);
    PlaceRow row{"renamed_with_automatic_logon", "",
                 std::string("DefaultUserName=Administrator\r\nAutoAdminLogon=TRUE\r\n"
                             "AutoLogonKeep=TRUE\r\nDefaultPassword=") +
                     Enc("admin") + "\r\nDisableCAD=TRUE\r\n",
                 false, nullptr, "", {}, "TENKIN-PC"};
    ScratchPc pc(layout.variant);
    sim::SimulatedPc& s = Prepare(pc, row, kRestartBaseKeys, 5);
    std::ostringstream out;
    EXPECT_EQ(StartVelandra(s, std::string("-p ") + kPlace, out), kExitSuccess);
    ASSERT_TRUE(BootUntilSettled(pc, s, out)) << out.str();
    const sim::BootResult next = sim::Boot(s, true, StartVelandra, out);
    EXPECT_TRUE(next.AutomaticLogon) << out.str();
    EXPECT_EQ(next.User, "Administrator");
    const testing::PlaceComparison c = Compare(s);
    EXPECT_EQ(c.placeKind, 0u) << "differing: " << c.differing;
  }
}

}  // namespace
}  // namespace velandra::app
