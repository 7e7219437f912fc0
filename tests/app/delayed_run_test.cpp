// The start with -r on the simulated PC: the queued actions carried out in
// slot order for the place, the domain change that restarts Windows, and
// the program entries started through the shell.
#include "app/delayed_run.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/delayed_actions.h"
#include "app/exit_codes.h"
#include "app/messages.h"
#include "app/relogon.h"
#include "app/startup_shortcut.h"
#include "app/velandra_app.h"
#include "support/app_runs.h"
#include "support/demo_pc_facts.h"
#include "support/session_fakes.h"
#include "system/adapter_registry.h"
#include "system/domain_join.h"
#include "system/platform/sim/sim_boot.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "system/proxy_companion.h"
#include "ui/dlg_user_password.h"

namespace velandra::app {
namespace {

using testing::SessionRig;
using platform::Cp932ToUtf8;

// The PC's membership as the LSA policy gives it, changed by the join calls.
class FakeDomain : public platform::IDomain {
 public:
  long QueryPrimaryDomain(uint32_t, platform::PrimaryDomain& domain) override {
    domain = state;
    return 0;
  }
  long JoinDomain(const std::string& name, const std::optional<std::string>&,
                  const std::optional<std::string>&, uint32_t options) override {
    if (joinError) return joinError;
    state.Name = name;
    state.HasSid = (options & platform::kNetSetupJoinDomain) != 0;
    return 0;
  }
  long UnjoinDomain(uint32_t) override {
    state = {"WORKGROUP", false};
    return 0;
  }

  platform::PrimaryDomain state{"HONSHA", true};
  long joinError = 0;
};

// Answers the account question of a failed join with OK and an account.
class TypedAccount : public ui::IUserPasswordDialog {
 public:
  bool DoModal(ui::CDlgUserPassword& dialog) override {
    ++asked;
    if (cancel) return false;
    dialog.UserName = "kanri";
    dialog.Password = "pw";
    return true;
  }
  int asked = 0;
  bool cancel = false;
};

// The events that begin with one of `prefixes` (UTF-8), in order.
std::vector<std::string> EventsOf(const SessionRig& rig,
                                  std::initializer_list<const char*> prefixes) {
  std::vector<std::string> found;
  for (const auto& e : rig.sim->Events())
    for (const char* prefix : prefixes)
      if (e.rfind(prefix, 0) == 0) found.push_back(e);
  return found;
}

std::vector<std::string> ShellStarts(const SessionRig& rig) {
  return EventsOf(rig, {"shell started", "shell could not start"});
}

// The texts shown, each checked to be a warning; the run's own have no
// owner (the workgroup switch's message is not the run's).
std::vector<std::string> Warnings(const SessionRig& rig) {
  std::vector<std::string> texts;
  for (const auto& m : rig.sim->Messages()) {
    texts.push_back(m.Text);
    EXPECT_EQ(m.Icon, platform::MessageIcon::Warning) << Cp932ToUtf8(m.Text);
    if (m.Text != kMsgWorkgroupSwitchFailed) {
      EXPECT_EQ(m.Owner, platform::MessageOwner::None) << Cp932ToUtf8(m.Text);
    }
    EXPECT_EQ(m.Caption, "Velandra");
  }
  return texts;
}

std::map<std::string, std::string> Winlogon(platform::Platform& p) {
  platform::RegKey key;
  std::map<std::string, std::string> values;
  if (key.Open(p.registry, platform::Hive::LocalMachine, kWinlogonKey,
               platform::kKeyQueryValue) != 0)
    return {{"(key)", "missing"}};
  for (const char* name : {"AutoAdminLogon", "DefaultPassword", "ForceAutoLogon"})
    if (std::string v; key.QueryString(name, 1024, v) == 0) values[name] = v;
  return values;
}

constexpr char kBrisco[] = "C:\\Program Files\\Orvane\\Brisco\\BRISCO.EXE";
constexpr char kBriscoDir[] = "C:\\Program Files\\Orvane\\Brisco";
constexpr char kBriscoIni[] = "C:\\Program Files\\Orvane\\Brisco\\BRISCO.INI";

std::unique_ptr<config::ProgramEntry> Entry(int32_t type, const std::string& path,
                                            const std::string& arguments = "",
                                            const std::string& directory = "",
                                            int32_t show = config::kShowNormal) {
  auto entry = std::make_unique<config::ProgramEntry>();
  entry->Type = type;
  entry->Path = path;
  entry->Arguments = arguments;
  entry->Directory = directory;
  entry->Show = show;
  return entry;
}

// A scratch demo PC with a queue, the place 本社 (number 1) and its record
// filled in memory: a drive, a printer, a share, the companion's entry and
// a program; a workgroup place, the PC joined to HONSHA.
class RunRig : public SessionRig {
 public:
  explicit RunRig(const std::string& queue,
                  platform::sim::DemoVariant variant = platform::sim::DemoVariant::WindowsXp,
                  const std::string& common = "")
      : SessionRig(variant) {
    std::string ini = pc.ReadFile(testing::kDemoIniFile);
    if (!common.empty()) ini += "[COMMON]\r\n" + common;
    if (!queue.empty()) ini += "[DelayAction]\r\n" + queue;
    pc.WriteFile(testing::kDemoIniFile, ini);
    SessionRig::domain = &fakeDomain;
    Context& context = Open();
    place.Number = 1;
    place.Name = "本社";
    record = std::make_unique<config::PlaceSettings>(context, place, config::PlaceSource::Pc,
                                                     false);
    record->DomainWorkgroup = false;
    record->WorkgroupName = "SHITEN";
    record->AutoAdminLogon = false;
    config::NetworkDrive drive;
    drive.LocalName = "X:";
    drive.RemoteName = "\\\\fs01\\経理";
    record->NetworkDrives.Drives = {drive};
    record->DefaultPrinter = "経理部 EPSON LP-9000C";
    config::NetShare share;
    share.ShareName = "ツール";
    share.SharePath = kBriscoDir;
    record->NetShares = {share};
    record->Proxy = FindCompanion(Platform());
    record->Proxy.ProxyName = "自宅 光回線";
    record->Programs.push_back(Entry(config::kProgramTypeProgram, kBrisco, "/x"));
    // A shortcut as the start from the Startup folder found it.
    EXPECT_TRUE(Platform().files.WriteFile(kShortcutPath, "shortcut"));
  }
  bool Run() { return RunDelayedActions(*context, *record, account); }
  bool ShortcutThere() { return Platform().files.Exists(kShortcutPath); }

