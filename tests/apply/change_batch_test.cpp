#include "apply/change_batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "system/adapter_registry.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/place_settings_pc.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "ui/velandra_sheet.h"

namespace velandra::apply {
namespace {

using platform::MessageIcon;
using platform::MessageOwner;
using velandra::testing::ScratchPc;

constexpr char kBatchIniPath[] = "C:\\Program Files\\Velandra\\Velandra.ini";
constexpr char kBatchPath[] = "C:\\Program Files\\Velandra\\netsh_p1.bat";
constexpr char kBatchFile[] = "C/Program Files/Velandra/netsh_p1.bat";

// Stands in for CreateProcessA and the waits: records what it was asked,
// and ends the process after three polls with the chosen exit code.
class FakeProcesses : public platform::IProcesses {
 public:
  class Process : public platform::IProcess {
   public:
    explicit Process(FakeProcesses& owner) : owner_(owner), polls_(owner.polls) {}
    void WaitForInputIdle() override { ++owner_.idleWaits; }
    bool Wait(uint32_t milliseconds) override {
      owner_.waits.push_back(milliseconds);
      if (polls_ > 0) --polls_;
      return polls_ == 0;
    }
    uint32_t ExitCode() override { return polls_ > 0 ? platform::kStillActive : owner_.exitCode; }

   private:
    FakeProcesses& owner_;
    int polls_;
  };

  std::unique_ptr<platform::IProcess> Create(const std::string& commandLine, bool hidden,
                                             long& error) override {
    commandLines.push_back(commandLine);
    hiddenFlags.push_back(hidden);
    if (onCreate) onCreate();
    if (createError) {
      error = createError;
      return nullptr;
    }
    return std::make_unique<Process>(*this);
  }

  std::function<void()> onCreate;
  long createError = 0;
  uint32_t exitCode = 0;
  int polls = 3;
  std::vector<std::string> commandLines;
  std::vector<bool> hiddenFlags;
  int idleWaits = 0;
  std::vector<uint32_t> waits;
};

// A demo PC (Windows XP) with its sheet loaded, the fake process runner in
// place of the PC's, and place 1 "本社" with fixed settings: the LAN static,
// the wireless adapter by DHCP.
class Rig {
 public:
  explicit Rig(const std::string& executable = "") {
    if (!executable.empty()) pc.SetMachine("session", "executable", executable);
    sim = &pc.Open();
    // The program folder is there before the load snapshots the hosts files into it.
    if (!executable.empty()) {
      std::filesystem::path host;
      if (sim->MapPath(executable.substr(0, executable.rfind('\\')), host))
        std::filesystem::create_directories(host);
    }
    platform::Platform& p = sim->platform();
    platform_ = std::make_unique<platform::Platform>(platform::Platform{
        p.profile, p.registry, p.system, p.accounts, p.files, p.shell, p.messages, processes,
        p.session, p.drives, p.printers, p.shares, p.domain});
    context = std::make_unique<Context>(*platform_, kBatchIniPath, ReadOsInfo(p.system));
    sheet = std::make_unique<ui::CVelandraSheet>(*context);
    EXPECT_TRUE(sheet->LoadAll());
    place = sheet->FindPlace(1);
    EXPECT_EQ(sheet->Adapters.size(), 2u);
    config::AdapterSettings& lan = Settings(0);
    lan.EnableDHCP = false;
    lan.IPAddress = {"10.20.30.40"};
    lan.SubnetMask = {"255.255.255.0"};
    lan.Gateway = {"10.20.30.1"};
    lan.Metric = {"1"};
    lan.EnableDNS = false;
    lan.DNS_Server = {"10.20.0.53"};
    lan.DOMAIN_Suffix = "honsha.example.co.jp";
    lan.DOMAIN_Update = true;
    lan.DOMAIN_Registration = true;
    lan.WINS = {};
    config::AdapterSettings& wlan = Settings(1);
    wlan.EnableDHCP = true;
    wlan.Gateway = wlan.Metric = {};
    wlan.EnableDNS = true;
    wlan.DOMAIN_Suffix = "無線.example";
    wlan.DOMAIN_Update = false;
    wlan.WINS = {};
  }

  config::AdapterSettings& Settings(size_t adapter) {
    return *sheet->FindAdapterSettings(*place, *sheet->Adapters[adapter]);
  }
  std::string Domain(size_t adapter) {
    platform::RegKey key;
    std::string value = "(unreadable)";
    if (key.Open(sim->platform().registry, platform::Hive::LocalMachine,
                 TcpipInterfaceKey(sheet->Adapters[adapter]->NetCfgInstanceId),
                 platform::kKeyQueryValue) == 0)
      key.QueryString("Domain", 256, value);
    return value;
  }
  bool Run() { return RunChangeBatch(*sheet, *place); }

  ScratchPc pc;
  platform::sim::SimulatedPc* sim = nullptr;
  FakeProcesses processes;
  std::unique_ptr<Context> context;
  std::unique_ptr<ui::CVelandraSheet> sheet;
  config::Place* place = nullptr;

