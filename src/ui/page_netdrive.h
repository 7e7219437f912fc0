// The network drive and share page (template 143) with its drive dialog
// (144) and share dialog (149). The page edits the current place's network
// drives, default printer and shares.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/net_shares.h"
#include "config/network_drives.h"
#include "ui/dialog_model.h"
#include "ui/resource_ids.h"

namespace velandra::platform {
class IMessages;
class ISystemInfo;
}  // namespace velandra::platform
namespace velandra::config {
class PlaceSettings;
}

namespace velandra::ui {

class CVelandraSheet;

inline constexpr char kColumnDrive[] = "ドライブ";
inline constexpr char kColumnRemote[] = "接続先";
inline constexpr char kColumnUser[] = "ユーザー名";
inline constexpr char kColumnPassword[] = "パスワード";
inline constexpr char kColumnSharePath[] = "パス";
inline constexpr char kColumnShareName[] = "共有名";
inline constexpr char kColumnComment[] = "コメント";
inline constexpr char kColumnMaxUsers[] = "同時アクセス";
// Column widths in pixels, in the order of the columns above.
inline constexpr int kDriveColumnWidths[] = {50, 170, 100, 100};
inline constexpr int kShareColumnWidths[] = {120, 100, 100, 80};
// What a drive row shows for a set password, a share row for no limit.
inline constexpr char kPasswordMask[] = "********";
inline constexpr char kUnlimitedText[] = "無制限";

inline constexpr char kNetDriveAddTitle[] = "ネットワークドライブの追加";
inline constexpr char kNetDriveEditTitle[] = "ネットワークドライブの変更";
inline constexpr char kShareAddTitle[] = "共有情報の追加";
inline constexpr char kShareEditTitle[] = "共有資源の編集";
inline constexpr char kShareFolderCaption[] = "共有対象を選択してください";

inline constexpr char kMsgSelectDriveToEdit[] = "編集するネットワークドライブを選択してください";
inline constexpr char kMsgSelectDriveToDelete[] =
    "削除したいネットワークドライブを選択してください";
inline constexpr char kMsgSelectShareToEdit[] = "変更したい共有情報を選択してください";
inline constexpr char kMsgSelectShareToDelete[] = "削除したい共有情報を選択してください";
inline constexpr char kMsgSelectLocalName[] = "ローカル名を選択してください";
inline constexpr char kMsgEnterRemoteName[] = "接続先を入力してください";
inline constexpr char kMsgEnterSharePath[] = "共有するパスを入力してください";
inline constexpr char kMsgEnterShareName[] = "共有名を入力してください";
inline constexpr char kMsgEnterMaxUsers[] = "最大ユーザー数を入力してください";
// A password of 86 bytes or more has no stored form: it would be written as
// none.
inline constexpr char kMsgDrivePasswordTooLong[] = "パスワードが長すぎるため保存できません";
// The PC's list could not be read: the page's list is kept as it was.
inline constexpr char kMsgGetDrivesFailed[] =
    "現在のネットワークドライブを取得できませんでした。一覧は変更していません (エラー ";
inline constexpr char kMsgGetSharesFailed[] =
    "現在の共有する資源を取得できませんでした。一覧は変更していません (エラー ";

// The most characters of the number field that are read.
inline constexpr size_t kMaxUsersTextMax = 63;
// The spin control's range.
inline constexpr int kMaxUsersSpinLow = 0;
inline constexpr int kMaxUsersSpinHigh = 10;
// "最大ユーザー数" clicked puts this into the field.
inline constexpr char kMaxUsersDefaultText[] = "10";

// One network drive: the local name from a list of the free drive letters,
// the remote name, the user and the password.
class CDlgNetDrive : public CDialogModel {
 public:
  // `drive` holds the values shown first, `inUse` the local names taken by
  // the place's other drives.
  CDlgNetDrive(platform::IMessages& messages, platform::ISystemInfo& system,
               std::vector<std::string> inUse, config::NetworkDrive drive = {},
               std::string title = kNetDriveAddTitle);
  uint32_t TemplateId() const override { return IDD_NET_DRIVE; }

