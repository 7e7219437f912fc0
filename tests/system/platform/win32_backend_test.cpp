// The Win32 backends against the real kernel32, advapi32, netapi32, shell32
// and user32 (under Wine in the Windows build). Natively this file is empty.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "system/platform/win32/handles.h"
#include "system/platform/win32/win32_accounts.h"
#include "system/platform/win32/win32_files.h"
#include "system/platform/win32/win32_messages.h"
#include "system/platform/win32/win32_session.h"
#include "system/platform/win32/win32_shell.h"
#include "system/platform/win32/win32_system_info.h"
#include "system/platform/win_types.h"
#include <lmerr.h>
#include <shlobj.h>
#include "support/wine_host.h"

namespace velandra::platform::win32 {

using velandra::testing::IsWine;

namespace {

std::wstring Wide(const std::string& ansi) {
  int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, out.data(), n);
  out.resize(out.size() - 1);
  return out;
}

DWORD Attributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

bool IsDir(const std::string& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Names in a directory, "." and ".." left out.
std::set<std::string> ListNames(const std::string& dir) {
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  FindHandle find(::FindFirstFileA((dir + "\\*").c_str(), &data));
  if (!find) return names;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") names.insert(name);
  } while (::FindNextFileA(find.get(), &data));
  return names;
}

void RemoveTree(const std::string& dir) {
  for (const std::string& name : ListNames(dir)) {
    std::string path = dir + "\\" + name;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (IsDir(path))
      RemoveTree(path);
    else
      ::DeleteFileA(path.c_str());
  }
  ::RemoveDirectoryA(dir.c_str());
}

// A directory of its own under the temporary directory, named and removed
// with the A functions the backend uses (so CP932 names inside go too).
class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<unsigned> counter{0};
    char temp[MAX_PATH];
    DWORD n = ::GetTempPathA(sizeof temp, temp);
    std::string base(temp, n);
    if (!base.empty() && base.back() == '\\') base.pop_back();
    path_ = base + "\\velandra-w32-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(counter++);
    RemoveTree(path_);
    EXPECT_TRUE(::CreateDirectoryA(path_.c_str(), nullptr)) << path_;
  }
  ~ScratchDir() { RemoveTree(path_); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

 private:
  std::string path_;
};

// Writes a file with plain Win32 calls, independent of the code under test.
void PutFile(const std::string& path, const std::string& data) {
  FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << path << " error " << ::GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()),
                          &written, nullptr));
  ASSERT_EQ(written, data.size());
}

// ---------------------------------------------------------------- handles

struct CountingTraits {
  using Type = int;
  static int closed;
  static Type Invalid() noexcept { return -1; }
  static void Close(Type) noexcept { ++closed; }
};
int CountingTraits::closed = 0;

TEST(Win32Handles, MoveTransfersOwnershipAndClosesOnce) {
  CountingTraits::closed = 0;
  {
    UniqueResource<CountingTraits> a(7);
    UniqueResource<CountingTraits> b(std::move(a));
    EXPECT_FALSE(a.valid());
    EXPECT_EQ(b.get(), 7);
    UniqueResource<CountingTraits> c(8);
    c = std::move(b);  // closes 8
    EXPECT_EQ(CountingTraits::closed, 1);
    UniqueResource<CountingTraits> d(9);
    EXPECT_EQ(d.release(), 9);  // handed out, not closed
  }
  EXPECT_EQ(CountingTraits::closed, 2);  // 7, once
}

