#include "config/config_backup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/adapter_records.h"
#include "support/demo_pc_facts.h"
#include "support/place_records.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/platform/sim/simulated_pc.h"
#include "ui/velandra_sheet.h"
#ifdef _WIN32
#include "system/platform/win32/win32_files.h"
#else
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <random>
#endif

namespace velandra::config {
namespace {

using testing::kDemoIniFile;
using testing::kDemoIniPath;

const std::string kBackupFile = std::string(kDemoIniFile) + ".bak";
const std::string kBackupPath = std::string(kDemoIniPath) + ".bak";

// The PC's files, with writes of chosen paths failing as a full disk would.
class FailingFiles : public platform::IFiles {
 public:
  explicit FailingFiles(platform::IFiles& inner) : inner_(inner) {}
  bool Exists(const std::string& p) override { return inner_.Exists(p); }
  bool IsDirectory(const std::string& p) override { return inner_.IsDirectory(p); }
  bool ReadFile(const std::string& p, std::string& d) override { return inner_.ReadFile(p, d); }
  bool WriteFile(const std::string& p, const std::string& d) override {
    return p != failing && inner_.WriteFile(p, d);
  }
  bool CopyFile(const std::string& f, const std::string& t, bool e) override {
    return inner_.CopyFile(f, t, e);
  }
  bool DeleteFile(const std::string& p, long* e) override { return inner_.DeleteFile(p, e); }
  bool CreateDirectories(const std::string& p) override { return inner_.CreateDirectories(p); }
  bool GrantAccess(const std::string& p, const std::string& a, uint32_t m) override {
    return inner_.GrantAccess(p, a, m);
  }
  std::string failing;

 private:
  platform::IFiles& inner_;
};

platform::Platform WithFiles(platform::Platform& p, platform::IFiles& files) {
  return platform::Platform{p.profile,  p.registry,  p.system,    p.accounts, files,
                            p.shell,    p.messages,  p.processes, p.session,  p.drives,
                            p.printers, p.shares,    p.domain};
}

// ------------------------------------------------ the copy and its return

// One cycle of guarded writes, cut short after some writes and then put
// back; and one that ends well. `dir` is a Windows path of `files`.
void CheckGuardCycles(platform::Platform& pc, const std::string& dir) {
  platform::IFiles& files = pc.files;
  const std::string path = dir + "\\Velandra.ini";
  const std::string backup = path + ".bak";
  struct Row {
    const char* name;
    bool fileBefore;
    std::string before;
    bool staleCopy;  // a copy from an earlier cut-short run stands already
  };
  const Row rows[] = {
      {"existing file", true, "[COMMON]\r\nLastExit=SAVE\r\n[P0]\r\nName=表示\r\n", false},
      {"first save: no file before", false, "", false},
      {"empty file before", true, "", false},
      {"copy standing from a cut-short run", true, "[COMMON]\r\nhalf", true},
  };
  const std::string older = "[COMMON]\r\nLastExit=EWX_REBOOT\r\n";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    files.DeleteFile(path);
    files.DeleteFile(backup);
    if (row.fileBefore) {
      ASSERT_TRUE(files.WriteFile(path, row.before));
    }
    if (row.staleCopy) {
      ASSERT_TRUE(files.WriteFile(backup, older));
    }
    Context context(pc, path, OsInfo{});

    ConfigWriteGuard cut(context, platform::MessageOwner::MainWindow);
    ASSERT_TRUE(cut.Begin());
    std::string copy = "marker";
    ASSERT_TRUE(files.ReadFile(backup, copy));
    EXPECT_EQ(copy, row.staleCopy ? older : row.before);
    ASSERT_TRUE(files.WriteFile(path, "[COMMON]\r\nLastExit=EWX_SH"));  // half-written
    // The run ends here; the next start puts the copy back, once.
    EXPECT_EQ(RestoreBackup(files, path), RestoreResult::Restored);
    EXPECT_FALSE(files.Exists(backup));
    std::string now = "marker";
    const std::string expected = row.staleCopy ? older : row.before;
    if (expected.empty()) {
      EXPECT_FALSE(files.Exists(path));  // reads as all defaults, as before
    } else {
      ASSERT_TRUE(files.ReadFile(path, now));
      EXPECT_EQ(now, expected);
    }
    EXPECT_EQ(RestoreBackup(files, path), RestoreResult::NoBackup);

    ConfigWriteGuard whole(context, platform::MessageOwner::MainWindow);
    ASSERT_TRUE(whole.Begin());
    ASSERT_TRUE(files.WriteFile(path, "[COMMON]\r\nLastExit=EWX_SHUTDOWN\r\n"));
    EXPECT_TRUE(whole.Finish(true));
    EXPECT_FALSE(files.Exists(backup));
    ASSERT_TRUE(files.ReadFile(path, now));
    EXPECT_EQ(now, "[COMMON]\r\nLastExit=EWX_SHUTDOWN\r\n");
  }
}

class ConfigBackupTest : public ::testing::Test {
 protected:
  platform::sim::SimulatedPc& Pc() { return pc_.Open(); }
  std::string Ini() const { return pc_.ReadFile(kDemoIniFile); }
  bool Exists(const std::string& file) const {
    return std::filesystem::exists(pc_.dir() / file);
  }
  const std::vector<platform::sim::ShownMessage>& Messages() { return Pc().Messages(); }
  // The texts shown since the `from`th message, each with a warning icon.
  std::vector<std::string> MessageTexts(size_t from = 0) {
    std::vector<std::string> texts;
    for (size_t i = from; i < Messages().size(); ++i) {
      const platform::sim::ShownMessage& m = Messages()[i];
      EXPECT_EQ(m.Icon, platform::MessageIcon::Warning) << m.Text;
      texts.push_back(m.Text);
    }
    return texts;
  }
  // A sheet loaded with the context's platform, as a new run of the program.
  std::unique_ptr<ui::CVelandraSheet> Load(platform::Platform& platform) {
    contexts_.push_back(std::make_unique<Context>(platform, kDemoIniPath,
                                                  ReadOsInfo(platform.system)));
    auto sheet = std::make_unique<ui::CVelandraSheet>(*contexts_.back());
    EXPECT_TRUE(sheet->LoadAll());
    return sheet;
  }
  std::unique_ptr<ui::CVelandraSheet> Load() { return Load(Pc().platform()); }

