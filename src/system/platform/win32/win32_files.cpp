#include "system/platform/win32/win32_files.h"

#include <algorithm>
#include <new>
#include <vector>

#include "system/platform/text.h"
#include "system/platform/win32/handles.h"
#include "system/platform/win32/win32_system_info.h"

namespace velandra::platform::win32 {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Positions of the path separators, stepping over CP932 trail bytes (the
// second byte of "表" is 0x5C).
std::vector<size_t> SeparatorPositions(const std::string& path) {
  std::vector<size_t> found;
  for (size_t pos = 0; pos < path.size(); pos += Cp932CharLength(path, pos))
    if (IsSeparator(path[pos])) found.push_back(pos);
  return found;
}

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Bytes of the part that cannot be created: "C:\", "C:", "\\server\share\",
// a leading "\", or nothing for a relative path.
size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':')
    return (path.size() >= 3 && IsSeparator(path[2])) ? 3 : 2;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    std::vector<size_t> seps = SeparatorPositions(path);
    // seps[0], seps[1] are the leading pair; then the ends of server and share.
    if (seps.size() >= 4) return seps[3] + 1;
    return path.size();
  }
  if (!path.empty() && IsSeparator(path[0])) return 1;
  return 0;
}

// Directory to hold a temporary file beside `path`.
std::string DirectoryOf(const std::string& path) {
  std::vector<size_t> seps = SeparatorPositions(path);
  if (!seps.empty()) return path.substr(0, seps.back() + 1);
  if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':')
    return path.substr(0, 2);
  return ".";
}

bool MakeDirectory(const std::string& dir) {
  DWORD attributes = ::GetFileAttributesA(dir.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
    ::SetLastError(ERROR_ALREADY_EXISTS);  // a file stands in the way
    return false;
  }
  if (::CreateDirectoryA(dir.c_str(), nullptr)) return true;
  DWORD error = ::GetLastError();
  // Someone else may have made it in between.
  attributes = ::GetFileAttributesA(dir.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return true;
  ::SetLastError(error);
  return false;
}

bool RejectZero(const std::string& text) {
  if (!HasEmbeddedZero(text)) return false;
  ::SetLastError(ERROR_INVALID_PARAMETER);
  return true;
}

// Deletes a temporary file on every path out, unless kept; the caller's
// last error survives the clean-up.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (path_.empty()) return;
    DWORD error = ::GetLastError();
    ::DeleteFileA(path_.c_str());
    ::SetLastError(error);
  }
  const std::string& path() const { return path_; }
  void keep() { path_.clear(); }

 private:
  std::string path_;
};

bool WriteAll(HANDLE file, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    DWORD chunk = static_cast<DWORD>(
        std::min<size_t>(data.size() - done, 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(file, data.data() + done, chunk, &written, nullptr))
      return false;
    if (written == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    done += written;
  }
  return true;
}

}  // namespace

bool AppendAllowedAce(const ACL* old, PSID sid, uint32_t mask, LocalMemory<ACL>& out) {
  ACL_SIZE_INFORMATION sizes = {};
  if (!::GetAclInformation(const_cast<ACL*>(old), &sizes, sizeof sizes,
                           AclSizeInformation))
    return false;
  // The old list (header included) plus one ACCESS_ALLOWED_ACE, whose last
  // DWORD is where the SID begins; lists are DWORD-aligned and at most 64 KB.
  const DWORD aceSize =
      sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(sid);
  const DWORD aclSize = (sizes.AclBytesInUse + aceSize + 3) & ~DWORD{3};
  if (aclSize > MAXWORD) {
    ::SetLastError(ERROR_ALLOTTED_SPACE_EXCEEDED);
    return false;
  }
  const DWORD revision = old->AclRevision > ACL_REVISION ? old->AclRevision : ACL_REVISION;
  LocalMemory<ACL> acl = LocalAllocate<ACL>(aclSize);
  if (!acl) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  if (!::InitializeAcl(acl.get(), aclSize, revision)) return false;
  for (DWORD i = 0; i < sizes.AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(const_cast<ACL*>(old), i, &ace)) return false;
    if (!::AddAce(acl.get(), revision, MAXDWORD, ace,
                  static_cast<const ACE_HEADER*>(ace)->AceSize))
      return false;
  }
  if (!::AddAccessAllowedAce(acl.get(), revision, mask, sid)) return false;
  out = std::move(acl);
  return true;
}

bool Win32Files::Exists(const std::string& path) {
  if (RejectZero(path)) return false;
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Files::IsDirectory(const std::string& path) {
  if (RejectZero(path)) return false;
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Files::ReadFile(const std::string& path, std::string& data) {
  if (RejectZero(path)) return false;
  // Readers share delete access, so that a replacement by WriteFile is not
  // refused while the old file is being read.
  FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file) return false;
  try {
    std::string content;
    LARGE_INTEGER size = {};
    if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) < content.max_size())
      content.reserve(static_cast<size_t>(size.QuadPart));
    std::vector<char> chunk(64 * 1024);
    for (;;) {
      DWORD read = 0;
      if (!::ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()),
                      &read, nullptr))
        return false;
      if (read == 0) break;
      content.append(chunk.data(), read);
    }
    data = std::move(content);
    return true;
  } catch (const std::bad_alloc&) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

