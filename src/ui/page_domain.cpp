#include "ui/page_domain.h"

#include "config/place_settings.h"
#include "system/local_users.h"
#include "ui/dlg_exit.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {

namespace {

// VER_SUITE_PERSONAL: Windows XP Home Edition, which cannot join a domain.
constexpr uint16_t kSuitePersonal = 0x0200;

}  // namespace

CPageDomain::CPageDomain(CVelandraSheet& sheet, IDialogHost& dialogs)
    : sheet_(sheet),
      dialogs_(dialogs),
      xp_(sheet.GetContext().Os().IsWindowsXp()),
      homeEdition_((sheet.GetContext().Os().SuiteMask & kSuitePersonal) != 0) {}

config::PlaceSettings* CPageDomain::Place() const {
  if (!sheet_.CurrentPlace) return nullptr;
  return sheet_.FindPlaceSettings(*sheet_.CurrentPlace);
}

void CPageDomain::Warn(const char* text) const {
  sheet_.GetContext().Platform().messages.Show(platform::MessageOwner::MainWindow, text, kCaption,
                                               platform::MessageIcon::Warning,
                                               platform::MessageButtons::Ok);
}

void CPageDomain::OnInitDialog() {
  Users.clear();
  if (!ListLocalUsers(sheet_.GetContext().Platform().accounts, Users)) Warn(kMsgUserListFailed);
}

void CPageDomain::OnSetActive() {
  config::PlaceSettings* place = Place();
  if (!place) return;
  ComputerName = place->ComputerName;
  Comment = place->SrvComment;
  LogonPlace = place->LogonPlace;
  DelayDomain = place->DelayDomain;

  if (homeEdition_) place->DomainWorkgroup = false;
  Membership = place->DomainWorkgroup ? kDomain : kWorkgroup;
  DomainName = IsDomain() ? place->DomainName : std::string();
  WorkgroupName = IsDomain() ? std::string() : place->WorkgroupName;

  JoinUser = place->JoinDomainUser;
  JoinPassword = place->JoinDomainPassword;
  AdminUser = place->LocalAdminUser;
  AdminPassword = place->LocalAdminPassword;

  // Every entry starts with an empty name: the first one is selected then.
  UserSelection = -1;
  for (size_t i = 0; i < Users.size(); ++i)
    if (StartsWithNoCase(Users[i], place->DefaultUserName)) {
      UserSelection = static_cast<int>(i);
      break;
    }
  UserName = place->DefaultUserName;

  AutoLogon = place->AutoAdminLogon;
  AutoLogonKeep = AutoLogon && place->AutoLogonKeep;
  Password = place->DefaultPassword;
  Confirmation = place->DefaultPassword;
  RequireCad = !place->DisableCAD;

  Welcome = WelcomeEnabled() && place->Welcome;
  FastSwitching = Welcome && place->MultipleTSSessions;
}

void CPageDomain::OnDomainClicked() {
  if (!DomainChoiceEnabled()) return;
  Membership = kDomain;
  Welcome = false;
  FastSwitching = false;
}

void CPageDomain::OnWorkgroupClicked() {
  Membership = kWorkgroup;
  if (!Welcome) FastSwitching = false;
}

void CPageDomain::OnUserSelChange() {
  Password.clear();
  Confirmation.clear();
}

void CPageDomain::OnWelcomeClicked() {
  if (!Welcome) FastSwitching = false;
}

void CPageDomain::EditAccount(const char* explanation, std::string& user,
                              std::string& password) {
  CDlgAccount dialog(explanation, user, password);
  if (!dialogs_.DoModal(dialog)) return;
  user = dialog.Fields.UserName;
  password = dialog.Fields.Password;
}

void CPageDomain::OnJoinAccount() { EditAccount(kJoinAccountExplanation, JoinUser, JoinPassword); }

void CPageDomain::OnAdminAccount() {
  EditAccount(kAdminAccountExplanation, AdminUser, AdminPassword);
}

bool CPageDomain::OnKillActive() {
  config::PlaceSettings* place = Place();
  if (!place) return true;
  const bool domain = IsDomain();

  // The checks first, in the order the user reads the page.
  if (domain ? DomainName.empty() : WorkgroupName.empty()) {
    Warn(domain ? kMsgNoDomainName : kMsgNoWorkgroupName);
    Focus = domain ? IDC_DOMAIN_DOMAIN_NAME : IDC_DOMAIN_WORKGROUP_NAME;
    return false;
  }
  const bool listed = UserSelection >= 0 && UserSelection < static_cast<int>(Users.size());
  // Without a user list (it could not be had) there is nothing to select
  // from: the stored name stays, instead of a refusal no one could meet.
  if (!domain && !listed && !Users.empty()) {
    Warn(kMsgNoUserSelected);
    Focus = IDC_DOMAIN_USER_LIST;
    return false;
  }
  if (AutoLogon && Password != Confirmation) {
    Warn(kMsgPasswordsDiffer);
    Focus = IDC_DOMAIN_PASSWORD;
    return false;
  }

  place->ComputerName = ComputerName;
  place->SrvComment = Comment;
  place->LogonPlace = LogonPlace;
  place->DelayDomain = DelayDomain;
  place->DomainWorkgroup = domain;
  place->DomainName = domain ? DomainName : std::string();
  place->WorkgroupName = domain ? std::string() : WorkgroupName;
  place->JoinDomainUser = JoinUser;
  place->JoinDomainPassword = JoinPassword;
  place->LocalAdminUser = AdminUser;
  place->LocalAdminPassword = AdminPassword;
  if (domain)
    place->DefaultUserName = UserName;
  else if (listed)
    place->DefaultUserName = Users[static_cast<size_t>(UserSelection)];
  place->AutoAdminLogon = AutoLogon;
  place->AutoLogonKeep = AutoLogon && AutoLogonKeep;
  // With the automatic logon off the fields are not used: the stored
  // password stays.
  if (AutoLogon) place->DefaultPassword = Password;
  place->DisableCAD = !RequireCad;
  place->Welcome = Welcome;
  place->MultipleTSSessions = FastSwitching;
  return true;
}

}  // namespace velandra::ui
