#include "ui/win32/page_netdrive_view.h"

#include <commctrl.h>

#include <initializer_list>
#include <string>

#include "ui/resource_ids.h"
#include "ui/win32/controls.h"

namespace velandra::ui::win32 {

namespace {

// Report columns of their own widths, in pixels.
template <size_t N>
void SetColumns(HWND hwnd, int id, std::initializer_list<const char*> titles,
                const int (&widths)[N]) {
  SetListViewColumns(hwnd, id, titles, widths[0]);
  for (size_t i = 1; i < N; ++i)
    SendDlgItemMessageA(hwnd, id, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
                        MAKELPARAM(widths[i], 0));
}

// The window's title, set only when it changes (and only when given).
void SetTitle(HWND hwnd, const std::string& title) {
  if (title.empty()) return;
  char shown[256] = {};
  GetWindowTextA(hwnd, shown, sizeof shown);
  if (title != shown) SetWindowTextA(hwnd, title.c_str());
}

class NetDrivePageView : public PageView {
 public:
  explicit NetDrivePageView(CPageNetDrive& page) : PageView(page), page_(page) {}

  void Prepare(HWND hwnd) override {
    SetColumns(hwnd, IDC_NETDRIVE_DRIVE_LIST,
               {kColumnDrive, kColumnRemote, kColumnUser, kColumnPassword}, kDriveColumnWidths);
    SetColumns(hwnd, IDC_NETDRIVE_SHARE_LIST,
               {kColumnSharePath, kColumnShareName, kColumnComment, kColumnMaxUsers},
               kShareColumnWidths);
  }

  void Show(HWND hwnd) override {
    SetListViewRows(hwnd, IDC_NETDRIVE_DRIVE_LIST, page_.DriveRows(), page_.DriveSelection);
    SetComboItems(hwnd, IDC_NETDRIVE_PRINTER, page_.PrinterItems, {}, page_.PrinterSelection);
    SetListViewRows(hwnd, IDC_NETDRIVE_SHARE_LIST, page_.ShareRows(), page_.ShareSelection);
  }

  bool Read(HWND hwnd) override {
    page_.DriveSelection = ListViewSelection(hwnd, IDC_NETDRIVE_DRIVE_LIST);
    page_.PrinterSelection = ComboSelection(hwnd, IDC_NETDRIVE_PRINTER);
    page_.ShareSelection = ListViewSelection(hwnd, IDC_NETDRIVE_SHARE_LIST);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (code != BN_CLICKED) return false;
    void (CPageNetDrive::*handler)() = nullptr;
    switch (id) {
      case IDC_NETDRIVE_DRIVE_ADD: handler = &CPageNetDrive::OnDriveAdd; break;
      case IDC_NETDRIVE_DRIVE_EDIT: handler = &CPageNetDrive::OnDriveEdit; break;
      case IDC_NETDRIVE_DRIVE_DELETE: handler = &CPageNetDrive::OnDriveDelete; break;
      case IDC_NETDRIVE_GET_DRIVES: handler = &CPageNetDrive::OnGetDrives; break;
      case IDC_NETDRIVE_SHARE_ADD: handler = &CPageNetDrive::OnShareAdd; break;
      case IDC_NETDRIVE_SHARE_EDIT: handler = &CPageNetDrive::OnShareEdit; break;
      case IDC_NETDRIVE_SHARE_DELETE: handler = &CPageNetDrive::OnShareDelete; break;
      case IDC_NETDRIVE_GET_SHARES: handler = &CPageNetDrive::OnGetShares; break;
      default: return false;
    }
    Handle(hwnd, [&] { (page_.*handler)(); });
    return true;
  }

 private:
  CPageNetDrive& page_;
};

class NetDriveDialogView : public DialogView {
 public:
  explicit NetDriveDialogView(CDlgNetDrive& dialog) : DialogView(dialog), dialog_(dialog) {}

  void Show(HWND hwnd) override {
    SetTitle(hwnd, dialog_.Title);
    SetComboItems(hwnd, IDC_NET_DRIVE_LOCAL, dialog_.LocalNames, {}, dialog_.LocalSelection);
    SetItemText(hwnd, IDC_NET_DRIVE_REMOTE, dialog_.RemoteName);
    SetItemText(hwnd, IDC_NET_DRIVE_USER, dialog_.UserName);
    SetItemText(hwnd, IDC_NET_DRIVE_PASSWORD, dialog_.Password);
  }