TEST(Win32Handles, FileHandleTreatsInvalidHandleValueAsEmpty) {
  FileHandle none(::CreateFileA("Z:\\velandra\\no\\such\\file", GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(none);
  Handle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(event);
  HANDLE raw = event.get();
  event.reset();
  EXPECT_FALSE(event);
  // Closed: the handle no longer names the event.
  EXPECT_EQ(::WaitForSingleObject(raw, 0), WAIT_FAILED);
}

// ------------------------------------------------------------ system info

TEST(Win32SystemInfo, VersionIsNtFiveOrLaterWithSaneFields) {
  Win32SystemInfo info;
  OsVersion basic;
  basic.ProductType = 77;  // marker: the basic query clears the extended fields
  ASSERT_TRUE(info.GetVersion(basic));
  EXPECT_EQ(basic.PlatformId, 2u);
  EXPECT_GE(basic.MajorVersion, 5u);
  EXPECT_GT(basic.BuildNumber, 0u);
  EXPECT_LE(basic.ServicePack.size(), 127u);
  EXPECT_EQ(basic.ProductType, 0);
  EXPECT_EQ(basic.SuiteMask, 0);

  OsVersion extended;
  ASSERT_TRUE(info.GetVersionEx(extended));
  EXPECT_EQ(extended.MajorVersion, basic.MajorVersion);
  EXPECT_EQ(extended.MinorVersion, basic.MinorVersion);
  EXPECT_EQ(extended.BuildNumber, basic.BuildNumber);
  EXPECT_EQ(extended.ServicePack, basic.ServicePack);
  EXPECT_GE(extended.ProductType, 1);
  EXPECT_LE(extended.ProductType, 3);
  if (extended.ServicePack.empty()) {
    EXPECT_EQ(extended.ServicePackMajor, 0);
  }
}

TEST(Win32SystemInfo, ModuleAndSystemDirectoryExist) {
  Win32SystemInfo info;
  std::string exe = info.ModuleFileName();
  ASSERT_GT(exe.size(), 4u);
  std::string extension = exe.substr(exe.size() - 4);
  ::CharUpperA(extension.data());
  EXPECT_EQ(extension, ".EXE") << exe;
  EXPECT_NE(Attributes(exe), INVALID_FILE_ATTRIBUTES) << exe;
  EXPECT_FALSE(IsDir(exe));

  std::string system = info.SystemDirectory();
  ASSERT_GE(system.size(), 3u);
  EXPECT_EQ(system.substr(1, 2), ":\\") << system;
  EXPECT_TRUE(IsDir(system)) << system;
}

TEST(Win32SystemInfo, ComputerAndUserNamesAreGiven) {
  Win32SystemInfo info;
  std::string computer = "marker", user = "marker";
  ASSERT_TRUE(info.GetComputerName(computer));
  EXPECT_FALSE(computer.empty());
  EXPECT_NE(computer, "marker");
  EXPECT_EQ(computer.find('\0'), std::string::npos);
  ASSERT_TRUE(info.GetUserName(user));
  EXPECT_FALSE(user.empty());
  EXPECT_NE(user, "marker");
  EXPECT_EQ(user.find('\0'), std::string::npos);
}

TEST(Win32SystemInfo, VolumesOfTheSystemDriveAndOfAnUnusedLetter) {
  Win32SystemInfo info;
  std::string root = info.SystemDirectory().substr(0, 3);
  std::string fs;
  ASSERT_TRUE(info.GetFileSystemName(root, fs)) << root;
  EXPECT_FALSE(fs.empty());
  EXPECT_EQ(info.GetDriveType(root), kDriveFixed);

  DWORD drives = ::GetLogicalDrives();
  int unused = -1;
  for (int i = 25; i >= 3 && unused < 0; --i)
    if (!(drives & (1u << i))) unused = i;
  ASSERT_GE(unused, 0) << "every drive letter is in use";
  std::string none = std::string(1, static_cast<char>('A' + unused)) + ":\\";
  fs = "marker";
  EXPECT_FALSE(info.GetFileSystemName(none, fs)) << none;
  EXPECT_EQ(fs, "marker");
  EXPECT_EQ(info.GetDriveType(none), kDriveNoRootDir);
}

// --------------------------------------------------------------- accounts

TEST(Win32Accounts, GroupsOfTheCurrentUser) {
  Win32SystemInfo info;
  std::string user;
  ASSERT_TRUE(info.GetUserName(user));
  Win32Accounts accounts;
  std::vector<std::string> groups{"marker"};
  long status = accounts.GetLocalGroups(user, groups);
  if (status == ERROR_ACCESS_DENIED || status == NERR_UserNotFound) {
    // A domain account is not a local user of this computer.
    EXPECT_EQ(groups, std::vector<std::string>{"marker"});
    GTEST_SKIP() << "the current user is not a local account here (" << status << ")";
  }
  ASSERT_EQ(status, 0);
  ASSERT_FALSE(groups.empty());
  EXPECT_NE(groups, std::vector<std::string>{"marker"});
  for (const std::string& g : groups) EXPECT_FALSE(g.empty());
}

TEST(Win32Accounts, UnknownUserIsReportedAndGroupsUntouched) {
  Win32Accounts accounts;
  std::vector<std::string> groups{"marker"};
  long status = accounts.GetLocalGroups("velandra-no-such-user", groups);
  if (status == 0 && IsWine())
    GTEST_SKIP() << "Wine's netapi32 answers any user name with the group "
                    "Administrators; Windows returns NERR_UserNotFound";
  EXPECT_EQ(status, NERR_UserNotFound);
  EXPECT_EQ(groups, std::vector<std::string>{"marker"});
}

TEST(Win32Accounts, NameWithZeroByteIsRefused) {
  Win32Accounts accounts;
  std::vector<std::string> groups{"marker"};
  Win32SystemInfo info;
  std::string user;
  ASSERT_TRUE(info.GetUserName(user));
  // Cut at the zero, the call would ask about the current user instead.
  EXPECT_EQ(accounts.GetLocalGroups(user + std::string(1, '\0') + "x", groups),
            kErrorInvalidParameter);
  EXPECT_EQ(groups, std::vector<std::string>{"marker"});
}

// ------------------------------------------------------------------ files

class Win32FilesTest : public ::testing::Test {
 protected:
  ScratchDir dir_;
  Win32Files files_;
};

// "表" (95 5C), "ソ" (83 5C) and "能" (94 5C) end in a backslash byte.
TEST_F(Win32FilesTest, RoundTripWithCp932Names) {
  struct Row {
    const char* directory;  // relative, "" for the scratch directory itself
    const char* name;
  };
  const Row rows[] = {
      {"", "plain.txt"},
      {"", "表.txt"},
      {"表示", "能.txt"},
      {"表示\\ソ", "表"},
  };
  const std::string content("line 1\r\n\x00\x5c\x95\x5c\xff end", 18);
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.directory) + " | " + row.name);
    std::string dir = *row.directory ? dir_ / row.directory : dir_.path();
    ASSERT_TRUE(files_.CreateDirectories(dir));
    EXPECT_TRUE(files_.IsDirectory(dir));
    // Made as named: the wide name of every level exists.
    EXPECT_NE(::GetFileAttributesW(Wide(dir).c_str()), INVALID_FILE_ATTRIBUTES);

    std::string path = dir + "\\" + row.name;
    ASSERT_TRUE(files_.WriteFile(path, content));
    EXPECT_TRUE(files_.Exists(path));
    EXPECT_FALSE(files_.IsDirectory(path));
    std::string read = "marker";
    ASSERT_TRUE(files_.ReadFile(path, read));
    EXPECT_EQ(read, content);
    EXPECT_EQ(ListNames(dir).count(row.name), 1u);

    std::string copy = path + ".copy";
    ASSERT_TRUE(files_.CopyFile(path, copy, true));
    ASSERT_TRUE(files_.ReadFile(copy, read));
    EXPECT_EQ(read, content);
    ASSERT_TRUE(files_.WriteFile(copy, "other"));
    EXPECT_FALSE(files_.CopyFile(path, copy, true));  // fails if it exists
    ASSERT_TRUE(files_.ReadFile(copy, read));
    EXPECT_EQ(read, "other");
    EXPECT_TRUE(files_.CopyFile(path, copy, false));
    ASSERT_TRUE(files_.ReadFile(copy, read));
    EXPECT_EQ(read, content);

    long error = 12345;
    EXPECT_TRUE(files_.DeleteFile(path, &error));
    EXPECT_EQ(error, 12345);  // untouched on success
    EXPECT_TRUE(files_.DeleteFile(copy));
    EXPECT_FALSE(files_.Exists(path));
    EXPECT_FALSE(files_.Exists(copy));
  }
  // Nothing else was made on the way: no directory named by a lead byte.
  EXPECT_EQ(ListNames(dir_.path()), (std::set<std::string>{"表示"}));
  EXPECT_EQ(ListNames(dir_ / "表示"), (std::set<std::string>{"ソ"}));
  EXPECT_EQ(ListNames(dir_ / "表示\\ソ"), (std::set<std::string>{}));
}

