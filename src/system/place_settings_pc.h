// A place's place-wide settings and the PC: read from the registry and the
// system, compared group by group, written to the registry with the work
// that must wait for the restart queued as delayed actions.
//
// Registry texts are ANSI (CP932). Hostname, NV Hostname, the ShellNoRoam
// default value and srvcomment are written without their terminating zero
// (the byte count is the bare length); every other string with it.
//
// Beyond the plain steps:
// - A SearchList or srvcomment longer than the record holds (255 bytes) is
//   reported as a failed read of that value and taken as missing, never cut.
// - A DNS suffix list that joins to more than 255 characters is refused
//   with the SearchList write message before anything is written.
// - An action that cannot be queued (the configuration file is not
//   writable) is reported. For the delayed join nothing is prepared then
//   and the write ends with false; a one-time automatic logon whose removal
//   cannot be queued is not turned on.
// - A computer name that Windows refuses is reported; the write goes on.
// - The place's own logon is left unwritten for a delayed join only when
//   the join was in fact prepared (the domain group was written), since the
//   join writes it after the restart.
#pragma once
#include <cstdint>
#include <string>

#include "config/place_settings.h"
#include "system/context.h"

namespace velandra::ui {
class IUserPasswordDialog;
}

namespace velandra {

// Key paths; the hive is HKEY_LOCAL_MACHINE except for ShellNoRoam
// (HKEY_CURRENT_USER).
inline constexpr char kTcpipParametersPath[] =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline constexpr char kNetBtParametersPath[] =
    "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters";
inline constexpr char kLanmanServerParametersPath[] =
    "SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";
inline constexpr char kWinlogonPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr char kShellNoRoamPath[] = "Software\\Microsoft\\Windows\\ShellNoRoam";

// The longest SearchList, Hostname, srvcomment and Winlogon text read.
inline constexpr size_t kPlaceRegistryTextMax = 255;

// Messages (exclamation icon, OK, the program's caption).
inline constexpr char kMsgDomainInfoError[] = "ドメイン／ワークグループ情報の取得でエラーが発生しました";
inline constexpr char kMsgDomainJoinFailed[] = "ドメインの接続に失敗しました";
// Followed by the name: SetComputerNameA refused it.
inline constexpr char kMsgComputerNameRefused[] = "コンピュータ名を設定できませんでした: ";

// The message when the delayed action `action` could not be queued.
std::string DelayedActionNotQueuedMessage(const std::string& action,
                                          const std::string& configPath);

// Fills the record from the PC; never fails (a key that does not open shows
// its message and asks the program to quit, the defaults stand).
void ReadFromPC(Context& context, config::PlaceSettings& record, bool snapshotHostsFiles);
// The logon group from the Winlogon key.
void ReadWinlogon(Context& context, config::PlaceSettings& record);
// SrvComment from the lanmanserver key; empty when it does not open.
void ReadServerComment(Context& context, config::PlaceSettings& record);

// The comparison of a stored record with one read from the PC, without
// touching the PC except for the hosts files' contents: Same and
// ChangeKind.
struct PlaceComparison {
  config::PlaceGroupFlags Same{};
  uint32_t ChangeKind = 2;
};
PlaceComparison ComparePlaceSettings(Context& context, const config::PlaceSettings& place,
                                     const config::PlaceSettings& pc);
// Builds a fresh record from the PC (no hosts snapshot), sets the record's
// Same and ChangeKind, and returns ChangeKind.
uint32_t CompareWithPC(Context& context, config::PlaceSettings& record);

// Writes the place into the registry and queues the delayed actions. False
// after an open or write error of the DNS, LMHOSTS or computer groups (or
// of the delayed-join logon); earlier groups stay written. `credentials`
// asks for an account when the stored one fails to join the domain; when
// that question is cancelled the quit request is posted and the result is
// false at once.
bool WriteToPC(Context& context, const config::PlaceSettings& record,
               ui::IUserPasswordDialog& credentials);
// The logon group into the Winlogon key; false after an open or write error.
bool WriteWinlogon(Context& context, const config::PlaceSettings& record);

}  // namespace velandra
