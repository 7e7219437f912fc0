#include "app/startup_shortcut.h"

#include "app/command_line.h"
#include "app/messages.h"
#include "system/utilities.h"

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

bool CreateStartupShortcut(platform::Platform& platform, const std::string& arguments) {
  std::string path;
  if (!StartupShortcutPath(platform, path)) return false;
  if (!platform.shell.InitializeCom()) return false;
  platform::ShortcutSpec spec;
  spec.Target = platform.system.ModuleFileName();
  spec.Arguments = arguments;
  spec.WorkingDirectory = GetExeDirectory(platform.system);
  spec.Description = kCaption;
  const bool made = platform.shell.CreateShortcut(path, spec);
  platform.shell.UninitializeCom();
  // Every start deletes the shortcut, and the next one may run as another
  // account, not always an administrator (ADMINCHECK "FALSE"): it needs
  // the right to delete the file, and nothing more. Full access for
  // Everyone would let any local user change what runs at an
  // administrator's next logon. A volume that is not NTFS keeps no access
  // list; nothing is granted there.
  if (made) GrantFileAccess(platform, path, "Everyone", platform::kDelete);
  return made;
}

std::string ResumeArguments(const std::string& placeName) {
  return "-r \"" + placeName + "\"";
}

bool FitsShortcutArguments(const std::string& placeName) {
  if (placeName.find('"') != std::string::npos) return false;
  // Every token counts as an option too, the place's name as well: a name
  // such as "-now" or "-logon" would change what the next start does.
  class NoPrompt : public ui::IUserPasswordDialog {
    bool DoModal(ui::CDlgUserPassword&) override { return false; }
  } prompt;
  for (bool resume : {true, false}) {
    CommandLineOptions read;
    if (!ParseCommandLine(SplitCommandLine((resume ? "-r \"" : "-p \"") + placeName + "\""),
                          read, prompt))
      return false;
    CommandLineOptions expected;
    expected.Resume = resume;
    expected.PlaceName = placeName;
    if (!(read == expected)) return false;
  }
  return true;
}

}  // namespace velandra::app