TEST_F(Win32FilesTest, CreateDirectoriesForms) {
  const char* rows[] = {
      "a\\b\\c",         // three missing levels
      "a\\b\\c",         // all there already
      "d\\e\\",          // trailing separator
      "f\\\\g",          // doubled separator
      "h/i",             // forward slash
      "十\\能",          // 8F 5C, 94 5C
  };
  for (const char* row : rows) {
    SCOPED_TRACE(row);
    EXPECT_TRUE(files_.CreateDirectories(dir_ / row));
    EXPECT_TRUE(IsDir(dir_ / row));
  }
  EXPECT_EQ(ListNames(dir_.path()),
            (std::set<std::string>{"a", "d", "f", "h", "十"}));
  EXPECT_EQ(ListNames(dir_ / "f"), (std::set<std::string>{"g"}));
  EXPECT_EQ(ListNames(dir_ / "十"), (std::set<std::string>{"能"}));

  std::string root = dir_.path().substr(0, 3);
  EXPECT_TRUE(files_.CreateDirectories(root)) << root;
}

TEST_F(Win32FilesTest, CreateDirectoriesStopsAtAFile) {
  PutFile(dir_ / "file", "x");
  EXPECT_FALSE(files_.CreateDirectories(dir_ / "file"));
  EXPECT_FALSE(files_.CreateDirectories(dir_ / "file\\sub"));
  EXPECT_FALSE(IsDir(dir_ / "file"));
  std::string data;
  ASSERT_TRUE(files_.ReadFile(dir_ / "file", data));
  EXPECT_EQ(data, "x");
}

TEST_F(Win32FilesTest, ReadAndDeleteOfMissingFiles) {
  std::string data = "marker";
  EXPECT_FALSE(files_.ReadFile(dir_ / "missing.txt", data));
  EXPECT_EQ(data, "marker");
  long error = 0;
  EXPECT_FALSE(files_.DeleteFile(dir_ / "missing.txt", &error));
  EXPECT_EQ(error, kErrorFileNotFound);
  EXPECT_FALSE(files_.DeleteFile(dir_ / "missing.txt"));  // no error wanted
}

TEST_F(Win32FilesTest, PathsWithZeroBytesAreRefused) {
  PutFile(dir_ / "keep.txt", "kept");
  const std::string cut = dir_ / "keep.txt" + std::string(1, '\0') + "x";
  long error = 0;
  EXPECT_FALSE(files_.DeleteFile(cut, &error));
  EXPECT_EQ(error, kErrorInvalidParameter);
  EXPECT_FALSE(files_.WriteFile(cut, "lost"));
  EXPECT_FALSE(files_.CopyFile(dir_ / "keep.txt", cut, false));
  EXPECT_FALSE(files_.Exists(cut));
  std::string data;
  ASSERT_TRUE(files_.ReadFile(dir_ / "keep.txt", data));
  EXPECT_EQ(data, "kept");
  EXPECT_EQ(ListNames(dir_.path()), (std::set<std::string>{"keep.txt"}));
}

TEST_F(Win32FilesTest, WriteReplacesAndLeavesNoTemporaryFile) {
  const std::string path = dir_ / "hosts";
  PutFile(path, "old content\r\n");
  ASSERT_TRUE(files_.WriteFile(path, "new\r\n"));
  std::string data;
  ASSERT_TRUE(files_.ReadFile(path, data));
  EXPECT_EQ(data, "new\r\n");
  ASSERT_TRUE(files_.WriteFile(path, ""));
  ASSERT_TRUE(files_.ReadFile(path, data));
  EXPECT_EQ(data, "");
  EXPECT_EQ(ListNames(dir_.path()), (std::set<std::string>{"hosts"}));
}

