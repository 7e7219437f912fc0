#include "app/velandra_app.h"

#include "app/delayed_actions.h"
#include "app/delayed_run.h"
#include "app/exit_codes.h"
#include "app/exit_windows.h"
#include "app/messages.h"
#include "app/relogon.h"
#include "app/startup_shortcut.h"
#include "apply/apply_flow.h"
#include "apply/change_batch.h"
#include "ui/sheet_window.h"
#include "config/adapter_list.h"
#include "config/config_backup.h"
#include "system/place_settings_pc.h"
#include "system/platform/text.h"
#include "system/utilities.h"

namespace velandra::app {

namespace {

std::string BuildConfigPath(platform::ISystemInfo& system, bool& tooLong) {
  std::string path = GetExeDirectory(system, 1024) + kConfigFileName;
  tooLong = path.size() > kMaxConfigPath;
  return path;
}

}  // namespace

CVelandraApp::CVelandraApp(platform::Platform& platform,
                           ui::IUserPasswordDialog& logonPrompt, ui::IExitDialog* exitDialog,
                           ui::ISheetWindow* sheetWindow)
    : platform_(platform),
      logonPrompt_(logonPrompt),
      exitDialog_(exitDialog),
      sheetWindow_(sheetWindow),
      context_(platform, BuildConfigPath(platform.system, configPathTooLong_),
               ReadOsInfo(platform.system)) {}

bool CVelandraApp::IsSupportedPlatform(const OsInfo& os, const std::string& server) {
  if (os.PlatformId != 2 || os.MajorVersion != 5) return false;
  if (os.MinorVersion == 0 && os.ProductType == 1) return true;
  if (os.MinorVersion == 1 && os.ProductType == 1) return true;
  return server == "TRUE" && os.MinorVersion == 0 && os.ProductType == 3;
}

int CVelandraApp::Run(std::string_view commandLine) {
  int code = InitInstance(commandLine);
  ExitInstance();
  if (exitProcess_) return *exitProcess_;
  if (auto quit = context_.QuitCode()) return *quit;
  return code;
}

void CVelandraApp::ExitInstance() {
  sheet_.reset();
  CommandTokens.clear();
}

int CVelandraApp::Refuse(const char* message) {
  platform_.messages.Show(platform::MessageOwner::None, message, kCaption,
                          platform::MessageIcon::Error, platform::MessageButtons::Ok);
  return kExitRefused;
}

int CVelandraApp::NotBuilt(const std::string& what) {
  platform_.messages.Show(platform::MessageOwner::None, kMsgNotBuilt + what, kCaption,
                          platform::MessageIcon::Warning, platform::MessageButtons::Ok);
  return kExitNotBuilt;
}

int CVelandraApp::InitInstance(std::string_view commandLine) {
  // A cut path would name another file: refuse rather than read or write it.
  if (configPathTooLong_) return Refuse(kMsgConfigPathTooLong);
  const config::ConfigFile& config = context_.Config();
  // Before anything reads the file: a save cut short is undone first.
  config::RestoreInterruptedSave(context_);

  std::string server = config.ReadString("COMMON", "SERVER", "", 20);
  if (!IsSupportedPlatform(context_.Os(), server)) return Refuse(kMsgWindowsOnly);

  context_.AdminCheck = config.ReadString("COMMON", "ADMINCHECK", "TRUE", 20) != "FALSE";
  if (context_.AdminCheck && !IsAdministrator(platform_)) return Refuse(kMsgNoAdministrator);

  DeleteStartupShortcut(platform_);

  sheet_ = std::make_unique<ui::CVelandraSheet>(context_);
  if (!sheet_->LoadAll()) {
    // No adapter: nothing could be applied, so the run must not end as a
    // success.
    context_.PostQuit(kExitFailed);
    exitProcess_ = kExitFailed;
    return kExitFailed;
  }
  ui::CVelandraSheet& sheet = *sheet_;

  CommandTokens = SplitCommandLine(commandLine);
  if (!ParseCommandLine(CommandTokens, Options, logonPrompt_))
    return Refuse(kMsgBadArguments);

  if (CommandTokens.empty()) {
    if (!sheetWindow_) return NotBuilt("プロパティシート(対話モード)");
    return sheetWindow_->DoModal(sheet) ? kExitSuccess : kExitFailed;
  }

  // Overrides for this run only; the file keeps its values.
  if (Options.DiffGiven) context_.DiffCheck = Options.Diff != 0;
  if (Options.HideGiven) sheet.Common.HIDEPROMPT = Options.Hide != 0;
  if (Options.DelBatGiven) sheet.Common.DELETEBAT = Options.DelBat != 0;

  if (Options.Resume) {
    if (sheet.Common.DELAYSLEEP > 0)
      platform_.system.Sleep(static_cast<uint32_t>(sheet.Common.DELAYSLEEP));
    const int64_t resumed = sheet.FindPlaceNumber(Options.PlaceName);
    sheet.CurrentPlace =
        resumed < 0 ? nullptr : sheet.FindPlace(static_cast<uint32_t>(resumed));
    // The actions are the place's: without it none may run. The queue is
    // kept for a start with the right name.
    if (!sheet.CurrentPlace && DelayedActionCount(config) >= 0) return Refuse(kMsgPlaceNotFound);
    return RunDelayedActions(sheet, logonPrompt_) ? kExitSuccess : kExitFailed;
  }

  const int64_t number = sheet.FindPlaceNumber(Options.PlaceName);
  if (number < 0) return Refuse(kMsgPlaceNotFound);
  sheet.CurrentPlace = sheet.FindPlace(static_cast<uint32_t>(number));
  config::Place& place = *sheet.CurrentPlace;
  config::PlaceSettings* record = sheet.FindPlaceSettings(place);
  if (context_.DiffCheck) {
    sheet.CompareWithPc(place);
    if (record) CompareWithPC(context_, *record);
  }
  // -np: the companion is not run for this run; the stored choice stays.
  if (!Options.UseProxy && record) record->Proxy.DisableProxy = true;
  return Dispatch(sheet, place);
}

int CVelandraApp::Dispatch(ui::CVelandraSheet& sheet, config::Place& place) {
  if (Options.Logon) {
    RelogonAs(context_, place.Name, Options.Shutdown ? 0 : 1, Options.LogonUserName,
              Options.LogonPassword, Options.Now != 0);
    return kExitSuccess;
  }
  if (Options.Now) return apply::RunChangeBatch(sheet, place) ? kExitSuccess : kExitFailed;
  if (Options.Relogon) return RunRelogonStage(sheet, place) ? kExitSuccess : kExitFailed;
  if (Options.Dialog && !exitDialog_)
    return NotBuilt(std::string(apply::kMsgNoExitDialog) + " -d (場所: " + place.Name + ")");

  const config::ConfigFile& config = context_.Config();
  if (!config::WriteLast(config, place.Number, sheet.CurrentAdapter->Number))
    platform_.messages.Show(platform::MessageOwner::None, ui::kMsgSaveFailed + config.Path(),
                            kCaption, platform::MessageIcon::Warning,
                            platform::MessageButtons::Ok);

  apply::CApplyFlow flow(sheet, exitDialog_, logonPrompt_);
  if (Options.Dialog) {
    switch (flow.ApplyPlace(false)) {
      case apply::ApplyResult::Done: return kExitSuccess;
      case apply::ApplyResult::Failed: return kExitFailed;
      case apply::ApplyResult::NotBuilt: return kExitNotBuilt;
    }
  }
  if (!flow.ApplyWithRestart(place)) {
    context_.PostQuit(kExitFailed);
    exitProcess_ = kExitFailed;
    return kExitFailed;
  }
  ExitWindowsWithPrivilege(
      context_, apply::ExitRequestFlags(Options.Shutdown ? 0 : 1, sheet.Common.PowerOff));
  // A refused exit request has posted code 1 already; the first one counts.
  context_.PostQuit(kExitSuccess);
  return kExitSuccess;
}

}  // namespace velandra::app
