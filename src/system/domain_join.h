// Domain and workgroup membership: the membership test, leaving the old
// domain, joining a domain (asking for an account when the stored one
// fails, and offering to keep the one that worked), the logon domain at the
// logon screen, and the switch to a workgroup.
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

// True when the PC is a domain member, and also when that cannot be found out.
bool IsDomainMember(platform::Platform& platform);
// Joins `domain`; the result of the last join call (0 success). The record
// gives LogonPlace, ComputerName, DisableCAD and its place's section.
long JoinDomain(Context& context, const config::PlaceSettings& record, const std::string& domain,
                const std::string& user, const std::string& password,
                ui::IUserPasswordDialog& credentials);
// Joins the record's WorkgroupName; reports its own failure.
void SwitchToWorkgroup(Context& context, const config::PlaceSettings& record);

}  // namespace velandra
