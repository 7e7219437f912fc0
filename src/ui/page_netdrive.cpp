#include "ui/page_netdrive.h"

#include <algorithm>
#include <cstdint>

#include "config/config_file.h"
#include "config/place_settings.h"
#include "system/net_shares.h"
#include "system/network_drives.h"
#include "system/platform/platform.h"
#include "system/platform/win_types.h"
#include "ui/dlg_share_permission.h"
#include "ui/ordered_list.h"
#include "ui/page_ip.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Drive letters are the same drive in either case: "z:" and "Z:" are one.
bool StartsWithNoCase(const std::string& text, const std::string& start) {
  if (start.size() > text.size()) return false;
  for (size_t i = 0; i < start.size(); ++i)
    if (UpperAscii(text[i]) != UpperAscii(start[i])) return false;
  return true;
}

bool IsLocalDrive(uint32_t type) {
  return type == platform::kDriveFixed || type == platform::kDriveCdrom ||
         type == platform::kDriveRamdisk || type == platform::kDriveRemovable;
}

// The list that grants Everyone full control and nothing else is what a new
// share gets from the system anyway, so it is kept as none.
bool OnlyEveryoneFullControl(const std::vector<config::SharePermission>& list) {
  return std::all_of(list.begin(), list.end(), [](const config::SharePermission& p) {
    return p.AccountName == "Everyone" && p.AccountDomain.empty() &&
           p.AceType == config::kAceAllowed && p.AccessMask == config::kShareFullControl;
  });
}

}  // namespace

// ---- drive dialog -----------------------------------------------------------

CDlgNetDrive::CDlgNetDrive(platform::IMessages& messages, platform::ISystemInfo& system,
                           std::vector<std::string> inUse, config::NetworkDrive drive,
                           std::string title)
    : Title(std::move(title)),
      Drive(std::move(drive)),
      messages_(messages),
      system_(system),
      inUse_(std::move(inUse)) {}

void CDlgNetDrive::OnInitDialog() {
  LocalNames.clear();
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    if (IsLocalDrive(system_.GetDriveType(std::string(1, letter) + ":\\"))) continue;
    const bool used = std::any_of(inUse_.begin(), inUse_.end(), [letter](const std::string& n) {
      return !n.empty() && UpperAscii(n[0]) == letter;
    });
    if (!used) LocalNames.push_back(std::string(1, letter) + ":");
  }
  LocalSelection = LocalNames.empty() ? -1 : 0;
  if (!Drive.LocalName.empty()) {
    const auto at = std::find_if(
        LocalNames.begin(), LocalNames.end(),
        [&](const std::string& name) { return StartsWithNoCase(name, Drive.LocalName); });
    if (at != LocalNames.end()) LocalSelection = static_cast<int>(at - LocalNames.begin());
  }
  RemoteName = Drive.RemoteName;
  UserName = Drive.UserName;
  Password = Drive.Password;
}

bool CDlgNetDrive::OnOK() {
  auto refuse = [&](const std::string& text, int focus) {
    ShowWarning(messages_, text);
    Focus = focus;
    return false;
  };
  if (!Selected(LocalSelection, LocalNames.size()))
    return refuse(kMsgSelectLocalName, IDC_NET_DRIVE_LOCAL);
  if (RemoteName.empty()) return refuse(kMsgEnterRemoteName, IDC_NET_DRIVE_REMOTE);
  if (!Password.empty() && config::EncodeStoredPassword(Password).empty())
    return refuse(kMsgDrivePasswordTooLong, IDC_NET_DRIVE_PASSWORD);
  config::NetworkDrive drive;
  drive.LocalName = LocalNames[static_cast<size_t>(LocalSelection)];
  drive.RemoteName = RemoteName;
  drive.UserName = UserName;
  drive.Password = Password;
  // What the configuration file could not give back is refused here, while
  // the user can still change it, rather than when the sheet is saved.
  if (auto why = config::CheckStoredDrive(drive)) return refuse(*why, IDC_NET_DRIVE_REMOTE);
  Drive = std::move(drive);
  return true;
}

// ---- share dialog -----------------------------------------------------------

CDlgShare::CDlgShare(platform::IMessages& messages, IDialogHost& dialogs,
                     std::vector<config::SharePermission>& access, std::string title)
    : Title(std::move(title)), messages_(messages), dialogs_(dialogs), access_(access) {}

void CDlgShare::Warn(const std::string& text, int focus) {
  ShowWarning(messages_, text);
  Focus = focus;
}

void CDlgShare::OnInitDialog() {
  if (MaxUses == -1) {
    LimitChoice = kUnlimited;
    MaxUsersText.clear();
  } else {
    LimitChoice = kLimited;
    MaxUsersText = std::to_string(MaxUses);
  }
  Permissions = access_;
}

