#include "app/velandra_app.h"

#include "app/exit_codes.h"
#include "app/messages.h"
#include "app/startup_shortcut.h"
#include "apply/change_batch.h"
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
                           ui::IUserPasswordDialog& logonPrompt)
    : platform_(platform),
      logonPrompt_(logonPrompt),
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

  if (CommandTokens.empty()) return NotBuilt("プロパティシート(対話モード)");

  // Overrides for this run only; the file keeps its values.
  if (Options.DiffGiven) context_.DiffCheck = Options.Diff != 0;
  if (Options.HideGiven) sheet.Common.HIDEPROMPT = Options.Hide != 0;
  if (Options.DelBatGiven) sheet.Common.DELETEBAT = Options.DelBat != 0;

  if (Options.Resume) {
    if (sheet.Common.DELAYSLEEP > 0)
      platform_.system.Sleep(static_cast<uint32_t>(sheet.Common.DELAYSLEEP));
    return NotBuilt("-r 再起動後の遅延動作 (場所: " + Options.PlaceName + ")");
  }

  const int64_t number = sheet.FindPlaceNumber(Options.PlaceName);
  if (number < 0) return Refuse(kMsgPlaceNotFound);
  sheet.CurrentPlace = sheet.FindPlace(static_cast<uint32_t>(number));
  if (context_.DiffCheck) sheet.CompareWithPc(*sheet.CurrentPlace);
  const std::string place = " (場所: " + Options.PlaceName + ")";

  if (Options.Logon) return NotBuilt("-logon 別のユーザーでログオンして変更" + place);
  if (Options.Now)
    return apply::RunChangeBatch(sheet, *sheet.CurrentPlace) ? kExitSuccess : kExitFailed;
  if (Options.Relogon) return NotBuilt("-relogon ログオン後の変更" + place);
  if (Options.Dialog) return NotBuilt("-d 終了方法を選んで変更" + place);
  return NotBuilt(std::string(Options.Shutdown ? "-s 変更してシャットダウン"
                                               : "-p 変更して再起動") + place);
}

}  // namespace velandra::app
