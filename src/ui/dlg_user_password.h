// The user name and password dialog (template 148): the logon prompt of
// -logon and the account question of the apply flow. The model is shown by
// a view: the native dialog (ui/win32) or a scripted one on the simulated PC.
#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>

namespace velandra::platform::sim {
class ScriptedAnswers;
}

namespace velandra::ui {

// Fields in the order they are exchanged with the controls.
struct CDlgUserPassword {
  static constexpr uint32_t kTemplateId = 148;

  // 1: the dialog opens with the focus in the password field; otherwise in
  // the user name field.
  uint32_t Focus = 0;
  std::string UserName;
  std::string Password;
  // The line at the top of the dialog.
  std::string Message;
};

// The caption of template 148, for views that draw no template.
inline constexpr char kUserPasswordDialogTitle[] = "ユーザー名とパスワード";

class IUserPasswordDialog {
 public:
  virtual ~IUserPasswordDialog() = default;
  // Shows `dialog` modally. True on OK, with UserName and Password (and
  // Message) taken from the controls; false on cancel or when the dialog
  // cannot be shown, `dialog` then being left as it was.
  virtual bool DoModal(CDlgUserPassword& dialog) = 0;
};

// The dialog on the simulated PC: it writes what the dialog shows to `out`
// (UTF-8, for a terminal) and takes the user's answer from the script.
//
// Answers (exact, case-sensitive):
//   "cancel"               Cancel.
//   "ok"                   OK with the fields as they were filled in.
//   "ok:USER:PASSWORD"     OK after typing USER and PASSWORD. USER ends at the
//                          first ':' (Windows user names cannot hold one);
//                          PASSWORD is everything after it, further ':'
//                          included, and may be empty ("ok:USER:"). Both are
//                          the system's text, CP932 bytes, taken as they are.
// A ';' inside PASSWORD is written ";;" in a ScriptedAnswers::PushList list.
// Any other answer, "ok:USER" without the second ':' included, is an error
// of the script: DoModal throws platform::sim::SimulationError, as it does
// when no answer is left.
//
// The password is never written to `out`, only whether the field holds one.
class ScriptedUserPasswordDialog : public IUserPasswordDialog {
 public:
  ScriptedUserPasswordDialog(platform::sim::ScriptedAnswers& answers,
                             std::ostream& out)
      : answers_(answers), out_(out) {}
  bool DoModal(CDlgUserPassword& dialog) override;

 private:
  platform::sim::ScriptedAnswers& answers_;
  std::ostream& out_;
};

}  // namespace velandra::ui