void CDlgShare::OnUnlimitedClicked() {
  LimitChoice = kUnlimited;
  MaxUsersText.clear();
}

void CDlgShare::OnLimitedClicked() {
  LimitChoice = kLimited;
  MaxUsersText = kMaxUsersDefaultText;
}

void CDlgShare::OnBrowse() {
  std::string path;
  if (dialogs_.ChooseFolder(kShareFolderCaption, "", SharePath, path)) SharePath = path;
}

void CDlgShare::OnPermission() {
  // The permission dialog changes the working list only by its OK.
  CDlgSharePermission dialog(messages_, dialogs_, Permissions);
  dialogs_.DoModal(dialog);
}

bool CDlgShare::OnOK() {
  int32_t maxUses = -1;
  if (LimitChoice == kLimited) {
    // Anything but a number that fits counts as no number: 0, refused below.
    const auto number = ParseUnsigned(MaxUsersText.substr(0, kMaxUsersTextMax));
    maxUses =
        number && *number <= static_cast<uint32_t>(INT32_MAX) ? static_cast<int32_t>(*number) : 0;
  }
  if (SharePath.empty()) {
    Warn(kMsgEnterSharePath, IDC_SHARE_PATH);
    return false;
  }
  if (ShareName.empty()) {
    Warn(kMsgEnterShareName, IDC_SHARE_NAME);
    return false;
  }
  if (maxUses == 0) {
    Warn(kMsgEnterMaxUsers, IDC_SHARE_MAX_USERS);
    return false;
  }
  std::vector<config::SharePermission> result;
  if (!OnlyEveryoneFullControl(Permissions))
    for (const config::SharePermission& p : Permissions)
      if (p.AccessMask != config::kShareNoAccess) result.push_back(p);
  // A share that Windows or the configuration file would refuse is refused
  // here, while the user can still change it.
  config::NetShare share;
  share.ShareName = ShareName;
  share.ShareType = ShareType;
  share.Remark = Remark;
  share.MaxUses = maxUses;
  share.SharePath = SharePath;
  share.Access = result;
  if (std::string why = config::CheckShare(share); !why.empty()) {
    Warn(why, IDC_SHARE_NAME);
    return false;
  }
  MaxUses = maxUses;
  access_ = std::move(result);
  return true;
}

// ---- page -------------------------------------------------------------------

config::PlaceSettings* CPageNetDrive::Place() const {
  if (!sheet_.CurrentPlace) return nullptr;
  return sheet_.FindPlaceSettings(*sheet_.CurrentPlace);
}

void CPageNetDrive::Warn(const std::string& text, int focus) {
  ShowWarning(sheet_.GetContext().Platform().messages, text);
  Focus = focus;
}

std::vector<std::string> CPageNetDrive::NamesInUse(int except) const {
  std::vector<std::string> names;
  for (size_t i = 0; i < Drives.Drives.size(); ++i)
    if (static_cast<int>(i) != except) names.push_back(Drives.Drives[i].LocalName);
  return names;
}

void CPageNetDrive::OnSetActive() {
  Drives.Drives.clear();
  DriveSelection = -1;
  PrinterItems.clear();
  PrinterSelection = -1;
  ShareSelection = -1;
  const config::PlaceSettings* place = Place();
  if (!place) return;
  Drives.Drives = place->NetworkDrives.Drives;
  PrinterItems = place->Printers;
  // A stored printer that is not installed (even none) stays the selection.
  const auto at = std::find(PrinterItems.begin(), PrinterItems.end(), place->DefaultPrinter);
  if (at != PrinterItems.end()) {
    PrinterSelection = static_cast<int>(at - PrinterItems.begin());
  } else {
    PrinterItems.insert(PrinterItems.begin(), place->DefaultPrinter);
    PrinterSelection = 0;
  }
}

bool CPageNetDrive::OnKillActive() {
  config::PlaceSettings* place = Place();
  if (!place) return true;
  place->NetworkDrives.Drives = Drives.Drives;
  if (Selected(PrinterSelection, PrinterItems.size()))
    place->DefaultPrinter = PrinterItems[static_cast<size_t>(PrinterSelection)];
  return true;
}

std::vector<std::vector<std::string>> CPageNetDrive::DriveRows() const {
  std::vector<std::vector<std::string>> rows;
  for (const config::NetworkDrive& d : Drives.Drives)
    rows.push_back({d.LocalName, d.RemoteName, d.UserName,
                    d.Password.empty() ? std::string() : std::string(kPasswordMask)});
  return rows;
}

std::vector<std::vector<std::string>> CPageNetDrive::ShareRows() const {
  std::vector<std::vector<std::string>> rows;
  if (const config::PlaceSettings* place = Place())
    for (const config::NetShare& s : place->NetShares)
      rows.push_back({s.SharePath, s.ShareName, s.Remark,
                      s.MaxUses == -1 ? std::string(kUnlimitedText) : std::to_string(s.MaxUses)});
  return rows;
}

