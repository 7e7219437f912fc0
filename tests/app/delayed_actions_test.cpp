#include "app/delayed_actions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <tuple>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/simulated_pc.h"
#ifdef _WIN32
#include "system/platform/win32/win32_profile.h"
#endif

namespace velandra::app {
namespace {

constexpr char kIniPath[] = "C:\\Program Files\\Velandra\\Velandra.ini";
constexpr char kIniFile[] = "C/Program Files/Velandra/Velandra.ini";

// The configuration file holding `before`, through the simulated PC's
// profile or, in the Windows build, through kernel32's.
class QueueFile {
 public:
  QueueFile(bool win32, const std::string& before) {
    if (!win32) {
      pc_ = std::make_unique<testing::ScratchPc>();
      pc_->WriteFile(kIniFile, before);
      config_ = std::make_unique<config::ConfigFile>(pc_->Open().platform().profile, kIniPath);
      return;
    }
#ifdef _WIN32
    dir_ = std::make_unique<testing::ScratchDir>();
    file_ = dir_->path() / "Velandra.ini";
    EXPECT_TRUE(platform::sim::WriteHostFileAtomically(file_, before));
    win32_ = std::make_unique<platform::win32::Win32Profile>();
    config_ = std::make_unique<config::ConfigFile>(*win32_, file_.string());
#endif
  }
  const config::ConfigFile& Config() const { return *config_; }
  std::string Text() const {
    if (pc_) return pc_->ReadFile(kIniFile);
    std::string data;
    platform::sim::ReadHostFile(file_, data);
    return data;
  }

