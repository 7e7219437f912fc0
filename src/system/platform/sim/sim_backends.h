// The simulated PC's backends of the platform interfaces other than the
// profile and the registry. Each acts on the state of one SimulatedPc.
#pragma once
#include "system/platform/platform.h"

namespace velandra::platform::sim {

class SimulatedPc;

class SimSystemInfo : public ISystemInfo {
 public:
  explicit SimSystemInfo(SimulatedPc& pc) : pc_(pc) {}
  bool GetVersion(OsVersion& version) override;
  bool GetVersionEx(OsVersion& version) override;
  std::string ModuleFileName() override;
  std::string SystemDirectory() override;
  bool GetComputerName(std::string& name) override;
  bool SetComputerName(const std::string& name) override;
  bool GetUserName(std::string& name) override;
  bool GetFileSystemName(const std::string& root, std::string& fs) override;
  uint32_t GetDriveType(const std::string& root) override;
  void Sleep(uint32_t milliseconds) override;

 private:
  SimulatedPc& pc_;
};

class SimAccounts : public IAccounts {
 public:
  explicit SimAccounts(SimulatedPc& pc) : pc_(pc) {}
  long GetLocalGroups(const std::string& user,
                      std::vector<std::string>& groups) override;
  long QueryDisplayUsers(uint32_t maxEntries, std::vector<std::string>& names) override;
  // Whether LookupAccountName would find `account` on this PC.
  bool AccountExists(const std::string& account) const;

 private:
  SimulatedPc& pc_;
};

class SimFiles : public IFiles {
 public:
  SimFiles(SimulatedPc& pc, SimAccounts& accounts) : pc_(pc), accounts_(accounts) {}
  bool Exists(const std::string& path) override;
  bool IsDirectory(const std::string& path) override;
  bool ReadFile(const std::string& path, std::string& data) override;
  bool WriteFile(const std::string& path, const std::string& data) override;
  bool CopyFile(const std::string& from, const std::string& to,
                bool failIfExists) override;
  bool DeleteFile(const std::string& path, long* error) override;
  bool CreateDirectories(const std::string& path) override;
  bool GrantAccess(const std::string& path, const std::string& account,
                   uint32_t mask) override;

 private:
  SimulatedPc& pc_;
  SimAccounts& accounts_;
};

class SimShell : public IShell {
 public:
  explicit SimShell(SimulatedPc& pc) : pc_(pc) {}
  bool GetSpecialFolderPath(SpecialFolder folder, bool create,
                            std::string& path) override;
  bool InitializeCom() override { return true; }
  void UninitializeCom() override {}
  // Shortcuts are text files (sim_shortcut.h).
  bool CreateShortcut(const std::string& path, const ShortcutSpec& spec) override;
  bool ReadShortcut(const std::string& path, ShortcutSpec& spec) override;
  // Records what was started in the event log; fails as Windows would when
  // the file is not there.
  bool Execute(const std::string& verb, const std::string& file,
                    const std::string& parameters, const std::string& directory,
                    int show) override;

 private:
  SimulatedPc& pc_;
};

class SimMessages : public IMessages {
 public:
  explicit SimMessages(SimulatedPc& pc) : pc_(pc) {}
  MessageAnswer Show(MessageOwner owner, const std::string& text,
                     const std::string& caption, MessageIcon icon,
                     MessageButtons buttons) override;

 private:
  SimulatedPc& pc_;
};

// NERR_UserNotFound, as netapi32 returns it.
inline constexpr long kNerrUserNotFound = 2221;

}  // namespace velandra::platform::sim
