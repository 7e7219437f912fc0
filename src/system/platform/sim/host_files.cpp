#include "system/platform/sim/host_files.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define VELANDRA_GETPID _getpid
#else
#include <unistd.h>
#define VELANDRA_GETPID getpid
#endif

namespace velandra::platform::sim {

PathMapper IdentityPathMapper() {
  return [](const std::string& windowsPath, std::filesystem::path& host) {
    if (windowsPath.empty()) return false;
    host = std::filesystem::path(windowsPath);
    return true;
  };
}

std::filesystem::path HostPathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string HostPathToUtf8(const std::filesystem::path& path) {
  std::u8string u = path.u8string();
  return std::string(u.begin(), u.end());
}

bool ReadHostFile(const std::filesystem::path& path, std::string& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string content((std::istreambuf_iterator<char>(in)),
                      std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  data = std::move(content);
  return true;
}

bool WriteHostFileAtomically(const std::filesystem::path& path,
                             const std::string& data, std::string* error) {
  static std::atomic<unsigned> counter{0};
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  std::filesystem::path tmp = path;
  tmp += ".tmp" + std::to_string(VELANDRA_GETPID()) + "-" +
         std::to_string(counter++);
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) {
      if (error) *error = "cannot create " + HostPathToUtf8(tmp);
      return false;
    }
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.flush();
    if (!out) {
      out.close();
      std::filesystem::remove(tmp, ec);
      if (error) *error = "cannot write " + HostPathToUtf8(tmp);
      return false;
    }
  }
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::filesystem::remove(tmp, ec);
    if (error) *error = "cannot replace " + HostPathToUtf8(path);
    return false;
  }
  return true;
}

}  // namespace velandra::platform::sim
