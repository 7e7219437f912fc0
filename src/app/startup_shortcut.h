// The shortcut "Velandra.lnk" in the common Startup folder, which starts
// the program again after the next logon.
#pragma once
#include <string>

#include "system/platform/platform.h"

namespace velandra::app {

inline constexpr char kStartupShortcutName[] = "\\Velandra.lnk";

// Full path of the shortcut; false when the Startup folder cannot be had.
bool StartupShortcutPath(platform::Platform& platform, std::string& path);

// Deletes the shortcut; a missing one is no error.
void DeleteStartupShortcut(platform::Platform& platform);

// Creates (or replaces) the shortcut: target the running executable, the
// given arguments, working directory the executable's folder, description
// "Velandra"; COM is initialised and released around it, and nothing is
// made when that fails. On an NTFS volume Everyone may then delete it, and
// nothing more (see the .cpp). False when no shortcut was made.
bool CreateStartupShortcut(platform::Platform& platform, const std::string& arguments);

// The arguments of the shortcut that carries out the delayed actions:
// -r "place".
std::string ResumeArguments(const std::string& placeName);

inline constexpr char kMsgShortcutNotCreated[] =
    "スタートアップのショートカットを作成できませんでした";
// Followed by the place name: the name cannot be passed in the shortcut.
inline constexpr char kMsgPlaceNameNotPassable[] =
    "この場所の名前はコマンドラインで次の起動に渡せません"
    "(二重引用符を含む名前とオプションと同じ名前は使えません): ";

// Whether the next start reads `placeName` back from "place" in the
// shortcut's arguments, and nothing else from it: a double quote inside
// would end it early (and take the options after it into the name), and a
// name that is an option word would set that option too.
bool FitsShortcutArguments(const std::string& placeName);

}  // namespace velandra::app
