#include "system/platform/win32/win32_profile.h"

#include "system/platform/win32/win_api.h"

#include <cstring>
#include <vector>

#include "system/platform/sim/sim_profile.h"

namespace velandra::platform::win32 {
namespace {

// A name with a NUL would reach kernel32 cut short and find another key.
bool HasNul(std::string_view s) { return s.find('\0') != std::string_view::npos; }

}  // namespace

std::string Win32Profile::GetString(std::string_view section, std::string_view key,
                                    std::string_view def, uint32_t size,
                                    const std::string& path) {
  if (size == 0) return {};
  std::string defText(def.substr(0, def.find('\0')));
  if (HasNul(section) || HasNul(key)) {
    while (!defText.empty() && defText.back() == ' ') defText.pop_back();
    if (defText.size() > size - 1) defText.resize(size - 1);
    return defText;
  }
  // Zero-filled: when a two-byte character does not fit, kernel32 may leave
  // the byte before the terminator unwritten (seen under Wine).
  std::vector<char> buf(size, '\0');
  DWORD n = GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                     defText.c_str(), buf.data(), size, path.c_str());
  if (n >= size) n = size - 1;
  return std::string(buf.data(), strnlen(buf.data(), n));
}

int Win32Profile::GetInt(std::string_view section, std::string_view key, int def,
                         const std::string& path) {
  if (HasNul(section) || HasNul(key)) return def;
  return static_cast<int>(GetPrivateProfileIntA(std::string(section).c_str(),
                                                std::string(key).c_str(), def, path.c_str()));
}

std::string Win32Profile::GetSection(std::string_view section, uint32_t size,
                                     const std::string& path) {
  // Below two bytes kernel32 writes before the buffer (Wine does).
  if (size == 0) return {};
  if (size == 1 || HasNul(section)) return std::string(1, '\0');
  std::vector<char> buf(size, '\0');
  DWORD n = GetPrivateProfileSectionA(std::string(section).c_str(), buf.data(), size,
                                      path.c_str());
  if (n > size - 2) n = size - 2;
  // The entries up to the count returned; a last one cut short by a small
  // buffer has no zero byte of its own within that count.
  std::string out;
  size_t pos = 0;
  while (pos < n) {
    size_t len = strnlen(buf.data() + pos, n - pos);
    if (len == 0) break;
    out.append(buf.data() + pos, len).push_back('\0');
    pos += len + 1;
  }
  out.push_back('\0');
  return out;
}

bool Win32Profile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
  if (!sim::ProfileWriteProblem(section, &key, &value).empty()) return false;
  return WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                    std::string(value).c_str(), path.c_str()) != FALSE;
}

bool Win32Profile::DeleteKey(std::string_view section, std::string_view key,
                             const std::string& path) {
  if (!sim::ProfileWriteProblem(section, &key, nullptr).empty()) return false;
  return WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                    nullptr, path.c_str()) != FALSE;
}

bool Win32Profile::DeleteSection(std::string_view section, const std::string& path) {
  if (!sim::ProfileWriteProblem(section, nullptr, nullptr).empty()) return false;
  return WritePrivateProfileStringA(std::string(section).c_str(), nullptr, nullptr,
                                    path.c_str()) != FALSE;
}

}  // namespace velandra::platform::win32
