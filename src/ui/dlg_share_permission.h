// The share permission dialog (template 155) and the user name dialog
// (template 157) it opens. The permission dialog shows one line per user
// and, for the selected line, full control, change and read, each allowed
// or denied; the checks become allow and deny entries with the share access
// masks of config/net_shares.h.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/net_shares.h"
#include "system/platform/messages.h"
#include "ui/dialog_model.h"
#include "ui/resource_ids.h"

namespace velandra::ui {

inline constexpr char kMsgEnterUserName[] = "ユーザー名を入力してください。";
// A name that no account can have, or one the stored form could not keep.
inline constexpr char kMsgUserNameUnusable[] =
    "ユーザー名に使用できない文字が含まれているか、「場所名\\ユーザー名」の形になっていません。";
inline constexpr char kMsgUserExists[] = "すでに同じユーザーが存在します";
inline constexpr char kMsgSelectUserToDelete[] = "削除するユーザーを選択してください";
inline constexpr char kMsgUserListWouldBeEmpty[] = "ユーザーリストが空になるので、削除できません";
inline constexpr char kMsgNoPermissionSet[] =
    "アクセス許可が指定されていません。Everyoneのフルアクセスで設定し直します。";
inline constexpr char kEveryone[] = "Everyone";

// The user name dialog: one field, initially empty.
class CDlgUserName : public CDialogModel {
 public:
  explicit CDlgUserName(platform::IMessages& messages) : messages_(messages) {}
  uint32_t TemplateId() const override { return IDD_USER_NAME; }
  // Refuses an empty name, and a name with an empty part beside its first
  // backslash or a character an account cannot hold; each a warning with
  // the focus back on the field.
  bool OnOK() override;

  std::string UserName;  // the field

 private:
  platform::IMessages& messages_;
};

class CDlgSharePermission : public CDialogModel {
 public:
  // `list` is the share's permission list; it is changed only by OK.
  CDlgSharePermission(platform::IMessages& messages, IDialogHost& dialogs,
                      std::vector<config::SharePermission>& list)
      : messages_(messages), dialogs_(dialogs), list_(list) {}
  uint32_t TemplateId() const override { return IDD_SHARE_PERMISSION; }

  // The working list from the share's, the lines, the first one selected.
  void OnInitDialog() override;
  // The working entries with a mask into the share's list; all-Everyone
  // with full control leaves it empty (the system's default).
  bool OnOK() override;

  // The line selection became Selected: its checks are shown.
  void OnSelChange();
  // Check `clicked` was clicked and Checks holds its new value: the other
  // checks follow, and the line's entries take the masks.
  void OnCheckClicked(int clicked);
  // "追加": the user name dialog, then a new line with full control.
  void OnAdd();
  // "削除": the selected line and all its entries.
  void OnDelete();

  // The check boxes, in the order of Checks.
  enum : int { kFullAllow, kFullDeny, kChangeAllow, kChangeDeny, kReadAllow, kReadDeny };
  // The mask of one column: full control, else change and read, change, read, none.
  static uint32_t MaskOf(bool full, bool change, bool read);
  // "DOMAIN\name", or the name alone; and back, split at the first backslash.
  static config::SharePermission EntryOf(const std::string& line, uint8_t aceType,
                                         uint32_t mask);

  // Exchanged with the controls.
  std::vector<std::string> Users;  // the lines, display names
  int Selected = -1;
  std::array<bool, 6> Checks{};

  // The entries as edited so far; a mask of 0 stays here until OK.
  std::vector<config::SharePermission> Working;

 private:
  bool HasSelection() const {
    return Selected >= 0 && static_cast<size_t>(Selected) < Users.size();
  }
  void ShowChecks();
  void StoreChecks();
  void Warn(const char* text);

  platform::IMessages& messages_;
  IDialogHost& dialogs_;
  std::vector<config::SharePermission>& list_;
};

}  // namespace velandra::ui
