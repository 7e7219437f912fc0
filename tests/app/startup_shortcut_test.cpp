#include "app/startup_shortcut.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/relogon.h"
#include "support/session_fakes.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::app {
namespace {

using testing::SessionRig;

class NoPrompt : public ui::IUserPasswordDialog {
 public:
  bool DoModal(ui::CDlgUserPassword&) override {
    ADD_FAILURE() << "the logon prompt was shown";
    return false;
  }
};

// What the start made from the shortcut reads from its arguments.
CommandLineOptions NextStart(const std::string& arguments) {
  NoPrompt prompt;
  CommandLineOptions options;
  EXPECT_TRUE(ParseCommandLine(SplitCommandLine(arguments), options, prompt)) << arguments;
  return options;
}

// Names with a blank, with the trail byte 0x5C (表, ソ), with a '-' first.
const char* const kNames[] = {"本社", "東京 本社", "表計算ソフト", "Branch Office 2", "-x"};

TEST(ShortcutArguments, EveryWriterAndWhatTheNextStartDoes) {
  struct Row {
    const char* writer;
    int mode;              // -1: the delayed actions' -r shortcut
    bool withoutRestart;
    const char* suffix;    // after -p "name" or -r "name"
    uint32_t shutdown, relogon, resume;
  } rows[] = {
      {"relogon_shut_down", 0, false, " -s", 1, 0, 0},
      {"relogon_shut_down_flag_set_still_s", 0, true, " -s", 1, 0, 0},
      {"relogon_restart_without_restart_flag", 1, true, " -relogon", 0, 1, 0},
      {"relogon_without_restart_flag", 2, true, " -relogon", 0, 1, 0},
      {"relogon_restart", 1, false, "", 0, 0, 0},
      {"relogon_without_restart_flag_clear", 2, false, "", 0, 0, 0},
      {"delayed_actions", -1, false, "", 0, 0, 1},
  };
  for (const Row& row : rows) {
    for (const char* name : kNames) {
      SCOPED_TRACE(std::string(row.writer) + " " + platform::Cp932ToUtf8(name));
      const std::string arguments = row.mode < 0
                                        ? ResumeArguments(name)
                                        : RelogonArguments(name, row.mode, row.withoutRestart);
      EXPECT_EQ(arguments, std::string(row.mode < 0 ? "-r" : "-p") + " \"" + name + "\"" +
                               row.suffix);
      const CommandLineOptions next = NextStart(arguments);
      EXPECT_EQ(next.PlaceName, name);
      EXPECT_EQ(next.Shutdown, row.shutdown);
      EXPECT_EQ(next.Relogon, row.relogon);
      EXPECT_EQ(next.Resume, row.resume);
      EXPECT_EQ(next.Now, 0u);
      EXPECT_EQ(next.Logon, 0u);
      EXPECT_TRUE(FitsShortcutArguments(name));
    }
  }
}

TEST(ShortcutArguments, NamesTheNextStartWouldReadOtherwise) {
  for (const char* name : {"a\"b", "東京\" -now", "\"", "-now", "-s", "-logon", "-relogon",
                           "-r", "-p", "-nodiff", "-np"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(FitsShortcutArguments(name));
  }
  for (const char* name : {"-NOW", "-s2", "now", "本社 -s"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(FitsShortcutArguments(name));
  }
}

std::vector<std::string> Grants(SessionRig& rig) {
  std::vector<std::string> out;
  if (const auto* section =
          rig.sim->Security().Find(platform::Cp932ToUtf8(SessionRig::kShortcutPath)))
    for (const auto& e : section->Entries) out.push_back(e.Key + " = " + e.Value);
  return out;
}

TEST(CreateStartupShortcut, TargetFolderArgumentsAndOnlyDeleteForEveryone) {
  SessionRig rig;
  rig.Open();
  EXPECT_TRUE(CreateStartupShortcut(rig.Platform(), "-r \"本社\""));

  ASSERT_EQ(rig.shell->paths, std::vector<std::string>{SessionRig::kShortcutPath});
  const platform::ShortcutSpec& spec = rig.shell->specs[0];
  EXPECT_EQ(spec.Target, "C:\\Program Files\\Velandra\\Velandra.exe");
  EXPECT_EQ(spec.Arguments, "-r \"本社\"");
  EXPECT_EQ(spec.WorkingDirectory, "C:\\Program Files\\Velandra");
  EXPECT_EQ(spec.Description, "Velandra");
  EXPECT_EQ(rig.shell->comInits, 1);
  EXPECT_EQ(rig.shell->comReleases, 1);
  EXPECT_EQ(rig.shell->outsideCom, 0);
  EXPECT_EQ(Grants(rig), std::vector<std::string>{"allow = Everyone 0x00010000"});
  EXPECT_TRUE(rig.sim->Messages().empty());
}

TEST(CreateStartupShortcut, FolderMadeWhenMissing) {
  SessionRig rig;
  rig.pc.SetMachine("shell", "common_startup", "C:\\Startup\\新しいフォルダ");
  rig.Open();
  EXPECT_TRUE(CreateStartupShortcut(rig.Platform(), "-r \"本社\""));
  EXPECT_EQ(rig.shell->paths,
            std::vector<std::string>{"C:\\Startup\\新しいフォルダ\\Velandra.lnk"});
}

TEST(CreateStartupShortcut, NothingGrantedOffNtfs) {
  SessionRig rig;
  rig.pc.SetMachine("volumes", "C", "FAT32, fixed");
  rig.Open();
  EXPECT_TRUE(CreateStartupShortcut(rig.Platform(), "-r \"本社\""));
  EXPECT_EQ(rig.shell->paths.size(), 1u);
  EXPECT_TRUE(Grants(rig).empty());
}

TEST(CreateStartupShortcut, FailuresMakeNothingAndGrantNothing) {
  struct Row {
    const char* name;
    bool com, create;
    int inits, releases;
    const char* startup;  // the Startup folder, when not the demo's
  } rows[] = {
      {"com_unavailable", false, true, 1, 0, nullptr},
      {"link_not_saved", true, false, 1, 1, nullptr},
      {"no_startup_folder", true, true, 0, 0, "Q:\\Startup"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SessionRig rig;
    if (row.startup) rig.pc.SetMachine("shell", "common_startup", row.startup);
    rig.Open();
    rig.shell->comAvailable = row.com;
    rig.shell->createSucceeds = row.create;
    EXPECT_FALSE(CreateStartupShortcut(rig.Platform(), "-r \"本社\""));
    EXPECT_TRUE(rig.shell->paths.empty());
    EXPECT_EQ(rig.shell->comInits, row.inits);
    EXPECT_EQ(rig.shell->comReleases, row.releases);
    EXPECT_FALSE(rig.Platform().files.Exists(SessionRig::kShortcutPath));
    EXPECT_TRUE(Grants(rig).empty());
  }
}

TEST(DeleteStartupShortcut, RemovesItAndAMissingOneIsNoError) {
  SessionRig rig;
  rig.Open();
  ASSERT_TRUE(CreateStartupShortcut(rig.Platform(), "-r \"本社\""));
  DeleteStartupShortcut(rig.Platform());
  EXPECT_FALSE(rig.Platform().files.Exists(SessionRig::kShortcutPath));
  DeleteStartupShortcut(rig.Platform());
  EXPECT_TRUE(rig.sim->Messages().empty());
}

TEST(CreateStartupShortcut, OnTheSimulatedPc) {
  testing::ScratchPc pc;
  platform::Platform& p = pc.Open().platform();
  ASSERT_TRUE(CreateStartupShortcut(p, "-p \"東京 本社\" -relogon"));

  platform::ShortcutSpec spec;
  ASSERT_TRUE(p.shell.ReadShortcut(SessionRig::kShortcutPath, spec));
  EXPECT_EQ(spec.Target, "C:\\Program Files\\Velandra\\Velandra.exe");
  EXPECT_EQ(spec.Arguments, "-p \"東京 本社\" -relogon");
  EXPECT_EQ(spec.WorkingDirectory, "C:\\Program Files\\Velandra");
  EXPECT_EQ(spec.Description, "Velandra");
  const auto* grants = pc.Open().Security().Find(platform::Cp932ToUtf8(SessionRig::kShortcutPath));
  ASSERT_NE(grants, nullptr);
  ASSERT_EQ(grants->Entries.size(), 1u);
  EXPECT_EQ(grants->Entries[0].Value, "Everyone 0x00010000");

  DeleteStartupShortcut(p);
  EXPECT_FALSE(p.shell.ReadShortcut(SessionRig::kShortcutPath, spec));
  EXPECT_EQ(pc.Open().Security().Find(platform::Cp932ToUtf8(SessionRig::kShortcutPath)), nullptr);
}

}  // namespace
}  // namespace velandra::app