  FakeDomain fakeDomain;
  TypedAccount account;
  config::Place place;
  std::unique_ptr<config::PlaceSettings> record;
};

// What the action kinds did on the PC, as the simulated PC logs it.
std::vector<std::string> ActionEvents(const RunRig& rig) {
  return EventsOf(rig, {"connected ", "default printer set", "share added", "companion selected",
                        "shell started"});
}

// ---- the queue -------------------------------------------------------------

TEST(RunDelayedActions, EveryActionInSlotOrderThenTheQueueAndShortcutGone) {
  RunRig rig(
      "Action00=ExecuteProgram\r\nAction01=ConnectNetworkDrive\r\nAction02=DefaultPrinter\r\n"
      "Action03=NetShare\r\nAction04=ExecuteChangeProxy\r\nAction05=DisableAutoLogon\r\n"
      "ActionCount=5\r\n");
  platform::RegKey key;
  ASSERT_EQ(key.Open(rig.Platform().registry, platform::Hive::LocalMachine, kWinlogonKey,
                     platform::kKeyAllAccess), 0);
  key.SetString("AutoAdminLogon", "1");
  key.SetString("DefaultPassword", "admin");
  key.SetString("ForceAutoLogon", "1");

  EXPECT_TRUE(rig.Run());

  const std::vector<std::string> events = ActionEvents(rig);
  ASSERT_EQ(events.size(), 5u) << ::testing::PrintToString(rig.sim->Events());
  EXPECT_EQ(events[0], Cp932ToUtf8(std::string("shell started (default verb, show 5): ") +
                                   kBrisco + "; parameters: /x"));
  EXPECT_EQ(events[1].rfind(Cp932ToUtf8("connected X: to \\\\fs01\\経理"), 0), 0u) << events[1];
  EXPECT_EQ(events[2], Cp932ToUtf8("default printer set to 経理部 EPSON LP-9000C"));
  EXPECT_EQ(events[3].rfind(Cp932ToUtf8("share added ツール"), 0), 0u) << events[3];
  EXPECT_EQ(events[4], Cp932ToUtf8("companion selected: 自宅 光回線"));
  EXPECT_EQ(Winlogon(rig.Platform()), (std::map<std::string, std::string>{
                                          {"AutoAdminLogon", "0"}}));
  EXPECT_EQ(testing::QueueText(rig.Platform()), ";");
  EXPECT_FALSE(rig.ShortcutThere());
  EXPECT_TRUE(rig.sim->Messages().empty());
  EXPECT_TRUE(rig.session.exits.empty());
}

// Slots that are done, missing or of an unknown name run nothing; a name
// is compared exactly.
TEST(RunDelayedActions, SkippedAndUnknownSlots) {
  struct Row {
    const char* name;
    const char* queue;
    const char* ran;  // the one action event expected, null: none
  } rows[] = {
      {"done", "Action01=DONE\r\nAction02=DefaultPrinter\r\nActionCount=2\r\n",
       "default printer set"},
      {"gap_reads_NO_DATA", "Action03=DefaultPrinter\r\nActionCount=3\r\n",
       "default printer set"},
      {"unknown_name", "Action01=Reboot\r\nActionCount=1\r\n", nullptr},
      {"name_in_other_case", "Action01=defaultprinter\r\nActionCount=1\r\n", nullptr},
      {"slot_above_the_count", "Action01=Reboot\r\nAction02=DefaultPrinter\r\nActionCount=1\r\n",
       nullptr},
      {"count_far_above_the_slots", "Action01=DefaultPrinter\r\nActionCount=2147483647\r\n",
       "default printer set"},
      {"front_slot_alone", "Action00=DefaultPrinter\r\nActionCount=0\r\n",
       "default printer set"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RunRig rig(row.queue);
    EXPECT_TRUE(rig.Run());
    const std::vector<std::string> events = ActionEvents(rig);
    if (row.ran) {
      ASSERT_EQ(events.size(), 1u);
      EXPECT_EQ(events[0].rfind(row.ran, 0), 0u) << events[0];
    } else {
      EXPECT_TRUE(events.empty());
    }
    EXPECT_EQ(testing::QueueText(rig.Platform()), ";");
    EXPECT_FALSE(rig.ShortcutThere());
  }
}

TEST(RunDelayedActions, NothingQueuedDeletesTheSectionAndTheShortcut) {
  for (const char* queue : {"", "ActionCount=-1\r\nAction01=DefaultPrinter\r\n",
                            "ActionCount=-7\r\nAction00=ChangeDomain\r\n",
                            "Action01=DefaultPrinter\r\n"}) {
    SCOPED_TRACE(queue);
    RunRig rig(queue);
    EXPECT_TRUE(rig.Run());
    EXPECT_TRUE(EventsOf(rig, {"default printer set", "sleep"}).empty());
    EXPECT_EQ(testing::QueueText(rig.Platform()), ";");
    EXPECT_FALSE(rig.ShortcutThere());
    EXPECT_TRUE(rig.session.exits.empty());
  }
}

// Every kind but NetShare is marked done at once; a Winlogon failure stops
// the run there and keeps the queue (and leaves the shortcut alone).
TEST(RunDelayedActions, WinlogonFailureKeepsTheQueue) {
  const std::string openFailed = RegistryOpenFailedMessage(kWinlogonKey);
  const std::string writeFailed =
      "レジストリ " + std::string(kWinlogonKey) + "\\AutoAdminLogon にデータを書き出せませんでした";
  struct Row {
    const char* name;
    bool failOpen;
    std::string message;
  } rows[] = {{"open", true, openFailed}, {"write", false, writeFailed}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RunRig rig(
        "Action00=ExecuteProgram\r\nAction01=NetShare\r\nAction02=Reboot\r\n"
        "Action03=DisableAutoLogon\r\nAction04=DefaultPrinter\r\nActionCount=4\r\n");
    if (row.failOpen)
      rig.sim->registry().FailOpen(platform::Hive::LocalMachine, kWinlogonKey,
                                   platform::kErrorAccessDenied);
    else
      rig.sim->registry().FailSetValue(platform::Hive::LocalMachine, kWinlogonKey,
                                       "AutoAdminLogon", platform::kErrorAccessDenied);

    EXPECT_FALSE(rig.Run());

    EXPECT_EQ(Warnings(rig), std::vector<std::string>{row.message});
    EXPECT_EQ(testing::QueueText(rig.Platform()),
              "Action00=DONE;Action01=NetShare;Action02=DONE;Action03=DisableAutoLogon;"
              "Action04=DefaultPrinter;ActionCount=4;;");
    EXPECT_TRUE(EventsOf(rig, {"default printer set"}).empty());
    EXPECT_TRUE(rig.ShortcutThere());
  }
}

// ---- the domain change -----------------------------------------------------

TEST(RunDelayedActions, DomainChangeWaitsOnWindowsXpOnly) {
  using platform::sim::DemoVariant;
  struct Row {
    const char* name;
    DemoVariant variant;
    const char* common;  // COMMON lines
    std::vector<std::string> sleeps;
    const char* xpsleepAfter;  // COMMON/XPSLEEP afterwards, null: absent
  } rows[] = {
      {"xp_default_written", DemoVariant::WindowsXp, "", {"sleep 5000 ms"}, "5000"},
      {"xp_own_value", DemoVariant::WindowsXp, "XPSLEEP=1200\r\n", {"sleep 1200 ms"}, "1200"},
      {"xp_zero", DemoVariant::WindowsXp, "XPSLEEP=0\r\n", {}, "0"},
      // A wait of weeks is none.
      {"xp_negative", DemoVariant::WindowsXp, "XPSLEEP=-20\r\n", {}, "-20"},
      {"windows2000", DemoVariant::Windows2000, "", {}, nullptr},
      {"windows2000_value_unused", DemoVariant::Windows2000, "XPSLEEP=1200\r\n", {}, "1200"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RunRig rig("Action00=ChangeDomain\r\nActionCount=0\r\n", row.variant, row.common);
    rig.Run();
    EXPECT_EQ(EventsOf(rig, {"sleep"}), row.sleeps);
    const std::string value =
        rig.context->Config().ReadString("COMMON", "XPSLEEP", "(absent)", 32);
    EXPECT_EQ(value, row.xpsleepAfter ? row.xpsleepAfter : "(absent)");
  }
}

// A failed change drops the whole queue and the shortcut: nothing after it
// runs, now or later.
TEST(RunDelayedActions, FailedDomainChangeDropsTheQueue) {
  struct Row {
    const char* name;
    bool domainPlace;
    long joinError;
    bool workgroupMessage;  // the switch reports its own failure too
  } rows[] = {
      {"domain_join_fails", true, 1355, false},
      {"workgroup_switch_fails", false, 1326, true},
      // The switch itself does not report access denied.
      {"workgroup_access_denied", false, platform::kErrorAccessDenied, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RunRig rig("Action00=ChangeDomain\r\nAction01=ExecuteProgram\r\nActionCount=1\r\n",
               platform::sim::DemoVariant::Windows2000);
    rig.record->DomainWorkgroup = row.domainPlace;
    rig.record->DomainName = "SHISHA";
    rig.fakeDomain.joinError = row.joinError;

    EXPECT_FALSE(rig.Run());

    std::vector<std::string> shown = Warnings(rig);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), kMsgDomainSwitchFailed);
    EXPECT_LE(shown.size(), row.workgroupMessage ? 2u : 1u);
    EXPECT_EQ(testing::QueueText(rig.Platform()), ";");
    EXPECT_FALSE(rig.ShortcutThere());
    EXPECT_TRUE(ShellStarts(rig).empty());
    EXPECT_TRUE(rig.session.exits.empty());
    EXPECT_TRUE(rig.shell->specs.empty());
  }
}

// A change that worked is marked done and restarts Windows; whenever a slot
// still holds an action the -r shortcut is there for the start after the
// restart, which carries out the rest.
TEST(RunDelayedActions, DomainChangeRestartsWithTheShortcutWhileActionsRemain) {
  struct Row {
    const char* name;
    const char* queue;
    bool shortcut;
    const char* queueAfter;
  } rows[] = {
      {"nothing_after_it", "Action00=ChangeDomain\r\nActionCount=0\r\n", false,
       "Action00=DONE;ActionCount=0;;"},
      {"one_action_after_it", "Action00=ChangeDomain\r\nAction01=ExecuteProgram\r\nActionCount=1\r\n",
       true, "Action00=DONE;Action01=ExecuteProgram;ActionCount=1;;"},
      {"only_done_after_it", "Action00=ChangeDomain\r\nAction01=DONE\r\nActionCount=1\r\n", false,
       "Action00=DONE;Action01=DONE;ActionCount=1;;"},
      {"shares_after_done", "Action00=ChangeDomain\r\nAction01=DONE\r\nAction02=NetShare\r\n"
                            "ActionCount=2\r\n",
       true, "Action00=DONE;Action01=DONE;Action02=NetShare;ActionCount=2;;"},
      {"second_change_later",
       "Action00=DONE\r\nAction01=ChangeDomain\r\nAction02=DefaultPrinter\r\nActionCount=2\r\n",
       true, "Action00=DONE;Action01=DONE;Action02=DefaultPrinter;ActionCount=2;;"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RunRig rig(row.queue, platform::sim::DemoVariant::Windows2000);

    EXPECT_TRUE(rig.Run());

    EXPECT_EQ(testing::QueueText(rig.Platform()), row.queueAfter);
    EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitReboot});
    EXPECT_TRUE(EventsOf(rig, {"shell started", "default printer set", "share added"}).empty());
    EXPECT_EQ(rig.ShortcutThere(), row.shortcut);
    if (row.shortcut) {
      ASSERT_EQ(rig.shell->specs.size(), 1u);
      EXPECT_EQ(rig.shell->specs[0].Arguments, "-r \"本社\"");
    }
    EXPECT_TRUE(rig.sim->Messages().empty());

    // The start after the restart.
    rig.session.exits.clear();
    EXPECT_TRUE(rig.Run());
    EXPECT_EQ(testing::QueueText(rig.Platform()), ";");
    EXPECT_FALSE(rig.ShortcutThere());
    EXPECT_TRUE(rig.session.exits.empty());
  }
}

TEST(RunDelayedActions, DomainPlaceJoinedThenRestarts) {
  RunRig rig("Action00=ChangeDomain\r\nAction01=DefaultPrinter\r\nActionCount=1\r\n",
             platform::sim::DemoVariant::Windows2000);
  rig.fakeDomain.state = {"WORKGROUP", false};
  rig.record->DomainWorkgroup = true;
  rig.record->DomainName = "SHISHA";
  rig.record->LogonPlace = true;

  EXPECT_TRUE(rig.Run());

  EXPECT_EQ(rig.fakeDomain.state.Name, "SHISHA");
  EXPECT_TRUE(rig.fakeDomain.state.HasSid);
  EXPECT_EQ(rig.account.asked, 0);
  EXPECT_EQ(testing::QueueText(rig.Platform()), "Action00=DONE;Action01=DefaultPrinter;ActionCount=1;;");
  EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitReboot});
  ASSERT_EQ(rig.shell->specs.size(), 1u);
  EXPECT_EQ(rig.shell->specs[0].Arguments, "-r \"本社\"");
  EXPECT_TRUE(rig.sim->Messages().empty());
}

