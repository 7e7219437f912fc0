#include "system/platform/sim/sim_shortcut.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/scratch_dir.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {
namespace {

using velandra::testing::ScratchPc;

constexpr char kStartup[] =
    "C:\\Documents and Settings\\All Users\\スタート メニュー\\プログラム\\スタートアップ";
constexpr char kStartupDir[] =
    "C/Documents and Settings/All Users/スタート メニュー/プログラム/スタートアップ";

std::string InStartup(const std::string& name) { return std::string(kStartup) + "\\" + name; }

std::filesystem::path StartupHost(const ScratchPc& pc) {
  return pc.dir() / HostPathFromUtf8(Cp932ToUtf8(kStartupDir));
}

ShortcutSpec Velandra(const std::string& arguments) {
  return {"C:\\Program Files\\Velandra\\Velandra.exe", arguments,
          "C:\\Program Files\\Velandra", "Velandra"};
}

bool EventsHold(SimulatedPc& pc, const std::string& part) {
  for (const auto& e : pc.Events())
    if (e.find(part) != std::string::npos) return true;
  return false;
}

void ExpectSpec(const ShortcutSpec& a, const ShortcutSpec& b) {
  EXPECT_EQ(a.Target, b.Target);
  EXPECT_EQ(a.Arguments, b.Arguments);
  EXPECT_EQ(a.WorkingDirectory, b.WorkingDirectory);
  EXPECT_EQ(a.Description, b.Description);
}

TEST(SimShortcut, FileIsReadableUtf8Text) {
  ScratchPc pc;
  IShell& shell = pc.Open().platform().shell;
  ASSERT_TRUE(shell.CreateShortcut(InStartup("Velandra.lnk"), Velandra("-r \"本社\"")));
  std::string text;
  ASSERT_TRUE(ReadHostFile(StartupHost(pc) / "Velandra.lnk", text));
  EXPECT_EQ(text,
            "# A shortcut of the simulated PC (docs/simulated-pc.md).\n"
            "[shortcut]\n"
            "target = C:\\Program Files\\Velandra\\Velandra.exe\n"
            "arguments = -r \"\xE6\x9C\xAC\xE7\xA4\xBE\"\n"  // 本社 in UTF-8
            "working_directory = C:\\Program Files\\Velandra\n"
            "description = Velandra\n");
  EXPECT_TRUE(EventsHold(pc.Open(), "shortcut created: "));
}

TEST(SimShortcut, RoundTripKeepsEveryField) {
  const std::string longPath = "C:\\" + std::string(kShortcutMaxPath - 3, 'p');
  const std::string longText(kShortcutMaxText, 'a');
  struct Row {
    const char* name;
    ShortcutSpec spec;
  } rows[] = {
      {"velandra_resume", Velandra("-r \"本社\"")},
      {"relogon", Velandra("-p \"自宅\" -relogon")},
      {"only_a_target", {"C:\\WINDOWS\\notepad.exe", "", "", ""}},
      {"trail_bytes", {"C:\\表示\\ソフト.exe", "表 ソ 能", "C:\\表示", "ソフト"}},
      {"edge_blanks", {"C:\\x.exe", " -p x ", "\tC:\\", "desc "}},
      {"enclosing_quotes", {"\"C:\\x.exe\"", "\"-p\" \"x\"", "\"\"", "\""}},
      {"quoted_blank_value", {"C:\\x.exe", "\" a \"", "", "\"\t\""}},
      {"equals_hash_semicolon", {"C:\\x.exe", "a=b # c ; d", "", "# not a comment"}},
      {"longest_fields", {longPath, longText, longPath, longText}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    IShell& shell = pc.Open().platform().shell;
    ASSERT_TRUE(shell.CreateShortcut(InStartup("a.lnk"), row.spec));
    ShortcutSpec read{"marker", "marker", "marker", "marker"};
    ASSERT_TRUE(shell.ReadShortcut(InStartup("a.lnk"), read));
    ExpectSpec(read, row.spec);
  }
}

TEST(SimShortcut, CreateReplacesTheFileWhole) {
  ScratchPc pc;
  IShell& shell = pc.Open().platform().shell;
  ASSERT_TRUE(shell.CreateShortcut(InStartup("Velandra.lnk"), Velandra("-p \"本社\" -relogon")));
  ASSERT_TRUE(shell.CreateShortcut(InStartup("velandra.LNK"), Velandra("-r \"本社\"")));
  ShortcutSpec read;
  ASSERT_TRUE(shell.ReadShortcut(InStartup("Velandra.lnk"), read));
  EXPECT_EQ(read.Arguments, "-r \"本社\"");
  // One file, spelled as it was first made; no temporary file beside it.
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(StartupHost(pc)))
    names.insert(HostPathToUtf8(e.path().filename()));
  EXPECT_EQ(names, std::set<std::string>{"Velandra.lnk"});
  EXPECT_TRUE(EventsHold(pc.Open(), "shortcut replaced: "));
}

TEST(SimShortcut, CreateRefusesWhatTheFileCannotHold) {
  const std::string tooLongPath = "C:\\" + std::string(kShortcutMaxPath - 2, 'p');
  struct Row {
    const char* name;
    std::string path;
    ShortcutSpec spec;
    const char* why;  // part of the event
  } rows[] = {
      {"no_target", InStartup("a.lnk"), {"", "-r x", "", ""}, "no target"},
      {"newline_in_arguments", InStartup("a.lnk"), Velandra("-r x\n-s"), "control character"},
      {"zero_in_target", InStartup("a.lnk"), {std::string("C:\\a\0b", 6), "", "", ""},
       "control character"},
      {"target_too_long", InStartup("a.lnk"), {tooLongPath, "", "", ""}, "longer"},
      {"arguments_too_long", InStartup("a.lnk"), Velandra(std::string(kShortcutMaxText + 1, 'a')),
       "longer"},
      {"not_cp932", InStartup("a.lnk"), {"C:\\x.exe", "\x81", "", ""}, "not CP932"},
      {"missing_folder", "C:\\nowhere\\a.lnk", Velandra(""), "no such folder"},
      {"no_such_drive", "D:\\a.lnk", Velandra(""), "no such folder"},
      {"folder_in_the_way", std::string(kStartup), Velandra(""), "folder"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    std::filesystem::create_directories(StartupHost(pc));
    IShell& shell = pc.Open().platform().shell;
    EXPECT_FALSE(shell.CreateShortcut(row.path, row.spec));
    EXPECT_TRUE(std::filesystem::is_empty(StartupHost(pc)));
    EXPECT_TRUE(EventsHold(pc.Open(), "shortcut not created: ")) << row.why;
    EXPECT_TRUE(EventsHold(pc.Open(), row.why));
  }
}

TEST(SimShortcut, HandWrittenFilesRead) {
  struct Row {
    const char* name;
    bool bom;  // an editor's byte order mark first
    std::string text;  // CP932, like the literals of the tests; the file is UTF-8
    ShortcutSpec expected;
  } rows[] = {
      {"crlf_bom_comments_any_case", true,
       "; made by hand\r\n[Shortcut]\r\nTARGET = C:\\v.exe\r\nArguments=-now\r\n",
       {"C:\\v.exe", "-now", "", ""}},
      {"quotes_around_a_plain_value_stay", false, "[shortcut]\ntarget = \"C:\\v.exe\"\n",
       {"\"C:\\v.exe\"", "", "", ""}},
      {"japanese", false, "[shortcut]\ntarget = C:\\表示\\v.exe\ndescription = 表示\n",
       {"C:\\表示\\v.exe", "", "", "表示"}},
  };
  for (auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string text = (row.bom ? "\xEF\xBB\xBF" : "") + Cp932ToUtf8(row.text);
    ShortcutSpec read;
    std::string why;
    ASSERT_TRUE(ParseShortcut(text, read, why)) << why;
    ExpectSpec(read, row.expected);
  }
}

TEST(SimShortcut, MalformedFilesReadFalse) {
  const std::string utf8LongTarget = "[shortcut]\ntarget = C:\\" + std::string(300, 'p') + "\n";
  struct Row {
    const char* name;
    std::string text;  // UTF-8, as the file holds it
  } rows[] = {
      {"empty", ""},
      {"binary", std::string("\x4C\x00\x00\x00\x01\x14\x02\x00", 8)},  // a real .lnk's start
      {"no_section", "target = C:\\v.exe\n"},
      {"other_section", "[InternetShortcut]\ntarget = C:\\v.exe\n"},
      {"two_sections", "[shortcut]\ntarget = C:\\v.exe\n[shortcut]\ntarget = C:\\w.exe\n"},
      {"unknown_key", "[shortcut]\ntarget = C:\\v.exe\nicon = x.ico\n"},
      {"key_twice", "[shortcut]\ntarget = C:\\v.exe\nTarget = C:\\w.exe\n"},
      {"no_target", "[shortcut]\narguments = -now\n"},
      {"empty_target", "[shortcut]\ntarget =\n"},
      {"line_without_equals", "[shortcut]\ntarget = C:\\v.exe\n-now\n"},
      {"not_utf8", "[shortcut]\ntarget = C:\\\x95\x5C.exe\n"},  // CP932 bytes of 表
      {"no_cp932_form", "[shortcut]\ntarget = C:\\\xF0\x9F\x98\x80.exe\n"},  // an emoji
      {"target_too_long", utf8LongTarget},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    std::filesystem::create_directories(StartupHost(pc));
    ASSERT_TRUE(WriteHostFileAtomically(StartupHost(pc) / "bad.lnk", row.text));
    ShortcutSpec read{"marker", "marker", "marker", "marker"};
    EXPECT_FALSE(pc.Open().platform().shell.ReadShortcut(InStartup("bad.lnk"), read));
    ExpectSpec(read, {"marker", "marker", "marker", "marker"});
    EXPECT_TRUE(EventsHold(pc.Open(), "shortcut cannot be read: "));
  }
}

TEST(SimShortcut, ReadOfWhatIsNoFile) {
  ScratchPc pc;
  std::filesystem::create_directories(StartupHost(pc));
  IShell& shell = pc.Open().platform().shell;
  ShortcutSpec read{"marker", "", "", ""};
  for (const std::string& path : {InStartup("missing.lnk"), std::string(kStartup),
                                  std::string("D:\\a.lnk")}) {
    SCOPED_TRACE(Cp932ToUtf8(path));
    EXPECT_FALSE(shell.ReadShortcut(path, read));
    EXPECT_EQ(read.Target, "marker");
  }
}

}  // namespace
}  // namespace velandra::platform::sim
