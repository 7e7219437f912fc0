// The Domain page (template 141): the computer's name and description,
// membership of a domain or a workgroup with the accounts used to join the
// domain and to act as local administrator, and the automatic logon with
// the logon screen options, all of the current place's PlaceSettings.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ui/dialog_model.h"
#include "ui/dlg_user_password.h"
#include "ui/resource_ids.h"

namespace velandra::config {
class PlaceSettings;
}

namespace velandra::ui {

class CVelandraSheet;

inline constexpr char kMsgNoWorkgroupName[] = "ワークグループ名が入力されていません";
inline constexpr char kMsgNoDomainName[] = "ドメイン名が入力されていません";
inline constexpr char kMsgNoUserSelected[] = "ユーザー名が選択されていません";
inline constexpr char kMsgPasswordsDiffer[] = "パスワードが一致しません";
inline constexpr char kJoinAccountExplanation[] =
    "ドメインに参加するアクセス権を与えられたアカウントのユーザーとパスワードを入力してください。";
inline constexpr char kAdminAccountExplanation[] =
    "ローカルPCのAdministrators権限を持ったユーザーとパスワードを入力してください。";

// The user name and password dialog as the account buttons open it: the
// explanation on top, the account's two values in the fields. OK takes
// the fields as typed.
class CDlgAccount : public CDialogModel {
 public:
  CDlgAccount(std::string message, std::string user, std::string password) {
    Fields.Message = std::move(message);
    Fields.UserName = std::move(user);
    Fields.Password = std::move(password);
  }
  uint32_t TemplateId() const override { return CDlgUserPassword::kTemplateId; }

  CDlgUserPassword Fields;
};

class CPageDomain : public CPageModel {
 public:
  CPageDomain(CVelandraSheet& sheet, IDialogHost& dialogs);
  uint32_t TemplateId() const override { return IDD_PAGE_DOMAIN; }

  // The local user list into Users; when it cannot be had,
  // "ユーザー一覧が取得できませんでした" (warning) and Users stays empty.
  void OnInitDialog() override;
  // The controls from the current place's record. On Windows XP Home
  // Edition the record becomes a workgroup member first: that edition
  // cannot join a domain.
  void OnSetActive() override;
  // Refuses, with its message and the focus on the control to mend, an
  // empty workgroup or domain name (whichever is chosen), a workgroup
  // without a user selected, and, with the automatic logon on, a password
  // that differs from its confirmation. Every check comes before anything
  // is stored, so a refusal leaves the record as it was.
  bool OnKillActive() override;

  void OnDomainClicked();
  void OnWorkgroupClicked();
  // Another user picked: both password fields are emptied.
  void OnUserSelChange();
  // The check boxes: the controls that depend on them follow (see the
  // enabled states below). Clearing the welcome check clears fast
  // switching too, which Windows XP offers only with the welcome screen.
  void OnAutoLogonClicked() {}
  void OnWelcomeClicked();
  void OnDelayDomainClicked() {}
  // The two account buttons: the dialog with the account's values; OK
  // keeps the typed ones on the page until it is left.
  void OnJoinAccount();
  void OnAdminAccount();

  // The membership radio indices.
  enum : int { kDomain = 0, kWorkgroup = 1 };

  // Exchanged with the controls.
  std::string ComputerName;
  std::string Comment;
  int Membership = kWorkgroup;
  std::string DomainName;
  std::string WorkgroupName;
  bool LogonPlace = false;
  bool DelayDomain = false;
  std::vector<std::string> Users;  // the drop-down list, filled once
  int UserSelection = -1;          // -1: none
  std::string UserName;            // the edit field
  std::string Password;
  std::string Confirmation;
  bool AutoLogon = false;
  bool AutoLogonKeep = false;
  bool RequireCad = false;  // the Ctrl+Alt+Del check: DisableCAD off
  bool Welcome = false;
  bool FastSwitching = false;

  // Held by the page for the two account buttons; no control shows them.
  std::string JoinUser;
  std::string JoinPassword;
  std::string AdminUser;
  std::string AdminPassword;

  bool IsDomain() const { return Membership == kDomain; }
  // Enabled and shown states, all following the values above.
  bool DomainChoiceEnabled() const { return !homeEdition_; }
  // The domain name, the join account button, the logon target and the
  // delayed change.
  bool DomainControlsEnabled() const { return IsDomain(); }
  bool AdminAccountEnabled() const { return IsDomain() && DelayDomain; }
  bool WorkgroupNameEnabled() const { return !IsDomain(); }
  // The drop-down list for a workgroup; the edit field otherwise.
  bool UserListShown() const { return !IsDomain(); }
  // Password and confirmation with their labels, the keep check and the
  // warning text.
  bool PasswordControlsEnabled() const { return AutoLogon; }
  bool WelcomeEnabled() const { return xp_ && !IsDomain(); }
  bool FastSwitchingEnabled() const { return WelcomeEnabled() && Welcome; }

 private:
  config::PlaceSettings* Place() const;
  void Warn(const char* text) const;
  // The account dialog for one pair of values, which OK replaces.
  void EditAccount(const char* explanation, std::string& user, std::string& password);

  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
  const bool xp_;
  const bool homeEdition_;
};

}  // namespace velandra::ui
