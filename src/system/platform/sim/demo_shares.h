// The demo PC's shares: the hidden C$ and ADMIN$ and IPC$, which the
// program must pass over, "資料" with allowed and denied entries for
// Everyone, yamada and Guest, and "公開" with the default permissions; the
// folders under C:\共有, "予備" among them unshared.
#pragma once
#include <filesystem>
#include <string>

namespace velandra::platform::sim {

// Writes shares.ini and the shared folders into the demo PC in `dir`.
// False and `error` (UTF-8) when it cannot.
bool WriteDemoShares(const std::filesystem::path& dir, std::string& error);

}  // namespace velandra::platform::sim
