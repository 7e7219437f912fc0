// The share, drive and printer backends against the real advapi32,
// netapi32, mpr and winspool (under Wine in the Windows build). Natively
// this file is empty.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "system/platform/win32/win32_network_drives.h"
#include "system/platform/win32/win32_printers.h"
#include "system/platform/win32/win32_shares.h"
#include "system/platform/win_types.h"
#include <lmerr.h>
#include <sddl.h>

namespace velandra::platform::win32 {
namespace {

constexpr char kEveryone[] = "S-1-1-0";
constexpr char kAdministrators[] = "S-1-5-32-544";
constexpr char kUsers[] = "S-1-5-32-545";

std::string CurrentUserSid() {
  char user[256];
  DWORD size = sizeof user;
  std::string sid;
  if (!::GetUserNameA(user, &size) || !Win32Shares().SidOfAccount(user, sid)) return {};
  return sid;
}

// What a share's entries are given as and what reading the descriptor back
// must give: the same entries in the same order, flags dropped.
TEST(Win32ShareDescriptor, AllowAndDenyEntriesReadBackInTheirOrder) {
  const std::string me = CurrentUserSid();
  ASSERT_FALSE(me.empty());
  struct Row {
    const char* what;
    std::vector<ShareAce> aces;
  };
  const Row rows[] = {
      {"no entries: nobody has access", {}},
      {"allow everyone read", {{0, 0, 0x1200A9, kEveryone}}},
      {"deny after allow is not moved",
       {{0, 0, 0x1F01FF, kEveryone}, {1, 0, 0x1F01FF, me}, {0, 0, 0x1301BF, kUsers}}},
      {"allow and deny for one account",
       {{0, 0, 0x1F01FF, kAdministrators}, {1, 0, 0x130116, kAdministrators}}},
      {"every mask of the dialog",
       {{0, 0, 0x1F01FF, kEveryone}, {0, 0, 0x1301BF, kUsers}, {0, 0, 0x130116, me},
        {1, 0, 0x1200A9, kAdministrators}, {1, 0, 0, kEveryone}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ShareDescriptor sd;
    ASSERT_EQ(sd.Build(row.aces), 0);
    EXPECT_TRUE(::IsValidSecurityDescriptor(sd.get()));
    ShareInfo read;
    ReadDescriptorDacl(sd.get(), read);
    EXPECT_TRUE(read.HasDacl);
    EXPECT_EQ(read.Dacl, row.aces);
  }
  // Flags given with an entry are not passed on: a share's entries are its own.
  ShareDescriptor sd;
  ASSERT_EQ(sd.Build({{0, INHERITED_ACE, 0x1200A9, kEveryone}}), 0);
  ShareInfo read;
  ReadDescriptorDacl(sd.get(), read);
  ASSERT_EQ(read.Dacl.size(), 1u);
  EXPECT_EQ(read.Dacl[0].Flags, 0);
}

TEST(Win32ShareDescriptor, RefusesWhatWouldNotReadBack) {
  ShareDescriptor sd;
  EXPECT_EQ(sd.Build({{0, 0, 0x1F01FF, kEveryone}, {0, 0, 0x1F01FF, "not a SID"}}),
            ERROR_INVALID_SID);
  EXPECT_EQ(sd.Build({{0, 0, 0x1F01FF, std::string("S-1-1-0\0x", 9)}}), ERROR_INVALID_SID);
  // 20-byte entries: 3276 fill the 64 KB an ACL can hold, one more does not.
  std::vector<ShareAce> many(3276, ShareAce{0, 0, 0x1200A9, kEveryone});
  ASSERT_EQ(sd.Build(many), 0);
  many.push_back(many.front());
  EXPECT_EQ(sd.Build(many), ERROR_ALLOTTED_SPACE_EXCEEDED);
}

TEST(Win32ShareDescriptor, DescriptorsWithoutAListReadAsNone) {
  ShareInfo none;
  ReadDescriptorDacl(nullptr, none);
  EXPECT_FALSE(none.HasDacl);

  SECURITY_DESCRIPTOR sd;
  ASSERT_TRUE(::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
  ShareInfo noDacl;
  ReadDescriptorDacl(&sd, noDacl);
  EXPECT_FALSE(noDacl.HasDacl);

  ASSERT_TRUE(::SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE));
  ShareInfo nullDacl;
  ReadDescriptorDacl(&sd, nullDacl);
  EXPECT_FALSE(nullDacl.HasDacl);
  EXPECT_TRUE(nullDacl.Dacl.empty());
}

TEST(Win32Shares, AccountsAndSidsBothWays) {
  Win32Shares shares;
  std::string name, domain, sid;
  ASSERT_TRUE(shares.AccountOfSid(kEveryone, name, domain));
  EXPECT_EQ(name, "Everyone");
  ASSERT_TRUE(shares.SidOfAccount("Everyone", sid));
  EXPECT_EQ(sid, kEveryone);
  ASSERT_TRUE(shares.AccountOfSid(kAdministrators, name, domain));
  ASSERT_TRUE(shares.SidOfAccount(domain + "\\" + name, sid));
  EXPECT_EQ(sid, kAdministrators);

  name = "kept";
  EXPECT_FALSE(shares.AccountOfSid("not a SID", name, domain));
  EXPECT_FALSE(shares.AccountOfSid("S-1-5-21-1-2-3-4242", name, domain));
  EXPECT_EQ(name, "kept");
  sid = "kept";
  EXPECT_FALSE(shares.SidOfAccount("velandra-no-such-user", sid));
  EXPECT_FALSE(shares.SidOfAccount(std::string("Everyone\0x", 10), sid));
  EXPECT_EQ(sid, "kept");
}

// The share calls themselves need the server service; where it is missing
// (Wine without its Samba bridge) they must fail, never pretend.
TEST(Win32Shares, AddListAndDeleteAShare) {
  Win32Shares shares;
  std::vector<ShareInfo> before;
  long status = shares.EnumShares(before);
  if (status != 0) {
    EXPECT_TRUE(before.empty());
    ShareInfo info;
    info.Name = "velandra-test";
    info.Path = "C:\\";
    EXPECT_NE(shares.AddShare(info), 0);
    GTEST_SKIP() << "NetShareEnum gives " << status << ": no server service here";
  }
  char temp[MAX_PATH];
  ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
  ShareInfo info;
  info.Name = "velandra-test";
  info.Path = std::string(temp);
  info.Path.pop_back();  // no trailing backslash
  info.Remark = "テスト";
  info.HasDacl = true;
  info.Dacl = {{0, 0, 0x1200A9, kEveryone}, {1, 0, 0x1F01FF, kUsers}};
  status = shares.AddShare(info);
  if (status == ERROR_ACCESS_DENIED) GTEST_SKIP() << "sharing needs an administrator";
  ASSERT_EQ(status, 0);
  std::vector<ShareInfo> after;
  ASSERT_EQ(shares.EnumShares(after), 0);
  EXPECT_EQ(shares.DeleteShare(info.Name), 0);
  bool found = false;
  for (const ShareInfo& s : after) {
    if (s.Name != info.Name) continue;
    found = true;
    EXPECT_EQ(s.Remark, info.Remark);
    EXPECT_EQ(s.Dacl, info.Dacl);
  }
  EXPECT_TRUE(found);
  EXPECT_NE(shares.DeleteShare(info.Name), 0);
}

TEST(Win32Shares, TextsWindowsWouldCutAreRefused) {
  Win32Shares shares;
  ShareInfo info;
  info.Name = std::string("a\0b", 3);
  info.Path = "C:\\";
  EXPECT_EQ(shares.AddShare(info), ERROR_INVALID_PARAMETER);
  info.Name = std::string(257, 'a');
  EXPECT_EQ(shares.AddShare(info), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(shares.DeleteShare(std::string("a\0b", 3)), ERROR_INVALID_PARAMETER);
}

// No server answers here: a connection must be refused with an error, and
// nothing may be listed for its letter afterwards.
TEST(Win32NetworkDrives, ConnectionToNoServerFailsAndLeavesNothing) {
  Win32NetworkDrives drives;
  std::vector<DriveConnection> before;
  const long opened = drives.EnumConnected(before);
  const long result = drives.AddConnection("Q:", "\\\\velandra-no-server\\share", "", "");
  EXPECT_NE(result, 0);
  std::vector<DriveConnection> after;
  EXPECT_EQ(drives.EnumConnected(after), opened);
  for (const DriveConnection& c : after) EXPECT_NE(c.LocalName, "Q:");
  EXPECT_NE(drives.CancelConnection("Q:"), 0);
}

TEST(Win32NetworkDrives, ZeroBytesAreRefusedBeforeWindowsIsAsked) {
  Win32NetworkDrives drives;
  EXPECT_EQ(drives.AddConnection(std::string("Q:\0", 3), "\\\\s\\x", "", ""),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(drives.AddConnection("Q:", "\\\\s\\x", "u", std::string("p\0w", 3)),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(drives.CancelConnection(std::string("Q:\0", 3)), ERROR_INVALID_PARAMETER);
}

TEST(Win32Printers, AnUnknownPrinterIsNotMadeTheDefault) {
  Win32Printers printers;
  std::vector<std::string> names;
  long error = 0;
  ASSERT_TRUE(printers.EnumPrinterNames(names, error)) << error;
  std::string before, after;
  long getError = 0;
  const bool hadDefault = printers.GetDefault(before, getError);
  if (hadDefault) {
    EXPECT_FALSE(before.empty());
    EXPECT_NE(std::find(names.begin(), names.end(), before), names.end()) << before;
  }
  EXPECT_FALSE(printers.SetDefault("Velandra にないプリンタ", error));
  EXPECT_NE(error, 0);
  EXPECT_FALSE(printers.SetDefault(std::string("a\0b", 3), error));
  EXPECT_EQ(error, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(printers.GetDefault(after, getError), hadDefault);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace velandra::platform::win32

#endif  // _WIN32
