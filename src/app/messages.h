// The start-up's message texts, exactly as the program shows them.
#pragma once
#include "system/platform/messages.h"

namespace velandra::app {

inline constexpr char kMsgWindowsOnly[] = "このソフトウエアはWindows2000/XP専用です";
inline constexpr char kMsgNoAdministrator[] =
    "Administrator権限を持っていないので、実行できません";
inline constexpr char kMsgBadArguments[] = "引数の内容が正しくありません";
inline constexpr char kMsgPlaceNotFound[] = "指定された場所の名前が見つかりません";
// The program's folder is too deep for a 260-character configuration path.
inline constexpr char kMsgConfigPathTooLong[] =
    "設定ファイルのパスが長すぎるため、実行できません";
// Prefix of the message for a mode that this build does not have yet.
inline constexpr char kMsgNotBuilt[] = "この機能はまだ実装されていません: ";

}  // namespace velandra::app
