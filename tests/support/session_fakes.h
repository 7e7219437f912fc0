// Stand-ins for the shell's shortcuts and the logon session on a scratch
// demo PC, for the tests of the restart and relogon steps: they record what
// they were asked, and fail where a case says so. Everything else is the
// simulated PC's own.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/platform/platform.h"

namespace velandra::testing {

class FakeSession : public platform::ISession {
 public:
  bool EnableShutdownPrivilege(platform::PrivilegeStep& failed) override {
    ++privilegeCalls;
    if (!failStep) return true;
    failed = *failStep;
    return false;
  }
  bool RequestExit(uint32_t flags) override {
    exits.push_back(flags);
    return exitAccepted;
  }
  std::unique_ptr<platform::IToken> LogOn(const std::string&, const std::string&,
                                          const std::string&, long& error) override {
    error = platform::kErrorCallNotImplemented;
    return nullptr;
  }
  bool Impersonate(platform::IToken&, long& error) override {
    error = platform::kErrorCallNotImplemented;
    return false;
  }
  bool RevertToSelf(long& error) override {
    error = platform::kErrorCallNotImplemented;
    return false;
  }

  std::optional<platform::PrivilegeStep> failStep;
  bool exitAccepted = true;
  int privilegeCalls = 0;
  std::vector<uint32_t> exits;
};

// The Startup folder is the simulated PC's; a shortcut made is a file there
// (so that deleting it and granting access on it act on the PC) and its
// contents are kept here.
class FakeShell : public platform::IShell {
 public:
  explicit FakeShell(platform::Platform& pc) : pc_(pc) {}
  bool GetSpecialFolderPath(platform::SpecialFolder folder, bool create,
                            std::string& path) override {
    return pc_.shell.GetSpecialFolderPath(folder, create, path);
  }
  bool InitializeCom() override {
    ++comInits;
    return comAvailable;
  }
  void UninitializeCom() override { ++comReleases; }
  bool CreateShortcut(const std::string& path, const platform::ShortcutSpec& spec) override {
    // Only inside the COM calls, as the shell link object can be had.
    if (comInits == comReleases) ++outsideCom;
    if (!createSucceeds || !pc_.files.WriteFile(path, "shortcut")) return false;
    paths.push_back(path);
    specs.push_back(spec);
    return true;
  }
  bool ReadShortcut(const std::string& path, platform::ShortcutSpec& spec) override {
    for (size_t i = paths.size(); i-- > 0;)
      if (paths[i] == path && pc_.files.Exists(path)) {
        spec = specs[i];
        return true;
      }
    return false;
  }
  bool Execute(const std::string& verb, const std::string& file,
                    const std::string& parameters, const std::string& directory,
                    int show) override {
    return pc_.shell.Execute(verb, file, parameters, directory, show);
  }

  bool comAvailable = true;
  bool createSucceeds = true;
  int comInits = 0;
  int comReleases = 0;
  int outsideCom = 0;
  std::vector<std::string> paths;
  std::vector<platform::ShortcutSpec> specs;

 private:
  platform::Platform& pc_;
};

// A scratch demo PC with the fakes above in its platform, and a context on
// the demo's configuration file (or `configPath`).
class SessionRig {
 public:
  explicit SessionRig(platform::sim::DemoVariant variant = platform::sim::DemoVariant::WindowsXp)
      : pc(variant) {}
  // Opens the PC; edit its files before.
  Context& Open(const std::string& configPath = kDemoIniPath) {
    sim = &pc.Open();
    platform::Platform& p = sim->platform();
    shell = std::make_unique<FakeShell>(p);
    platform_ = std::make_unique<platform::Platform>(platform::Platform{
        p.profile, p.registry, p.system, p.accounts, p.files, *shell, p.messages,
        processes ? *processes : p.processes, session, p.drives, p.printers, p.shares,
        domain ? *domain : p.domain});
    context = std::make_unique<Context>(*platform_, configPath, ReadOsInfo(p.system));
    return *context;
  }
  platform::Platform& Platform() { return *platform_; }

  static constexpr char kShortcutPath[] =
      "C:\\Documents and Settings\\All Users\\スタート メニュー\\プログラム\\スタートアップ"
      "\\Velandra.lnk";

  ScratchPc pc;
  platform::sim::SimulatedPc* sim = nullptr;
  FakeSession session;
  std::unique_ptr<FakeShell> shell;
  // Set before Open to run programs otherwise than the simulated PC does.
  platform::IProcesses* processes = nullptr;
  // Set before Open for another domain membership than the simulated PC's.
  platform::IDomain* domain = nullptr;
  std::unique_ptr<Context> context;

 private:
  std::unique_ptr<platform::Platform> platform_;
};

}  // namespace velandra::testing
