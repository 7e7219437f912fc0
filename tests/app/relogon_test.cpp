#include "app/relogon.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/delayed_actions.h"
#include "app/exit_windows.h"
#include "app/startup_shortcut.h"
#include "apply/change_batch.h"
#include "support/app_runs.h"
#include "support/demo_pc_facts.h"
#include "support/session_fakes.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "ui/velandra_sheet.h"

namespace velandra::app {
namespace {

using testing::SessionRig;
using Values = std::map<std::string, std::string>;

constexpr const char* kLogonValues[] = {"AutoAdminLogon",   "DefaultUserName",
                                        "DefaultPassword",  "ForceAutoLogon",
                                        "DefaultDomainName", "AltDefaultDomainName"};

// The automatic-logon values as they stand; a missing one is left out and
// one that is not REG_SZ is marked.
Values LogonValues(platform::Platform& p) {
  platform::RegKey key;
  if (key.Open(p.registry, platform::Hive::LocalMachine, kWinlogonKey,
               platform::kKeyQueryValue) != 0)
    return {{"(key)", "missing"}};
  Values values;
  for (const char* name : kLogonValues) {
    uint32_t type = 0;
    std::string data;
    if (key.QueryValue(name, 1024, type, data) != 0) continue;
    if (!data.empty() && data.back() == '\0') data.pop_back();
    values[name] = type == platform::kRegSz ? data : "(type " + std::to_string(type) + ") " + data;
  }
  return values;
}

// As the demo PC has them: automatic logon off.
const Values kDemoLogon = {{"AutoAdminLogon", "0"},
                           {"DefaultUserName", "Administrator"},
                           {"DefaultDomainName", "VELANDRA-PC"},
                           {"AltDefaultDomainName", "VELANDRA-PC"}};

Values AutoLogon(const std::string& user, const std::string& password,
                 const std::string& domain) {
  return {{"AutoAdminLogon", "1"},   {"DefaultUserName", user},
          {"DefaultPassword", password}, {"ForceAutoLogon", "1"},
          {"DefaultDomainName", domain}, {"AltDefaultDomainName", domain}};
}

std::vector<std::string> ShownTexts(const SessionRig& rig) {
  std::vector<std::string> texts;
  for (const auto& m : rig.sim->Messages()) {
    texts.push_back(m.Text);
    EXPECT_EQ(m.Icon, platform::MessageIcon::Warning) << m.Text;
    EXPECT_EQ(m.Owner, platform::MessageOwner::MainWindow) << m.Text;
    EXPECT_EQ(m.Caption, "Velandra");
  }
  return texts;
}

void DeleteWinlogonKey(SessionRig& rig) {
  ASSERT_EQ(rig.Platform().registry.DeleteKey(platform::Hive::LocalMachine, kWinlogonKey), 0);
}

// ---- RelogonAs -------------------------------------------------------------

TEST(RelogonAs, WritesTheLogonQueuesItsRemovalMakesTheShortcutAndLogsOff) {
  struct Row {
    int mode;
    bool withoutRestart;
    const char* arguments;
  } rows[] = {
      {0, false, "-p \"東京 本社\" -s"},
      {0, true, "-p \"東京 本社\" -s"},
      {1, true, "-p \"東京 本社\" -relogon"},
      {2, true, "-p \"東京 本社\" -relogon"},
      {1, false, "-p \"東京 本社\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments);
    SessionRig rig;
    Context& context = rig.Open();

    RelogonAs(context, "東京 本社", row.mode, "kanri", "p@ss 表", row.withoutRestart);

    EXPECT_EQ(LogonValues(rig.Platform()), AutoLogon("kanri", "p@ss 表", "VELANDRA-PC"));
    ASSERT_EQ(rig.shell->specs.size(), 1u);
    EXPECT_EQ(rig.shell->specs[0].Arguments, row.arguments);
    EXPECT_TRUE(rig.Platform().files.Exists(SessionRig::kShortcutPath));
    EXPECT_EQ(testing::QueueText(rig.Platform()), "Action01=DisableAutoLogon;ActionCount=1;;");
    EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitLogOff});
    EXPECT_TRUE(rig.sim->Messages().empty());
    EXPECT_FALSE(context.QuitCode());
  }
}

TEST(RelogonAs, RemovalQueuedAfterWhatIsWaiting) {
  SessionRig rig;
  rig.pc.WriteFile(testing::kDemoIniFile,
                   rig.pc.ReadFile(testing::kDemoIniFile) +
                       "[DelayAction]\r\nAction00=ChangeDomain\r\nAction01=NetShare\r\n"
                       "ActionCount=1\r\n");
  Context& context = rig.Open();
  RelogonAs(context, "本社", 1, "kanri", "pw", false);
  EXPECT_EQ(testing::QueueText(rig.Platform()),
            "Action00=ChangeDomain;Action01=NetShare;ActionCount=2;Action02=DisableAutoLogon;;");
}

TEST(RelogonAs, WinlogonKeyMissingStillLogsOff) {
  SessionRig rig;
  Context& context = rig.Open();
  DeleteWinlogonKey(rig);
  RelogonAs(context, "本社", 1, "kanri", "pw", true);
  EXPECT_EQ(LogonValues(rig.Platform()), (Values{{"(key)", "missing"}}));
  EXPECT_EQ(rig.shell->specs.size(), 1u);
  EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitLogOff});
  EXPECT_TRUE(rig.sim->Messages().empty());
}

