#include "system/platform/sim/sim_processes.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {
namespace {

using velandra::testing::ScratchPc;

constexpr char kBatchHost[] = "C/Program Files/Velandra/netsh_p1.bat";

// Events of the PC from `from` on, in CP932.
std::vector<std::string> EventsSince(SimulatedPc& pc, size_t from) {
  std::vector<std::string> out;
  for (size_t i = from; i < pc.Events().size(); ++i) out.push_back(Utf8ToCp932(pc.Events()[i]));
  return out;
}

bool Has(const std::vector<std::string>& events, const std::string& part) {
  for (const auto& e : events)
    if (e.find(part) != std::string::npos) return true;
  return false;
}

TEST(SimProcessesCreate, FindsTheProgramAsCreateProcessDoes) {
  ScratchPc pc;
  for (const char* file : {"C/Tools/x.exe", "C/a b/c.exe", "C/WINDOWS/system32/notepad.exe",
                           "C/doc.txt", "C/Program Files/Velandra/here.exe"})
    pc.WriteFile(file, "MZ");
  SimulatedPc& sim = pc.Open();
  struct Row {
    const char* commandLine;
    long error;
    const char* event;  // the start recorded, for error 0
  } rows[] = {
      {"\"C:\\Tools\\x.exe\" /a \"b c\"", 0,
       "program started (visible): C:\\Tools\\x.exe; arguments: /a \"b c\""},
      {"  C:\\Tools\\x /a", 0, "program started (visible): C:\\Tools\\x.exe; arguments: /a"},
      {"notepad.exe C:\\doc.txt", 0,
       "program started (visible): C:\\WINDOWS\\system32\\notepad.exe; arguments: C:\\doc.txt"},
      {"NOTEPAD", 0, "program started (visible): C:\\WINDOWS\\system32\\NOTEPAD.exe; no arguments"},
      {"here", 0, "program started (visible): C:\\Program Files\\Velandra\\here.exe; no arguments"},
      {"C:\\a b\\c.exe d", 0, "program started (visible): C:\\a b\\c.exe; arguments: d"},
      {"\"C:\\a b\\c.exe", 0, "program started (visible): C:\\a b\\c.exe; no arguments"},
      {"C:\\Tools\\missing.exe", kErrorFileNotFound, nullptr},
      {"C:\\No Folder\\x.exe", kErrorPathNotFound, nullptr},
      {"nothing", kErrorFileNotFound, nullptr},
      {"", kErrorFileNotFound, nullptr},
      {"C:\\doc.txt", 193, nullptr},  // ERROR_BAD_EXE_FORMAT
      {"C:\\Tools", kErrorFileNotFound, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.commandLine);
    const size_t before = sim.Events().size();
    long error = -1;
    std::unique_ptr<IProcess> process = sim.platform().processes.Create(row.commandLine, false, error);
    EXPECT_EQ(error, row.error);
    const auto events = EventsSince(sim, before);
    ASSERT_EQ(events.size(), 1u);
    if (row.error == 0) {
      ASSERT_NE(process, nullptr);
      EXPECT_EQ(events[0], row.event);
      EXPECT_EQ(WaitForExit(*process), 0u);
    } else {
      EXPECT_EQ(process, nullptr);
      EXPECT_EQ(events[0], "process not created (error " + std::to_string(row.error) + "): " +
                               row.commandLine);
    }
  }
}

// The change batch, started as the program starts it: its full path,
// unquoted, hidden; its netsh lines act on the PC's adapters.
TEST(SimProcessesCreate, RunsABatchAndHandsItsExitCodeToTheCaller) {
  ScratchPc pc;
  pc.WriteFile(kBatchHost,
               "rem 接続場所=本社\r\n"
               "netsh interface ip set address name=\"ローカル エリア接続\" source=dhcp\r\n"
               "netsh interface ip set address name=\"ない接続\" source=dhcp\r\n"
               "netsh interface ip set dns name=\"ローカル エリア接続\" source=dhcp\r\n");
  SimulatedPc& sim = pc.Open();
  long error = -1;
  auto process =
      sim.platform().processes.Create("C:\\Program Files\\Velandra\\netsh_p1.bat", true, error);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(process->ExitCode(), 1u);  // the unknown connection
  EXPECT_EQ(WaitForExit(*process), 1u);
  const auto events = EventsSince(sim, 0);
  EXPECT_EQ(events.front(), "batch started (hidden): C:\\Program Files\\Velandra\\netsh_p1.bat");
  EXPECT_EQ(events.back(),
            "batch ended with exit code 1: C:\\Program Files\\Velandra\\netsh_p1.bat");
  EXPECT_TRUE(Has(events, "batch command: netsh interface ip set dns name=\"ローカル エリア接続\" "
                          "source=dhcp"));
  EXPECT_TRUE(Has(events, "batch output: Ok."));
}

TEST(SimProcessesCreate, StoppedBatchIsAFailureToo) {
  ScratchPc pc;
  pc.WriteFile(kBatchHost, "echo off\r\n");
  SimulatedPc& sim = pc.Open();
  long error = -1;
  auto process =
      sim.platform().processes.Create("C:\\Program Files\\Velandra\\netsh_p1.bat", false, error);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(WaitForExit(*process), kExitCannotRun);
  EXPECT_TRUE(Has(EventsSince(sim, 0), "cannot run line 1 of C:\\Program Files\\Velandra\\"
                                       "netsh_p1.bat: \"echo off\": cmd's echo is not modelled"));
}

// Windows tries the shortest prefix first: a C:\Program.exe is started in
// place of an unquoted batch under C:\Program Files.
TEST(SimProcessesCreate, UnquotedPathWithBlanksTriesEveryPrefix) {
  ScratchPc pc;
  pc.WriteFile(kBatchHost, "netsh never\r\n");
  pc.WriteFile("C/Program.exe", "MZ");
  SimulatedPc& sim = pc.Open();
  long error = -1;
  auto process =
      sim.platform().processes.Create("C:\\Program Files\\Velandra\\netsh_p1.bat", true, error);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(EventsSince(sim, 0),
            std::vector<std::string>{"program started (hidden): C:\\Program.exe; arguments: "
                                     "Files\\Velandra\\netsh_p1.bat"});
}

}  // namespace
}  // namespace velandra::platform::sim
