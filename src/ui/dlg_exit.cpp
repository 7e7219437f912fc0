#include "ui/dlg_exit.h"

#include <algorithm>
#include <ostream>

#include "system/local_users.h"
#include "system/platform/sim/scripted_answers.h"
#include "system/platform/text.h"

namespace velandra::ui {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  // The prefix must end where a character of the text ends, not between
  // the two bytes of one.
  if (prefix.size() > text.size() ||
      platform::Cp932Cut(text, prefix.size()).size() != prefix.size())
    return false;
  return platform::Cp932EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

void CDlgExit::OnInitDialog() {
  exitModes_.assign(kExitModeTexts.begin(), kExitModeTexts.end());
  ExitMode = initialExitMode_ >= 0 && initialExitMode_ < static_cast<int>(exitModes_.size())
                 ? initialExitMode_
                 : -1;
  PowerOff = initialPowerOff_ ? 1 : 0;

  users_.clear();
  if (!ListLocalUsers(platform_.accounts, users_))
    platform_.messages.Show(platform::MessageOwner::MainWindow, kMsgUserListFailed,
                            kExitDialogTitle, platform::MessageIcon::Warning,
                            platform::MessageButtons::Ok);
  selectedUser_ = -1;
  if (!UserName.empty()) {
    for (size_t i = 0; i < users_.size(); ++i)
      if (StartsWithNoCase(users_[i], UserName)) {
        selectedUser_ = static_cast<int>(i);
        break;
      }
  }
}

void CDlgExit::SelectUser(int index) {
  selectedUser_ = index >= 0 && index < static_cast<int>(users_.size()) ? index : -1;
}

std::string CDlgExit::SelectedUserText() const {
  return selectedUser_ >= 0 ? users_[static_cast<size_t>(selectedUser_)] : std::string();
}

bool CDlgExit::OnOK() {
  if (ExitMode < 0 || ExitMode >= static_cast<int>(exitModes_.size())) return false;
  UserName = SelectedUserText();
  return true;
}

namespace {

constexpr std::array<const char*, 4> kModeWords = {"shutdown", "restart", "norestart",
                                                   "saveonly"};

// What the dialog shows, as CP932 text.
std::string Describe(const CDlgExit& dialog) {
  auto check = [](int on) { return on ? "[x] " : "[ ] "; };
  std::string text = "[";
  text += kExitDialogTitle;
  text += "]\n  終了方法: ";
  text += dialog.ExitMode >= 0 ? dialog.ExitModes()[static_cast<size_t>(dialog.ExitMode)]
                               : "(選択なし)";
  text += "\n  ";
  text += check(dialog.PowerOff);
  text += kPowerOffText;
  text += "\n  ";
  text += check(dialog.ChangeUser);
  text += kChangeUserText;
  text += dialog.UserControlsEnabled() ? "\n  ユーザー名: " : "\n  ユーザー名 (無効): ";
  text += dialog.SelectedUser() >= 0 ? dialog.SelectedUserText() : "(選択なし)";
  text += " / 一覧:";
  for (const std::string& user : dialog.Users()) text += " " + user;
  text += dialog.UserControlsEnabled() ? "\n  パスワード: " : "\n  パスワード (無効): ";
  text += dialog.Password.empty() ? "(空)" : "(入力済み)";
  text += "\n";
  return text;
}

constexpr char kQuestion[] =
    "the exit-mode dialog (cancel | ok | exit:MODE[:poweroff][:user:NAME:PASSWORD])";

[[noreturn]] void BadAnswer(const std::string& answer, const std::string& why) {
  throw platform::sim::SimulationError("bad answer \"" + platform::Cp932ToUtf8(answer) +
                                       "\" for " + kQuestion + ": " + why);
}

// An answer "exit:MODE[:poweroff][:user:NAME:PASSWORD]" taken apart.
struct ExitAnswer {
  int Mode = -1;
  bool PowerOff = false;
  bool ChangeUser = false;
  std::string User, Password;
};

ExitAnswer ParseExitAnswer(const std::string& answer) {
  constexpr std::string_view kExit = "exit:";
  if (answer.compare(0, kExit.size(), kExit) != 0)
    BadAnswer(answer, "expected cancel, ok or exit:MODE...");
  // ':' is never a trail byte of CP932, so byte searches are exact.
  std::string_view rest = std::string_view(answer).substr(kExit.size());
  // Takes the next field off `rest`; `more` tells whether a ':' followed it.
  bool more = true;
  auto field = [&]() {
    const size_t colon = rest.find(':');
    const std::string_view f = rest.substr(0, colon);
    more = colon != std::string_view::npos;
    rest = more ? rest.substr(colon + 1) : std::string_view();
    return f;
  };

  ExitAnswer parsed;
  const std::string_view mode = field();
  for (size_t i = 0; i < kModeWords.size(); ++i)
    if (mode == kModeWords[i]) parsed.Mode = static_cast<int>(i);
  if (parsed.Mode < 0) BadAnswer(answer, "MODE is shutdown, restart, norestart or saveonly");
  // After a ':' there must be one of the two words.
  bool separated = more;
  std::string_view word = more ? field() : std::string_view();
  if (word == "poweroff") {
    parsed.PowerOff = true;
    separated = more;
    word = more ? field() : std::string_view();
  }
  if (word == "user") {
    if (more) parsed.User = std::string(field());
    if (!more) BadAnswer(answer, "user: needs NAME:PASSWORD");
    parsed.ChangeUser = true;
    parsed.Password = std::string(rest);
  } else if (separated) {
    BadAnswer(answer, "expected :poweroff or :user:NAME:PASSWORD");
  }
  return parsed;
}

}  // namespace

DialogResult ScriptedExitDialog::DoModal(CDlgExit& dialog) {
  dialog.OnInitDialog();
  out_ << platform::Cp932ToUtf8(Describe(dialog));
  const std::string answer = answers_.Take(kQuestion);

  if (answer == "cancel") {
    out_ << platform::Cp932ToUtf8("  → キャンセル\n");
    return DialogResult::Cancel;
  }
  if (answer != "ok") {
    const ExitAnswer parsed = ParseExitAnswer(answer);
    dialog.ExitMode = parsed.Mode;
    dialog.PowerOff = parsed.PowerOff ? 1 : 0;
    dialog.OnChangeUserClicked(parsed.ChangeUser);
    if (parsed.ChangeUser) {
      // A drop-down list offers only its entries.
      int user = -1;
      for (size_t i = 0; i < dialog.Users().size() && user < 0; ++i)
        if (dialog.Users()[i] == parsed.User) user = static_cast<int>(i);
      if (user < 0 && !parsed.User.empty())
        BadAnswer(answer, "no user entry \"" + platform::Cp932ToUtf8(parsed.User) + "\"");
      dialog.SelectUser(user);
      dialog.Password = parsed.Password;
    }
  }
  if (!dialog.OnOK()) BadAnswer(answer, "no exit mode is chosen");
  out_ << platform::Cp932ToUtf8(
      std::string("  → OK (") + kExitModeTexts[static_cast<size_t>(dialog.ExitMode)] +
      (dialog.PowerOff ? ", 電源オフ" : "") +
      (dialog.ChangeUser ? ", ユーザー名: " + dialog.UserName : std::string()) + ")\n");
  return DialogResult::Ok;
}

}  // namespace velandra::ui
