// The place's entry of the companion proxy switcher Brisco: what the
// companion offers (found on the PC, system/proxy_companion.h) and which of
// its entries the place selects, stored as ProxyName and DisableProxy in
// the place's section P<n>.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"

namespace velandra::config {

// The entry appended after the companion's own: leave the proxy off. The
// companion is told "NONE" for it.
inline constexpr char kNoProxyEntry[] = "プロキシ無";
inline constexpr char kNoProxyArgument[] = "NONE";

struct ProxyChoice {
  // The companion was found and its entries read; nothing else is used
  // while this is false.
  bool Installed = false;
  std::string InstallDir;  // ends with a backslash
  uint32_t Version = 0;
  std::string ProxyName;
  std::vector<std::string> ProxyNames;  // the companion's, then kNoProxyEntry
  int32_t Selected = 0;  // the companion's own selection, from 1; 0 for none
  bool DisableProxy = false;

  // ProxyName and DisableProxy from `section`; without a ProxyName key, the
  // companion's own selection (SelectDefault). Nothing when not Installed.
  void ReadFromConfig(const ConfigFile& file, std::string_view section);
  // The entry numbered Selected, else the no-proxy entry; DisableProxy off.
  void SelectDefault();
  // Both keys into `section`. Nothing (and true) when not Installed, so a
  // place keeps its stored entry while the companion is absent. False when
  // a write failed.
  bool WriteToConfig(const ConfigFile& file, std::string_view section) const;

  // InstallDir + "BRISCO.EXE".
  std::string CompanionProgram() const;
  // The entry as the companion's /S: takes it: "NONE" for the no-proxy entry.
  std::string CompanionEntry() const;
  // Installed and not disabled: the companion is to be run.
  bool RunsCompanion() const { return Installed && !DisableProxy; }
};

bool operator==(const ProxyChoice& a, const ProxyChoice& b);

}  // namespace velandra::config
