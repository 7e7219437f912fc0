// The queue of actions carried out after the restart: section DelayAction
// of Velandra.ini. ActionCount is the last slot in use; Action00 is the
// front slot, Action01... ("Action%02d") the ones queued at the end.
#pragma once
#include <string>
#include <string_view>

#include "config/config_file.h"

namespace velandra::app {

inline constexpr char kDelayActionSection[] = "DelayAction";
inline constexpr char kActionDone[] = "DONE";

// The action names.
inline constexpr char kActionChangeDomain[] = "ChangeDomain";
inline constexpr char kActionExecuteChangeProxy[] = "ExecuteChangeProxy";
inline constexpr char kActionConnectNetworkDrive[] = "ConnectNetworkDrive";
inline constexpr char kActionDefaultPrinter[] = "DefaultPrinter";
inline constexpr char kActionNetShare[] = "NetShare";
inline constexpr char kActionExecuteProgram[] = "ExecuteProgram";
inline constexpr char kActionDisableAutoLogon[] = "DisableAutoLogon";

// Queues `name` at the end, or in the front slot. False when a write failed.
bool AddDelayedAction(const config::ConfigFile& config, std::string_view name, bool atFront);

// ActionCount, -1 when nothing is queued.
int DelayedActionCount(const config::ConfigFile& config);

// The key of slot `slot`: "Action%02d".
std::string ActionSlotKey(int slot);

}  // namespace velandra::app
