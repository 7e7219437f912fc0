// The demo PC's domain controllers: domains.ini with the domain VELANDRA
// (reachable; Administrator may join computers, suzuki may not) and the
// domain SHITEN, whose controller cannot be reached.
#pragma once
#include <filesystem>
#include <string>

namespace velandra::platform::sim {

// `dir` is the PC directory. False and `error` (UTF-8) when the file cannot
// be written.
bool WriteDemoDomains(const std::filesystem::path& dir, std::string& error);

}  // namespace velandra::platform::sim
