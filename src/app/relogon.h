// Applying a place as another (administrator) account: automatic logon of
// that account, a Startup shortcut that continues the work, and a log off.
#pragma once
#include <cstdint>
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

// Followed by the configuration file's path: the removal of the password
// could not be queued, so no automatic logon is set.
inline constexpr char kMsgAutoLogonNotQueued[] =
    "設定ファイルに書き込めなかったため、自動ログオンを設定しません: ";

// The shortcut's arguments for the start after the logon: -p "place", then
// " -s" for mode 0 (shut down), else " -relogon" when `withoutRestart`.
std::string RelogonArguments(const std::string& placeName, int mode, bool withoutRestart);

// Creates the Startup shortcut with RelogonArguments, queues
// "DisableAutoLogon" at the end of the delayed actions, writes the
// automatic logon of `user` on this computer (AutoAdminLogon and
// ForceAutoLogon "1", DefaultUserName, DefaultPassword, DefaultDomainName
// and AltDefaultDomainName the computer name) and logs off.
//
// The queued action makes the -r start that follows the second start
// (whichever it is: -p, -p -s or -relogon all leave a -r shortcut when
// something is queued) remove the password again. Without the shortcut or
// the queued action nothing would ever remove it, so when either cannot be
// made, or the place name cannot be passed in the shortcut, a warning is
// shown, a quit request with code 1 is posted and nothing is written and
// no log off is asked for. Write errors of the Winlogon values are not
// reported; a Winlogon key that does not open leaves the values unwritten
// and the log off still happens.
void RelogonAs(Context& context, const std::string& placeName, int mode,
               const std::string& user, const std::string& password, bool withoutRestart);

// The values of a place's section P<n> that its automatic logon needs,
// read as the place-wide record reads them: DefaultPassword decoded,
// LogonPlace FALSE only for "FALSE", DomainName empty when missing.
struct PlaceLogon {
  std::string DefaultUserName;
  std::string DefaultPassword;
  bool LogonPlace = true;
  std::string DomainName;
  std::string ComputerName;
};

// False when the record would take these values from the PC instead of the
// section: one of the keys the record cannot do without (PrimarySuffix,
// PrimaryParentSuffix, EnableLMHOSTS not "TRUE"/"FALSE"; DNS_Suffix or
// ComputerName missing), or one of the logon group (DefaultUserName,
// AutoAdminLogon, DefaultPassword, DisableCAD) missing. During a relogon
// the PC's logon values are those of the account that runs the change.
bool ReadPlaceLogon(const config::ConfigFile& config, uint32_t placeNumber, PlaceLogon& logon);

// The relogon stage (-relogon), as the other account after the automatic
// logon:
// 1. The change batch for the place (a failure is shown by it; the stage
//    goes on, as the account's automatic logon must be undone).
// 2. "DisableAutoLogon" queued at the end of the delayed actions.
// 3. When something is queued, the Startup shortcut -r "place".
// 4. The automatic logon of the place's own user (ReadPlaceLogon), domain
//    DomainName when LogonPlace is set, else ComputerName. When the section
//    does not give that user (ReadPlaceLogon false), no user is made up:
//    AutoAdminLogon "0" is written and DefaultPassword and ForceAutoLogon
//    are deleted at once, so the next logon is made by hand and the -r
//    shortcut runs then. The same is done when step 2 or 3 failed, as then
//    nothing would remove the password later (a warning says so).
//    Winlogon failures are not reported.
// 5. Log off.
// False when the batch or the log off failed, or the place name cannot be
// passed in the shortcut (then nothing is done); a message has been shown.
bool RunRelogonStage(ui::CVelandraSheet& sheet, const config::Place& place);

}  // namespace velandra::app
