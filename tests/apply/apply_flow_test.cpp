#include "apply/apply_flow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/delayed_actions.h"
#include "app/messages.h"
#include "app/startup_shortcut.h"
#include "apply/change_batch.h"
#include "config/config_backup.h"
#include "support/apply_rig.h"
#include "support/demo_pc_facts.h"
#include "system/adapter_registry.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/text.h"
#include "ui/dlg_exit.h"
#include "ui/dlg_user_password.h"
#include "ui/velandra_sheet.h"

namespace velandra::apply {
namespace {

using platform::MessageIcon;
using platform::MessageOwner;
using testing::ApplyRig;
using testing::kDemoIniPath;
using testing::kDemoLanGuid;

constexpr int kNoExit = -1;
// The logon prompt's answer of a user who is not an administrator.
constexpr char kLogonAnswer[] = "ok:yamada:pw";

// Records what the logon prompt was opened with, and answers from the script.
class RecordingPrompt : public ui::IUserPasswordDialog {
 public:
  RecordingPrompt(platform::sim::ScriptedAnswers& answers, std::ostream& out)
      : scripted_(answers, out) {}
  bool DoModal(ui::CDlgUserPassword& dialog) override {
    shown.push_back(dialog);
    return scripted_.DoModal(dialog);
  }
  std::vector<ui::CDlgUserPassword> shown;

 private:
  ui::ScriptedUserPasswordDialog scripted_;
};

// The demo PC with its sheet loaded and the current place "標準", whose
// settings are the PC's. The logged-on user is Administrator, or yamada,
// who is not in Administrators.
class Flow {
 public:
  explicit Flow(bool admin = true, const std::string& iniExtra = "") {
    if (!admin) rig.pc.SetMachine("session", "user", "yamada");
    if (!iniExtra.empty())
      rig.pc.WriteFile(testing::kDemoIniFile, rig.pc.ReadFile(testing::kDemoIniFile) + iniExtra);
    rig.Open();
    context = std::make_unique<Context>(rig.platform(), kDemoIniPath,
                                        ReadOsInfo(rig.platform().system));
    sheet = std::make_unique<ui::CVelandraSheet>(*context);
    EXPECT_TRUE(sheet->LoadAll());
    place = sheet->CurrentPlace;
    EXPECT_EQ(place->Name, "標準");
    exitDialog = std::make_unique<ui::ScriptedExitDialog>(rig.sim->answers(), rig.out);
    prompt = std::make_unique<RecordingPrompt>(rig.sim->answers(), rig.out);
    flow = std::make_unique<CApplyFlow>(*sheet, exitDialog.get(), *prompt);
    iniBefore = Ini();
  }

  config::AdapterSettings& Lan() {
    return *sheet->FindAdapterSettings(*place, *sheet->Adapters[0]);
  }
  config::PlaceSettings& Record() { return *sheet->FindPlaceSettings(*place); }
  void SetAnotherUser(bool on, const std::string& user, const std::string& password) {
    Record().ChangeUser = on;
    Record().ChangeUserName = user;
    Record().ChangeUserPassword = password;
  }
  void ExpectAnotherUser(bool on, const std::string& user, const std::string& password) {
    EXPECT_EQ(Record().ChangeUser, on);
    EXPECT_EQ(Record().ChangeUserName, user);
    EXPECT_EQ(Record().ChangeUserPassword, password);
  }
  // Makes the LAN adapter differ from the PC so that its comparison gives
  // `kind`: 1 a WINS server, 2 the NetBIOS option.
  void SetKind(int kind) {
    if (kind == 1) Lan().WINS = {"10.99.0.9"};
    if (kind == 2) Lan().NetBIOS = Lan().NetBIOS == 2 ? 1 : 2;
  }
  ApplyResult Apply(const std::string& answers, bool save = true) {
    rig.sim->answers().PushList(answers);
    return flow->ApplyPlace(save);
  }
  std::string Ini() const { return rig.pc.ReadFile(testing::kDemoIniFile); }
  std::string Read(const char* section, const char* key) const {
    return context->Config().ReadString(section, key, "(none)", 256);
  }

