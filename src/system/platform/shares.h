// Shared folders (netapi32) and their access lists (advapi32). Texts are
// CP932; SIDs travel as their string form ("S-1-1-0"), so that code outside
// the backends never holds a binary SID.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velandra::platform {

// One entry of a share's DACL.
struct ShareAce {
  uint8_t Type = 0;  // 0 access allowed, 1 access denied
  uint8_t Flags = 0;
  uint32_t Mask = 0;
  std::string Sid;  // "S-1-..."
  bool operator==(const ShareAce&) const = default;
};

// SHARE_INFO_502 with its security descriptor.
struct ShareInfo {
  std::string Name;
  uint32_t Type = 0;  // STYPE_*; kShareSpecial marks administrative shares
  std::string Remark;
  uint32_t Permissions = 0;
  int32_t MaxUses = -1;  // SHI_USES_UNLIMITED
  uint32_t CurrentUses = 0;
  std::string Path;
  std::string Password;
  // A security descriptor with a present, non-null DACL: its entries in
  // order. False for no descriptor, no DACL or a null DACL (and then Dacl
  // is empty); given to AddShare, false passes no descriptor.
  bool HasDacl = false;
  std::vector<ShareAce> Dacl;
};

enum : uint32_t { kShareSpecial = 0x80000000u, kShareIpc = 3 };

// NET_API_STATUS values the share calls return.
enum : long {
  kShareInvalidName = 123,     // ERROR_INVALID_NAME
  kShareNoneMapped = 1332,     // ERROR_NONE_MAPPED: an account without a SID
  kShareInvalidSid = 1337,     // ERROR_INVALID_SID
  kShareUnknownDevDir = 2116,  // NERR_UnknownDevDir: the path does not exist
  kShareDuplicate = 2118,      // NERR_DuplicateShare
  kShareNotFound = 2310,       // NERR_NetNameNotFound
};

class IShares {
 public:
  virtual ~IShares() = default;
  // NetShareEnum(NULL, 502, MAX_PREFERRED_LENGTH), repeated while it says
  // ERROR_MORE_DATA: every share of the PC, administrative ones included.
  // Returns the NET_API_STATUS; `shares` is set only on success.
  virtual long EnumShares(std::vector<ShareInfo>& shares) = 0;
  // NetShareAdd(NULL, 502) with an absolute security descriptor whose DACL
  // holds `share.Dacl` in order when `share.HasDacl`.
  virtual long AddShare(const ShareInfo& share) = 0;
  // NetShareDel(NULL, name).
  virtual long DeleteShare(const std::string& name) = 0;
  // LookupAccountSidA on the local system: false when the SID maps to no
  // account (or is not a SID).
  virtual bool AccountOfSid(const std::string& sid, std::string& name,
                                std::string& domain) = 0;
  // LookupAccountNameA on the local system for "name" or "DOMAIN\name":
  // false when no account has that name.
  virtual bool SidOfAccount(const std::string& account, std::string& sid) = 0;
};

}  // namespace velandra::platform
