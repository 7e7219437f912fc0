#include "system/adapter_enum.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "system/os_info.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/text.h"

namespace velandra {
namespace {

using platform::Hive;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageOwner;
using platform::sim::DemoVariant;
using platform::sim::ShownMessage;
using platform::sim::SimulatedPc;
using testing::ScratchPc;

constexpr char kConfigPath[] = "C:\\Program Files\\Velandra\\Velandra.ini";
constexpr char kIniFile[] = "C/Program Files/Velandra/Velandra.ini";
constexpr char kNetClassKey[] = "{4D36E972-E325-11CE-BFC1-08002BE10318}";
constexpr char kOtherNetClassKey[] = "{9A1B2C3D-0000-4000-8000-000000000001}";
constexpr char kClassRoot[] = "SYSTEM\\CurrentControlSet\\Control\\Class";
constexpr char kOpenEnding[] = " のopenでエラーが発生しました";

// One device of a fixture registry; every part present by default.
struct Device {
  std::string classKey = kNetClassKey;
  std::string key = "0000";
  std::optional<std::string> desc = "Intel(R) PRO/100 VE Network Connection";
  std::optional<std::string> guid = "{11111111-2222-3333-4444-555555555555}";
  bool bound = true;
  bool connection = true;
  std::optional<std::string> pnp = "PCI\\VEN_8086&DEV_1092\\4&1F7DBC9F&0&40F0";
  std::optional<std::string> name = "ローカル エリア接続";
  bool present = true;
};

// A quoted REGEDIT4 string.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (platform::IsCp932LeadByte(c) && i + 1 < text.size()) {
      out += text[i];
      out += text[++i];
      continue;
    }
    if (c == '\\' || c == '"') out += '\\';
    out += text[i];
  }
  return out + "\"";
}

// A key line; empty components are dropped, as Windows skips repeated and
// trailing separators (so an empty GUID names the parent key).
std::string KeyLine(const std::string& path) {
  std::string collapsed;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (platform::IsCp932LeadByte(c) && i + 1 < path.size()) {
      collapsed += path[i];
      collapsed += path[++i];
      continue;
    }
    if (c == '\\' && (collapsed.empty() || collapsed.back() == '\\')) continue;
    collapsed += path[i];
  }
  while (!collapsed.empty() && collapsed.back() == '\\') collapsed.pop_back();
  return "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\" + collapsed + "]\r\n";
}

// A registry with the class root, the given classes (key name -> Class
// value; null: no Class value) and devices.
std::string Fixture(const std::map<std::string, const char*>& classes,
                    const std::vector<Device>& devices) {
  std::string text = "REGEDIT4\r\n\r\n" + KeyLine("Control\\Class");
  for (const auto& [key, value] : classes) {
    text += KeyLine("Control\\Class\\" + key);
    if (value) text += "\"Class\"=" + Quoted(value) + "\r\n";
  }
  for (const Device& d : devices) {
    text += KeyLine("Control\\Class\\" + d.classKey + "\\" + d.key);
    if (d.desc) text += "\"DriverDesc\"=" + Quoted(*d.desc) + "\r\n";
    if (d.guid) text += "\"NetCfgInstanceId\"=" + Quoted(*d.guid) + "\r\n";
    const std::string guid = d.guid.value_or("{none}");
    if (d.bound) text += KeyLine("Services\\Tcpip\\Parameters\\Adapters\\" + guid);
    if (d.connection) {
      text += KeyLine("Control\\Network\\" + d.classKey + "\\" + guid + "\\Connection");
      if (d.pnp) text += "\"PnpInstanceID\"=" + Quoted(*d.pnp) + "\r\n";
      if (d.name) text += "\"Name\"=" + Quoted(*d.name) + "\r\n";
    }
    if (d.pnp) {
      text += KeyLine("Enum\\" + *d.pnp);
      if (d.present) text += KeyLine("Enum\\" + *d.pnp + "\\Control");
    }
  }
  return text;
}

