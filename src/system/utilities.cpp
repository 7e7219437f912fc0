#include "system/utilities.h"

#include <vector>

#include "system/platform/text.h"

namespace velandra {


std::string GetExeDirectory(platform::ISystemInfo& system, size_t n) {
  std::string path = system.ModuleFileName();
  // _splitpath: drive "X:", directory up to and including the last separator.
  std::string drive;
  std::string rest = path;
  if (path.size() >= 2 && path[1] == ':') {
    drive = path.substr(0, 2);
    rest = path.substr(2);
  }
  size_t lastBack = platform::Cp932FindLast(rest, '\\');
  size_t lastSlash = platform::Cp932FindLast(rest, '/');
  size_t last = lastBack;
  if (last == std::string::npos || (lastSlash != std::string::npos && lastSlash > last))
    last = lastSlash;
  std::string dir = last == std::string::npos ? "" : rest.substr(0, last + 1);
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return platform::Cp932Cut(drive + dir, n == 0 ? 0 : n - 1);
}

bool IsNtfsVolume(platform::ISystemInfo& system, const std::string& root) {
  std::string fs;
  return system.GetFileSystemName(root, fs) && fs == "NTFS";
}

bool GrantFileAccess(platform::Platform& platform, const std::string& path,
                     const std::string& account, uint32_t mask) {
  std::string root = platform::Cp932Cut(path, 2) + "\\";
  if (!IsNtfsVolume(platform.system, root)) return false;
  return platform.files.GrantAccess(path, account, mask);
}

bool IsAdministrator(platform::Platform& platform) {
  std::string user;
  if (!platform.system.GetUserName(user)) return false;
  user = platform::Cp932Cut(user, 255);
  std::vector<std::string> groups;
  if (platform.accounts.GetLocalGroups(user, groups) != 0) return false;
  for (const auto& g : groups)
    if (g == "Administrators") return true;
  return false;
}

}  // namespace velandra