TEST_F(Win32FilesTest, FailedWriteLeavesTheOldFile) {
  PutFile(dir_ / "readonly.txt", "old");
  ASSERT_TRUE(::SetFileAttributesA((dir_ / "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(::CreateDirectoryA((dir_ / "adir").c_str(), nullptr));
  struct Row {
    const char* what;
    std::string path;
  };
  const Row rows[] = {
      {"read-only target", dir_ / "readonly.txt"},
      {"a directory in the way", dir_ / "adir"},
      {"missing directory", dir_ / "nodir\\file.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_FALSE(files_.WriteFile(row.path, "new content"));
  }
  std::string data;
  ASSERT_TRUE(files_.ReadFile(dir_ / "readonly.txt", data));
  EXPECT_EQ(data, "old");
  EXPECT_TRUE(IsDir(dir_ / "adir"));
  EXPECT_TRUE(ListNames(dir_ / "adir").empty());
  // No temporary file is left behind, and nothing was created.
  EXPECT_EQ(ListNames(dir_.path()), (std::set<std::string>{"readonly.txt", "adir"}));
}

// A reader running beside repeated writes sees one whole version or the
// other, never a mix or a short file. Windows refuses to replace a file
// that is open at the moment; such a write fails and leaves the old one.
TEST_F(Win32FilesTest, ReadersSeeOldOrNewNeverHalf) {
  const std::string path = dir_ / "big.txt";
  const std::string a(256 * 1024, 'a'), b(300 * 1024, 'b');
  ASSERT_TRUE(files_.WriteFile(path, a));
  std::atomic<bool> done{false};
  std::atomic<int> torn{0}, reads{0};
  std::thread reader([&] {
    Win32Files files;
    std::string data;
    while (!done) {
      if (!files.ReadFile(path, data)) continue;
      ++reads;
      if (data != a && data != b) ++torn;
    }
  });
  int written = 0;
  for (int i = 0; i < 60; ++i)
    if (files_.WriteFile(path, i % 2 ? a : b)) ++written;
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0) << "of " << reads << " reads";
  ASSERT_TRUE(files_.WriteFile(path, b));
  std::string data;
  ASSERT_TRUE(files_.ReadFile(path, data));
  EXPECT_EQ(data, b);
  EXPECT_EQ(ListNames(dir_.path()), (std::set<std::string>{"big.txt"}));
}

// ---------------------------------------------------------------- access

struct Dacl {
  bool present = false;
  bool null = false;
  std::vector<std::vector<BYTE>> aces;  // each ACE's bytes, in order
};

bool ReadDacl(const std::string& path, Dacl& dacl) {
  DWORD needed = 0;
  ::GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  if (needed == 0) return false;
  std::vector<DWORD> sd(needed / sizeof(DWORD) + 1);
  if (!::GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, sd.data(),
                          static_cast<DWORD>(sd.size() * sizeof(DWORD)), &needed))
    return false;
  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  if (!::GetSecurityDescriptorDacl(sd.data(), &present, &acl, &defaulted)) return false;
  dacl = Dacl();
  dacl.present = present;
  dacl.null = acl == nullptr;
  if (!acl) return true;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(acl, i, &ace)) return false;
    const BYTE* bytes = static_cast<const BYTE*>(ace);
    dacl.aces.emplace_back(bytes, bytes + static_cast<const ACE_HEADER*>(ace)->AceSize);
  }
  return true;
}

std::vector<BYTE> SidOf(const std::string& account) {
  DWORD sidSize = 0, domainSize = 0;
  SID_NAME_USE use;
  ::LookupAccountNameA(nullptr, account.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
  std::vector<BYTE> sid(sidSize);
  std::vector<char> domain(domainSize + 1);
  domainSize = static_cast<DWORD>(domain.size());
  if (sidSize == 0 || !::LookupAccountNameA(nullptr, account.c_str(), sid.data(), &sidSize,
                                            domain.data(), &domainSize, &use))
    return {};
  return sid;
}

std::vector<BYTE> WorldSid() {
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID sid = nullptr;
  if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &sid))
    return {};
  const BYTE* bytes = static_cast<const BYTE*>(sid);
  std::vector<BYTE> out(bytes, bytes + ::GetLengthSid(sid));
  ::FreeSid(sid);
  return out;
}

// The ACE is an access-allowed entry for `sid` with `mask`; NTFS may store
// a generic right mapped to the file rights.
void ExpectAllowedAce(const std::vector<BYTE>& ace, const std::vector<BYTE>& sid,
                      DWORD mask, DWORD mapped) {
  ASSERT_GE(ace.size(), sizeof(ACCESS_ALLOWED_ACE));
  const auto* allowed = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(ace.data());
  EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
  EXPECT_TRUE(allowed->Mask == mask || allowed->Mask == mapped) << std::hex << allowed->Mask;
  ASSERT_FALSE(sid.empty());
  std::vector<BYTE> aceSid(ace.begin() + offsetof(ACCESS_ALLOWED_ACE, SidStart), ace.end());
  EXPECT_EQ(aceSid, sid);
  EXPECT_EQ(ace.size(), sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + sid.size());
}

