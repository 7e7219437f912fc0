#include "system/platform/sim/batch_interpreter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <map>

#include "support/scratch_dir.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {
namespace {

using velandra::testing::ScratchPc;

constexpr char kBatch[] = "C:\\Program Files\\Velandra\\netsh_p1.bat";
constexpr char kBatchHost[] = "C/Program Files/Velandra/netsh_p1.bat";

// What one run of a batch did. Texts are CP932.
struct BatchRun {
  uint32_t Code = 0;
  std::vector<std::string> Commands;              // the commands that ran, in order
  std::vector<std::vector<std::string>> Netsh;    // the arguments netsh got
  std::vector<std::string> Events;                // everything logged
  bool Logged(const std::string& part) const {
    for (const auto& e : Events)
      if (e.find(part) != std::string::npos) return true;
    return false;
  }
};

// Runs batch text on a demo PC. netsh is a stand-in that records its
// arguments and ends with the number of an argument "exit=N" (else 0).
class BatchTest : public ::testing::Test {
 protected:
  BatchRun Run(const std::string& text) {
    pc_.WriteFile(kBatchHost, text);
    return RunFile(kBatch);
  }

  BatchRun RunFile(const std::string& path, const std::string& args = "") {
    SimulatedPc& sim = pc_.Open();
    const size_t before = sim.Events().size();
    BatchRun run;
    RunContext context{sim,
                       [&run](const std::vector<std::string>& a, std::string& output) {
                         run.Netsh.push_back(a);
                         output = "Ok.\r\n";
                         for (const auto& s : a)
                           if (s.rfind("exit=", 0) == 0) return std::stoi(s.substr(5));
                         return 0;
                       },
                       true};
    long error = -1;
    run.Code = RunProgramFile(context, path, path, args, error);
    EXPECT_EQ(error, 0);
    const std::string prefix = kBatchCommandEvent;
    for (size_t i = before; i < sim.Events().size(); ++i) {
      const std::string e = Utf8ToCp932(sim.Events()[i]);
      run.Events.push_back(e);
      if (e.rfind(prefix, 0) == 0) run.Commands.push_back(e.substr(prefix.size()));
    }
    return run;
  }

