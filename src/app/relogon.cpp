#include "app/relogon.h"

#include "app/delayed_actions.h"
#include "app/exit_codes.h"
#include "app/exit_windows.h"
#include "app/messages.h"
#include "app/startup_shortcut.h"
#include "apply/change_batch.h"
#include "config/places.h"
#include "system/platform/text.h"
#include "ui/velandra_sheet.h"

namespace velandra::app {

namespace {

void Refuse(Context& context, const std::string& text) {
  Warn(context, text);
  context.PostQuit(kExitFailed);
}

// Write errors are not reported: the log off follows either way, and the
// worst outcome is a logon made by hand.
void WriteAutoLogon(platform::RegKey& key, const std::string& user,
                    const std::string& password, const std::string& domain) {
  key.SetString("AutoAdminLogon", "1");
  key.SetString("DefaultUserName", user);
  key.SetString("DefaultPassword", password);
  key.SetString("ForceAutoLogon", "1");
  key.SetString("DefaultDomainName", domain);
  key.SetString("AltDefaultDomainName", domain);
}

// What the delayed action "DisableAutoLogon" does, done at once.
void DisableAutoLogonNow(platform::RegKey& key) {
  key.SetString("AutoAdminLogon", "0");
  key.DeleteValue("DefaultPassword");
  key.DeleteValue("ForceAutoLogon");
}

bool OpenWinlogon(platform::Platform& platform, platform::RegKey& key) {
  return key.Open(platform.registry, platform::Hive::LocalMachine, kWinlogonKey,
                  platform::kKeyAllAccess) == platform::kErrorSuccess;
}

}  // namespace

std::string RelogonArguments(const std::string& placeName, int mode, bool withoutRestart) {
  std::string arguments = "-p \"" + placeName + "\"";
  if (mode == 0)
    arguments += " -s";
  else if (withoutRestart)
    arguments += " -relogon";
  return arguments;
}

void RelogonAs(Context& context, const std::string& placeName, int mode,
               const std::string& user, const std::string& password, bool withoutRestart) {
  platform::Platform& platform = context.Platform();
  if (!FitsShortcutArguments(placeName))
    return Refuse(context, kMsgPlaceNameNotPassable + placeName);
  // Both before the password is written: without the shortcut nothing runs
  // after the logon, and without the queued action nothing removes it.
  if (!CreateStartupShortcut(platform, RelogonArguments(placeName, mode, withoutRestart)))
    return Refuse(context, kMsgShortcutNotCreated);
  if (!AddDelayedAction(context.Config(), kActionDisableAutoLogon, false)) {
    DeleteStartupShortcut(platform);
    return Refuse(context, kMsgAutoLogonNotQueued + context.ConfigPath());
  }

  std::string computer;
  if (!platform.system.GetComputerName(computer)) computer.clear();
  computer = platform::Cp932Cut(computer, 255);
  // The account is a local one of this computer.
  if (platform::RegKey key; OpenWinlogon(platform, key))
    WriteAutoLogon(key, user, password, computer);

  ExitWindowsWithPrivilege(context, platform::kExitLogOff);
}

bool ReadPlaceLogon(const config::ConfigFile& config, uint32_t placeNumber, PlaceLogon& logon) {
  const std::string section = "P" + std::to_string(placeNumber);
  auto present = [&](const char* key, uint32_t size, std::string* value = nullptr) {
    std::string v = config.ReadString(section, key, config::kNoDataPlace, size);
    if (v == config::kNoDataPlace) return false;
    if (value) *value = std::move(v);
    return true;
  };
  for (const char* key : {"PrimarySuffix", "PrimaryParentSuffix", "EnableLMHOSTS"})
    if (!config.ReadStrictBool(section, key, 10)) return false;
  PlaceLogon read;
  std::string password;
  if (!present("DNS_Suffix", 256) || !present("ComputerName", 256, &read.ComputerName) ||
      !present("DefaultUserName", 256, &read.DefaultUserName) ||
      !present("AutoAdminLogon", 64) || !present("DefaultPassword", 256, &password) ||
      !present("DisableCAD", 20))
    return false;
  read.DefaultPassword = config::DecodeStoredPassword(password);
  present("DomainName", 256, &read.DomainName);
  read.LogonPlace = config.ReadBool(section, "LogonPlace", config::BoolRule::FalseOnly, 256);
  logon = std::move(read);
  return true;
}

bool RunRelogonStage(ui::CVelandraSheet& sheet, const config::Place& place) {
  Context& context = sheet.GetContext();
  platform::Platform& platform = context.Platform();
  if (!FitsShortcutArguments(place.Name)) {
    Refuse(context, kMsgPlaceNameNotPassable + place.Name);
    return false;
  }
  const bool changed = apply::RunChangeBatch(sheet, place);

  bool removalQueued = AddDelayedAction(context.Config(), kActionDisableAutoLogon, false);
  if (!removalQueued) Warn(context, kMsgAutoLogonNotQueued + context.ConfigPath());
  if (DelayedActionCount(context.Config()) >= 0 &&
      !CreateStartupShortcut(platform, ResumeArguments(place.Name))) {
    Warn(context, kMsgShortcutNotCreated);
    removalQueued = false;  // no -r start would carry it out
  }

  PlaceLogon logon;
  const bool known = ReadPlaceLogon(context.Config(), place.Number, logon);
  if (platform::RegKey key; OpenWinlogon(platform, key)) {
    if (known && removalQueued)
      WriteAutoLogon(key, logon.DefaultUserName, logon.DefaultPassword,
                     logon.LogonPlace ? logon.DomainName : logon.ComputerName);
    else
      DisableAutoLogonNow(key);
  }

  const bool loggedOff = ExitWindowsWithPrivilege(context, platform::kExitLogOff);
  return changed && loggedOff;
}

}  // namespace velandra::app