std::string DevicePath(const Device& d) {
  return std::string(kClassRoot) + "\\" + d.classKey + "\\" + d.key;
}
std::string ConnectionPath(const Device& d) {
  return "SYSTEM\\CurrentControlSet\\Control\\Network\\" + d.classKey + "\\" + *d.guid +
         "\\Connection";
}

struct Found {
  uint32_t number;
  std::string desc, guid, name;
  bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f) {
  return os << f.number << " [" << platform::Cp932ToUtf8(f.desc) << "] " << f.guid << " ["
            << platform::Cp932ToUtf8(f.name) << "]";
}

struct Walk {
  std::vector<Found> adapters;
  std::vector<ShownMessage> messages;
  std::optional<int> quit;
};

Walk Enumerate(SimulatedPc& sim, platform::Platform& platform) {
  Context context(platform, kConfigPath, ReadOsInfo(platform.system));
  AdapterList adapters;
  EnumerateAdapters(context, adapters);
  Walk walk;
  for (const auto& a : adapters)
    walk.adapters.push_back({a->Number, a->DriverDesc, a->NetCfgInstanceId, a->ConnectionName});
  walk.messages = sim.Messages();
  walk.quit = context.QuitCode();
  return walk;
}

Walk Enumerate(SimulatedPc& sim) { return Enumerate(sim, sim.platform()); }

void Load(SimulatedPc& sim, const std::string& regedit4) {
  std::string error;
  ASSERT_TRUE(sim.registry().LoadText(regedit4, error)) << error;
}

Found FoundOf(const Device& d, uint32_t number) {
  return {number, d.desc.value_or(""), d.guid.value_or(""), d.name.value_or("")};
}

TEST(EnumerateAdapters, DemoPcsGiveTheirTwoAdaptersInOrder) {
  const std::vector<Found> expected = {
      {0, "Intel(R) PRO/100 VE Network Connection", "{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}",
       "ローカル エリア接続"},
      {1, "Intel(R) PRO/Wireless 2200BG Network Connection",
       "{A3C5E7F9-1B2D-4E6F-8A9B-0C1D2E3F4A5B}", "ワイヤレス ネットワーク接続"},
  };
  for (DemoVariant variant : {DemoVariant::WindowsXp, DemoVariant::Windows2000}) {
    SCOPED_TRACE(variant == DemoVariant::WindowsXp ? "xp" : "2000");
    ScratchPc pc(variant);
    const Walk walk = Enumerate(pc.Open());
    EXPECT_EQ(walk.adapters, expected);
    EXPECT_TRUE(walk.messages.empty());  // the skipped devices pass silently
    EXPECT_EQ(walk.quit, std::nullopt);
  }
}

TEST(EnumerateAdapters, DemoPcNumbersFromItsAdapterHistory) {
  ScratchPc pc;
  pc.WriteFile(kIniFile,
               "[ADAPTERLIST]\r\nA0=Old card\r\nC0=古い接続\r\n"
               "A1=Intel(R) PRO/Wireless 2200BG Network Connection\r\n"
               "C1=ワイヤレス ネットワーク接続\r\n");
  const Walk walk = Enumerate(pc.Open());
  ASSERT_EQ(walk.adapters.size(), 2u);
  EXPECT_EQ(walk.adapters[0].number, 2u);  // 0 and 1 are taken
  EXPECT_EQ(walk.adapters[1].number, 1u);
}

struct SkipCase {
  const char* name;
  std::map<std::string, const char*> classes;
  Device device;
  bool found;
};

Device With(void (*change)(Device&)) {
  Device d;
  change(d);
  return d;
}

