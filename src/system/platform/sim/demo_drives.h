// The demo PC's network drives and printers: drives.ini with two mapped
// drives, one connection without a letter and the file server's shares, and
// printers.ini with three printers, one of them the default.
#pragma once
#include <filesystem>
#include <string>

namespace velandra::platform::sim {

// `dir` is the PC directory. False and `error` (UTF-8) when a file cannot
// be written.
bool WriteDemoDrivesAndPrinters(const std::filesystem::path& dir, std::string& error);

}  // namespace velandra::platform::sim
