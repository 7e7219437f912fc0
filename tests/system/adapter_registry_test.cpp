#include "system/adapter_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/adapter_settings.h"
#include "support/adapter_records.h"
#include "support/demo_pc_facts.h"
#include "support/registry_values.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/platform/registry.h"
#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra {
namespace {

using config::AdapterGroup;
using config::AdapterSettings;
using platform::Hive;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageOwner;
using platform::sim::DemoVariant;
using platform::sim::SimulatedPc;
using velandra::testing::DemoLan;
using velandra::testing::Dump;
using velandra::testing::Dword;
using velandra::testing::kDemoIniPath;
using velandra::testing::kDemoLanNetBtKey;
using velandra::testing::kDemoLanTcpipKey;
using velandra::testing::MultiSz;
using velandra::testing::Raw;
using velandra::testing::SameExcept;
using velandra::testing::ScratchPc;
using velandra::testing::Sz;

constexpr char kToValue[] = " にデータを書き出せませんでした";
constexpr char kOfValue[] = " のデータを書き出せませんでした";

enum class Key { Tcpip, NetBt };
std::string Path(Key key) { return key == Key::Tcpip ? kDemoLanTcpipKey : kDemoLanNetBtKey; }

std::string OpenFailed(Key key) { return "レジストリ " + Path(key) + " のopenでエラーが発生しました"; }
std::string QueryFailed(Key key, const std::string& value) {
  return "レジストリ " + Path(key) + "\\" + value + " のデータ取得でエラーが発生しました";
}

// `count` copies of `text`.
std::string Times(size_t count, std::string_view text) {
  std::string out;
  for (size_t i = 0; i < count; ++i) out += text;
  return out;
}
// What the tests put into every value before a write, to see which were written.
Raw Marker() { return {platform::kRegBinary, "\xEE\xEE"}; }

// The demo PC of one layout, its first adapter's two keys rewritten to the
// "office" values that Office() holds as a record.
class AdapterRegistry : public ::testing::TestWithParam<DemoVariant> {
 protected:
  void SetUp() override {
    xp_ = GetParam() == DemoVariant::WindowsXp;
    pc_ = std::make_unique<ScratchPc>(GetParam());
    sim_ = &pc_->Open();
    NewRun();
    ASSERT_EQ(context_->Os().IsWindowsXp(), xp_);
    ASSERT_EQ(context_->Os().IsWindows2000(), !xp_);

    Set(Key::Tcpip, "EnableDHCP", Dword(0));
    Set(Key::Tcpip, "IPAddress", MultiSz("192.168.1.20|192.168.1.21||"));
    Set(Key::Tcpip, "SubnetMask", MultiSz("255.255.255.0|255.255.0.0||"));
    Set(Key::Tcpip, "DefaultGateway", MultiSz("192.168.1.1|192.168.1.2||"));
    Set(Key::Tcpip, "DefaultGatewayMetric", MultiSz("1|2||"));
    Set(Key::Tcpip, "InterfaceMetric", Dword(20));
    Set(Key::Tcpip, "NameServer", Sz("10.0.0.1,10.0.0.2|"));
    Set(Key::Tcpip, "Domain", Sz("本社.example|"));
    Set(Key::Tcpip, UpdateName(), Dword(xp_ ? 1 : 0));  // update on
    Set(Key::Tcpip, RegistrationName(), Dword(0));
    Set(Key::NetBt, "NameServerList", MultiSz("10.0.0.8|10.0.0.9||"));
    Set(Key::NetBt, "NetbiosOptions", Dword(2));
    office_ = sim_->registry().ToRegedit4();
  }

  // The PC's values of SetUp, no injected failures, a fresh run.
  void Reset() {
    sim_->registry().ClearFailures();
    std::string error;
    ASSERT_TRUE(sim_->registry().LoadText(office_, error)) << error;
    NewRun();
  }
  void NewRun() {
    context_ = std::make_unique<Context>(sim_->platform(), kDemoIniPath,
                                         ReadOsInfo(sim_->platform().system));
    seen_ = sim_->Messages().size();
  }

  AdapterSettings Office() const {
    AdapterSettings s;
    s.Adapter = &adapter_;
    s.EnableDHCP = false;
    s.IPAddress = {"192.168.1.20", "192.168.1.21"};
    s.SubnetMask = {"255.255.255.0", "255.255.0.0"};
    s.Gateway = {"192.168.1.1", "192.168.1.2"};
    s.Metric = {"1", "2"};
    s.InterfaceMetric = 20;
    s.EnableDNS = false;
    s.DNS_Server = {"10.0.0.1", "10.0.0.2"};
    s.DOMAIN_Suffix = "本社.example";
    s.DOMAIN_Update = true;
    s.DOMAIN_Registration = false;
    s.WINS = {"10.0.0.8", "10.0.0.9"};
    s.NetBIOS = 2;
    return s;
  }
  // Differs from the office in every value.
  AdapterSettings Home() const {
    AdapterSettings s;
    s.Adapter = &adapter_;
    s.EnableDHCP = false;
    s.IPAddress = {"10.1.0.5"};
    s.SubnetMask = {"255.255.0.0"};
    s.Gateway = {"10.1.0.1"};
    s.Metric = {"5"};
    s.InterfaceMetric = 30;
    s.EnableDNS = false;
    s.DNS_Server = {"10.1.0.53", "10.1.0.54"};
    s.DOMAIN_Suffix = "home.example";
    s.DOMAIN_Update = false;
    s.DOMAIN_Registration = true;
    s.WINS = {"10.1.0.9"};
    s.NetBIOS = 1;
    return s;
  }

