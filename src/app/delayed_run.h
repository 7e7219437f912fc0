// The start with -r: the delayed action queue carried out for the place.
#pragma once

#include "config/place_settings.h"
#include "system/platform/platform.h"

namespace velandra::ui {
class CVelandraSheet;
class IUserPasswordDialog;
}  // namespace velandra::ui

namespace velandra::app {

inline constexpr char kMsgDomainSwitchFailed[] = "ドメインの切り替えに失敗しました";

// Carries out every queued action for the sheet's CurrentPlace, in slot
// order, then deletes the queue and the Startup shortcut (except after a
// successful domain change, which restarts Windows and leaves the rest for
// the next start, and when the Winlogon key fails).
void RunDelayedActions(ui::CVelandraSheet& sheet, ui::IUserPasswordDialog& credentials);

// Starts one program entry through the shell, not waiting for it; nothing
// when its path does not exist.
void StartProgramEntry(platform::Platform& platform, const config::ProgramEntry& entry);

}  // namespace velandra::app
