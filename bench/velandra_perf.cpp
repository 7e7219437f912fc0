// velandra_perf: the program's performance figures, as one table.
//
// For 10, 100 and 500 places, each with settings for 8 adapters and a
// place-wide record, on a simulated PC with 8 adapters:
// - one plain read and parse of Velandra.ini (the first lookup of a fresh
//   profile), load all and save all;
// - start-up to the sheet being ready: the PC opened, records loaded;
// - the change without restart (DIFFCHECK on) of a place equal to the PC,
//   whose batch must hold no command, and of a place that changes every
//   adapter and the drives, printer, shares, hosts file and proxy entry.
// In the Windows build the read, load all and save all also run through
// kernel32's own profile functions on the same file (under Wine, Wine's), and
// the table gives their ratio to the simulated profile, measured in the same
// run.
//
// Each figure is the median of several runs. The last column divides the
// figure for 500 places by the one for 100: about 5 is linear growth, about 1
// none. The tool fails (exit code 1) on a figure that grows worse than
// linearly, on an unchanged place whose batch holds a command, and when load
// all of 500 places takes more than 3 times the plain read and parse.
//
//   velandra_perf [--quick]     (--quick: fewer runs, for a check that it works)
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "apply/change_batch.h"
#include "clock.h"
#include "config/place_settings.h"
#include "system/adapter_registry.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/platform/registry.h"
#include "system/platform/sim/batch_interpreter.h"
#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/sim_profile.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "system/place_settings_pc.h"
#include "ui/velandra_sheet.h"

#ifdef _WIN32
#include <windows.h>

#include "system/platform/win32/win32_files.h"
#include "system/platform/win32/win32_profile.h"
#endif

