// The simulated PC's process runner. CreateProcess finds the program as
// Windows does; a batch file runs through the command interpreter at once
// (batch_interpreter.h), any other program is recorded as started and ends
// with 0. The process handed back has ended already. The companion proxy
// switcher's program (BRISCO.EXE in any folder) is a stand-in instead
// (sim_companion.h).
#pragma once
#include "system/platform/processes.h"
#include "system/platform/sim/batch_interpreter.h"

namespace velandra::platform::sim {

class SimulatedPc;

class SimProcesses : public IProcesses {
 public:
  // netsh commands go to the simulated PC's netsh (sim_netsh.h).
  explicit SimProcesses(SimulatedPc& pc);
  SimProcesses(SimulatedPc& pc, NetshRunner netsh) : pc_(pc), netsh_(std::move(netsh)) {}
  std::unique_ptr<IProcess> Create(const std::string& commandLine, bool hidden,
                                   long& error) override;

 private:
  SimulatedPc& pc_;
  NetshRunner netsh_;
};

// The program CreateProcessA would start for `commandLine` with no
// application name: the quoted first token, or else the shortest prefix
// ending before a blank (or the whole line) that names a file, ".exe" added
// to a name without extension; a name without a path is looked for in the
// executable's folder, the current directory, system32, system, the Windows
// folder and along PATH. Returns 0 and the found program's Windows path,
// the text it was named by and the rest of the line; else the Windows error
// (2 no such file, 3 no such folder).
struct FoundProgram {
  std::string Path;
  std::string InvokedAs;
  std::string Arguments;
};
long FindProgram(SimulatedPc& pc, const std::string& commandLine, FoundProgram& found);

}  // namespace velandra::platform::sim
