// The `netsh interface ip` commands of the change batch, acted out on the
// simulated PC's registry the way Windows stores their results.
#pragma once
#include <string>
#include <vector>

namespace velandra::platform::sim {

class SimulatedPc;

// Runs one netsh command. `args` are its arguments after the program name,
// split the way a Windows program splits its command line (quotes taken
// off). Returns the exit code (0 when the command did what it says); what
// netsh would print goes to `output` (CP932).
int RunNetsh(SimulatedPc& pc, const std::vector<std::string>& args, std::string& output);

}  // namespace velandra::platform::sim
