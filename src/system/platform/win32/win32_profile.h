// The private-profile operations through kernel32 itself.
#pragma once
#include "system/platform/profile.h"

namespace velandra::platform::win32 {

// Writes that would not read back as written (a line break in a value, '='
// in a key, ...) are refused before kernel32 sees them, as SimProfile does:
// Windows would write them and split the file's lines.
class Win32Profile : public IProfile {
 public:
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view def, uint32_t size,
                        const std::string& path) override;
  int GetInt(std::string_view section, std::string_view key, int def,
             const std::string& path) override;
  std::string GetSection(std::string_view section, uint32_t size,
                         const std::string& path) override;
  bool WriteString(std::string_view section, std::string_view key,
                   std::string_view value, const std::string& path) override;
  bool DeleteKey(std::string_view section, std::string_view key,
                 const std::string& path) override;
  bool DeleteSection(std::string_view section, const std::string& path) override;
};

}  // namespace velandra::platform::win32
