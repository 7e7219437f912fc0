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
#include "config/place_settings.h"
#include "system/place_settings_pc.h"
#include "system/utilities.h"
#include "ui/dlg_exit.h"
#include "ui/dlg_user_password.h"
#include "ui/velandra_sheet.h"

namespace velandra::apply {

namespace {

platform::MessageAnswer Show(Context& context, const std::string& text, platform::MessageIcon icon,
                             platform::MessageButtons buttons = platform::MessageButtons::Ok) {
  return context.Platform().messages.Show(platform::MessageOwner::MainWindow, text, kCaption, icon,
                                          buttons);
}

void Error(Context& context, const std::string& text) {
  Show(context, text, platform::MessageIcon::Error);
}

bool Ask(Context& context, const char* question) {
  return Show(context, question, platform::MessageIcon::Question,
              platform::MessageButtons::YesNo) == platform::MessageAnswer::Yes;
}

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

uint32_t ExitRequestFlags(int exitMode, bool powerOff) {
  if (exitMode != 0) return platform::kExitReboot;
  return powerOff ? platform::kExitPowerOff : platform::kExitShutdown;
}

ApplyResult CApplyFlow::ApplyPlace(bool save) {
  Context& context = sheet_.GetContext();
  config::Place& place = *sheet_.CurrentPlace;
  config::PlaceSettings* record = sheet_.FindPlaceSettings(place);
  if (!record) {
    Warn(context, kMsgNoPlaceRecord + place.Name);
    return ApplyResult::Failed;
  }
  if (!exitDialog_) {
    Warn(context, std::string(app::kMsgNotBuilt) + kMsgNoExitDialog);
    return ApplyResult::NotBuilt;
  }

  ui::CDlgExit dialog(context.Platform(), sheet_.Common.ExitMode, sheet_.Common.PowerOff);
  if (record->ChangeUser) {
    dialog.ChangeUser = 1;
    dialog.UserName = record->ChangeUserName;
    dialog.Password = record->ChangeUserPassword;
  }
  switch (exitDialog_->DoModal(dialog)) {
    case ui::DialogResult::Ok: break;
    case ui::DialogResult::Cancel: return ApplyResult::Done;
    case ui::DialogResult::Failed: return ApplyResult::Failed;
  }
  sheet_.Common.ExitMode = dialog.ExitMode;
  sheet_.Common.PowerOff = dialog.PowerOff != 0;
  record->ChangeUser = dialog.ChangeUser != 0;
  record->ChangeUserName = record->ChangeUser ? dialog.UserName : std::string();
  record->ChangeUserPassword = record->ChangeUser ? dialog.Password : std::string();
  const int mode = sheet_.Common.ExitMode;

  if (save && !sheet_.SaveAll()) return ApplyResult::Failed;
  if (mode == 3) return ApplyResult::Done;

  // A: the highest adapter result; P: the place-wide one.
  uint32_t adapters = 2, placeWide = 2;
  if (context.DiffCheck) {
    sheet_.CompareWithPc(place);
    adapters = 0;
    for (const auto& adapter : sheet_.Adapters)
      if (const config::AdapterSettings* s = sheet_.FindAdapterSettings(place, *adapter))
        adapters = std::max(adapters, s->ChangeKind);
    placeWide = CompareWithPC(context, *record);
  }

  if (mode == 2) {
    if (context.DiffCheck && adapters == 0 && placeWide == 0) {
      Show(context, kMsgNothingToChange, platform::MessageIcon::Information);
      return ApplyResult::Done;
    }
    if (record->ChangeUser) return Relogon(*record, 2, true);
    return RunChangeBatch(sheet_, place) ? ApplyResult::Done : ApplyResult::Failed;
  }
  if (record->ChangeUser)
    return Relogon(*record, mode, context.DiffCheck && adapters < 2 && placeWide < 2);

  const bool nothingDiffers = context.DiffCheck && adapters == 0 && placeWide == 0;
  if (nothingDiffers) {
    if (!Ask(context, mode == 0 ? kMsgNothingToChangeShutDown : kMsgNothingToChangeRestart))
      return ApplyResult::Done;
  } else if (context.DiffCheck && adapters <= 1 && placeWide <= 1 && mode == 1) {
    if (Ask(context, kMsgChangeWithoutRestart))
      return RunChangeBatch(sheet_, place) ? ApplyResult::Done : ApplyResult::Failed;
  }

  if (nothingDiffers) {
    // The restart anyway: the place's programs still run after it.
    if (!record->Programs.empty())
      app::AddDelayedAction(context.Config(), app::kActionExecuteProgram, false);
    CreateResumeShortcut(context, place);
  } else if (!ApplyWithRestart(place)) {
    context.PostQuit(1);
    return ApplyResult::Failed;
  }
  return app::ExitWindowsWithPrivilege(context, ExitRequestFlags(mode, sheet_.Common.PowerOff))
             ? ApplyResult::Done
             : ApplyResult::Failed;
}

ApplyResult CApplyFlow::Relogon(const config::PlaceSettings& record, int mode,
                                bool withoutRestart) {
  Context& context = sheet_.GetContext();
  app::RelogonAs(context, record.owner.Name, mode, record.ChangeUserName,
                 record.ChangeUserPassword, withoutRestart);
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
  const config::PlaceSettings* record = sheet_.FindPlaceSettings(place);
  if (!record) {
    Warn(context, kMsgNoPlaceRecord + place.Name);
    return false;
  }
  if (context.DiffCheck && record->ChangeKind == 0) return true;
  return WriteToPC(context, *record, logonDialog_);
}

}  // namespace velandra::apply
