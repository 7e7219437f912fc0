// The running Windows' version record, fixed once at start.
#pragma once
#include <cstdint>
#include <string>

#include "system/platform/system_info.h"

namespace velandra {

struct OsInfo {
  uint32_t MajorVersion = 0;
  uint32_t MinorVersion = 0;
  uint32_t PlatformId = 0;
  std::string ServicePack;  // e.g. "Service Pack 1", at most 127 characters
  uint16_t SuiteMask = 0;   // from the extended query, only on version 5
  uint8_t ProductType = 0;  // 1 workstation, 3 server; only on version 5

  bool IsWindows2000() const { return MajorVersion == 5 && MinorVersion == 0; }
  bool IsWindowsXp() const { return MajorVersion == 5 && MinorVersion == 1; }
};

// The basic version query, and the extended one only when the major
// version is 5 (SuiteMask and ProductType stay 0 otherwise).
OsInfo ReadOsInfo(platform::ISystemInfo& system);

}  // namespace velandra