  // The letters C: to Z: that are neither a local disk, CD-ROM, RAM disk or
  // removable drive of the PC nor in use (either case), the given local
  // name's entry selected (the first entry when it is not offered).
  void OnInitDialog() override;
  // Refuses no local name, an empty remote name, and what the stored form
  // could not keep; otherwise gives back the four values in Drive.
  bool OnOK() override;

  std::string Title;
  config::NetworkDrive Drive;  // given, and given back on OK
  // The controls.
  std::vector<std::string> LocalNames;
  int LocalSelection = -1;
  std::string RemoteName;
  std::string UserName;
  std::string Password;

 private:
  platform::IMessages& messages_;
  platform::ISystemInfo& system_;
  std::vector<std::string> inUse_;
};

// One share: path, name, comment, the user limit and the permission entries.
class CDlgShare : public CDialogModel {
 public:
  // `access` is the caller's permission list: the dialog works on a copy
  // and writes the result into it on OK only. An empty title keeps the
  // template's.
  CDlgShare(platform::IMessages& messages, IDialogHost& dialogs,
            std::vector<config::SharePermission>& access, std::string title = {});
  uint32_t TemplateId() const override { return IDD_SHARE; }

  // The limit choice and the number field from MaxUses; the working list
  // from the caller's.
  void OnInitDialog() override;
  void OnUnlimitedClicked();
  void OnLimitedClicked();
  // "検索": the shell's folder browser; the chosen folder into the path.
  void OnBrowse();
  // "アクセス許可": the permission dialog on the working list.
  void OnPermission();
  // Refuses an empty path, an empty share name, a maximum of 0 (or a field
  // that holds no number), and what Windows or the stored form would
  // refuse; otherwise MaxUses from the controls and the caller's list from
  // the working list: empty when it only grants Everyone full control,
  // else the entries whose mask is not 0.
  bool OnOK() override;

  enum : int { kUnlimited = 0, kLimited = 1 };

  std::string Title;
  int32_t ShareType = config::kShareDisk;  // what the share is; not shown
  int32_t MaxUses = -1;                    // -1: unlimited
  // The controls.
  std::string SharePath;
  std::string ShareName;
  std::string Remark;
  int LimitChoice = kUnlimited;
  std::string MaxUsersText;
  // The working list.
  std::vector<config::SharePermission> Permissions;

 private:
  void Warn(const std::string& text, int focus);

  platform::IMessages& messages_;
  IDialogHost& dialogs_;
  std::vector<config::SharePermission>& access_;
};

class CPageNetDrive : public CPageModel {
 public:
  CPageNetDrive(CVelandraSheet& sheet, IDialogHost& dialogs) : sheet_(sheet), dialogs_(dialogs) {}
  uint32_t TemplateId() const override { return IDD_PAGE_NETDRIVE; }

  // The working drive list, the printers and the shares from the current
  // place; the stored default printer is always the selected one.
  void OnSetActive() override;
  // The working drive list and the selected printer into the place; it
  // never refuses.
  bool OnKillActive() override;

  void OnDriveAdd();
  void OnDriveEdit();
  void OnDriveDelete();
  // Replaces the working list by the drives connected now.
  void OnGetDrives();
  // Shares are changed in the place's record at once.
  void OnShareAdd();
  void OnShareEdit();
  void OnShareDelete();
  // Replaces the place's shares by the PC's.
  void OnGetShares();

  // What the lists show.
  std::vector<std::vector<std::string>> DriveRows() const;
  std::vector<std::vector<std::string>> ShareRows() const;

  // Exchanged with the controls; selections are -1 for none (of the share
  // list, the first selected row).
  config::NetworkDriveList Drives;
  int DriveSelection = -1;
  std::vector<std::string> PrinterItems;
  int PrinterSelection = -1;
  int ShareSelection = -1;

 private:
  config::PlaceSettings* Place() const;
  void Warn(const std::string& text, int focus);
  // The local names of the working list, but for the drive at `except`.
  std::vector<std::string> NamesInUse(int except) const;

  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
};

}  // namespace velandra::ui
