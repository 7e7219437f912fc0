// The stand-in for the companion proxy switcher on the simulated PC: any
// program file named BRISCO.EXE, started directly or from a batch file.
#pragma once
#include <cstdint>
#include <string>

namespace velandra::platform::sim {

class SimulatedPc;

// In the PC directory: [last_run] entry (UTF-8) and runs of the stand-in companion.
inline constexpr char kCompanionRunFile[] = "companion.ini";

// False when `path` is no BRISCO.EXE. Otherwise plays the companion: takes
// the rest of its command line after "/S:" as the entry (quotes around the
// argument removed), records it (event and kCompanionRunFile), marks the
// entry as selected in its data file the way the companion does
// ([BRSCSYSTEM] SELECT, 0 for "NONE" or an unknown entry), sets `code` to 0
// and returns true.
bool RunCompanionStandIn(SimulatedPc& pc, const std::string& path, const std::string& arguments,
                         uint32_t& code);

}  // namespace velandra::platform::sim
