// What the tests know of the demo PC (see system/platform/sim/demo_pc.h):
// where Velandra's configuration file lies, its two adapters and the keys
// of the first one. The texts are CP932, like the program's.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "system/adapter_info.h"
#include "system/platform/sim/demo_pc.h"

namespace velandra::testing {

// The configuration file as the program names it, and its place below the
// PC's directory.
inline constexpr char kDemoIniPath[] = "C:\\Program Files\\Velandra\\Velandra.ini";
inline constexpr char kDemoIniFile[] = "C/Program Files/Velandra/Velandra.ini";

// "ローカル エリア接続", static, and "ワイヤレス ネットワーク接続", on DHCP.
inline constexpr char kDemoLanGuid[] = "{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}";
inline constexpr char kDemoWlanGuid[] = "{A3C5E7F9-1B2D-4E6F-8A9B-0C1D2E3F4A5B}";

// The first adapter's TCP/IP and NetBT keys, spelled out rather than built
// by the code under test.
inline constexpr char kDemoLanTcpipKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
    "{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}";
inline constexpr char kDemoLanNetBtKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces\\"
    "Tcpip_{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}";

// The first adapter as enumeration finds it: number 0.
inline AdapterInfo DemoLan() {
  AdapterInfo lan;
  lan.Number = 0;
  lan.DriverDesc = "Intel(R) PRO/100 VE Network Connection";
  lan.NetCfgInstanceId = kDemoLanGuid;
  lan.ConnectionName = "ローカル エリア接続";
  return lan;
}

// For suites run on both layouts of the demo PC.
inline auto DemoLayouts() {
  return ::testing::Values(platform::sim::DemoVariant::WindowsXp,
                           platform::sim::DemoVariant::Windows2000);
}
inline std::string DemoLayoutName(
    const ::testing::TestParamInfo<platform::sim::DemoVariant>& info) {
  return info.param == platform::sim::DemoVariant::WindowsXp ? "WindowsXp" : "Windows2000";
}

}  // namespace velandra::testing
