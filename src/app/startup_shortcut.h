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
// made when that fails. Then a later start must be able to remove it: see
// the .cpp for the access granted. False when no shortcut was made.
bool CreateStartupShortcut(platform::Platform& platform, const std::string& arguments);

// The arguments of the shortcut that carries out the delayed actions:
// -r "place".
std::string ResumeArguments(const std::string& placeName);

}  // namespace velandra::app