// Cancelling the account question ends the program: nothing more is done
// or shown, and the queue stays.
TEST(RunDelayedActions, CancelledAccountQuestionEndsTheRun) {
  RunRig rig("Action00=ChangeDomain\r\nAction01=DefaultPrinter\r\nActionCount=1\r\n",
             platform::sim::DemoVariant::Windows2000);
  rig.record->DomainWorkgroup = true;
  rig.record->DomainName = "SHISHA";
  rig.fakeDomain.joinError = 1326;
  rig.account.cancel = true;

  EXPECT_FALSE(rig.Run());

  EXPECT_EQ(rig.account.asked, 1);
  ASSERT_EQ(rig.sim->Messages().size(), 1u);
  EXPECT_EQ(rig.sim->Messages()[0].Text, kMsgJoinCredentialsCancelled);
  EXPECT_EQ(rig.context->QuitCode(), 1);
  EXPECT_EQ(testing::QueueText(rig.Platform()), "Action00=ChangeDomain;Action01=DefaultPrinter;ActionCount=1;;");
  EXPECT_TRUE(rig.session.exits.empty());
  EXPECT_TRUE(EventsOf(rig, {"default printer set"}).empty());
}

// The place's logon written after the change may queue the end of its
// one-time automatic logon: the only action left, the shortcut is there.
TEST(RunDelayedActions, DomainChangeKeepsTheLogonItsWriteQueues) {
  struct Row {
    const char* name;
    bool keep;
    bool shortcut;
    const char* queueAfter;
  } rows[] = {
      {"one_time_logon", false, true, "Action00=DONE;ActionCount=1;Action01=DisableAutoLogon;;"},
      {"kept_logon", true, false, "Action00=DONE;ActionCount=0;;"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RunRig rig("Action00=ChangeDomain\r\nActionCount=0\r\n",
               platform::sim::DemoVariant::Windows2000);
    rig.record->AutoAdminLogon = true;
    rig.record->AutoLogonKeep = row.keep;
    rig.record->DefaultUserName = "suzuki";
    rig.record->DefaultPassword = "pw";
    // The place stores its logon (else the logon read from the PC would be
    // the administrator's one made for the join).
    rig.pc.WriteFile(testing::kDemoIniFile,
                     rig.pc.ReadFile(testing::kDemoIniFile) +
                         "[P1]\r\nDefaultUserName=suzuki\r\nAutoAdminLogon=TRUE\r\n"
                         "DefaultPassword=143\r\nDisableCAD=TRUE\r\n");

    EXPECT_TRUE(rig.Run());

    EXPECT_EQ(testing::QueueText(rig.Platform()), row.queueAfter);
    EXPECT_EQ(Winlogon(rig.Platform()),
              (std::map<std::string, std::string>{{"AutoAdminLogon", "1"},
                                                  {"DefaultPassword", "pw"}}));
    EXPECT_EQ(rig.ShortcutThere(), row.shortcut);
    EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitReboot});
    EXPECT_TRUE(rig.sim->Messages().empty());
  }
}

