// The demo PC's hosts files: the sample hosts.sam beside the system hosts
// (which the demo PC itself writes, with lmhosts.sam and no lmhosts), and a
// hosts variant for the places 本社 and 本店 beside the executable.
#pragma once
#include <filesystem>
#include <string>

namespace velandra::platform::sim {

// `etc` is <system directory>\drivers\etc, `programDir` the executable's
// folder, both host paths. False and `error` (UTF-8) when a file cannot be
// written.
bool WriteDemoHostsFiles(const std::filesystem::path& etc,
                         const std::filesystem::path& programDir, std::string& error);

}  // namespace velandra::platform::sim
