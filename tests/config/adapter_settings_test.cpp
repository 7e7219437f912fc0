#include "config/adapter_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/adapter_records.h"
#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/simulated_pc.h"

namespace velandra::config {
namespace {

using platform::sim::DemoVariant;
using velandra::testing::DemoLan;
using velandra::testing::Dump;
using velandra::testing::kDemoIniFile;
using velandra::testing::kDemoIniPath;
using velandra::testing::SameExcept;
using velandra::testing::ScratchPc;

// What the demo PC's first adapter (static, XP) reads as.
constexpr char kDemoLanDump[] =
    "DHCP=F IP=[192.168.1.20] MASK=[255.255.255.0] GW=[192.168.1.1] MET=[0] IFM=0 "
    "AUTODNS=F DNS=[192.168.1.1] SUF= UPD=T REG=F WINS=[192.168.1.2] NB=0";

// A demo PC, its configuration file and the two links of a record: place 1
// and the PC's first adapter (number 0).
class AdapterSettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::sim::SimulatedPc& sim = pc_.Open();
    context_ = std::make_unique<Context>(sim.platform(), kDemoIniPath,
                                         ReadOsInfo(sim.platform().system));
    place_.Number = 1;
    place_.Name = "本社";
  }
  void SetIni(const std::string& data) { pc_.WriteFile(kDemoIniFile, data); }
  std::string Ini() const { return pc_.ReadFile(kDemoIniFile); }
  AdapterSettings Linked() {
    AdapterSettings s;
    s.Place = &place_;
    s.Adapter = &adapter_;
    return s;
  }
  const ConfigFile& Config() const { return context_->Config(); }

  ScratchPc pc_{DemoVariant::WindowsXp};
  std::unique_ptr<Context> context_;
  Place place_;
  AdapterInfo adapter_ = DemoLan();
};

