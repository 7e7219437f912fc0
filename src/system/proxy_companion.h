// The companion proxy switcher Brisco on the PC: found through its registry
// key, its entries read from its data file, and run with /S: and an entry.
//
// Where it keeps what (the key paths hold its maker's name and its own):
// - HKLM\Software\Orvane\Brisco: "InstallDir" (string) and "Version" (DWORD).
// - Version above 400: the data file named by "DataFilePath" under
//   HKCU\Software\Orvane\Brisco, an INI file: [BRSCINDEX] ENTRYCNT and
//   PXYNAME001.. (up to 63 characters each), [BRSCSYSTEM] SELECT.
// - Version 400 or less: "DataFile" under HKLM (below 320) or HKCU (320 and
//   up) names a text file; every line not beginning with "SETTING" gives
//   one entry, the text between its first and second comma.
// Anything that cannot be found or read leaves the companion not installed;
// nothing is reported, as the companion is optional.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "config/proxy_choice.h"
#include "system/platform/platform.h"

namespace velandra {

inline constexpr char kCompanionKey[] = "Software\\Orvane\\Brisco";
inline constexpr char kCompanionProgramName[] = "BRISCO.EXE";
// ENTRYCNT is the companion's; a larger count is taken as this many rather
// than reading the file for ever.
inline constexpr int kMaxCompanionEntries = 999;

// The companion as the PC has it: Installed, InstallDir, Version,
// ProxyNames (the no-proxy entry last) and Selected. ProxyName and
// DisableProxy are left empty and off.
config::ProxyChoice FindCompanion(platform::Platform& platform);

// The entry names of an older data file's text, in its order.
std::vector<std::string> ParseOldCompanionData(std::string_view text);

// Runs the companion with the choice's entry and waits until it has ended,
// when the choice is installed and not disabled. True when it ran to its
// end; false when it was not to be run or could not be started (which the
// caller does not report).
bool RunCompanion(platform::IProcesses& processes, const config::ProxyChoice& choice);

// The command line RunCompanion starts: the program path in quotes, then
// "/S:" and the entry, unquoted as the companion reads it.
std::string CompanionCommandLine(const config::ProxyChoice& choice);

// A few lines (CP932) for a report: installed or not, the entries, the
// place's entry and whether the companion is run.
std::string DescribeProxyChoice(const config::ProxyChoice& choice);

}  // namespace velandra