  ScratchPc pc_;
};

using Strings = std::vector<std::string>;

// ---- % expansion -------------------------------------------------------------

TEST(ExpandBatchPercents, AsCmdExpandsABatchLine) {
  const BatchParameters params{{"C:\\x.bat", "\"a b\"", "c"}, "\"a b\" c"};
  const std::map<std::string, std::string> vars = {
      {"PATH", "C:\\WINDOWS\\system32;C:\\WINDOWS"}, {"X Y", "v"}, {"表", "ソ"}};
  auto lookup = [&](const std::string& name, std::string& value) {
    for (const auto& [k, v] : vars)
      if (Cp932EqualsNoCase(k, name)) return (value = v), true;
    return false;
  };
  struct Row {
    const char* line;
    const char* expanded;  // null: refused
  } rows[] = {
      {"100%%", "100%"},
      {"%%PATH%%", "%PATH%"},  // expanded once only
      {"%0", "C:\\x.bat"},
      {"[%1][%2][%3][%9]", "[\"a b\"][c][][]"},
      {"%~1", "a b"},
      {"%*", "\"a b\" c"},
      {"%PATH%", "C:\\WINDOWS\\system32;C:\\WINDOWS"},
      {"%path%", "C:\\WINDOWS\\system32;C:\\WINDOWS"},
      {"a%UNDEFINED%b", "ab"},
      {"%X Y%", "v"},
      {"%表%", "ソ"},
      {"50% off", "50 off"},  // a % without its pair is dropped
      {"name=\"100%\" source=dhcp", "name=\"100\" source=dhcp"},
      {"a%", "a"},
      {"%UNDEFINED:~0,2%", "~0,2"},  // "%NAME:" of an undefined variable goes
      {"表%%ソ", "表%ソ"},
      {"%PATH:~0,2%", nullptr},
      {"%PATH:a=b%", nullptr},
      {"%~dp0", nullptr},
      {"%~", nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    std::string out = "marker", error;
    const bool ok = ExpandBatchPercents(row.line, params, lookup, out, error);
    if (row.expanded) {
      EXPECT_TRUE(ok) << error;
      EXPECT_EQ(out, row.expanded);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_FALSE(error.empty());
    }
  }
}

// ---- msvcrt's argument split ---------------------------------------------------

TEST(SplitProgramArguments, AsMsvcrtSplitsACommandLine) {
  struct Row {
    const char* args;
    Strings split;
  } rows[] = {
      {" interface ip set address name=\"LAN\" source=dhcp",
       {"interface", "ip", "set", "address", "name=LAN", "source=dhcp"}},
      {"\"a b\"\tc  ", {"a b", "c"}},
      {"a\\\"b", {"a\"b"}},          // 2n+1 backslashes: a literal quote
      {"\"a\\\\\" b", {"a\\", "b"}},  // 2n: n backslashes, the quote ends
      {"a\\\\b", {"a\\\\b"}},         // not before a quote: as they are
      // "" inside quotes gives a quote and ends the quoting (msvcrt.dll,
      // not the later runtimes), so a third quote starts it again.
      {"\"a\"\"b c", {"a\"b", "c"}},
      {"\"a\"\"b\" c", {"a\"b c"}},
      {"\"\" x", {"", "x"}},
      {"", {}},
      // Trail bytes 0x5C, 0x7C and 0x5E are parts of their characters.
      {"name=\"ソ\" source=dhcp", {"name=ソ", "source=dhcp"}},
      {"name=\"表\\\" x", {"name=表\" x"}},
      {"\"ポート\" データ", {"ポート", "データ"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args);
    EXPECT_EQ(SplitProgramArguments(row.args), row.split);
  }
}

// ---- lines, quotes and operators ----------------------------------------------

TEST_F(BatchTest, QuotesOperatorsAndContinuedLines) {
  struct Row {
    const char* name;
    std::string text;
    Strings commands;
  } rows[] = {
      {"one", "netsh interface ip set address name=\"ローカル エリア接続\" source=dhcp\r\n",
       {"netsh interface ip set address name=\"ローカル エリア接続\" source=dhcp"}},
      {"and_then", "netsh a & netsh b\r\n", {"netsh a", "netsh b"}},
      {"and_if_ok", "netsh exit=1 && netsh b\r\nnetsh c && netsh d\r\n",
       {"netsh exit=1", "netsh c", "netsh d"}},
      {"or_if_failed", "netsh exit=1 || netsh b\r\nnetsh c || netsh d\r\n",
       {"netsh exit=1", "netsh b", "netsh c"}},
      {"and_binds_tighter", "netsh exit=1 && netsh b || netsh c\r\nnetsh d || netsh e && netsh f\r\n",
       {"netsh exit=1", "netsh c", "netsh d"}},
      {"quoted_operators", "netsh name=\"a & b | c > d\"\r\n", {"netsh name=\"a & b | c > d\""}},
      {"escaped", "netsh a ^& netsh ^\"b ^^\r\n", {"netsh a & netsh \"b ^"}},
      {"quoted_caret_stays", "netsh \"a^b\"\r\n", {"netsh \"a^b\""}},
      {"at_blank_label", "@netsh a\r\n\r\n   \r\n:label\r\n@ @netsh b &\r\n", {"netsh a", "netsh b"}},
      {"continued", "netsh a ^\r\nb\r\nnetsh c\r\n", {"netsh a b", "netsh c"}},
      {"continued_first_char_escaped", "netsh a^\r\n& netsh b\r\n", {"netsh a& netsh b"}},
      {"last_line_without_newline", "netsh a\r\nnetsh b", {"netsh a", "netsh b"}},
      // CP932 trail bytes: データ ends in 0x5E, ポ in 0x7C, 表 and ソ in 0x5C.
      {"trail_5e_ends_line", "netsh name=データ\r\nnetsh next\r\n", {"netsh name=データ", "netsh next"}},
      {"trail_5e_before_operator", "netsh データ& netsh b\r\n", {"netsh データ", "netsh b"}},
      {"trail_7c", "netsh name=ポート & netsh b\r\n", {"netsh name=ポート", "netsh b"}},
      {"trail_5c", "netsh name=\"表ソ\" & netsh b\r\n", {"netsh name=\"表ソ\"", "netsh b"}},
      // rem: the rest of the line is remark, operators included.
      {"rem", "rem 接続場所=本社 & netsh x | y > z\r\nnetsh next\r\n",
       {"rem 接続場所=本社 & netsh x | y > z", "netsh next"}},
      {"rem_ends_in_trail_5e", "rem 接続場所=データ\r\nnetsh next\r\n", {"rem 接続場所=データ", "netsh next"}},
      {"rem_of_several_tokens_ending_in_caret", "REM 接続場所=a ^\r\nnetsh next\r\n",
       {"REM 接続場所=a ^", "netsh next"}},
      {"rem_one_token_caret_continues", "rem ^\r\nnetsh swallowed\r\nnetsh next\r\n",
       {"rem ^netsh swallowed", "netsh next"}},
      {"rem_after_operator", "netsh a & rem & netsh b\r\n", {"netsh a", "rem & netsh b"}},
      {"remark_is_no_rem", "remark\r\n", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    BatchRun run = Run(row.text);
    EXPECT_EQ(run.Commands, row.commands);
  }
}

TEST_F(BatchTest, NetshGetsItsArgumentsSplitAsAWindowsProgram) {
  BatchRun run = Run(
      "netsh interface ip set dns name=\"ソ\" source=static addr=10.0.0.1 register=NONE\r\n"
      "netsh interface ip add address name=\"ポート \"\"x\"\"\" addr=1.2.3.4\r\n");
  EXPECT_EQ(run.Code, 0u);
  EXPECT_EQ(run.Netsh, (std::vector<Strings>{
                           {"interface", "ip", "set", "dns", "name=ソ", "source=static",
                            "addr=10.0.0.1", "register=NONE"},
                           {"interface", "ip", "add", "address", "name=ポート \"x\"", "addr=1.2.3.4"}}));
  EXPECT_TRUE(run.Logged("batch output: Ok."));
}

// ---- hostile values ------------------------------------------------------------

// Lines of the change batch with values that try to run something else:
// what runs is exactly what cmd would run.
TEST_F(BatchTest, HostileValuesRunExactlyTheCommandsCmdWouldRun) {
  struct Row {
    const char* name;
    std::string text;
    Strings commands;
    uint32_t code;
    bool victimDeleted;
  } rows[] = {
      {"quote_breaks_out",
       "netsh interface ip set address name=\"a\" & del /F C:\\victim.txt & \"\" source=dhcp\r\n"
       "netsh never\r\n",
       {"netsh interface ip set address name=\"a\"", "del /F C:\\victim.txt"}, kExitUnknownCommand,
       true},
      {"in_the_remark", "rem 接続場所=a\" & del /F C:\\victim.txt & \"\r\n", {"rem 接続場所=a\" & del /F C:\\victim.txt & \""},
       0, false},
      {"line_break_in_a_name", "rem 接続場所=a\r\ndel /F C:\\victim.txt\r\n",
       {"rem 接続場所=a", "del /F C:\\victim.txt"}, 0, true},
      {"caret_at_the_end_of_a_quoted_name", "netsh name=\"a^\"\r\ndel /F C:\\victim.txt\r\n",
       {"netsh name=\"a^\"", "del /F C:\\victim.txt"}, 0, true},
      {"caret_at_the_end_unquoted", "net use Z: \\\\fs01\\public pass^\r\ndel /F C:\\victim.txt\r\n",
       {"net use Z: \\\\fs01\\public passdel /F C:\\victim.txt"}, 2, false},
      {"ampersand_in_a_password",
       "net use W: \\\\fs01\\public p&del /F C:\\victim.txt&rem /USER:bob\r\n",
       {"net use W: \\\\fs01\\public p", "del /F C:\\victim.txt", "rem /USER:bob"}, 0, true},
      {"percent_variable", "netsh interface ip set address name=\"%COMPUTERNAME%\" source=dhcp\r\n",
       {"netsh interface ip set address name=\"VELANDRA-PC\" source=dhcp"}, 0, false},
      {"trail_byte_before_quote", "netsh name=\"ソ\" & del /F C:\\victim.txt\r\n",
       {"netsh name=\"ソ\"", "del /F C:\\victim.txt"}, 0, true},
      {"carriage_return_is_dropped", "netsh name=\"a\rb\"\r\n", {"netsh name=\"ab\""}, 0, false},
      {"pipe_stops_the_line", "netsh name=a | del /F C:\\victim.txt\r\n", {}, kExitCannotRun, false},
      {"redirection_stops_the_line", "netsh name=a > C:\\victim.txt\r\n", {}, kExitCannotRun, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    pc_.WriteFile("C/victim.txt", "x");
    BatchRun run = Run(row.text);
    EXPECT_EQ(run.Commands, row.commands);
    EXPECT_EQ(run.Code, row.code);
    EXPECT_EQ(pc_.ReadFile("C/victim.txt").empty(), row.victimDeleted);
  }
}

TEST_F(BatchTest, CallExpandsPercentsOnceMore) {
  pc_.WriteFile("C/Tools/B.EXE", "MZ");
  BatchRun run = Run("call \"C:\\Tools\\B.EXE\" \"/S:%%SystemRoot%%\"\r\n");
  EXPECT_EQ(run.Commands, Strings{"call \"C:\\Tools\\B.EXE\" \"/S:C:\\WINDOWS\""});
  EXPECT_TRUE(run.Logged("program started (from a batch): C:\\Tools\\B.EXE; arguments: \"/S:C:\\WINDOWS\""));
}

// ---- what cannot run -----------------------------------------------------------

TEST_F(BatchTest, WhatTheInterpreterCannotRunStopsTheRunWithTheLineQuoted) {
  struct Row {
    const char* name;
    std::string line;
    Strings commands;  // of the line itself
    uint32_t code;
  } rows[] = {
      {"unknown_program", "netsh a & notepad x", {"netsh a"}, kExitUnknownCommand},
      {"unknown_quoted", "\"C:\\Program Files\\Nothing\\x.exe\" /a", {}, kExitUnknownCommand},
      {"echo", "echo hello", {}, kExitCannotRun},
      {"set", "set X=1", {}, kExitCannotRun},
      {"block", "(netsh a)", {}, kExitCannotRun},
      {"pipe", "netsh a | netsh b", {}, kExitCannotRun},
      {"redirect", "netsh a 2>nul", {}, kExitCannotRun},
      {"path_modifier", "netsh %~dp0", {}, kExitCannotRun},
      {"operator_first", "&& netsh a", {}, kExitCannotRun},
      {"nothing_after_and", "netsh a &&", {}, kExitCannotRun},
      {"net_user", "net user x /add", {}, kExitCannotRun},
      {"rundll32_other", "rundll32 shell32.dll,Control_RunDLL", {}, kExitCannotRun},
      {"password_prompt", "net use Z: \\\\srv\\share *", {}, kExitCannotRun},
      {"call_label", "call :sub", {}, kExitCannotRun},
      {"del_wildcard", "del /F C:\\*.txt", {}, kExitCannotRun},
      {"copy_join", "copy a.txt + b.txt c.txt", {}, kExitCannotRun},
      {"nul_byte", std::string("netsh a\0b", 9), {}, kExitCannotRun},
      {"too_long", "netsh " + std::string(8200, 'a'), {}, kExitCannotRun},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    BatchRun run = Run("netsh first\r\n" + row.line + "\r\nnetsh never\r\n");
    Strings expected = {"netsh first"};
    expected.insert(expected.end(), row.commands.begin(), row.commands.end());
    EXPECT_EQ(run.Commands, expected);
    EXPECT_EQ(run.Code, row.code);
    EXPECT_TRUE(run.Logged("cannot run line 2 of " + std::string(kBatch) + ": \"" + row.line + "\": "))
        << (run.Events.empty() ? "" : run.Events.back());
  }
}

// ---- net, rundll32 -------------------------------------------------------------

// The net and printer lines change the simulated PC as Windows would; what
// Windows refuses ends the command with net's 2 (PrintUI's 1).
TEST_F(BatchTest, NetAndPrinterLinesActOnThePc) {
  std::filesystem::create_directories(pc_.dir() / "C" / "share");
  struct Row {
    const char* line;
    uint32_t code;
    const char* logged;  // the event, or for a failure a part of the output
  } rows[] = {
      {"net use * /delete /yes", 0, "net use: disconnected every network drive"},
      {"net use X: \\\\fs01\\経理", 0, "net use: connected X: to \\\\fs01\\経理"},
      {"net use  \\\\fs01\\public", 0, "net use: connected (no device) to \\\\fs01\\public"},
      {"net use W: \\\\nowhere\\share", 2, "System error"},
      {"net use * /delete", 2, "asks for confirmation"},
      {"net use Z: srv\\share", 2, "batch output: net use: no remote name"},
      {"net use Z: \\\\srv", 2, "batch output: net use: no remote name"},
      {"net use Z: \\\\srv\\share a b", 2, "batch output: net use: too many names: b"},
      {"net use Z: \\\\srv\\share /persistent:no", 2, "unknown switch /persistent:no"},
      {"net use ZZ: \\\\srv\\share", 2, "the local name ZZ:"},
      {"net share docs=C:\\share /UNLIMITED", 0,
       "net share: shared docs = C:\\share, users unlimited"},
      {"net share 資料2=C:\\share /USER:10 /REMARK:\"共有 ソ\"", 0,
       "net share: shared 資料2 = C:\\share, users 10, remark \"共有 ソ\""},
      {"net share docs=C:\\My Documents /UNLIMITED", 2, "unexpected Documents"},
      {"net share docs=C:\\nothing /UNLIMITED", 2, "the folder C:\\nothing does not exist"},
      {"net share docs=C:\\share /USER:0", 2, "not a positive number"},
      {"net share docs=C:\\share /UNLIMITED /USER:3", 2, "repeated switch"},
      {"net share \"a;b\"=C:\\share", 2, "a character shares cannot have"},
      {"rundll32 printui.dll,PrintUIEntry /y /n \"Canon LBP-1310\"", 0,
       "PrintUIEntry: default printer \"Canon LBP-1310\""},
      {"rundll32 printui.dll,PrintUIEntry /y /n \"ないプリンタ\"", 1, "cannot be made the default"},
      {"rundll32 printui.dll,PrintUIEntry /y", 1, "only /y /n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    BatchRun run = Run(std::string(row.line) + "\r\n");
    EXPECT_EQ(run.Commands, Strings{row.line});
    EXPECT_EQ(run.Code, row.code);
    EXPECT_TRUE(run.Logged(row.logged)) << ::testing::PrintToString(run.Events);
  }

  // What the lines did, read back through the platform.
  Run("net use * /delete /yes\r\nnet use X: \\\\fs01\\経理\r\n"
      "rundll32 printui.dll,PrintUIEntry /y /n \"\\\\fs01\\営業部カラー\"\r\n"
      "net share 手順=C:\\share /USER:3\r\n");
  platform::sim::SimulatedPc& sim = pc_.Open();
  std::vector<platform::DriveConnection> connected, drives;
  ASSERT_EQ(sim.platform().drives.EnumConnected(connected), 0);
  for (const auto& c : connected)
    if (!c.LocalName.empty()) drives.push_back(c);  // the drives a place has
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0].LocalName, "X:");
  EXPECT_EQ(drives[0].RemoteName, "\\\\fs01\\経理");
  std::string printer;
  long error = 0;
  ASSERT_TRUE(sim.platform().printers.GetDefault(printer, error));
  EXPECT_EQ(printer, "\\\\fs01\\営業部カラー");
  std::vector<platform::ShareInfo> shares;
  ASSERT_EQ(sim.platform().shares.EnumShares(shares), 0);
  const auto made = std::find_if(shares.begin(), shares.end(),
                                 [](const platform::ShareInfo& s) { return s.Name == "手順"; });
  ASSERT_NE(made, shares.end());
  EXPECT_EQ(made->Path, "C:\\share");
  EXPECT_EQ(made->MaxUses, 3);
}

// ---- copy and del --------------------------------------------------------------

TEST_F(BatchTest, CopyAndDelActOnTheSimulatedDrive) {
  const std::string etc = "C/WINDOWS/system32/drivers/etc/";
  pc_.WriteFile("C/Program Files/Velandra/hosts.本社", "10.0.0.1 server\r\n");
  pc_.WriteFile("C/表/ソ.txt", "ソ");
  pc_.WriteFile(etc + "lmhosts", "old");
  BatchRun run = Run(
      "copy /Y \"C:\\Program Files\\Velandra\\hosts.本社\" \"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\"\r\n"
      "copy /Y \"C:\\表\\ソ.txt\" \"C:\\WINDOWS\"\r\n"
      "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts\"\r\n"
      "del /F \"C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts\"\r\n"
      "copy /Y \"C:\\missing\" \"C:\\WINDOWS\\x\"\r\n"
      "copy /Y \"C:\\表\\ソ.txt\" \"C:\\no folder\\x\"\r\n"
      "copy \"C:\\表\\ソ.txt\" \"C:\\表\\ソ.txt\"\r\n"
      "del Velandra.ini\r\n"
      "netsh after\r\n");
  EXPECT_EQ(pc_.ReadFile(etc + "hosts"), "10.0.0.1 server\r\n");
  EXPECT_EQ(pc_.ReadFile("C/WINDOWS/ソ.txt"), "ソ");
  EXPECT_FALSE(std::filesystem::exists(pc_.dir() / "C/WINDOWS/system32/drivers/etc/lmhosts"));
  EXPECT_FALSE(std::filesystem::exists(pc_.dir() / "C/Program Files/Velandra/Velandra.ini"));
  EXPECT_TRUE(run.Logged("Could Not Find C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts"));
  EXPECT_TRUE(run.Logged("The system cannot find the file specified."));
  EXPECT_TRUE(run.Logged("The system cannot find the path specified."));
  EXPECT_TRUE(run.Logged("The file cannot be copied onto itself."));
  EXPECT_TRUE(run.Logged("deleted C:\\Program Files\\Velandra\\Velandra.ini"));
  // The failed copies do not stop the run, but the run reports the failure.
  EXPECT_EQ(run.Commands.size(), 9u);
  EXPECT_EQ(run.Code, 1u);
}

// ---- exit codes ----------------------------------------------------------------

TEST_F(BatchTest, ExitCodeIsTheFirstFailureOrTheExplicitCode) {
  pc_.WriteFile("C/sub.bat", "netsh in sub\r\nexit /b 2\r\nnetsh never\r\n");
  pc_.WriteFile("C/quit.bat", "exit 4\r\n");
  struct Row {
    const char* name;
    const char* text;
    uint32_t code;
    Strings commands;
  } rows[] = {
      {"all_ok", "netsh a\r\nnetsh b\r\n", 0, {"netsh a", "netsh b"}},
      {"first_failure", "netsh exit=3\r\nnetsh b\r\nnetsh exit=5\r\n", 3,
       {"netsh exit=3", "netsh b", "netsh exit=5"}},
      {"explicit", "netsh a\r\nexit /b 7\r\nnetsh never\r\n", 7, {"netsh a", "exit /b 7"}},
      {"zero_does_not_hide_a_failure", "netsh exit=3\r\nexit /b 0\r\n", 3,
       {"netsh exit=3", "exit /b 0"}},
      {"errorlevel", "netsh exit=6\r\nnetsh %ERRORLEVEL%\r\n", 6, {"netsh exit=6", "netsh 6"}},
      {"call_returns", "call C:\\sub.bat\r\nnetsh back\r\n", 2,
       {"call C:\\sub.bat", "netsh in sub", "exit /b 2", "netsh back"}},
      {"without_call_no_return", "C:\\sub.bat\r\nnetsh never\r\n", 2,
       {"C:\\sub.bat", "netsh in sub", "exit /b 2"}},
      {"exit_ends_the_callers", "call C:\\quit.bat\r\nnetsh never\r\n", 4,
       {"call C:\\quit.bat", "exit 4"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    BatchRun run = Run(row.text);
    EXPECT_EQ(run.Code, row.code);
    EXPECT_EQ(run.Commands, row.commands);
  }
}

TEST_F(BatchTest, BatchParametersAndSelfCalls) {
  pc_.WriteFile("C/args.bat", "netsh [%0] [%1] [%~2] [%3]\r\n");
  BatchRun run = Run("call C:\\args.bat a,\"b c\";d\r\n");
  EXPECT_EQ(run.Netsh, (std::vector<Strings>{{"[C:\\args.bat]", "[a]", "[b", "c]", "[d]"}}));
  // A batch that calls itself is stopped, not followed for ever.
  pc_.WriteFile("C/loop.bat", "call C:\\loop.bat\r\n");
  run = RunFile("C:\\loop.bat");
  EXPECT_EQ(run.Code, kExitCannotRun);
  EXPECT_TRUE(run.Logged("batch files call each other more than 32 deep"));
}

TEST_F(BatchTest, EnvironmentComesFromThePc) {
  pc_.SetMachine("environment", "PATH", "C:\\Tools");
  pc_.SetMachine("environment", "Office", "本社");
  pc_.WriteFile("C/Tools/tool.exe", "MZ");
  BatchRun run = Run("netsh %PATH% %OFFICE% %SystemRoot% %USERNAME% %CD%\r\ntool /x\r\n");
  EXPECT_EQ(run.Netsh, (std::vector<Strings>{{"C:\\Tools", "本社", "C:\\WINDOWS", "Administrator",
                                              "C:\\Program", "Files\\Velandra"}}));
  EXPECT_TRUE(run.Logged("program started (from a batch): C:\\Tools\\tool.EXE; arguments: /x"));
}

}  // namespace
}  // namespace velandra::platform::sim
