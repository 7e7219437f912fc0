// What one run of the program shares between its parts: the platform it
// runs on, the configuration file, the Windows version, the program-wide
// flags, and the quit request that ends the run.
#pragma once
#include <optional>
#include <string>

#include "config/config_file.h"
#include "system/os_info.h"
#include "system/platform/platform.h"

namespace velandra {

class Context {
 public:
  Context(platform::Platform& platform, std::string configPath, OsInfo os)
      : platform_(platform),
        configPath_(std::move(configPath)),
        os_(std::move(os)),
        config_(platform.profile, configPath_) {}
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  platform::Platform& Platform() const { return platform_; }
  const std::string& ConfigPath() const { return configPath_; }
  const OsInfo& Os() const { return os_; }
  const config::ConfigFile& Config() const { return config_; }

  // The program-wide DIFFCHECK and ADMINCHECK flags.
  bool DiffCheck = false;
  bool AdminCheck = true;

  // PostQuitMessage: the first request decides the exit code; the run ends
  // when control is back at the top.
  void PostQuit(int code) {
    if (!quitCode_) quitCode_ = code;
  }
  std::optional<int> QuitCode() const { return quitCode_; }

 private:
  platform::Platform& platform_;
  std::string configPath_;
  OsInfo os_;
  config::ConfigFile config_;
  std::optional<int> quitCode_;
};

// A warning box, over the main window unless said otherwise.
inline void Warn(Context& context, const std::string& text,
                 platform::MessageOwner owner = platform::MessageOwner::MainWindow) {
  platform::ShowWarning(context.Platform().messages, text, owner);
}

}  // namespace velandra
