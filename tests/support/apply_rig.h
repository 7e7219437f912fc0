// A demo PC for the apply flow's tests: the PC's own profile, registry,
// files and processes, with the logon session, the shell and the registry
// seen through recorders, so that a test sees which exit request was made,
// which logons and impersonations happened, which shortcuts were made and
// which registry values were written (and under which identity).
#pragma once
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "system/platform/platform.h"
#include "system/platform/sim/simulated_pc.h"

namespace velandra::testing {

class RecordingSession : public platform::ISession {
 public:
  class Token : public platform::IToken {
   public:
    explicit Token(RecordingSession& owner) : owner_(owner) {}
    ~Token() override { ++owner_.tokensClosed; }

   private:
    RecordingSession& owner_;
  };

  bool EnableShutdownPrivilege(platform::PrivilegeStep&) override { return true; }
  bool RequestExit(uint32_t flags) override {
    exits.push_back(flags);
    return exitAccepted;
  }
  std::unique_ptr<platform::IToken> LogOn(const std::string& user, const std::string& domain,
                                          const std::string& password, long& error) override;
  bool Impersonate(platform::IToken& token, long& error) override;
  bool RevertToSelf(long& error) override;

  // Failures to give, as Windows error codes (0: succeed).
  long logonError = 0, impersonateError = 0, revertError = 0;
  bool exitAccepted = true;

  std::vector<uint32_t> exits;
  std::vector<std::string> logons;  // "user|domain|password"
  int impersonations = 0, reverts = 0, tokensClosed = 0;
  bool impersonating = false;
};

// Records CreateShortcut's path and arguments; the folder comes from the PC.
class RecordingShell : public platform::IShell {
 public:
  explicit RecordingShell(platform::IShell& pc) : pc_(pc) {}
  bool GetSpecialFolderPath(platform::SpecialFolder folder, bool create,
                            std::string& path) override {
    return pc_.GetSpecialFolderPath(folder, create, path);
  }
  bool InitializeCom() override { return true; }
  void UninitializeCom() override {}
  bool CreateShortcut(const std::string& path, const platform::ShortcutSpec& spec) override {
    if (!createSucceeds) return false;
    shortcuts.push_back(path + " " + spec.Arguments);
    arguments.push_back(spec.Arguments);
    return true;
  }
  bool ReadShortcut(const std::string& path, platform::ShortcutSpec& spec) override {
    return pc_.ReadShortcut(path, spec);
  }
  bool Execute(const std::string& verb, const std::string& file,
                    const std::string& parameters, const std::string& directory,
                    int show) override {
    return pc_.Execute(verb, file, parameters, directory, show);
  }

  bool createSucceeds = true;
  std::vector<std::string> shortcuts;  // "path arguments"
  std::vector<std::string> arguments;

 private:
  platform::IShell& pc_;
};

// Every value the program sets or deletes, as "KEY\name", and whether the
// session was impersonating then.
class RecordingRegistry : public platform::IRegistry {
 public:
  struct Write {
    std::string Value;  // key path (without hive) + "\" + value name
    bool Impersonating;
  };
  RecordingRegistry(platform::IRegistry& pc, const RecordingSession& session)
      : pc_(pc), session_(session) {}
  long OpenKey(platform::Hive hive, std::string_view path, uint32_t access,
               std::unique_ptr<platform::IRegistryKey>& key) override;
  long CreateKey(platform::Hive hive, std::string_view path, uint32_t access,
                 std::unique_ptr<platform::IRegistryKey>& key) override;
  long DeleteKey(platform::Hive hive, std::string_view path) override {
    return pc_.DeleteKey(hive, path);
  }

  std::vector<Write> writes;

 private:
  // On success `key` becomes a recorder of `opened`.
  long Wrap(long rc, std::string_view path, std::unique_ptr<platform::IRegistryKey>& key,
            std::unique_ptr<platform::IRegistryKey>& opened);
  platform::IRegistry& pc_;
  const RecordingSession& session_;
};

// The demo PC (Windows XP) with the recorders in its platform. Edit `pc`'s
// files before Open().
class ApplyRig {
 public:
  ApplyRig() = default;
  platform::sim::SimulatedPc& Open();
  platform::Platform& platform() { return *platform_; }
  // The program's registry writes, "Domain" of the change batch left out,
  // as the adapters they went to: "L" (LAN), "W" (wireless), "LW" or "".
  std::string AdaptersWritten() const;
  // Whether the change batch ran a command.
  bool BatchRan() const;
  // The texts of the message boxes shown.
  std::vector<std::string> MessageTexts() const;

  ScratchPc pc;
  platform::sim::SimulatedPc* sim = nullptr;
  RecordingSession session;
  std::unique_ptr<RecordingShell> shell;
  std::unique_ptr<RecordingRegistry> registry;
  std::ostringstream out;  // what the scripted dialogs show

 private:
  std::unique_ptr<platform::Platform> platform_;
};

}  // namespace velandra::testing
