// The local user accounts offered by the user-name drop-down lists.
#pragma once
#include <string>
#include <vector>

#include "system/platform/platform.h"

namespace velandra {

inline constexpr char kMsgUserListFailed[] = "ユーザー一覧が取得できませんでした";
// One answer of the account database holds at most this many entries.
inline constexpr uint32_t kMaxListedUsers = 1000;

// The names (CP932, each at most 255 bytes) in the database's order. One
// query only: a PC with more accounts than one answer holds is a failure.
// False on failure, `names` then empty; the caller shows kMsgUserListFailed.
bool ListLocalUsers(platform::IAccounts& accounts, std::vector<std::string>& names);

}  // namespace velandra