 private:
  std::unique_ptr<platform::Platform> platform_;
};

const std::string kRigBatch =
    "rem 接続場所=本社\r\n"
    "netsh interface ip set address name=\"ローカル エリア接続\" source=static "
    "addr=10.20.30.40 mask=255.255.255.0\r\n"
    "netsh interface ip set address name=\"ローカル エリア接続\" gateway=10.20.30.1 "
    "gwmetric=1\r\n"
    "netsh interface ip set dns name=\"ローカル エリア接続\" source=static addr=10.20.0.53 "
    "register=BOTH\r\n"
    "netsh interface ip delete wins name=\"ローカル エリア接続\" all\r\n"
    "netsh interface ip set address name=\"ワイヤレス ネットワーク接続\" source=dhcp\r\n"
    "netsh interface ip delete address name=\"ワイヤレス ネットワーク接続\" gateway=all\r\n"
    "netsh interface ip set dns name=\"ワイヤレス ネットワーク接続\" source=dhcp "
    "register=NONE\r\n"
    "netsh interface ip delete wins name=\"ワイヤレス ネットワーク接続\" all\r\n"
    // The place-wide lines: the PC's own values, as 本社 has no record stored.
    "call \"C:\\Program Files\\Orvane\\Brisco\\BRISCO.EXE\" \"/S:本社プロキシ\"\r\n"
    "net use * /delete /yes\r\n"
    "net use Z: \\\\fs01\\総務\r\n"
    "net use Y: \\\\fs01\\ソフト開発\r\n"
    "rundll32 printui.dll,PrintUIEntry /y /n \"Canon LBP-1310\"\r\n"
    "copy /Y \"C:\\Program Files\\Velandra\\hosts.本社\" "
    "\"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\"\r\n"
    "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts\"\r\n";

void ExpectOneWarning(const Rig& rig, const std::string& text) {
  ASSERT_EQ(rig.sim->Messages().size(), 1u);
  const platform::sim::ShownMessage& m = rig.sim->Messages()[0];
  EXPECT_EQ(m.Text, text);
  EXPECT_EQ(m.Caption, "Velandra");
  EXPECT_EQ(m.Icon, MessageIcon::Warning);
  EXPECT_EQ(m.Owner, MessageOwner::MainWindow);
}

TEST(RunChangeBatch, WritesRunsQuotedAndWaits) {
  struct Row {
    bool hide, deleteBat;
  } rows[] = {{false, false}, {true, false}, {false, true}, {true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string("hide=") + (row.hide ? "1" : "0") +
                 " delete=" + (row.deleteBat ? "1" : "0"));
    Rig rig;
    rig.sheet->Common.HIDEPROMPT = row.hide;
    rig.sheet->Common.DELETEBAT = row.deleteBat;
    std::string atRun;
    rig.processes.onCreate = [&] { atRun = rig.pc.ReadFile(kBatchFile); };
    EXPECT_TRUE(rig.Run());
    EXPECT_EQ(atRun, kRigBatch);
    EXPECT_EQ(rig.processes.commandLines,
              std::vector<std::string>{"\"" + std::string(kBatchPath) + "\""});
    EXPECT_EQ(rig.processes.hiddenFlags, std::vector<bool>{row.hide});
    EXPECT_EQ(rig.processes.idleWaits, 1);
    EXPECT_EQ(rig.processes.waits, (std::vector<uint32_t>{100, 100, 100}));
    EXPECT_EQ(std::filesystem::exists(rig.pc.dir() / kBatchFile), !row.deleteBat);
    EXPECT_TRUE(rig.sim->Messages().empty());
  }
}

TEST(RunChangeBatch, DomainSuffixesWrittenAfterTheBatch) {
  struct Row {
    const char* name;
    bool diffCheck;
    bool lanSuffixSame;
    std::string lan;
  } rows[] = {
      {"no_diffcheck", false, true, "honsha.example.co.jp"},
      {"diffcheck_differing", true, false, "honsha.example.co.jp"},
      {"diffcheck_equal_left_alone", true, true, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.context->DiffCheck = row.diffCheck;
    for (size_t a = 0; a < 2; ++a) rig.Settings(a).ChangeKind = 1;
    rig.Settings(0).Same[config::kGroupSuffix] = row.lanSuffixSame;
    std::vector<std::string> atRun;
    rig.processes.onCreate = [&] { atRun = {rig.Domain(0), rig.Domain(1)}; };
    EXPECT_TRUE(rig.Run());
    EXPECT_EQ(atRun, (std::vector<std::string>{"", ""}));
    EXPECT_EQ(rig.Domain(0), row.lan);
    EXPECT_EQ(rig.Domain(1), "無線.example");
  }
}

TEST(RunChangeBatch, FailingBatchIsReported) {
  Rig rig;
  rig.sheet->Common.DELETEBAT = true;
  rig.processes.exitCode = 1;
  EXPECT_FALSE(rig.Run());
  ExpectOneWarning(rig, kMsgBatchFailed + std::string("1: ") + kBatchPath);
  // It ran: the file goes, the suffixes are still set.
  EXPECT_FALSE(std::filesystem::exists(rig.pc.dir() / kBatchFile));
  EXPECT_EQ(rig.Domain(0), "honsha.example.co.jp");
}

TEST(RunChangeBatch, BatchThatCannotStartIsReported) {
  Rig rig;
  rig.sheet->Common.DELETEBAT = true;
  rig.processes.createError = platform::kErrorAccessDenied;
  EXPECT_FALSE(rig.Run());
  ExpectOneWarning(rig, kMsgBatchNotStarted + std::string(kBatchPath) + " (エラー 5)");
  EXPECT_TRUE(rig.processes.waits.empty());
  EXPECT_FALSE(std::filesystem::exists(rig.pc.dir() / kBatchFile));
  EXPECT_EQ(rig.Domain(0), "");
  EXPECT_EQ(rig.Domain(1), "");
}

TEST(RunChangeBatch, FileThatCannotBeWrittenRunsNothing) {
  Rig rig;
  std::filesystem::create_directories(rig.pc.dir() / kBatchFile);  // a folder in its way
  EXPECT_FALSE(rig.Run());
  ExpectOneWarning(rig, "バッチファイルを作成できませんでした");
  EXPECT_TRUE(rig.processes.commandLines.empty());
  EXPECT_EQ(rig.Domain(0), "");
  EXPECT_EQ(rig.Domain(1), "");
}

TEST(RunChangeBatch, RefusedValueWritesAndRunsNothing) {
  Rig rig;
  rig.pc.WriteFile(kBatchFile, "old\r\n");
  rig.sheet->Adapters[0]->ConnectionName = "LAN\" & del /Q C:\\* & \"";
  EXPECT_FALSE(rig.Run());
  ASSERT_EQ(rig.sim->Messages().size(), 1u);
  EXPECT_NE(rig.sim->Messages()[0].Text.find("の接続名「LAN\" & del /Q C:\\* & \"」"),
            std::string::npos);
  EXPECT_EQ(rig.sim->Messages()[0].Icon, MessageIcon::Warning);
  EXPECT_EQ(rig.pc.ReadFile(kBatchFile), "old\r\n");
  EXPECT_TRUE(rig.processes.commandLines.empty());
  EXPECT_EQ(rig.Domain(0), "");
}

TEST(RunChangeBatch, ProgramFolderThatCmdWouldSplit) {
  struct Row {
    const char* executable;
    bool runs;
  } rows[] = {
      {"C:\\Tools & Stuff\\Velandra.exe", false},
      {"C:\\Program Files (x86)\\Velandra\\Velandra.exe", false},
      {"C:\\100%\\Velandra.exe", false},
      {"C:\\a^b\\Velandra.exe", false},
      {"C:\\ポート表示\\Velandra.exe", true},  // trail bytes 0x7C and 0x5C
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.executable);
    Rig rig(row.executable);
    std::string dir = row.executable;
    dir.erase(dir.size() - std::string("\\Velandra.exe").size());
    const std::string batch = dir + "\\netsh_p1.bat";
    std::filesystem::path host;
    ASSERT_TRUE(rig.sim->MapPath(dir, host));
    EXPECT_EQ(rig.Run(), row.runs);
    if (row.runs) {
      EXPECT_EQ(rig.processes.commandLines, std::vector<std::string>{"\"" + batch + "\""});
      EXPECT_TRUE(rig.sim->Messages().empty());
    } else {
      ExpectOneWarning(rig, kMsgBatchPathUnusable + batch);
      EXPECT_TRUE(rig.processes.commandLines.empty());
      EXPECT_FALSE(std::filesystem::exists(host / "netsh_p1.bat"));
    }
  }
}

TEST(RunChangeBatch, UnchangedPlaceUnderDiffCheckRunsTheRemLineOnly) {
  Rig rig;
  // Records as the PC has them, compared.
  for (size_t a = 0; a < 2; ++a) rig.Settings(a).ReadFromPc(*rig.context);
  rig.sheet->CompareWithPc(*rig.place);
  ASSERT_EQ(CompareWithPC(*rig.context, *rig.sheet->FindPlaceSettings(*rig.place)), 0u);
  ASSERT_EQ(rig.Settings(0).ChangeKind, 0u);
  ASSERT_EQ(rig.Settings(1).ChangeKind, 0u);
  rig.context->DiffCheck = true;
  std::string atRun;
  rig.processes.onCreate = [&] { atRun = rig.pc.ReadFile(kBatchFile); };
  EXPECT_TRUE(rig.Run());
  EXPECT_EQ(atRun, "rem 接続場所=本社\r\n");
  EXPECT_EQ(rig.processes.commandLines.size(), 1u);
}

}  // namespace
}  // namespace velandra::apply