// Rows are found by their place in the list rather than by their local or
// share name, so that two rows of one name are never mistaken for each other.

void CPageNetDrive::OnDriveAdd() {
  platform::Platform& platform = sheet_.GetContext().Platform();
  CDlgNetDrive dialog(platform.messages, platform.system, NamesInUse(-1));
  if (!dialogs_.DoModal(dialog)) return;
  InsertAtSelection(Drives.Drives, DriveSelection, dialog.Drive);
}

void CPageNetDrive::OnDriveEdit() {
  if (!Selected(DriveSelection, Drives.Drives.size())) {
    Warn(kMsgSelectDriveToEdit, IDC_NETDRIVE_DRIVE_LIST);
    return;
  }
  config::NetworkDrive& drive = Drives.Drives[static_cast<size_t>(DriveSelection)];
  platform::Platform& platform = sheet_.GetContext().Platform();
  CDlgNetDrive dialog(platform.messages, platform.system, NamesInUse(DriveSelection), drive,
                      kNetDriveEditTitle);
  if (dialogs_.DoModal(dialog)) drive = dialog.Drive;
}

void CPageNetDrive::OnDriveDelete() {
  if (!Selected(DriveSelection, Drives.Drives.size())) {
    Warn(kMsgSelectDriveToDelete, IDC_NETDRIVE_DRIVE_LIST);
    return;
  }
  Drives.Drives.erase(Drives.Drives.begin() + DriveSelection);
  DriveSelection = -1;
}

void CPageNetDrive::OnGetDrives() {
  // Read into a list of its own, so that a failed read leaves the page's.
  config::NetworkDriveList found;
  if (long result = ReadDrivesFromPC(found, sheet_.GetContext().Platform().drives); result != 0) {
    Warn(kMsgGetDrivesFailed + std::to_string(result) + ")", IDC_NETDRIVE_GET_DRIVES);
    return;
  }
  Drives.Drives = std::move(found.Drives);
  DriveSelection = -1;
}

void CPageNetDrive::OnShareAdd() {
  config::PlaceSettings* place = Place();
  if (!place) return;
  config::SharePermission everyone;
  everyone.AccountName = "Everyone";
  everyone.AceType = config::kAceAllowed;
  everyone.AccessMask = config::kShareFullControl;
  std::vector<config::SharePermission> access{everyone};
  CDlgShare dialog(sheet_.GetContext().Platform().messages, dialogs_, access);
  if (!dialogs_.DoModal(dialog)) return;
  config::NetShare share;
  share.SharePath = dialog.SharePath;
  share.ShareName = dialog.ShareName;
  share.Remark = dialog.Remark;
  share.MaxUses = dialog.MaxUses;
  share.Access = std::move(access);
  InsertAtSelection(place->NetShares, ShareSelection, std::move(share));
}

void CPageNetDrive::OnShareEdit() {
  config::PlaceSettings* place = Place();
  if (!place || !Selected(ShareSelection, place->NetShares.size())) {
    Warn(kMsgSelectShareToEdit, IDC_NETDRIVE_SHARE_LIST);
    return;
  }
  config::NetShare& share = place->NetShares[static_cast<size_t>(ShareSelection)];
  CDlgShare dialog(sheet_.GetContext().Platform().messages, dialogs_, share.Access,
                   kShareEditTitle);
  dialog.ShareType = share.ShareType;
  dialog.MaxUses = share.MaxUses;
  dialog.SharePath = share.SharePath;
  dialog.ShareName = share.ShareName;
  dialog.Remark = share.Remark;
  if (!dialogs_.DoModal(dialog)) return;
  share.SharePath = dialog.SharePath;
  share.ShareName = dialog.ShareName;
  share.Remark = dialog.Remark;
  share.MaxUses = dialog.MaxUses;
}

void CPageNetDrive::OnShareDelete() {
  config::PlaceSettings* place = Place();
  if (!place || !Selected(ShareSelection, place->NetShares.size())) {
    Warn(kMsgSelectShareToDelete, IDC_NETDRIVE_SHARE_LIST);
    return;
  }
  place->NetShares.erase(place->NetShares.begin() + ShareSelection);
  ShareSelection = -1;
}

void CPageNetDrive::OnGetShares() {
  config::PlaceSettings* place = Place();
  if (!place) return;
  config::NetShareList found;
  if (long result = ReadSharesFromPC(sheet_.GetContext().Platform().shares, found); result != 0) {
    Warn(kMsgGetSharesFailed + std::to_string(result) + ")", IDC_NETDRIVE_GET_SHARES);
    return;
  }
  place->NetShares = std::move(found);
  ShareSelection = -1;
}

}  // namespace velandra::ui
