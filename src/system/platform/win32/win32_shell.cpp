#include "system/platform/win32/win32_shell.h"

#include "system/platform/win32/handles.h"
#include <shlobj.h>

namespace velandra::platform::win32 {

namespace {

bool FolderId(SpecialFolder folder, int& csidl) {
  switch (folder) {
    case SpecialFolder::CommonStartup:
      csidl = CSIDL_COMMON_STARTUP;
      return true;
  }
  return false;
}

}  // namespace

bool Win32Shell::GetSpecialFolderPath(SpecialFolder folder, bool create,
                                      std::string& path) {
  int csidl = 0;
  if (!FolderId(folder, csidl)) return false;
  char buffer[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathA(nullptr, buffer, csidl, create ? TRUE : FALSE))
    return false;
  path = buffer;
  return true;
}

// Not built yet: no shortcut is pretended.
bool Win32Shell::InitializeCom() { return false; }
void Win32Shell::UninitializeCom() {}
bool Win32Shell::CreateShortcut(const std::string&, const ShortcutSpec&) { return false; }
bool Win32Shell::ReadShortcut(const std::string&, ShortcutSpec&) { return false; }

}  // namespace velandra::platform::win32
