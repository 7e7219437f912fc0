#include "system/os_info.h"

namespace velandra {

OsInfo ReadOsInfo(platform::ISystemInfo& system) {
  OsInfo info;
  platform::OsVersion v;
  if (!system.GetVersion(v)) return info;
  info.MajorVersion = v.MajorVersion;
  info.MinorVersion = v.MinorVersion;
  info.PlatformId = v.PlatformId;
  info.ServicePack = v.ServicePack.substr(0, 127);
  if (v.MajorVersion == 5) {
    platform::OsVersion ex;
    if (system.GetVersionEx(ex)) {
      info.SuiteMask = ex.SuiteMask;
      info.ProductType = ex.ProductType;
    }
  }
  return info;
}

}  // namespace velandra
