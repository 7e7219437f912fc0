#include "ui/win32/page_domain_view.h"

#include "ui/resource_ids.h"
#include "ui/win32/controls.h"

namespace velandra::ui::win32 {

namespace {

// What the place's section keeps of a text and of a password (three digits
// a byte in 255): longer ones would be refused when the place is saved.
constexpr WPARAM kTextLimit = 255;
constexpr WPARAM kCommentLimit = 511;
constexpr WPARAM kPasswordLimit = 85;

void ShowItem(HWND dialog, int id, bool shown) {
  if (HWND item = GetDlgItem(dialog, id)) ShowWindow(item, shown ? SW_SHOWNA : SW_HIDE);
}

class DomainPageView : public PageView {
 public:
  explicit DomainPageView(CPageDomain& page) : PageView(page), page_(page) {}

  void Prepare(HWND hwnd) override {
    for (int id : {IDC_DOMAIN_COMPUTER, IDC_DOMAIN_DOMAIN_NAME, IDC_DOMAIN_WORKGROUP_NAME,
                   IDC_DOMAIN_USER_NAME})
      LimitText(hwnd, id, kTextLimit);
    LimitText(hwnd, IDC_DOMAIN_COMMENT, kCommentLimit);
    LimitText(hwnd, IDC_DOMAIN_PASSWORD, kPasswordLimit);
    LimitText(hwnd, IDC_DOMAIN_CONFIRM, kPasswordLimit);
  }

  void Show(HWND hwnd) override {
    SetItemText(hwnd, IDC_DOMAIN_COMPUTER, page_.ComputerName);
    SetItemText(hwnd, IDC_DOMAIN_COMMENT, page_.Comment);
    SetRadioIndex(hwnd, {IDC_DOMAIN_DOMAIN, IDC_DOMAIN_WORKGROUP}, page_.Membership);
    SetItemText(hwnd, IDC_DOMAIN_DOMAIN_NAME, page_.DomainName);
    SetItemChecked(hwnd, IDC_DOMAIN_LOGON_PLACE, page_.LogonPlace);
    SetItemChecked(hwnd, IDC_DOMAIN_DELAY, page_.DelayDomain);
    SetItemText(hwnd, IDC_DOMAIN_WORKGROUP_NAME, page_.WorkgroupName);
    // The accounts do not change while the page lives: listed once.
    if (!usersListed_) {
      SetComboItems(hwnd, IDC_DOMAIN_USER_LIST, page_.Users, {}, -1);
      usersListed_ = true;
    }
    SendDlgItemMessageA(hwnd, IDC_DOMAIN_USER_LIST, CB_SETCURSEL,
                        static_cast<WPARAM>(page_.UserSelection), 0);
    SetItemText(hwnd, IDC_DOMAIN_USER_NAME, page_.UserName);
    SetItemText(hwnd, IDC_DOMAIN_PASSWORD, page_.Password);
    SetItemText(hwnd, IDC_DOMAIN_CONFIRM, page_.Confirmation);
    SetItemChecked(hwnd, IDC_DOMAIN_AUTO_LOGON, page_.AutoLogon);
    SetItemChecked(hwnd, IDC_DOMAIN_AUTO_LOGON_KEEP, page_.AutoLogonKeep);
    SetItemChecked(hwnd, IDC_DOMAIN_CAD, page_.RequireCad);
    SetItemChecked(hwnd, IDC_DOMAIN_WELCOME, page_.Welcome);
    SetItemChecked(hwnd, IDC_DOMAIN_FAST_SWITCHING, page_.FastSwitching);

    EnableItem(hwnd, IDC_DOMAIN_DOMAIN, page_.DomainChoiceEnabled());
    EnableItems(hwnd,
                {IDC_DOMAIN_DOMAIN_NAME, IDC_DOMAIN_JOIN_ACCOUNT, IDC_DOMAIN_LOGON_PLACE,
                 IDC_DOMAIN_DELAY},
                page_.DomainControlsEnabled());
    EnableItem(hwnd, IDC_DOMAIN_ADMIN_ACCOUNT, page_.AdminAccountEnabled());
    EnableItem(hwnd, IDC_DOMAIN_WORKGROUP_NAME, page_.WorkgroupNameEnabled());
    ShowItem(hwnd, IDC_DOMAIN_USER_LIST, page_.UserListShown());
    ShowItem(hwnd, IDC_DOMAIN_USER_NAME, !page_.UserListShown());
    EnableItems(hwnd,
                {IDC_DOMAIN_PASSWORD_LABEL, IDC_DOMAIN_PASSWORD, IDC_DOMAIN_CONFIRM_LABEL,
                 IDC_DOMAIN_CONFIRM, IDC_DOMAIN_AUTO_LOGON_KEEP, IDC_DOMAIN_WARNING},
                page_.PasswordControlsEnabled());
    EnableItem(hwnd, IDC_DOMAIN_WELCOME, page_.WelcomeEnabled());
    EnableItem(hwnd, IDC_DOMAIN_FAST_SWITCHING, page_.FastSwitchingEnabled());
  }