  bool Read(HWND hwnd) override {
    dialog_.LocalSelection = ComboSelection(hwnd, IDC_NET_DRIVE_LOCAL);
    dialog_.RemoteName = ItemText(hwnd, IDC_NET_DRIVE_REMOTE);
    dialog_.UserName = ItemText(hwnd, IDC_NET_DRIVE_USER);
    dialog_.Password = ItemText(hwnd, IDC_NET_DRIVE_PASSWORD);
    return true;
  }

 private:
  CDlgNetDrive& dialog_;
};

constexpr std::initializer_list<int> kLimitRadios = {IDC_SHARE_UNLIMITED, IDC_SHARE_LIMITED};

class ShareDialogView : public DialogView {
 public:
  explicit ShareDialogView(CDlgShare& dialog) : DialogView(dialog), dialog_(dialog) {}

  void Prepare(HWND hwnd) override {
    HWND spin = GetDlgItem(hwnd, IDC_SHARE_MAX_USERS_SPIN);
    SendMessageA(spin, UDM_SETBUDDY,
                 reinterpret_cast<WPARAM>(GetDlgItem(hwnd, IDC_SHARE_MAX_USERS)), 0);
    SendMessageA(spin, UDM_SETRANGE32, kMaxUsersSpinLow, kMaxUsersSpinHigh);
    SendDlgItemMessageA(hwnd, IDC_SHARE_MAX_USERS, EM_LIMITTEXT, kMaxUsersTextMax, 0);
  }

  void Show(HWND hwnd) override {
    SetTitle(hwnd, dialog_.Title);
    SetItemText(hwnd, IDC_SHARE_PATH, dialog_.SharePath);
    SetItemText(hwnd, IDC_SHARE_NAME, dialog_.ShareName);
    SetItemText(hwnd, IDC_SHARE_COMMENT, dialog_.Remark);
    SetRadioIndex(hwnd, kLimitRadios, dialog_.LimitChoice);
    SetItemText(hwnd, IDC_SHARE_MAX_USERS, dialog_.MaxUsersText);
  }

  bool Read(HWND hwnd) override {
    dialog_.SharePath = ItemText(hwnd, IDC_SHARE_PATH);
    dialog_.ShareName = ItemText(hwnd, IDC_SHARE_NAME);
    dialog_.Remark = ItemText(hwnd, IDC_SHARE_COMMENT);
    const int choice = RadioIndex(hwnd, kLimitRadios);
    if (choice >= 0) dialog_.LimitChoice = choice;
    dialog_.MaxUsersText = NumberText(hwnd, IDC_SHARE_MAX_USERS);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (code != BN_CLICKED) return false;
    void (CDlgShare::*handler)() = nullptr;
    switch (id) {
      case IDC_SHARE_UNLIMITED: handler = &CDlgShare::OnUnlimitedClicked; break;
      case IDC_SHARE_LIMITED: handler = &CDlgShare::OnLimitedClicked; break;
      case IDC_SHARE_BROWSE: handler = &CDlgShare::OnBrowse; break;
      case IDC_SHARE_PERMISSION: handler = &CDlgShare::OnPermission; break;
      default: return false;
    }
    Handle(hwnd, [&] { (dialog_.*handler)(); });
    return true;
  }

 private:
  CDlgShare& dialog_;
};

}  // namespace

std::unique_ptr<PageView> MakeNetDrivePageView(CPageNetDrive& page) {
  return std::make_unique<NetDrivePageView>(page);
}

std::unique_ptr<DialogView> MakeNetDriveDialogView(CDialogModel& dialog) {
  if (auto* drive = dynamic_cast<CDlgNetDrive*>(&dialog))
    return std::make_unique<NetDriveDialogView>(*drive);
  if (auto* share = dynamic_cast<CDlgShare*>(&dialog))
    return std::make_unique<ShareDialogView>(*share);
  return nullptr;
}

}  // namespace velandra::ui::win32
