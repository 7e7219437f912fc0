// The shell (shell32): special folders and the Startup shortcut.
#pragma once
#include <string>

namespace velandra::platform {

enum class SpecialFolder { CommonStartup };

class IShell {
 public:
  virtual ~IShell() = default;
  // SHGetSpecialFolderPathA(folder, create): false when it fails.
  virtual bool GetSpecialFolderPath(SpecialFolder folder, bool create,
                                    std::string& path) = 0;
};

}  // namespace velandra::platform
