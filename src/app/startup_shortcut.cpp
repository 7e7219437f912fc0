#include "app/startup_shortcut.h"

namespace velandra::app {

bool StartupShortcutPath(platform::Platform& platform, std::string& path) {
  std::string folder;
  if (!platform.shell.GetSpecialFolderPath(platform::SpecialFolder::CommonStartup,
                                           true, folder))
    return false;
  path = folder + kStartupShortcutName;
  return true;
}

void DeleteStartupShortcut(platform::Platform& platform) {
  std::string path;
  if (StartupShortcutPath(platform, path)) platform.files.DeleteFile(path);
}

}  // namespace velandra::app
