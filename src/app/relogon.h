// Applying a place as another (administrator) account: automatic logon of
// that account, a Startup shortcut that continues the work, and a log off.
#pragma once
#include <string>

#include "system/context.h"

namespace velandra::ui {
class CVelandraSheet;
}
namespace velandra::config {
struct Place;
}

namespace velandra::app {

// The Winlogon key under HKEY_LOCAL_MACHINE.
inline constexpr char kWinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// The shortcut's arguments for the start after the logon: -p "place", then
// " -s" for mode 0 (shut down), else " -relogon" when `withoutRestart`.
std::string RelogonArguments(const std::string& placeName, int mode, bool withoutRestart);

// Writes the automatic logon of `user` on this computer, creates the
// Startup shortcut with RelogonArguments, queues "DisableAutoLogon" (so the
// password written is removed again after the logon) and logs off.
void RelogonAs(Context& context, const std::string& placeName, int mode,
               const std::string& user, const std::string& password, bool withoutRestart);

// The relogon stage (-relogon), as the other account after the automatic
// logon: the change batch, "DisableAutoLogon" queued, the automatic logon
// of the place's own user, the -r shortcut, log off. False when it could
// not be done (a message has been shown).
bool RunRelogonStage(ui::CVelandraSheet& sheet, const config::Place& place);

}  // namespace velandra::app
