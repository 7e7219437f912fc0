#include "ui/win32/dlg_share_permission_view.h"

#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "ui/resource_ids.h"
#include "ui/win32/controls.h"

namespace velandra::ui::win32 {

namespace {

// The check boxes in the order of the model's Checks.
constexpr int kCheckIds[] = {IDC_SHARE_PERMISSION_FULL_ALLOW,   IDC_SHARE_PERMISSION_FULL_DENY,
                             IDC_SHARE_PERMISSION_CHANGE_ALLOW, IDC_SHARE_PERMISSION_CHANGE_DENY,
                             IDC_SHARE_PERMISSION_READ_ALLOW,   IDC_SHARE_PERMISSION_READ_DENY};
static_assert(std::size(kCheckIds) == std::tuple_size_v<decltype(CDlgSharePermission::Checks)>);

// The longest name a stored permission value can hold.
constexpr WPARAM kUserNameLimit = 255;

class SharePermissionView : public DialogView {
 public:
  explicit SharePermissionView(CDlgSharePermission& dialog)
      : DialogView(dialog), dialog_(dialog) {}

  void Show(HWND hwnd) override {
    // Refilled only when the lines changed, so the list keeps its scroll.
    if (ListBoxItems(hwnd, IDC_SHARE_PERMISSION_USERS) != dialog_.Users)
      SetListBoxItems(hwnd, IDC_SHARE_PERMISSION_USERS, dialog_.Users, dialog_.Selected);
    else
      SendDlgItemMessageA(hwnd, IDC_SHARE_PERMISSION_USERS, LB_SETCURSEL,
                          static_cast<WPARAM>(dialog_.Selected), 0);
    for (size_t i = 0; i < std::size(kCheckIds); ++i)
      SetItemChecked(hwnd, kCheckIds[i], dialog_.Checks[i]);
  }

  bool Read(HWND hwnd) override {
    dialog_.Selected = ListBoxSelection(hwnd, IDC_SHARE_PERMISSION_USERS);
    for (size_t i = 0; i < std::size(kCheckIds); ++i)
      dialog_.Checks[i] = ItemChecked(hwnd, kCheckIds[i]);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (id == IDC_SHARE_PERMISSION_USERS) {
      if (code != LBN_SELCHANGE) return false;
      Handle(hwnd, [&] { dialog_.OnSelChange(); });
      return true;
    }
    if (code != BN_CLICKED) return false;
    if (id == IDC_SHARE_PERMISSION_ADD) {
      Handle(hwnd, [&] { dialog_.OnAdd(); });
      return true;
    }
    if (id == IDC_SHARE_PERMISSION_DELETE) {
      Handle(hwnd, [&] { dialog_.OnDelete(); });
      return true;
    }
    for (size_t i = 0; i < std::size(kCheckIds); ++i)
      if (kCheckIds[i] == id) {
        Handle(hwnd, [&] { dialog_.OnCheckClicked(static_cast<int>(i)); });
        return true;
      }
    return false;
  }

 private:
  CDlgSharePermission& dialog_;
};

class UserNameView : public DialogView {
 public:
  explicit UserNameView(CDlgUserName& dialog) : DialogView(dialog), dialog_(dialog) {}
  void Prepare(HWND hwnd) override {
    SendDlgItemMessageA(hwnd, IDC_USER_NAME_TEXT, EM_LIMITTEXT, kUserNameLimit, 0);
  }
  void Show(HWND hwnd) override { SetItemText(hwnd, IDC_USER_NAME_TEXT, dialog_.UserName); }
  bool Read(HWND hwnd) override {
    dialog_.UserName = ItemText(hwnd, IDC_USER_NAME_TEXT);
    return true;
  }

 private:
  CDlgUserName& dialog_;
};

}  // namespace

std::unique_ptr<DialogView> MakeSharePermissionDialogView(CDialogModel& dialog) {
  if (auto* permission = dynamic_cast<CDlgSharePermission*>(&dialog))
    return std::make_unique<SharePermissionView>(*permission);
  if (auto* name = dynamic_cast<CDlgUserName*>(&dialog))
    return std::make_unique<UserNameView>(*name);
  return nullptr;
}

}  // namespace velandra::ui::win32
