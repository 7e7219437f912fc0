// Domain and workgroup membership: the membership test, leaving the old
// domain, joining a domain (asking for an account when the stored one
// fails, and offering to keep the one that worked), the logon domain at the
// logon screen, and the switch to a workgroup.
//
// Joins take effect at the next restart. Cancelling the account question
// ends the program: there is no ExitProcess in the platform layer, so the
// join posts the quit request with exit code 1 and returns
// kJoinDomainCancelled; a caller that gets it returns at once, doing and
// showing nothing more, and so does every caller up to the top, which ends
// the run with the quit code.
#pragma once
#include <string>

#include "config/place_settings.h"
#include "system/context.h"

namespace velandra::ui {
class IUserPasswordDialog;
}

namespace velandra {

inline constexpr char kMsgJoinPrompt[] =
    "ドメインに接続するためのユーザーとパスワードを入力してください";
inline constexpr char kMsgJoinSaveCredentials[] =
    "ドメインの参加に成功しました。\r\nこのユーザーとパスワードを認証ユーザーとして保存しますか？";
inline constexpr char kMsgWorkgroupSwitchFailed[] = "ワークグループの切り替えに失敗しました";
// The account question cancelled (stop icon); the program ends.
inline constexpr char kMsgJoinCredentialsCancelled[] = "ユーザー名とパスワードが入力してください";
// A typed entry longer than the join takes: refused, not cut; no second join.
inline constexpr size_t kMaxJoinUserName = 127;
inline constexpr size_t kMaxJoinPassword = 127;
inline constexpr char kMsgJoinUserTooLong[] =
    "ユーザー名が長すぎます。127バイトまでで入力してください";
inline constexpr char kMsgJoinPasswordTooLong[] =
    "パスワードが長すぎます。127バイトまでで入力してください";
// Followed by the configuration file's path: the account that worked was
// not kept.
inline constexpr char kMsgJoinCredentialsNotSaved[] =
    "設定ファイルに書き込めなかったため、認証ユーザーを保存できませんでした: ";

// JoinDomain's result when the account question was cancelled: no
// NET_API_STATUS, the run is ending (see above).
inline constexpr long kJoinDomainCancelled = -1;

// True when the PC is a domain member, and also when that cannot be found out.
bool IsDomainMember(platform::Platform& platform);
// Joins `domain`; the result of the last join call (0 success), or
// kJoinDomainCancelled. The record gives LogonPlace, ComputerName,
// DisableCAD and its place's section.
long JoinDomain(Context& context, const config::PlaceSettings& record, const std::string& domain,
                const std::string& user, const std::string& password,
                ui::IUserPasswordDialog& credentials);
// Joins the record's WorkgroupName; reports its own failure. After a
// switch that worked the logon domain (DefaultDomainName and
// AltDefaultDomainName) is the record's ComputerName, so that no logon goes
// to the domain just left. Returns the join call's result (0 success; 5,
// access denied, is not shown).
long SwitchToWorkgroup(Context& context, const config::PlaceSettings& record);

}  // namespace velandra
