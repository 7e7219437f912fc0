// The exit-mode dialog (template 140) that the apply flow shows before it
// applies a place: how the change ends, whether shutting down powers the PC
// off, and whether the change is made under another local account. The
// model holds the dialog's logic; a view shows it: the native dialog (not
// built yet) or a scripted one on the simulated PC.
#pragma once
#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "system/platform/platform.h"

namespace velandra::platform::sim {
class ScriptedAnswers;
}

namespace velandra::ui {

// The exit-mode list in its order; an item's index is the ExitMode value.
inline constexpr std::array<const char*, 4> kExitModeTexts = {"シャットダウン", "再起動",
                                                              "再起動なし", "保存のみ"};
inline constexpr char kPowerOffText[] = "シャットダウン時に電源オフ";
inline constexpr char kChangeUserText[] = "設定の反映を、別ユーザーで行う(&C)";

class CDlgExit {
 public:
  static constexpr uint32_t kTemplateId = 140;

  // With the sheet's ExitMode and PowerOff. The caller sets ChangeUser,
  // UserName and Password (the place's another-user settings) before the
  // dialog is shown.
  CDlgExit(platform::Platform& platform, int exitMode, bool powerOff)
      : platform_(platform), initialExitMode_(exitMode), initialPowerOff_(powerOff) {}

  // Initialisation: the four exit modes, the index and the power-off check
  // from the constructor, the user list of this PC in its order with the
  // first entry selected whose text starts with UserName (ASCII letters
  // compared without case). An empty UserName selects nothing: every entry
  // starts with it, and the account a change runs under is one the user
  // picks. When the list cannot be had, "ユーザー一覧が取得できませんでした"
  // (warning) and the list stays empty; the dialog still opens.
  void OnInitDialog();

  // The another-user check clicked: the four user controls follow it.
  void OnChangeUserClicked(bool checked) { ChangeUser = checked ? 1 : 0; }
  // Selects user entry `index`; -1 or an index past the list selects none.
  void SelectUser(int index);

  // OK: UserName becomes the selected entry's text, or empty when none is
  // selected. False, with nothing changed, while no exit mode is chosen (the
  // dialog then stays open).
  bool OnOK();

  // The user label, the user list, the password label and the password
  // field are enabled exactly when the another-user check is on.
  bool UserControlsEnabled() const { return ChangeUser != 0; }

  const std::vector<std::string>& ExitModes() const { return exitModes_; }
  const std::vector<std::string>& Users() const { return users_; }
  int SelectedUser() const { return selectedUser_; }
  // The text of the selected user entry, empty when none is selected.
  std::string SelectedUserText() const;

  // Exchanged with the controls, in this order.
  int ExitMode = -1;   // index of the exit-mode list
  int PowerOff = 0;    // check "シャットダウン時に電源オフ"
  int ChangeUser = 0;  // check "設定の反映を、別ユーザーで行う(&C)"
  std::string Password;
  // Not bound to a control: before the dialog opens, the name whose entry
  // is selected; after OK, the selected entry's text.
  std::string UserName;

 private:
  platform::Platform& platform_;
  int initialExitMode_;
  bool initialPowerOff_;
  std::vector<std::string> exitModes_;
  std::vector<std::string> users_;
  int selectedUser_ = -1;
};

// Whether `text` starts with `prefix`, ASCII letters compared without case
// and two-byte characters byte for byte.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// The caption of template 140, for views that draw no template.
inline constexpr char kExitDialogTitle[] = "Velandra";

enum class DialogResult { Ok, Cancel, Failed };

class IExitDialog {
 public:
  virtual ~IExitDialog() = default;
  // Shows `dialog` modally: runs OnInitDialog, lets the user work the
  // controls, and ends with OnOK (Ok) or Cancel. Failed when the window
  // cannot be shown; the view has then said why. On Cancel and Failed the
  // exchanged fields must not be taken.
  virtual DialogResult DoModal(CDlgExit& dialog) = 0;
};

// The dialog on the simulated PC: it writes what the dialog shows to `out`
// (UTF-8, for a terminal) and takes the user's answer from the script.
//
// Answers (exact, case-sensitive):
//   "cancel"       Cancel.
//   "ok"           OK with the controls as they were initialised.
//   "exit:MODE[:poweroff][:user:NAME:PASSWORD]"
//                  OK after setting every control: MODE is "shutdown",
//                  "restart", "norestart" or "saveonly" (the four items in
//                  order); the power-off check is on exactly when
//                  ":poweroff" is given; the another-user check is on
//                  exactly when ":user:" is given, with the user entry whose
//                  text is NAME selected (NAME ends at the next ':'; an
//                  empty NAME selects no entry) and PASSWORD typed (the rest,
//                  further ':' included; may be empty). Without ":user:"
//                  the user entry and password stay as they were.
// A NAME that is not in the user list cannot be picked from a drop-down
// list: like any other answer it is an error of the script, and DoModal
// throws platform::sim::SimulationError, as it does when no answer is left.
// The password is never written to `out`, only whether the field holds one.
class ScriptedExitDialog : public IExitDialog {
 public:
  ScriptedExitDialog(platform::sim::ScriptedAnswers& answers, std::ostream& out)
      : answers_(answers), out_(out) {}
  DialogResult DoModal(CDlgExit& dialog) override;

 private:
  platform::sim::ScriptedAnswers& answers_;
  std::ostream& out_;
};

}  // namespace velandra::ui