// A whole P1A0 section from its thirteen values, in table order, CRLF.
std::string Section(const std::vector<std::string>& lines) {
  std::string out = "[P1A0]\r\n";
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

constexpr char kBefore[] = "[PLACELIST]\r\nP0=標準\r\nP1=本社\r\n";
constexpr char kAfter[] = "[P1]\r\nComputerName=VELANDRA-PC\r\n";

TEST_F(AdapterSettingsFile, HandWrittenSectionsRoundTrip) {
  struct Row {
    const char* name;
    std::vector<std::string> lines;
    const char* dump;
    bool identical;  // saving writes the same bytes
  } rows[] = {
      {"static_japanese_suffix",
       {"EnableDHCP=FALSE", "IPAddress=192.168.10.5,192.168.10.6",
        "SubnetMask=255.255.255.0,255.255.0.0", "Gateway=192.168.10.1", "Metric=1",
        "InterfaceMetric=20", "EnableDNS=FALSE", "DNS_Server=192.168.10.2,192.168.10.3",
        "DOMAIN_Suffix=本社ソフト表示.example.co.jp", "DOMAIN_Update=TRUE",
        "DOMAIN_Registration=FALSE", "WINS=192.168.10.4,192.168.10.5", "NetBIOS=2"},
       "DHCP=F IP=[192.168.10.5|192.168.10.6] MASK=[255.255.255.0|255.255.0.0] "
       "GW=[192.168.10.1] MET=[1] IFM=20 AUTODNS=F DNS=[192.168.10.2|192.168.10.3] "
       "SUF=本社ソフト表示.example.co.jp UPD=T REG=F WINS=[192.168.10.4|192.168.10.5] NB=2",
       true},
      {"dhcp_everything_automatic",
       {"EnableDHCP=TRUE", "IPAddress=", "SubnetMask=", "Gateway=", "Metric=",
        "InterfaceMetric=0", "EnableDNS=TRUE", "DNS_Server=", "DOMAIN_Suffix=",
        "DOMAIN_Update=FALSE", "DOMAIN_Registration=TRUE", "WINS=", "NetBIOS=0"},
       "DHCP=T IP=[] MASK=[] GW=[] MET=[] IFM=0 AUTODNS=T DNS=[] SUF= UPD=F REG=T WINS=[] NB=0",
       true},
      {"dhcp_keeps_static_values",
       {"EnableDHCP=TRUE", "IPAddress=10.1.2.3", "SubnetMask=255.0.0.0", "Gateway=10.0.0.1",
        "Metric=10", "InterfaceMetric=1", "EnableDNS=TRUE", "DNS_Server=10.0.0.53",
        "DOMAIN_Suffix=自宅", "DOMAIN_Update=TRUE", "DOMAIN_Registration=FALSE",
        "WINS=10.0.0.9", "NetBIOS=1"},
       "DHCP=T IP=[10.1.2.3] MASK=[255.0.0.0] GW=[10.0.0.1] MET=[10] IFM=1 AUTODNS=T "
       "DNS=[10.0.0.53] SUF=自宅 UPD=T REG=F WINS=[10.0.0.9] NB=1",
       true},
      {"three_gateways_with_metrics",
       {"EnableDHCP=FALSE", "IPAddress=172.16.0.10", "SubnetMask=255.255.0.0",
        "Gateway=172.16.0.1,172.16.0.2,172.16.0.3", "Metric=30,10,20", "InterfaceMetric=9999",
        "EnableDNS=FALSE", "DNS_Server=172.16.0.3,172.16.0.1", "DOMAIN_Suffix=corp.example",
        "DOMAIN_Update=FALSE", "DOMAIN_Registration=TRUE", "WINS=", "NetBIOS=2"},
       "DHCP=F IP=[172.16.0.10] MASK=[255.255.0.0] "
       "GW=[172.16.0.1|172.16.0.2|172.16.0.3] MET=[30|10|20] IFM=9999 AUTODNS=F "
       "DNS=[172.16.0.3|172.16.0.1] SUF=corp.example UPD=F REG=T WINS=[] NB=2",
       true},
      {"empty_item_kept",
       {"EnableDHCP=FALSE", "IPAddress=10.0.0.1,,10.0.0.3", "SubnetMask=255.0.0.0,,",
        "Gateway=", "Metric=", "InterfaceMetric=0", "EnableDNS=FALSE", "DNS_Server=",
        "DOMAIN_Suffix=", "DOMAIN_Update=FALSE", "DOMAIN_Registration=FALSE", "WINS=",
        "NetBIOS=0"},
       "DHCP=F IP=[10.0.0.1||10.0.0.3] MASK=[255.0.0.0||] GW=[] MET=[] IFM=0 AUTODNS=F "
       "DNS=[] SUF= UPD=F REG=F WINS=[] NB=0",
       true},
      // Saving adds the keys that defaulted and writes 007 as 7.
      {"missing_integers_and_update",
       {"EnableDHCP=FALSE", "IPAddress=192.168.0.10,192.168.0.11",
        "SubnetMask=255.255.255.0,255.255.255.0", "Gateway=192.168.0.1", "Metric=0",
        "EnableDNS=TRUE", "DNS_Server=", "DOMAIN_Suffix=", "DOMAIN_Registration=FALSE",
        "WINS=", "netbios=007"},
       "DHCP=F IP=[192.168.0.10|192.168.0.11] MASK=[255.255.255.0|255.255.255.0] "
       "GW=[192.168.0.1] MET=[0] IFM=1 AUTODNS=T DNS=[] SUF= UPD=F REG=F WINS=[] NB=7",
       false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string original = kBefore + Section(row.lines) + kAfter;
    SetIni(original);
    AdapterSettings loaded = Linked();
    ASSERT_TRUE(loaded.ReadFromFile(Config()));
    EXPECT_EQ(Dump(loaded), row.dump);

    EXPECT_TRUE(loaded.WriteToFile(Config()));
    const std::string saved = Ini();
    if (row.identical) {
      EXPECT_EQ(saved, original);
    }
    EXPECT_EQ(saved.substr(0, std::string(kBefore).size()), kBefore);
    EXPECT_NE(saved.find(kAfter), std::string::npos);

    AdapterSettings again = Linked();
    ASSERT_TRUE(again.ReadFromFile(Config()));
    EXPECT_EQ(Dump(again), Dump(loaded));
    // A second save changes nothing.
    EXPECT_TRUE(again.WriteToFile(Config()));
    EXPECT_EQ(Ini(), saved);
  }
}

TEST_F(AdapterSettingsFile, FreshSectionHasTheThirteenKeysInOrder) {
  SetIni(kBefore);
  AdapterSettings s = Linked();
  s.EnableDHCP = true;  // static values are written all the same
  s.IPAddress = {"192.168.0.10"};
  s.SubnetMask = {"255.255.255.0"};
  s.Gateway = {"192.168.0.1", "192.168.0.2"};
  s.Metric = {"1", "2"};
  s.InterfaceMetric = 25;
  s.EnableDNS = true;
  s.DNS_Server = {"192.168.0.53"};
  s.DOMAIN_Suffix = "本社.example";
  s.DOMAIN_Update = false;
  s.DOMAIN_Registration = true;
  s.WINS = {};
  s.NetBIOS = 2;
  EXPECT_TRUE(s.WriteToFile(Config()));
  EXPECT_EQ(Ini(), std::string(kBefore) +
                       "[P1A0]\r\nEnableDHCP=TRUE\r\nIPAddress=192.168.0.10\r\n"
                       "SubnetMask=255.255.255.0\r\nGateway=192.168.0.1,192.168.0.2\r\n"
                       "Metric=1,2\r\nInterfaceMetric=25\r\nEnableDNS=TRUE\r\n"
                       "DNS_Server=192.168.0.53\r\nDOMAIN_Suffix=本社.example\r\n"
                       "DOMAIN_Update=FALSE\r\nDOMAIN_Registration=TRUE\r\nWINS=\r\n"
                       "NetBIOS=2\r\n");
}

// The lines of a complete, valid section, each edit replacing the line of
// its key ("-" removes it).
using Edits = std::vector<std::pair<std::string, std::string>>;
std::vector<std::string> ValidLines(const Edits& edits = {}) {
  std::vector<std::string> out;
  for (std::string line :
       {"EnableDHCP=FALSE", "IPAddress=10.0.0.5", "SubnetMask=255.0.0.0", "Gateway=10.0.0.1",
        "Metric=1", "InterfaceMetric=30", "EnableDNS=FALSE", "DNS_Server=10.0.0.53",
        "DOMAIN_Suffix=example", "DOMAIN_Update=TRUE", "DOMAIN_Registration=TRUE",
        "WINS=10.0.0.9", "NetBIOS=2"}) {
    for (const auto& [key, replacement] : edits)
      if (line.compare(0, key.size() + 1, key + "=") == 0) line = replacement;
    if (line != "-") out.push_back(line);
  }
  return out;
}

TEST_F(AdapterSettingsFile, DamagedOrUnusualSections) {
  const std::string valid =
      "DHCP=F IP=[10.0.0.5] MASK=[255.0.0.0] GW=[10.0.0.1] MET=[1] IFM=30 AUTODNS=F "
      "DNS=[10.0.0.53] SUF=example UPD=T REG=T WINS=[10.0.0.9] NB=2";
  const std::string list254 = std::string(250, '1') + ",234";  // 254 characters
  const std::string list255 = list254 + "5";
  // 254 characters and a two-byte one: the read stops before the character,
  // at 254 bytes, which alone would look like a list within the limit.
  const std::string cutBeforeKanji = std::string(254, '9') + "表";
  struct Row {
    const char* name;
    Edits edits;
    bool present;
    std::string dump;   // when present; empty: the valid record
  } rows[] = {
      {"valid", {{"NetBIOS", "NetBIOS=2"}}, true, ""},
      {"dhcp_true_empty_address",
       {{"EnableDHCP", "EnableDHCP=TRUE"}, {"IPAddress", "IPAddress="}},
       true,
       "DHCP=T IP=[] MASK=[255.0.0.0] GW=[10.0.0.1] MET=[1] IFM=30 AUTODNS=F "
       "DNS=[10.0.0.53] SUF=example UPD=T REG=T WINS=[10.0.0.9] NB=2"},
      {"enable_dhcp_lower_case", {{"EnableDHCP", "EnableDHCP=true"}}, false, ""},
      {"enable_dhcp_junk", {{"EnableDHCP", "EnableDHCP=yes"}}, false, ""},
      {"enable_dhcp_empty", {{"EnableDHCP", "EnableDHCP="}}, false, ""},
      {"enable_dhcp_missing", {{"EnableDHCP", "-"}}, false, ""},
      {"enable_dns_mixed_case", {{"EnableDNS", "EnableDNS=True"}}, false, ""},
      {"registration_junk", {{"DOMAIN_Registration", "DOMAIN_Registration=1"}}, false, ""},
      {"registration_missing", {{"DOMAIN_Registration", "-"}}, false, ""},
      {"gateway_missing", {{"Gateway", "-"}}, false, ""},
      {"wins_missing", {{"WINS", "-"}}, false, ""},
      {"suffix_missing", {{"DOMAIN_Suffix", "-"}}, false, ""},
      {"address_is_sentinel", {{"IPAddress", "IPAddress=NO DATA"}}, false, ""},
      {"dns_is_sentinel", {{"DNS_Server", "DNS_Server=NO DATA"}}, false, ""},
      {"suffix_is_sentinel", {{"DOMAIN_Suffix", "DOMAIN_Suffix=NO DATA"}}, false, ""},
      {"interface_metric_missing", {{"InterfaceMetric", "-"}}, true,
       "DHCP=F IP=[10.0.0.5] MASK=[255.0.0.0] GW=[10.0.0.1] MET=[1] IFM=1 AUTODNS=F "
       "DNS=[10.0.0.53] SUF=example UPD=T REG=T WINS=[10.0.0.9] NB=2"},
      {"netbios_missing", {{"NetBIOS", "-"}}, true,
       "DHCP=F IP=[10.0.0.5] MASK=[255.0.0.0] GW=[10.0.0.1] MET=[1] IFM=30 AUTODNS=F "
       "DNS=[10.0.0.53] SUF=example UPD=T REG=T WINS=[10.0.0.9] NB=1"},
      {"interface_metric_junk_reads_digits", {{"InterfaceMetric", "InterfaceMetric=12abc"}}, true,
       "DHCP=F IP=[10.0.0.5] MASK=[255.0.0.0] GW=[10.0.0.1] MET=[1] IFM=12 AUTODNS=F "
       "DNS=[10.0.0.53] SUF=example UPD=T REG=T WINS=[10.0.0.9] NB=2"},
      {"netbios_no_digits_reads_0", {{"NetBIOS", "NetBIOS=NO DATA"}}, true,
       "DHCP=F IP=[10.0.0.5] MASK=[255.0.0.0] GW=[10.0.0.1] MET=[1] IFM=30 AUTODNS=F "
       "DNS=[10.0.0.53] SUF=example UPD=T REG=T WINS=[10.0.0.9] NB=0"},
      {"update_missing_is_false", {{"DOMAIN_Update", "-"}}, true,
       "DHCP=F IP=[10.0.0.5] MASK=[255.0.0.0] GW=[10.0.0.1] MET=[1] IFM=30 AUTODNS=F "
       "DNS=[10.0.0.53] SUF=example UPD=F REG=T WINS=[10.0.0.9] NB=2"},
      {"update_lower_case_is_false", {{"DOMAIN_Update", "DOMAIN_Update=true"}}, true,
       "DHCP=F IP=[10.0.0.5] MASK=[255.0.0.0] GW=[10.0.0.1] MET=[1] IFM=30 AUTODNS=F "
       "DNS=[10.0.0.53] SUF=example UPD=F REG=T WINS=[10.0.0.9] NB=2"},
      {"list_of_254_characters", {{"WINS", "WINS=" + list254}}, true,
       "DHCP=F IP=[10.0.0.5] MASK=[255.0.0.0] GW=[10.0.0.1] MET=[1] IFM=30 AUTODNS=F "
       "DNS=[10.0.0.53] SUF=example UPD=T REG=T WINS=[" + std::string(250, '1') + "|234] NB=2"},
      {"list_of_255_characters", {{"WINS", "WINS=" + list255}}, false, ""},
      {"list_cut_by_the_buffer", {{"Gateway", "Gateway=" + std::string(3000, '7')}}, false, ""},
      {"list_cut_before_a_two_byte_character", {{"Metric", "Metric=" + cutBeforeKanji}}, false, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetIni(kBefore + Section(ValidLines(row.edits)));
    AdapterSettings s = Linked();
    EXPECT_EQ(s.ReadFromFile(Config()), row.present);
    if (row.present) {
      EXPECT_EQ(Dump(s), row.dump.empty() ? valid : row.dump);
    }

    // Build shows the PC when the section counts as absent.
    auto built = AdapterSettings::Build(*context_, place_, adapter_, false);
    EXPECT_EQ(built->Place, &place_);
    EXPECT_EQ(built->Adapter, &adapter_);
    EXPECT_EQ(Dump(*built), row.present ? Dump(s) : std::string(kDemoLanDump));
    EXPECT_EQ(built->ChangeKind, 2u);
  }
  EXPECT_TRUE(pc_.Open().Messages().empty());
  EXPECT_FALSE(context_->QuitCode().has_value());
}

TEST_F(AdapterSettingsFile, DamagedFilesLoadWithoutHarm) {
  static const char kNul[] = "[P1A0]\r\nEnableDHCP=FA\0LSE\r\nWINS=\x01\x02\r\n";
  struct Row {
    const char* name;
    std::string ini;
  } rows[] = {
      {"no_file", ""},
      {"section_without_keys", "[P1A0]\r\n"},
      {"lines_without_equals", "[P1A0]\r\nEnableDHCP\r\nIPAddress\r\n"},
      {"nul_and_control_bytes", std::string(kNul, sizeof kNul - 1)},
      {"duplicate_section_first_wins",
       Section(ValidLines({{"EnableDHCP", "EnableDHCP=yes"}})) + Section(ValidLines())},
      {"lone_lead_byte", "[P1A0]\r\nEnableDHCP=\x82\r\nDOMAIN_Suffix=\x82\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.ini.empty()) {
      std::filesystem::remove(pc_.dir() / kDemoIniFile);
    } else {
      SetIni(row.ini);
    }
    auto built = AdapterSettings::Build(*context_, place_, adapter_, false);
    EXPECT_EQ(Dump(*built), kDemoLanDump);
  }
}

TEST_F(AdapterSettingsFile, AbsentAfterPartialReadShowsOnlyThePc) {
  // IPAddress and SubnetMask are read before the missing Gateway ends the
  // read: Build must not leave them in front of the PC's values.
  SetIni(Section({"EnableDHCP=FALSE", "IPAddress=1.1.1.1,2.2.2.2", "SubnetMask=255.0.0.0"}));
  auto built = AdapterSettings::Build(*context_, place_, adapter_, false);
  EXPECT_EQ(Dump(*built), kDemoLanDump);
}

TEST_F(AdapterSettingsFile, BuildFromPcIgnoresTheFile) {
  SetIni(Section(ValidLines()));
  auto fromPc = AdapterSettings::Build(*context_, place_, adapter_, true);
  EXPECT_EQ(Dump(*fromPc), kDemoLanDump);
  EXPECT_EQ(fromPc->Place, &place_);
  auto bare = AdapterSettings::BuildFromPc(*context_, adapter_);
  EXPECT_EQ(bare->Place, nullptr);
  EXPECT_EQ(bare->Adapter, &adapter_);
  EXPECT_EQ(Dump(*bare), kDemoLanDump);
}

TEST_F(AdapterSettingsFile, OverLongListIsNeverWritten) {
  const std::string original = kBefore + Section(ValidLines());
  SetIni(original);
  AdapterSettings s = Linked();
  ASSERT_TRUE(s.ReadFromFile(Config()));
  s.NetBIOS = 1;  // an edit that would be saved ...
  s.DNS_Server.assign(16, "192.168.100.100");  // ... and a list of 16*15+15 = 255 characters
  EXPECT_FALSE(s.ListsFit());
  EXPECT_FALSE(s.WriteToFile(Config()));
  EXPECT_EQ(Ini(), original);  // nothing of the section changed

  s.DNS_Server.pop_back();
  EXPECT_TRUE(s.WriteToFile(Config()));
  AdapterSettings again = Linked();
  ASSERT_TRUE(again.ReadFromFile(Config()));
  EXPECT_EQ(Dump(again), Dump(s));
}

TEST(AdapterSettingsRecord, NewRecordAndClear) {
  AdapterSettings s;
  EXPECT_EQ(s.ChangeKind, 2u);
  for (bool same : s.Same) EXPECT_FALSE(same);
  EXPECT_TRUE(s.IPAddress.empty() && s.DNS_Server.empty() && s.DOMAIN_Suffix.empty());

  s.IPAddress = {"a"};
  s.SubnetMask = {"b"};
  s.Gateway = {"c"};
  s.Metric = {"d"};
  s.DNS_Server = {"e"};
  s.WINS = {"f"};
  s.DOMAIN_Suffix = "kept";
  s.Clear();
  EXPECT_EQ(Dump(s), "DHCP=T IP=[] MASK=[] GW=[] MET=[] IFM=0 AUTODNS=T DNS=[] SUF=kept "
                     "UPD=T REG=F WINS=[] NB=0");
}

TEST(AdapterSettingsRecord, SectionNames) {
  EXPECT_EQ(AdapterSectionName(0, 0), "P0A0");
  EXPECT_EQ(AdapterSectionName(12, 3), "P12A3");
  EXPECT_EQ(AdapterSectionName(4294967295u, 7), "P4294967295A7");
}

// ---- the comparison ----

AdapterSettings StaticRecord() {
  AdapterSettings s;
  s.EnableDHCP = false;
  s.IPAddress = {"192.168.1.20", "192.168.1.21"};
  s.SubnetMask = {"255.255.255.0", "255.255.255.0"};
  s.Gateway = {"192.168.1.1", "192.168.1.2"};
  s.Metric = {"1", "2"};
  s.InterfaceMetric = 20;
  s.EnableDNS = false;
  s.DNS_Server = {"10.0.0.1", "10.0.0.2"};
  s.DOMAIN_Suffix = "example";
  s.DOMAIN_Update = true;
  s.DOMAIN_Registration = false;
  s.WINS = {"10.0.0.8", "10.0.0.9"};
  s.NetBIOS = 1;
  return s;
}

TEST(CompareAdapterSettings, GroupsAndChangeKinds) {
  using Edit = std::function<void(AdapterSettings& stored, AdapterSettings& pc)>;
  struct Row {
    const char* name;
    Edit edit;
    std::vector<AdapterGroup> differing;
    uint32_t kindXp;
    uint32_t kind2000;
  } rows[] = {
      {"equal", [](AdapterSettings&, AdapterSettings&) {}, {}, 0, 0},
      {"address_differs", [](AdapterSettings& s, AdapterSettings&) { s.IPAddress[1] = "192.168.1.22"; },
       {kGroupIp}, 1, 1},
      {"address_order_only",
       [](AdapterSettings& s, AdapterSettings&) { std::swap(s.IPAddress[0], s.IPAddress[1]); },
       {kGroupIp}, 1, 1},
      {"mask_differs", [](AdapterSettings& s, AdapterSettings&) { s.SubnetMask[0] = "255.255.0.0"; },
       {kGroupIp}, 1, 1},
      {"one_mask_more", [](AdapterSettings& s, AdapterSettings&) { s.SubnetMask.push_back("255.0.0.0"); },
       {kGroupIp}, 1, 1},
      {"one_address_fewer", [](AdapterSettings& s, AdapterSettings&) { s.IPAddress.pop_back(); },
       {kGroupIp}, 1, 1},
      {"dhcp_differs", [](AdapterSettings& s, AdapterSettings&) { s.EnableDHCP = true; },
       {kGroupIp}, 1, 1},
      {"dhcp_on_ignores_addresses",
       [](AdapterSettings& s, AdapterSettings& p) {
         s.EnableDHCP = p.EnableDHCP = true;
         s.IPAddress = {"10.9.9.9"};
         p.IPAddress.clear();
         p.SubnetMask.clear();
       },
       {}, 0, 0},
      {"dhcp_on_still_compares_gateways",
       [](AdapterSettings& s, AdapterSettings& p) {
         s.EnableDHCP = p.EnableDHCP = true;
         s.Gateway[0] = "192.168.1.254";
       },
       {kGroupGateway}, 1, 1},
      {"gateway_order_only",
       [](AdapterSettings& s, AdapterSettings&) {
         std::swap(s.Gateway[0], s.Gateway[1]);
         std::swap(s.Metric[0], s.Metric[1]);
       },
       {kGroupGateway}, 1, 1},
      {"one_metric_more", [](AdapterSettings& s, AdapterSettings&) { s.Metric.push_back("3"); },
       {kGroupGateway}, 1, 1},
      {"metric_differs", [](AdapterSettings& s, AdapterSettings&) { s.Metric[1] = "5"; },
       {kGroupGateway}, 1, 1},
      {"interface_metric", [](AdapterSettings& s, AdapterSettings&) { s.InterfaceMetric = 0; },
       {kGroupInterfaceMetric}, 1, 1},
      {"dns_order_only",
       [](AdapterSettings& s, AdapterSettings&) { std::swap(s.DNS_Server[0], s.DNS_Server[1]); },
       {kGroupDns}, 1, 1},
      {"dns_one_more", [](AdapterSettings& s, AdapterSettings&) { s.DNS_Server.push_back("10.0.0.3"); },
       {kGroupDns}, 1, 1},
      {"dns_automatic_differs", [](AdapterSettings& s, AdapterSettings&) { s.EnableDNS = true; },
       {kGroupDns}, 1, 1},
      {"dns_automatic_ignores_servers",
       [](AdapterSettings& s, AdapterSettings& p) {
         s.EnableDNS = p.EnableDNS = true;
         p.DNS_Server.clear();
       },
       {}, 0, 0},
      {"suffix_case_only", [](AdapterSettings& s, AdapterSettings&) { s.DOMAIN_Suffix = "Example"; },
       {kGroupSuffix}, 1, 1},
      {"update_only", [](AdapterSettings& s, AdapterSettings&) { s.DOMAIN_Update = false; },
       {kGroupUpdate}, 1, 2},
      {"registration_only", [](AdapterSettings& s, AdapterSettings&) { s.DOMAIN_Registration = true; },
       {kGroupRegistration}, 1, 1},
      {"wins_only", [](AdapterSettings& s, AdapterSettings&) { s.WINS.pop_back(); },
       {kGroupWins}, 1, 1},
      {"wins_order_only", [](AdapterSettings& s, AdapterSettings&) { std::swap(s.WINS[0], s.WINS[1]); },
       {kGroupWins}, 1, 1},
      {"netbios_only", [](AdapterSettings& s, AdapterSettings&) { s.NetBIOS = 2; },
       {kGroupNetBios}, 2, 2},
      {"wins_and_netbios",
       [](AdapterSettings& s, AdapterSettings&) {
         s.WINS.clear();
         s.NetBIOS = 0;
       },
       {kGroupWins, kGroupNetBios}, 2, 2},
      {"update_and_address",
       [](AdapterSettings& s, AdapterSettings&) {
         s.DOMAIN_Update = false;
         s.IPAddress.clear();
       },
       {kGroupIp, kGroupUpdate}, 1, 2},
      {"everything",
       [](AdapterSettings& s, AdapterSettings&) {
         s.EnableDHCP = s.EnableDNS = true;
         s.Gateway.clear();
         s.InterfaceMetric = 1;
         s.DOMAIN_Suffix.clear();
         s.DOMAIN_Update = false;
         s.DOMAIN_Registration = true;
         s.WINS.clear();
         s.NetBIOS = 2;
       },
       {kGroupIp, kGroupGateway, kGroupInterfaceMetric, kGroupDns, kGroupSuffix, kGroupUpdate,
        kGroupRegistration, kGroupWins, kGroupNetBios},
       2, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    AdapterSettings stored = StaticRecord();
    AdapterSettings pc = StaticRecord();
    row.edit(stored, pc);
    const AdapterGroupFlags expected = SameExcept(row.differing);
    for (bool windows2000 : {false, true}) {
      SCOPED_TRACE(windows2000 ? "Windows 2000" : "Windows XP");
      AdapterComparison r = CompareAdapterSettings(stored, pc, windows2000);
      EXPECT_EQ(r.Same, expected);
      EXPECT_EQ(r.ChangeKind, windows2000 ? row.kind2000 : row.kindXp);
    }
  }
}

// ---- the list limit ----

TEST(ListLimit, FitsUpTo254Characters) {
  const std::vector<std::string> empty;
  const std::vector<std::string> full = {std::string(200, 'a'), std::string(53, 'b')};  // 254
  struct Row {
    const char* name;
    bool result;
    bool expected;
  } rows[] = {
      {"empty_fits", ListTextFits(empty), true},
      {"254_fits", ListTextFits(full), true},
      {"255_does_not", ListTextFits({std::string(200, 'a'), std::string(54, 'b')}), false},
      {"length_counts_commas", ListTextLength({"a", "", "b"}) == 4, true},
      {"first_item_of_254", ListFitsWithAdded(empty, std::string(254, 'x')), true},
      {"first_item_of_255", ListFitsWithAdded(empty, std::string(255, 'x')), false},
      {"added_needs_its_comma", ListFitsWithAdded({std::string(252, 'a')}, "b"), true},
      {"added_comma_over", ListFitsWithAdded({std::string(253, 'a')}, "b"), false},
      {"added_to_full", ListFitsWithAdded(full, ""), false},
      {"replaced_shorter", ListFitsWithReplaced(full, 1, "c"), true},
      {"replaced_same_length", ListFitsWithReplaced(full, 0, std::string(200, 'z')), true},
      {"replaced_longer", ListFitsWithReplaced(full, 0, std::string(201, 'z')), false},
      {"replaced_past_end_adds", ListFitsWithReplaced({"a"}, 5, std::string(252, 'z')), true},
      {"replaced_past_end_over", ListFitsWithReplaced({"a"}, 1, std::string(253, 'z')), false},
      {"sixteen_addresses_over",
       ListTextFits(std::vector<std::string>(16, "255.255.255.255")), false},
      {"fifteen_addresses_fit",
       ListTextFits(std::vector<std::string>(15, "255.255.255.255")), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.result, row.expected);
  }
  EXPECT_EQ(std::string(kMsgListTooLong),
            "一覧をカンマでつないだ長さが254文字を超えるので、追加または変更できません");
}

}  // namespace
}  // namespace velandra::config
