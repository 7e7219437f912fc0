// The Setting page (template 133) and the place-name dialog (template 138).
// The page picks the place and the adapter that the other pages edit, adds,
// renames and deletes places, reads a place's settings anew from the PC,
// applies a place at once without a restart, and runs the apply flow at the
// sheet's OK.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "apply/apply_flow.h"
#include "ui/dialog_model.h"
#include "ui/resource_ids.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {

class IExitDialog;
class IUserPasswordDialog;

inline constexpr char kMsgSelectPlaceToEdit[] = "編集したい場所を選択してください";
inline constexpr char kMsgConfirmDelete[] = "削除してよろしいですか？";
inline constexpr char kMsgDeleteCancelled[] = "削除を取りやめました";
inline constexpr char kMsgSelectPlaceToDelete[] = "削除したい場所を選択してください";
inline constexpr char kMsgConfirmGetCurrent[] =
    "現在のネットワークの設定を取得します。\nよろしいですか？";
inline constexpr char kMsgGetCurrentCancelled[] = "ネットワーク設定の取得を取りやめました";
inline constexpr char kMsgSelectPlaceToApply[] = "設定したい場所を選択してください";
// The connection-name text until an adapter is shown in it.
inline constexpr char kConnectionNameInitial[] = "Static";

// The place-name dialog: one field with the place's name.
class CDlgPlace : public CDialogModel {
 public:
  explicit CDlgPlace(platform::Platform& platform, std::string name = {})
      : Name(std::move(name)), platform_(platform) {}
  uint32_t TemplateId() const override { return IDD_PLACE; }
  // Refuses an empty name with "場所の名前を入力してください", and a name
  // that the configuration file could not keep as typed (control
  // characters, blanks or quotes around it, broken CP932, over 64 bytes)
  // with its own message; each a warning, the focus back on the field, the
  // dialog open with the text as typed.
  bool OnOK() override;

  std::string Name;  // the field

 private:
  platform::Platform& platform_;
};

class CPageSetting : public CPageModel {
 public:
  // `exitDialog` and `logonDialog` serve the apply flow of the sheet's OK.
  CPageSetting(CVelandraSheet& sheet, IDialogHost& dialogs, IExitDialog* exitDialog,
               IUserPasswordDialog& logonDialog)
      : sheet_(sheet), dialogs_(dialogs), exitDialog_(exitDialog), logonDialog_(logonDialog) {}
  uint32_t TemplateId() const override { return IDD_PAGE_SETTING; }

  // The lists from the sheet, with CurrentPlace and CurrentAdapter selected
  // (the first item when they are not in the list) and the selected
  // adapter's connection name.
  void OnInitDialog() override;
  // CurrentPlace and CurrentAdapter from the two selections.
  bool OnKillActive() override;
  // The apply flow with its save flag (the exit-mode dialog first). Without
  // an exit-mode dialog the flow says it is not built and nothing happens.
  void OnOK() override;
  // What the last OK's apply flow gave: Failed when the change with restart
  // failed (the quit request with code 1 is posted then), NotBuilt without
  // an exit-mode dialog.
  std::optional<apply::ApplyResult> Applied;

  // The place list's selection became PlaceSelection: CurrentPlace follows.
  void OnPlaceSelChange();
  // The adapter list's selection became AdapterSelection: CurrentAdapter
  // and the connection-name text follow.
  void OnAdapterSelChange();
  // "追加": the name dialog, then a new place built from the PC.
  void OnAdd();
  // "編集": renames the selected place; its number and sections stay.
  void OnEdit();
  // "削除": after the confirmation, deletes the selected place, from the
  // configuration file at once.
  void OnDelete();
  // "現在のTCP/IPの設定を取得する": after the confirmation, the current
  // adapter's settings of the current place and its place-wide settings
  // read anew from the PC.
  void OnGetCurrent();
  // "再起動なしでTCP/IPの設定を反映する": the change batch for the
  // selected place, unless DIFFCHECK finds it equal to the PC. Saves
  // nothing.
  void OnApplyNow();

  // A drop-down list's item: its text and its data (a place's or an
  // adapter's Number).
  struct Item {
    std::string Text;
    uint32_t Data = 0;
    bool operator==(const Item&) const = default;
  };
  // Exchanged with the controls. The selections are -1 when nothing is
  // selected.
  std::vector<Item> PlaceItems;
  int PlaceSelection = -1;
  std::vector<Item> AdapterItems;
  int AdapterSelection = -1;
  std::string ConnectionName = kConnectionNameInitial;

 private:
  // The place of the selected item, or null.
  config::Place* SelectedPlace() const;
  void Warn(const std::string& text) const;
  void Inform(const std::string& text) const;
  bool AskYes(const std::string& text) const;
  void WarnRefusal(PlaceChange change) const;

  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
  IExitDialog* exitDialog_;
  IUserPasswordDialog& logonDialog_;
};

}  // namespace velandra::ui