namespace {

namespace fs = std::filesystem;
using namespace velandra;
using platform::Hive;
using platform::RegKey;
using platform::sim::SimulatedPc;

constexpr int kPlaceCounts[] = {10, 100, 500};
constexpr int kAdapters = 8;
constexpr char kIniPath[] = "C:\\Program Files\\Velandra\\Velandra.ini";
constexpr char kUnchanged[] = "そのまま";
constexpr char kChanged[] = "全部変更";
constexpr char kNetClass[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr char kNetwork[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr char kTcpipAdapters[] =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters\\";
constexpr char kEnum[] = "SYSTEM\\CurrentControlSet\\Enum\\";

bool quick = false;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

void Check(long rc) {
  if (rc != platform::kErrorSuccess) Fail("a registry write failed");
}

// The demo PC's two adapters and six more of one model, told apart by their
// connection names.
void AddAdapters(platform::IRegistry& reg) {
  for (int i = 2; i < kAdapters; ++i) {
    char guid[64];
    std::snprintf(guid, sizeof guid, "{00000000-0000-4000-8000-0000000000%02d}", i);
    const std::string pnp = "PCI\\VEN_10EC&DEV_8139\\BENCH" + std::to_string(i);
    auto key = [&](const std::string& path) {
      RegKey k;
      Check(k.Create(reg, Hive::LocalMachine, path, platform::kKeyAllAccess));
      return k;
    };
    RegKey dev = key(kNetClass + std::string("00") + std::to_string(10 + i));
    Check(dev.SetString("DriverDesc", "Realtek RTL8139 Family PCI Fast Ethernet NIC"));
    Check(dev.SetString("NetCfgInstanceId", guid));
    RegKey con = key(kNetwork + std::string(guid) + "\\Connection");
    Check(con.SetString("Name", "ローカル エリア接続 " + std::to_string(i + 1)));
    Check(con.SetString("PnpInstanceID", pnp));
    Check(key(kEnum + pnp + "\\Control").SetString("ActiveService", "RTL8023xp"));
    Check(key(kTcpipAdapters + std::string(guid))
              .SetString("IpConfig", std::string("Tcpip_") + guid));
    // On DHCP, as the demo's wireless adapter is.
    RegKey ifc = key(TcpipInterfaceKey(guid));
    Check(ifc.SetDword("EnableDHCP", 1));
    Check(ifc.SetMultiString("IPAddress", {"0.0.0.0"}));
    Check(ifc.SetMultiString("SubnetMask", {"0.0.0.0"}));
    Check(ifc.SetMultiString("DefaultGateway", {}));
    Check(ifc.SetMultiString("DefaultGatewayMetric", {}));
    Check(ifc.SetString("NameServer", ""));
    Check(ifc.SetString("Domain", ""));
    Check(ifc.SetDword("RegistrationEnabled", 1));
    Check(ifc.SetDword("RegisterAdapterName", 0));
    Check(ifc.SetString("DhcpIPAddress", "10.0." + std::to_string(i) + ".37"));
    Check(ifc.SetString("DhcpSubnetMask", "255.255.255.0"));
    Check(ifc.SetString("DhcpServer", "10.0." + std::to_string(i) + ".1"));
    RegKey netbt = key(NetBtInterfaceKey(guid));
    Check(netbt.SetMultiString("NameServerList", {}));
    Check(netbt.SetDword("NetbiosOptions", 0));
  }
}

// The drives, printer, hosts file and proxy entry of the demo's 在宅, which
// all differ from the demo PC, and no share (the PC's are deleted).
constexpr char kPlaceWide[] =
    "ChangeUser=FALSE\r\nPrimarySuffix=TRUE\r\nPrimaryParentSuffix=TRUE\r\nDNS_Suffix=\r\n"
    "EnableLMHOSTS=TRUE\r\nComputerName=VELANDRA-PC\r\nSrvComment=\r\n"
    "DomainWorkgroup=FALSE\r\nDomainName=\r\nWorkgroupName=WORKGROUP\r\nLogonPlace=FALSE\r\n"
    "DelayDomain=FALSE\r\nJoinDomainUser=\r\nJoinDomainPassword=\r\n"
    "LocalAdminUser=Administrator\r\nLocalAdminPassword=158155146150145\r\n"
    "DefaultUserName=Administrator\r\nAutoAdminLogon=FALSE\r\nAutoLogonKeep=FALSE\r\n"
    "DefaultPassword=\r\nDisableCAD=TRUE\r\nWelcome=TRUE\r\n"
    "MultipleTSSessions=FALSE\r\nProxyName=自宅 光回線\r\nDisableProxy=FALSE\r\n"
    "NetworkDrive01=Z:,\\\\nas-home\\写真,,\r\nDefaultPrinter=Canon LBP-1310\r\n"
    "HOSTS=C:\\Program Files\\Velandra\\hosts.在宅\r\nLMHOSTS=\r\n"
    "TYPE0=PGM\r\nPGM0=C:\\WINDOWS\\explorer.exe\r\nARG0=C:\\共有\\公開\r\nDIR0=\r\n"
    "SIZE0=MAXIMIZE\r\n";

// Places P0 (kUnchanged; its records are made equal to the PC later), P1
// (kChanged) and fillers, each with static addresses on every adapter.
std::string Ini(int places) {
  std::string ini = "[COMMON]\r\nDIFFCHECK=TRUE\r\nDELETEBAT=TRUE\r\n[PLACELIST]\r\n";
  for (int p = 0; p < places; ++p)
    ini += "P" + std::to_string(p) + "=" +
           (p == 0 ? std::string(kUnchanged)
                   : p == 1 ? std::string(kChanged) : "接続場所" + std::to_string(p)) +
           "\r\n";
  for (int p = 0; p < places; ++p) {
    ini += "[P" + std::to_string(p) + "]\r\n" + kPlaceWide;
    for (int a = 0; a < kAdapters; ++a) {
      const std::string net = "10." + std::to_string(p % 250) + "." + std::to_string(a);
      ini += "[P" + std::to_string(p) + "A" + std::to_string(a) + "]\r\n" +
             "EnableDHCP=FALSE\r\nIPAddress=" + net + ".10," + net + ".11\r\n" +
             "SubnetMask=255.255.255.0,255.255.255.0\r\nGateway=" + net + ".1," + net +
             ".2\r\nMetric=1,2\r\nInterfaceMetric=0\r\nEnableDNS=FALSE\r\nDNS_Server=" + net +
             ".53," + net + ".54\r\nDOMAIN_Suffix=bench.example\r\nDOMAIN_Update=TRUE\r\n"
             "DOMAIN_Registration=FALSE\r\nWINS=" + net + ".9\r\nNetBIOS=0\r\n";
    }
  }
  return ini;
}

std::unique_ptr<SimulatedPc> OpenPc(const fs::path& dir) {
  std::string error;
  auto pc = SimulatedPc::Open(dir, error);
  if (!pc) Fail("cannot open the simulated PC: " + error);
  pc->SetConsole(nullptr);
  return pc;
}

// A program run's records over a platform.
struct Loaded {
  std::unique_ptr<Context> context;
  std::unique_ptr<ui::CVelandraSheet> sheet;
};

Loaded Load(platform::Platform& platform, const std::string& iniPath, int places) {
  Loaded l;
  l.context = std::make_unique<Context>(platform, iniPath, ReadOsInfo(platform.system));
  l.context->DiffCheck = true;
  l.sheet = std::make_unique<ui::CVelandraSheet>(*l.context);
  if (!l.sheet->LoadAll() ||
      l.sheet->AdapterSettingsList.size() != static_cast<size_t>(places) * kAdapters)
    Fail("load all did not load every record");
  return l;
}

// One simulated PC with `places` places: a pristine copy, and a working copy
// that the change rows put back before each run.
class BenchPc {
 public:
  explicit BenchPc(int places) : places_(places) {
    const fs::path base = fs::temp_directory_path() /
                          ("velandra-perf-" + std::to_string(places) + "-" +
                           std::to_string(static_cast<long long>(bench::NowMs() * 1000)));
    pristine_ = base / "pristine";
    work_ = base / "work";
    fs::remove_all(base);
    std::string error;
    if (!platform::sim::WriteDemoPc(pristine_, platform::sim::DemoVariant::WindowsXp, error))
      Fail(error);
    auto pc = OpenPc(pristine_);
    AddAdapters(pc->platform().registry);
    if (!pc->platform().files.WriteFile(kIniPath, Ini(places))) Fail("cannot write Velandra.ini");
    // The unchanged place: every adapter's record and the place-wide one read
    // from the PC.
    Loaded l = Load(pc->platform(), kIniPath, places);
    ui::CVelandraSheet& sheet = *l.sheet;
    sheet.CurrentPlace = sheet.FindPlace(0);
    for (const auto& adapter : sheet.Adapters) {
      sheet.CurrentAdapter = adapter.get();
      sheet.RefreshFromPc();
    }
    if (!sheet.SaveAll()) Fail("cannot save the unchanged place");
    Reset();
  }
  ~BenchPc() {
    std::error_code ec;
    fs::remove_all(pristine_.parent_path(), ec);
  }
  int places() const { return places_; }
  const fs::path& work() const { return work_; }
  void Reset() const {
    fs::remove_all(work_);
    fs::copy(pristine_, work_, fs::copy_options::recursive);
  }

 private:
  int places_;
  fs::path pristine_, work_;
};

// The median of several timed runs of `body` in milliseconds; `setup` runs
// before each, untimed.
double Median(const std::function<void()>& setup, const std::function<void()>& body) {
  const int minRuns = quick ? 1 : 5, maxRuns = quick ? 1 : 30;
  const double enough = quick ? 0 : 400;  // ms of timed work
  std::vector<double> runs;
  double total = 0;
  while (static_cast<int>(runs.size()) < minRuns ||
         (total < enough && static_cast<int>(runs.size()) < maxRuns)) {
    if (setup) setup();
    const double start = bench::NowMs();
    body();
    const double ms = bench::NowMs() - start;
    runs.push_back(ms);
    total += ms;
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

struct Row {
  std::string name;
  std::map<int, double> ms;  // by places
  std::string commands;      // for the change rows
};

struct Figures {
  std::vector<Row> rows;
  std::vector<std::string> faults;
  Row& Get(const std::string& name) {
    for (Row& r : rows)
      if (r.name == name) return r;
    rows.push_back({name, {}, ""});
    return rows.back();
  }
};

// Read, load all and save all through `profile` over `files` (the rest of
// the platform is the PC's).
void ProfileRows(Figures& f, const BenchPc& bench, const std::string& backend,
                 const std::function<std::unique_ptr<platform::IProfile>()>& makeProfile,
                 platform::IFiles* files, const std::string& iniPath,
                 const std::function<void()>& forgetCache) {
  auto pc = OpenPc(bench.work());
  const platform::Platform& p = pc->platform();
  std::unique_ptr<platform::IProfile> profile;
  std::unique_ptr<platform::Platform> platform;
  auto fresh = [&] {
    if (forgetCache) forgetCache();
    profile = makeProfile();
    platform.reset(new platform::Platform{*profile, p.registry, p.system, p.accounts,
                                          files ? *files : p.files, p.shell, p.messages,
                                          p.processes, p.session, p.drives, p.printers,
                                          p.shares, p.domain});
  };
  const int n = bench.places();
  f.Get("read and parse, " + backend).ms[n] = Median(fresh, [&] {
    if (profile->GetString("PLACELIST", "P0", "", 256, iniPath) != kUnchanged)
      Fail("the plain read did not find the first place");
  });
  f.Get("load all, " + backend).ms[n] =
      Median(fresh, [&] { Load(*platform, iniPath, n); });
  fresh();
  Loaded l = Load(*platform, iniPath, n);
  f.Get("save all, " + backend).ms[n] = Median(nullptr, [&] {
    if (!l.sheet->SaveAll()) Fail("save all failed");
  });
}

void SimProfileRows(Figures& f, const BenchPc& bench) {
  auto pc = OpenPc(bench.work());
  SimulatedPc* raw = pc.get();
  ProfileRows(
      f, bench, "simulated",
      [raw] {
        return std::make_unique<platform::sim::SimProfile>(
            [raw](const std::string& path, fs::path& host) { return raw->MapPath(path, host); });
      },
      nullptr, kIniPath, nullptr);
}

#ifdef _WIN32
void Kernel32Rows(Figures& f, const BenchPc& bench) {
  auto pc = OpenPc(bench.work());
  fs::path host;
  if (!pc->MapPath(kIniPath, host)) Fail("no host file for Velandra.ini");
  const std::string path = host.string();  // the temporary directory's path is ASCII
  platform::win32::Win32Files files;
  ProfileRows(
      f, bench, "kernel32",
      [] { return std::make_unique<platform::win32::Win32Profile>(); }, &files, path,
      // All three null: kernel32 drops its cached copy of the file.
      [path] { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); });
}
#endif

void StartupRow(Figures& f, const BenchPc& bench) {
  f.Get("start-up to the sheet ready").ms[bench.places()] = Median(nullptr, [&] {
    auto pc = OpenPc(bench.work());
    Load(pc->platform(), kIniPath, bench.places());
  });
}

// The change without restart of `placeName`, DIFFCHECK on, as -p NAME -now
// does it after loading: the comparison with the PC and the batch.
void ChangeRow(Figures& f, const BenchPc& bench, const std::string& label,
               const char* placeName, bool mustBeEmpty) {
  std::unique_ptr<SimulatedPc> pc;
  Loaded l;
  size_t commands = 0;
  std::string ran;  // UTF-8, as the event log has it
  const double ms = Median(
      [&] {
        l = {};
        pc.reset();
        bench.Reset();
        pc = OpenPc(bench.work());
        l = Load(pc->platform(), kIniPath, bench.places());
      },
      [&] {
        ui::CVelandraSheet& sheet = *l.sheet;
        const int64_t number = sheet.FindPlaceNumber(placeName);
        if (number < 0) Fail("no place " + std::string(placeName));
        config::Place& place = *sheet.FindPlace(static_cast<uint32_t>(number));
        sheet.CurrentPlace = &place;
        sheet.CompareWithPc(place);
        if (config::PlaceSettings* record = sheet.FindPlaceSettings(place))
          CompareWithPC(*l.context, *record);
        if (!apply::RunChangeBatch(sheet, place)) {
          std::string why;
          for (const auto& m : pc->Messages()) why += " / " + platform::Cp932ToUtf8(m.Text);
          Fail("the change batch failed for " + label + why);
        }
        commands = 0;
        ran.clear();
        for (const std::string& e : pc->Events())
          if (e.rfind(platform::sim::kBatchCommandEvent, 0) == 0) {
            // The batch's comment line, naming the place, changes nothing.
            const std::string command = e.substr(std::strlen(platform::sim::kBatchCommandEvent));
            if (command.rfind("rem ", 0) == 0) continue;
            ++commands;
            ran += " / " + command;
          }
      });
  Row& row = f.Get(label);
  row.ms[bench.places()] = ms;
  row.commands = std::to_string(commands);
  if (mustBeEmpty && commands != 0)
    f.faults.push_back(label + ", " + std::to_string(bench.places()) +
                       " places: the batch holds commands" + ran);
}

std::string Fixed(double v, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

void Print(Figures& f) {
  std::printf("%-36s %10s %10s %10s %9s %9s\n", "milliseconds (median)", "10", "100", "500",
              "500/100", "commands");
  auto line = [](const std::string& name, const std::map<int, double>& ms, int decimals,
                 const std::string& growth, const std::string& commands) {
    std::printf("%-36s", name.c_str());
    for (int n : kPlaceCounts) {
      auto it = ms.find(n);
      std::printf(" %10s", it == ms.end() ? "-" : Fixed(it->second, decimals).c_str());
    }
    std::printf(" %9s %9s\n", growth.c_str(), commands.c_str());
  };
  std::vector<Row> ratios;
  for (const Row& r : f.rows) {
    std::string growth = "-";
    if (r.ms.count(100) && r.ms.count(500) && r.ms.at(100) > 0) {
      const double g = r.ms.at(500) / r.ms.at(100);
      growth = Fixed(g, 1);
      // Linear is 5; half as much again is noise no longer.
      if (g > 7.5) f.faults.push_back(r.name + " grows worse than linearly (x" + growth + ")");
    }
    line(r.name, r.ms, 2, growth, r.commands.empty() ? "-" : r.commands);
    const std::string k32 = ", kernel32";
    if (r.name.size() > k32.size() &&
        r.name.compare(r.name.size() - k32.size(), k32.size(), k32) == 0) {
      const std::string base = r.name.substr(0, r.name.size() - k32.size());
      Row ratio{base + ", kernel32/simulated", {}, ""};
      for (const Row& s : f.rows)
        if (s.name == base + ", simulated")
          for (int n : kPlaceCounts)
            if (r.ms.count(n) && s.ms.count(n) && s.ms.at(n) > 0)
              ratio.ms[n] = r.ms.at(n) / s.ms.at(n);
      ratios.push_back(ratio);
    }
  }
  if (!ratios.empty()) {
    std::printf("%-36s\n", "ratio, same run");
    for (const Row& r : ratios) line(r.name, r.ms, 1, "-", "-");
  }
  const Row& read = f.Get("read and parse, simulated");
  const Row& load = f.Get("load all, simulated");
  if (read.ms.count(500) && load.ms.count(500) && read.ms.at(500) > 0) {
    const double x = load.ms.at(500) / read.ms.at(500);
    std::printf("load all of 500 places = %.2f x one plain read and parse (at most 3)\n", x);
    if (x > 3) f.faults.push_back("load all of 500 places takes more than 3 plain reads");
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      quick = true;
    } else {
      std::fprintf(stderr, "usage: velandra_perf [--quick]\n");
      return 2;
    }
  }
  try {
    Figures f;
    for (int places : kPlaceCounts) {
      BenchPc bench(places);
      SimProfileRows(f, bench);
#ifdef _WIN32
      // Wine's kernel32 looks a key up through every section before it on
      // each call: 500 places take minutes there, and the ratio is clear at 100.
      if (places <= 100) Kernel32Rows(f, bench);
#endif
      StartupRow(f, bench);
      ChangeRow(f, bench, "change now, unchanged place", kUnchanged, true);
      ChangeRow(f, bench, "change now, fully changed place", kChanged, false);
    }
    Print(f);
    for (const std::string& fault : f.faults) std::printf("FAULT: %s\n", fault.c_str());
    return f.faults.empty() ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velandra_perf: %s\n", e.what());
    return 1;
  }
}