TEST(RelogonAs, ComputerNameOfThePc) {
  SessionRig rig;
  rig.pc.SetMachine("computer", "name", "SHITEN-07");
  Context& context = rig.Open();
  RelogonAs(context, "本社", 1, "kanri", "", false);
  EXPECT_EQ(LogonValues(rig.Platform()), AutoLogon("kanri", "", "SHITEN-07"));
}

// Without the shortcut nothing would run after the logon, and without the
// queued removal nothing would take the password out again: then nothing
// is written and nobody is logged off.
TEST(RelogonAs, RefusedBeforeAnythingIsWritten) {
  struct Row {
    const char* name;
    std::string place;
    bool com;
    bool configWritable;
    std::string message;
  } rows[] = {
      {"quote_in_name", "本社\" -now", true, true,
       std::string(kMsgPlaceNameNotPassable) + "本社\" -now"},
      {"option_word_name", "-logon", true, true, std::string(kMsgPlaceNameNotPassable) + "-logon"},
      {"no_shortcut", "本社", false, true, kMsgShortcutNotCreated},
      {"queue_not_written", "本社", true, false,
       std::string(kMsgAutoLogonNotQueued) + "Q:\\Velandra.ini"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SessionRig rig;
    Context& context = rig.Open(row.configWritable ? testing::kDemoIniPath : "Q:\\Velandra.ini");
    rig.shell->comAvailable = row.com;
    const std::string iniBefore = rig.pc.ReadFile(testing::kDemoIniFile);

    RelogonAs(context, row.place, 1, "kanri", "pw", true);

    EXPECT_EQ(ShownTexts(rig), std::vector<std::string>{row.message});
    EXPECT_EQ(context.QuitCode(), 1);
    EXPECT_EQ(LogonValues(rig.Platform()), kDemoLogon);
    EXPECT_TRUE(rig.session.exits.empty());
    EXPECT_FALSE(rig.Platform().files.Exists(SessionRig::kShortcutPath));
    EXPECT_EQ(rig.pc.ReadFile(testing::kDemoIniFile), iniBefore);
  }
}

TEST(RelogonAs, FailedLogOffIsShown) {
  SessionRig rig;
  Context& context = rig.Open();
  rig.session.exitAccepted = false;
  RelogonAs(context, "本社", 1, "kanri", "pw", false);
  EXPECT_EQ(ShownTexts(rig), std::vector<std::string>{kMsgExitFailed});
  EXPECT_EQ(context.QuitCode(), 1);
}

// ---- the place's automatic logon -------------------------------------------

// A place section as the save writes it, with the lines of `changes`
// replaced ("Key=" + value), added, or removed ("Key" alone).
std::string PlaceSection(const std::map<std::string, const char*>& changes = {}) {
  std::vector<std::pair<std::string, std::string>> keys = {
      {"ChangeUser", "FALSE"},
      {"PrimarySuffix", "TRUE"},
      {"PrimaryParentSuffix", "TRUE"},
      {"DNS_Suffix", ""},
      {"EnableLMHOSTS", "TRUE"},
      {"ComputerName", "HONSHA-PC"},
      {"SrvComment", "本社の端末"},
      {"DomainWorkgroup", "TRUE"},
      {"DomainName", "HONSHA"},
      {"WorkgroupName", "WORKGROUP"},
      {"LogonPlace", "TRUE"},
      {"DelayDomain", "FALSE"},
      {"DefaultUserName", "suzuki"},
      {"AutoAdminLogon", "FALSE"},
      {"AutoLogonKeep", "FALSE"},
      {"DefaultPassword", config::EncodeStoredPassword("鈴木 pass")},
      {"DisableCAD", "FALSE"},
  };
  std::string text = "[P1]\r\n";
  for (auto& [key, value] : keys) {
    auto change = changes.find(key);
    if (change == changes.end())
      text += key + "=" + value + "\r\n";
    else if (change->second)
      text += key + "=" + change->second + "\r\n";
  }
  for (auto& [key, value] : changes) {
    bool known = false;
    for (auto& k : keys) known |= k.first == key;
    if (!known && value) text += key + "=" + value + "\r\n";
  }
  return text;
}

TEST(ReadPlaceLogon, AsThePlaceRecordReadsThem) {
  struct Row {
    const char* name;
    std::map<std::string, const char*> changes;
    bool fromSection;
    PlaceLogon logon;
  } rows[] = {
      {"complete", {}, true, {"suzuki", "鈴木 pass", true, "HONSHA", "HONSHA-PC"}},
      {"logon_place_FALSE", {{"LogonPlace", "FALSE"}}, true,
       {"suzuki", "鈴木 pass", false, "HONSHA", "HONSHA-PC"}},
      {"logon_place_lower_case_is_true", {{"LogonPlace", "false"}}, true,
       {"suzuki", "鈴木 pass", true, "HONSHA", "HONSHA-PC"}},
      {"logon_place_missing_is_true", {{"LogonPlace", nullptr}}, true,
       {"suzuki", "鈴木 pass", true, "HONSHA", "HONSHA-PC"}},
      {"domain_missing_is_empty", {{"DomainName", nullptr}}, true,
       {"suzuki", "鈴木 pass", true, "", "HONSHA-PC"}},
      {"empty_password", {{"DefaultPassword", ""}}, true,
       {"suzuki", "", true, "HONSHA", "HONSHA-PC"}},
      {"no_user", {{"DefaultUserName", nullptr}}, false, {}},
      {"no_computer_name", {{"ComputerName", nullptr}}, false, {}},
      {"no_password", {{"DefaultPassword", nullptr}}, false, {}},
      {"no_auto_admin_logon", {{"AutoAdminLogon", nullptr}}, false, {}},
      {"no_disable_cad", {{"DisableCAD", nullptr}}, false, {}},
      {"no_dns_suffix", {{"DNS_Suffix", nullptr}}, false, {}},
      {"primary_suffix_not_a_boolean", {{"PrimarySuffix", "true"}}, false, {}},
      {"parent_suffix_missing", {{"PrimaryParentSuffix", nullptr}}, false, {}},
      {"lmhosts_not_a_boolean", {{"EnableLMHOSTS", "1"}}, false, {}},
      {"user_is_the_sentinel", {{"DefaultUserName", "NO DATA"}}, false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::ScratchPc pc;
    pc.WriteFile(testing::kDemoIniFile,
                 pc.ReadFile(testing::kDemoIniFile) + PlaceSection(row.changes));
    config::ConfigFile config(pc.Open().platform().profile, testing::kDemoIniPath);
    PlaceLogon untouched;
    untouched.DefaultUserName = "untouched";
    PlaceLogon logon = untouched;
    ASSERT_EQ(ReadPlaceLogon(config, 1, logon), row.fromSection);
    const PlaceLogon& want = row.fromSection ? row.logon : untouched;
    EXPECT_EQ(logon.DefaultUserName, want.DefaultUserName);
    EXPECT_EQ(logon.DefaultPassword, want.DefaultPassword);
    EXPECT_EQ(logon.LogonPlace, want.LogonPlace);
    EXPECT_EQ(logon.DomainName, want.DomainName);
    EXPECT_EQ(logon.ComputerName, want.ComputerName);
  }
}

// ---- the relogon stage ------------------------------------------------------

// Refuses to start anything, as a PC would with the batch gone.
class NoProcesses : public platform::IProcesses {
 public:
  std::unique_ptr<platform::IProcess> Create(const std::string&, bool, long& error) override {
    error = platform::kErrorFileNotFound;
    return nullptr;
  }
};

// The demo PC as the first start of a relogon left it: place 1 本社 with
// the section given, the relogon account's automatic logon and its removal
// queued.
class StageRig : public SessionRig {
 public:
  explicit StageRig(const std::string& placeSection) {
    pc.WriteFile(testing::kDemoIniFile, pc.ReadFile(testing::kDemoIniFile) + placeSection +
                                            "[DelayAction]\r\nAction01=DisableAutoLogon\r\n"
                                            "ActionCount=1\r\n");
  }
  Context& Load(const std::string& configPath = testing::kDemoIniPath) {
    Context& context = Open(configPath);
    platform::RegKey key;
    EXPECT_EQ(key.Open(Platform().registry, platform::Hive::LocalMachine, kWinlogonKey,
                       platform::kKeyAllAccess), 0);
    for (auto& [name, value] : AutoLogon("kanri", "kanri-pw", "VELANDRA-PC"))
      key.SetString(name, value);
    sheet = std::make_unique<ui::CVelandraSheet>(context);
    EXPECT_TRUE(sheet->LoadAll());
    return context;
  }
  bool Run(uint32_t placeNumber = 1) {
    return RunRelogonStage(*sheet, *sheet->FindPlace(placeNumber));
  }
  std::unique_ptr<ui::CVelandraSheet> sheet;
};

bool BatchRan(const SessionRig& rig) {
  for (const auto& e : rig.sim->Events())
    if (e.find("batch ended with exit code 0") != std::string::npos) return true;
  return false;
}

TEST(RunRelogonStage, BatchThenThePlacesOwnLogonAndTheResumeShortcut) {
  struct Row {
    const char* name;
    const char* logonPlace;
    const char* domain;
  } rows[] = {
      {"domain_logon", "TRUE", "HONSHA"},
      {"computer_logon", "FALSE", "HONSHA-PC"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StageRig rig(PlaceSection({{"LogonPlace", row.logonPlace}}));
    Context& context = rig.Load();

    EXPECT_TRUE(rig.Run());

    EXPECT_TRUE(BatchRan(rig));
    EXPECT_EQ(LogonValues(rig.Platform()), AutoLogon("suzuki", "鈴木 pass", row.domain));
    EXPECT_EQ(testing::QueueText(rig.Platform()),
              "Action01=DisableAutoLogon;ActionCount=2;Action02=DisableAutoLogon;;");
    ASSERT_EQ(rig.shell->specs.size(), 1u);
    EXPECT_EQ(rig.shell->specs[0].Arguments, "-r \"本社\"");
    EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitLogOff});
    EXPECT_TRUE(rig.sim->Messages().empty());
    EXPECT_FALSE(context.QuitCode());
  }
}

// A section that would give the record the PC's logon values, which are
// now those of the relogon account: nobody is logged on automatically.
TEST(RunRelogonStage, NoUserMadeUpWhenTheSectionLacksIt) {
  for (const char* missing : {"DefaultUserName", "ComputerName", "DefaultPassword"}) {
    SCOPED_TRACE(missing);
    StageRig rig(PlaceSection({{missing, nullptr}}));
    rig.Load();
    EXPECT_TRUE(rig.Run());
    EXPECT_EQ(LogonValues(rig.Platform()),
              (Values{{"AutoAdminLogon", "0"},
                      {"DefaultUserName", "kanri"},
                      {"DefaultDomainName", "VELANDRA-PC"},
                      {"AltDefaultDomainName", "VELANDRA-PC"}}));
    ASSERT_EQ(rig.shell->specs.size(), 1u);
    EXPECT_EQ(rig.shell->specs[0].Arguments, "-r \"本社\"");
    EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitLogOff});
  }
}

