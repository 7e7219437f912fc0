// IShell over shell32.
#pragma once
#include <string>

#include "system/platform/shell.h"

namespace velandra::platform::win32 {

class Win32Shell : public IShell {
 public:
  bool GetSpecialFolderPath(SpecialFolder folder, bool create,
                            std::string& path) override;
  bool InitializeCom() override;
  void UninitializeCom() override;
  bool CreateShortcut(const std::string& path, const ShortcutSpec& spec) override;
  bool ReadShortcut(const std::string& path, ShortcutSpec& spec) override;
  bool Execute(const std::string& verb, const std::string& file,
                    const std::string& parameters, const std::string& directory,
                    int show) override;
};

}  // namespace velandra::platform::win32
