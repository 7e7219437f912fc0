// Domain membership (advapi32's LSA policy and netapi32's join calls). Texts
// are CP932; the Win32 backend converts them to UTF-16, each into the 256
// units the calls are given.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace velandra::platform {

// The primary domain information of the local policy.
struct PrimaryDomain {
  std::string Name;     // the domain's or the workgroup's name
  bool HasSid = false;  // a domain SID is present: the PC is a domain member
};

// LsaOpenPolicy access masks.
enum : uint32_t {
  kPolicyViewLocalInformation = 0x00000001,
  kPolicyMemberAccess = 0xA00F0FFF,  // generic read | generic execute | all access
};

// NetJoinDomain and NetUnjoinDomain options.
enum : uint32_t {
  kNetSetupJoinDomain = 0x01,
  kNetSetupAcctCreate = 0x02,
  kNetSetupAcctDelete = 0x04,
  kNetSetupDomainJoinIfJoined = 0x20,
};

class IDomain {
 public:
  virtual ~IDomain() = default;
  // LsaOpenPolicy on the local system with `access`, then
  // LsaQueryInformationPolicy(PolicyPrimaryDomainInformation); the handle is
  // closed and the buffer freed. 0 with `domain` set, else the error
  // (LsaNtStatusToWinError of the failing call); `domain` untouched then.
  virtual long QueryPrimaryDomain(uint32_t access, PrimaryDomain& domain) = 0;
  // NetJoinDomain(local computer, `domain`, no organisational unit, account,
  // password, options); nullopt passes a null pointer. The NET_API_STATUS.
  virtual long JoinDomain(const std::string& domain, const std::optional<std::string>& account,
                          const std::optional<std::string>& password, uint32_t options) = 0;
  // NetUnjoinDomain(local computer, no account, no password, options).
  virtual long UnjoinDomain(uint32_t options) = 0;
};

}  // namespace velandra::platform
