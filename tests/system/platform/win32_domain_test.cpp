// The domain backend against the real advapi32 and netapi32 (under Wine in
// the Windows build). Natively this file is empty. Nothing here joins or
// leaves anything: the only join goes to a domain that cannot exist, and
// only on a PC that is in a workgroup.
#ifdef _WIN32

#include "system/platform/win32/win_api.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "system/platform/win32/win32_domain.h"
#include "system/platform/win_types.h"
#include "support/wine_host.h"

namespace velandra::platform::win32 {

using velandra::testing::IsWine;

namespace {

constexpr uint32_t kJoin = kNetSetupJoinDomain | kNetSetupAcctCreate | kNetSetupDomainJoinIfJoined;

TEST(Win32Domain, QueryGivesTheWorkgroupOnWine) {
  Win32Domain domain;
  PrimaryDomain d{"untouched", true};
  ASSERT_EQ(domain.QueryPrimaryDomain(kPolicyViewLocalInformation, d), kErrorSuccess);
  PrimaryDomain all{"untouched", true};
  const long rc = domain.QueryPrimaryDomain(kPolicyMemberAccess, all);
  // All access needs an administrator on Windows; Wine grants it.
  if (rc == kErrorSuccess) {
    EXPECT_EQ(all.Name, d.Name);
    EXPECT_EQ(all.HasSid, d.HasSid);
  } else {
    EXPECT_EQ(rc, kErrorAccessDenied);
    EXPECT_EQ(all.Name, "untouched");
  }
  if (!IsWine()) GTEST_SKIP() << "not Wine: the PC's membership is its own (" << d.Name << ")";
  EXPECT_FALSE(d.HasSid);
  EXPECT_FALSE(d.Name.empty());
}

TEST(Win32Domain, TextsThatCannotBePassedWholeAreRefusedBeforeAnyCall) {
  Win32Domain domain;
  const std::string zero("VELAN\0DRA", 9);
  const std::string tooLong(256, 'A');
  struct Row {
    const char* name;
    std::string domain;
    std::optional<std::string> account, password;
  } rows[] = {
      {"zero_in_domain", zero, std::nullopt, std::nullopt},
      {"zero_in_account", "NO-SUCH-DOMAIN", std::string("adm\0in", 6), std::nullopt},
      {"zero_in_password", "NO-SUCH-DOMAIN", "admin", std::string("pa\0ss", 5)},
      {"domain_of_256", tooLong, std::nullopt, std::nullopt},
      {"account_of_256", "NO-SUCH-DOMAIN", tooLong, std::nullopt},
      {"password_of_256", "NO-SUCH-DOMAIN", "admin", tooLong},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(domain.JoinDomain(row.domain, row.account, row.password, kJoin),
              kErrorInvalidParameter);
  }
}

TEST(Win32Domain, JoinToADomainThatDoesNotExistFailsAndChangesNothing) {
  Win32Domain domain;
  PrimaryDomain before;
  ASSERT_EQ(domain.QueryPrimaryDomain(kPolicyViewLocalInformation, before), kErrorSuccess);
  if (before.HasSid)
    GTEST_SKIP() << "the PC is a member of " << before.Name << ": no join is tried on it";
  if (IsWine())
    GTEST_SKIP() << "Wine has no NetJoinDomain: its export is an unimplemented stub that "
                    "aborts the process when called";
  // A NetBIOS name that no network has a domain of.
  const long rc = domain.JoinDomain("VLNDR-NO-DOMAIN", std::string("nobody"),
                                    std::string("wrong"), kJoin);
  PrimaryDomain after;
  ASSERT_EQ(domain.QueryPrimaryDomain(kPolicyViewLocalInformation, after), kErrorSuccess);
  EXPECT_EQ(after.Name, before.Name);
  EXPECT_EQ(after.HasSid, before.HasSid);
  EXPECT_NE(rc, kErrorSuccess);
}

}  // namespace
}  // namespace velandra::platform::win32

#endif  // _WIN32
