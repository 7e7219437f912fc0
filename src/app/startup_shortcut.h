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

}  // namespace velandra::app
