// A place applied without restart on the simulated PC, from the command
// line to the registry: Velandra -p NAME -now writes the batch, the
// simulated command interpreter runs it, netsh changes the adapters, and
// the place then compares equal with the PC.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/exit_codes.h"
#include "app/velandra_app.h"
#include "support/scratch_dir.h"
#include "system/adapter_registry.h"
#include "system/os_info.h"
#include "system/platform/registry.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "ui/dlg_user_password.h"
#include "ui/velandra_sheet.h"

namespace velandra::apply {
namespace {

using config::AdapterSettings;
using platform::sim::DemoVariant;
using velandra::testing::ScratchPc;

constexpr char kIniPath[] = "C:\\Program Files\\Velandra\\Velandra.ini";
constexpr char kIniFile[] = "C/Program Files/Velandra/Velandra.ini";
constexpr char kLanGuid[] = "{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}";
constexpr char kLanConnection[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\"
    "{6E0B3D2A-5C1F-4D7B-9A11-2F3C4D5E6F70}\\Connection";

class NoPrompt : public ui::IUserPasswordDialog {
 public:
  bool DoModal(ui::CDlgUserPassword&) override { return false; }
};

struct RunResult {
  int code;
  std::vector<platform::sim::ShownMessage> messages;
  std::vector<std::string> events;  // of this run only
};

// One start of the program on the PC (opened afresh, as a new process is).
RunResult Start(ScratchPc& pc, const std::string& commandLine) {
  std::string error;
  auto sim = platform::sim::SimulatedPc::Open(pc.dir(), error);
  EXPECT_TRUE(sim) << error;
  if (!sim) return {-1, {}, {}};
  sim->SetConsole(nullptr);
  NoPrompt prompt;
  app::CVelandraApp app(sim->platform(), prompt);
  const int code = app.Run(commandLine);
  return {code, sim->Messages(), sim->Events()};
}

// The commands the simulated command interpreter ran, in order (CP932,
// like the literals here; the event log is UTF-8).
std::vector<std::string> Commands(const RunResult& run) {
  std::vector<std::string> out;
  const std::string prefix = "batch command: ";
  for (const auto& e : run.events)
    if (e.rfind(prefix, 0) == 0) out.push_back(platform::Utf8ToCp932(e.substr(prefix.size())));
  return out;
}

// What the PC's adapters compare as against every adapter record of
// `place`, read anew from the file: one ChangeKind per adapter.
std::vector<uint32_t> ChangeKinds(ScratchPc& pc, const std::string& place) {
  std::string error;
  auto sim = platform::sim::SimulatedPc::Open(pc.dir(), error);
  Context context(sim->platform(), kIniPath, ReadOsInfo(sim->platform().system));
  ui::CVelandraSheet sheet(context);
  EXPECT_TRUE(sheet.LoadAll());
  std::vector<uint32_t> kinds;
  const config::Place* p = sheet.FindPlace(
      static_cast<uint32_t>(sheet.FindPlaceNumber(place)));
  if (!p) return kinds;
  for (const auto& a : sheet.Adapters) kinds.push_back(sheet.FindAdapterSettings(*p, *a)->CompareWithPc(context));
  return kinds;
}

// Writes place P1 named `name`: each adapter's record starts as the PC's
// own (so what the batch cannot change, the interface metric and NetBIOS,
// is already equal) and is then edited.
using Edit = std::function<void(AdapterSettings& lan, AdapterSettings& wireless)>;
void WritePlace(ScratchPc& pc, const std::string& name, const Edit& edit,
                const std::string& common = "") {
  pc.WriteFile(kIniFile, "[COMMON]\r\n" + common + "[PLACELIST]\r\nP0=標準\r\nP1=" +
                             name + "\r\n");
  std::string error;
  auto sim = platform::sim::SimulatedPc::Open(pc.dir(), error);
  ASSERT_TRUE(sim) << error;
  Context context(sim->platform(), kIniPath, ReadOsInfo(sim->platform().system));
  ui::CVelandraSheet sheet(context);
  ASSERT_TRUE(sheet.LoadAll());
  const config::Place& place = *sheet.FindPlace(1);
  AdapterSettings& lan = *sheet.FindAdapterSettings(place, *sheet.Adapters[0]);
  AdapterSettings& wireless = *sheet.FindAdapterSettings(place, *sheet.Adapters[1]);
  edit(lan, wireless);
  ASSERT_TRUE(sheet.SaveAll());
}

struct PlaceCase {
  const char* name;
  bool xpOnly;  // changes the registration flags, which on Windows 2000 need a restart
  Edit edit;
};

const PlaceCase kPlaces[] = {
    {"several_static_addresses_gateways_servers", false,
     [](AdapterSettings& lan, AdapterSettings&) {
       lan.EnableDHCP = false;
       lan.IPAddress = {"10.1.0.25", "10.1.0.26", "10.1.0.27"};
       lan.SubnetMask = {"255.255.0.0", "255.255.255.0", "255.0.0.0"};
       lan.Gateway = {"10.1.0.1", "10.1.0.2"};
       lan.Metric = {"1", "20"};
       lan.EnableDNS = false;
       lan.DNS_Server = {"10.1.0.53", "10.1.0.54", "10.1.0.55"};
       lan.WINS = {"10.1.0.9", "10.1.0.10"};
       lan.DOMAIN_Suffix = "本社.example.co.jp";
     }},
    {"everything_by_dhcp", false,
     [](AdapterSettings& lan, AdapterSettings& wireless) {
       for (AdapterSettings* s : {&lan, &wireless}) {
         s->EnableDHCP = true;
         s->Gateway.clear();
         s->Metric.clear();
         s->EnableDNS = true;
         s->WINS.clear();
         s->DOMAIN_Suffix.clear();
       }
     }},
    {"one_of_each_on_the_wireless", false,
     [](AdapterSettings&, AdapterSettings& wireless) {
       wireless.EnableDHCP = false;
       wireless.IPAddress = {"192.168.0.30"};
       wireless.SubnetMask = {"255.255.255.0"};
       wireless.Gateway = {"192.168.0.1"};
       wireless.Metric = {"0"};
       wireless.EnableDNS = false;
       wireless.DNS_Server = {"192.168.0.1"};
       wireless.WINS = {"192.168.0.2"};
       wireless.DOMAIN_Suffix = "自宅";
     }},
    {"static_dns_beside_dhcp", false,
     [](AdapterSettings& lan, AdapterSettings& wireless) {
       lan.EnableDHCP = true;
       lan.Gateway = {"192.168.1.254"};
       lan.Metric = {"5"};
       wireless.EnableDNS = false;
       wireless.DNS_Server = {"192.168.0.1", "8.8.8.8"};
     }},
    {"registration_both", true,
     [](AdapterSettings& lan, AdapterSettings&) {
       lan.DOMAIN_Update = true;
       lan.DOMAIN_Registration = true;
     }},
    {"registration_none", true,
     [](AdapterSettings& lan, AdapterSettings& wireless) {
       lan.DOMAIN_Update = false;
       lan.DOMAIN_Registration = false;
       wireless.DOMAIN_Update = false;
     }},
    {"registration_alone", true,
     [](AdapterSettings&, AdapterSettings& wireless) { wireless.DOMAIN_Registration = true; }},
};

struct Layout {
  const char* name;
  DemoVariant variant;
  const char* servicePack;  // null: the demo PC's
};
const Layout kLayouts[] = {
    {"xp_sp2", DemoVariant::WindowsXp, nullptr},
    {"xp_sp1", DemoVariant::WindowsXp, "Service Pack 1"},
    {"w2000", DemoVariant::Windows2000, nullptr},
};

TEST(ChangeBatchEndToEnd, EveryAdapterComparesEqualAfterTheChange) {
  for (const Layout& layout : kLayouts) {
    const bool xp = layout.variant == DemoVariant::WindowsXp;
    for (const PlaceCase& place : kPlaces) {
      if (place.xpOnly && !xp) continue;
      for (const char* diff : {"-nodiff", "-diff"}) {
        SCOPED_TRACE(std::string(layout.name) + " " + place.name + " " + diff);
        ScratchPc pc(layout.variant);
        if (layout.servicePack) pc.SetMachine("windows", "service_pack", layout.servicePack);
        WritePlace(pc, "本社", place.edit);
        ASSERT_NE(ChangeKinds(pc, "本社"), (std::vector<uint32_t>{0, 0}));

        RunResult run = Start(pc, std::string("-p 本社 -now ") + diff);
        EXPECT_EQ(run.code, app::kExitSuccess);
        EXPECT_TRUE(run.messages.empty());
        for (const auto& e : run.events) EXPECT_EQ(e.find("cannot run"), std::string::npos) << e;
        EXPECT_EQ(ChangeKinds(pc, "本社"), (std::vector<uint32_t>{0, 0}));

        // Applied again with the difference check, nothing is left to do.
        RunResult again = Start(pc, "-p 本社 -now -diff");
        EXPECT_EQ(again.code, app::kExitSuccess);
        EXPECT_EQ(Commands(again), std::vector<std::string>{"rem 接続場所=本社"});
      }
    }
  }
}

// With the difference check each differing group adds its own lines and no
// other: the counts of the batch's netsh lines per changed group.
TEST(ChangeBatchEndToEnd, DifferenceCheckWritesOnlyTheChangedGroups) {
  struct Row {
    const char* name;
    std::function<void(AdapterSettings&)> edit;
    std::vector<std::string> lines;  // after the rem line
  } rows[] = {
      {"addresses", [](AdapterSettings& s) { s.IPAddress = {"192.168.1.21", "192.168.1.22"};
                                            s.SubnetMask = {"255.255.255.0", "255.255.255.0"}; },
       {"netsh interface ip set address name=\"ローカル エリア接続\" source=static "
        "addr=192.168.1.21 mask=255.255.255.0",
        "netsh interface ip add address name=\"ローカル エリア接続\" addr=192.168.1.22 "
        "mask=255.255.255.0"}},
      {"gateway", [](AdapterSettings& s) { s.Gateway = {"192.168.1.254"}; },
       {"netsh interface ip set address name=\"ローカル エリア接続\" gateway=192.168.1.254 "
        "gwmetric=0"}},
      {"dns", [](AdapterSettings& s) { s.DNS_Server = {"192.168.1.53"}; },
       {"netsh interface ip set dns name=\"ローカル エリア接続\" source=static addr=192.168.1.53 "
        "register=PRIMARY"}},
      {"wins", [](AdapterSettings& s) { s.WINS.clear(); },
       {"netsh interface ip delete wins name=\"ローカル エリア接続\" all"}},
      {"suffix_by_registry_only", [](AdapterSettings& s) { s.DOMAIN_Suffix = "lan.example"; },
       {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    WritePlace(pc, "本社", [&](AdapterSettings& lan, AdapterSettings&) { row.edit(lan); });
    RunResult run = Start(pc, "-p 本社 -now -diff");
    EXPECT_EQ(run.code, app::kExitSuccess);
    std::vector<std::string> want{"rem 接続場所=本社"};
    want.insert(want.end(), row.lines.begin(), row.lines.end());
    EXPECT_EQ(Commands(run), want);
    EXPECT_EQ(ChangeKinds(pc, "本社"), (std::vector<uint32_t>{0, 0}));
  }
}

// -hide and -delbat on the command line, or HIDEPROMPT and DELETEBAT in the
// file: the batch runs hidden and is gone afterwards.
TEST(ChangeBatchEndToEnd, HiddenRunAndDeletedBatch) {
  struct Row {
    const char* common;
    const char* options;
    bool hidden;
    bool deleted;
  } rows[] = {
      {"", "", false, false},
      {"", "-hide -delbat", true, true},
      {"HIDEPROMPT=TRUE\r\nDELETEBAT=TRUE\r\n", "", true, true},
      {"HIDEPROMPT=TRUE\r\nDELETEBAT=TRUE\r\n", "-nohide -nodelbat", false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.common) + row.options);
    ScratchPc pc;
    WritePlace(pc, "本社", [](AdapterSettings& lan, AdapterSettings&) { lan.WINS.clear(); },
               row.common);
    RunResult run = Start(pc, std::string("-p 本社 -now ") + row.options);
    EXPECT_EQ(run.code, app::kExitSuccess);
    const std::string started = std::string("batch started (") +
                                (row.hidden ? "hidden" : "visible") +
                                "): C:\\Program Files\\Velandra\\netsh_p1.bat";
    EXPECT_NE(std::find(run.events.begin(), run.events.end(), started), run.events.end());
    EXPECT_EQ(std::filesystem::exists(pc.dir() / "C/Program Files/Velandra/netsh_p1.bat"),
              !row.deleted);
  }
}

// Hostile names and values: each is refused with a message naming it, or
// passed quoted so that it reaches netsh whole; no run ever executes a
// command that the batch did not mean.
TEST(ChangeBatchEndToEnd, HostileNamesRunNothingExtra) {
  struct Row {
    const char* name;
    const char* connection;  // the wired adapter's connection name
    const char* place;       // the place's name
    const char* address;     // the wired adapter's first address
    bool refused;
    const char* named;       // what the refusal message names
  } rows[] = {
      {"quote_breaks_out", "LAN\" & del /F C:\\boot.ini & \"", "本社", "10.0.0.5", true,
       "LAN\" & del /F C:\\boot.ini & \""},
      {"ampersand_inside_quotes", "LAN & calc", "本社", "10.0.0.5", false, nullptr},
      {"percent_variable", "LAN %PATH% 100%", "本社", "10.0.0.5", false, nullptr},
      {"pipe_and_caret", "接続|表ソ^", "本社", "10.0.0.5", false, nullptr},
      {"trailing_backslash", "LAN\\", "本社", "10.0.0.5", true, "LAN\\"},
      {"place_name_operators", "ローカル エリア接続", "本社 & del /F C:\\x ^", "10.0.0.5",
       false, nullptr},
      {"address_with_command", "ローカル エリア接続", "本社", "10.0.0.5&calc", true,
       "10.0.0.5&calc"},
      {"address_with_blank", "ローカル エリア接続", "本社", "10.0.0.5 mask=0.0.0.0", true,
       "10.0.0.5 mask=0.0.0.0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    {
      auto& sim = pc.Open();
      platform::RegKey key;
      ASSERT_EQ(key.Open(sim.platform().registry, platform::Hive::LocalMachine, kLanConnection,
                         platform::kKeySetValue),
                platform::kErrorSuccess);
      ASSERT_EQ(key.SetString("Name", row.connection),
                platform::kErrorSuccess);
    }
    WritePlace(pc, row.place, [&](AdapterSettings& lan, AdapterSettings&) {
      lan.EnableDHCP = false;
      lan.IPAddress = {row.address};
      lan.SubnetMask = {"255.0.0.0"};
    });
    RunResult run = Start(pc, std::string("-p \"") + row.place + "\" -now");
    std::vector<std::string> commands = Commands(run);
    if (row.refused) {
      EXPECT_EQ(run.code, app::kExitFailed);
      ASSERT_EQ(run.messages.size(), 1u);
      EXPECT_EQ(run.messages[0].Icon, platform::MessageIcon::Warning);
      EXPECT_NE(run.messages[0].Text.find(row.named), std::string::npos)
          << platform::Cp932ToUtf8(run.messages[0].Text);
      EXPECT_TRUE(commands.empty());
      continue;
    }
    EXPECT_EQ(run.code, app::kExitSuccess);
    EXPECT_TRUE(run.messages.empty());
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands[0].rfind("rem ", 0), 0u);
    // The adapter's lines, then the place-wide ones the PC's own values
    // give; nothing of a hostile name runs as a command of its own.
    const char* const kinds[] = {"netsh interface ip ", "call \"C:\\Program Files\\Orvane\\",
                                 "net use ", "rundll32 printui.dll,PrintUIEntry /y /n \"",
                                 "copy /Y \"", "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\"};
    for (size_t i = 1; i < commands.size(); ++i) {
      EXPECT_TRUE(std::any_of(std::begin(kinds), std::end(kinds),
                              [&](const char* k) { return commands[i].rfind(k, 0) == 0; }))
          << commands[i];
    }
    // netsh found the connection by its whole name and changed it.
    EXPECT_EQ(ChangeKinds(pc, row.place), (std::vector<uint32_t>{0, 0}));
  }
}

}  // namespace
}  // namespace velandra::apply