TEST(RunDelayedActions, DomainChangeShowsWhyNoStartFollows) {
  struct Row {
    const char* name;
    std::string placeName;
    bool com;
    std::string message;
  } rows[] = {
      {"no_shortcut", "本社", false, kMsgShortcutNotCreated},
      {"name_not_passable", "-now", true, std::string(kMsgPlaceNameNotPassable) + "-now"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RunRig rig("Action00=ChangeDomain\r\nAction01=ExecuteProgram\r\nActionCount=1\r\n",
               platform::sim::DemoVariant::Windows2000);
    rig.place.Name = row.placeName;
    rig.shell->comAvailable = row.com;
    EXPECT_TRUE(rig.Run());
    EXPECT_EQ(Warnings(rig), std::vector<std::string>{row.message});
    EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitReboot});
    EXPECT_EQ(testing::QueueText(rig.Platform()), "Action00=DONE;Action01=ExecuteProgram;ActionCount=1;;");
  }
}

// ---- program entries -------------------------------------------------------

TEST(StartProgramEntry, ProgramFolderAndFileThroughTheShell) {
  using platform::sim::DemoVariant;
  struct Row {
    const char* name;
    DemoVariant variant;
    int32_t type;
    std::string path, arguments, directory;
    int32_t show;
    std::string started;  // the shell's event (CP932), "" for none
  } rows[] = {
      {"program", DemoVariant::WindowsXp, config::kProgramTypeProgram, kBrisco, "/S:本社",
       kBriscoDir, config::kShowMaximized,
       std::string("shell started (default verb, show 3): ") + kBrisco +
           "; parameters: /S:本社; directory: " + kBriscoDir},
      {"folder", DemoVariant::WindowsXp, config::kProgramTypeFolder, kBriscoDir, "ignored",
       "C:\\ignored", config::kShowNormal,
       std::string("shell started (default verb, show 5): C:\\WINDOWS\\EXPLORER.EXE; "
                   "parameters: ") + kBriscoDir},
      {"folder_windows2000", DemoVariant::Windows2000, config::kProgramTypeFolder, kBriscoDir,
       "", "", config::kShowNormal,
       std::string("shell started (default verb, show 5): C:\\WINNT\\EXPLORER.EXE; "
                   "parameters: ") + kBriscoDir},
      {"file", DemoVariant::WindowsXp, config::kProgramTypeFile, kBriscoIni, "ignored",
       kBriscoDir, config::kShowMinimized,
       std::string("shell started (open, show 6): ") + kBriscoIni},
      {"missing_path", DemoVariant::WindowsXp, config::kProgramTypeProgram,
       "C:\\Program Files\\なし\\gone.exe", "", "", config::kShowNormal, ""},
      {"missing_folder", DemoVariant::WindowsXp, config::kProgramTypeFolder, "C:\\なし", "", "",
       config::kShowNormal, ""},
      {"empty_path", DemoVariant::WindowsXp, config::kProgramTypeFile, "", "", "",
       config::kShowNormal, ""},
      {"unknown_type", DemoVariant::WindowsXp, 7, kBrisco, "", "", config::kShowNormal, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SessionRig rig(row.variant);
    rig.Open();
    StartProgramEntry(rig.Platform(),
                      *Entry(row.type, row.path, row.arguments, row.directory, row.show));
    const std::vector<std::string> starts = ShellStarts(rig);
    if (row.started.empty()) {
      EXPECT_TRUE(starts.empty());
    } else {
      EXPECT_EQ(starts, std::vector<std::string>{Cp932ToUtf8(row.started)});
    }
    EXPECT_TRUE(rig.sim->Messages().empty());
  }
}

TEST(RunDelayedActions, ProgramsInTheirOrderMissingOnesSkipped) {
  RunRig rig("Action01=ExecuteProgram\r\nActionCount=1\r\n");
  rig.record->Programs.clear();
  rig.record->Programs.push_back(Entry(config::kProgramTypeFile, kBriscoIni));
  rig.record->Programs.push_back(Entry(config::kProgramTypeProgram, "C:\\gone.exe"));
  rig.record->Programs.push_back(Entry(config::kProgramTypeFolder, kBriscoDir));
  EXPECT_TRUE(rig.Run());
  const std::vector<std::string> starts = ShellStarts(rig);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_NE(starts[0].find("BRISCO.INI"), std::string::npos) << starts[0];
  EXPECT_NE(starts[1].find("EXPLORER.EXE"), std::string::npos) << starts[1];
}

// ---- the -r start ----------------------------------------------------------

int StartQuietly(platform::sim::SimulatedPc& pc, const std::string& arguments) {
  std::ostringstream out;
  return testing::StartVelandra(pc, arguments, out);
}

// Without the place no action may run: an unknown name is refused while
// something is queued, and the queue waits for a start with the right one.
TEST(ResumeStart, UnknownPlaceRefusedWhileActionsAreQueued) {
  struct Row {
    const char* name;
    const char* line;
    int code;
    const char* message;  // null: none
    const char* queueAfter;
  } rows[] = {
      {"unknown_place", "-r 支店", kExitRefused, kMsgPlaceNotFound,
       "Action01=DisableAutoLogon;ActionCount=1;;"},
      {"name_in_other_case", "-r 本 社", kExitRefused, kMsgPlaceNotFound,
       "Action01=DisableAutoLogon;ActionCount=1;;"},
      {"known_place", "-r 本社", kExitSuccess, nullptr, ";"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::ScratchPc pc;
    pc.WriteFile(testing::kDemoIniFile,
                 pc.ReadFile(testing::kDemoIniFile) +
                     "[DelayAction]\r\nAction01=DisableAutoLogon\r\nActionCount=1\r\n");
    platform::sim::SimulatedPc& sim = pc.Open();
    platform::RegKey key;
    ASSERT_EQ(key.Open(sim.platform().registry, platform::Hive::LocalMachine, kWinlogonKey,
                       platform::kKeyAllAccess), 0);
    key.SetString("AutoAdminLogon", "1");

    EXPECT_EQ(StartQuietly(sim, row.line), row.code);

    if (row.message) {
      ASSERT_EQ(sim.Messages().size(), 1u);
      EXPECT_EQ(sim.Messages()[0].Text, row.message);
      EXPECT_EQ(sim.Messages()[0].Icon, platform::MessageIcon::Error);
    } else {
      EXPECT_TRUE(sim.Messages().empty());
    }
    std::string autoLogon;
    key.QueryString("AutoAdminLogon", 16, autoLogon);
    EXPECT_EQ(autoLogon, row.message ? "1" : "0");
    EXPECT_EQ(testing::QueueText(sim.platform()), row.queueAfter);
  }
}

// The shortcut left by a change with restart, played through the boots of
// the simulated PC: the workgroup change restarts Windows, the next boot
// carries out the rest, and nothing is left to start after that.
TEST(ResumeStart, BootsRunTheQueueToTheEnd) {
  testing::ScratchPc pc;
  pc.WriteFile(testing::kDemoIniFile,
               pc.ReadFile(testing::kDemoIniFile) +
                   "[DelayAction]\r\nAction00=ChangeDomain\r\nAction01=DisableAutoLogon\r\n"
                   "ActionCount=1\r\n");
  platform::sim::SimulatedPc& sim = pc.Open();
  ASSERT_TRUE(CreateStartupShortcut(sim.platform(), ResumeArguments("本社")));
  platform::RegKey key;
  ASSERT_EQ(key.Open(sim.platform().registry, platform::Hive::LocalMachine, kWinlogonKey,
                     platform::kKeyAllAccess), 0);
  key.SetString("ForceAutoLogon", "1");
  auto start = [](platform::sim::SimulatedPc& pc, const std::string& arguments,
                  std::ostream&) { return StartQuietly(pc, arguments); };
  std::ostringstream out;

  // The demo place 本社 keeps the PC's workgroup and logon.
  platform::sim::BootResult boot = platform::sim::Boot(sim, true, start, out);
  ASSERT_EQ(boot.Starts.size(), 1u) << out.str();
  EXPECT_EQ(boot.Starts[0].Spec.Arguments, "-r \"本社\"");
  EXPECT_EQ(boot.Starts[0].ExitCode, kExitSuccess) << out.str();
  EXPECT_EQ(sim.Machine().Get("session", "exit_request"), "restart");
  EXPECT_EQ(testing::QueueText(sim.platform()), "Action00=DONE;Action01=DisableAutoLogon;ActionCount=1;;");

  boot = platform::sim::Boot(sim, false, start, out);
  ASSERT_EQ(boot.Starts.size(), 1u) << out.str();
  EXPECT_EQ(boot.Starts[0].ExitCode, kExitSuccess) << out.str();
  EXPECT_EQ(sim.Machine().Get("session", "exit_request"), "");
  EXPECT_EQ(testing::QueueText(sim.platform()), ";");
  std::string force;
  EXPECT_NE(key.QueryString("ForceAutoLogon", 16, force), 0);

  boot = platform::sim::Boot(sim, true, start, out);
  EXPECT_TRUE(boot.Starts.empty()) << out.str();
  EXPECT_TRUE(sim.Messages().empty()) << out.str();
}

}  // namespace
}  // namespace velandra::app
