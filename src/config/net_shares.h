// The shares of a place and their permission entries, and their stored form
// in the place's section: "NetShare%02d" keys, each followed by its
// "NetShare%02d%02d" permission keys.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"

namespace velandra::config {

enum : uint8_t { kAceAllowed = 0, kAceDenied = 1 };

// The access masks the share permission dialog writes, for either column.
enum : uint32_t {
  kShareFullControl = 0x1F01FF,
  kShareChangeAndRead = 0x1301BF,
  kShareChange = 0x130116,
  kShareRead = 0x1200A9,
  kShareNoAccess = 0,
};

enum : int32_t { kShareDisk = 0, kSharePrintQueue = 1, kShareDevice = 2 };

struct SharePermission {
  std::string AccountName;
  std::string AccountDomain;  // may be empty
  uint8_t AceType = kAceAllowed;
  uint8_t AceFlags = 0;
  uint32_t AccessMask = kShareFullControl;
  bool operator==(const SharePermission&) const = default;
};

// The Windows share information of level 502, in the system's text.
struct NetShare {
  std::string ShareName;
  int32_t ShareType = kShareDisk;
  std::string Remark;
  int32_t Permissions = 0;
  int32_t MaxUses = -1;  // -1: unlimited
  int32_t CurrentUses = 0;
  std::string SharePath;
  std::string Password;  // clear text in memory
  std::vector<SharePermission> Access;  // in order; denied entries are not moved
  bool operator==(const NetShare&) const = default;
};

using NetShareList = std::vector<NetShare>;

// Appends the shares stored in `section`. Never fails: missing fields take
// their defaults.
void ReadSharesFromConfig(const ConfigFile& config, std::string_view section,
                          NetShareList& shares);
// Replaces the stored shares of `section`. Every share is checked first
// (CheckShare); on a refusal nothing is written or removed, false is
// returned and `error` gets the message (CP932).
bool WriteSharesToConfig(const ConfigFile& config, std::string_view section,
                         const NetShareList& shares, std::string* error = nullptr);

// The stored values ("NetShare01" and "NetShare0101" forms).
std::string StoredShareValue(const NetShare& share);
std::string StoredPermissionValue(const SharePermission& permission);

// What Windows or the stored form would refuse in a share: an empty,
// over-long or badly formed share name, a disk share without an absolute
// local path, characters a path or an account cannot hold, a comma where
// the stored form separates fields, a value longer than the 255 bytes a
// read keeps. Empty when the share is fine, else the message (CP932).
std::string CheckShare(const NetShare& share);

// Exact, case-sensitive matches; null when there is none.
const NetShare* FindShare(const NetShareList& shares, std::string_view name);
const SharePermission* FindPermission(const NetShare& share, std::string_view accountName,
                                      std::string_view accountDomain, uint8_t aceType);

// "DOMAIN\name", or the name alone when the domain is empty.
std::string PermissionDisplayName(const SharePermission& permission);
// A readable summary, one line per share and per entry (CP932).
std::string DescribeShares(const NetShareList& shares);

}  // namespace velandra::config
