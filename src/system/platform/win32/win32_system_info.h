// ISystemInfo over kernel32 and advapi32.
#pragma once
#include <cstdint>
#include <string>

#include "system/platform/system_info.h"

namespace velandra::platform::win32 {

// GetVolumeInformationA(root): the file system name. False (last error set)
// when the volume cannot be queried.
bool QueryFileSystemName(const std::string& root, std::string& fs);

// The Win32 A functions refuse text with an embedded zero byte: passed on,
// it would name a shorter path or name than the caller meant.
bool HasEmbeddedZero(const std::string& text);

class Win32SystemInfo : public ISystemInfo {
 public:
  bool GetVersion(OsVersion& version) override;
  bool GetVersionEx(OsVersion& version) override;
  std::string ModuleFileName() override;
  std::string SystemDirectory() override;
  bool GetComputerName(std::string& name) override;
  bool SetComputerName(const std::string& name) override;
  bool GetUserName(std::string& name) override;
  bool GetFileSystemName(const std::string& root, std::string& fs) override;
  uint32_t GetDriveType(const std::string& root) override;
  void Sleep(uint32_t milliseconds) override;
};

}  // namespace velandra::platform::win32
