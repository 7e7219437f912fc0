// IFiles over kernel32 and the advapi32 security calls.
#pragma once
#include <cstdint>
#include <string>

#include "system/platform/files.h"
#include "system/platform/system_info.h"
#include "system/platform/win32/handles.h"

namespace velandra::platform::win32 {

// A new access list: every entry of `old` in its order, then one
// access-allowed entry for `sid` with `mask`. False (last error set, `out`
// untouched) when it cannot be built, e.g. when it would pass 64 KB.
bool AppendAllowedAce(const ACL* old, PSID sid, uint32_t mask, LocalMemory<ACL>& out);

class Win32Files : public IFiles {
 public:
  // Volumes are asked for their file system name directly.
  Win32Files() = default;
  // Volumes are asked through `volumes` (which must outlive this object):
  // lets a test present a volume that is not NTFS.
  explicit Win32Files(ISystemInfo& volumes) : volumes_(&volumes) {}

  bool Exists(const std::string& path) override;
  bool IsDirectory(const std::string& path) override;
  bool ReadFile(const std::string& path, std::string& data) override;
  bool WriteFile(const std::string& path, const std::string& data) override;
  bool CopyFile(const std::string& from, const std::string& to,
                bool failIfExists) override;
  bool DeleteFile(const std::string& path, long* error = nullptr) override;
  bool CreateDirectories(const std::string& path) override;
  // Only on an NTFS volume (false on any other, the file untouched). A file
  // without an access list already grants everyone everything: it is left
  // as it is and the result is true.
  bool GrantAccess(const std::string& path, const std::string& account,
                   uint32_t mask) override;

 private:
  bool IsNtfsVolume(const std::string& root);

  ISystemInfo* volumes_ = nullptr;
};

}  // namespace velandra::platform::win32