  // The names this layout uses for the two registration flags, and the other layout's.
  std::string UpdateName() const { return xp_ ? "RegistrationEnabled" : "DisableDynamicUpdate"; }
  std::string RegistrationName() const {
    return xp_ ? "RegisterAdapterName" : "EnableAdapterDomainNameRegistration";
  }
  std::string OtherUpdateName() const {
    return xp_ ? "DisableDynamicUpdate" : "RegistrationEnabled";
  }
  std::string OtherRegistrationName() const {
    return xp_ ? "EnableAdapterDomainNameRegistration" : "RegisterAdapterName";
  }

  // Every value the write may set, in the order it sets them.
  std::vector<std::pair<Key, std::string>> WriteOrder() const {
    return {{Key::Tcpip, "EnableDHCP"},     {Key::Tcpip, "IPAddress"},
            {Key::Tcpip, "SubnetMask"},     {Key::Tcpip, "DefaultGateway"},
            {Key::Tcpip, "DefaultGatewayMetric"}, {Key::Tcpip, "InterfaceMetric"},
            {Key::Tcpip, "NameServer"},     {Key::Tcpip, "Domain"},
            {Key::Tcpip, UpdateName()},     {Key::Tcpip, RegistrationName()},
            {Key::NetBt, "NameServerList"}, {Key::NetBt, "NetbiosOptions"}};
  }

  void Set(Key key, const std::string& name, const Raw& value) {
    platform::RegKey k;
    ASSERT_EQ(k.Open(sim_->registry(), Hive::LocalMachine, Path(key), platform::kKeyAllAccess),
              platform::kErrorSuccess);
    ASSERT_EQ(k.SetValue(name, value.type, value.data), platform::kErrorSuccess) << name;
  }
  void Delete(Key key, const std::string& name) {
    platform::RegKey k;
    ASSERT_EQ(k.Open(sim_->registry(), Hive::LocalMachine, Path(key), platform::kKeyAllAccess),
              platform::kErrorSuccess);
    k.DeleteValue(name);
  }
  // Nullopt when the value does not exist.
  std::optional<Raw> Get(Key key, const std::string& name) {
    platform::RegKey k;
    EXPECT_EQ(k.Open(sim_->registry(), Hive::LocalMachine, Path(key), platform::kKeyQueryValue),
              platform::kErrorSuccess);
    Raw raw;
    long rc = k.QueryValue(name, 1 << 16, raw.type, raw.data);
    if (rc == platform::kErrorFileNotFound) return std::nullopt;
    EXPECT_EQ(rc, platform::kErrorSuccess) << name;
    return raw;
  }
  // Every value of both layouts set to Marker().
  void Mark() {
    for (const auto& [key, name] : WriteOrder()) Set(key, name, Marker());
    Set(Key::Tcpip, OtherUpdateName(), Marker());
    Set(Key::Tcpip, OtherRegistrationName(), Marker());
  }
  void FailOpen(Key key) {
    sim_->registry().FailOpen(Hive::LocalMachine, Path(key), platform::kErrorAccessDenied);
  }
  void FailSetValue(Key key, const std::string& name) {
    sim_->registry().FailSetValue(Hive::LocalMachine, Path(key), name,
                                  platform::kErrorAccessDenied);
  }

  // The texts of the boxes shown since the last call (or the run's start);
  // each must be a warning over the main window.
  std::vector<std::string> Warnings() {
    std::vector<std::string> texts;
    const auto& all = sim_->Messages();
    for (size_t i = seen_; i < all.size(); ++i) {
      EXPECT_EQ(all[i].Owner, MessageOwner::MainWindow);
      EXPECT_EQ(all[i].Caption, "Velandra");
      EXPECT_EQ(all[i].Icon, MessageIcon::Warning);
      EXPECT_EQ(all[i].Buttons, MessageButtons::Ok);
      texts.push_back(all[i].Text);
    }
    seen_ = all.size();
    return texts;
  }