TEST(EnumerateAdapters, DevicesThatDoNotQualifyAreSkippedSilently) {
  const std::map<std::string, const char*> net = {{kNetClassKey, "Net"}};
  const SkipCase cases[] = {
      {"complete", net, Device{}, true},
      {"no_NetCfgInstanceId", net, With([](Device& d) { d.guid.reset(); }), false},
      {"empty_NetCfgInstanceId", net, With([](Device& d) { d.guid = ""; }), false},
      {"not_bound_to_tcpip", net, With([](Device& d) { d.bound = false; }), false},
      {"no_connection_key", net, With([](Device& d) { d.connection = false; }), false},
      {"unplugged", net, With([](Device& d) { d.present = false; }), false},
      {"class_net_lower_case", {{kNetClassKey, "net"}}, Device{}, false},
      {"class_NET_upper_case", {{kNetClassKey, "NET"}}, Device{}, false},
      {"class_with_blank", {{kNetClassKey, "Net "}}, Device{}, false},
      {"class_without_Class_value", {{kNetClassKey, nullptr}}, Device{}, false},
      {"display_class", {{kNetClassKey, "Display"}}, Device{}, false},
      {"empty_description_and_name", net,
       With([](Device& d) {
         d.desc = "";
         d.name = "";
       }),
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchPc pc;
    SimulatedPc& sim = pc.Open();
    Load(sim, Fixture(c.classes, {c.device}));
    const Walk walk = Enumerate(sim);
    if (c.found)
      EXPECT_EQ(walk.adapters, std::vector<Found>{FoundOf(c.device, 0)});
    else
      EXPECT_TRUE(walk.adapters.empty());
    EXPECT_TRUE(walk.messages.empty());
    EXPECT_EQ(walk.quit, std::nullopt);
  }
}

TEST(EnumerateAdapters, ValuesStoredWithSizeZeroReadAsEmpty) {
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  Device d;
  d.desc.reset();
  d.name.reset();
  std::string text = Fixture({{kNetClassKey, "Net"}}, {d});
  text += "[HKEY_LOCAL_MACHINE\\" + DevicePath(d) + "]\r\n\"DriverDesc\"=hex(1):\r\n";
  text += "[HKEY_LOCAL_MACHINE\\" + ConnectionPath(d) + "]\r\n\"Name\"=hex(1):\r\n";
  Load(sim, text);
  const Walk walk = Enumerate(sim);
  EXPECT_EQ(walk.adapters, std::vector<Found>{FoundOf(d, 0)});
  EXPECT_TRUE(walk.messages.empty());
}

TEST(EnumerateAdapters, DeviceKeysThatCannotBeReadAreSkippedSilently) {
  Device bad, good;
  bad.key = "0000";
  good.key = "0001";
  good.guid = "{99999999-2222-3333-4444-555555555555}";
  good.pnp = "PCI\\GOOD\\1";
  good.name = "ワイヤレス ネットワーク接続";
  struct Row {
    const char* name;
    void (*inject)(platform::sim::SimRegistry&, const Device&);
  } rows[] = {
      {"device_open_fails",
       [](platform::sim::SimRegistry& r, const Device& d) {
         r.FailOpen(Hive::LocalMachine, DevicePath(d), platform::kErrorAccessDenied);
       }},
      {"NetCfgInstanceId_query_fails",
       [](platform::sim::SimRegistry& r, const Device& d) {
         r.FailQuery(Hive::LocalMachine, DevicePath(d), "NetCfgInstanceId",
                     platform::kErrorAccessDenied);
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    SimulatedPc& sim = pc.Open();
    Load(sim, Fixture({{kNetClassKey, "Net"}}, {bad, good}));
    row.inject(sim.registry(), bad);
    const Walk walk = Enumerate(sim);
    EXPECT_EQ(walk.adapters, std::vector<Found>{FoundOf(good, 0)});
    EXPECT_TRUE(walk.messages.empty());
    EXPECT_EQ(walk.quit, std::nullopt);
  }
}

TEST(EnumerateAdapters, EveryNetClassWalkedInRegistryOrder) {
  // Classes and devices are given out of order; the registry lists them
  // sorted, and so does the walk.
  std::vector<Device> devices(4);
  devices[0].classKey = kOtherNetClassKey;
  devices[0].key = "0010";
  devices[1].classKey = kOtherNetClassKey;
  devices[1].key = "000A";
  devices[2].classKey = kNetClassKey;
  devices[2].key = "0002";
  devices[3].classKey = "{00000000-0000-0000-0000-00000000000L}";  // "net": not walked
  for (size_t i = 0; i < devices.size(); ++i) {
    devices[i].guid = "{GUID-" + std::to_string(i) + "}";
    devices[i].pnp = "PCI\\DEV\\" + std::to_string(i);
    devices[i].name = "接続 " + std::to_string(i);
  }
  // Two cards of one model: same description, told apart by their numbers.
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  Load(sim, Fixture({{kOtherNetClassKey, "Net"},
                     {kNetClassKey, "Net"},
                     {"{00000000-0000-0000-0000-00000000000L}", "net"}},
                    devices));
  const Walk walk = Enumerate(sim);
  EXPECT_EQ(walk.adapters, (std::vector<Found>{FoundOf(devices[2], 0), FoundOf(devices[1], 1),
                                               FoundOf(devices[0], 2)}));
  EXPECT_TRUE(walk.messages.empty());
}

TEST(EnumerateAdapters, KeyNamesTooLongForTheBufferArePassedOver) {
  Device longName, next;
  longName.key = std::string(127, '0');  // 127 bytes and the zero: fits
  next.key = std::string(128, '1');      // does not fit
  Device last;
  last.key = "2";
  longName.guid = "{A}";
  next.guid = "{B}";
  last.guid = "{C}";
  longName.pnp = "PCI\\A";
  next.pnp = "PCI\\B";
  last.pnp = "PCI\\C";
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  Load(sim, Fixture({{kNetClassKey, "Net"}}, {longName, next, last}));
  const Walk walk = Enumerate(sim);
  ASSERT_EQ(walk.adapters.size(), 2u);
  EXPECT_EQ(walk.adapters[0].guid, "{A}");
  EXPECT_EQ(walk.adapters[1].guid, "{C}");
}

TEST(EnumerateAdapters, NoQualifyingAdapterGivesAnEmptyList) {
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  Load(sim, Fixture({{"{4D36E968-E325-11CE-BFC1-08002BE10318}", "Display"}}, {}));
  const Walk walk = Enumerate(sim);
  EXPECT_TRUE(walk.adapters.empty());
  EXPECT_TRUE(walk.messages.empty());
  EXPECT_EQ(walk.quit, std::nullopt);
}

struct FailureCase {
  const char* name;
  void (*inject)(platform::sim::SimRegistry&, const Device& first);
  std::vector<std::string> messages;  // exact texts, in order
  std::vector<Found> adapters;
};

TEST(EnumerateAdapters, RegistryFailuresAreShownAndEndTheRun) {
  // Two network classes with one device each: the second shows that the
  // walk goes on after a failure in the first.
  Device first, second;
  second.classKey = kOtherNetClassKey;
  second.guid = "{99999999-2222-3333-4444-555555555555}";
  second.pnp = "PCI\\SECOND\\1";
  second.name = "ローカル エリア接続 2";
  const std::string firstClass = std::string(kClassRoot) + "\\" + kNetClassKey;
  const FailureCase cases[] = {
      {"class_root_open",
       [](platform::sim::SimRegistry& r, const Device&) {
         r.FailOpen(Hive::LocalMachine, kClassRoot, platform::kErrorAccessDenied);
       },
       {std::string("レジストリ ") + kClassRoot + kOpenEnding},
       {}},
      {"class_open",
       [](platform::sim::SimRegistry& r, const Device& d) {
         r.FailOpen(Hive::LocalMachine, std::string(kClassRoot) + "\\" + d.classKey,
                    platform::kErrorAccessDenied);
       },
       {"レジストリ " + firstClass + kOpenEnding},
       {FoundOf(second, 0)}},
      {"DriverDesc_query",
       [](platform::sim::SimRegistry& r, const Device& d) {
         r.FailQuery(Hive::LocalMachine, DevicePath(d), "DriverDesc",
                     platform::kErrorAccessDenied);
       },
       {"レジストリ " + DevicePath(first) + "\\DriverDesc のデータ取得でエラーが発生しました"},
       {{0, "", *first.guid, *first.name}, FoundOf(second, 1)}},
      {"PnpInstanceID_query",
       [](platform::sim::SimRegistry& r, const Device& d) {
         r.FailQuery(Hive::LocalMachine, ConnectionPath(d), "PnpInstanceID",
                     platform::kErrorAccessDenied);
       },
       {"レジストリ " + ConnectionPath(first) +
        "\\PnpInstanceID のデータ取得でエラーが発生しました"},
       // Without its instance ID the device cannot be found present.
       {FoundOf(second, 0)}},
      {"Name_query",
       [](platform::sim::SimRegistry& r, const Device& d) {
         r.FailQuery(Hive::LocalMachine, ConnectionPath(d), "Name",
                     platform::kErrorAccessDenied);
       },
       {"レジストリ " + ConnectionPath(first) + "\\Name のデータ取得でエラーが発生しました"},
       {{0, *first.desc, *first.guid, ""}, FoundOf(second, 1)}},
      {"DriverDesc_and_Name_query",
       [](platform::sim::SimRegistry& r, const Device& d) {
         r.FailQuery(Hive::LocalMachine, DevicePath(d), "DriverDesc", platform::kErrorMoreData);
         r.FailQuery(Hive::LocalMachine, ConnectionPath(d), "Name", platform::kErrorMoreData);
       },
       {"レジストリ " + DevicePath(first) + "\\DriverDesc のデータ取得でエラーが発生しました",
        "レジストリ " + ConnectionPath(first) + "\\Name のデータ取得でエラーが発生しました"},
       {{0, "", *first.guid, ""}, FoundOf(second, 1)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchPc pc;
    SimulatedPc& sim = pc.Open();
    Load(sim, Fixture({{kNetClassKey, "Net"}, {kOtherNetClassKey, "Net"}}, {first, second}));
    c.inject(sim.registry(), first);
    const Walk walk = Enumerate(sim);
    EXPECT_EQ(walk.adapters, c.adapters);
    ASSERT_EQ(walk.messages.size(), c.messages.size());
    for (size_t i = 0; i < c.messages.size(); ++i) {
      const ShownMessage& m = walk.messages[i];
      EXPECT_EQ(platform::Cp932ToUtf8(m.Text), platform::Cp932ToUtf8(c.messages[i]));
      EXPECT_EQ(m.Caption, "Velandra");
      EXPECT_EQ(m.Owner, MessageOwner::MainWindow);
      EXPECT_EQ(m.Icon, MessageIcon::Warning);
      EXPECT_EQ(m.Buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(walk.quit, 1);
  }
}

TEST(EnumerateAdapters, TooLongDescriptionIsAFailedRead) {
  Device d;
  d.desc = std::string(256, 'x');  // with its zero, one byte more than the buffer
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  Load(sim, Fixture({{kNetClassKey, "Net"}}, {d}));
  const Walk walk = Enumerate(sim);
  EXPECT_EQ(walk.adapters, (std::vector<Found>{{0, "", *d.guid, *d.name}}));
  ASSERT_EQ(walk.messages.size(), 1u);
  EXPECT_EQ(walk.messages[0].Text,
            "レジストリ " + DevicePath(d) + "\\DriverDesc のデータ取得でエラーが発生しました");
  EXPECT_EQ(walk.quit, 1);
}

// Passes every call on to the simulated registry, and records each key
// opened with its access and how many keys are open.
class RecordingRegistry : public platform::IRegistry {
 public:
  explicit RecordingRegistry(platform::IRegistry& inner) : inner_(inner) {}
  long OpenKey(Hive hive, std::string_view path, uint32_t access,
               std::unique_ptr<platform::IRegistryKey>& key) override {
    std::unique_ptr<platform::IRegistryKey> opened;
    const long rc = inner_.OpenKey(hive, path, access, opened);
    opens.push_back({std::string(path), access});
    if (rc == platform::kErrorSuccess) key = std::make_unique<Key>(std::move(opened), *this);
    return rc;
  }
  long CreateKey(Hive, std::string_view path, uint32_t,
                 std::unique_ptr<platform::IRegistryKey>&) override {
    ADD_FAILURE() << "the walk created " << path;
    return platform::kErrorAccessDenied;
  }
  long DeleteKey(Hive, std::string_view path) override {
    ADD_FAILURE() << "the walk deleted " << path;
    return platform::kErrorAccessDenied;
  }

  struct Open {
    std::string path;
    uint32_t access;
  };
  std::vector<Open> opens;
  int live = 0;

 private:
  class Key : public platform::IRegistryKey {
   public:
    Key(std::unique_ptr<platform::IRegistryKey> inner, RecordingRegistry& owner)
        : inner_(std::move(inner)), owner_(owner) {
      ++owner_.live;
    }
    ~Key() override { --owner_.live; }
    long EnumKey(uint32_t index, uint32_t size, std::string& name) override {
      return inner_->EnumKey(index, size, name);
    }
    long QueryValue(std::string_view name, uint32_t size, uint32_t& type,
                    std::string& data) override {
      return inner_->QueryValue(name, size, type, data);
    }
    long SetValue(std::string_view name, uint32_t, std::string_view) override {
      ADD_FAILURE() << "the walk set " << name;
      return platform::kErrorAccessDenied;
    }
    long DeleteValue(std::string_view name) override {
      ADD_FAILURE() << "the walk deleted " << name;
      return platform::kErrorAccessDenied;
    }

   private:
    std::unique_ptr<platform::IRegistryKey> inner_;
    RecordingRegistry& owner_;
  };
  platform::IRegistry& inner_;
};

TEST(EnumerateAdapters, KeysOpenedWithTheirAccessAndAllClosed) {
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  Device d;
  Load(sim, Fixture({{kNetClassKey, "Net"}}, {d}));
  RecordingRegistry recorder(sim.registry());
  platform::Platform& p = sim.platform();
  platform::Platform recorded{p.profile, recorder, p.system, p.accounts,
                              p.files,   p.shell,  p.messages, p.processes, p.session,
                              p.drives, p.printers, p.shares, p.domain};
  const Walk walk = Enumerate(sim, recorded);
  ASSERT_EQ(walk.adapters.size(), 1u);
  EXPECT_EQ(recorder.live, 0);
  const std::vector<std::pair<std::string, uint32_t>> expected = {
      {kClassRoot, platform::kKeyEnumerateSubKeys},
      {std::string(kClassRoot) + "\\" + kNetClassKey, platform::kKeyRead},
      {DevicePath(d), platform::kKeyQueryValue},
      {"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters\\" + *d.guid,
       platform::kKeyEnumerateSubKeys},
      {ConnectionPath(d), platform::kKeyQueryValue},
      {"SYSTEM\\CurrentControlSet\\Enum\\" + *d.pnp + "\\Control", platform::kKeyQueryValue},
  };
  ASSERT_EQ(recorder.opens.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].first);
    EXPECT_EQ(recorder.opens[i].path, expected[i].first);
    EXPECT_EQ(recorder.opens[i].access, expected[i].second);
  }
}

TEST(EnumerateAdapters, EveryKeyClosedOnEverySkipAndFailure) {
  // The demo PC has a device for each reason to skip; the failures add the
  // paths that end early.
  struct Row {
    const char* name;
    void (*inject)(platform::sim::SimRegistry&);
  } rows[] = {
      {"demo", [](platform::sim::SimRegistry&) {}},
      {"class_root_fails",
       [](platform::sim::SimRegistry& r) {
         r.FailOpen(Hive::LocalMachine, kClassRoot, platform::kErrorAccessDenied);
       }},
      {"name_fails",
       [](platform::sim::SimRegistry& r) {
         r.FailQuery(Hive::LocalMachine,
                     "SYSTEM\\CurrentControlSet\\Control\\Network\\"
                     "{4D36E972-E325-11CE-BFC1-08002BE10318}\\"
                     "{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}\\Connection",
                     "Name", platform::kErrorAccessDenied);
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    SimulatedPc& sim = pc.Open();
    row.inject(sim.registry());
    RecordingRegistry recorder(sim.registry());
    platform::Platform& p = sim.platform();
    platform::Platform recorded{p.profile, recorder, p.system, p.accounts,
                                p.files,   p.shell,  p.messages, p.processes, p.session,
                              p.drives, p.printers, p.shares, p.domain};
    Enumerate(sim, recorded);
    EXPECT_FALSE(recorder.opens.empty());
    EXPECT_EQ(recorder.live, 0);
  }
}

}  // namespace
}  // namespace velandra
