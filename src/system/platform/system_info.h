// Facts about the running Windows and the process (kernel32, advapi32).
#pragma once
#include <cstdint>
#include <string>

namespace velandra::platform {

// OSVERSIONINFOEXA, as far as the system reads it.
struct OsVersion {
  uint32_t MajorVersion = 0;
  uint32_t MinorVersion = 0;
  uint32_t BuildNumber = 0;
  uint32_t PlatformId = 0;       // 2 = NT family
  std::string ServicePack;       // szCSDVersion, at most 127 characters
  uint16_t ServicePackMajor = 0;
  uint16_t SuiteMask = 0;
  uint8_t ProductType = 0;       // 1 workstation, 2 domain controller, 3 server
};

class ISystemInfo {
 public:
  virtual ~ISystemInfo() = default;

  // GetVersionExA with OSVERSIONINFOA: the basic fields only.
  virtual bool GetVersion(OsVersion& version) = 0;
  // GetVersionExA with OSVERSIONINFOEXA: adds ServicePackMajor, SuiteMask and
  // ProductType. Fails on systems before NT 4 SP6.
  virtual bool GetVersionEx(OsVersion& version) = 0;

  // GetModuleFileNameA(NULL): full path of the running executable.
  virtual std::string ModuleFileName() = 0;
  // GetSystemDirectoryA, e.g. "C:\WINDOWS\system32".
  virtual std::string SystemDirectory() = 0;
  // GetComputerNameA: false when it fails.
  virtual bool GetComputerName(std::string& name) = 0;
  // SetComputerNameA: takes effect at the next restart.
  virtual bool SetComputerName(const std::string& name) = 0;
  // GetUserNameA: the logged-on user of this process.
  virtual bool GetUserName(std::string& name) = 0;
  // GetVolumeInformationA(root): the file system name ("NTFS", "FAT32").
  virtual bool GetFileSystemName(const std::string& root, std::string& fs) = 0;
  // GetDriveTypeA(root): one of kDrive*.
  virtual uint32_t GetDriveType(const std::string& root) = 0;
  // Sleep(ms).
  virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace velandra::platform