// Answers every volume with one file system name and records the roots asked.
class FixedVolumes : public Win32SystemInfo {
 public:
  explicit FixedVolumes(std::string fs) : fs_(std::move(fs)) {}
  bool GetFileSystemName(const std::string& root, std::string& fs) override {
    roots.push_back(root);
    fs = fs_;
    return true;
  }
  std::vector<std::string> roots;

 private:
  std::string fs_;
};

LocalMemory<ACL> MakeAcl(DWORD size) {
  LocalMemory<ACL> acl = LocalAllocate<ACL>(size);
  if (acl && !::InitializeAcl(acl.get(), size, ACL_REVISION)) acl.reset();
  return acl;
}

std::vector<std::vector<BYTE>> AcesOf(const ACL* acl) {
  std::vector<std::vector<BYTE>> aces;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(const_cast<ACL*>(acl), i, &ace)) break;
    const BYTE* bytes = static_cast<const BYTE*>(ace);
    aces.emplace_back(bytes, bytes + static_cast<const ACE_HEADER*>(ace)->AceSize);
  }
  return aces;
}

// The list building of GrantAccess works in memory, so it is checked here
// also where the file system does not keep lists.
TEST(Win32AppendAllowedAce, KeepsEveryEntryInOrderAndAppendsOne) {
  std::string user;
  ASSERT_TRUE(Win32SystemInfo().GetUserName(user));
  std::vector<BYTE> userSid = SidOf(user), world = WorldSid();
  ASSERT_FALSE(userSid.empty());
  ASSERT_FALSE(world.empty());

  LocalMemory<ACL> empty = MakeAcl(sizeof(ACL));
  LocalMemory<ACL> mixed = MakeAcl(512);
  ASSERT_TRUE(empty && mixed);
  ASSERT_TRUE(::AddAccessDeniedAce(mixed.get(), ACL_REVISION, FILE_WRITE_DATA, userSid.data()));
  ASSERT_TRUE(::AddAccessAllowedAce(mixed.get(), ACL_REVISION, FILE_GENERIC_READ, world.data()));
  ASSERT_TRUE(::AddAccessAllowedAceEx(mixed.get(), ACL_REVISION, INHERITED_ACE,
                                      FILE_ALL_ACCESS, userSid.data()));
  struct Row {
    const char* what;
    const ACL* old;
  };
  const Row rows[] = {{"no entries", empty.get()}, {"deny, allow, inherited", mixed.get()}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    LocalMemory<ACL> result;
    ASSERT_TRUE(AppendAllowedAce(row.old, world.data(), kGenericAll, result))
        << ::GetLastError();
    ASSERT_TRUE(result);
    EXPECT_TRUE(::IsValidAcl(result.get()));
    std::vector<std::vector<BYTE>> before = AcesOf(row.old), after = AcesOf(result.get());
    ASSERT_EQ(after.size(), before.size() + 1);
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i], before[i]) << i;
    ExpectAllowedAce(after.back(), world, kGenericAll, kGenericAll);
  }
}

// Lists are at most 64 KB: one entry more than fits is refused, not cut.
TEST(Win32AppendAllowedAce, RefusesToPassSixtyFourKilobytes) {
  std::vector<BYTE> world = WorldSid();
  const DWORD aceSize = sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) +
                        static_cast<DWORD>(world.size());  // 20 bytes
  const DWORD maxAcl = 65532;  // the largest DWORD-aligned size
  struct Row {
    DWORD entries;
    bool fits;
  };
  const DWORD room = (maxAcl - sizeof(ACL)) / aceSize - 1;  // leaves space for one
  const Row rows[] = {{room, true}, {room + 1, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entries);
    LocalMemory<ACL> old = MakeAcl(maxAcl);
    ASSERT_TRUE(old);
    for (DWORD i = 0; i < row.entries; ++i)
      ASSERT_TRUE(::AddAccessAllowedAce(old.get(), ACL_REVISION, i + 1, world.data())) << i;
    LocalMemory<ACL> result;
    EXPECT_EQ(AppendAllowedAce(old.get(), world.data(), kGenericAll, result), row.fits);
    EXPECT_EQ(result.valid(), row.fits);
    if (row.fits) {
      EXPECT_EQ(result.get()->AceCount, row.entries + 1);
    } else {
      EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALLOTTED_SPACE_EXCEEDED));
    }
  }
}

class Win32GrantAccessTest : public Win32FilesTest {
 protected:
  void SetUp() override {
    file_ = dir_ / "Velandra.lnk";
    PutFile(file_, "link");
    std::string fs;
    ASSERT_TRUE(QueryFileSystemName(file_.substr(0, 3), fs));
    if (fs != "NTFS") GTEST_SKIP() << "the scratch volume is " << fs << ", not NTFS";
    ASSERT_TRUE(ReadDacl(file_, before_));
    if (!before_.present || before_.null)
      GTEST_SKIP() << "the new file has no access list to extend";
  }
  std::string file_;
  Dacl before_;
};

