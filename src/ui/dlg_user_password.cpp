#include "ui/dlg_user_password.h"

#include <ostream>
#include <string_view>

#include "system/platform/sim/scripted_answers.h"
#include "system/platform/text.h"

namespace velandra::ui {

namespace {

// What the dialog shows, as CP932 text.
std::string Describe(const CDlgUserPassword& dialog) {
  std::string text;
  text += "[";
  text += kUserPasswordDialogTitle;
  text += "]\n  ";
  text += dialog.Message;
  text += "\n  ユーザー名: ";
  text += dialog.UserName;
  text += "\n  パスワード: ";
  text += dialog.Password.empty() ? "(空)" : "(入力済み)";
  text += "\n  フォーカス: ";
  text += dialog.Focus == 1 ? "パスワード" : "ユーザー名";
  text += "\n";
  return text;
}

}  // namespace

bool ScriptedUserPasswordDialog::DoModal(CDlgUserPassword& dialog) {
  out_ << platform::Cp932ToUtf8(Describe(dialog));
  const std::string question =
      platform::Cp932ToUtf8(kUserPasswordDialogTitle) + " (cancel | ok | ok:USER:PASSWORD)";
  const std::string answer = answers_.Take(question);

  if (answer == "cancel") {
    out_ << platform::Cp932ToUtf8("  → キャンセル\n");
    return false;
  }
  if (answer == "ok") {
    out_ << platform::Cp932ToUtf8("  → OK\n");
    return true;
  }
  constexpr std::string_view kTyped = "ok:";
  if (answer.size() > kTyped.size() && answer.compare(0, kTyped.size(), kTyped) == 0) {
    // ':' is never a trail byte of CP932, so a byte search is exact.
    const size_t colon = answer.find(':', kTyped.size());
    if (colon != std::string::npos) {
      dialog.UserName = answer.substr(kTyped.size(), colon - kTyped.size());
      dialog.Password = answer.substr(colon + 1);
      out_ << platform::Cp932ToUtf8("  → OK (ユーザー名: " + dialog.UserName + ")\n");
      return true;
    }
  }
  throw platform::sim::SimulationError(
      "bad answer \"" + platform::Cp932ToUtf8(answer) + "\" for " + question +
      ": expected cancel, ok or ok:USER:PASSWORD");
}

}  // namespace velandra::ui