  bool xp_ = true;
  std::unique_ptr<ScratchPc> pc_;
  SimulatedPc* sim_ = nullptr;
  std::unique_ptr<Context> context_;
  AdapterInfo adapter_ = DemoLan();
  std::string office_;  // the registry after SetUp, REGEDIT4
  size_t seen_ = 0;
};

using Edit = std::function<void(AdapterSettings&)>;

// What the office record reads as when the TCP/IP key yields no value, and
// when the NetBT key yields none.
void TcpipValuesMissing(AdapterSettings& s) {
  s.EnableDHCP = s.EnableDNS = true;
  s.IPAddress.clear();
  s.SubnetMask.clear();
  s.Gateway.clear();
  s.Metric.clear();
  s.InterfaceMetric = 0;
  s.DNS_Server.clear();
  s.DOMAIN_Suffix.clear();
  s.DOMAIN_Update = true;
  s.DOMAIN_Registration = false;
}
void NetBtValuesMissing(AdapterSettings& s) {
  s.WINS.clear();
  s.NetBIOS = 1;
}
using config::kGroupDns;
using config::kGroupGateway;
using config::kGroupInterfaceMetric;
using config::kGroupIp;
using config::kGroupNetBios;
using config::kGroupRegistration;
using config::kGroupSuffix;
using config::kGroupUpdate;
using config::kGroupWins;

TEST_P(AdapterRegistry, CompareWithPcReadsTheLayoutsValues) {
  struct Row {
    const char* name;
    std::function<void()> pc;  // registry edits of the office values
    Edit stored;               // edits of the office record
    std::vector<AdapterGroup> differing;
    uint32_t kindXp;
    uint32_t kind2000;
  } rows[] = {
      {"equal", {}, {}, {}, 0, 0},
      {"address_differs",
       [&] { Set(Key::Tcpip, "IPAddress", MultiSz("192.168.1.20|192.168.1.22||")); }, {},
       {kGroupIp}, 1, 1},
      {"addresses_order_only",
       [&] {
         Set(Key::Tcpip, "IPAddress", MultiSz("192.168.1.21|192.168.1.20||"));
         Set(Key::Tcpip, "SubnetMask", MultiSz("255.255.0.0|255.255.255.0||"));
       },
       {}, {kGroupIp}, 1, 1},
      {"one_mask_fewer", [&] { Set(Key::Tcpip, "SubnetMask", MultiSz("255.255.255.0||")); }, {},
       {kGroupIp}, 1, 1},
      {"dhcp_on_pc", [&] { Set(Key::Tcpip, "EnableDHCP", Dword(1)); }, {}, {kGroupIp}, 1, 1},
      {"dhcp_on_both_ignores_addresses",
       [&] {
         Set(Key::Tcpip, "EnableDHCP", Dword(1));
         Set(Key::Tcpip, "IPAddress", MultiSz("0.0.0.0||"));
         Set(Key::Tcpip, "SubnetMask", MultiSz("0.0.0.0||"));
       },
       [](AdapterSettings& s) {
         s.EnableDHCP = true;
         s.IPAddress = {"10.9.9.9"};
       },
       {}, 0, 0},
      {"dhcp_on_both_still_compares_gateways",
       [&] {
         Set(Key::Tcpip, "EnableDHCP", Dword(1));
         Set(Key::Tcpip, "DefaultGateway", MultiSz("192.168.1.254|192.168.1.2||"));
       },
       [](AdapterSettings& s) { s.EnableDHCP = true; }, {kGroupGateway}, 1, 1},
      {"gateways_order_only",
       [&] {
         Set(Key::Tcpip, "DefaultGateway", MultiSz("192.168.1.2|192.168.1.1||"));
         Set(Key::Tcpip, "DefaultGatewayMetric", MultiSz("2|1||"));
       },
       {}, {kGroupGateway}, 1, 1},
      {"metric_differs", [&] { Set(Key::Tcpip, "DefaultGatewayMetric", MultiSz("1|5||")); }, {},
       {kGroupGateway}, 1, 1},
      {"one_metric_more", [&] { Set(Key::Tcpip, "DefaultGatewayMetric", MultiSz("1|2|3||")); },
       {}, {kGroupGateway}, 1, 1},
      {"interface_metric_automatic_on_pc", [&] { Delete(Key::Tcpip, "InterfaceMetric"); }, {},
       {kGroupInterfaceMetric}, 1, 1},
      {"interface_metric_automatic_on_both", [&] { Delete(Key::Tcpip, "InterfaceMetric"); },
       [](AdapterSettings& s) { s.InterfaceMetric = 0; }, {}, 0, 0},
      {"dns_order_only", [&] { Set(Key::Tcpip, "NameServer", Sz("10.0.0.2,10.0.0.1|")); }, {},
       {kGroupDns}, 1, 1},
      {"dns_one_server_fewer", [&] { Set(Key::Tcpip, "NameServer", Sz("10.0.0.1|")); }, {},
       {kGroupDns}, 1, 1},
      {"dns_automatic_stored", {}, [](AdapterSettings& s) { s.EnableDNS = true; }, {kGroupDns},
       1, 1},
      {"dns_automatic_on_both_ignores_servers",
       [&] {
         Set(Key::Tcpip, "EnableDHCP", Dword(1));
         Set(Key::Tcpip, "NameServer", Sz("|"));
       },
       [](AdapterSettings& s) { s.EnableDHCP = s.EnableDNS = true; }, {}, 0, 0},
      {"suffix_case_only", [&] { Set(Key::Tcpip, "Domain", Sz("本社.EXAMPLE|")); }, {},
       {kGroupSuffix}, 1, 1},
      {"update_off_on_pc", [&] { Set(Key::Tcpip, UpdateName(), Dword(xp_ ? 0 : 1)); }, {},
       {kGroupUpdate}, 1, 2},
      {"update_missing_reads_on", [&] { Delete(Key::Tcpip, UpdateName()); }, {}, {}, 0, 0},
      {"other_layouts_names_ignored",
       [&] {
         Set(Key::Tcpip, OtherUpdateName(), Dword(xp_ ? 1 : 0));  // "off" in its layout
         Set(Key::Tcpip, OtherRegistrationName(), Dword(1));
       },
       {}, {}, 0, 0},
      {"registration_on_pc", [&] { Set(Key::Tcpip, RegistrationName(), Dword(1)); }, {},
       {kGroupRegistration}, 1, 1},
      {"registration_2_reads_off", [&] { Set(Key::Tcpip, RegistrationName(), Dword(2)); }, {},
       {}, 0, 0},
      {"wins_order_only",
       [&] { Set(Key::NetBt, "NameServerList", MultiSz("10.0.0.9|10.0.0.8||")); }, {},
       {kGroupWins}, 1, 1},
      {"wins_none_on_pc", [&] { Set(Key::NetBt, "NameServerList", MultiSz("|")); }, {},
       {kGroupWins}, 1, 1},
      {"netbios_differs", [&] { Set(Key::NetBt, "NetbiosOptions", Dword(1)); }, {},
       {kGroupNetBios}, 2, 2},
      {"netbios_missing_reads_1", [&] { Delete(Key::NetBt, "NetbiosOptions"); },
       [](AdapterSettings& s) { s.NetBIOS = 1; }, {}, 0, 0},
      {"wins_and_netbios",
       [&] {
         Set(Key::NetBt, "NameServerList", MultiSz("10.0.0.8||"));
         Set(Key::NetBt, "NetbiosOptions", Dword(0));
       },
       {}, {kGroupWins, kGroupNetBios}, 2, 2},
      {"update_and_address",
       [&] {
         Set(Key::Tcpip, UpdateName(), Dword(xp_ ? 0 : 1));
         Set(Key::Tcpip, "IPAddress", MultiSz("192.168.1.20||"));
       },
       {}, {kGroupIp, kGroupUpdate}, 1, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    if (row.pc) row.pc();
    AdapterSettings stored = Office();
    if (row.stored) row.stored(stored);
    const uint32_t kind = xp_ ? row.kindXp : row.kind2000;
    EXPECT_EQ(stored.CompareWithPc(*context_), kind);
    EXPECT_EQ(stored.ChangeKind, kind);
    EXPECT_EQ(stored.Same, SameExcept(row.differing));
    EXPECT_TRUE(Warnings().empty());
  }
}

TEST_P(AdapterRegistry, WrittenRecordComparesEqual) {
  struct Row {
    const char* name;
    Edit edit;  // of the office record
  } rows[] = {
      {"dhcp_everything_automatic",
       [](AdapterSettings& s) {
         s.EnableDHCP = s.EnableDNS = true;
         s.Clear();
         s.InterfaceMetric = 0;
         s.DOMAIN_Suffix.clear();
         s.NetBIOS = 0;
       }},
      {"dhcp_keeps_static_values",
       [](AdapterSettings& s) {
         s.EnableDHCP = s.EnableDNS = true;
         s.NetBIOS = 1;
       }},
      {"dhcp_with_static_dns",
       [](AdapterSettings& s) {
         s.EnableDHCP = true;
         s.Gateway.clear();
         s.Metric.clear();
         s.DNS_Server = {"192.168.0.53", "192.168.0.54", "192.168.0.55"};
       }},
      {"static_several_of_everything",
       [](AdapterSettings& s) {
         s.IPAddress = {"172.16.0.10", "172.16.0.11", "172.16.0.12"};
         s.SubnetMask = {"255.255.0.0", "255.255.255.0", "255.0.0.0"};
         s.Gateway = {"172.16.0.1", "172.16.0.2", "172.16.0.3"};
         s.Metric = {"30", "10", "20"};
         s.InterfaceMetric = 9999;
         s.DNS_Server = {"172.16.0.3", "172.16.0.1", "10.0.0.1"};
         s.DOMAIN_Suffix = "表示.example";  // 表 ends in 0x5C
         s.DOMAIN_Update = false;
         s.DOMAIN_Registration = true;
         s.WINS = {"172.16.0.8", "172.16.0.9", "10.0.0.9"};
         s.NetBIOS = 1;
       }},
      {"static_one_address_nothing_else",
       [](AdapterSettings& s) {
         s.IPAddress = {"172.16.0.10"};
         s.SubnetMask = {"255.255.0.0"};
         s.Gateway.clear();
         s.Metric.clear();
         s.InterfaceMetric = 0;
         s.DNS_Server.clear();
         s.DOMAIN_Suffix.clear();
         s.WINS.clear();
         s.NetBIOS = 0;
       }},
      {"home", [&](AdapterSettings& s) { s = Home(); }},
  };
  for (const auto& row : rows) {
    for (bool diffCheck : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (diffCheck ? ", DIFFCHECK on" : ", DIFFCHECK off"));
      Reset();
      context_->DiffCheck = diffCheck;
      AdapterSettings s = Office();
      row.edit(s);
      if (diffCheck) s.CompareWithPc(*context_);  // the apply flow compares first
      EXPECT_TRUE(s.WriteToPc(*context_));
      EXPECT_EQ(s.CompareWithPc(*context_), 0u);
      EXPECT_EQ(s.Same, SameExcept({}));
      EXPECT_TRUE(Warnings().empty());
      EXPECT_FALSE(context_->QuitCode().has_value());
    }
  }
}

TEST_P(AdapterRegistry, ValuesAreWrittenInTheirRegistryForms) {
  struct Value {
    Key key;
    std::string name;
    std::optional<Raw> raw;  // nullopt: deleted
  };
  struct Row {
    const char* name;
    Edit edit;  // of the office record
    std::vector<Value> values;
  } rows[] = {
      {"office",
       {},
       {{Key::Tcpip, "EnableDHCP", Dword(0)},
        {Key::Tcpip, "IPAddress", MultiSz("192.168.1.20|192.168.1.21||")},
        {Key::Tcpip, "SubnetMask", MultiSz("255.255.255.0|255.255.0.0||")},
        {Key::Tcpip, "DefaultGateway", MultiSz("192.168.1.1|192.168.1.2||")},
        {Key::Tcpip, "DefaultGatewayMetric", MultiSz("1|2||")},
        {Key::Tcpip, "InterfaceMetric", Dword(20)},
        {Key::Tcpip, "NameServer", Sz("10.0.0.1,10.0.0.2|")},
        {Key::Tcpip, "Domain", Sz("本社.example|")},
        {Key::Tcpip, UpdateName(), Dword(xp_ ? 1 : 0)},
        {Key::Tcpip, RegistrationName(), Dword(0)},
        {Key::NetBt, "NameServerList", MultiSz("10.0.0.8|10.0.0.9||")},
        {Key::NetBt, "NetbiosOptions", Dword(2)}}},
      // The list form of "0.0.0.0" on purpose: 9 bytes, not the bare text's 8.
      {"dhcp_with_gateways",
       [](AdapterSettings& s) {
         s.EnableDHCP = true;
         s.Gateway = {"10.0.0.1", "10.0.0.2"};
         s.Metric = {"1", "2"};
       },
       {{Key::Tcpip, "EnableDHCP", Dword(1)},
        {Key::Tcpip, "IPAddress", MultiSz("0.0.0.0||")},
        {Key::Tcpip, "SubnetMask", MultiSz("0.0.0.0||")},
        {Key::Tcpip, "DefaultGateway", MultiSz("10.0.0.1|10.0.0.2||")},
        {Key::Tcpip, "DefaultGatewayMetric", MultiSz("1|2||")}}},
      {"no_gateway", [](AdapterSettings& s) {
         s.Gateway.clear();
         s.Metric.clear();
       },
       {{Key::Tcpip, "DefaultGateway", MultiSz("|")},
        {Key::Tcpip, "DefaultGatewayMetric", MultiSz("|")}}},
      {"interface_metric_0_deletes", [](AdapterSettings& s) { s.InterfaceMetric = 0; },
       {{Key::Tcpip, "InterfaceMetric", std::nullopt}}},
      {"update_off", [](AdapterSettings& s) { s.DOMAIN_Update = false; },
       {{Key::Tcpip, UpdateName(), Dword(xp_ ? 0 : 1)}}},
      {"registration_on", [](AdapterSettings& s) { s.DOMAIN_Registration = true; },
       {{Key::Tcpip, RegistrationName(), Dword(1)}}},
      {"wins_none", [](AdapterSettings& s) { s.WINS.clear(); },
       {{Key::NetBt, "NameServerList", MultiSz("|")}}},
      {"dns_three_servers",
       [](AdapterSettings& s) { s.DNS_Server = {"10.0.0.1", "10.0.0.2", "10.0.0.3"}; },
       {{Key::Tcpip, "NameServer", Sz("10.0.0.1,10.0.0.2,10.0.0.3|")}}},
      {"dns_automatic_keeps_no_servers", [](AdapterSettings& s) { s.EnableDNS = true; },
       {{Key::Tcpip, "NameServer", Sz("|")}}},
      {"suffix_with_0x5C_trail_byte", [](AdapterSettings& s) { s.DOMAIN_Suffix = "表示.example"; },
       {{Key::Tcpip, "Domain", Sz("表示.example|")}}},
      {"suffix_empty", [](AdapterSettings& s) { s.DOMAIN_Suffix.clear(); },
       {{Key::Tcpip, "Domain", Sz("|")}}},
      {"netbios_0", [](AdapterSettings& s) { s.NetBIOS = 0; },
       {{Key::NetBt, "NetbiosOptions", Dword(0)}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    Mark();
    AdapterSettings s = Office();
    if (row.edit) row.edit(s);
    EXPECT_TRUE(s.WriteToPc(*context_));
    for (const auto& v : row.values) EXPECT_EQ(Get(v.key, v.name), v.raw) << v.name;
    EXPECT_EQ(Get(Key::Tcpip, OtherUpdateName()), Marker());
    EXPECT_EQ(Get(Key::Tcpip, OtherRegistrationName()), Marker());
    EXPECT_TRUE(Warnings().empty());
  }

  // A DHCP record's "0.0.0.0" reads back as one item once the adapter is static.
  Reset();
  AdapterSettings dhcp = Office();
  dhcp.EnableDHCP = true;
  ASSERT_TRUE(dhcp.WriteToPc(*context_));
  Set(Key::Tcpip, "EnableDHCP", Dword(0));
  AdapterSettings read;
  read.Adapter = &adapter_;
  read.ReadFromPc(*context_);
  EXPECT_EQ(read.IPAddress, std::vector<std::string>{"0.0.0.0"});
  EXPECT_EQ(read.SubnetMask, std::vector<std::string>{"0.0.0.0"});
}

TEST_P(AdapterRegistry, ReadingEdgeCases) {
  const std::string domain127(127, 'd');
  // DHCP on: no addresses; and without a server, automatic DNS.
  const Edit readsDhcp = [](AdapterSettings& s) {
    s.EnableDHCP = true;
    s.IPAddress.clear();
    s.SubnetMask.clear();
  };
  const Edit readsAutomaticDns = [&](AdapterSettings& s) {
    readsDhcp(s);
    s.EnableDNS = true;
    s.DNS_Server.clear();
  };
  struct Row {
    const char* name;
    std::function<void()> pc;  // registry edits of the office values
    Edit expect;               // edits of the office record
  } rows[] = {
      {"office", {}, {}},
      {"no_enable_dhcp", [&] { Delete(Key::Tcpip, "EnableDHCP"); }, readsDhcp},
      {"enable_dhcp_of_0_bytes", [&] { Set(Key::Tcpip, "EnableDHCP", {platform::kRegDword, ""}); },
       readsDhcp},
      {"enable_dhcp_2", [&] { Set(Key::Tcpip, "EnableDHCP", Dword(2)); }, readsDhcp},
      {"type_not_looked_at",
       [&] { Set(Key::Tcpip, "EnableDHCP", {platform::kRegBinary, std::string(4, '\0')}); }, {}},
      {"dhcp_without_nameserver",
       [&] {
         Set(Key::Tcpip, "EnableDHCP", Dword(1));
         Delete(Key::Tcpip, "NameServer");
       },
       readsAutomaticDns},
      {"dhcp_with_empty_nameserver",
       [&] {
         Set(Key::Tcpip, "EnableDHCP", Dword(1));
         Set(Key::Tcpip, "NameServer", Sz("|"));
       },
       readsAutomaticDns},
      // EnableDNS stays false, both servers in order.
      {"dhcp_with_two_servers", [&] { Set(Key::Tcpip, "EnableDHCP", Dword(1)); }, readsDhcp},
      {"static_without_nameserver", [&] { Delete(Key::Tcpip, "NameServer"); },
       [](AdapterSettings& s) { s.DNS_Server.clear(); }},
      {"nameserver_with_space_separator",
       [&] { Set(Key::Tcpip, "NameServer", Sz("10.0.0.1 10.0.0.2|")); },
       [](AdapterSettings& s) { s.DNS_Server = {"10.0.0.1 10.0.0.2"}; }},
      {"list_ends_at_first_empty_item",
       [&] { Set(Key::Tcpip, "IPAddress", MultiSz("192.168.1.20||192.168.1.21||")); },
       [](AdapterSettings& s) { s.IPAddress = {"192.168.1.20"}; }},
      {"list_without_its_final_zero",
       [&] { Set(Key::Tcpip, "DefaultGateway", MultiSz("192.168.1.1|192.168.1.2|")); }, {}},
      {"update_off", [&] { Set(Key::Tcpip, UpdateName(), Dword(xp_ ? 0 : 1)); },
       [](AdapterSettings& s) { s.DOMAIN_Update = false; }},
      {"flags_of_2",  // update true only for its one value, registration only for 1
       [&] {
         Set(Key::Tcpip, UpdateName(), Dword(2));
         Set(Key::Tcpip, RegistrationName(), Dword(2));
       },
       [](AdapterSettings& s) { s.DOMAIN_Update = false; }},
      {"domain_of_127_bytes", [&] { Set(Key::Tcpip, "Domain", Sz(domain127 + "|")); },
       [&](AdapterSettings& s) { s.DOMAIN_Suffix = domain127; }},
      {"tcpip_values_all_missing",
       [&] {
         for (const auto& [key, name] : WriteOrder())
           if (key == Key::Tcpip) Delete(key, name);
       },
       TcpipValuesMissing},
      {"netbt_values_missing",
       [&] {
         Delete(Key::NetBt, "NameServerList");
         Delete(Key::NetBt, "NetbiosOptions");
       },
       NetBtValuesMissing},
      {"failed_queries_are_missing",
       [&] {
         const std::vector<std::pair<Key, std::string>> failing = {
             {Key::Tcpip, "InterfaceMetric"}, {Key::Tcpip, "NameServer"},
             {Key::Tcpip, "Domain"}, {Key::NetBt, "NameServerList"}};
         for (const auto& [key, name] : failing)
           sim_->registry().FailQuery(Hive::LocalMachine, Path(key), name,
                                      platform::kErrorInvalidData);
       },
       [](AdapterSettings& s) {
         s.InterfaceMetric = 0;
         s.DNS_Server.clear();
         s.DOMAIN_Suffix.clear();
         s.WINS.clear();
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    if (row.pc) row.pc();
    AdapterSettings expected = Office();
    if (row.expect) row.expect(expected);
    AdapterSettings read = Home();  // every list is replaced, none appended to
    read.ReadFromPc(*context_);
    EXPECT_EQ(Dump(read), Dump(expected));
    EXPECT_TRUE(Warnings().empty());
    EXPECT_FALSE(context_->QuitCode().has_value());
  }
}

// With DIFFCHECK on only the differing groups are written: every other value
// and every key without a differing group fails when touched.
TEST_P(AdapterRegistry, DiffCheckWritesOnlyTheDifferingGroups) {
  struct Row {
    const char* name;
    Edit edit;  // of the office record, which is the PC's
    std::vector<AdapterGroup> differing;
    std::vector<std::string> written;
    bool tcpipOpened;
    bool netbtOpened;
  } rows[] = {
      {"all_same", {}, {}, {}, false, false},
      {"wins_only", [](AdapterSettings& s) { std::swap(s.WINS[0], s.WINS[1]); }, {kGroupWins},
       {"NameServerList"}, false, true},
      {"netbios_only", [](AdapterSettings& s) { s.NetBIOS = 0; }, {kGroupNetBios},
       {"NetbiosOptions"}, false, true},
      {"ip_only", [](AdapterSettings& s) { s.IPAddress[1] = "192.168.1.22"; }, {kGroupIp},
       {"EnableDHCP", "IPAddress", "SubnetMask"}, true, false},
      {"gateway_only", [](AdapterSettings& s) { s.Metric[0] = "3"; }, {kGroupGateway},
       {"DefaultGateway", "DefaultGatewayMetric"}, true, false},
      {"interface_metric_to_automatic", [](AdapterSettings& s) { s.InterfaceMetric = 0; },
       {kGroupInterfaceMetric}, {}, true, false},
      {"dns_only", [](AdapterSettings& s) { s.DNS_Server.pop_back(); }, {kGroupDns},
       {"NameServer"}, true, false},
      {"update_and_registration",
       [](AdapterSettings& s) {
         s.DOMAIN_Update = false;
         s.DOMAIN_Registration = true;
       },
       {kGroupUpdate, kGroupRegistration}, {UpdateName(), RegistrationName()}, true, false},
      {"suffix_and_wins",
       [](AdapterSettings& s) {
         s.DOMAIN_Suffix.clear();
         s.WINS.clear();
       },
       {kGroupSuffix, kGroupWins}, {"Domain", "NameServerList"}, true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    context_->DiffCheck = true;
    AdapterSettings s = Office();
    if (row.edit) row.edit(s);
    s.CompareWithPc(*context_);
    ASSERT_EQ(s.Same, SameExcept(row.differing));

    if (!row.tcpipOpened) FailOpen(Key::Tcpip);
    if (!row.netbtOpened) FailOpen(Key::NetBt);
    for (const auto& [key, name] : WriteOrder())
      if (std::find(row.written.begin(), row.written.end(), name) == row.written.end())
        FailSetValue(key, name);
    EXPECT_TRUE(s.WriteToPc(*context_));
    EXPECT_TRUE(Warnings().empty());

    sim_->registry().ClearFailures();
    EXPECT_EQ(s.CompareWithPc(*context_), 0u);
  }
}

TEST_P(AdapterRegistry, KeyFailingToOpenWhileReading) {
  struct Row {
    const char* name;
    std::vector<Key> failing;
    std::vector<Edit> expect;
  } rows[] = {
      {"tcpip", {Key::Tcpip}, {TcpipValuesMissing}},
      {"netbt", {Key::NetBt}, {NetBtValuesMissing}},
      {"both", {Key::Tcpip, Key::NetBt}, {TcpipValuesMissing, NetBtValuesMissing}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    std::vector<std::string> messages;
    for (Key k : row.failing) {
      FailOpen(k);
      messages.push_back(OpenFailed(k));
    }
    auto read = AdapterSettings::BuildFromPc(*context_, adapter_);
    AdapterSettings expected = Office();
    for (const auto& e : row.expect) e(expected);
    EXPECT_EQ(Dump(*read), Dump(expected));
    EXPECT_EQ(Warnings(), messages);
    EXPECT_EQ(context_->QuitCode(), std::optional<int>(1));
  }
}

TEST_P(AdapterRegistry, KeyFailingToOpenWhileWriting) {
  for (Key failing : {Key::Tcpip, Key::NetBt}) {
    SCOPED_TRACE(Path(failing));
    Reset();
    FailOpen(failing);
    AdapterSettings s = Home();
    EXPECT_FALSE(s.WriteToPc(*context_));
    EXPECT_EQ(Warnings(), std::vector<std::string>{OpenFailed(failing)});
    EXPECT_FALSE(context_->QuitCode().has_value());

    sim_->registry().ClearFailures();
    if (failing == Key::Tcpip) {
      EXPECT_EQ(sim_->registry().ToRegedit4(), office_);  // nothing written
    } else {
      // The TCP/IP values went in before; nothing of the NetBT key did.
      s.CompareWithPc(*context_);
      EXPECT_EQ(s.Same, SameExcept({kGroupWins, kGroupNetBios}));
    }
  }
}

TEST_P(AdapterRegistry, ValueFailingToWriteEndsTheWrite) {
  struct Row {
    std::string value;
    bool automaticDns;
    std::string ending;
  } rows[] = {
      {"EnableDHCP", false, "\\EnableDHCP にデータを書き出せませんでした"},
      {"IPAddress", false, "\\IPAddress にデータを書き出せませんでした"},
      {"SubnetMask", false, "\\SubnetMask にデータを書き出せませんでした"},
      {"DefaultGateway", false, "\\DefaultGateway にデータを書き出せませんでした"},
      {"DefaultGatewayMetric", false, "\\DefaultGatewayMetric にデータを書き出せませんでした"},
      {"InterfaceMetric", false, "\\InterfaceMetric にデータを書き出せませんでした"},
      {"NameServer", true, "\\NameServer にデータを書き出せませんでした"},
      {"NameServer", false, "\\NameServer のデータを書き出せませんでした"},
      {"Domain", false, "\\Domain のデータを書き出せませんでした"},
      {UpdateName(), false,
       xp_ ? "\\RegistrationEnabled のデータを書き出せませんでした"
           : "\\DisableDynamicUpdate のデータを書き出せませんでした"},
      {RegistrationName(), false,
       xp_ ? "\\RegisterAdapterName のデータを書き出せませんでした"
           : "\\EnableAdapterDomainNameRegistration のデータを書き出せませんでした"},
      {"NameServerList", false, "\\NameServerList のデータを書き出せませんでした"},
      {"NetbiosOptions", false, "\\NetbiosOptions のデータを書き出せませんでした"},
  };
  const auto order = WriteOrder();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value + (row.automaticDns ? ", automatic DNS" : ""));
    const std::vector<Raw> home = {
        Dword(0),
        MultiSz("10.1.0.5||"),
        MultiSz("255.255.0.0||"),
        MultiSz("10.1.0.1||"),
        MultiSz("5||"),
        Dword(30),
        row.automaticDns ? Sz("|") : Sz("10.1.0.53,10.1.0.54|"),
        Sz("home.example|"),
        Dword(xp_ ? 0 : 1),
        Dword(1),
        MultiSz("10.1.0.9||"),
        Dword(1),
    };
    ASSERT_EQ(home.size(), order.size());
    size_t failed = 0;
    while (order[failed].second != row.value) ++failed;
    const Key key = order[failed].first;

    Reset();
    Mark();
    FailSetValue(key, row.value);
    AdapterSettings s = Home();
    s.EnableDNS = row.automaticDns;
    EXPECT_FALSE(s.WriteToPc(*context_));
    EXPECT_EQ(Warnings(), std::vector<std::string>{"レジストリ " + Path(key) + row.ending});
    EXPECT_FALSE(context_->QuitCode().has_value());

    sim_->registry().ClearFailures();
    for (size_t i = 0; i < order.size(); ++i)
      EXPECT_EQ(Get(order[i].first, order[i].second), i < failed ? home[i] : Marker())
          << order[i].second;
  }
}

TEST_P(AdapterRegistry, OverLongRegistryListIsReportedAndMissing) {
  const std::string a200(200, '1');
  const std::string over256 = Times(16, "192.168.100.100|") + "|";  // 257 bytes
  struct Row {
    const char* name;
    Key key;
    std::string value;
    Raw raw;
    bool reported;
    Edit expect;  // of the office record
  } rows[] = {
      {"addresses_over_256_bytes", Key::Tcpip, "IPAddress", MultiSz(over256), true,
       [](AdapterSettings& s) { s.IPAddress.clear(); }},
      {"addresses_of_254_characters", Key::Tcpip, "IPAddress",
       MultiSz(a200 + "|" + std::string(53, '2') + "||"), false,
       [&](AdapterSettings& s) { s.IPAddress = {a200, std::string(53, '2')}; }},
      // 256 bytes, but without the list's final zero the items join to 255.
      {"masks_of_255_characters", Key::Tcpip, "SubnetMask",
       MultiSz(a200 + "|" + std::string(54, '2') + "|"), true,
       [](AdapterSettings& s) { s.SubnetMask.clear(); }},
      {"gateways_over_256_bytes", Key::Tcpip, "DefaultGateway", MultiSz(over256), true,
       [](AdapterSettings& s) { s.Gateway.clear(); }},
      {"metrics_over_256_bytes", Key::Tcpip, "DefaultGatewayMetric",
       MultiSz(Times(130, "1|") + "|"), true, [](AdapterSettings& s) { s.Metric.clear(); }},
      {"dns_of_254_characters", Key::Tcpip, "NameServer", Sz(std::string(254, '3') + "|"), false,
       [](AdapterSettings& s) { s.DNS_Server = {std::string(254, '3')}; }},
      {"dns_of_255_characters", Key::Tcpip, "NameServer", Sz(std::string(255, '3') + "|"), true,
       [](AdapterSettings& s) { s.DNS_Server.clear(); }},
      {"dns_over_256_bytes", Key::Tcpip, "NameServer", Sz(Times(20, "10.100.100.100,") + "|"),
       true, [](AdapterSettings& s) { s.DNS_Server.clear(); }},
      {"wins_over_256_bytes", Key::NetBt, "NameServerList", MultiSz(over256), true,
       [](AdapterSettings& s) { s.WINS.clear(); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    Set(row.key, row.value, row.raw);
    AdapterSettings expected = Office();
    row.expect(expected);
    auto read = AdapterSettings::BuildFromPc(*context_, adapter_);
    EXPECT_EQ(Dump(*read), Dump(expected));
    EXPECT_EQ(Warnings(), row.reported ? std::vector<std::string>{QueryFailed(row.key, row.value)}
                                       : std::vector<std::string>{});
  }

  // With DHCP on the addresses are not read, so not reported either.
  Reset();
  Set(Key::Tcpip, "EnableDHCP", Dword(1));
  Set(Key::Tcpip, "IPAddress", MultiSz(over256));
  auto read = AdapterSettings::BuildFromPc(*context_, adapter_);
  EXPECT_TRUE(read->IPAddress.empty());
  EXPECT_TRUE(Warnings().empty());
}

TEST_P(AdapterRegistry, OverLongRecordListIsRefusedBeforeAnyWrite) {
  const std::vector<std::string> over(16, "192.168.100.100");  // 16*15+15 = 255 characters
  std::vector<std::string> at254 = over;
  at254.back() = "192.168.100.10";
  struct Row {
    const char* name;
    Edit edit;  // of the home record, which differs from the PC in every value
    std::string refused;  // empty: accepted
    Key key;
    const char* ending;
  } rows[] = {
      {"addresses", [&](AdapterSettings& s) { s.IPAddress = over; }, "IPAddress", Key::Tcpip,
       kToValue},
      {"masks", [&](AdapterSettings& s) { s.SubnetMask = over; }, "SubnetMask", Key::Tcpip,
       kToValue},
      {"gateways", [&](AdapterSettings& s) { s.Gateway = over; }, "DefaultGateway", Key::Tcpip,
       kToValue},
      {"metrics", [](AdapterSettings& s) { s.Metric.assign(128, "1"); }, "DefaultGatewayMetric",
       Key::Tcpip, kToValue},
      {"dns_servers", [&](AdapterSettings& s) { s.DNS_Server = over; }, "NameServer", Key::Tcpip,
       kOfValue},
      {"wins_servers", [&](AdapterSettings& s) { s.WINS = over; }, "NameServerList", Key::NetBt,
       kOfValue},
      // An empty item would end the stored list there and lose the rest.
      {"empty_item_in_addresses",
       [](AdapterSettings& s) {
         s.IPAddress = {"10.1.0.5", "", "10.1.0.7"};
         s.SubnetMask = {"255.255.0.0", "255.255.0.0", "255.255.0.0"};
       },
       "IPAddress", Key::Tcpip, kToValue},
      {"addresses_of_254_characters",
       [&](AdapterSettings& s) {
         s.IPAddress = at254;
         s.SubnetMask.assign(at254.size(), "255.255.0.0");
       },
       "", Key::Tcpip, ""},
      {"dhcp_leaves_long_addresses_out",
       [&](AdapterSettings& s) {
         s.EnableDHCP = true;
         s.IPAddress = over;
       },
       "", Key::Tcpip, ""},
      {"automatic_dns_leaves_long_servers_out",
       [&](AdapterSettings& s) {
         s.EnableDHCP = s.EnableDNS = true;
         s.DNS_Server = over;
       },
       "", Key::Tcpip, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    AdapterSettings s = Home();
    row.edit(s);
    if (!row.refused.empty()) {
      EXPECT_FALSE(s.WriteToPc(*context_));
      EXPECT_EQ(Warnings(),
                std::vector<std::string>{"レジストリ " + Path(row.key) + "\\" + row.refused +
                                         row.ending});
      EXPECT_EQ(sim_->registry().ToRegedit4(), office_);
    } else {
      EXPECT_TRUE(s.WriteToPc(*context_));
      EXPECT_TRUE(Warnings().empty());
      EXPECT_EQ(s.CompareWithPc(*context_), 0u);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, AdapterRegistry, velandra::testing::DemoLayouts(),
                         velandra::testing::DemoLayoutName);

}  // namespace
}  // namespace velandra
