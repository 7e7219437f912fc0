// Ending Windows: log off, shut down, restart or power off, with the
// shutdown privilege enabled first.
#pragma once
#include <cstdint>

#include "system/context.h"

namespace velandra::app {

inline constexpr char kMsgTokenFailed[] = "アクセストークンの取得でエラーが発生しました";
inline constexpr char kMsgPrivilegeNameFailed[] = "特権名の取得でエラーが発生しました";
inline constexpr char kMsgPrivilegeFailed[] = "アクセストークンを有効にできませんでした";
inline constexpr char kMsgExitFailed[] = "シャットダウン処理でエラーが発生しました";

// Enables the shutdown privilege and asks Windows to end with `flags`
// (platform::kExitLogOff, kExitShutdown, kExitReboot, kExitPowerOff). Each
// failure is shown (warning icon, owner the main window) and posts a quit
// request with code 1; the exit call is still tried. True when Windows
// accepted the request.
bool ExitWindowsWithPrivilege(Context& context, uint32_t flags);

}  // namespace velandra::app
