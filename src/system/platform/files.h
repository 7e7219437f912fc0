// Files on the PC (kernel32): Windows paths such as "C:\WINDOWS\system32\x".
#pragma once
#include <cstdint>
#include <string>

namespace velandra::platform {

class IFiles {
 public:
  virtual ~IFiles() = default;
  virtual bool Exists(const std::string& path) = 0;
  virtual bool IsDirectory(const std::string& path) = 0;
  // Reads the whole file as bytes.
  virtual bool ReadFile(const std::string& path, std::string& data) = 0;
  // Writes the whole file: either the new content stands complete or the old
  // file is left as it was.
  virtual bool WriteFile(const std::string& path, const std::string& data) = 0;
  // CopyFileA(from, to, failIfExists).
  virtual bool CopyFile(const std::string& from, const std::string& to,
                        bool failIfExists) = 0;
  // DeleteFileA: false (with the error in `error`) when it fails; a missing
  // file gives kErrorFileNotFound.
  virtual bool DeleteFile(const std::string& path, long* error = nullptr) = 0;
  // CreateDirectoryA of every missing directory of the path.
  virtual bool CreateDirectories(const std::string& path) = 0;
  // Adds one access-allowed entry for `account` with `mask` to the file's
  // discretionary access list, keeping every entry it had. The account
  // "" means the logged-on user.
  virtual bool GrantAccess(const std::string& path, const std::string& account,
                           uint32_t mask) = 0;
};

}  // namespace velandra::platform
