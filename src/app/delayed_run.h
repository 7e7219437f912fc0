// The start with -r: the delayed action queue carried out for the place.
#pragma once

#include "config/place_settings.h"
#include "system/context.h"
#include "system/platform/platform.h"

namespace velandra::ui {
class CVelandraSheet;
class IUserPasswordDialog;
}  // namespace velandra::ui

namespace velandra::app {

inline constexpr char kMsgDomainSwitchFailed[] = "ドメインの切り替えに失敗しました";
// Followed by the configuration file's path: the domain change could not be
// marked as done, so no further -r start is arranged (it would join and
// restart again, for ever).
inline constexpr char kMsgDomainDoneNotWritten[] =
    "設定ファイルに書き込めなかったため、再起動後の遅延動作を続けられません: ";

// Carries out every queued action for the sheet's CurrentPlace, in slot
// order, then deletes the queue and the Startup shortcut (except after a
// successful domain change, which restarts Windows and leaves the rest for
// the next start, and when the Winlogon key fails). With nothing queued
// only the queue and the shortcut are deleted; without a CurrentPlace a
// queue that holds actions is left as it is and nothing runs (the caller
// refuses that start). False then, and after a failure that was shown:
// the domain change or the Winlogon key.
//
// The domain change joins the place's domain, or switches a workgroup place
// to its workgroup; the switch counts as failed unless its join call
// returned 0 (access denied included, which the switch does not show).
// After a change that worked the Startup shortcut is made whenever a slot
// still holds an action, counted after the place's logon is written (which
// may queue "DisableAutoLogon"). A cancelled account question ends the run
// at once, the queue kept.
bool RunDelayedActions(ui::CVelandraSheet& sheet, ui::IUserPasswordDialog& credentials);

// The same for a given place-wide record (its owner names the place).
bool RunDelayedActions(Context& context, const config::PlaceSettings& record,
                       ui::IUserPasswordDialog& credentials);

// Starts one program entry through the shell, not waiting for it; nothing
// when its path does not exist or its type is none of program, folder and
// file.
void StartProgramEntry(platform::Platform& platform, const config::ProgramEntry& entry);

}  // namespace velandra::app
