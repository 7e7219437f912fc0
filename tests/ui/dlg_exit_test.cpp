#include "ui/dlg_exit.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "system/local_users.h"
#include "system/platform/sim/scripted_answers.h"
#include "system/platform/text.h"

#ifdef _WIN32
#include "system/platform/win32/win_api.h"

#include "support/window_driver.h"
#include "ui/resource_ids.h"
#include "ui/win32/dlg_exit_view.h"
#endif

namespace velandra::ui {
namespace {

using platform::Cp932ToUtf8;
using platform::sim::ScriptedAnswers;
using platform::sim::SimulationError;
using velandra::testing::ScratchPc;

// The demo PC lists Administrator, Guest, yamada.
const std::vector<std::string> kDemoUsers = {"Administrator", "Guest", "yamada"};

TEST(CDlgExit, InitialisationFillsTheListsAndShowsThePassedValues) {
  ScratchPc pc;
  CDlgExit dialog(pc.Open().platform(), 2, false);
  EXPECT_EQ(dialog.ExitMode, -1);  // until initialised
  dialog.OnInitDialog();
  EXPECT_EQ(dialog.ExitModes(),
            (std::vector<std::string>{"シャットダウン", "再起動", "再起動なし", "保存のみ"}));
  EXPECT_EQ(dialog.ExitMode, 2);
  EXPECT_EQ(dialog.PowerOff, 0);
  EXPECT_EQ(dialog.Users(), kDemoUsers);
  EXPECT_EQ(dialog.SelectedUser(), -1);
  EXPECT_FALSE(dialog.UserControlsEnabled());
  EXPECT_TRUE(pc.Open().Messages().empty());
}

TEST(CDlgExit, SelectsTheFirstEntryStartingWithTheUserName) {
  struct Row {
    const char* name;
    const char* users;  // users.ini sections, in order
    const char* userName;
    int selected;
  } rows[] = {
      {"prefix", "", "yam", 2},
      {"other_case", "", "ADMIN", 0},
      {"whole_name", "", "Guest", 1},
      {"first_of_two", "[taro]\n[Taro2]\n", "TARO", 0},
      {"longer_than_entry", "", "Administrators", -1},
      {"no_match", "", "suzuki", -1},
      {"empty_selects_none", "", "", -1},
      // ア is 83 41 and ヂ 83 61: trail bytes are no letters to fold.
      {"trail_byte_not_folded", "[ヂ太]\n[ア太]\n", "ア", 1},
      // 表 ends in 0x5C; a lone lead byte is no prefix of a character.
      {"lead_byte_alone", "[表]\n", "\x95", -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    if (*row.users) pc.WriteFile("users.ini", Cp932ToUtf8(row.users));
    CDlgExit dialog(pc.Open().platform(), 0, true);
    dialog.UserName = row.userName;
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.SelectedUser(), row.selected);
  }
}

TEST(CDlgExit, UserControlsFollowTheAnotherUserCheck) {
  ScratchPc pc;
  CDlgExit dialog(pc.Open().platform(), 0, true);
  dialog.ChangeUser = 1;
  dialog.OnInitDialog();
  EXPECT_TRUE(dialog.UserControlsEnabled());
  dialog.OnChangeUserClicked(false);
  EXPECT_FALSE(dialog.UserControlsEnabled());
  EXPECT_EQ(dialog.ChangeUser, 0);
  dialog.OnChangeUserClicked(true);
  EXPECT_TRUE(dialog.UserControlsEnabled());
  EXPECT_EQ(dialog.ChangeUser, 1);
}

TEST(CDlgExit, OkTakesTheSelectedEntryOrNothing) {
  struct Row {
    const char* name;
    const char* userName;  // before the dialog opens
    int select;            // -2: leave the initial selection
    const char* after;
  } rows[] = {
      {"initial_prefix_selection", "adm", -2, "Administrator"},
      {"picked", "", 2, "yamada"},
      {"none_selected", "nobody", -2, ""},
      {"selection_removed", "adm", -1, ""},
      {"index_past_the_list", "adm", 3, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    CDlgExit dialog(pc.Open().platform(), 1, false);
    dialog.UserName = row.userName;
    dialog.OnInitDialog();
    if (row.select != -2) dialog.SelectUser(row.select);
    ASSERT_TRUE(dialog.OnOK());
    EXPECT_EQ(dialog.UserName, row.after);
  }
}

TEST(CDlgExit, OkWithoutAnExitModeKeepsTheDialogOpen) {
  ScratchPc pc;
  CDlgExit dialog(pc.Open().platform(), 7, false);
  dialog.UserName = "yam";
  dialog.OnInitDialog();
  EXPECT_EQ(dialog.ExitMode, -1);
  EXPECT_FALSE(dialog.OnOK());
  EXPECT_EQ(dialog.UserName, "yam");
}

TEST(CDlgExit, UserListFailureShowsTheMessageAndOpensEmpty) {
  ScratchPc pc;
  pc.WriteFile("users.ini", "[database]\nunreachable = yes\n[Administrator]\n");
  auto& sim = pc.Open();
  CDlgExit dialog(sim.platform(), 3, true);
  dialog.UserName = "Administrator";
  dialog.OnInitDialog();
  EXPECT_TRUE(dialog.Users().empty());
  EXPECT_EQ(dialog.SelectedUser(), -1);
  EXPECT_EQ(dialog.ExitMode, 3);
  EXPECT_EQ(dialog.PowerOff, 1);
  ASSERT_EQ(sim.Messages().size(), 1u);
  EXPECT_EQ(sim.Messages()[0].Text, kMsgUserListFailed);
  EXPECT_EQ(sim.Messages()[0].Icon, platform::MessageIcon::Warning);
  EXPECT_EQ(sim.Messages()[0].Caption, "Velandra");
}

TEST(ScriptedExitDialog, Answers) {
  struct Row {
    const char* answer;
    DialogResult result;
    int mode, powerOff, changeUser;
    const char* user;
    const char* password;
  };
  // Opened with restart, power-off on, the another-user check on for "yam"
  // with the password "old".
  const Row rows[] = {
      {"cancel", DialogResult::Cancel, 1, 1, 1, "yam", "old"},
      {"ok", DialogResult::Ok, 1, 1, 1, "yamada", "old"},
      {"exit:shutdown", DialogResult::Ok, 0, 0, 0, "yamada", "old"},
      {"exit:restart:poweroff", DialogResult::Ok, 1, 1, 0, "yamada", "old"},
      {"exit:norestart:user:Administrator:pw", DialogResult::Ok, 2, 0, 1, "Administrator", "pw"},
      {"exit:saveonly:poweroff:user:Guest:a:b:", DialogResult::Ok, 3, 1, 1, "Guest", "a:b:"},
      {"exit:shutdown:user:yamada:", DialogResult::Ok, 0, 0, 1, "yamada", ""},
      {"exit:shutdown:user::pw", DialogResult::Ok, 0, 0, 1, "", "pw"},
      // The password takes the rest of the answer.
      {"exit:shutdown:user:yamada:pw:poweroff", DialogResult::Ok, 0, 0, 1, "yamada",
       "pw:poweroff"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.answer);
    ScratchPc pc;
    ScriptedAnswers answers;
    answers.Push(row.answer);
    std::ostringstream out;
    ScriptedExitDialog view(answers, out);
    CDlgExit dialog(pc.Open().platform(), 1, true);
    dialog.ChangeUser = 1;
    dialog.UserName = "yam";
    dialog.Password = "old";
    EXPECT_EQ(view.DoModal(dialog), row.result);
    EXPECT_EQ(dialog.ExitMode, row.mode);
    EXPECT_EQ(dialog.PowerOff, row.powerOff);
    EXPECT_EQ(dialog.ChangeUser, row.changeUser);
    EXPECT_EQ(dialog.UserName, row.user);
    EXPECT_EQ(dialog.Password, row.password);
    EXPECT_TRUE(answers.Empty());
  }
}

TEST(ScriptedExitDialog, BadAnswersAreScriptErrors) {
  for (const char* answer :
       {"", "OK", "Cancel", "yes", "exit", "exit:", "exit:reboot", "exit:Shutdown",
        "exit:shutdown:", "exit:shutdown:poweroffx", "exit:shutdown:poweroff:extra",
        "exit:shutdown:user:yamada", "exit:shutdown:user:nobody:pw",
        "exit:shutdown:user:YAMADA:pw", "exit:shutdown:poweroff:poweroff"}) {
    SCOPED_TRACE(answer);
    ScratchPc pc;
    ScriptedAnswers answers;
    answers.Push(answer);
    std::ostringstream out;
    ScriptedExitDialog view(answers, out);
    CDlgExit dialog(pc.Open().platform(), 1, true);
    EXPECT_THROW(view.DoModal(dialog), SimulationError);
  }
  ScratchPc pc;
  ScriptedAnswers none;
  std::ostringstream out;
  ScriptedExitDialog view(none, out);
  CDlgExit dialog(pc.Open().platform(), 1, true);
  EXPECT_THROW(view.DoModal(dialog), SimulationError);
}

TEST(ScriptedExitDialog, ShowsWhatTheDialogShowsButNoPassword) {
  ScratchPc pc;
  ScriptedAnswers answers;
  answers.Push("exit:restart:user:yamada:topsecret");
  std::ostringstream out;
  ScriptedExitDialog view(answers, out);
  CDlgExit dialog(pc.Open().platform(), 0, true);
  dialog.UserName = "Gu";
  dialog.Password = "secret";
  ASSERT_EQ(view.DoModal(dialog), DialogResult::Ok);
  const std::string shown = out.str();
  for (const std::string& expected :
       {Cp932ToUtf8("[Velandra]"), Cp932ToUtf8("終了方法: シャットダウン"),
        Cp932ToUtf8("[x] シャットダウン時に電源オフ"),
        Cp932ToUtf8("[ ] 設定の反映を、別ユーザーで行う(&C)"),
        Cp932ToUtf8("ユーザー名 (無効): Guest / 一覧: Administrator Guest yamada"),
        Cp932ToUtf8("パスワード (無効): (入力済み)"),
        Cp932ToUtf8("→ OK (再起動, ユーザー名: yamada)")}) {
    EXPECT_NE(shown.find(expected), std::string::npos) << expected << "\nin\n" << shown;
  }
  EXPECT_EQ(shown.find("secret"), std::string::npos) << shown;
}


#ifdef _WIN32

using velandra::testing::CanCreateWindows;
using velandra::testing::ClippedTexts;
using velandra::testing::ComboItems;
using velandra::testing::ControlText;
using velandra::testing::FindDialog;
using velandra::testing::PostClick;
using velandra::testing::WindowDriver;

// What the native dialog shows.
struct ExitSeen {
  std::vector<std::string> modes, users;
  int mode = -2, user = -2;
  bool powerOff = false, changeUser = false;
  std::vector<bool> userControlsEnabled;
  std::string password;
  std::vector<std::string> clipped;
};

ExitSeen LookAtExitDialog(HWND dialog) {
  ExitSeen seen;
  seen.modes = ComboItems(dialog, IDC_EXIT_MODE);
  seen.users = ComboItems(dialog, IDC_EXIT_USER);
  seen.mode = static_cast<int>(SendDlgItemMessageA(dialog, IDC_EXIT_MODE, CB_GETCURSEL, 0, 0));
  seen.user = static_cast<int>(SendDlgItemMessageA(dialog, IDC_EXIT_USER, CB_GETCURSEL, 0, 0));
  seen.powerOff = IsDlgButtonChecked(dialog, IDC_EXIT_POWER_OFF) == BST_CHECKED;
  seen.changeUser = IsDlgButtonChecked(dialog, IDC_EXIT_CHANGE_USER) == BST_CHECKED;
  for (int id : {IDC_EXIT_USER_LABEL, IDC_EXIT_USER, IDC_EXIT_PASSWORD_LABEL, IDC_EXIT_PASSWORD})
    seen.userControlsEnabled.push_back(IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE);
  seen.password = ControlText(dialog, IDC_EXIT_PASSWORD);
  seen.clipped = ClippedTexts(dialog);
  return seen;
}

// Clicks the another-user check as the mouse would: the check turns, then
// the dialog hears of it.
void ToggleCheck(HWND dialog, int id) {
  CheckDlgButton(dialog, id,
                 IsDlgButtonChecked(dialog, id) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
  PostClick(dialog, id);
}

TEST(Win32ExitDialog, ShowsTheModelTheCheckEnablesTheUserControlsAndOkGivesTheChoice) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  ScratchPc pc;
  CDlgExit dialog(pc.Open().platform(), 1, true);
  dialog.UserName = "yam";
  dialog.Password = "old";
  ui::win32::Win32ExitDialog view;
  ExitSeen opened, checked;
  std::string title;
  WindowDriver driver;
  auto find = [] {
    HWND d = FindDialog("Velandra");
    return d && GetDlgItem(d, IDC_EXIT_MODE) ? d : nullptr;
  };
  driver.Then(find, [&](HWND d) {
    title = velandra::testing::WindowTitle(d);
    opened = LookAtExitDialog(d);
    ToggleCheck(d, IDC_EXIT_CHANGE_USER);
  });
  driver.Then(find, [&](HWND d) {
    checked = LookAtExitDialog(d);
    SendDlgItemMessageA(d, IDC_EXIT_MODE, CB_SETCURSEL, 3, 0);
    CheckDlgButton(d, IDC_EXIT_POWER_OFF, BST_UNCHECKED);
    SendDlgItemMessageA(d, IDC_EXIT_USER, CB_SETCURSEL, 0, 0);
    SetDlgItemTextA(d, IDC_EXIT_PASSWORD, "新しい pw");
    PostClick(d, IDOK);
  });
  DialogResult result = DialogResult::Failed;
  EXPECT_TRUE(driver.Run([&] { result = view.DoModal(dialog); })) << driver.Stuck();
  EXPECT_EQ(result, DialogResult::Ok);
  EXPECT_EQ(title, "Velandra");
  EXPECT_EQ(opened.modes,
            (std::vector<std::string>{"シャットダウン", "再起動", "再起動なし", "保存のみ"}));
  EXPECT_EQ(opened.mode, 1);
  EXPECT_TRUE(opened.powerOff);
  EXPECT_FALSE(opened.changeUser);
  EXPECT_EQ(opened.users, kDemoUsers);
  EXPECT_EQ(opened.user, 2);
  EXPECT_EQ(opened.password, "old");
  EXPECT_EQ(opened.userControlsEnabled, (std::vector<bool>{false, false, false, false}));
  EXPECT_TRUE(opened.clipped.empty()) << opened.clipped.front();
  EXPECT_TRUE(checked.changeUser);
  EXPECT_EQ(checked.userControlsEnabled, (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(dialog.ExitMode, 3);
  EXPECT_EQ(dialog.PowerOff, 0);
  EXPECT_EQ(dialog.ChangeUser, 1);
  EXPECT_EQ(dialog.UserName, "Administrator");
  EXPECT_EQ(dialog.Password, "新しい pw");
}

TEST(Win32ExitDialog, CancelChangesNothing) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  ScratchPc pc;
  CDlgExit dialog(pc.Open().platform(), 0, false);
  dialog.UserName = "Gu";
  dialog.Password = "old";
  ui::win32::Win32ExitDialog view;
  WindowDriver driver;
  auto find = [] {
    HWND d = FindDialog("Velandra");
    return d && GetDlgItem(d, IDC_EXIT_MODE) ? d : nullptr;
  };
  driver.Then(find, [&](HWND d) { ToggleCheck(d, IDC_EXIT_CHANGE_USER); });
  driver.Then(find, [&](HWND d) {
    SendDlgItemMessageA(d, IDC_EXIT_MODE, CB_SETCURSEL, 2, 0);
    SetDlgItemTextA(d, IDC_EXIT_PASSWORD, "typed");
    PostClick(d, IDCANCEL);
  });
  DialogResult result = DialogResult::Failed;
  EXPECT_TRUE(driver.Run([&] { result = view.DoModal(dialog); })) << driver.Stuck();
  EXPECT_EQ(result, DialogResult::Cancel);
  EXPECT_EQ(dialog.ExitMode, -1);
  EXPECT_EQ(dialog.PowerOff, 0);
  EXPECT_EQ(dialog.ChangeUser, 0);
  EXPECT_EQ(dialog.UserName, "Gu");
  EXPECT_EQ(dialog.Password, "old");
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
