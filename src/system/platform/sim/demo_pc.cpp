#include "system/platform/sim/demo_pc.h"

#include <system_error>

#include "system/platform/registry.h"
#include "system/platform/sim/demo_domain.h"
#include "system/platform/sim/demo_drives.h"
#include "system/platform/sim/demo_hosts.h"
#include "system/platform/sim/demo_proxy.h"
#include "system/platform/sim/demo_shares.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

constexpr char kNetClass[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
constexpr char kNetworkKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
constexpr char kTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr char kNetBT[] = "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters";
constexpr char kEnum[] = "SYSTEM\\CurrentControlSet\\Enum\\";

// A device key under a network-type class; each of the devices that the
// adapter walk must pass over lacks exactly one thing that it looks for.
struct DemoAdapter {
  const char* device;  // key under the class
  const char* desc;
  const char* guid;        // NetCfgInstanceId; null: none (no interface)
  const char* connection;  // null: no connection key
  const char* pnp;         // the device's key under Enum
  const char* hardwareId;  // MatchingDeviceId
  const char* service;     // the driver service, ActiveService of Enum\...\Control
  bool present;            // has its Enum\...\Control key
  bool tcpipBound;         // has Tcpip\Parameters\Adapters\{guid}
  bool dhcp;
  const char* ip;  // static address, mask, gateway, DNS servers, WINS
  const char* mask;
  const char* gateway;
  const char* dns;
  const char* wins;
};

// In the network class: the two real adapters first, then what the walk
// must skip.
constexpr DemoAdapter kAdapters[] = {
    {"0000", "Intel(R) PRO/100 VE Network Connection",
     "{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}", "ローカル エリア接続",
     "PCI\\VEN_8086&DEV_1092&SUBSYS_00000000&REV_01\\4&1F7DBC9F&0&40F0",
     "pci\\ven_8086&dev_1092", "E100B", true, true, false, "192.168.1.20",
     "255.255.255.0", "192.168.1.1", "192.168.1.1", "192.168.1.2"},
    {"0001", "Intel(R) PRO/Wireless 2200BG Network Connection",
     "{A3C5E7F9-1B2D-4E6F-8A9B-0C1D2E3F4A5B}", "ワイヤレス ネットワーク接続",
     "PCI\\VEN_8086&DEV_4220&SUBSYS_27118086&REV_05\\4&2E4C3B0&0&10E0",
     "pci\\ven_8086&dev_4220&subsys_27118086", "w29n51", true, true, true, nullptr,
     nullptr, nullptr, nullptr, nullptr},
    // A pure miniport: no network interface at all.
    {"0002", "RAS 非同期アダプタ", nullptr, nullptr, "SW\\{EEAB7790-C514-11D1-B42B-00805FC1270E}\\ASYNCMAC",
     "sw\\{eeab7790-c514-11d1-b42b-00805fc1270e}", "AsyncMac", true, false, true, nullptr,
     nullptr, nullptr, nullptr, nullptr},
    // Bound to TCP/IP, but no network connection of its own.
    {"0003", "WAN ミニポート (IP)", "{2F1E4C3B-7A6D-4B8E-9C0F-1D2E3F4A5B6C}", nullptr,
     "ROOT\\MS_NDISWANIP\\0000", "ms_ndiswanip", "NdisWan", true, true, true, nullptr,
     nullptr, nullptr, nullptr, nullptr},
    // A second card whose connection has TCP/IP unbound.
    {"0004", "Realtek RTL8139 Family PCI Fast Ethernet NIC",
     "{8D2C4B6A-0E1F-4A3B-9C5D-7E6F8A9B0C1D}", "ローカル エリア接続 2",
     "PCI\\VEN_10EC&DEV_8139&SUBSYS_813910EC&REV_10\\4&39A85202&0&20F0",
     "pci\\ven_10ec&dev_8139", "RTL8023xp", true, false, true, nullptr, nullptr, nullptr,
     nullptr, nullptr},
    // A card that was removed: its connection stays, its Control key is gone.
    {"0005", "1394 ネット アダプタ", "{5B4A3C2D-1E0F-4A9B-8C7D-6E5F4A3B2C1D}",
     "1394 接続", "V1394\\NIC1394\\1E2A3B4C5D6E7F80", "v1394\\nic1394", "NIC1394", false,
     true, true, nullptr, nullptr, nullptr, nullptr, nullptr},
};

// A class of some other software that calls itself "net" in lower case: the
// walk looks only at "Net", so its device, which lacks nothing, stays out.
constexpr char kLowerNetClass[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{7C3A9E51-2B4D-4F60-8E1A-3D5C7B9F0A12}";
constexpr char kLowerNetNetwork[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{7C3A9E51-2B4D-4F60-8E1A-3D5C7B9F0A12}";
constexpr DemoAdapter kLowerNetAdapter = {
    "0000", "仮想ネットワーク アダプタ", "{C1D2E3F4-A5B6-4C7D-8E9F-0A1B2C3D4E5F}",
    "仮想ネットワーク接続", "ROOT\\VNET\\0000", "vnet", "VNet", true, true, true,
    nullptr, nullptr, nullptr, nullptr, nullptr};

void Check(long rc, const char* what, std::string& error) {
  if (rc != kErrorSuccess && error.empty())
    error = std::string("demo registry: ") + what + " failed with " + std::to_string(rc);
}

void Build(IRegistry& reg, DemoVariant variant, std::string& error) {
  const bool xp = variant == DemoVariant::WindowsXp;
  auto key = [&](const std::string& path) {
    RegKey k;
    Check(k.Create(reg, Hive::LocalMachine, path, kKeyAllAccess), path.c_str(), error);
    return k;
  };
  auto classKeyName = [](const std::string& classPath) {
    return classPath.substr(classPath.rfind('\\') + 1);
  };

  // The device key, its connection, its enumeration entry, its binding and
  // the values of its TCP/IP and NetBT interfaces.
  auto addDevice = [&](const std::string& classPath, const std::string& networkPath,
                       const DemoAdapter& a) {
    RegKey dev = key(classPath + "\\" + a.device);
    dev.SetString("DriverDesc", a.desc);
    if (a.guid) dev.SetString("NetCfgInstanceId", a.guid);
    dev.SetString("MatchingDeviceId", a.hardwareId);
    dev.SetString("ComponentId", a.hardwareId);
    if (a.connection) {
      RegKey con = key(networkPath + "\\" + a.guid + "\\Connection");
      con.SetString("Name", a.connection);
      con.SetString("PnpInstanceID", a.pnp);
      con.SetDword("ShowIcon", 1);
    }
    RegKey en = key(std::string(kEnum) + a.pnp);
    en.SetString("DeviceDesc", a.desc);
    en.SetString("Driver", classKeyName(classPath) + "\\" + a.device);
    en.SetString("Service", a.service);
    // Windows keeps this volatile key only while the device is present.
    if (a.present)
      key(std::string(kEnum) + a.pnp + "\\Control").SetString("ActiveService", a.service);
    if (!a.tcpipBound) return;
    key(std::string(kTcpip) + "\\Adapters\\" + a.guid)
        .SetString("IpConfig", std::string("Tcpip_") + a.guid);

    RegKey ifc = key(std::string(kTcpip) + "\\Interfaces\\" + a.guid);
    ifc.SetDword("EnableDHCP", a.dhcp ? 1 : 0);
    ifc.SetMultiString("IPAddress", {a.dhcp ? "0.0.0.0" : a.ip});
    ifc.SetMultiString("SubnetMask", {a.dhcp ? "0.0.0.0" : a.mask});
    ifc.SetMultiString("DefaultGateway", a.gateway ? std::vector<std::string>{a.gateway}
                                                   : std::vector<std::string>{});
    ifc.SetMultiString("DefaultGatewayMetric", a.gateway ? std::vector<std::string>{"0"}
                                                         : std::vector<std::string>{});
    ifc.SetString("NameServer", a.dns ? a.dns : "");
    ifc.SetString("Domain", "");
    if (xp) {
      // XP names; the interface metric is automatic, so no value.
      ifc.SetDword("RegistrationEnabled", 1);
      ifc.SetDword("RegisterAdapterName", 0);
    } else {
      // Windows 2000 names; it has no automatic metric and keeps its 1.
      ifc.SetDword("InterfaceMetric", 1);
      ifc.SetDword("DisableDynamicUpdate", 0);
      ifc.SetDword("EnableAdapterDomainNameRegistration", 0);
    }
    if (a.dhcp && a.connection && a.present) {
      ifc.SetString("DhcpIPAddress", "10.0.0.37");
      ifc.SetString("DhcpSubnetMask", "255.255.255.0");
      ifc.SetString("DhcpServer", "10.0.0.1");
      ifc.SetMultiString("DhcpDefaultGateway", {"10.0.0.1"});
      ifc.SetString("DhcpNameServer", "10.0.0.1");
    }
    RegKey nbt = key(std::string(kNetBT) + "\\Interfaces\\Tcpip_" + a.guid);
    nbt.SetMultiString("NameServerList", a.wins ? std::vector<std::string>{a.wins}
                                                : std::vector<std::string>{});
    nbt.SetDword("NetbiosOptions", 0);
  };

  // A class that is not the network class.
  {
    RegKey k = key("SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}");
    k.SetString("Class", "Display");
    k.SetString("", "ディスプレイ アダプタ");
    RegKey d = key("SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000");
    d.SetString("DriverDesc", "Intel(R) 82852/82855 GM/GME Graphics Controller");
  }
  {
    RegKey k = key(kNetClass);
    k.SetString("Class", "Net");
    k.SetString("", "ネットワーク アダプタ");
  }
  {
    RegKey k = key(std::string(kNetClass) + "\\Properties");  // not a device
    (void)k;
  }
  for (const auto& a : kAdapters) addDevice(kNetClass, kNetworkKey, a);
  {
    RegKey k = key(kLowerNetClass);
    k.SetString("Class", "net");
    k.SetString("", "仮想ネットワーク");
  }
  addDevice(kLowerNetClass, kLowerNetNetwork, kLowerNetAdapter);

  {
    RegKey t = key(kTcpip);
    t.SetString("Hostname", "VELANDRA-PC");
    t.SetString("NV Hostname", "VELANDRA-PC");
    t.SetString("Domain", "");
    t.SetString("NV Domain", "");
    t.SetString("SearchList", "");
    t.SetDword("UseDomainNameDevolution", 1);
    t.SetDword("SyncDomainWithMembership", 1);
  }
  key(kNetBT).SetDword("EnableLMHOSTS", 1);
  {
    RegKey c = key("SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName");
    c.SetString("ComputerName", "VELANDRA-PC");
    RegKey a = key("SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName");
    a.SetString("ComputerName", "VELANDRA-PC");
  }
  key("SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters")
      .SetString("srvcomment", "デモ用のPC");
  {
    RegKey w = key("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon");
    w.SetString("DefaultUserName", "Administrator");
    w.SetString("DefaultDomainName", "VELANDRA-PC");
    w.SetString("AltDefaultDomainName", "VELANDRA-PC");
    w.SetString("AutoAdminLogon", "0");
    if (xp) {
      // The Welcome screen with fast user switching, as XP sets up a workgroup PC.
      w.SetDword("LogonType", 1);
      w.SetDword("AllowMultipleTSSessions", 1);
    }
    w.SetString("Userinit", std::string(xp ? "C:\\WINDOWS" : "C:\\WINNT") +
                                 "\\system32\\userinit.exe,");
  }
  {
    // The user's copy of the computer name, rewritten with it.
    RegKey r;
    Check(r.Create(reg, Hive::CurrentUser, "Software\\Microsoft\\Windows\\ShellNoRoam",
                   kKeyAllAccess),
          "ShellNoRoam", error);
    r.SetString("", "VELANDRA-PC");
  }
  {
    RegKey v = key("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    v.SetString("ProductName", xp ? "Microsoft Windows XP" : "Microsoft Windows 2000");
    v.SetString("CurrentVersion", xp ? "5.1" : "5.0");
    v.SetString("CurrentBuildNumber", xp ? "2600" : "2195");
    v.SetString("CSDVersion", xp ? "Service Pack 2" : "Service Pack 4");
  }
}

std::string MachineFile(DemoVariant variant) {
  const bool xp = variant == DemoVariant::WindowsXp;
  std::string os = xp ? "Windows XP Professional SP2" : "Windows 2000 Professional SP4";
  return
      "# A simulated Windows PC (see docs/simulated-pc.md): the embedded demo PC,\n"
      "# " + os + ", Japanese.\n"
      "\n[windows]\n"
      "major = 5\n"
      "minor = " + std::string(xp ? "1" : "0") + "\n"
      "build = " + std::string(xp ? "2600" : "2195") + "\n"
      "platform_id = 2\n"
      "service_pack = " + std::string(xp ? "Service Pack 2" : "Service Pack 4") + "\n"
      "service_pack_major = " + std::string(xp ? "2" : "4") + "\n"
      "suite_mask = 0x0100\n"
      "product_type = 1\n"
      "system_root = " + std::string(xp ? "C:\\WINDOWS" : "C:\\WINNT") + "\n"
      "\n[computer]\n"
      "name = VELANDRA-PC\n"
      "\n[domain]\n"
      "name = WORKGROUP\n"
      "member = no\n"
      "\n[session]\n"
      "user = Administrator\n"
      "executable = C:\\Program Files\\Velandra\\Velandra.exe\n"
      "\n[volumes]\n"
      "C = NTFS, fixed\n"
      "\n[shell]\n"
      "common_startup = C:\\Documents and Settings\\All Users\\スタート メニュー\\プログラム\\スタートアップ\n";
}

constexpr char kUsersFileText[] =
    "# Local accounts of the simulated PC: [user name], groups = ..., \n"
    "# full_name, comment, disabled = yes, password (none: an empty one).\n"
    "\n[Administrator]\n"
    "groups = Administrators\n"
    "password = admin\n"
    "comment = コンピュータ/ドメインの管理用 (ビルトイン アカウント)\n"
    "\n[Guest]\n"
    "groups = Guests\n"
    "disabled = yes\n"
    "\n[yamada]\n"
    "groups = Users\n"
    "full_name = 山田 太郎\n";

// The demo's configuration file (CP932, CRLF): five places. 標準 has no
// sections and so shows the PC as it is; 本社 gives the wired adapter two
// static addresses and its own servers; 自宅 puts it on DHCP and gives the
// wireless one a DNS server and suffix of its own. These three store no
// place-wide record, so theirs is the PC's. 本店 stores one: the domain
// VELANDRA with the office's suffix list, drives, printer, share, hosts
// variant, proxy entry and a folder to open; 在宅 the workgroup HOME with the
// home drive, printer and proxy entry, no share, the automatic logon and a
// program to start.
constexpr char kDemoIni[] =
    "[PLACELIST]\r\n"
    "P0=標準\r\n"
    "P1=本社\r\n"
    "P2=自宅\r\n"
    "P3=本店\r\n"
    "P4=在宅\r\n"
    "[P1A0]\r\n"
    "EnableDHCP=FALSE\r\nIPAddress=10.1.0.25,10.1.0.26\r\nSubnetMask=255.255.0.0,255.255.0.0\r\n"
    "Gateway=10.1.0.1,10.1.0.2\r\nMetric=1,10\r\nInterfaceMetric=0\r\nEnableDNS=FALSE\r\n"
    "DNS_Server=10.1.0.53,10.1.0.54\r\nDOMAIN_Suffix=honsha.example.co.jp\r\n"
    "DOMAIN_Update=TRUE\r\nDOMAIN_Registration=TRUE\r\nWINS=10.1.0.9\r\nNetBIOS=0\r\n"
    "[P3]\r\n"
    "ChangeUser=FALSE\r\nPrimarySuffix=FALSE\r\nPrimaryParentSuffix=TRUE\r\n"
    "DNS_Suffix=honsha.example.co.jp,example.co.jp\r\nEnableLMHOSTS=TRUE\r\n"
    "ComputerName=VELANDRA-PC\r\nSrvComment=本社 総務部\r\nDomainWorkgroup=TRUE\r\n"
    "DomainName=VELANDRA\r\nWorkgroupName=\r\nLogonPlace=TRUE\r\nDelayDomain=FALSE\r\n"
    "JoinDomainUser=Administrator\r\nJoinDomainPassword=158155146150145\r\n"
    "LocalAdminUser=Administrator\r\nLocalAdminPassword=158155146150145\r\n"
    "DefaultUserName=Administrator\r\nAutoAdminLogon=FALSE\r\nAutoLogonKeep=FALSE\r\n"
    "DefaultPassword=\r\nDisableCAD=FALSE\r\nWelcome=FALSE\r\nMultipleTSSessions=FALSE\r\n"
    "ProxyName=本社プロキシ\r\nDisableProxy=FALSE\r\n"
    "NetworkDrive01=Z:,\\\\fs01\\総務,,\r\nNetworkDrive02=X:,\\\\fs01\\経理,,\r\n"
    "DefaultPrinter=経理部 EPSON LP-9000C\r\n"
    "NetShare01=資料,0,部署の資料,0,10,0,C:\\共有\\資料,\r\n"
    "NetShare0101=Everyone,,ACCESS_ALLOWED_ACE_TYPE,0,001200a9\r\n"
    "NetShare0102=Guest,VELANDRA-PC,ACCESS_DENIED_ACE_TYPE,0,001f01ff\r\n"
    "HOSTS=C:\\Program Files\\Velandra\\hosts.本店\r\nLMHOSTS=\r\n"
    "TYPE0=FOLDER\r\nPGM0=C:\\共有\\資料\r\nARG0=\r\nDIR0=\r\nSIZE0=NORMAL\r\n"
    "[P4]\r\n"
    "ChangeUser=FALSE\r\nPrimarySuffix=TRUE\r\nPrimaryParentSuffix=TRUE\r\nDNS_Suffix=\r\n"
    "EnableLMHOSTS=FALSE\r\nComputerName=VELANDRA-PC\r\nSrvComment=\r\n"
    "DomainWorkgroup=FALSE\r\nDomainName=\r\nWorkgroupName=HOME\r\nLogonPlace=FALSE\r\n"
    "DelayDomain=FALSE\r\nJoinDomainUser=\r\nJoinDomainPassword=\r\n"
    "LocalAdminUser=Administrator\r\nLocalAdminPassword=158155146150145\r\n"
    "DefaultUserName=Administrator\r\nAutoAdminLogon=TRUE\r\nAutoLogonKeep=TRUE\r\n"
    "DefaultPassword=158155146150145\r\nDisableCAD=TRUE\r\nWelcome=TRUE\r\n"
    "MultipleTSSessions=TRUE\r\nProxyName=自宅 光回線\r\nDisableProxy=FALSE\r\n"
    "NetworkDrive01=Z:,\\\\nas-home\\写真,,\r\nDefaultPrinter=Canon LBP-1310\r\n"
    "HOSTS=C:\\Program Files\\Velandra\\hosts.在宅\r\nLMHOSTS=\r\n"
    "TYPE0=PGM\r\nPGM0=C:\\WINDOWS\\explorer.exe\r\nARG0=C:\\共有\\公開\r\nDIR0=\r\n"
    "SIZE0=MAXIMIZE\r\n"
    "[P2A0]\r\n"
    "EnableDHCP=TRUE\r\nIPAddress=\r\nSubnetMask=\r\nGateway=\r\nMetric=\r\n"
    "InterfaceMetric=0\r\nEnableDNS=TRUE\r\nDNS_Server=\r\nDOMAIN_Suffix=\r\n"
    "DOMAIN_Update=TRUE\r\nDOMAIN_Registration=FALSE\r\nWINS=\r\nNetBIOS=0\r\n"
    "[P2A1]\r\n"
    "EnableDHCP=TRUE\r\nIPAddress=\r\nSubnetMask=\r\nGateway=\r\nMetric=\r\n"
    "InterfaceMetric=0\r\nEnableDNS=FALSE\r\nDNS_Server=192.168.0.1\r\n"
    "DOMAIN_Suffix=home.example\r\nDOMAIN_Update=TRUE\r\nDOMAIN_Registration=FALSE\r\n"
    "WINS=\r\nNetBIOS=0\r\n";

constexpr char kHosts[] =
    "# Copyright (c) 1993-1999 Microsoft Corp.\r\n"
    "#\r\n"
    "127.0.0.1       localhost\r\n";

bool Write(const std::filesystem::path& file, const std::string& data, std::string& error) {
  std::string why;
  if (WriteHostFileAtomically(file, data, &why)) return true;
  error = why;
  return false;
}

}  // namespace

std::string DemoRegistry(DemoVariant variant) {
  SimRegistry reg;
  std::string error;
  Build(reg, variant, error);
  return reg.ToRegedit4();
}

bool WriteDemoPc(const std::filesystem::path& dir, DemoVariant variant, std::string& error) {
  std::error_code ec;
  if (std::filesystem::exists(dir, ec) && !std::filesystem::is_empty(dir, ec)) {
    error = HostPathToUtf8(dir) + ": not empty; a demo PC is only written into a new directory";
    return false;
  }
  SimRegistry reg;
  std::string buildError;
  Build(reg, variant, buildError);
  if (!buildError.empty()) {
    error = buildError;
    return false;
  }
  const bool xp = variant == DemoVariant::WindowsXp;
  const std::filesystem::path c = dir / "C";
  const std::filesystem::path windows = c / (xp ? "WINDOWS" : "WINNT");
  const std::filesystem::path etc = windows / "system32" / "drivers" / "etc";
  const std::filesystem::path startup = c / "Documents and Settings" / "All Users" /
      HostPathFromUtf8(Cp932ToUtf8("スタート メニュー")) /
      HostPathFromUtf8(Cp932ToUtf8("プログラム")) /
      HostPathFromUtf8(Cp932ToUtf8("スタートアップ"));
  std::filesystem::create_directories(startup, ec);
  // Literals are CP932; the state files are UTF-8.
  return WriteDemoCompanion(reg, dir, error) &&
         Write(dir / kMachineFile, Cp932ToUtf8(MachineFile(variant)), error) &&
         Write(dir / kUsersFile, Cp932ToUtf8(kUsersFileText), error) &&
         Write(dir / kRegistryFile, reg.ToRegedit4(), error) &&
         WriteDemoDrivesAndPrinters(dir, error) &&
         WriteDemoShares(dir, error) &&
         WriteDemoDomains(dir, error) &&
         // What the shell starts to open a folder.
         Write(windows / "explorer.exe", "stand-in Windows Explorer\r\n", error) &&
         Write(etc / "hosts", kHosts, error) &&
         Write(etc / "lmhosts.sam", "# lmhosts sample\r\n", error) &&
         WriteDemoHostsFiles(etc, c / "Program Files" / "Velandra", error) &&
         Write(c / "Program Files" / "Velandra" / HostPathFromUtf8(Cp932ToUtf8("hosts.在宅")),
               kHosts, error) &&
         Write(c / "Program Files" / "Velandra" / "Velandra.ini", kDemoIni, error);
}

}  // namespace velandra::platform::sim