  testing::ScratchPc pc_;
  std::vector<std::unique_ptr<Context>> contexts_;
};

TEST_F(ConfigBackupTest, CutShortRunsArePutBackOnTheSimulatedPc) {
  CheckGuardCycles(Pc().platform(), "C:\\Program Files\\Velandra");
  EXPECT_TRUE(Messages().empty());
}

#ifdef _WIN32
// The same through kernel32, in a directory whose name ends in a trail byte
// 0x5C ("表").
TEST_F(ConfigBackupTest, CutShortRunsArePutBackThroughKernel32) {
  platform::win32::Win32Files win32;
  platform::Platform real = WithFiles(Pc().platform(), win32);
  testing::ScratchDir scratch;
  const std::string dir = scratch.path().string() + "\\設定表";
  ASSERT_TRUE(win32.CreateDirectories(dir));
  CheckGuardCycles(real, dir);
}
#endif

// Save all and the load of the next run, on the sheet.
TEST_F(ConfigBackupTest, LoadAfterACutShortSavePutsTheOldFileBackAndSaysSo) {
  struct Row {
    const char* name;
    bool fileBefore;
  };
  for (const Row row : {Row{"existing file", true}, Row{"first save", false}}) {
    SCOPED_TRACE(row.name);
    const std::string before =
        "[COMMON]\r\nLastExit=EWX_REBOOT\r\nXPSLEEP=8000\r\n[PLACELIST]\r\nP0=標準\r\nP3=本社\r\n";
    std::filesystem::remove(pc_.dir() / kDemoIniFile);
    if (row.fileBefore) pc_.WriteFile(kDemoIniFile, before);
    const size_t seen = Messages().size();
    {
      auto sheet = Load();
      // Save all as far as its copy and its first sections, then the end.
      Context& context = sheet->GetContext();
      ConfigWriteGuard guard(context, platform::MessageOwner::MainWindow);
      ASSERT_TRUE(guard.Begin());
      ASSERT_TRUE(SaveCommonSettings(context.Config(), sheet->Common, true, false));
      ASSERT_TRUE(context.Config().WriteString("PLACELIST", "P3", "別"));
      ASSERT_TRUE(Exists(kBackupFile));
      ASSERT_NE(Ini(), before);
    }
    auto again = Load();
    EXPECT_FALSE(Exists(kBackupFile));
    if (row.fileBefore) {
      EXPECT_EQ(Ini(), before);
      EXPECT_EQ(again->Places.back()->Name, "本社");
    } else {
      EXPECT_FALSE(Exists(kDemoIniFile));
      EXPECT_EQ(again->Places.size(), 1u);  // the default place, as from no file
    }
    EXPECT_EQ(MessageTexts(seen), std::vector<std::string>{kMsgRestoredAtStart});
    EXPECT_EQ(Messages().back().Owner, platform::MessageOwner::None);
  }
}

TEST_F(ConfigBackupTest, SaveThatCannotKeepItsCopyLeavesTheFileUntouched) {
  const std::string before = "[COMMON]\r\nLastExit=SAVE\r\n[PLACELIST]\r\nP0=標準\r\n";
  pc_.WriteFile(kDemoIniFile, before);
  FailingFiles failing(Pc().platform().files);
  failing.failing = kBackupPath;
  platform::Platform platform = WithFiles(Pc().platform(), failing);
  auto sheet = Load(platform);
  sheet->Common.ExitMode = 1;
  EXPECT_FALSE(sheet->SaveAll());
  EXPECT_EQ(Ini(), before);
  EXPECT_FALSE(Exists(kBackupFile));
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{kMsgBackupFailed + kBackupPath});
  EXPECT_EQ(Messages().back().Owner, platform::MessageOwner::MainWindow);

