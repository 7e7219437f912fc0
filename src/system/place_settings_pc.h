// A place's place-wide settings and the PC: read from the registry and the
// system, compared group by group, written to the registry with the work
// that must wait for the restart queued as delayed actions.
#pragma once
#include <cstdint>

#include "config/place_settings.h"
#include "system/context.h"

namespace velandra::ui {
class IUserPasswordDialog;
}

namespace velandra {

// Messages (exclamation icon, OK, the program's caption).
inline constexpr char kMsgDomainInfoError[] = "ドメイン／ワークグループ情報の取得でエラーが発生しました";
inline constexpr char kMsgDomainJoinFailed[] = "ドメインの接続に失敗しました";

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
// asks for an account when the stored one fails to join the domain.
bool WriteToPC(Context& context, const config::PlaceSettings& record,
               ui::IUserPasswordDialog& credentials);
// The logon group into the Winlogon key; false after an open or write error.
bool WriteWinlogon(Context& context, const config::PlaceSettings& record);

}  // namespace velandra
