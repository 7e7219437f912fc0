// The demo PC's companion proxy switcher: installed, version 410, with two
// entries of its own ("本社プロキシ" selected, and "自宅 光回線" with a
// space), its data file and the stand-in BRISCO.EXE on the C: drive.
#pragma once
#include <filesystem>
#include <string>

namespace velandra::platform::sim {

// Adds the companion to the demo PC in `dir`, whose registry.reg is written
// already. False and `error` (UTF-8) when it cannot.
bool WriteDemoCompanion(const std::filesystem::path& dir, std::string& error);

}  // namespace velandra::platform::sim