 private:
  std::unique_ptr<testing::ScratchPc> pc_;
  std::unique_ptr<testing::ScratchDir> dir_;
  std::filesystem::path file_;
  std::unique_ptr<platform::IProfile> win32_;
  std::unique_ptr<config::ConfigFile> config_;
};

std::vector<bool> Backends() {
#ifdef _WIN32
  return {false, true};
#else
  return {false};
#endif
}

struct Add {
  const char* name;
  bool atFront;
};

struct QueueCase {
  const char* name;
  const char* before;  // the whole file before; "" for none
  std::vector<Add> adds;
  const char* after;   // the whole file after
};

const QueueCase kQueueCases[] = {
    {"empty_end", "", {{kActionExecuteProgram, false}},
     "[DelayAction]\r\nAction01=ExecuteProgram\r\nActionCount=1\r\n"},
    {"empty_front", "", {{kActionChangeDomain, true}},
     "[DelayAction]\r\nAction00=ChangeDomain\r\nActionCount=0\r\n"},
    {"front_after_two_keeps_the_count", "",
     {{kActionConnectNetworkDrive, false}, {kActionDefaultPrinter, false},
      {kActionChangeDomain, true}},
     "[DelayAction]\r\nAction01=ConnectNetworkDrive\r\nActionCount=2\r\n"
     "Action02=DefaultPrinter\r\nAction00=ChangeDomain\r\n"},
    {"front_then_end_follows_slot_0", "",
     {{kActionChangeDomain, true}, {kActionNetShare, false}},
     "[DelayAction]\r\nAction00=ChangeDomain\r\nActionCount=1\r\nAction01=NetShare\r\n"},
    {"same_name_twice_two_slots", "",
     {{kActionDisableAutoLogon, false}, {kActionDisableAutoLogon, false}},
     "[DelayAction]\r\nAction01=DisableAutoLogon\r\nActionCount=2\r\n"
     "Action02=DisableAutoLogon\r\n"},
    {"second_front_replaces_the_first", "",
     {{kActionChangeDomain, true}, {"Other", true}},
     "[DelayAction]\r\nAction00=Other\r\nActionCount=0\r\n"},
    {"past_9_two_digits_then_three",
     "[DelayAction]\r\nActionCount=9\r\n",
     {{kActionNetShare, false}},
     "[DelayAction]\r\nActionCount=10\r\nAction10=NetShare\r\n"},
    {"past_99", "[DelayAction]\r\nActionCount=99\r\n", {{kActionNetShare, false}},
     "[DelayAction]\r\nActionCount=100\r\nAction100=NetShare\r\n"},
    // A file as a user or an earlier run left it: other sections, comments,
    // a slot already done; only the queue's own keys change.
    {"hand_written_file",
     "; 接続場所の設定\r\n[COMMON]\r\nDIFFCHECK=TRUE\r\n"
     "[DelayAction]\r\nAction00=DONE\r\nAction01=ExecuteChangeProxy\r\nActionCount=1\r\n"
     "[P1]\r\nComputerName=HONSHA-PC\r\n",
     {{kActionExecuteProgram, false}},
     "; 接続場所の設定\r\n[COMMON]\r\nDIFFCHECK=TRUE\r\n"
     "[DelayAction]\r\nAction00=DONE\r\nAction01=ExecuteChangeProxy\r\nActionCount=2\r\n"
     "Action02=ExecuteProgram\r\n"
     "[P1]\r\nComputerName=HONSHA-PC\r\n"},
    // Damaged counts. The private-profile integer rule reads the leading
    // digits: "abc" is 0, "3x" is 3; an empty value reads as the default.
    {"count_letters_read_as_0", "[DelayAction]\r\nActionCount=abc\r\n",
     {{kActionNetShare, false}},
     "[DelayAction]\r\nActionCount=1\r\nAction01=NetShare\r\n"},
    {"count_trailing_garbage", "[DelayAction]\r\nActionCount=3x\r\n",
     {{kActionNetShare, false}},
     "[DelayAction]\r\nActionCount=4\r\nAction04=NetShare\r\n"},
    {"count_empty", "[DelayAction]\r\nActionCount=\r\n", {{kActionNetShare, false}},
     "[DelayAction]\r\nActionCount=1\r\nAction01=NetShare\r\n"},
    {"count_negative_starts_again_at_1", "[DelayAction]\r\nActionCount=-4\r\n",
     {{kActionNetShare, false}},
     "[DelayAction]\r\nActionCount=1\r\nAction01=NetShare\r\n"},
    {"front_on_empty_count_makes_it_reachable", "[DelayAction]\r\nActionCount=\r\n",
     {{kActionChangeDomain, true}},
     "[DelayAction]\r\nActionCount=0\r\nAction00=ChangeDomain\r\n"},
    {"front_on_negative_count_makes_it_reachable", "[DelayAction]\r\nActionCount=-1\r\n",
     {{kActionChangeDomain, true}},
     "[DelayAction]\r\nActionCount=0\r\nAction00=ChangeDomain\r\n"},
    {"front_keeps_letters_count", "[DelayAction]\r\nActionCount=abc\r\n",
     {{kActionChangeDomain, true}},
     "[DelayAction]\r\nActionCount=abc\r\nAction00=ChangeDomain\r\n"},
};

void PrintTo(const QueueCase& c, std::ostream* os) { *os << c.name; }

class DelayedActionQueue : public ::testing::TestWithParam<std::tuple<QueueCase, bool>> {};

TEST_P(DelayedActionQueue, FileAfterwards) {
  const auto& [c, win32] = GetParam();
  QueueFile file(win32, c.before);
  for (const Add& add : c.adds)
    EXPECT_TRUE(AddDelayedAction(file.Config(), add.name, add.atFront));
  EXPECT_EQ(file.Text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(Cases, DelayedActionQueue,
                         ::testing::Combine(::testing::ValuesIn(kQueueCases),
                                            ::testing::ValuesIn(Backends())),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_Win32" : "_Sim");
                         });

TEST(DelayedActionQueue, NoSlotAfterTheLargestCount) {
  testing::ScratchPc pc;
  const std::string before = "[DelayAction]\r\nActionCount=2147483647\r\n";
  pc.WriteFile(kIniFile, before);
  config::ConfigFile config(pc.Open().platform().profile, kIniPath);
  EXPECT_FALSE(AddDelayedAction(config, kActionNetShare, false));
  EXPECT_EQ(pc.ReadFile(kIniFile), before);
}

TEST(DelayedActionQueue, FailedWriteIsReported) {
  testing::ScratchPc pc;
  // No such drive on the PC: every write fails.
  config::ConfigFile config(pc.Open().platform().profile, "Q:\\Velandra\\Velandra.ini");
  EXPECT_FALSE(AddDelayedAction(config, kActionNetShare, false));
  EXPECT_FALSE(AddDelayedAction(config, kActionChangeDomain, true));
}

TEST(DelayedActionCount, ReadsActionCount) {
  struct Row {
    const char* file;
    int count;
  } rows[] = {
      {"", -1},
      {"[DelayAction]\r\nAction01=NetShare\r\n", -1},
      {"[DelayAction]\r\nActionCount=0\r\n", 0},
      {"[DelayAction]\r\nActionCount=12\r\n", 12},
      {"[DelayAction]\r\nActionCount=\r\n", -1},
      {"[DelayAction]\r\nActionCount=abc\r\n", 0},
      {"[delayaction]\r\nactioncount=3\r\n", 3},
  };
  for (bool win32 : Backends()) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(win32 ? "Win32 " : "Sim ") + row.file);
      QueueFile file(win32, row.file);
      EXPECT_EQ(DelayedActionCount(file.Config()), row.count);
    }
  }
}

}  // namespace
}  // namespace velandra::app