  // Deleting a place is guarded alike: refused, the place kept.
  ASSERT_EQ(sheet->AddPlace("本社"), ui::PlaceChange::Done);
  EXPECT_EQ(sheet->DeletePlace(*sheet->Places.front()), ui::PlaceChange::WriteFailed);
  EXPECT_EQ(sheet->Places.size(), 2u);
  EXPECT_EQ(Ini(), before);
}

TEST_F(ConfigBackupTest, SaveWithAFailedWritePutsTheOldFileBack) {
  const std::string before = "[COMMON]\r\nLastExit=SAVE\r\n[PLACELIST]\r\nP0=標準\r\n";
  pc_.WriteFile(kDemoIniFile, before);
  auto sheet = Load();
  sheet->Common.ExitMode = 1;
  // A name the file could not hold (the sheet's checks refuse it; here it
  // stands for any write that fails half-way).
  sheet->Places.front()->Name = "標準\r\n[X]";
  EXPECT_FALSE(sheet->SaveAll());
  EXPECT_EQ(Ini(), before);
  EXPECT_FALSE(Exists(kBackupFile));
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{kMsgSaveFailedRestored + std::string(kDemoIniPath)});
}

TEST_F(ConfigBackupTest, CopyThatCannotBePutBackStaysForTheNextStart) {
  pc_.WriteFile(kBackupFile, "[PLACELIST]\r\nP0=標準\r\n");
  std::filesystem::remove(pc_.dir() / kDemoIniFile);
  std::filesystem::create_directories(pc_.dir() / kDemoIniFile);  // in the way
  Context context(Pc().platform(), kDemoIniPath, OsInfo{});
  RestoreInterruptedSave(context);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{kMsgRestoreFailedAtStart + kBackupPath});
  EXPECT_TRUE(Exists(kBackupFile));

  std::filesystem::remove(pc_.dir() / kDemoIniFile);
  RestoreInterruptedSave(context);
  EXPECT_EQ(MessageTexts(1), std::vector<std::string>{kMsgRestoredAtStart});
  EXPECT_EQ(Ini(), "[PLACELIST]\r\nP0=標準\r\n");
  EXPECT_FALSE(Exists(kBackupFile));
}