TEST(RunRelogonStage, FailedBatchShownAndTheLogonStillUndone) {
  StageRig rig(PlaceSection());
  NoProcesses none;
  rig.processes = &none;
  Context& context = rig.Load();
  EXPECT_FALSE(rig.Run());
  const std::vector<std::string> shown = ShownTexts(rig);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].rfind(apply::kMsgBatchNotStarted, 0), 0u) << shown[0];
  EXPECT_EQ(LogonValues(rig.Platform()), AutoLogon("suzuki", "鈴木 pass", "HONSHA"));
  EXPECT_EQ(rig.shell->specs.size(), 1u);
  EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitLogOff});
  EXPECT_FALSE(context.QuitCode());
}

// When the password could not be removed later it is removed now.
TEST(RunRelogonStage, NoRemovalLaterMeansNoAutomaticLogon) {
  const Values manual = {{"AutoAdminLogon", "0"},
                         {"DefaultUserName", "kanri"},
                         {"DefaultDomainName", "VELANDRA-PC"},
                         {"AltDefaultDomainName", "VELANDRA-PC"}};
  {
    SCOPED_TRACE("no_shortcut");
    StageRig rig(PlaceSection());
    rig.Load();
    rig.shell->comAvailable = false;
    EXPECT_TRUE(rig.Run());
    EXPECT_EQ(ShownTexts(rig), std::vector<std::string>{kMsgShortcutNotCreated});
    EXPECT_EQ(LogonValues(rig.Platform()), manual);
    EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitLogOff});
  }
  {
    SCOPED_TRACE("queue_not_written");
    StageRig rig(PlaceSection());
    rig.Load("Q:\\Velandra.ini");  // place 0 only, and nothing can be queued
    EXPECT_TRUE(rig.Run(0));
    EXPECT_EQ(ShownTexts(rig),
              std::vector<std::string>{std::string(kMsgAutoLogonNotQueued) + "Q:\\Velandra.ini"});
    EXPECT_EQ(LogonValues(rig.Platform()), manual);
    EXPECT_TRUE(rig.shell->specs.empty());
    EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitLogOff});
  }
}

