// One directory is one simulated Windows PC: its registry, its drives and
// its other state in documented, hand-editable files (docs/simulated-pc.md).
// The Platform it hands out acts on that directory the way Windows would act
// on the PC, and every change is written back at once.
#pragma once
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "system/platform/platform.h"
#include "system/platform/sim/scripted_answers.h"
#include "system/platform/sim/state_file.h"

namespace velandra::platform::sim {

class SimRegistry;
class SimProfile;

// One message box as the simulated PC showed it.
struct ShownMessage {
  MessageOwner Owner;
  std::string Text;     // CP932
  std::string Caption;  // CP932
  MessageIcon Icon;
  MessageButtons Buttons;
  MessageAnswer Answer;
};

class SimulatedPc {
 public:
  // Opens the PC in `dir`. False and `error` (UTF-8, naming file and line)
  // when a state file is missing or malformed; nothing is changed then.
  static std::unique_ptr<SimulatedPc> Open(const std::filesystem::path& dir,
                                           std::string& error);
  ~SimulatedPc();
  SimulatedPc(const SimulatedPc&) = delete;
  SimulatedPc& operator=(const SimulatedPc&) = delete;

  Platform& platform() { return *platform_; }
  SimRegistry& registry() { return *registry_; }
  ScriptedAnswers& answers() { return answers_; }
  const std::filesystem::path& directory() const { return dir_; }

  // Where message boxes and other visible events are printed (UTF-8);
  // null prints nothing. Standard output by default.
  void SetConsole(std::ostream* console) { console_ = console; }
  const std::vector<ShownMessage>& Messages() const { return messages_; }
  // Events of this run (UTF-8), also appended to events.log in the directory.
  const std::vector<std::string>& Events() const { return events_; }
  void LogEvent(const std::string& utf8);

  // Host file for a Windows path of this PC (see docs/simulated-pc.md).
  bool MapPath(const std::string& windowsPath, std::filesystem::path& host) const;

  // State files, for the backends.
  StateFile& Machine() { return machine_; }
  StateFile& Users() { return users_; }
  StateFile& Security() { return security_; }
  bool SaveMachine();
  bool SaveSecurity();
  std::ostream* Console() const { return console_; }
  void RecordMessage(const ShownMessage& message) { messages_.push_back(message); }

  // A Windows version fact of the [windows] section, as a number.
  uint32_t WindowsNumber(const char* key, uint32_t def) const;

  // What the running process holds and no file keeps: the account it
  // impersonates (UTF-8, as users.ini spells it; empty for its own) and
  // whether it enabled the shutdown privilege. Each program that
  // velandra-pc boot starts begins with a fresh one.
  struct ProcessState {
    std::string Impersonating;
    bool ShutdownPrivilege = false;
  };
  ProcessState& Process() { return process_; }
  void BeginProcess() { process_ = {}; }
  // The account the running code acts as (UTF-8): the impersonated one,
  // else the session's user ([session] user).
  std::string CurrentUser() const;

 private:
  SimulatedPc() = default;
  struct Backends;

  std::filesystem::path dir_;
  StateFile machine_, users_, security_;
  ScriptedAnswers answers_;
  std::ostream* console_ = nullptr;
  std::vector<ShownMessage> messages_;
  std::vector<std::string> events_;
  ProcessState process_;
  std::unique_ptr<SimRegistry> registry_;
  std::unique_ptr<SimProfile> profile_;
  std::unique_ptr<Backends> backends_;
  std::unique_ptr<Platform> platform_;
};

// File names inside a PC directory.
inline constexpr char kMachineFile[] = "pc.ini";
inline constexpr char kUsersFile[] = "users.ini";
inline constexpr char kSecurityFile[] = "security.ini";
inline constexpr char kRegistryFile[] = "registry.reg";
inline constexpr char kEventsFile[] = "events.log";

}  // namespace velandra::platform::sim
