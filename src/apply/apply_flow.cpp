#include "apply/apply_flow.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/delayed_actions.h"
#include "app/exit_windows.h"
#include "app/messages.h"
#include "app/relogon.h"
#include "app/startup_shortcut.h"
#include "apply/change_batch.h"
#include "system/utilities.h"
#include "ui/dlg_exit.h"
#include "ui/dlg_user_password.h"
#include "ui/velandra_sheet.h"

namespace velandra::apply {

namespace {

constexpr char kCaption[] = "Velandra";

platform::MessageAnswer Show(Context& context, const std::string& text, platform::MessageIcon icon,
                             platform::MessageButtons buttons = platform::MessageButtons::Ok) {
  return context.Platform().messages.Show(platform::MessageOwner::MainWindow, text, kCaption, icon,
                                          buttons);
}

void Error(Context& context, const std::string& text) {
  Show(context, text, platform::MessageIcon::Error);
}

void Warn(Context& context, const std::string& text) {
  Show(context, text, platform::MessageIcon::Warning);
}

bool Ask(Context& context, const char* question) {
  return Show(context, question, platform::MessageIcon::Question,
              platform::MessageButtons::YesNo) == platform::MessageAnswer::Yes;
}

std::string PlaceSection(const config::Place& place) { return "P" + std::to_string(place.Number); }

// The shortcut that carries out the queued actions after the restart, when
// any are queued. Without it they wait for a start with -r by hand: that is
// said (warning), and the restart still goes ahead, as the change needs it.
void CreateResumeShortcut(Context& context, const config::Place& place) {
  if (app::DelayedActionCount(context.Config()) < 0) return;
  if (!app::FitsShortcutArguments(place.Name))
    Warn(context, app::kMsgPlaceNameNotPassable + place.Name);
  else if (!app::CreateStartupShortcut(context.Platform(), app::ResumeArguments(place.Name)))
    Warn(context, app::kMsgShortcutNotCreated);
}

}  // namespace

std::string FormatErrorCode(const char* format, long code) {
  char text[128];
  std::snprintf(text, sizeof text, format, code);
  return text;
}

bool CanApplyPlace(Context& context, const config::Place& place, platform::MessageOwner owner) {
  const config::ConfigFile& config = context.Config();
  const std::string section = PlaceSection(place);
  const std::string entries =
      config.Profile().GetSection(section, config::kSectionBufferSize, config.Path());
  if (entries.empty() || entries[0] == '\0') return true;
  context.Platform().messages.Show(
      owner,
      std::string(app::kMsgNotBuilt) + "場所全体の設定 (セクション " + section + ", 場所: " +
          place.Name + ") の反映。この場所は変更されません",
      kCaption, platform::MessageIcon::Warning, platform::MessageButtons::Ok);
  return false;
}

uint32_t ExitRequestFlags(int exitMode, bool powerOff) {
  if (exitMode != 0) return platform::kExitReboot;
  return powerOff ? platform::kExitPowerOff : platform::kExitShutdown;
}

ApplyResult CApplyFlow::ApplyPlace(bool save) {
  Context& context = sheet_.GetContext();
  config::Place& place = *sheet_.CurrentPlace;
  if (!CanApplyPlace(context, place, platform::MessageOwner::MainWindow))
    return ApplyResult::NotBuilt;
  if (!exitDialog_) {
    Warn(context, std::string(app::kMsgNotBuilt) + kMsgNoExitDialog);
    return ApplyResult::NotBuilt;
  }

  ui::CDlgExit dialog(context.Platform(), sheet_.Common.ExitMode, sheet_.Common.PowerOff);
  if (ChangeUser.ChangeUser) {
    dialog.ChangeUser = 1;
    dialog.UserName = ChangeUser.ChangeUserName;
    dialog.Password = ChangeUser.ChangeUserPassword;
  }
  switch (exitDialog_->DoModal(dialog)) {
    case ui::DialogResult::Ok: break;
    case ui::DialogResult::Cancel: return ApplyResult::Done;
    case ui::DialogResult::Failed: return ApplyResult::Failed;
  }
  sheet_.Common.ExitMode = dialog.ExitMode;
  sheet_.Common.PowerOff = dialog.PowerOff != 0;
  ChangeUser = dialog.ChangeUser ? AnotherUser{true, dialog.UserName, dialog.Password}
                                 : AnotherUser{};
  const int mode = sheet_.Common.ExitMode;

  if (save) {
    if (ChangeUser.ChangeUser) {
      Warn(context, std::string(app::kMsgNotBuilt) + "別ユーザーで行う設定の保存 (セクション " +
                        PlaceSection(place) + ", 場所: " + place.Name +
                        ")。設定は保存されていません");
      return ApplyResult::NotBuilt;
    }
    if (!sheet_.SaveAll()) return ApplyResult::Failed;
  }
  if (mode == 3) return ApplyResult::Done;

  // A: the highest adapter result; P: the place-wide one, equal to the PC.
  uint32_t adapters = 2, placeWide = 2;
  if (context.DiffCheck) {
    sheet_.CompareWithPc(place);
    adapters = 0;
    for (const auto& adapter : sheet_.Adapters)
      if (const config::AdapterSettings* s = sheet_.FindAdapterSettings(place, *adapter))
        adapters = std::max(adapters, s->ChangeKind);
    placeWide = 0;
  }

  if (mode == 2) {
    if (context.DiffCheck && adapters == 0 && placeWide == 0) {
      Show(context, kMsgNothingToChange, platform::MessageIcon::Information);
      return ApplyResult::Done;
    }
    if (ChangeUser.ChangeUser) return Relogon(place, 2, true);
    return RunChangeBatch(sheet_, place) ? ApplyResult::Done : ApplyResult::Failed;
  }
  if (ChangeUser.ChangeUser)
    return Relogon(place, mode, context.DiffCheck && adapters < 2 && placeWide < 2);

  const bool nothingDiffers = context.DiffCheck && adapters == 0 && placeWide == 0;
  if (nothingDiffers) {
    if (!Ask(context, mode == 0 ? kMsgNothingToChangeShutDown : kMsgNothingToChangeRestart))
      return ApplyResult::Done;
  } else if (context.DiffCheck && adapters <= 1 && placeWide <= 1 && mode == 1) {
    if (Ask(context, kMsgChangeWithoutRestart))
      return RunChangeBatch(sheet_, place) ? ApplyResult::Done : ApplyResult::Failed;
  }

  if (nothingDiffers) {
    // The restart anyway: the place has no programs to queue (see the top
    // of the header), but actions queued before still want the shortcut.
    CreateResumeShortcut(context, place);
  } else if (!ApplyWithRestart(place)) {
    context.PostQuit(1);
    return ApplyResult::Failed;
  }
  return app::ExitWindowsWithPrivilege(context, ExitRequestFlags(mode, sheet_.Common.PowerOff))
             ? ApplyResult::Done
             : ApplyResult::Failed;
}

ApplyResult CApplyFlow::Relogon(const config::Place& place, int mode, bool withoutRestart) {
  Context& context = sheet_.GetContext();
  app::RelogonAs(context, place.Name, mode, ChangeUser.ChangeUserName,
                 ChangeUser.ChangeUserPassword, withoutRestart);
  // A refused relogon or log off has posted the quit request with code 1.
  return context.QuitCode() ? ApplyResult::Failed : ApplyResult::Done;
}

bool CApplyFlow::ApplyWithRestart(const config::Place& place) {
  Context& context = sheet_.GetContext();
  platform::Platform& platform = context.Platform();

  std::unique_ptr<platform::IToken> token;
  if (!IsAdministrator(platform)) {
    ui::CDlgUserPassword dialog;
    dialog.Message = kMsgLogonPrompt;
    dialog.Focus = 1;
    // GetUserNameA into 64 bytes fails for a longer name: nothing filled in.
    if (std::string user; platform.system.GetUserName(user) && user.size() <= kMaxLogonUserName)
      dialog.UserName = user;
    if (!logonDialog_.DoModal(dialog)) {
      Error(context, kMsgLogonCancelled);
      return false;
    }
    if (dialog.UserName.size() > kMaxLogonUserName) {
      Error(context, kMsgLogonUserTooLong);
      return false;
    }
    if (dialog.Password.size() > kMaxLogonPassword) {
      Error(context, kMsgLogonPasswordTooLong);
      return false;
    }
    long error = 0;
    token = platform.session.LogOn(dialog.UserName, ".", dialog.Password, error);
    if (!token) {
      Error(context, FormatErrorCode(kFmtLogonUserError, error));
      return false;
    }
    if (!platform.session.Impersonate(*token, error)) {
      Error(context, FormatErrorCode(kFmtImpersonateError, error));
      return false;  // the token closes here
    }
  }

  const bool written = WritePlaceToPC(place);
  if (token) {
    // Also after a failed write: the program must not go on as the other
    // account.
    long error = 0;
    if (!platform.session.RevertToSelf(error)) {
      Error(context, FormatErrorCode(kFmtRevertError, error));
      return false;
    }
    token.reset();
  }
  if (!written) return false;
  CreateResumeShortcut(context, place);
  return true;
}

bool CApplyFlow::WritePlaceToPC(const config::Place& place) {
  Context& context = sheet_.GetContext();
  for (const auto& adapter : sheet_.Adapters) {
    const config::AdapterSettings* settings = sheet_.FindAdapterSettings(place, *adapter);
    if (!settings || (context.DiffCheck && settings->ChangeKind == 0)) continue;
    if (!settings->WriteToPc(context)) return false;
  }
  // The place-wide record is written here, and queues its delayed actions,
  // once it exists; until then it equals the PC's (see the header).
  return true;
}

}  // namespace velandra::apply
