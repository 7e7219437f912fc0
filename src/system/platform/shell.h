// The shell (shell32, ole32): special folders and shortcuts.
#pragma once
#include <string>

namespace velandra::platform {

enum class SpecialFolder { CommonStartup };

// What a shell link holds (IShellLinkA): no icon, normal window.
struct ShortcutSpec {
  std::string Target;            // SetPath
  std::string Arguments;         // SetArguments
  std::string WorkingDirectory;  // SetWorkingDirectory
  std::string Description;       // SetDescription
};

class IShell {
 public:
  virtual ~IShell() = default;
  // SHGetSpecialFolderPathA(folder, create): false when it fails.
  virtual bool GetSpecialFolderPath(SpecialFolder folder, bool create,
                                    std::string& path) = 0;
  // CoInitialize / CoUninitialize around the shell link object; a caller
  // that cannot initialise makes no shortcut.
  virtual bool InitializeCom() = 0;
  virtual void UninitializeCom() = 0;
  // Creates (or replaces) the shortcut file at `path` through the shell
  // link object and its IPersistFile::Save; false when any step fails.
  virtual bool CreateShortcut(const std::string& path, const ShortcutSpec& spec) = 0;
  // Reads a shortcut back (for the simulated PC's boot and for tests).
  virtual bool ReadShortcut(const std::string& path, ShortcutSpec& spec) = 0;
  // ShellExecuteA(no window, verb or null for the default, file,
  // parameters or null, directory or null, show): true when it reports
  // success (a result above 32). The started program is not waited for.
  // (Not named ShellExecute: the Windows headers make that a macro.)
  virtual bool Execute(const std::string& verb, const std::string& file,
                            const std::string& parameters, const std::string& directory,
                            int show) = 0;
};

}  // namespace velandra::platform