TEST_F(Win32GrantAccessTest, AppendsOneEntryAndKeepsTheOthersInOrder) {
  struct Row {
    const char* account;  // "" = the logged-on user
    uint32_t mask;
    DWORD mapped;         // the same rights as NTFS may store them
  };
  const Row rows[] = {
      {"Everyone", kGenericAll, FILE_ALL_ACCESS},
      {"", kGenericRead, FILE_GENERIC_READ},
  };
  std::string user;
  ASSERT_TRUE(Win32SystemInfo().GetUserName(user));
  Dacl expected = before_;
  for (const Row& row : rows) {
    SCOPED_TRACE(*row.account ? row.account : "(logged-on user)");
    ASSERT_TRUE(files_.GrantAccess(file_, row.account, row.mask)) << ::GetLastError();
    Dacl after;
    ASSERT_TRUE(ReadDacl(file_, after));
    if (IsWine() && after.aces.size() == expected.aces.size())
      GTEST_SKIP() << "Wine turns an access list into Unix mode bits and rebuilds "
                      "the list from them: the added entry cannot be read back";
    ASSERT_EQ(after.aces.size(), expected.aces.size() + 1);
    for (size_t i = 0; i < expected.aces.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(after.aces[i], expected.aces[i]);
    }
    std::vector<BYTE> sid = *row.account ? WorldSid() : SidOf(user);
    ExpectAllowedAce(after.aces.back(), sid, row.mask, row.mapped);
    expected = after;
  }
  std::string data;
  ASSERT_TRUE(files_.ReadFile(file_, data));
  EXPECT_EQ(data, "link");
}

TEST_F(Win32GrantAccessTest, FailuresChangeNothing) {
  FixedVolumes fat("FAT32");
  Win32Files onFat(fat);
  EXPECT_FALSE(onFat.GrantAccess(file_, "Everyone", kGenericAll));
  EXPECT_EQ(fat.roots, std::vector<std::string>{file_.substr(0, 2) + "\\"});

  EXPECT_FALSE(files_.GrantAccess(file_, "velandra-no-such-account", kGenericAll));
  EXPECT_FALSE(files_.GrantAccess(dir_ / "missing.lnk", "Everyone", kGenericAll));
  EXPECT_FALSE(files_.GrantAccess("Velandra.lnk", "Everyone", kGenericAll));  // no drive
  EXPECT_FALSE(files_.GrantAccess(file_ + std::string(1, '\0') + "x", "Everyone", kGenericAll));
  EXPECT_FALSE(files_.GrantAccess(file_, std::string("Everyone\0x", 10), kGenericAll));

  Dacl after;
  ASSERT_TRUE(ReadDacl(file_, after));
  EXPECT_EQ(after.aces, before_.aces);
  EXPECT_FALSE(files_.Exists(dir_ / "missing.lnk"));
}

TEST_F(Win32GrantAccessTest, FileWithoutAccessListIsLeftOpenToAll) {
  SECURITY_DESCRIPTOR sd;
  ASSERT_TRUE(::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(::SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE));
  ASSERT_TRUE(::SetFileSecurityA(file_.c_str(), DACL_SECURITY_INFORMATION, &sd));
  Dacl open;
  ASSERT_TRUE(ReadDacl(file_, open));
  if (!open.null)
    GTEST_SKIP() << "a null access list was not kept"
                 << (IsWine() ? " (Wine rebuilds the list from Unix mode bits)" : "");

  EXPECT_TRUE(files_.GrantAccess(file_, "Everyone", kGenericAll));
  Dacl after;
  ASSERT_TRUE(ReadDacl(file_, after));
  EXPECT_TRUE(after.null) << "a list of one entry would shut everyone else out";
}

// ------------------------------------------------------------------ shell

TEST(Win32Shell, CommonStartupFolder) {
  Win32Shell shell;
  std::string created = "marker", plain = "marker";
  ASSERT_TRUE(shell.GetSpecialFolderPath(SpecialFolder::CommonStartup, true, created));
  ASSERT_GE(created.size(), 3u);
  EXPECT_EQ(created.substr(1, 2), ":\\") << created;
  EXPECT_TRUE(IsDir(created)) << created;
  ASSERT_TRUE(shell.GetSpecialFolderPath(SpecialFolder::CommonStartup, false, plain));
  EXPECT_EQ(plain, created);
}

// Shortcuts through the shell link object, in a scratch folder whose names
// hold CP932 trail bytes of 0x5C.
class Win32ShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(shell_.InitializeCom());
    com_ = true;
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.put_void())))
      GTEST_SKIP() << "no shell link object here";
    ASSERT_TRUE(::CreateDirectoryA((dir_ / "表示").c_str(), nullptr));
    PutFile(dir_ / "Velandra.exe", "MZ");
    PutFile(dir_ / "表示\\ソフト.exe", "MZ");
  }
  void TearDown() override {
    if (com_) shell_.UninitializeCom();
  }
  ScratchDir dir_;
  Win32Shell shell_;
  bool com_ = false;
};