bool Win32Files::WriteFile(const std::string& path, const std::string& data) {
  if (RejectZero(path)) return false;
  // Windows refuses to rename over a read-only file, Wine does not; either
  // way a read-only file is not to be written.
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  // The new content goes to a file of its own in the same directory (so on
  // the same volume) and replaces the target in one rename: a failure at
  // any point leaves the old file as it was.
  char tempName[MAX_PATH] = {};
  if (!::GetTempFileNameA(DirectoryOf(path).c_str(), "vel", 0, tempName))
    return false;
  TemporaryFile temp(tempName);
  {
    FileHandle file(::CreateFileA(temp.path().c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (!WriteAll(file.get(), data)) return false;
    if (!::FlushFileBuffers(file.get())) return false;
  }
  if (!::MoveFileExA(temp.path().c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return false;
  temp.keep();
  return true;
}

bool Win32Files::CopyFile(const std::string& from, const std::string& to,
                          bool failIfExists) {
  if (RejectZero(from) || RejectZero(to)) return false;
  return ::CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32Files::DeleteFile(const std::string& path, long* error) {
  if (!RejectZero(path) && ::DeleteFileA(path.c_str())) return true;
  if (error) *error = static_cast<long>(::GetLastError());
  return false;
}

bool Win32Files::CreateDirectories(const std::string& path) {
  if (RejectZero(path)) return false;
  if (path.empty()) {
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  const size_t root = RootLength(path);
  const std::vector<size_t> seps = SeparatorPositions(path);
  size_t previous = std::string::npos;
  for (size_t sep : seps) {
    // Root parts and empty steps ("a\\b") are not made.
    bool empty = sep == 0 || (previous != std::string::npos && previous + 1 == sep);
    previous = sep;
    if (sep < root || empty) continue;
    if (!MakeDirectory(path.substr(0, sep))) return false;
  }
  const bool endsWithSeparator = !seps.empty() && seps.back() + 1 == path.size();
  if (path.size() > root && !endsWithSeparator) return MakeDirectory(path);
  return IsDirectory(path);
}

bool Win32Files::IsNtfsVolume(const std::string& root) {
  std::string fs;
  bool known = volumes_ ? volumes_->GetFileSystemName(root, fs)
                        : QueryFileSystemName(root, fs);
  return known && fs == "NTFS";
}

bool Win32Files::GrantAccess(const std::string& path, const std::string& account,
                             uint32_t mask) {
  if (RejectZero(path) || RejectZero(account)) return false;
  if (path.size() < 2) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (!IsNtfsVolume(path.substr(0, 2) + "\\")) {
    ::SetLastError(ERROR_NOT_SUPPORTED);
    return false;
  }

  std::string name = account;
  if (name.empty()) {
    char user[256];
    DWORD size = sizeof user;
    if (!::GetUserNameA(user, &size)) return false;
    name = user;
  }

  // The security identifier: ask for the sizes, then fill.
  DWORD sidSize = 0, domainSize = 0;
  SID_NAME_USE use;
  ::LookupAccountNameA(nullptr, name.c_str(), nullptr, &sidSize, nullptr,
                       &domainSize, &use);
  if (sidSize == 0) return false;
  LocalMemory<void> sid = LocalAllocate(sidSize);
  std::vector<char> domain(domainSize + 1);
  domainSize = static_cast<DWORD>(domain.size());
  if (!sid || !::LookupAccountNameA(nullptr, name.c_str(), sid.get(), &sidSize,
                                    domain.data(), &domainSize, &use))
    return false;

  // A discretionary list alone fits: the descriptor's header and at most
  // 64 KB of list.
  const DWORD sdSize = 65556;
  LocalMemory<void> oldSd = LocalAllocate(sdSize);
  DWORD needed = 0;
  if (!oldSd || !::GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION,
                                    oldSd.get(), sdSize, &needed))
    return false;
  BOOL present = FALSE, defaulted = FALSE;
  PACL oldAcl = nullptr;
  if (!::GetSecurityDescriptorDacl(oldSd.get(), &present, &oldAcl, &defaulted))
    return false;
  // No list means no restriction: the account has every access already,
  // and a list of one entry would shut everybody else out.
  if (!present || oldAcl == nullptr) return true;

  LocalMemory<ACL> newAcl;
  if (!AppendAllowedAce(oldAcl, sid.get(), mask, newAcl)) return false;

  SECURITY_DESCRIPTOR sd;
  if (!::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
      !::SetSecurityDescriptorDacl(&sd, TRUE, newAcl.get(), FALSE))
    return false;
  return ::SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, &sd) != FALSE;
}

}  // namespace velandra::platform::win32
