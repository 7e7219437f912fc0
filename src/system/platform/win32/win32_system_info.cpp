#include "system/platform/win32/win32_system_info.h"

#include <cstring>
#include <vector>

#include "system/platform/win32/handles.h"

namespace velandra::platform::win32 {

namespace {

// szCSDVersion is 128 bytes and need not end with a zero; at most 127 count.
std::string CsdVersion(const char (&csd)[128]) {
  return std::string(csd, strnlen(csd, sizeof csd - 1));
}

void CopyBasic(const OSVERSIONINFOA& info, OsVersion& version) {
  version.MajorVersion = info.dwMajorVersion;
  version.MinorVersion = info.dwMinorVersion;
  version.BuildNumber = info.dwBuildNumber;
  version.PlatformId = info.dwPlatformId;
  version.ServicePack = CsdVersion(info.szCSDVersion);
}

}  // namespace

bool HasEmbeddedZero(const std::string& text) {
  return text.find('\0') != std::string::npos;
}

bool QueryFileSystemName(const std::string& root, std::string& fs) {
  if (HasEmbeddedZero(root)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  char name[MAX_PATH + 1] = {};
  if (!::GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr,
                               nullptr, name, sizeof name))
    return false;
  fs = name;
  return true;
}

bool Win32SystemInfo::GetVersion(OsVersion& version) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExA(&info)) return false;
  OsVersion result;
  CopyBasic(info, result);
  version = result;
  return true;
}

bool Win32SystemInfo::GetVersionEx(OsVersion& version) {
  OSVERSIONINFOEXA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
  OsVersion result;
  CopyBasic(*reinterpret_cast<const OSVERSIONINFOA*>(&info), result);
  result.ServicePackMajor = info.wServicePackMajor;
  result.SuiteMask = info.wSuiteMask;
  result.ProductType = info.wProductType;
  version = result;
  return true;
}

std::string Win32SystemInfo::ModuleFileName() {
  // A path longer than the buffer comes back cut (on XP without its zero);
  // grow until it fits rather than hand out a wrong path.
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::vector<char> buffer(size);
    DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), size);
    if (n == 0) return {};
    if (n < size) return std::string(buffer.data(), n);
  }
  return {};
}

std::string Win32SystemInfo::SystemDirectory() {
  std::vector<char> buffer(MAX_PATH);
  UINT n = ::GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
  if (n >= buffer.size()) {  // too small: n is the size needed
    buffer.resize(n);
    n = ::GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n >= buffer.size()) return {};
  }
  return std::string(buffer.data(), n);
}

bool Win32SystemInfo::GetComputerName(std::string& name) {
  char buffer[256];
  DWORD size = sizeof buffer;
  if (!::GetComputerNameA(buffer, &size)) return false;
  name.assign(buffer, size);
  return true;
}

bool Win32SystemInfo::SetComputerName(const std::string& name) {
  if (HasEmbeddedZero(name)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return ::SetComputerNameA(name.c_str()) != FALSE;
}

bool Win32SystemInfo::GetUserName(std::string& name) {
  char buffer[256];  // UNLEN + 1
  DWORD size = sizeof buffer;
  if (!::GetUserNameA(buffer, &size)) return false;
  name = buffer;  // size counts the terminating zero
  return true;
}

bool Win32SystemInfo::GetFileSystemName(const std::string& root, std::string& fs) {
  return QueryFileSystemName(root, fs);
}

uint32_t Win32SystemInfo::GetDriveType(const std::string& root) {
  if (HasEmbeddedZero(root)) return DRIVE_NO_ROOT_DIR;
  return ::GetDriveTypeA(root.c_str());
}

void Win32SystemInfo::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace velandra::platform::win32
