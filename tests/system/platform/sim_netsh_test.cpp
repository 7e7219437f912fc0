#include "system/platform/sim/sim_netsh.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/adapter_settings.h"
#include "support/adapter_records.h"
#include "support/demo_pc_facts.h"
#include "support/registry_values.h"
#include "support/scratch_dir.h"
#include "system/adapter_registry.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/platform/registry.h"
#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {
namespace {

using config::AdapterSettings;
using velandra::testing::DemoLan;
using velandra::testing::Dump;
using velandra::testing::Dword;
using velandra::testing::kDemoIniPath;
using velandra::testing::kDemoLanGuid;
using velandra::testing::kDemoWlanGuid;
using velandra::testing::MultiSz;
using velandra::testing::Raw;
using velandra::testing::ScratchPc;
using velandra::testing::Sz;

// The demo PC's two adapters: "ローカル エリア接続" static 192.168.1.20/24,
// gateway 192.168.1.1 (metric 0), DNS 192.168.1.1, WINS 192.168.1.2;
// "ワイヤレス ネットワーク接続" on DHCP with nothing else.
constexpr char kWlanConnection[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\"
    "{A3C5E7F9-1B2D-4E6F-8A9B-0C1D2E3F4A5B}\\Connection";

enum class Key { LanTcpip, LanNetBt, WlanTcpip, WlanNetBt };
std::string Path(Key key) {
  switch (key) {
    case Key::LanTcpip: return TcpipInterfaceKey(kDemoLanGuid);
    case Key::LanNetBt: return NetBtInterfaceKey(kDemoLanGuid);
    case Key::WlanTcpip: return TcpipInterfaceKey(kDemoWlanGuid);
    case Key::WlanNetBt: return NetBtInterfaceKey(kDemoWlanGuid);
  }
  return {};
}

// A batch line's arguments after "netsh", as Windows splits a command line
// without backslash escapes: blanks part them, double quotes group and go.
// $LAN and $WLAN stand for the two connection names, quoted as the batch
// quotes them; $R for the batch's register part (" register=PRIMARY" on XP,
// nothing on Windows 2000).
std::vector<std::string> Args(std::string line, bool xp) {
  auto replace = [&](std::string_view from, std::string_view to) {
    for (size_t at; (at = line.find(from)) != std::string::npos;) line.replace(at, from.size(), to);
  };
  replace("$WLAN", "\"ワイヤレス ネットワーク接続\"");
  replace("$LAN", "\"ローカル エリア接続\"");
  replace("$R", xp ? " register=PRIMARY" : "");
  std::vector<std::string> args;
  std::string current;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (c == ' ' && !quoted) {
      if (any) args.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) args.push_back(current);
  return args;
}

class SimNetsh : public ::testing::TestWithParam<DemoVariant> {
 protected:
  void SetUp() override {
    xp_ = GetParam() == DemoVariant::WindowsXp;
    pc_ = std::make_unique<ScratchPc>(GetParam());
    sim_ = &pc_->Open();
    demo_ = sim_->registry().ToRegedit4();
  }

  void Reset() {
    sim_->registry().ClearFailures();
    std::string error;
    ASSERT_TRUE(sim_->registry().LoadText(demo_, error)) << error;
  }

  int Run(const std::string& line, std::string& output) {
    output.clear();
    return RunNetsh(*sim_, Args(line, xp_), output);
  }
  // Runs a line that must succeed.
  void Ok(const std::string& line) {
    std::string output;
    EXPECT_EQ(Run(line, output), 0) << line << "\n" << Cp932ToUtf8(output);
    EXPECT_EQ(output, "Ok.\r\n");
  }

  std::optional<Raw> Get(SimRegistry& registry, Key key, const std::string& name) {
    RegKey k;
    EXPECT_EQ(k.Open(registry, Hive::LocalMachine, Path(key), kKeyQueryValue), kErrorSuccess);
    Raw raw;
    if (k.QueryValue(name, 1 << 16, raw.type, raw.data) != kErrorSuccess) return std::nullopt;
    return raw;
  }
  void Set(SimRegistry& registry, Key key, const std::string& name, const Raw& value) {
    RegKey k;
    ASSERT_EQ(k.Open(registry, Hive::LocalMachine, Path(key), kKeyAllAccess), kErrorSuccess);
    ASSERT_EQ(k.SetValue(name, value.type, value.data), kErrorSuccess) << name;
  }

  // The first adapter as Velandra reads it from the PC.
  AdapterSettings ReadLan(SimulatedPc& pc) {
    Context context(pc.platform(), kDemoIniPath, ReadOsInfo(pc.platform().system));
    AdapterSettings s;
    s.Adapter = &lan_;
    ReadAdapterSettingsFromPc(context, s);
    return s;
  }

  bool xp_ = false;
  std::unique_ptr<ScratchPc> pc_;
  SimulatedPc* sim_ = nullptr;
  AdapterInfo lan_ = DemoLan();
  std::string demo_;
};

struct Change {
  Key key;
  const char* name;
  Raw value;
};

// One command on the demo PC: these values change, and nothing else does.
TEST_P(SimNetsh, EachCommandStoresWhatWindowsStores) {
  struct Row {
    const char* line;
    std::vector<Change> changes;
    bool xpOnly = false;
  } rows[] = {
      // Addresses. Switching to DHCP leaves the gateways alone.
      {"interface ip set address name=$LAN source=dhcp",
       {{Key::LanTcpip, "EnableDHCP", Dword(1)},
        {Key::LanTcpip, "IPAddress", MultiSz("0.0.0.0||")},
        {Key::LanTcpip, "SubnetMask", MultiSz("0.0.0.0||")}}},
      {"interface ip set address name=$WLAN source=static addr=10.0.0.5 mask=255.0.0.0",
       {{Key::WlanTcpip, "EnableDHCP", Dword(0)},
        {Key::WlanTcpip, "IPAddress", MultiSz("10.0.0.5||")},
        {Key::WlanTcpip, "SubnetMask", MultiSz("255.0.0.0||")}}},
      {"interface ip set address name=$LAN source=static addr=10.0.0.5 mask=255.255.0.0 "
       "gateway=10.0.0.1 gwmetric=2",
       {{Key::LanTcpip, "EnableDHCP", Dword(0)},
        {Key::LanTcpip, "IPAddress", MultiSz("10.0.0.5||")},
        {Key::LanTcpip, "SubnetMask", MultiSz("255.255.0.0||")},
        {Key::LanTcpip, "DefaultGateway", MultiSz("10.0.0.1||")},
        {Key::LanTcpip, "DefaultGatewayMetric", MultiSz("2||")}}},
      {"interface ip add address name=$LAN addr=192.168.1.21 mask=255.255.0.0",
       {{Key::LanTcpip, "IPAddress", MultiSz("192.168.1.20|192.168.1.21||")},
        {Key::LanTcpip, "SubnetMask", MultiSz("255.255.255.0|255.255.0.0||")}}},
      {"interface ip add address name=$LAN addr=192.168.1.21 mask=255.255.255.128 "
       "gateway=192.168.1.254 gwmetric=3",
       {{Key::LanTcpip, "IPAddress", MultiSz("192.168.1.20|192.168.1.21||")},
        {Key::LanTcpip, "SubnetMask", MultiSz("255.255.255.0|255.255.255.128||")},
        {Key::LanTcpip, "DefaultGateway", MultiSz("192.168.1.1|192.168.1.254||")},
        {Key::LanTcpip, "DefaultGatewayMetric", MultiSz("0|3||")}}},
      {"interface ip set address name=$LAN gateway=192.168.1.254 gwmetric=5",
       {{Key::LanTcpip, "DefaultGateway", MultiSz("192.168.1.254||")},
        {Key::LanTcpip, "DefaultGatewayMetric", MultiSz("5||")}}},
      // The metric is stored as its number.
      {"interface ip add address name=$LAN gateway=192.168.1.254 gwmetric=05",
       {{Key::LanTcpip, "DefaultGateway", MultiSz("192.168.1.1|192.168.1.254||")},
        {Key::LanTcpip, "DefaultGatewayMetric", MultiSz("0|5||")}}},
      // Static gateways beside DHCP.
      {"interface ip add address name=$WLAN gateway=10.0.0.254 gwmetric=1",
       {{Key::WlanTcpip, "DefaultGateway", MultiSz("10.0.0.254||")},
        {Key::WlanTcpip, "DefaultGatewayMetric", MultiSz("1||")}}},
      {"interface ip delete address name=$LAN gateway=all",
       {{Key::LanTcpip, "DefaultGateway", MultiSz("|")},
        {Key::LanTcpip, "DefaultGatewayMetric", MultiSz("|")}}},
      // DNS servers.
      {"interface ip set dns name=$LAN source=dhcp", {{Key::LanTcpip, "NameServer", Sz("|")}}},
      {"interface ip set dns name=$WLAN source=static addr=10.0.0.53",
       {{Key::WlanTcpip, "NameServer", Sz("10.0.0.53|")}}},
      {"interface ip add dns name=$LAN addr=10.0.0.53",
       {{Key::LanTcpip, "NameServer", Sz("192.168.1.1,10.0.0.53|")}}},
      {"interface ip add dns name=$LAN addr=10.0.0.53 index=1",
       {{Key::LanTcpip, "NameServer", Sz("10.0.0.53,192.168.1.1|")}}},
      {"interface ip add dns name=$LAN addr=10.0.0.53 index=9",
       {{Key::LanTcpip, "NameServer", Sz("192.168.1.1,10.0.0.53|")}}},
      {"interface ip add dns name=$WLAN addr=10.0.0.53 index=1",
       {{Key::WlanTcpip, "NameServer", Sz("10.0.0.53|")}}},
      {"interface ip delete dns name=$LAN all", {{Key::LanTcpip, "NameServer", Sz("|")}}},
      // The registration flags, on XP only.
      {"interface ip set dns name=$LAN source=static addr=10.0.0.53 register=NONE",
       {{Key::LanTcpip, "NameServer", Sz("10.0.0.53|")},
        {Key::LanTcpip, "RegistrationEnabled", Dword(0)},
        {Key::LanTcpip, "RegisterAdapterName", Dword(0)}},
       true},
      {"interface ip set dns name=$LAN source=static addr=10.0.0.53 register=PRIMARY",
       {{Key::LanTcpip, "NameServer", Sz("10.0.0.53|")},
        {Key::LanTcpip, "RegistrationEnabled", Dword(1)},
        {Key::LanTcpip, "RegisterAdapterName", Dword(0)}},
       true},
      {"interface ip set dns name=$WLAN source=dhcp register=both",
       {{Key::WlanTcpip, "NameServer", Sz("|")},
        {Key::WlanTcpip, "RegistrationEnabled", Dword(1)},
        {Key::WlanTcpip, "RegisterAdapterName", Dword(1)}},
       true},
      // WINS servers.
      {"interface ip set wins name=$LAN source=static addr=10.0.0.8",
       {{Key::LanNetBt, "NameServerList", MultiSz("10.0.0.8||")}}},
      {"interface ip add wins name=$LAN addr=10.0.0.9",
       {{Key::LanNetBt, "NameServerList", MultiSz("192.168.1.2|10.0.0.9||")}}},
      {"interface ip add wins name=$LAN addr=10.0.0.9 index=1",
       {{Key::LanNetBt, "NameServerList", MultiSz("10.0.0.9|192.168.1.2||")}}},
      {"interface ip add wins name=$WLAN addr=10.0.0.9",
       {{Key::WlanNetBt, "NameServerList", MultiSz("10.0.0.9||")}}},
      {"interface ip delete wins name=$LAN all", {{Key::LanNetBt, "NameServerList", MultiSz("|")}}},
      // Spelling: keywords and values in any case, values without their tags
      // in the command's order.
      {"INTERFACE IP Set Address NAME=$LAN SOURCE=DHCP",
       {{Key::LanTcpip, "EnableDHCP", Dword(1)},
        {Key::LanTcpip, "IPAddress", MultiSz("0.0.0.0||")},
        {Key::LanTcpip, "SubnetMask", MultiSz("0.0.0.0||")}}},
      {"interface ip set address $WLAN static 10.0.0.5 255.0.0.0 10.0.0.1 1",
       {{Key::WlanTcpip, "EnableDHCP", Dword(0)},
        {Key::WlanTcpip, "IPAddress", MultiSz("10.0.0.5||")},
        {Key::WlanTcpip, "SubnetMask", MultiSz("255.0.0.0||")},
        {Key::WlanTcpip, "DefaultGateway", MultiSz("10.0.0.1||")},
        {Key::WlanTcpip, "DefaultGatewayMetric", MultiSz("1||")}}},
      {"interface ip delete wins name=$LAN ALL", {{Key::LanNetBt, "NameServerList", MultiSz("|")}}},
  };
  for (const auto& row : rows) {
    if (row.xpOnly && !xp_) continue;
    SCOPED_TRACE(Cp932ToUtf8(row.line));
    Reset();
    SimRegistry expected;
    std::string error;
    ASSERT_TRUE(expected.LoadText(demo_, error)) << error;
    for (const auto& c : row.changes) Set(expected, c.key, c.name, c.value);

    Ok(row.line);
    for (const auto& c : row.changes)
      EXPECT_EQ(Get(sim_->registry(), c.key, c.name), c.value) << c.name;
    EXPECT_EQ(sim_->registry().ToRegedit4(), expected.ToRegedit4()) << "other values changed";
  }
}

// A command that fails says why, exits with 1, and changes nothing, in
// memory or in registry.reg.
TEST_P(SimNetsh, FailuresChangeNothing) {
  struct Row {
    const char* line;
    const char* because;  // part of the output
    enum { Both, XpOnly, Windows2000Only } on = Both;
  } rows[] = {
      // Not a command the batch writes.
      {"", "次のコマンドが見つかりませんでした"},
      {"interface ip", "次のコマンドが見つかりませんでした"},
      {"interface ipv6 set address name=$LAN source=dhcp", "次のコマンドが見つかりませんでした"},
      {"interface ip show address", "次のコマンドが見つかりませんでした"},
      {"interface ip set route name=$LAN", "次のコマンドが見つかりませんでした"},
      {"int ip set address name=$LAN source=dhcp", "次のコマンドが見つかりませんでした"},
      // Tags and values.
      {"interface ip set address name=$LAN source=dhcp colour=red", "\"colour\""},
      {"interface ip set address name=$LAN name=$WLAN source=dhcp", "\"name\""},
      {"interface ip set address name=$LAN source=", "source に値がありません"},
      {"interface ip delete dns name=$LAN all extra", "余分なパラメータ"},
      {"interface ip set address source=dhcp", "必要なパラメータ name"},
      {"interface ip set address name=$LAN", "必要なパラメータ source"},
      {"interface ip set address name=$LAN source=bootp", "bootp"},
      {"interface ip set address name=$LAN source=dhcp addr=10.0.0.5", "addr"},
      {"interface ip set address name=$LAN source=static addr=10.0.0.5", "必要なパラメータ mask"},
      {"interface ip set address name=$LAN source=static mask=255.0.0.0", "必要なパラメータ addr"},
      {"interface ip set address name=$LAN addr=10.0.0.5 mask=255.0.0.0", "必要なパラメータ source"},
      {"interface ip set address name=$LAN gateway=10.0.0.1", "必要なパラメータ gwmetric"},
      {"interface ip set address name=$LAN gwmetric=1", "必要なパラメータ gateway"},
      {"interface ip set address name=$LAN source=static addr=10.0.0.5 mask=255.0.0.0 "
       "gateway=10.0.0.1",
       "必要なパラメータ gwmetric"},
      // Connections netsh does not know: none of that name, not bound to
      // TCP/IP, removed, in a class that is not the network class.
      {"interface ip set address name=\"ない接続\" source=dhcp", "\"ない接続\" が見つかりません"},
      {"interface ip set address name=\"ローカル エリア接続 2\" source=dhcp", "見つかりません"},
      {"interface ip set address name=\"1394 接続\" source=dhcp", "見つかりません"},
      {"interface ip set address name=\"仮想ネットワーク接続\" source=dhcp", "見つかりません"},
      {"interface ip set address name=\"ローカル エリア接続 \" source=dhcp", "見つかりません"},
      // Addresses, masks, metrics, positions.
      {"interface ip set address name=$LAN source=static addr=192.168.1 mask=255.0.0.0", "addr=192.168.1"},
      {"interface ip set address name=$LAN source=static addr=192.168.1.256 mask=255.0.0.0", "無効なアドレス"},
      {"interface ip set address name=$LAN source=static addr=1.2.3.4.5 mask=255.0.0.0", "無効なアドレス"},
      {"interface ip set address name=$LAN source=static addr=010.0.0.5 mask=255.0.0.0", "無効なアドレス"},
      {"interface ip set address name=$LAN source=static addr=a.b.c.d mask=255.0.0.0", "無効なアドレス"},
      {"interface ip set address name=$LAN source=static \"addr= 10.0.0.5\" mask=255.0.0.0", "無効なアドレス"},
      {"interface ip set address name=$LAN source=static addr=0.0.0.0 mask=255.0.0.0", "無効なアドレス"},
      {"interface ip set address name=$LAN source=static addr=224.0.0.1 mask=255.0.0.0", "無効なアドレス"},
      {"interface ip set address name=$LAN source=static addr=255.255.255.255 mask=255.0.0.0", "無効なアドレス"},
      {"interface ip set address name=$LAN source=static addr=10.0.0.5 mask=255.0.255.0", "無効なサブネット マスク"},
      {"interface ip set address name=$LAN source=static addr=10.0.0.5 mask=0.0.0.0", "無効なサブネット マスク"},
      {"interface ip set address name=$LAN gateway=10.0.0.1 gwmetric=abc", "無効なメトリック"},
      {"interface ip set address name=$LAN gateway=10.0.0.1 gwmetric=10000", "無効なメトリック"},
      {"interface ip set address name=$LAN gateway=10.0.0.1 gwmetric=-1", "無効なメトリック"},
      {"interface ip set address name=$LAN gateway=10.0.0 gwmetric=1", "無効なアドレス"},
      {"interface ip add dns name=$LAN addr=10.0.0.53 index=0", "index"},
      {"interface ip add dns name=$LAN addr=10.0.0.53 index=first", "index"},
      {"interface ip add dns name=$LAN addr=300.0.0.1", "無効なアドレス"},
      {"interface ip add wins name=$LAN addr=10.0.0.9 index=0", "index"},
      {"interface ip set wins name=$LAN source=static addr=10.0.0", "無効なアドレス"},
      // What the PC's state forbids.
      {"interface ip add address name=$WLAN addr=10.0.0.5 mask=255.0.0.0", "DHCP"},
      {"interface ip add address name=$LAN addr=192.168.1.20 mask=255.255.255.0", "既に存在します"},
      {"interface ip add address name=$LAN gateway=192.168.1.1 gwmetric=1", "既に存在します"},
      {"interface ip add dns name=$LAN addr=192.168.1.1 index=1", "既に存在します"},
      {"interface ip add wins name=$LAN addr=192.168.1.2", "既に存在します"},
      // Missing parts of the other commands.
      {"interface ip add address name=$LAN", "必要なパラメータ addr"},
      {"interface ip add address name=$LAN addr=10.0.0.5", "必要なパラメータ mask"},
      {"interface ip delete address name=$LAN", "必要なパラメータ gateway"},
      {"interface ip delete address name=$LAN gateway=some", "some"},
      {"interface ip set dns name=$LAN", "必要なパラメータ source"},
      {"interface ip set dns name=$LAN source=static", "必要なパラメータ addr"},
      {"interface ip set dns name=$LAN source=dhcp addr=10.0.0.53", "addr"},
      {"interface ip add dns name=$LAN", "必要なパラメータ addr"},
      {"interface ip delete dns name=$LAN", "必要なパラメータ addr"},
      {"interface ip set wins name=$LAN addr=10.0.0.8", "必要なパラメータ source"},
      {"interface ip delete wins name=$LAN", "必要なパラメータ addr"},
      // Forms of Windows' netsh that the simulated PC does not act out.
      {"interface ip delete address name=$LAN addr=192.168.1.20", "模擬 PC"},
      {"interface ip delete address name=$LAN gateway=192.168.1.1", "模擬 PC"},
      {"interface ip delete dns name=$LAN 192.168.1.1", "模擬 PC"},
      {"interface ip delete wins name=$LAN addr=192.168.1.2", "模擬 PC"},
      {"interface ip set dns name=$LAN source=static addr=none", "模擬 PC"},
      {"interface ip set wins name=$LAN source=dhcp", "模擬 PC"},
      // register: XP knows the three values; Windows 2000 has no such tag.
      {"interface ip set dns name=$LAN source=dhcp register=maybe", "register", Row::XpOnly},
      {"interface ip set dns name=$LAN source=dhcp register=none", "\"register\"",
       Row::Windows2000Only},
  };
  const std::string file = pc_->ReadFile("registry.reg");
  for (const auto& row : rows) {
    if ((row.on == Row::XpOnly && !xp_) || (row.on == Row::Windows2000Only && xp_)) continue;
    SCOPED_TRACE(Cp932ToUtf8(row.line));
    std::string output;
    EXPECT_EQ(Run(row.line, output), 1);
    const std::string shown = Cp932ToUtf8(output);
    EXPECT_NE(output.find(row.because), std::string::npos) << shown;
    EXPECT_EQ(output.find("Ok."), std::string::npos) << shown;
    ASSERT_GE(output.size(), 2u);
    EXPECT_EQ(output.substr(output.size() - 2), "\r\n");
    EXPECT_EQ(sim_->registry().ToRegedit4(), demo_);
    EXPECT_EQ(pc_->ReadFile("registry.reg"), file);
  }
}

// A value that cannot be written leaves the values before it as they were.
TEST_P(SimNetsh, FailedRegistryWriteUndoesTheCommand) {
  struct Row {
    const char* line;
    Key key;
    const char* failing;
    bool xpOnly = false;
  } rows[] = {
      {"interface ip set address name=$LAN source=static addr=10.0.0.5 mask=255.0.0.0 "
       "gateway=10.0.0.1 gwmetric=1",
       Key::LanTcpip, "DefaultGatewayMetric"},
      {"interface ip set address name=$WLAN source=static addr=10.0.0.5 mask=255.0.0.0",
       Key::WlanTcpip, "SubnetMask"},
      {"interface ip set dns name=$LAN source=static addr=10.0.0.53 register=both", Key::LanTcpip,
       "RegisterAdapterName", true},
  };
  for (const auto& row : rows) {
    if (row.xpOnly && !xp_) continue;
    SCOPED_TRACE(Cp932ToUtf8(row.line));
    Reset();
    sim_->registry().FailSetValue(Hive::LocalMachine, Path(row.key), row.failing,
                                  kErrorAccessDenied);
    std::string output;
    EXPECT_EQ(Run(row.line, output), 1);
    EXPECT_NE(output.find(row.failing), std::string::npos) << Cp932ToUtf8(output);
    EXPECT_EQ(sim_->registry().ToRegedit4(), demo_);
  }
}

// Connection names match as Windows matches them: ASCII letters in any case.
TEST_P(SimNetsh, ConnectionNameIgnoresTheCaseOfAsciiLetters) {
  RegKey connection;
  ASSERT_EQ(connection.Open(sim_->registry(), Hive::LocalMachine, kWlanConnection, kKeyAllAccess),
            kErrorSuccess);
  ASSERT_EQ(connection.SetString("Name", "Wireless LAN"), kErrorSuccess);
  Ok("interface ip set address name=\"wireless lan\" source=static addr=10.0.0.5 mask=255.0.0.0");
  EXPECT_EQ(Get(sim_->registry(), Key::WlanTcpip, "IPAddress"), MultiSz("10.0.0.5||"));
  std::string output;
  EXPECT_EQ(Run("interface ip set dns name=\"Ｗireless LAN\" source=dhcp", output), 1);
}

// Lines in the order the change batch writes them; Velandra then reads back
// what the place holds.
TEST_P(SimNetsh, BatchSequencesReadBackAsThePlace) {
  struct Row {
    const char* name;
    std::vector<const char*> lines;
    std::function<void(AdapterSettings&, bool xp)> expect;  // changes to the demo's record
  } rows[] = {
      {"static place",
       {"interface ip set address name=$LAN source=static addr=10.1.0.5 mask=255.255.0.0",
        "interface ip add address name=$LAN addr=10.1.0.6 mask=255.255.255.0",
        "interface ip set address name=$LAN gateway=10.1.0.1 gwmetric=1",
        "interface ip add address name=$LAN gateway=10.1.0.2 gwmetric=2",
        "interface ip set dns name=$LAN source=static addr=10.1.0.53$R",
        "interface ip add dns name=$LAN addr=10.1.0.54",
        "interface ip add dns name=$LAN addr=10.1.0.55",
        "interface ip set wins name=$LAN source=static addr=10.1.0.8",
        "interface ip add wins name=$LAN addr=10.1.0.9"},
       [](AdapterSettings& s, bool xp) {
         s.IPAddress = {"10.1.0.5", "10.1.0.6"};
         s.SubnetMask = {"255.255.0.0", "255.255.255.0"};
         s.Gateway = {"10.1.0.1", "10.1.0.2"};
         s.Metric = {"1", "2"};
         s.DNS_Server = {"10.1.0.53", "10.1.0.54", "10.1.0.55"};
         s.WINS = {"10.1.0.8", "10.1.0.9"};
         if (xp) s.DOMAIN_Update = true;
       }},
      // Windows XP SP1: the first server is held back and added at the front last.
      {"held-back first server",
       {"interface ip set dns name=$LAN source=static addr=10.1.0.54 register=BOTH",
        "interface ip add dns name=$LAN addr=10.1.0.55",
        "interface ip add dns name=$LAN addr=10.1.0.53 index=1"},
       [](AdapterSettings& s, bool) {
         s.DNS_Server = {"10.1.0.53", "10.1.0.54", "10.1.0.55"};
         s.DOMAIN_Update = s.DOMAIN_Registration = true;
       }},
      {"all from DHCP",
       {"interface ip set address name=$LAN source=dhcp",
        "interface ip delete address name=$LAN gateway=all",
        "interface ip set dns name=$LAN source=dhcp$R",
        "interface ip delete wins name=$LAN all"},
       [](AdapterSettings& s, bool) {
         s.EnableDHCP = true;
         s.IPAddress.clear();
         s.SubnetMask.clear();
         s.Gateway.clear();
         s.Metric.clear();
         s.EnableDNS = true;
         s.DNS_Server.clear();
         s.WINS.clear();
       }},
      // Only the groups that differ are written; the others stay.
      {"only the address differs",
       {"interface ip set address name=$LAN source=static addr=192.168.5.20 mask=255.255.255.0"},
       [](AdapterSettings& s, bool) { s.IPAddress = {"192.168.5.20"}; }},
      {"DHCP with a static gateway",
       {"interface ip set address name=$LAN source=dhcp",
        "interface ip set address name=$LAN gateway=192.168.1.254 gwmetric=3"},
       [](AdapterSettings& s, bool) {
         s.EnableDHCP = true;
         s.IPAddress.clear();
         s.SubnetMask.clear();
         s.Gateway = {"192.168.1.254"};
         s.Metric = {"3"};
       }},
      {"static address, no DNS server",
       {"interface ip delete dns name=$LAN all"},
       [](AdapterSettings& s, bool) { s.DNS_Server.clear(); }},
  };
  for (const auto& row : rows) {
    if (!xp_ && std::string_view(row.name) == "held-back first server") continue;
    SCOPED_TRACE(row.name);
    Reset();
    AdapterSettings expected = ReadLan(*sim_);
    row.expect(expected, xp_);
    for (const char* line : row.lines) Ok(line);
    EXPECT_EQ(Dump(ReadLan(*sim_)), Dump(expected));
  }
}

// The PC opened again from its directory holds the commands' results.
TEST_P(SimNetsh, ResultsPersistInTheRegistryFile) {
  AdapterSettings expected = ReadLan(*sim_);
  expected.IPAddress = {"10.1.0.5"};
  expected.SubnetMask = {"255.255.0.0"};
  expected.DNS_Server = {"10.1.0.53", "10.1.0.54"};
  Ok("interface ip set address name=$LAN source=static addr=10.1.0.5 mask=255.255.0.0");
  Ok("interface ip set dns name=$LAN source=static addr=10.1.0.53$R");
  Ok("interface ip add dns name=$LAN addr=10.1.0.54");
  std::string error;
  auto reopened = SimulatedPc::Open(pc_->dir(), error);
  ASSERT_NE(reopened, nullptr) << error;
  reopened->SetConsole(nullptr);
  EXPECT_EQ(Dump(ReadLan(*reopened)), Dump(expected));
}

INSTANTIATE_TEST_SUITE_P(Layouts, SimNetsh, velandra::testing::DemoLayouts(),
                         velandra::testing::DemoLayoutName);

}  // namespace
}  // namespace velandra::platform::sim