#ifndef _WIN32
// Every record the sheet holds, one line each (records spanning lines).
std::string DumpSheet(const ui::CVelandraSheet& sheet) {
  std::string out;
  for (const auto& p : sheet.Places) out += "place " + std::to_string(p->Number) + " " + p->Name + "\n";
  for (const auto& a : sheet.Adapters)
    out += "adapter " + std::to_string(a->Number) + " " + a->ConnectionName + "\n";
  out += "current " + std::to_string(sheet.CurrentPlace->Number) + " " +
         std::to_string(sheet.CurrentAdapter->Number) + "\n";
  const CommonSettings& c = sheet.Common;
  out += "common " + std::to_string(c.ExitMode) + " " + std::to_string(c.PowerOff) + " " +
         c.EDITOR + " " + std::to_string(c.HIDEPROMPT) + std::to_string(c.DELETEBAT) + " " +
         std::to_string(c.DELAYSLEEP) + " " + std::to_string(sheet.GetContext().DiffCheck) + "\n";
  for (const auto& s : sheet.AdapterSettingsList)
    out += "P" + std::to_string(s->Place->Number) + "A" + std::to_string(s->Adapter->Number) +
           " " + testing::Dump(*s) + "\n";
  for (const auto& s : sheet.PlaceSettingsList)
    out += "P" + std::to_string(s->owner.Number) + "\n" + testing::Dump(*s) + "\n";
  return out;
}

// The first line where two dumps differ, for a failure message.
std::string FirstDifference(const std::string& a, const std::string& b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  const size_t line = a.rfind('\n', i) == std::string::npos ? 0 : a.rfind('\n', i) + 1;
  return a.substr(line, a.find('\n', i) - line) + " | " + b.substr(line, b.find('\n', i) - line);
}

double Seconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

pid_t StartSave(const std::filesystem::path& dir) {
  const pid_t pid = fork();
  if (pid == 0) {
    execl(VELANDRA_INTERRUPTED_SAVE, "velandra_interrupted_save", dir.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// The exit code, or -signal.
int Wait(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// Save all of many places with two adapters each, killed at random moments:
// every load afterwards gives all the old records or all the new ones. (The
// number of places keeps the test short in the unoptimised build.)
constexpr int kPlaces = 12;

TEST_F(ConfigBackupTest, SaveKilledAnywhereLoadsAsTheOldOrTheNewFileWhole) {
  {
    auto sheet = Load();
    ASSERT_EQ(sheet->Adapters.size(), 2u);
    for (int i = 1; i < kPlaces; ++i)
      ASSERT_EQ(sheet->AddPlace("場所" + std::to_string(i)), ui::PlaceChange::Done);
    ASSERT_TRUE(sheet->SaveAll());
  }
  const std::string oldFile = Ini();
  const std::string oldDump = DumpSheet(*Load());

  const double begin = Seconds();
  ASSERT_EQ(Wait(StartSave(pc_.dir())), 0);
  const double whole = Seconds() - begin;
  const std::string newDump = DumpSheet(*Load());
  ASSERT_NE(newDump, oldDump);

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> delay(0, static_cast<long>(whole * 1e6));
  for (int run = 0; run < 30; ++run) {
    pc_.WriteFile(kDemoIniFile, oldFile);
    std::filesystem::remove(pc_.dir() / kBackupFile);
    const long micros = delay(random);
    const pid_t pid = StartSave(pc_.dir());
    ASSERT_GT(pid, 0);
    usleep(static_cast<useconds_t>(micros));
    kill(pid, SIGKILL);
    const int code = Wait(pid);
    EXPECT_TRUE(code == 0 || code == -SIGKILL) << code;

    const std::string dump = DumpSheet(*Load());
    EXPECT_TRUE(dump == oldDump || dump == newDump)
        << "killed after " << micros << " us: " << FirstDifference(dump, oldDump) << " / "
        << FirstDifference(dump, newDump);
    EXPECT_FALSE(Exists(kBackupFile));
  }
}
#endif

}  // namespace
}  // namespace velandra::config
