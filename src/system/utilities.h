// Small utilities shared by start-up and later steps.
#pragma once
#include <cstdint>
#include <string>

#include "system/platform/platform.h"

namespace velandra {

// The running executable's drive and directory without a trailing
// backslash, cut to n - 1 bytes (never inside a two-byte character).
std::string GetExeDirectory(platform::ISystemInfo& system, size_t n = 261);

// True when the volume of `root` ("C:\") is formatted NTFS.
bool IsNtfsVolume(platform::ISystemInfo& system, const std::string& root);

// Adds an access-allowed entry for `account` ("" = the logged-on user) with
// `mask` to the file's access list. False without change when the volume
// is not NTFS or any step fails.
bool GrantFileAccess(platform::Platform& platform, const std::string& path,
                     const std::string& account, uint32_t mask);

// True when the logged-on user is in the local group "Administrators"
// (exact, case-sensitive). Any failure gives false.
bool IsAdministrator(platform::Platform& platform);

}  // namespace velandra