  bool Read(HWND hwnd) override {
    page_.ComputerName = ItemText(hwnd, IDC_DOMAIN_COMPUTER);
    page_.Comment = ItemText(hwnd, IDC_DOMAIN_COMMENT);
    page_.Membership = RadioIndex(hwnd, {IDC_DOMAIN_DOMAIN, IDC_DOMAIN_WORKGROUP});
    page_.DomainName = ItemText(hwnd, IDC_DOMAIN_DOMAIN_NAME);
    page_.LogonPlace = ItemChecked(hwnd, IDC_DOMAIN_LOGON_PLACE);
    page_.DelayDomain = ItemChecked(hwnd, IDC_DOMAIN_DELAY);
    page_.WorkgroupName = ItemText(hwnd, IDC_DOMAIN_WORKGROUP_NAME);
    page_.UserSelection = ComboSelection(hwnd, IDC_DOMAIN_USER_LIST);
    page_.UserName = ItemText(hwnd, IDC_DOMAIN_USER_NAME);
    page_.Password = ItemText(hwnd, IDC_DOMAIN_PASSWORD);
    page_.Confirmation = ItemText(hwnd, IDC_DOMAIN_CONFIRM);
    page_.AutoLogon = ItemChecked(hwnd, IDC_DOMAIN_AUTO_LOGON);
    page_.AutoLogonKeep = ItemChecked(hwnd, IDC_DOMAIN_AUTO_LOGON_KEEP);
    page_.RequireCad = ItemChecked(hwnd, IDC_DOMAIN_CAD);
    page_.Welcome = ItemChecked(hwnd, IDC_DOMAIN_WELCOME);
    page_.FastSwitching = ItemChecked(hwnd, IDC_DOMAIN_FAST_SWITCHING);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (code == CBN_SELCHANGE && id == IDC_DOMAIN_USER_LIST)
      return Run(hwnd, &CPageDomain::OnUserSelChange);
    if (code == EN_KILLFOCUS) {
      switch (id) {
        case IDC_DOMAIN_COMPUTER:
        case IDC_DOMAIN_COMMENT:
        case IDC_DOMAIN_DOMAIN_NAME:
        case IDC_DOMAIN_WORKGROUP_NAME: return Read(hwnd);
      }
      return false;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
      case IDC_DOMAIN_DOMAIN: return Run(hwnd, &CPageDomain::OnDomainClicked);
      case IDC_DOMAIN_WORKGROUP: return Run(hwnd, &CPageDomain::OnWorkgroupClicked);
      case IDC_DOMAIN_JOIN_ACCOUNT: return Run(hwnd, &CPageDomain::OnJoinAccount);
      case IDC_DOMAIN_DELAY: return Run(hwnd, &CPageDomain::OnDelayDomainClicked);
      case IDC_DOMAIN_ADMIN_ACCOUNT: return Run(hwnd, &CPageDomain::OnAdminAccount);
      case IDC_DOMAIN_AUTO_LOGON: return Run(hwnd, &CPageDomain::OnAutoLogonClicked);
      case IDC_DOMAIN_WELCOME: return Run(hwnd, &CPageDomain::OnWelcomeClicked);
    }
    return false;
  }

 private:
  bool Run(HWND hwnd, void (CPageDomain::*handler)()) {
    Handle(hwnd, [&] { (page_.*handler)(); });
    return true;
  }

  CPageDomain& page_;
  bool usersListed_ = false;
};

// Template 148 over CDlgAccount: the explanation, the user and the
// password.
class AccountDialogView : public DialogView {
 public:
  explicit AccountDialogView(CDlgAccount& dialog) : DialogView(dialog), dialog_(dialog) {}

  void Prepare(HWND hwnd) override {
    LimitText(hwnd, IDC_USER_PASSWORD_USER, kTextLimit);
    LimitText(hwnd, IDC_USER_PASSWORD_PASSWORD, kPasswordLimit);
  }

  void Show(HWND hwnd) override {
    SetItemText(hwnd, IDC_USER_PASSWORD_MESSAGE, dialog_.Fields.Message);
    SetItemText(hwnd, IDC_USER_PASSWORD_USER, dialog_.Fields.UserName);
    SetItemText(hwnd, IDC_USER_PASSWORD_PASSWORD, dialog_.Fields.Password);
  }

  bool Read(HWND hwnd) override {
    dialog_.Fields.UserName = ItemText(hwnd, IDC_USER_PASSWORD_USER);
    dialog_.Fields.Password = ItemText(hwnd, IDC_USER_PASSWORD_PASSWORD);
    return true;
  }

 private:
  CDlgAccount& dialog_;
};

}  // namespace

std::unique_ptr<PageView> MakeDomainPageView(CPageDomain& page) {
  return std::make_unique<DomainPageView>(page);
}

std::unique_ptr<DialogView> MakeDomainDialogView(CDialogModel& dialog) {
  if (auto* account = dynamic_cast<CDlgAccount*>(&dialog))
    return std::make_unique<AccountDialogView>(*account);
  return nullptr;
}

}  // namespace velandra::ui::win32