  ApplyRig rig;
  std::unique_ptr<Context> context;
  std::unique_ptr<ui::CVelandraSheet> sheet;
  config::Place* place = nullptr;
  std::unique_ptr<ui::ScriptedExitDialog> exitDialog;
  std::unique_ptr<RecordingPrompt> prompt;
  std::unique_ptr<CApplyFlow> flow;
  std::string iniBefore;
};

struct FlowRow {
  int mode;          // the exit mode chosen; power-off on exactly for the administrator
  bool diff;         // DIFFCHECK
  int kind;          // the LAN adapter's ChangeKind (the wireless one is equal)
  bool admin;
  const char* answer;  // to the question, "" when none may be asked
  // Expected:
  bool batch;            // the change batch ran
  const char* registry;  // adapters written to the registry
  int exit;              // exit request flags, or kNoExit
  const char* message;   // the one message box, or null for none
};

void PrintTo(const FlowRow& r, std::ostream* os) {
  *os << "mode " << r.mode << (r.diff ? " diff" : " nodiff") << " kind " << r.kind
      << (r.admin ? " admin" : " user") << " answer '" << r.answer << "'";
}

constexpr const char* kShutDownQ = kMsgNothingToChangeShutDown;
constexpr const char* kRestartQ = kMsgNothingToChangeRestart;
constexpr const char* kNoRestartQ = kMsgChangeWithoutRestart;
constexpr const char* kEqual = kMsgNothingToChange;

// ExitMode x DIFFCHECK x ChangeKind x administrator, with both answers
// where a question is asked. Power-off is on for the administrator's rows,
// so a shut down is 8 for him and 1 for yamada.
const FlowRow kFlowRows[] = {
    // Shut down: never the question about changing without restart.
    {0, false, 0, true, "", false, "LW", 8, nullptr},
    {0, false, 1, true, "", false, "LW", 8, nullptr},
    {0, false, 2, true, "", false, "LW", 8, nullptr},
    {0, false, 0, false, "", false, "LW", 1, nullptr},
    {0, false, 1, false, "", false, "LW", 1, nullptr},
    {0, false, 2, false, "", false, "LW", 1, nullptr},
    {0, true, 0, true, "yes", false, "", 8, kShutDownQ},
    {0, true, 0, true, "no", false, "", kNoExit, kShutDownQ},
    {0, true, 0, false, "yes", false, "", 1, kShutDownQ},
    {0, true, 0, false, "no", false, "", kNoExit, kShutDownQ},
    {0, true, 1, true, "", false, "L", 8, nullptr},
    {0, true, 1, false, "", false, "L", 1, nullptr},
    {0, true, 2, true, "", false, "L", 8, nullptr},
    {0, true, 2, false, "", false, "L", 1, nullptr},
    // Restart.
    {1, false, 0, true, "", false, "LW", 2, nullptr},
    {1, false, 1, true, "", false, "LW", 2, nullptr},
    {1, false, 2, true, "", false, "LW", 2, nullptr},
    {1, false, 0, false, "", false, "LW", 2, nullptr},
    {1, false, 1, false, "", false, "LW", 2, nullptr},
    {1, false, 2, false, "", false, "LW", 2, nullptr},
    {1, true, 0, true, "yes", false, "", 2, kRestartQ},
    {1, true, 0, true, "no", false, "", kNoExit, kRestartQ},
    {1, true, 0, false, "yes", false, "", 2, kRestartQ},
    {1, true, 0, false, "no", false, "", kNoExit, kRestartQ},
    {1, true, 1, true, "yes", true, "", kNoExit, kNoRestartQ},
    {1, true, 1, true, "no", false, "L", 2, kNoRestartQ},
    {1, true, 1, false, "yes", true, "", kNoExit, kNoRestartQ},
    {1, true, 1, false, "no", false, "L", 2, kNoRestartQ},
    {1, true, 2, true, "", false, "L", 2, nullptr},
    {1, true, 2, false, "", false, "L", 2, nullptr},
    // Without restart: the batch, or only the message when nothing differs.
    {2, false, 0, true, "", true, "", kNoExit, nullptr},
    {2, false, 1, true, "", true, "", kNoExit, nullptr},
    {2, false, 2, true, "", true, "", kNoExit, nullptr},
    {2, false, 0, false, "", true, "", kNoExit, nullptr},
    {2, false, 1, false, "", true, "", kNoExit, nullptr},
    {2, false, 2, false, "", true, "", kNoExit, nullptr},
    {2, true, 0, true, "", false, "", kNoExit, kEqual},
    {2, true, 0, false, "", false, "", kNoExit, kEqual},
    {2, true, 1, true, "", true, "", kNoExit, nullptr},
    {2, true, 1, false, "", true, "", kNoExit, nullptr},
    {2, true, 2, true, "", true, "", kNoExit, nullptr},
    {2, true, 2, false, "", true, "", kNoExit, nullptr},
    // Save only.
    {3, false, 0, true, "", false, "", kNoExit, nullptr},
    {3, false, 1, true, "", false, "", kNoExit, nullptr},
    {3, false, 2, true, "", false, "", kNoExit, nullptr},
    {3, false, 0, false, "", false, "", kNoExit, nullptr},
    {3, false, 1, false, "", false, "", kNoExit, nullptr},
    {3, false, 2, false, "", false, "", kNoExit, nullptr},
    {3, true, 0, true, "", false, "", kNoExit, nullptr},
    {3, true, 1, true, "", false, "", kNoExit, nullptr},
    {3, true, 2, true, "", false, "", kNoExit, nullptr},
    {3, true, 0, false, "", false, "", kNoExit, nullptr},
    {3, true, 1, false, "", false, "", kNoExit, nullptr},
    {3, true, 2, false, "", false, "", kNoExit, nullptr},
};

constexpr const char* kModeWords[] = {"shutdown", "restart", "norestart", "saveonly"};
constexpr const char* kLastExitWords[] = {"EWX_SHUTDOWN", "EWX_REBOOT", "WITHOUT_REBOOT", "SAVE"};

class ApplyPlaceTable : public ::testing::TestWithParam<FlowRow> {};

TEST_P(ApplyPlaceTable, SavedRanWrittenQueuedAndExit) {
  const FlowRow& r = GetParam();
  Flow f(r.admin);
  f.context->DiffCheck = r.diff;
  f.SetKind(r.kind);
  // A change with restart writes the registry; only then is yamada asked
  // for an account.
  const bool logon = !r.admin && *r.registry;
  std::string answers = std::string("exit:") + kModeWords[r.mode] + (r.admin ? ":poweroff" : "");
  if (*r.answer) answers += std::string(";") + r.answer;
  if (logon) answers += std::string(";") + kLogonAnswer;

  EXPECT_EQ(f.Apply(answers), ApplyResult::Done);

  // Saved: the whole configuration, with the choice.
  EXPECT_EQ(f.Read("COMMON", "LastExit"), kLastExitWords[r.mode]);
  EXPECT_EQ(f.Read("COMMON", "PowerOff"), r.admin ? "TRUE" : "FALSE");
  EXPECT_NE(f.Read("P0A0", "EnableDHCP"), "(none)");
  // Ran, written, queued, exit request, messages.
  EXPECT_EQ(f.rig.BatchRan(), r.batch);
  EXPECT_EQ(f.rig.AdaptersWritten(), r.registry);
  // Without DIFFCHECK the place-wide record is written too, which queues
  // the work that waits for the restart, and the shortcut that runs it.
  if (!r.diff && *r.registry) {
    EXPECT_EQ(f.Read("DelayAction", "ActionCount"), "4");
    EXPECT_EQ(f.Read("DelayAction", "Action01"), app::kActionExecuteChangeProxy);
    EXPECT_EQ(f.Read("DelayAction", "Action02"), app::kActionConnectNetworkDrive);
    EXPECT_EQ(f.Read("DelayAction", "Action03"), app::kActionDefaultPrinter);
    EXPECT_EQ(f.Read("DelayAction", "Action04"), app::kActionNetShare);
    EXPECT_EQ(f.rig.shell->arguments, std::vector<std::string>{"-r \"標準\""});
  } else {
    EXPECT_EQ(f.Read("DelayAction", "ActionCount"), "(none)");
    EXPECT_TRUE(f.rig.shell->shortcuts.empty());
  }
  EXPECT_EQ(f.rig.session.exits,
            r.exit == kNoExit ? std::vector<uint32_t>{}
                              : std::vector<uint32_t>{static_cast<uint32_t>(r.exit)});
  EXPECT_EQ(f.rig.MessageTexts(),
            r.message ? std::vector<std::string>{r.message} : std::vector<std::string>{});
  if (r.message) {
    const auto& m = f.rig.sim->Messages()[0];
    EXPECT_EQ(m.Caption, "Velandra");
    EXPECT_EQ(m.Owner, MessageOwner::MainWindow);
    EXPECT_EQ(m.Icon, *r.answer ? MessageIcon::Question : MessageIcon::Information);
    EXPECT_EQ(m.Buttons, *r.answer ? platform::MessageButtons::YesNo
                                   : platform::MessageButtons::Ok);
  }
  // The logon of a user who is not an administrator, and the writes made
  // under that account.
  EXPECT_EQ(f.rig.session.logons,
            logon ? std::vector<std::string>{"yamada|.|pw"} : std::vector<std::string>{});
  EXPECT_EQ(f.rig.session.impersonations, logon ? 1 : 0);
  EXPECT_EQ(f.rig.session.reverts, logon ? 1 : 0);
  EXPECT_EQ(f.rig.session.tokensClosed, logon ? 1 : 0);
  for (const auto& w : f.rig.registry->writes) {
    if (w.Value.find("\\Domain") == std::string::npos) {
      EXPECT_EQ(w.Impersonating, logon) << w.Value;
    }
  }
  EXPECT_FALSE(f.context->QuitCode().has_value());
  EXPECT_TRUE(f.rig.sim->answers().Empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ApplyPlaceTable, ::testing::ValuesIn(kFlowRows), [](const auto& info) {
      const FlowRow& r = info.param;
      return std::string(kModeWords[r.mode]) + (r.diff ? "_diff" : "_nodiff") + "_kind" +
             std::to_string(r.kind) + (r.admin ? "_admin" : "_user") +
             (*r.answer ? std::string("_") + r.answer : std::string());
    });

TEST(ApplyPlace, WithoutTheSaveFlagOnlyMemoryChanges) {
  Flow f;
  f.sheet->Common.ExitMode = 0;
  f.sheet->Common.PowerOff = true;
  EXPECT_EQ(f.Apply("exit:saveonly", false), ApplyResult::Done);
  EXPECT_EQ(f.sheet->Common.ExitMode, 3);
  EXPECT_FALSE(f.sheet->Common.PowerOff);
  EXPECT_EQ(f.Ini(), f.iniBefore);
}

TEST(ApplyPlace, CancelChangesNothing) {
  Flow f;
  f.context->DiffCheck = false;
  f.sheet->Common.ExitMode = 1;
  f.sheet->Common.PowerOff = false;
  f.SetAnotherUser(true, "yamada", "pw");
  EXPECT_EQ(f.Apply("cancel"), ApplyResult::Done);
  EXPECT_EQ(f.sheet->Common.ExitMode, 1);
  EXPECT_FALSE(f.sheet->Common.PowerOff);
  f.ExpectAnotherUser(true, "yamada", "pw");
  EXPECT_EQ(f.Ini(), f.iniBefore);
  EXPECT_FALSE(f.rig.BatchRan());
  EXPECT_EQ(f.rig.AdaptersWritten(), "");
  EXPECT_TRUE(f.rig.session.exits.empty());
  EXPECT_TRUE(f.rig.MessageTexts().empty());
}

// The dialog opens with the place's another-user settings, and an empty
// name selects no entry.
TEST(ApplyPlace, DialogStartsFromThePlacesAnotherUserSettings) {
  Flow f;
  f.SetAnotherUser(true, "yam", "pw");
  EXPECT_EQ(f.Apply("cancel"), ApplyResult::Done);
  const std::string shown = f.rig.out.str();
  EXPECT_NE(shown.find(platform::Cp932ToUtf8("[x] 設定の反映を、別ユーザーで行う")),
            std::string::npos) << shown;
  EXPECT_NE(shown.find(platform::Cp932ToUtf8("ユーザー名: yamada /")), std::string::npos);
  EXPECT_NE(shown.find(platform::Cp932ToUtf8("パスワード: (入力済み)")), std::string::npos);
}

// With the another-user check the change goes to the relogon: its shortcut
// says how the next start applies the place, and the session logs off.
TEST(ApplyPlace, AnotherUserGoesToTheRelogon) {
  struct Row {
    const char* name;
    int mode;
    bool diff;
    int kind;
    const char* shortcut;  // the Startup shortcut's arguments, or null for no relogon
    const char* message;
  } rows[] = {
      {"shutdown_diff_kind1", 0, true, 1, "-p \"標準\" -s", nullptr},
      {"shutdown_nodiff", 0, false, 0, "-p \"標準\" -s", nullptr},
      {"restart_diff_kind0_asks_nothing", 1, true, 0, "-p \"標準\" -relogon", nullptr},
      {"restart_diff_kind1", 1, true, 1, "-p \"標準\" -relogon", nullptr},
      {"restart_diff_kind2", 1, true, 2, "-p \"標準\"", nullptr},
      {"restart_nodiff", 1, false, 1, "-p \"標準\"", nullptr},
      {"norestart_diff_kind1", 2, true, 1, "-p \"標準\" -relogon", nullptr},
      {"norestart_nodiff", 2, false, 0, "-p \"標準\" -relogon", nullptr},
      {"norestart_diff_equal", 2, true, 0, nullptr, kMsgNothingToChange},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Flow f;
    f.context->DiffCheck = row.diff;
    f.SetKind(row.kind);
    EXPECT_EQ(f.Apply(std::string("exit:") + kModeWords[row.mode] + ":user:Administrator:secret",
                      false),
              ApplyResult::Done);
    f.ExpectAnotherUser(true, "Administrator", "secret");
    EXPECT_FALSE(f.rig.BatchRan());
    EXPECT_EQ(f.rig.AdaptersWritten(), "");
    if (row.shortcut) {
      EXPECT_EQ(f.rig.shell->arguments, std::vector<std::string>{row.shortcut});
      EXPECT_EQ(f.rig.session.exits, std::vector<uint32_t>{platform::kExitLogOff});
    } else {
      EXPECT_TRUE(f.rig.shell->arguments.empty());
      EXPECT_TRUE(f.rig.session.exits.empty());
    }
    EXPECT_EQ(f.rig.MessageTexts(),
              row.message ? std::vector<std::string>{row.message} : std::vector<std::string>{});
  }
}

TEST(ApplyPlace, RefusedRelogonIsAFailure) {
  Flow f;
  f.context->DiffCheck = false;
  f.rig.shell->createSucceeds = false;
  EXPECT_EQ(f.Apply("exit:restart:user:Administrator:secret", false), ApplyResult::Failed);
  EXPECT_EQ(f.context->QuitCode(), 1);
  EXPECT_TRUE(f.rig.session.exits.empty());
  EXPECT_EQ(f.rig.MessageTexts(), std::vector<std::string>{app::kMsgShortcutNotCreated});
}

// The another-user choice is the place's: saved with it, and cleared by a
// dialog that leaves the check off.
TEST(ApplyPlace, TheAnotherUserChoiceIsSavedWithThePlace) {
  Flow f;
  f.context->DiffCheck = false;
  EXPECT_EQ(f.Apply("exit:saveonly:user:Administrator:secret"), ApplyResult::Done);
  EXPECT_EQ(f.Read("P0", "ChangeUser"), "TRUE");
  EXPECT_EQ(f.Read("P0", "ChangeUserName"), "Administrator");
  EXPECT_EQ(config::DecodeStoredPassword(f.Read("P0", "ChangeUserPassword")), "secret");
  EXPECT_EQ(f.Apply("exit:saveonly"), ApplyResult::Done);
  f.ExpectAnotherUser(false, "", "");
  EXPECT_EQ(f.Read("P0", "ChangeUser"), "FALSE");
  EXPECT_EQ(f.Read("P0", "ChangeUserName"), "(none)");
  EXPECT_TRUE(f.rig.session.exits.empty());
}

// Restarting with nothing to change still leaves the -r shortcut for
// actions queued before; so does a change with restart.
TEST(ApplyPlace, QueuedActionsGetTheResumeShortcut) {
  struct Row {
    const char* name;
    int kind;
    const char* answers;
    const char* registry;
  } rows[] = {
      {"nothing_differs_restart_anyway", 0, "exit:restart;yes", ""},
      {"change_with_restart", 2, "exit:restart", "L"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Flow f(true, "[DelayAction]\r\nActionCount=0\r\nAction00=NetShare\r\n");
    f.context->DiffCheck = true;
    f.SetKind(row.kind);
    EXPECT_EQ(f.Apply(row.answers), ApplyResult::Done);
    EXPECT_EQ(f.rig.shell->arguments, std::vector<std::string>{"-r \"標準\""});
    EXPECT_EQ(f.rig.AdaptersWritten(), row.registry);
    EXPECT_EQ(f.rig.session.exits, std::vector<uint32_t>{platform::kExitReboot});
    EXPECT_EQ(f.Read("DelayAction", "Action00"), "NetShare");
  }
}

// Without the shortcut the queued actions wait for a start with -r by hand:
// said, and the restart the change needs still happens.
TEST(ApplyWithRestart, ResumeShortcutThatCannotBeMadeIsSaid) {
  struct Row {
    const char* name;
    const char* placeName;
    bool createSucceeds;
    std::string message;
  } rows[] = {
      {"shortcut_fails", "標準", false, app::kMsgShortcutNotCreated},
      {"name_not_passable", "a\"b", true, std::string(app::kMsgPlaceNameNotPassable) + "a\"b"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Flow f(true, "[DelayAction]\r\nActionCount=0\r\nAction00=NetShare\r\n");
    f.context->DiffCheck = false;
    f.place->Name = row.placeName;
    f.rig.shell->createSucceeds = row.createSucceeds;
    EXPECT_EQ(f.Apply("exit:restart"), ApplyResult::Done);
    EXPECT_TRUE(f.rig.shell->arguments.empty());
    EXPECT_EQ(f.rig.MessageTexts(), std::vector<std::string>{row.message});
    EXPECT_EQ(f.rig.sim->Messages()[0].Icon, MessageIcon::Warning);
    EXPECT_EQ(f.rig.AdaptersWritten(), "LW");
    EXPECT_EQ(f.rig.session.exits, std::vector<uint32_t>{platform::kExitReboot});
  }
}

// The logon prompt: the message, the present user filled in, the focus in
// the password field.
TEST(ApplyWithRestart, LogonPromptIsFilledIn) {
  Flow f(false);
  f.context->DiffCheck = false;
  EXPECT_EQ(f.Apply(std::string("exit:restart;") + kLogonAnswer), ApplyResult::Done);
  ASSERT_EQ(f.prompt->shown.size(), 1u);
  EXPECT_EQ(f.prompt->shown[0].Message, kMsgLogonPrompt);
  EXPECT_EQ(f.prompt->shown[0].UserName, "yamada");
  EXPECT_EQ(f.prompt->shown[0].Password, "");
  EXPECT_EQ(f.prompt->shown[0].Focus, 1u);
}

// Every way the change with restart can fail: its message, exit code 1 by
// the quit request, and no exit request. What was written before stays.
TEST(ApplyWithRestart, FailuresEndWithTheirMessageAndNoExit) {
  const std::string lanNetBt = NetBtInterfaceKey(kDemoLanGuid);
  const std::string lanTcpip = TcpipInterfaceKey(kDemoLanGuid);
  struct Row {
    const char* name;
    bool admin;
    std::string logonAnswer;  // "" when not asked
    std::function<void(Flow&)> setUp;
    std::string message;
    MessageIcon icon;
    const char* registry;  // adapters written before the failure
    int logons, impersonations, reverts, tokensClosed;
  };
  auto nothing = [](Flow&) {};
  auto refuseWins = [&](Flow& f) {
    f.rig.sim->registry().FailSetValue(platform::Hive::LocalMachine, lanNetBt, "NameServerList",
                                       platform::kErrorAccessDenied);
  };
  const Row rows[] = {
      {"logon_cancelled", false, "cancel", nothing, kMsgLogonCancelled, MessageIcon::Error, "",
       0, 0, 0, 0},
      {"logon_refused", false, kLogonAnswer, [](Flow& f) { f.rig.session.logonError = 1326; },
       "LogonUser error : Code=1326", MessageIcon::Error, "", 1, 0, 0, 0},
      {"impersonation_refused", false, kLogonAnswer,
       [](Flow& f) { f.rig.session.impersonateError = 5; },
       "ImpersonateLoggedOnUser error : Code=5", MessageIcon::Error, "", 1, 1, 0, 1},
      {"revert_refused", false, kLogonAnswer, [](Flow& f) { f.rig.session.revertError = 6; },
       "RevertToSelf error : Code=6", MessageIcon::Error, "LW", 1, 1, 1, 1},
      {"user_name_too_long", false, "ok:" + std::string(64, 'u') + ":pw", nothing,
       kMsgLogonUserTooLong, MessageIcon::Error, "", 0, 0, 0, 0},
      {"password_too_long", false, "ok:yamada:" + std::string(128, 'p'), nothing,
       kMsgLogonPasswordTooLong, MessageIcon::Error, "", 0, 0, 0, 0},
      {"registry_write_refused", true, "", refuseWins,
       RegistryWriteFailedMessage(lanNetBt, "NameServerList", false), MessageIcon::Warning, "L",
       0, 0, 0, 0},
      {"registry_key_refused", true, "",
       [&](Flow& f) {
         f.rig.sim->registry().FailOpen(platform::Hive::LocalMachine, lanTcpip,
                                        platform::kErrorAccessDenied);
       },
       RegistryOpenFailedMessage(lanTcpip), MessageIcon::Warning, "", 0, 0, 0, 0},
      // The write fails under the other account: the program still goes
      // back to its own.
      {"registry_write_refused_impersonating", false, kLogonAnswer, refuseWins,
       RegistryWriteFailedMessage(lanNetBt, "NameServerList", false), MessageIcon::Warning, "L",
       1, 1, 1, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Flow f(row.admin);
    f.context->DiffCheck = false;
    row.setUp(f);
    std::string answers = "exit:shutdown:poweroff";
    if (!row.logonAnswer.empty()) answers += ";" + row.logonAnswer;
    EXPECT_EQ(f.Apply(answers), ApplyResult::Failed);
    EXPECT_EQ(f.context->QuitCode(), 1);
    EXPECT_TRUE(f.rig.session.exits.empty());
    ASSERT_EQ(f.rig.sim->Messages().size(), 1u);
    const auto& m = f.rig.sim->Messages()[0];
    EXPECT_EQ(m.Text, row.message) << platform::Cp932ToUtf8(m.Text);
    EXPECT_EQ(m.Icon, row.icon);
    EXPECT_EQ(m.Caption, "Velandra");
    EXPECT_EQ(m.Owner, MessageOwner::MainWindow);
    EXPECT_EQ(f.rig.AdaptersWritten(), row.registry);
    EXPECT_EQ(static_cast<int>(f.rig.session.logons.size()), row.logons);
    EXPECT_EQ(f.rig.session.impersonations, row.impersonations);
    EXPECT_EQ(f.rig.session.reverts, row.reverts);
    EXPECT_EQ(f.rig.session.tokensClosed, row.tokensClosed);
    EXPECT_TRUE(f.rig.shell->shortcuts.empty());
    EXPECT_TRUE(f.rig.sim->answers().Empty());
  }
}

// The limits of the logon's buffers: 63 and 127 bytes pass.
TEST(ApplyWithRestart, LongestUserNameAndPasswordPass) {
  Flow f(false);
  f.context->DiffCheck = false;
  const std::string user(63, 'u'), password(127, 'p');
  EXPECT_EQ(f.Apply("exit:restart;ok:" + user + ":" + password), ApplyResult::Done);
  EXPECT_EQ(f.rig.session.logons, std::vector<std::string>{user + "|.|" + password});
  EXPECT_EQ(f.rig.session.exits, std::vector<uint32_t>{platform::kExitReboot});
}

TEST(ApplyPlace, FailedBatchIsAFailure) {
  Flow f;
  f.context->DiffCheck = false;
  // A folder where the batch file goes.
  std::filesystem::create_directories(f.rig.pc.dir() / "C/Program Files/Velandra/netsh_p0.bat");
  EXPECT_EQ(f.Apply("exit:norestart"), ApplyResult::Failed);
  EXPECT_EQ(f.rig.MessageTexts(), std::vector<std::string>{kMsgBatchNotCreated});
  EXPECT_TRUE(f.rig.session.exits.empty());
}

TEST(ApplyPlace, FailedSaveChangesNothingOnThePc) {
  Flow f;
  f.context->DiffCheck = false;
  // A folder where the configuration file is: nothing can be written.
  std::filesystem::remove(f.rig.pc.dir() / testing::kDemoIniFile);
  std::filesystem::create_directories(f.rig.pc.dir() / testing::kDemoIniFile);
  EXPECT_EQ(f.Apply("exit:restart"), ApplyResult::Failed);
  ASSERT_EQ(f.rig.sim->Messages().size(), 1u);
  EXPECT_EQ(f.rig.sim->Messages()[0].Text.rfind(config::kMsgBackupFailed, 0), 0u);
  EXPECT_EQ(f.rig.AdaptersWritten(), "");
  EXPECT_TRUE(f.rig.session.exits.empty());
}

TEST(ApplyPlace, RefusedExitRequestIsAFailure) {
  Flow f;
  f.context->DiffCheck = false;
  f.rig.session.exitAccepted = false;
  EXPECT_EQ(f.Apply("exit:restart"), ApplyResult::Failed);
  EXPECT_EQ(f.rig.session.exits, std::vector<uint32_t>{platform::kExitReboot});
  EXPECT_EQ(f.context->QuitCode(), 1);
}

TEST(ApplyFlow, WithoutAnExitDialogApplyPlaceIsNotBuilt) {
  Flow f;
  CApplyFlow flow(*f.sheet, nullptr, *f.prompt);
  EXPECT_EQ(flow.ApplyPlace(true), ApplyResult::NotBuilt);
  ASSERT_EQ(f.rig.sim->Messages().size(), 1u);
  EXPECT_EQ(f.rig.sim->Messages()[0].Text.rfind(app::kMsgNotBuilt, 0), 0u);
  EXPECT_EQ(f.Ini(), f.iniBefore);
}

}  // namespace
}  // namespace velandra::apply
