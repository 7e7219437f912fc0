// Host-side file helpers of the simulated PC.
#pragma once
#include <filesystem>
#include <functional>
#include <string>

namespace velandra::platform::sim {

// Maps a Windows path of the simulated PC (CP932, e.g. "C:\WINDOWS\x.ini")
// to the host file that stands for it. False when the path has no place on
// the simulated PC (no such drive, a relative or UNC path).
using PathMapper =
    std::function<bool(const std::string& windowsPath, std::filesystem::path& host)>;

// The identity mapping: the "Windows path" already is a host path (used where
// the simulated implementations run against files of the real machine).
PathMapper IdentityPathMapper();

// A host path from UTF-8 text, on every host.
std::filesystem::path HostPathFromUtf8(const std::string& utf8);
// UTF-8 text of a host path, for messages.
std::string HostPathToUtf8(const std::filesystem::path& path);

// Reads a whole host file; false when it cannot be read.
bool ReadHostFile(const std::filesystem::path& path, std::string& data);

// Writes a whole host file through a temporary file in the same directory and
// a rename, so that the file is either old or new, never half-written.
// Creates missing parent directories. False (and `error` set) on failure;
// the old file is then untouched.
bool WriteHostFileAtomically(const std::filesystem::path& path,
                             const std::string& data, std::string* error = nullptr);

}  // namespace velandra::platform::sim
