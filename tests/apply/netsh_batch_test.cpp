#include "apply/netsh_batch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace velandra::apply {
namespace {

using config::AdapterSettings;

// The quoted connection name as every adapter line carries it.
const std::string N = "name=\"ローカル エリア接続\"";
const std::string W = "name=\"ワイヤレス ネットワーク接続\"";
constexpr char kRem[] = "rem 接続場所=本社";

OsInfo Windows(uint32_t minor, const char* servicePack) {
  OsInfo os;
  os.MajorVersion = 5;
  os.MinorVersion = minor;
  os.PlatformId = 2;
  os.ServicePack = servicePack;
  os.ProductType = 1;
  return os;
}
const OsInfo kXpSp2 = Windows(1, "Service Pack 2");
const OsInfo kXpSp1 = Windows(1, "Service Pack 1");
const OsInfo kW2k = Windows(0, "Service Pack 4");

// The whole file: the lines joined with CRLF, each one ended.
std::string Text(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

// A place with two adapters, both DHCP with automatic DNS, no gateway and
// no WINS, never compared (ChangeKind 2, no Same flag).
class NetshBatchTest : public ::testing::Test {
 protected:
  NetshBatchTest() {
    place_.Number = 1;
    place_.Name = "本社";
    lan_.Number = 0;
    lan_.DriverDesc = "Intel(R) PRO/100 VE Network Connection";
    lan_.NetCfgInstanceId = "{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}";
    lan_.ConnectionName = "ローカル エリア接続";
    wlan_.Number = 1;
    wlan_.DriverDesc = "Intel(R) PRO/Wireless 2200BG Network Connection";
    wlan_.NetCfgInstanceId = "{A3C5E7F9-1B2D-4E6F-8A9B-0C1D2E3F4A5B}";
    wlan_.ConnectionName = "ワイヤレス ネットワーク接続";
    for (AdapterSettings* s : {&lanSettings_, &wlanSettings_}) {
      s->Place = &place_;
      s->EnableDHCP = true;
      s->EnableDNS = true;
      s->DOMAIN_Update = true;
      s->DOMAIN_Registration = false;
    }
    lanSettings_.Adapter = &lan_;
    wlanSettings_.Adapter = &wlan_;
  }

  // The batch of the LAN adapter alone (or both), with or without the
  // place-wide inputs.
  NetshBatch Build(const OsInfo& os, bool diffCheck, bool bothAdapters = false,
                   const BatchPlaceWide* placeWide = nullptr) {
    NetshBatchInput in;
    in.Place = &place_;
    in.Adapters.push_back({&lan_, &lanSettings_});
    if (bothAdapters) in.Adapters.push_back({&wlan_, &wlanSettings_});
    in.PlaceWide = placeWide;
    in.DiffCheck = diffCheck;
    in.Os = os;
    in.SystemDirectory = "C:\\WINDOWS\\system32";
    return BuildNetshBatch(in);
  }
  std::string BuildText(const OsInfo& os, bool diffCheck = false) {
    NetshBatch b = Build(os, diffCheck);
    EXPECT_EQ(b.Refusal, "");
    return b.Text;
  }

  config::Place place_;
  AdapterInfo lan_, wlan_;
  AdapterSettings lanSettings_, wlanSettings_;
};

// A static LAN record with every group in use.
void FullStatic(AdapterSettings& s) {
  s.EnableDHCP = false;
  s.IPAddress = {"10.20.30.40", "10.20.30.41"};
  s.SubnetMask = {"255.255.255.0", "255.255.0.0"};
  s.Gateway = {"10.20.30.1"};
  s.Metric = {"1"};
  s.EnableDNS = false;
  s.DNS_Server = {"10.20.0.53", "10.20.0.54"};
  s.WINS = {"10.20.0.9"};
}

TEST_F(NetshBatchTest, AdapterLines) {
  struct Row {
    const char* name;
    OsInfo os;
    std::function<void(AdapterSettings&)> edit;
    std::vector<std::string> lines;  // after the rem line
  } rows[] = {
      {"dhcp_auto_dns", kXpSp2, [](AdapterSettings&) {},
       {"netsh interface ip set address " + N + " source=dhcp",
        "netsh interface ip delete address " + N + " gateway=all",
        "netsh interface ip set dns " + N + " source=dhcp register=PRIMARY",
        "netsh interface ip delete wins " + N + " all"}},
      {"one_static_address_gateway_dns_wins", kXpSp2,
       [](AdapterSettings& s) {
         s.EnableDHCP = false;
         s.IPAddress = {"192.168.1.20"};
         s.SubnetMask = {"255.255.255.0"};
         s.Gateway = {"192.168.1.1"};
         s.Metric = {"0"};
         s.EnableDNS = false;
         s.DNS_Server = {"192.168.1.1"};
         s.DOMAIN_Registration = true;
         s.WINS = {"192.168.1.2"};
       },
       {"netsh interface ip set address " + N +
            " source=static addr=192.168.1.20 mask=255.255.255.0",
        "netsh interface ip set address " + N + " gateway=192.168.1.1 gwmetric=0",
        "netsh interface ip set dns " + N + " source=static addr=192.168.1.1 register=BOTH",
        "netsh interface ip set wins " + N + " source=static addr=192.168.1.2"}},
      {"several_of_each", kXpSp2,
       [](AdapterSettings& s) {
         s.EnableDHCP = false;
         s.IPAddress = {"10.0.0.5", "10.0.1.5", "10.0.2.5"};
         s.SubnetMask = {"255.255.255.0", "255.255.0.0", "255.0.0.0"};
         s.Gateway = {"10.0.0.1", "10.0.0.2"};
         s.Metric = {"1", "20"};
         s.EnableDNS = false;
         s.DNS_Server = {"10.0.0.53", "10.0.0.54", "10.0.0.55"};
         s.DOMAIN_Update = false;
         s.WINS = {"10.0.0.9", "10.0.0.10", "10.0.0.11"};
       },
       {"netsh interface ip set address " + N + " source=static addr=10.0.0.5 mask=255.255.255.0",
        "netsh interface ip add address " + N + " addr=10.0.1.5 mask=255.255.0.0",
        "netsh interface ip add address " + N + " addr=10.0.2.5 mask=255.0.0.0",
        "netsh interface ip set address " + N + " gateway=10.0.0.1 gwmetric=1",
        "netsh interface ip add address " + N + " gateway=10.0.0.2 gwmetric=20",
        "netsh interface ip set dns " + N + " source=static addr=10.0.0.53 register=NONE",
        "netsh interface ip add dns " + N + " addr=10.0.0.54",
        "netsh interface ip add dns " + N + " addr=10.0.0.55",
        "netsh interface ip set wins " + N + " source=static addr=10.0.0.9",
        "netsh interface ip add wins " + N + " addr=10.0.0.10",
        "netsh interface ip add wins " + N + " addr=10.0.0.11"}},
      {"dhcp_keeps_stored_gateways_and_ignores_addresses", kXpSp2,
       [](AdapterSettings& s) {
         s.IPAddress = {"10.0.0.5"};
         s.SubnetMask = {"255.0.0.0"};
         s.Gateway = {"10.0.0.1"};
         s.Metric = {"5"};
       },
       {"netsh interface ip set address " + N + " source=dhcp",
        "netsh interface ip set address " + N + " gateway=10.0.0.1 gwmetric=5",
        "netsh interface ip set dns " + N + " source=dhcp register=PRIMARY",
        "netsh interface ip delete wins " + N + " all"}},
      {"static_without_address_no_dns_servers", kXpSp2,
       [](AdapterSettings& s) {
         s.EnableDHCP = false;
         s.EnableDNS = false;
         s.DOMAIN_Update = false;
         s.DOMAIN_Registration = true;  // without Update it registers nothing
       },
       {"netsh interface ip delete address " + N + " gateway=all",
        "netsh interface ip delete dns " + N + " all",
        "netsh interface ip delete wins " + N + " all"}},
      {"automatic_and_missing_metrics_are_0", kXpSp2,
       [](AdapterSettings& s) {
         s.Gateway = {"10.0.0.1", "10.0.0.2", "10.0.0.3"};
         s.Metric = {"自動", "7"};
       },
       {"netsh interface ip set address " + N + " source=dhcp",
        "netsh interface ip set address " + N + " gateway=10.0.0.1 gwmetric=0",
        "netsh interface ip add address " + N + " gateway=10.0.0.2 gwmetric=7",
        "netsh interface ip add address " + N + " gateway=10.0.0.3 gwmetric=0",
        "netsh interface ip set dns " + N + " source=dhcp register=PRIMARY",
        "netsh interface ip delete wins " + N + " all"}},
      {"xp_sp1_three_servers", kXpSp1,
       [](AdapterSettings& s) {
         s.EnableDNS = false;
         s.DNS_Server = {"10.0.0.1", "10.0.0.2", "10.0.0.3"};
       },
       {"netsh interface ip set address " + N + " source=dhcp",
        "netsh interface ip delete address " + N + " gateway=all",
        "netsh interface ip set dns " + N + " source=static addr=10.0.0.2 register=PRIMARY",
        "netsh interface ip add dns " + N + " addr=10.0.0.3",
        "netsh interface ip add dns " + N + " addr=10.0.0.1 index=1",
        "netsh interface ip delete wins " + N + " all"}},
      {"xp_sp1_two_servers", kXpSp1,
       [](AdapterSettings& s) {
         s.EnableDNS = false;
         s.DNS_Server = {"10.0.0.1", "10.0.0.2"};
         s.DOMAIN_Registration = true;
       },
       {"netsh interface ip set address " + N + " source=dhcp",
        "netsh interface ip delete address " + N + " gateway=all",
        "netsh interface ip set dns " + N + " source=static addr=10.0.0.2 register=BOTH",
        "netsh interface ip add dns " + N + " addr=10.0.0.1 index=1",
        "netsh interface ip delete wins " + N + " all"}},
      {"xp_sp1_one_server_is_plain", kXpSp1,
       [](AdapterSettings& s) {
         s.EnableDNS = false;
         s.DNS_Server = {"10.0.0.1"};
       },
       {"netsh interface ip set address " + N + " source=dhcp",
        "netsh interface ip delete address " + N + " gateway=all",
        "netsh interface ip set dns " + N + " source=static addr=10.0.0.1 register=PRIMARY",
        "netsh interface ip delete wins " + N + " all"}},
      {"xp_sp2_three_servers_in_order", kXpSp2,
       [](AdapterSettings& s) {
         s.EnableDNS = false;
         s.DNS_Server = {"10.0.0.1", "10.0.0.2", "10.0.0.3"};
       },
       {"netsh interface ip set address " + N + " source=dhcp",
        "netsh interface ip delete address " + N + " gateway=all",
        "netsh interface ip set dns " + N + " source=static addr=10.0.0.1 register=PRIMARY",
        "netsh interface ip add dns " + N + " addr=10.0.0.2",
        "netsh interface ip add dns " + N + " addr=10.0.0.3",
        "netsh interface ip delete wins " + N + " all"}},
      {"windows2000_has_no_register", kW2k,
       [](AdapterSettings& s) {
         s.EnableDNS = false;
         s.DNS_Server = {"10.0.0.1", "10.0.0.2", "10.0.0.3"};
         s.DOMAIN_Registration = true;
       },
       {"netsh interface ip set address " + N + " source=dhcp",
        "netsh interface ip delete address " + N + " gateway=all",
        "netsh interface ip set dns " + N + " source=static addr=10.0.0.1",
        "netsh interface ip add dns " + N + " addr=10.0.0.2",
        "netsh interface ip add dns " + N + " addr=10.0.0.3",
        "netsh interface ip delete wins " + N + " all"}},
      {"windows2000_service_pack_1_keeps_order", Windows(0, "Service Pack 1"),
       [](AdapterSettings& s) {
         s.EnableDNS = false;
         s.DNS_Server = {"10.0.0.1", "10.0.0.2"};
       },
       {"netsh interface ip set address " + N + " source=dhcp",
        "netsh interface ip delete address " + N + " gateway=all",
        "netsh interface ip set dns " + N + " source=static addr=10.0.0.1",
        "netsh interface ip add dns " + N + " addr=10.0.0.2",
        "netsh interface ip delete wins " + N + " all"}},
      {"windows2000_dhcp_dns", kW2k, [](AdapterSettings&) {},
       {"netsh interface ip set address " + N + " source=dhcp",
        "netsh interface ip delete address " + N + " gateway=all",
        "netsh interface ip set dns " + N + " source=dhcp",
        "netsh interface ip delete wins " + N + " all"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    lanSettings_ = AdapterSettings();
    lanSettings_.Place = &place_;
    lanSettings_.Adapter = &lan_;
    lanSettings_.DOMAIN_Update = true;
    lanSettings_.DOMAIN_Registration = false;
    row.edit(lanSettings_);
    std::vector<std::string> lines = {kRem};
    lines.insert(lines.end(), row.lines.begin(), row.lines.end());
    EXPECT_EQ(BuildText(row.os), Text(lines));
  }
}

TEST_F(NetshBatchTest, AdaptersInOrderAndRegistrationWords) {
  struct Row {
    bool update, registration;
    const char* word;
  } rows[] = {{true, true, " register=BOTH"},
              {true, false, " register=PRIMARY"},
              {false, true, " register=NONE"},
              {false, false, " register=NONE"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.word);
    wlanSettings_.DOMAIN_Update = row.update;
    wlanSettings_.DOMAIN_Registration = row.registration;
    NetshBatch b = Build(kXpSp2, false, true);
    EXPECT_EQ(b.Text, Text({kRem, "netsh interface ip set address " + N + " source=dhcp",
                            "netsh interface ip delete address " + N + " gateway=all",
                            "netsh interface ip set dns " + N + " source=dhcp register=PRIMARY",
                            "netsh interface ip delete wins " + N + " all",
                            "netsh interface ip set address " + W + " source=dhcp",
                            "netsh interface ip delete address " + W + " gateway=all",
                            "netsh interface ip set dns " + W + " source=dhcp" + row.word,
                            "netsh interface ip delete wins " + W + " all"}));
  }
}

// Under DIFFCHECK, FullStatic's lines by group.
const std::vector<std::string> kIpLines = {
    "netsh interface ip set address " + N + " source=static addr=10.20.30.40 mask=255.255.255.0",
    "netsh interface ip add address " + N + " addr=10.20.30.41 mask=255.255.0.0"};
const std::vector<std::string> kGatewayLines = {
    "netsh interface ip set address " + N + " gateway=10.20.30.1 gwmetric=1"};
const std::vector<std::string> kDnsLines = {
    "netsh interface ip set dns " + N + " source=static addr=10.20.0.53 register=PRIMARY",
    "netsh interface ip add dns " + N + " addr=10.20.0.54"};
const std::vector<std::string> kWinsLines = {
    "netsh interface ip set wins " + N + " source=static addr=10.20.0.9"};

std::string TextOf(const std::vector<const std::vector<std::string>*>& groups) {
  std::vector<std::string> lines = {kRem};
  for (const auto* g : groups) lines.insert(lines.end(), g->begin(), g->end());
  return Text(lines);
}

TEST_F(NetshBatchTest, DiffCheckLeavesOutEachEqualGroup) {
  FullStatic(lanSettings_);
  lanSettings_.ChangeKind = 1;
  const std::string all = TextOf({&kIpLines, &kGatewayLines, &kDnsLines, &kWinsLines});
  EXPECT_EQ(BuildText(kXpSp2, true), all);
  struct Row {
    const char* name;
    std::vector<config::AdapterGroup> equal;
    std::vector<const std::vector<std::string>*> left;
  } rows[] = {
      {"ip", {config::kGroupIp}, {&kGatewayLines, &kDnsLines, &kWinsLines}},
      {"gateway", {config::kGroupGateway}, {&kIpLines, &kDnsLines, &kWinsLines}},
      // On XP the DNS lines also carry both registration flags.
      {"dns", {config::kGroupDns, config::kGroupUpdate, config::kGroupRegistration},
       {&kIpLines, &kGatewayLines, &kWinsLines}},
      {"dns_but_not_update", {config::kGroupDns, config::kGroupRegistration},
       {&kIpLines, &kGatewayLines, &kDnsLines, &kWinsLines}},
      {"dns_but_not_registration", {config::kGroupDns, config::kGroupUpdate},
       {&kIpLines, &kGatewayLines, &kDnsLines, &kWinsLines}},
      {"wins", {config::kGroupWins}, {&kIpLines, &kGatewayLines, &kDnsLines}},
      // Groups without a command leave the batch as it is.
      {"interface_metric", {config::kGroupInterfaceMetric},
       {&kIpLines, &kGatewayLines, &kDnsLines, &kWinsLines}},
      {"suffix", {config::kGroupSuffix}, {&kIpLines, &kGatewayLines, &kDnsLines, &kWinsLines}},
      {"netbios", {config::kGroupNetBios}, {&kIpLines, &kGatewayLines, &kDnsLines, &kWinsLines}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    lanSettings_.Same = {};
    for (auto g : row.equal) lanSettings_.Same[g] = true;
    EXPECT_EQ(BuildText(kXpSp2, true), TextOf(row.left));
    // Without DIFFCHECK the flags do not count.
    EXPECT_EQ(BuildText(kXpSp2, false), all);
  }
  // Windows 2000 has no register= part: an equal DNS group alone is left out.
  lanSettings_.Same = {};
  lanSettings_.Same[config::kGroupDns] = true;
  EXPECT_EQ(BuildText(kW2k, true).find(" dns "), std::string::npos);
}

TEST_F(NetshBatchTest, DiffCheckEachDifferingGroupAddsOnlyItsLines) {
  FullStatic(lanSettings_);
  lanSettings_.ChangeKind = 1;
  struct Row {
    const char* name;
    OsInfo os;
    std::vector<config::AdapterGroup> differing;
    std::vector<const std::vector<std::string>*> lines;
  } rows[] = {
      {"ip", kXpSp2, {config::kGroupIp}, {&kIpLines}},
      {"gateway", kXpSp2, {config::kGroupGateway}, {&kGatewayLines}},
      {"dns", kXpSp2, {config::kGroupDns}, {&kDnsLines}},
      {"wins", kXpSp2, {config::kGroupWins}, {&kWinsLines}},
      {"interface_metric", kXpSp2, {config::kGroupInterfaceMetric}, {}},
      {"suffix", kXpSp2, {config::kGroupSuffix}, {}},
      {"netbios", kXpSp2, {config::kGroupNetBios}, {}},
      // On XP the register= part of the DNS lines changes both flags.
      {"xp_update", kXpSp2, {config::kGroupUpdate}, {&kDnsLines}},
      {"xp_registration", kXpSp2, {config::kGroupRegistration}, {&kDnsLines}},
      {"w2k_update", kW2k, {config::kGroupUpdate}, {}},
      {"w2k_registration", kW2k, {config::kGroupRegistration}, {}},
      {"ip_and_wins", kXpSp2, {config::kGroupIp, config::kGroupWins}, {&kIpLines, &kWinsLines}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    lanSettings_.Same.fill(true);
    for (auto g : row.differing) lanSettings_.Same[g] = false;
    EXPECT_EQ(BuildText(row.os, true), TextOf(row.lines));
  }
}

TEST_F(NetshBatchTest, DiffCheckUnchangedPlaceGivesOnlyTheRemLine) {
  FullStatic(lanSettings_);
  FullStatic(wlanSettings_);
  lanSettings_.ChangeKind = wlanSettings_.ChangeKind = 0;
  lanSettings_.Same.fill(true);
  wlanSettings_.Same.fill(true);
  BatchPlaceWide wide;
  wide.Same = {true, true, true, true, true, true};
  EXPECT_EQ(Build(kXpSp2, true, true, &wide).Text, Text({kRem}));
  // ChangeKind 0 alone skips the adapter, whatever the flags say.
  lanSettings_.Same = {};
  EXPECT_EQ(Build(kXpSp1, true, true, &wide).Text, Text({kRem}));
}

TEST_F(NetshBatchTest, PlaceWideLines) {
  lanSettings_.ChangeKind = 0;  // no adapter line under DIFFCHECK
  BatchPlaceWide wide;
  wide.Proxy = {true, "C:\\Program Files\\Orvane\\Brisco\\", "社内", false};
  wide.NetworkDrives = {{"Z:", "\\\\fs01\\部署", "yamada", "secret"},
                        {"Y:", "\\\\fs02\\pub", "", ""}};
  wide.DefaultPrinter = "\\\\prn01\\経理部";
  wide.NetShares = {{"共有", "C:\\共有", -1, "部の共有", 0}, {"data$", "D:\\data", 10, "", 0}};
  wide.HOSTS = "C:\\Program Files\\Velandra\\hosts.本社";
  wide.LMHOSTS = "";
  const std::vector<std::string> proxy = {
      "call \"C:\\Program Files\\Orvane\\Brisco\\BRISCO.EXE\" \"/S:社内\""};
  const std::vector<std::string> drives = {"net use * /delete /yes",
                                           "net use Z: \\\\fs01\\部署 secret /USER:yamada",
                                           "net use Y: \\\\fs02\\pub"};
  const std::vector<std::string> printer = {
      "rundll32 printui.dll,PrintUIEntry /y /n \"\\\\prn01\\経理部\""};
  const std::vector<std::string> shares = {
      "net share 共有=C:\\共有 /UNLIMITED /REMARK:\"部の共有\"",
      "net share data$=D:\\data /USER:10"};
  const std::vector<std::string> hosts = {
      "copy /Y \"C:\\Program Files\\Velandra\\hosts.本社\" "
      "\"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\""};
  const std::vector<std::string> lmhosts = {
      "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts\""};

  NetshBatch all = Build(kXpSp2, true, false, &wide);
  EXPECT_EQ(all.Text, TextOf({&proxy, &drives, &printer, &shares, &hosts, &lmhosts}));
  EXPECT_TRUE(all.CreatesShares);

  // Each equal group left out under DIFFCHECK.
  struct Row {
    const char* name;
    bool* same;
    std::vector<const std::vector<std::string>*> lines;
  } rows[] = {
      {"proxy", &wide.Same.Proxy, {&drives, &printer, &shares, &hosts, &lmhosts}},
      {"drives", &wide.Same.NetworkDrives, {&proxy, &printer, &shares, &hosts, &lmhosts}},
      {"printer", &wide.Same.DefaultPrinter, {&proxy, &drives, &shares, &hosts, &lmhosts}},
      {"shares", &wide.Same.Shares, {&proxy, &drives, &printer, &hosts, &lmhosts}},
      {"hosts", &wide.Same.HostsFile, {&proxy, &drives, &printer, &shares, &lmhosts}},
      {"lmhosts", &wide.Same.LmhostsFile, {&proxy, &drives, &printer, &shares, &hosts}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    *row.same = true;
    NetshBatch b = Build(kXpSp2, true, false, &wide);
    EXPECT_EQ(b.Text, TextOf(row.lines));
    EXPECT_EQ(b.CreatesShares, row.same != &wide.Same.Shares);
    *row.same = false;
  }
}

TEST_F(NetshBatchTest, PlaceWideEdgeCases) {
  lanSettings_.ChangeKind = 0;
  struct Row {
    const char* name;
    std::function<void(BatchPlaceWide&)> edit;
    std::vector<std::string> lines;
    bool createsShares;
  } rows[] = {
      {"nothing_set", [](BatchPlaceWide&) {},
       {"net use * /delete /yes", "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\"",
        "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts\""},
       true},
      {"no_proxy_entry_is_NONE",
       [](BatchPlaceWide& w) { w.Proxy = {true, "C:\\Brisco\\", "プロキシ無", false}; },
       {"call \"C:\\Brisco\\BRISCO.EXE\" \"/S:NONE\"", "net use * /delete /yes",
        "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\"",
        "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts\""},
       true},
      {"proxy_disabled_or_not_installed",
       [](BatchPlaceWide& w) { w.Proxy = {true, "C:\\Brisco\\", "社内", true}; },
       {"net use * /delete /yes", "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\"",
        "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts\""},
       true},
      {"a_permission_entry_moves_all_shares_out",
       [](BatchPlaceWide& w) {
         w.NetShares = {{"a", "C:\\a", -1, "", 0}, {"b", "C:\\b", 5, "", 1}};
       },
       {"net use * /delete /yes", "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\"",
        "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts\""},
       false},
      {"lmhosts_copied",
       [](BatchPlaceWide& w) { w.LMHOSTS = "C:\\v\\lmhosts.本社"; },
       {"net use * /delete /yes", "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\"",
        "copy /Y \"C:\\v\\lmhosts.本社\" \"C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts\""},
       true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    BatchPlaceWide wide;
    row.edit(wide);
    NetshBatch b = Build(kXpSp2, true, false, &wide);
    std::vector<std::string> lines = {kRem};
    lines.insert(lines.end(), row.lines.begin(), row.lines.end());
    EXPECT_EQ(b.Text, Text(lines));
    EXPECT_EQ(b.CreatesShares, row.createsShares);
  }
}

TEST_F(NetshBatchTest, NoSystemDirectoryNoHostsLines) {
  lanSettings_.ChangeKind = 0;
  BatchPlaceWide wide;
  wide.HOSTS = "C:\\v\\hosts.本社";
  for (const std::string& dir : {std::string(), "C:\\" + std::string(260, 'x')}) {
    NetshBatchInput in;
    in.Place = &place_;
    in.Adapters.push_back({&lan_, &lanSettings_});
    in.PlaceWide = &wide;
    in.DiffCheck = true;
    in.Os = kXpSp2;
    in.SystemDirectory = dir;
    EXPECT_EQ(BuildNetshBatch(in).Text, Text({kRem, "net use * /delete /yes"}));
  }
}

// A hostile or odd value somewhere in the inputs: refused with a message
// that names it, or written so that cmd reads it as that value.
TEST_F(NetshBatchTest, UnsafeValues) {
  // The trail bytes these rows rely on.
  ASSERT_EQ(std::string("表"), "\x95\x5C");
  ASSERT_EQ(std::string("ポ"), "\x83\x7C");
  ASSERT_EQ(std::string("ソ"), "\x83\x5C");
  struct Row {
    const char* name;
    std::function<void(AdapterInfo&, AdapterSettings&, config::Place&, BatchPlaceWide&)> edit;
    // A line the batch holds, or the parts the refusal must hold.
    std::string line;
    std::vector<std::string> refusal;
  };
  using A = AdapterInfo&;
  using S = AdapterSettings&;
  using P = config::Place&;
  using PW = BatchPlaceWide&;
  const std::string refused = "に、バッチファイルのコマンドに書けない文字";
  const std::string lan = "接続「ローカル エリア接続」の";
  const std::string here = "接続場所「本社」の";
  const Row rows[] = {
      // Connection names, inside the template's quotes.
      {"name_closing_the_quote", [](A a, S, P, PW) { a.ConnectionName = "LAN\" & calc & \""; },
       "", {"アダプタ「Intel(R) PRO/100 VE Network Connection」の接続名", "LAN\" & calc & \"", refused}},
      {"name_with_line_break", [](A a, S, P, PW) { a.ConnectionName = "LAN\r\ncalc"; },
       "", {"の接続名", refused}},
      {"name_with_tab", [](A a, S, P, PW) { a.ConnectionName = "LAN\tx"; }, "", {refused}},
      {"name_with_operators_stays_quoted",
       [](A a, S, P, PW) { a.ConnectionName = "A&B|C<D>E^F(G)!"; },
       "netsh interface ip set address name=\"A&B|C<D>E^F(G)!\" source=dhcp", {}},
      {"name_percent_doubled", [](A a, S, P, PW) { a.ConnectionName = "100%接続%PATH%"; },
       "netsh interface ip set address name=\"100%%接続%%PATH%%\" source=dhcp", {}},
      {"name_trail_bytes_unchanged", [](A a, S, P, PW) { a.ConnectionName = "表示ポートソ"; },
       "netsh interface ip set address name=\"表示ポートソ\" source=dhcp", {}},
      {"name_ending_in_lone_lead_byte", [](A a, S, P, PW) { a.ConnectionName = "LAN\x83"; },
       "", {"の接続名", refused}},
      {"name_with_bad_trail_byte", [](A a, S, P, PW) { a.ConnectionName = "LAN\x83\x22x"; },
       "", {"の接続名", refused}},
      {"name_ending_in_backslash", [](A a, S, P, PW) { a.ConnectionName = "LAN\\"; },
       "", {"の接続名", refused}},
      // Unquoted netsh values.
      {"address_with_command", [](A, S s, P, PW) {
         s.EnableDHCP = false;
         s.IPAddress = {"10.0.0.1&calc"};
         s.SubnetMask = {"255.0.0.0"};
       }, "", {lan + "IPアドレス「10.0.0.1&calc」", refused}},
      {"address_with_space", [](A, S s, P, PW) {
         s.EnableDHCP = false;
         s.IPAddress = {"10.0.0.1 mask=0.0.0.0"};
         s.SubnetMask = {"255.0.0.0"};
       }, "", {lan + "IPアドレス", refused}},
      {"empty_address", [](A, S s, P, PW) {
         s.EnableDHCP = false;
         s.IPAddress = {""};
         s.SubnetMask = {"255.0.0.0"};
       }, "", {lan + "IPアドレスが空です"}},
      {"address_without_mask", [](A, S s, P, PW) {
         s.EnableDHCP = false;
         s.IPAddress = {"10.0.0.1", "10.0.0.2"};
         s.SubnetMask = {"255.0.0.0"};
       }, "", {lan + "IPアドレス「10.0.0.2」に対応するサブネットマスクがありません"}},
      {"mask_with_pipe", [](A, S s, P, PW) {
         s.EnableDHCP = false;
         s.IPAddress = {"10.0.0.1"};
         s.SubnetMask = {"255.0.0.0|x"};
       }, "", {lan + "サブネットマスク", refused}},
      {"gateway_with_redirect", [](A, S s, P, PW) {
         s.Gateway = {"10.0.0.1>x"};
         s.Metric = {"1"};
       }, "", {lan + "デフォルトゲートウェイ", refused}},
      {"metric_not_a_number", [](A, S s, P, PW) {
         s.Gateway = {"10.0.0.1"};
         s.Metric = {"1 & calc"};
       }, "", {lan + "ゲートウェイのメトリック「1 & calc」", refused}},
      {"dns_server_with_caret", [](A, S s, P, PW) {
         s.EnableDNS = false;
         s.DNS_Server = {"10.0.0.1^"};
       }, "", {lan + "DNSサーバー", refused}},
      {"wins_server_with_percent", [](A, S s, P, PW) { s.WINS = {"%COMSPEC%"}; },
       "", {lan + "WINSサーバー「%COMSPEC%」", refused}},
      // The place name on the rem line.
      {"place_name_with_line_break", [](A, S, P p, PW) { p.Name = "本社\r\ndel /Q C:\\*"; },
       "", {"接続場所の名前", refused}},
      {"place_name_operators_escaped", [](A, S, P p, PW) { p.Name = "100%&<本社>|^"; },
       "rem 接続場所=100%%^&^<本社^>^|^^", {}},
      {"place_name_trail_byte_not_escaped", [](A, S, P p, PW) { p.Name = "ポ&表"; },
       "rem 接続場所=ポ^&表", {}},
      // net use.
      {"remote_name_with_blank_quoted", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "\\\\fs01\\my share & more", "", ""}};
       }, "net use Z: \"\\\\fs01\\my share & more\"", {}},
      {"remote_name_needing_quotes_ending_in_backslash", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "\\\\fs01\\my share\\", "", ""}};
       }, "", {here + "ネットワークドライブ1番目の接続先", refused}},
      {"remote_name_plain_ending_in_backslash", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "\\\\fs01\\pub\\", "", ""}};
       }, "net use Z: \\\\fs01\\pub\\", {}},
      {"remote_name_as_option", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "/delete", "", ""}};
       }, "", {"ネットワークドライブ1番目の接続先「/delete」は「/」で始まる"}},
      {"empty_remote_name", [](A, S, P, PW w) { w.NetworkDrives = {{"Z:", "", "", ""}}; },
       "", {"ネットワークドライブ1番目の接続先が空です"}},
      {"local_name_with_command", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z: & calc", "\\\\fs01\\pub", "", ""}};
       }, "", {"ネットワークドライブ1番目のドライブ名「Z: & calc」", refused}},
      {"password_quoted_percent_doubled", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "\\\\fs01\\pub", "u", "p&ss|%1^"}};
       }, "net use Z: \\\\fs01\\pub \"p&ss|%%1^\" /USER:u", {}},
      {"password_with_quote_not_shown", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "\\\\fs01\\pub", "u", "pa\"ss"}};
       }, "", {here + "ネットワークドライブ1番目のパスワードに、"}},
      {"password_as_option", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "\\\\fs01\\pub", "", "/persistent:yes"}};
       }, "", {"ネットワークドライブ1番目のパスワードは「/」で始まる"}},
      {"password_star_would_ask_at_the_console", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "\\\\fs01\\pub", "u", "*"}};
       }, "", {here + "ネットワークドライブ1番目のパスワードに「*」だけは指定できません"}},
      {"user_with_blank_quoted", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "\\\\fs01\\pub", "DOMAIN\\John Smith", ""}};
       }, "net use Z: \\\\fs01\\pub /USER:\"DOMAIN\\John Smith\"", {}},
      {"user_with_trail_byte_plain", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "\\\\fs01\\ソフト", "ポール", ""}};
       }, "net use Z: \\\\fs01\\ソフト /USER:ポール", {}},
      {"user_with_line_break", [](A, S, P, PW w) {
         w.NetworkDrives = {{"Z:", "\\\\fs01\\pub", "u\r\nnet user x /add", ""}};
       }, "", {"ネットワークドライブ1番目のユーザー名", refused}},
      // Printer, shares, hosts, proxy.
      {"printer_trail_byte_at_end", [](A, S, P, PW w) { w.DefaultPrinter = "\\\\prn\\経理の表"; },
       "rundll32 printui.dll,PrintUIEntry /y /n \"\\\\prn\\経理の表\"", {}},
      {"printer_closing_the_quote", [](A, S, P, PW w) { w.DefaultPrinter = "p\" & calc"; },
       "", {here + "通常使うプリンタ「p\" & calc」", refused}},
      {"share_name_trail_byte", [](A, S, P, PW w) { w.NetShares = {{"ソフト", "C:\\ソフト", -1, "", 0}}; },
       "net share ソフト=C:\\ソフト /UNLIMITED", {}},
      {"share_name_with_blank", [](A, S, P, PW w) { w.NetShares = {{"a b", "C:\\a", -1, "", 0}}; },
       "", {here + "共有1番目の共有名「a b」", refused}},
      {"share_name_with_equals", [](A, S, P, PW w) { w.NetShares = {{"a=C:\\", "C:\\a", -1, "", 0}}; },
       "", {"共有1番目の共有名", refused}},
      {"share_path_with_blank_quoted", [](A, S, P, PW w) {
         w.NetShares = {{"pf", "C:\\Program Files\\共有 (1)", 3, "", 0}};
       }, "net share pf=\"C:\\Program Files\\共有 (1)\" /USER:3", {}},
      {"share_remark_percent", [](A, S, P, PW w) {
         w.NetShares = {{"a", "C:\\a", -1, "100% & <ok>", 0}};
       }, "net share a=C:\\a /UNLIMITED /REMARK:\"100%% & <ok>\"", {}},
      {"share_remark_with_quote", [](A, S, P, PW w) {
         w.NetShares = {{"a", "C:\\a", -1, "x\" & calc", 0}};
       }, "", {"共有1番目のコメント", refused}},
      {"hosts_with_wildcard", [](A, S, P, PW w) { w.HOSTS = "C:\\hosts.*"; },
       "", {here + "hostsファイル「C:\\hosts.*」", refused}},
      {"hosts_path_as_switch", [](A, S, P, PW w) { w.HOSTS = "/Y"; },
       "", {here + "hostsファイル「/Y」は「/」で始まる"}},
      {"hosts_percent_doubled", [](A, S, P, PW w) { w.HOSTS = "C:\\100%\\hosts"; },
       "copy /Y \"C:\\100%%\\hosts\" \"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\"", {}},
      {"proxy_entry_percent_for_call", [](A, S, P, PW w) {
         w.Proxy = {true, "C:\\Brisco\\", "50%&more", false};
       }, "call \"C:\\Brisco\\BRISCO.EXE\" \"/S:50%%%%&more\"", {}},
      {"proxy_entry_caret", [](A, S, P, PW w) { w.Proxy = {true, "C:\\Brisco\\", "a^b", false}; },
       "", {here + "プロキシの設定名「a^b」", refused}},
      {"proxy_folder_with_quote", [](A, S, P, PW w) {
         w.Proxy = {true, "C:\\x\" & calc & \"\\", "a", false};
       }, "", {here + "プロキシ切り替えソフトのプログラム", refused}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    AdapterInfo lan = lan_;
    AdapterSettings settings;
    settings.Place = &place_;
    settings.Adapter = &lan;
    config::Place place = place_;
    BatchPlaceWide wide;
    row.edit(lan, settings, place, wide);
    NetshBatchInput in;
    in.Place = &place;
    in.Adapters.push_back({&lan, &settings});
    in.PlaceWide = &wide;
    in.Os = kXpSp2;
    in.SystemDirectory = "C:\\WINDOWS\\system32";
    NetshBatch b = BuildNetshBatch(in);
    if (row.refusal.empty()) {
      EXPECT_EQ(b.Refusal, "");
      EXPECT_NE(("\r\n" + b.Text).find("\r\n" + row.line + "\r\n"), std::string::npos)
          << b.Text;
      EXPECT_EQ(b.Text.find("rem "), 0u);
    } else {
      EXPECT_EQ(b.Text, "");
      for (const auto& part : row.refusal)
        EXPECT_NE(b.Refusal.find(part), std::string::npos) << b.Refusal << "\nmissing: " << part;
      EXPECT_NE(b.Refusal.find("設定は変更していません"), std::string::npos);
      EXPECT_EQ(b.Refusal.find("pa\"ss"), std::string::npos);  // no password shown
    }
  }
}

