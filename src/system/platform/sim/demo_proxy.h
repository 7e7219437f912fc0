// The demo PC's companion proxy switcher: installed, version 410, with two
// entries of its own ("本社プロキシ" selected, and "自宅 光回線" with a
// space), its data file and the stand-in BRISCO.EXE on the C: drive.
#pragma once
#include <filesystem>
#include <string>

namespace velandra::platform::sim {

class SimRegistry;

// Adds the companion to the demo PC in `dir` whose registry, not written
// yet, is `reg`. False and `error` (UTF-8) when it cannot.
bool WriteDemoCompanion(SimRegistry& reg, const std::filesystem::path& dir, std::string& error);

}  // namespace velandra::platform::sim
