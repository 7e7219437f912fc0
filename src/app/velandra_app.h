// The application object: fixes the configuration path and the Windows
// version at construction, then checks the PC and chooses between the
// property sheet and the unattended modes of the command line.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "system/context.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {
class IExitDialog;
class ISheetWindow;
class IUserPasswordDialog;
}

namespace velandra::app {

// "\Velandra.ini" beside the executable.
inline constexpr char kConfigFileName[] = "\\Velandra.ini";
// Longest configuration path the private-profile functions take.
inline constexpr size_t kMaxConfigPath = 259;

class CVelandraApp {
 public:
  // `logonPrompt` serves -logon and the account question of the change with
  // restart; `exitDialog` the exit-mode choice of -d and of OK on the sheet;
  // `sheetWindow` the sheet of an empty command line. Without them those
  // fail loudly as not built (there is no window on this platform).
  CVelandraApp(platform::Platform& platform, ui::IUserPasswordDialog& logonPrompt,
               ui::IExitDialog* exitDialog = nullptr, ui::ISheetWindow* sheetWindow = nullptr);
  CVelandraApp(const CVelandraApp&) = delete;
  CVelandraApp& operator=(const CVelandraApp&) = delete;

  // Start-up and exit step: the whole run for one command line (the text
  // after the program's name). Returns the process exit code.
  int Run(std::string_view commandLine);

  std::vector<std::string> CommandTokens;
  CommandLineOptions Options;

  const std::string& ConfigPath() const { return context_.ConfigPath(); }
  const OsInfo& Os() const { return context_.Os(); }
  Context& GetContext() { return context_; }

  // The main sheet while the run has one (built at start-up, after the
  // platform and rights checks); null before and after.
  ui::CVelandraSheet* Sheet() const { return sheet_.get(); }

  // Whether the PC qualifies: Windows 2000 or XP workstation, or Windows
  // 2000 Server when `server` is exactly "TRUE".
  static bool IsSupportedPlatform(const OsInfo& os, const std::string& server);

 private:
  int InitInstance(std::string_view commandLine);
  void ExitInstance();
  int Refuse(const char* message);
  int NotBuilt(const std::string& what);
  int Dispatch(ui::CVelandraSheet& sheet, config::Place& place);

  platform::Platform& platform_;
  ui::IUserPasswordDialog& logonPrompt_;
  ui::IExitDialog* exitDialog_;
  ui::ISheetWindow* sheetWindow_;
  bool configPathTooLong_ = false;
  Context context_;
  std::unique_ptr<ui::CVelandraSheet> sheet_;
  // Set when a step ends the process at once, with this exit code.
  std::optional<int> exitProcess_;
};

}  // namespace velandra::app