TEST_F(NetshBatchTest, LineLengthLimit) {
  // The longest line of a DHCP adapter on XP.
  const std::string head = "netsh interface ip set dns name=\"";
  const std::string tail = "\" source=dhcp register=PRIMARY";
  const size_t fits = kMaxBatchLine - head.size() - tail.size();
  struct Row {
    const char* name;
    std::string connection;
    bool refused;
  } rows[] = {
      {"exactly_the_limit", std::string(fits, 'a'), false},
      {"one_byte_over", std::string(fits + 1, 'a'), true},
      {"percent_counts_twice", std::string(fits - 1, 'a') + "%", true},
      {"two_byte_characters_at_the_limit", std::string(fits - 2, 'a') + "表", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    lan_.ConnectionName = row.connection;
    NetshBatch b = Build(kXpSp2, false);
    if (row.refused) {
      EXPECT_EQ(b.Text, "");
      EXPECT_EQ(b.Refusal, "アダプタ「Intel(R) PRO/100 VE Network Connection」の接続名「" +
                               row.connection +
                               "」が長すぎて、バッチファイルの1行(1024バイトまで)に収まりません。"
                               "設定は変更していません。");
    } else {
      EXPECT_EQ(b.Refusal, "");
      EXPECT_NE(b.Text.find(head + row.connection + tail + "\r\n"), std::string::npos);
    }
  }
}

TEST_F(NetshBatchTest, LongLineNamesItsLongestValue) {
  lanSettings_.ChangeKind = 0;
  struct Row {
    const char* name;
    BatchNetworkDrive drive;
    std::string named;
    std::string hidden;
  } rows[] = {
      {"remote_name", {"Z:", "\\\\fs\\" + std::string(1100, 'r'), "u", "p"},
       "ネットワークドライブ1番目の接続先「\\\\fs\\rrr", ""},
      {"password_not_shown", {"Z:", "\\\\fs\\a", "u", std::string(1100, 'p')},
       "ネットワークドライブ1番目のパスワードが長すぎて", "ppp"},
      {"user_name", {"Z:", "\\\\fs\\a", std::string(600, 'u'), std::string(500, 'p')},
       "ネットワークドライブ1番目のユーザー名「uuu", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    BatchPlaceWide wide;
    wide.NetworkDrives = {row.drive};
    NetshBatch b = Build(kXpSp2, true, false, &wide);
    EXPECT_EQ(b.Text, "");
    EXPECT_NE(b.Refusal.find(row.named), std::string::npos) << b.Refusal;
    EXPECT_NE(b.Refusal.find("が長すぎて"), std::string::npos);
    if (!row.hidden.empty()) {
      EXPECT_EQ(b.Refusal.find(row.hidden), std::string::npos);
    }
  }
}

TEST(NetshBatchPath, BesideTheExecutable) {
  EXPECT_EQ(NetshBatchPath("C:\\Program Files\\Velandra", 0),
            "C:\\Program Files\\Velandra\\netsh_p0.bat");
  EXPECT_EQ(NetshBatchPath("D:\\表", 4294967295u), "D:\\表\\netsh_p4294967295.bat");
}

}  // namespace
}  // namespace velandra::apply