TEST_F(Win32ShortcutTest, RoundTripAndReplace) {
  struct Row {
    const char* file;
    ShortcutSpec spec;
  };
  const Row rows[] = {
      {"Velandra.lnk", {dir_ / "Velandra.exe", "-r \"本社\"", dir_.path(), "Velandra"}},
      {"表示\\能.lnk",
       {dir_ / "表示\\ソフト.exe", "-p \"ソ能\" -relogon", dir_ / "表示", "ソフト"}},
      {"bare.lnk", {dir_ / "Velandra.exe", "", "", ""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string path = dir_ / row.file;
    ASSERT_TRUE(shell_.CreateShortcut(path, row.spec));
    // Saved under its name: the wide name exists.
    EXPECT_NE(::GetFileAttributesW(Wide(path).c_str()), INVALID_FILE_ATTRIBUTES);
    ShortcutSpec read{"marker", "marker", "marker", "marker"};
    ASSERT_TRUE(shell_.ReadShortcut(path, read));
    EXPECT_EQ(read.Target, row.spec.Target);
    EXPECT_EQ(read.Arguments, row.spec.Arguments);
    EXPECT_EQ(read.WorkingDirectory, row.spec.WorkingDirectory);
    EXPECT_EQ(read.Description, row.spec.Description);
    // No icon, a normal window: read with the link object itself.
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkA, link.put_void())));
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void())));
    ASSERT_TRUE(SUCCEEDED(file->Load(Wide(path).c_str(), STGM_READ)));
    int show = -1, icon = -1;
    char iconPath[MAX_PATH] = "marker";
    ASSERT_TRUE(SUCCEEDED(link->GetShowCmd(&show)));
    EXPECT_EQ(show, SW_SHOWNORMAL);
    ASSERT_TRUE(SUCCEEDED(link->GetIconLocation(iconPath, MAX_PATH, &icon)));
    EXPECT_STREQ(iconPath, "");
    EXPECT_EQ(icon, 0);

    ShortcutSpec next = row.spec;
    next.Arguments = "-r \"自宅\"";
    ASSERT_TRUE(shell_.CreateShortcut(path, next));
    ASSERT_TRUE(shell_.ReadShortcut(path, read));
    EXPECT_EQ(read.Arguments, next.Arguments);
  }
  EXPECT_EQ(ListNames(dir_ / "表示"), (std::set<std::string>{"ソフト.exe", "能.lnk"}));
}

TEST_F(Win32ShortcutTest, FailuresMakeAndReadNothing) {
  const ShortcutSpec spec{dir_ / "Velandra.exe", "-r \"本社\"", dir_.path(), "Velandra"};
  EXPECT_FALSE(shell_.CreateShortcut(dir_ / "missing\\a.lnk", spec));
  ShortcutSpec zero = spec;
  zero.Arguments = std::string("-r x\0 -s", 8);
  EXPECT_FALSE(shell_.CreateShortcut(dir_ / "zero.lnk", zero));
  EXPECT_FALSE(shell_.CreateShortcut(std::string("a\0.lnk", 6), spec));
  EXPECT_EQ(ListNames(dir_.path()), (std::set<std::string>{"Velandra.exe", "表示"}));

  PutFile(dir_ / "text.lnk", "not a shell link");
  ShortcutSpec read{"marker", "", "", ""};
  EXPECT_FALSE(shell_.ReadShortcut(dir_ / "none.lnk", read));
  EXPECT_FALSE(shell_.ReadShortcut(dir_ / "text.lnk", read));
  EXPECT_EQ(read.Target, "marker");
}

// ---------------------------------------------------------------- session
// RequestExit is never called here: it would end the session running the
// tests.

TEST(Win32Session, ShutdownPrivilegeIsEnabled) {
  Win32Session session;
  PrivilegeStep failed = PrivilegeStep::OpenToken;
  const bool enabled = session.EnableShutdownPrivilege(failed);
  if (!enabled && IsWine())
    GTEST_SKIP() << "Wine did not enable the privilege (step " << static_cast<int>(failed) << ")";
  ASSERT_TRUE(enabled) << "step " << static_cast<int>(failed);

  // The process token now holds it enabled.
  TokenHandle token;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()));
  LUID luid;
  ASSERT_TRUE(::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid));
  PRIVILEGE_SET set = {};
  set.PrivilegeCount = 1;
  set.Control = PRIVILEGE_SET_ALL_NECESSARY;
  set.Privilege[0].Luid = luid;
  BOOL held = FALSE;
  ASSERT_TRUE(::PrivilegeCheck(token.get(), &set, &held));
  EXPECT_TRUE(held);
}

TEST(Win32Session, ZeroBytesAreRefusedBeforeTheLogon) {
  Win32Session session;
  struct Row {
    const char* name;
    std::string user, domain, password;
  } rows[] = {
      {"user", std::string("Administrator\0x", 15), ".", ""},
      {"domain", "Administrator", std::string(".\0CORP", 6), ""},
      {"password", "Administrator", ".", std::string("a\0b", 3)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    long error = 0;
    EXPECT_EQ(session.LogOn(row.user, row.domain, row.password, error), nullptr);
    EXPECT_EQ(error, kErrorInvalidParameter);
  }
}

TEST(Win32Session, UnknownAccountIsALogonFailure) {
  Win32Session session;
  long error = 0;
  auto token = session.LogOn("velandra-no-such-user", ".", "x", error);
  if (token && IsWine()) GTEST_SKIP() << "Wine's LogonUserA logs any account on";
  EXPECT_EQ(token, nullptr);
  EXPECT_EQ(error, 1326);  // ERROR_LOGON_FAILURE
}

TEST(Win32Session, ImpersonatesALoggedOnTokenAndReverts) {
  Win32Session session;
  Win32SystemInfo info;
  std::string user;
  ASSERT_TRUE(info.GetUserName(user));
  long error = 0;
  auto token = session.LogOn(user, ".", "", error);
  if (!token) GTEST_SKIP() << "the test knows no password to log on with (error " << error << ")";
  const bool impersonating = session.Impersonate(*token, error);
  if (!impersonating && IsWine() && error == kErrorInvalidHandle)
    GTEST_SKIP() << "Wine's LogonUserA hands out a token that is no handle";
  ASSERT_TRUE(impersonating) << error;
  TokenHandle thread;
  EXPECT_TRUE(::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, thread.put()));
  ASSERT_TRUE(session.RevertToSelf(error)) << error;
  EXPECT_FALSE(::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, thread.put()));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NO_TOKEN));
}

