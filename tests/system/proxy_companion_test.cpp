#include "system/proxy_companion.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <deque>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "system/platform/sim/sim_companion.h"
#include "system/platform/sim/sim_processes.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/sim/state_file.h"
#include "system/platform/text.h"

namespace velandra {
namespace {

using config::kNoProxyEntry;
using config::ProxyChoice;
using platform::sim::SimulatedPc;
using velandra::testing::ScratchPc;

using Names = std::vector<std::string>;

constexpr char kHklm[] = "[HKEY_LOCAL_MACHINE\\Software\\Orvane\\Brisco]\r\n";
constexpr char kHkcu[] = "[HKEY_CURRENT_USER\\Software\\Orvane\\Brisco]\r\n";
constexpr char kDemoDataFile[] = "C/Program Files/Orvane/Brisco/BRISCO.INI";

// Applies REGEDIT4 lines to the PC's registry.
void Import(SimulatedPc& pc, const std::string& lines) {
  std::string error;
  ASSERT_TRUE(pc.registry().ImportText("REGEDIT4\r\n\r\n" + lines, error)) << error;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string Join(const Names& names) {
  std::string s;
  for (const auto& n : names) s += "[" + n + "]";
  return s;
}

// The demo PC has the companion, version 410, with two entries and the
// first selected; its InstallDir has no trailing backslash.
TEST(FindCompanion, DemoPcHasTheCompanionWithItsEntries) {
  ScratchPc pc;
  const ProxyChoice c = FindCompanion(pc.Open().platform());
  EXPECT_TRUE(c.Installed);
  EXPECT_EQ(c.InstallDir, "C:\\Program Files\\Orvane\\Brisco\\");
  EXPECT_EQ(c.Version, 410u);
  EXPECT_EQ(c.ProxyNames, (Names{"本社プロキシ", "自宅 光回線", kNoProxyEntry}));
  EXPECT_EQ(c.Selected, 1);
  EXPECT_EQ(c.ProxyName, "");
  EXPECT_FALSE(c.DisableProxy);
}

// The companion's registry values and data files, each way they can be
// found, missing or wrong. `names` is empty for "not installed".
TEST(FindCompanion, RegistryAndDataFileCases) {
  const std::string install = std::string(kHklm) + "\"InstallDir\"=\"C:\\\\Brisco\\\\\"\r\n";
  struct Row {
    const char* name;
    std::string registry;  // applied onto the demo PC's
    const char* file;      // host path of a data file to write, or null
    std::string data;
    Names names;
    int32_t selected;
  } rows[] = {
      {"no companion key", "[-HKEY_LOCAL_MACHINE\\Software\\Orvane\\Brisco]\r\n", nullptr, "", {}, 0},
      {"install folder missing", std::string(kHklm) + "\"InstallDir\"=-\r\n", nullptr, "", {}, 0},
      {"install folder empty", std::string(kHklm) + "\"InstallDir\"=\"\"\r\n", nullptr, "", {}, 0},
      {"install folder not a string", std::string(kHklm) + "\"InstallDir\"=dword:00000001\r\n",
       nullptr, "", {}, 0},
      {"no data file value", std::string(kHkcu) + "\"DataFilePath\"=-\r\n", nullptr, "", {}, 0},
      {"no user key", "[-HKEY_CURRENT_USER\\Software\\Orvane\\Brisco]\r\n", nullptr, "", {}, 0},
      // Installed, but its data file is not there yet: only the no-proxy entry.
      {"data file missing", std::string(kHkcu) + "\"DataFilePath\"=\"C:\\\\nothing.ini\"\r\n",
       nullptr, "", {kNoProxyEntry}, 0},
      {"no entries", "", kDemoDataFile, "[BRSCINDEX]\r\nENTRYCNT=0\r\n", {kNoProxyEntry}, 0},
      // A count beyond the names gives empty names, as the companion's file says.
      {"count beyond names", "", kDemoDataFile,
       "[BRSCINDEX]\r\nENTRYCNT=2\r\nPXYNAME001=社内\r\n[BRSCSYSTEM]\r\nSELECT=7\r\n",
       {"社内", "", kNoProxyEntry}, 7},
      {"negative count", "", kDemoDataFile, "[BRSCINDEX]\r\nENTRYCNT=-5\r\nPXYNAME001=社内\r\n",
       {kNoProxyEntry}, 0},
      // 34 two-byte characters: 31 fit, and no half of the 32nd.
      {"name over 63 characters", "", kDemoDataFile,
       "[BRSCINDEX]\r\nENTRYCNT=1\r\nPXYNAME001=" + Repeat("表", 34) + "\r\n",
       {Repeat("表", 31), kNoProxyEntry}, 0},
      // Older versions: a text file named under HKLM below 320, under HKCU from 320.
      {"version 300", install + "\"Version\"=dword:0000012c\r\n\"DataFile\"=\"C:\\\\old.dat\"\r\n",
       "C/old.dat", "SETTING,x,y\r\n1,旧社内,10.0.0.1\r\n2,旧自宅\r\n", {"旧社内", "旧自宅", kNoProxyEntry}, 0},
      {"version 320", install + "\"Version\"=dword:00000140\r\n" + kHkcu +
           "\"DataFile\"=\"C:\\\\user.dat\"\r\n",
       "C/user.dat", "1,利用者,8080\r\n", {"利用者", kNoProxyEntry}, 0},
      {"version 400, file missing", install + "\"Version\"=dword:00000190\r\n" + kHkcu +
           "\"DataFile\"=\"C:\\\\none.dat\"\r\n",
       nullptr, "", {}, 0},
      {"no version, no HKLM DataFile", install + "\"Version\"=-\r\n", nullptr, "", {}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    if (row.file) pc.WriteFile(row.file, row.data);
    SimulatedPc& sim = pc.Open();
    if (!row.registry.empty()) Import(sim, row.registry);
    const ProxyChoice c = FindCompanion(sim.platform());
    if (row.names.empty()) {
      EXPECT_EQ(c, ProxyChoice{});
      continue;
    }
    EXPECT_TRUE(c.Installed);
    EXPECT_EQ(Join(c.ProxyNames), Join(row.names));
    EXPECT_EQ(c.Selected, row.selected);
  }
}

// A count no companion writes is read as the largest one, not for ever.
TEST(FindCompanion, HugeEntryCountIsBounded) {
  ScratchPc pc;
  pc.WriteFile(kDemoDataFile, "[BRSCINDEX]\r\nENTRYCNT=2000000000\r\nPXYNAME001=社内\r\n");
  const ProxyChoice c = FindCompanion(pc.Open().platform());
  ASSERT_EQ(c.ProxyNames.size(), static_cast<size_t>(kMaxCompanionEntries) + 1);
  EXPECT_EQ(c.ProxyNames.front(), "社内");
  EXPECT_EQ(c.ProxyNames.back(), kNoProxyEntry);
}

TEST(ParseOldCompanionData, EntryIsBetweenTheFirstTwoCommas) {
  const std::string longLine = "1," + std::string(5000, 'a') + "\n";
  struct Row {
    const char* name;
    std::string text;
    Names names;
  } rows[] = {
      {"setting lines skipped", "SETTING,a,b\nSETTINGS,c\n1,社内,x\n", {"社内"}},
      {"no second comma, line end dropped", "1,自宅\r\n2,外出\n3,最後", {"自宅", "外出", "最後"}},
      {"no comma, empty names skipped", "\r\njust text\r\n1,,x\r\n2,ok,\r\n", {"ok"}},
      {"spaces kept", "1, 本社 東京 ,x\n", {" 本社 東京 "}},
      {"trail byte 0x5C", "1,表\\ソ,x\n", {"表\\ソ"}},
      {"cut at 65 characters", "1," + std::string(70, 'b') + ",x\n", {std::string(65, 'b')}},
      // A line longer than the companion's buffer is read in pieces; only
      // the first has a comma here.
      {"long line in pieces", longLine, {std::string(65, 'a')}},
      {"empty", "", {}},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Join(ParseOldCompanionData(row.text)), Join(row.names)) << row.name;
}

// A process that runs for a few polls, recording what is asked of it.
class FakeProcess : public platform::IProcess {
 public:
  FakeProcess(int polls, std::vector<std::string>& log) : polls_(polls), log_(log) {}
  void WaitForInputIdle() override { log_.push_back("idle"); }
  bool Wait(uint32_t ms) override {
    log_.push_back("wait " + std::to_string(ms));
    return --polls_ <= 0;
  }
  uint32_t ExitCode() override { return polls_ > 0 ? platform::kStillActive : 0; }

 private:
  int polls_;
  std::vector<std::string>& log_;
};

class FakeProcesses : public platform::IProcesses {
 public:
  std::unique_ptr<platform::IProcess> Create(const std::string& commandLine, bool hidden,
                                             long& error) override {
    log.push_back("create " + commandLine + (hidden ? " hidden" : ""));
    if (fail) {
      error = platform::kErrorFileNotFound;
      return nullptr;
    }
    return std::make_unique<FakeProcess>(polls, log);
  }
  int polls = 3;
  bool fail = false;
  std::vector<std::string> log;
};

ProxyChoice Installed(const char* entry) {
  ProxyChoice c;
  c.Installed = true;
  c.InstallDir = "C:\\Program Files\\Orvane\\Brisco\\";
  c.ProxyNames = {"社内", kNoProxyEntry};
  c.ProxyName = entry;
  return c;
}

// The companion runs in a normal window and is waited for until it has
// ended: idle for input first, then 100 ms polls.
TEST(RunCompanion, WaitsForTheCompanionToEnd) {
  FakeProcesses processes;
  EXPECT_TRUE(RunCompanion(processes, Installed("社内 東京")));
  EXPECT_EQ(processes.log, (Names{"create \"C:\\Program Files\\Orvane\\Brisco\\BRISCO.EXE\" /S:社内 東京",
                                  "idle", "wait 100", "wait 100", "wait 100"}));
}

TEST(RunCompanion, NoProxyEntryIsNone) {
  FakeProcesses processes;
  processes.polls = 1;
  EXPECT_TRUE(RunCompanion(processes, Installed(kNoProxyEntry)));
  ASSERT_FALSE(processes.log.empty());
  EXPECT_EQ(processes.log.front(), "create \"C:\\Program Files\\Orvane\\Brisco\\BRISCO.EXE\" /S:NONE");
}

TEST(RunCompanion, NotRunWhenAbsentOrDisabledAndAFailedStartIsNoRun) {
  FakeProcesses processes;
  ProxyChoice absent = Installed("社内");
  absent.Installed = false;
  ProxyChoice disabled = Installed("社内");
  disabled.DisableProxy = true;
  EXPECT_FALSE(RunCompanion(processes, absent));
  EXPECT_FALSE(RunCompanion(processes, disabled));
  EXPECT_TRUE(processes.log.empty());
  processes.fail = true;
  EXPECT_FALSE(RunCompanion(processes, Installed("社内")));
  EXPECT_EQ(processes.log.size(), 1u);
}

// On the simulated PC the stand-in companion records the entry it was
// given and selects it in its data file, so the PC's present entry read
// again is the one just chosen.
TEST(RunCompanion, SimulatedCompanionRecordsAndSelectsTheEntry) {
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  const char* runs[][2] = {{"自宅 光回線", "自宅 光回線"}, {kNoProxyEntry, "NONE"},
                           {"本社プロキシ", "本社プロキシ"}};
  int count = 0;
  for (const auto& run : runs) {
    SCOPED_TRACE(run[0]);
    ProxyChoice chosen = FindCompanion(sim.platform());
    chosen.ProxyName = run[0];
    const size_t before = sim.Events().size();
    ASSERT_TRUE(RunCompanion(sim.platform().processes, chosen));
    ASSERT_EQ(sim.Events().size(), before + 1);
    EXPECT_EQ(platform::Utf8ToCp932(sim.Events().back()), std::string("companion selected: ") + run[1]);
    platform::sim::StateFile state;
    std::string error;
    ASSERT_TRUE(state.Load(sim.directory() / platform::sim::kCompanionRunFile, true, error)) << error;
    EXPECT_EQ(platform::Utf8ToCp932(state.Get("last_run", "entry")), run[1]);
    EXPECT_EQ(state.Get("last_run", "runs"), std::to_string(++count));

    ProxyChoice present = FindCompanion(sim.platform());
    present.SelectDefault();
    EXPECT_EQ(present.ProxyName, chosen.ProxyName);
  }
}

// The change batch calls the companion from its batch file; that start
// reaches the stand-in the same way.
TEST(RunCompanion, SimulatedCompanionIsReachedFromABatch) {
  ScratchPc pc;
  pc.WriteFile("C/Program Files/Velandra/proxy.bat",
               "call \"C:\\Program Files\\Orvane\\Brisco\\BRISCO.EXE\" "
               "\"/S:自宅 光回線\"\r\n");
  SimulatedPc& sim = pc.Open();
  long error = 0;
  auto process = sim.platform().processes.Create(
      "\"C:\\Program Files\\Velandra\\proxy.bat\"", true, error);
  ASSERT_TRUE(process) << error;
  EXPECT_EQ(process->ExitCode(), 0u);
  ProxyChoice present = FindCompanion(sim.platform());
  present.SelectDefault();
  EXPECT_EQ(present.ProxyName, "自宅 光回線");
  const auto& events = sim.Events();
  EXPECT_NE(std::find(events.begin(), events.end(),
                      platform::Cp932ToUtf8("companion selected: 自宅 光回線")),
            events.end());
}

TEST(DescribeProxyChoice, SaysWhatIsRun) {
  ProxyChoice c = Installed(kNoProxyEntry);
  c.Version = 410;
  EXPECT_EQ(DescribeProxyChoice(c),
            "プロキシ切替: Brisco 410 (C:\\Program Files\\Orvane\\Brisco\\BRISCO.EXE)\n"
            "  登録名: 社内, プロキシ無\n  選択: プロキシ無 (/S:NONE)\n");
  c.DisableProxy = true;
  EXPECT_NE(DescribeProxyChoice(c).find("(Briscoを無効にする)"), std::string::npos);
  EXPECT_EQ(DescribeProxyChoice(ProxyChoice{}), "プロキシ切替: Brisco なし\n");
}

}  // namespace
}  // namespace velandra
