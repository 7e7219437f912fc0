// What Windows does after an exit request, played on the simulated PC
// (velandra-pc boot): the request is cleared, the next user logs on (the
// automatic logon of the Winlogon values, else the last user at the logon
// screen), and every shortcut of the common Startup folder that starts
// Velandra is run, in name order. One call is one boot: a start that asks
// for another exit leaves that request for the next call.
#pragma once
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "system/platform/shell.h"

namespace velandra::platform::sim {

class SimulatedPc;

// Runs one program start: Velandra on `pc` with `arguments` (CP932, the
// command line after the program's name), showing its dialogs on `out`.
// Returns the process exit code; may throw SimulationError.
using StartProgram =
    std::function<int(SimulatedPc& pc, const std::string& arguments, std::ostream& out)>;

// Exit codes of a boot that does not get as far as the starts.
inline constexpr int kBootNoLogon = 77;           // nobody could log on
inline constexpr int kBootStateNotWritten = 74;   // pc.ini could not be written
inline constexpr int kBootSimulationStopped = 70; // a start's script ran out

struct BootStart {
  std::string File;  // name in the Startup folder (UTF-8)
  ShortcutSpec Spec;
  bool Started = false;  // false: skipped (not Velandra, or the session was ending)
  int ExitCode = 0;
};

struct BootResult {
  // The last start's exit code, 0 when none ran, or one of kBoot*.
  int ExitCode = 0;
  bool Booted = false;      // false when no exit request was recorded (nor forced)
  std::string ExitRequest;  // the request cleared ("restart", ...), "" for a forced boot
  std::string User;         // who logged on (UTF-8), "" when nobody did
  bool AutomaticLogon = false;
  std::vector<BootStart> Starts;  // every shortcut found, in the order they were run
};

// Plays one boot. Everything it does is printed to `out` (UTF-8) and
// logged in events.log; message boxes of the starts are printed there too.
// `force` boots also when no exit request is recorded (as a restart).
BootResult Boot(SimulatedPc& pc, bool force, const StartProgram& start, std::ostream& out);

}  // namespace velandra::platform::sim