TEST(RunRelogonStage, WinlogonKeyMissingStillLogsOff) {
  StageRig rig(PlaceSection());
  rig.Load();
  DeleteWinlogonKey(rig);
  EXPECT_TRUE(rig.Run());
  EXPECT_EQ(LogonValues(rig.Platform()), (Values{{"(key)", "missing"}}));
  EXPECT_EQ(rig.shell->specs.size(), 1u);
  EXPECT_EQ(rig.session.exits, std::vector<uint32_t>{platform::kExitLogOff});
  EXPECT_TRUE(rig.sim->Messages().empty());
}

TEST(RunRelogonStage, NameThatCannotBePassedDoesNothing) {
  StageRig rig(PlaceSection());
  Context& context = rig.Load();
  rig.sheet->FindPlace(1)->Name = "-now";
  const Values before = LogonValues(rig.Platform());
  EXPECT_FALSE(rig.Run());
  EXPECT_EQ(ShownTexts(rig),
            std::vector<std::string>{std::string(kMsgPlaceNameNotPassable) + "-now"});
  EXPECT_FALSE(BatchRan(rig));
  EXPECT_EQ(LogonValues(rig.Platform()), before);
  EXPECT_TRUE(rig.session.exits.empty());
  EXPECT_EQ(context.QuitCode(), 1);
}

}  // namespace
}  // namespace velandra::app
