#include "system/domain_join.h"

#include <optional>

#include "app/relogon.h"
#include "config/config_file.h"
#include "system/adapter_registry.h"
#include "system/platform/domain.h"
#include "system/platform/registry.h"
#include "system/platform/win_types.h"
#include "ui/dlg_user_password.h"

namespace velandra {

namespace {

using platform::MessageButtons;
using platform::MessageIcon;

// Join a domain, creating the computer account, also when joined elsewhere.
constexpr uint32_t kJoinDomainOptions = platform::kNetSetupJoinDomain |
                                        platform::kNetSetupAcctCreate |
                                        platform::kNetSetupDomainJoinIfJoined;
constexpr uint32_t kJoinWorkgroupOptions = platform::kNetSetupDomainJoinIfJoined;

platform::MessageAnswer Show(Context& context, const std::string& text, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok) {
  return context.Platform().messages.Show(platform::MessageOwner::MainWindow, text, kCaption, icon,
                                          buttons);
}

// The account is left out when the user is empty, the password when the
// user or the password is.
long Join(platform::IDomain& domain, const std::string& name, const std::string& user,
          const std::string& password) {
  std::optional<std::string> account, secret;
  if (!user.empty()) {
    account = user;
    if (!password.empty()) secret = password;
  }
  return domain.JoinDomain(name, account, secret, kJoinDomainOptions);
}

// The logon screen's domain after a change of membership, and after a join
// the Ctrl+Alt+Del option. A failure is shown; the change stands.
void SetLogonDefaults(Context& context, const config::PlaceSettings& record,
                      const std::string& logonDomain, bool withCad) {
  platform::RegKey key;
  if (key.Open(context.Platform().registry, platform::Hive::LocalMachine, app::kWinlogonKey,
               platform::kKeyAllAccess) != platform::kErrorSuccess) {
    Warn(context, RegistryOpenFailedMessage(app::kWinlogonKey));
    return;
  }
  for (const char* value : {"DefaultDomainName", "AltDefaultDomainName"}) {
    if (key.SetString(value, logonDomain) != platform::kErrorSuccess) {
      Warn(context, RegistryWriteFailedMessage(app::kWinlogonKey, value, true));
      return;
    }
  }
  if (withCad && key.SetDword("DisableCAD", record.DisableCAD ? 1 : 0) != platform::kErrorSuccess)
    Warn(context, RegistryWriteFailedMessage(app::kWinlogonKey, "DisableCAD", true));
}

// Keeps the account that worked in the place's section; the record in
// memory stays as it is.
void SaveCredentials(Context& context, const config::PlaceSettings& record,
                     const std::string& user, const std::string& password) {
  const config::ConfigFile& config = context.Config();
  const std::string section = record.SectionName();
  if (!config.WriteString(section, "JoinDomainUser", user) ||
      !config.WriteString(section, "JoinDomainPassword", config::EncodeStoredPassword(password)))
    Warn(context, kMsgJoinCredentialsNotSaved + config.Path());
}

}  // namespace

bool IsDomainMember(platform::Platform& platform) {
  platform::PrimaryDomain domain;
  if (platform.domain.QueryPrimaryDomain(platform::kPolicyMemberAccess, domain) !=
      platform::kErrorSuccess)
    return true;
  return domain.HasSid;
}

long JoinDomain(Context& context, const config::PlaceSettings& record, const std::string& domain,
                const std::string& user, const std::string& password,
                ui::IUserPasswordDialog& credentials) {
  platform::Platform& platform = context.Platform();
  // Whatever the unjoin gives, the join decides.
  if (IsDomainMember(platform)) platform.domain.UnjoinDomain(platform::kNetSetupAcctDelete);

  long result = Join(platform.domain, domain, user, password);
  if (result != platform::kErrorSuccess) {
    ui::CDlgUserPassword dialog;
    dialog.Message = kMsgJoinPrompt;
    if (!credentials.DoModal(dialog)) {
      Show(context, kMsgJoinCredentialsCancelled, MessageIcon::Error);
      context.PostQuit(1);
      return kJoinDomainCancelled;
    }
    if (dialog.UserName.size() > kMaxJoinUserName) {
      Warn(context, kMsgJoinUserTooLong);
      return result;
    }
    if (dialog.Password.size() > kMaxJoinPassword) {
      Warn(context, kMsgJoinPasswordTooLong);
      return result;
    }
    result = Join(platform.domain, domain, dialog.UserName, dialog.Password);
    if (result == platform::kErrorSuccess &&
        Show(context, kMsgJoinSaveCredentials, MessageIcon::Question, MessageButtons::YesNo) ==
            platform::MessageAnswer::Yes)
      SaveCredentials(context, record, dialog.UserName, dialog.Password);
  }
  if (result != platform::kErrorSuccess) return result;
  SetLogonDefaults(context, record, record.LogonPlace ? domain : record.ComputerName, true);
  return platform::kErrorSuccess;
}

long SwitchToWorkgroup(Context& context, const config::PlaceSettings& record) {
  platform::Platform& platform = context.Platform();
  if (IsDomainMember(platform) &&
      platform.domain.UnjoinDomain(platform::kNetSetupAcctDelete) != platform::kErrorSuccess)
    platform.domain.UnjoinDomain(0);
  const long result = platform.domain.JoinDomain(record.WorkgroupName, std::nullopt,
                                                 std::nullopt, kJoinWorkgroupOptions);
  // Access denied is no failure worth a message.
  if (result != platform::kErrorSuccess && result != platform::kErrorAccessDenied)
    Warn(context, kMsgWorkgroupSwitchFailed);
  // The logon screen would still offer the domain just left, and an
  // automatic logon to it would fail: this computer is the logon domain now.
  if (result == platform::kErrorSuccess)
    SetLogonDefaults(context, record, record.ComputerName, false);
  return result;
}

}  // namespace velandra