TEST(Win32Session, ImpersonationOfAForeignTokenAndRevertWithoutOne) {
  Win32Session session;
  class OtherToken : public IToken {};
  OtherToken other;
  long error = 0;
  EXPECT_FALSE(session.Impersonate(other, error));
  EXPECT_EQ(error, kErrorInvalidHandle);
  error = 12345;
  EXPECT_TRUE(session.RevertToSelf(error));
  EXPECT_EQ(error, 12345);  // untouched on success
}

// --------------------------------------------------------------- messages

// Finds the box that the showing thread opens, records what it shows and
// presses a button. It looks until the box call has returned, so a box that
// cannot be shown ends the test rather than blocking it.
class BoxPresser {
 public:
  BoxPresser(DWORD showingThread, int button)
      : thread_([this, showingThread, button] { Run(showingThread, button); }) {}
  ~BoxPresser() { Stop(); }
  void Stop() {
    returned_ = true;
    if (thread_.joinable()) thread_.join();
  }

  bool seen = false;
  std::string caption, text;
  HWND owner = nullptr;
  bool hasOk = false, hasYes = false, hasNo = false;
  HICON icon = nullptr;

 private:
  static BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    char cls[32] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) != "#32770") return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  static BOOL CALLBACK FindIcon(HWND child, LPARAM param) {
    char cls[32] = {};
    ::GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0) return TRUE;
    if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      *reinterpret_cast<HICON*>(param) =
          reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
    return TRUE;
  }
  static BOOL CALLBACK FindText(HWND child, LPARAM param) {
    if (::GetDlgCtrlID(child) == 0xFFFF) {
      char buffer[512] = {};
      ::GetWindowTextA(child, buffer, sizeof buffer);
      *reinterpret_cast<std::string*>(param) = buffer;
    }
    return TRUE;
  }

  void Run(DWORD showingThread, int button) {
    while (!returned_) {
      HWND box = nullptr;
      ::EnumThreadWindows(showingThread, FindBox, reinterpret_cast<LPARAM>(&box));
      if (box && ::IsWindowVisible(box)) {
        char buffer[512] = {};
        ::GetWindowTextA(box, buffer, sizeof buffer);
        caption = buffer;
        ::EnumChildWindows(box, FindText, reinterpret_cast<LPARAM>(&text));
        ::EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&icon));
        owner = ::GetWindow(box, GW_OWNER);
        hasOk = ::GetDlgItem(box, IDOK) != nullptr;
        hasYes = ::GetDlgItem(box, IDYES) != nullptr;
        hasNo = ::GetDlgItem(box, IDNO) != nullptr;
        seen = true;
        ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return;
      }
      ::Sleep(10);
    }
  }

  std::atomic<bool> returned_{false};
  std::thread thread_;
};

TEST(Win32Messages, ShowsTheBoxAsAsked) {
  // A window of this thread to own the boxes of MessageOwner::MainWindow.
  HWND main = ::CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPED, 0, 0, 10, 10,
                                nullptr, nullptr, nullptr, nullptr);
  if (!main) GTEST_SKIP() << "no display to show windows on (error " << ::GetLastError() << ")";
  struct Row {
    MessageOwner owner;
    MessageIcon icon;
    LPCSTR iconId;
    MessageButtons buttons;
    int press;
    MessageAnswer expected;
  };
  const Row rows[] = {
      {MessageOwner::None, MessageIcon::Error, IDI_HAND, MessageButtons::Ok, IDOK,
       MessageAnswer::Ok},
      {MessageOwner::MainWindow, MessageIcon::Warning, IDI_EXCLAMATION, MessageButtons::Ok,
       IDOK, MessageAnswer::Ok},
      {MessageOwner::MainWindow, MessageIcon::Question, IDI_QUESTION,
       MessageButtons::YesNo, IDYES, MessageAnswer::Yes},
      {MessageOwner::None, MessageIcon::Information, IDI_ASTERISK, MessageButtons::YesNo,
       IDNO, MessageAnswer::No},
  };
  Win32Messages messages;
  messages.SetMainWindow(main);
  const std::string text = "指定された場所の名前が見つかりません";
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(i);
    BoxPresser presser(::GetCurrentThreadId(), row.press);
    MessageAnswer answer = messages.Show(row.owner, text, "Velandra", row.icon, row.buttons);
    presser.Stop();
    if (!presser.seen) {
      ::DestroyWindow(main);
      GTEST_SKIP() << "MessageBoxA showed no box here";
    }
    EXPECT_EQ(answer, row.expected);
    EXPECT_EQ(presser.caption, "Velandra");
    EXPECT_EQ(presser.text, text);
    EXPECT_EQ(presser.owner, row.owner == MessageOwner::MainWindow ? main : nullptr);
    const bool yesNo = row.buttons == MessageButtons::YesNo;
    EXPECT_EQ(presser.hasOk, !yesNo);
    EXPECT_EQ(presser.hasYes, yesNo);
    EXPECT_EQ(presser.hasNo, yesNo);
    EXPECT_EQ(presser.icon, ::LoadIconA(nullptr, row.iconId));
  }
  ::DestroyWindow(main);
}

}  // namespace
}  // namespace velandra::platform::win32

#endif  // _WIN32
