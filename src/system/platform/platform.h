// Everything the system asks of Windows, in one place. A backend (the real
// Win32 calls, or a simulated PC) owns the parts and hands out this view.
#pragma once

#include "system/platform/accounts.h"
#include "system/platform/domain.h"
#include "system/platform/files.h"
#include "system/platform/messages.h"
#include "system/platform/network_drives.h"
#include "system/platform/printers.h"
#include "system/platform/processes.h"
#include "system/platform/profile.h"
#include "system/platform/registry.h"
#include "system/platform/session.h"
#include "system/platform/shares.h"
#include "system/platform/shell.h"
#include "system/platform/system_info.h"

namespace velandra::platform {

struct Platform {
  IProfile& profile;
  IRegistry& registry;
  ISystemInfo& system;
  IAccounts& accounts;
  IFiles& files;
  IShell& shell;
  IMessages& messages;
  IProcesses& processes;
  ISession& session;
  INetworkDrives& drives;
  IPrinters& printers;
  IShares& shares;
  IDomain& domain;
};

}  // namespace velandra::platform
