// Load all and save all of a large configuration: 100 places, each with
// settings for 8 adapters, on a simulated PC with those 8 adapters.
//   build/bench/bench/velandra_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "system/os_info.h"
#include "system/platform/registry.h"
#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/simulated_pc.h"
#include "ui/velandra_sheet.h"

namespace {

namespace fs = std::filesystem;
using namespace velandra;
using platform::Hive;
using platform::RegKey;

constexpr int kPlaces = 100;
constexpr int kAdapters = 8;
constexpr char kIniPath[] = "C:\\Program Files\\Velandra\\Velandra.ini";
constexpr char kNetClass[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr char kNetwork[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr char kTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\";
constexpr char kEnum[] = "SYSTEM\\CurrentControlSet\\Enum\\";

void Check(long rc) {
  if (rc != platform::kErrorSuccess) throw std::runtime_error("registry write failed");
}

// The demo PC's two adapters and six more of one model, told apart by
// their connection names.
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
    Check(key(kTcpip + std::string("Adapters\\") + guid).SetString("IpConfig", "x"));
    RegKey ifc = key(kTcpip + std::string("Interfaces\\") + guid);
    Check(ifc.SetDword("EnableDHCP", 1));
  }
}

std::string Ini() {
  std::string ini = "[PLACELIST]\r\n";
  for (int p = 0; p < kPlaces; ++p)
    ini += "P" + std::to_string(p) + "=接続場所" + std::to_string(p) + "\r\n";
  for (int p = 0; p < kPlaces; ++p)
    for (int a = 0; a < kAdapters; ++a) {
      const std::string net = "10." + std::to_string(p) + "." + std::to_string(a);
      ini += "[P" + std::to_string(p) + "A" + std::to_string(a) + "]\r\n" +
             "EnableDHCP=FALSE\r\nIPAddress=" + net + ".10," + net + ".11\r\n" +
             "SubnetMask=255.255.255.0,255.255.255.0\r\nGateway=" + net + ".1," + net +
             ".2\r\nMetric=1,2\r\nInterfaceMetric=0\r\nEnableDNS=FALSE\r\nDNS_Server=" + net +
             ".53," + net + ".54\r\nDOMAIN_Suffix=bench.example\r\nDOMAIN_Update=TRUE\r\n"
             "DOMAIN_Registration=FALSE\r\nWINS=" + net + ".9\r\nNetBIOS=0\r\n";
    }
  return ini;
}

// One simulated PC for the whole run, in a fresh temporary directory.
class BenchPc {
 public:
  BenchPc() {
    dir_ = fs::temp_directory_path() / ("velandra-bench-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    std::string error;
    if (!platform::sim::WriteDemoPc(dir_, platform::sim::DemoVariant::WindowsXp, error))
      throw std::runtime_error(error);
    auto pc = Open();
    AddAdapters(pc->platform().registry);
    if (!pc->platform().files.WriteFile(kIniPath, Ini()))
      throw std::runtime_error("cannot write Velandra.ini");
  }
  ~BenchPc() { fs::remove_all(dir_); }
  std::unique_ptr<platform::sim::SimulatedPc> Open() const {
    std::string error;
    auto pc = platform::sim::SimulatedPc::Open(dir_, error);
    if (!pc) throw std::runtime_error(error);
    return pc;
  }

 private:
  fs::path dir_;
};

BenchPc& Pc() {
  static BenchPc pc;
  return pc;
}

struct Loaded {
  std::unique_ptr<platform::sim::SimulatedPc> pc;
  std::unique_ptr<Context> context;
  std::unique_ptr<ui::CVelandraSheet> sheet;
};

Loaded Load() {
  Loaded l;
  l.pc = Pc().Open();
  l.context = std::make_unique<Context>(l.pc->platform(), kIniPath,
                                        ReadOsInfo(l.pc->platform().system));
  l.sheet = std::make_unique<ui::CVelandraSheet>(*l.context);
  if (!l.sheet->LoadAll() || l.sheet->AdapterSettingsList.size() != kPlaces * kAdapters)
    throw std::runtime_error("load all did not load every record");
  return l;
}

// A start of the program: the PC (registry, files) opened afresh, then load all.
void BM_LoadAll(benchmark::State& state) {
  Pc();
  for (auto _ : state) {
    Loaded l = Load();
    benchmark::DoNotOptimize(l.sheet->AdapterSettingsList.size());
  }
  state.SetItemsProcessed(state.iterations() * kPlaces * kAdapters);
}
BENCHMARK(BM_LoadAll)->Unit(benchmark::kMillisecond);

// Save all over the existing file, as the apply flow does.
void BM_SaveAll(benchmark::State& state) {
  Loaded l = Load();
  for (auto _ : state)
    if (!l.sheet->SaveAll()) state.SkipWithError("save all failed");
  state.SetItemsProcessed(state.iterations() * kPlaces * kAdapters);
}
BENCHMARK(BM_SaveAll)->Unit(benchmark::kMillisecond);

}  // namespace
