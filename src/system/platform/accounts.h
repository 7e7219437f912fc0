// Local accounts and groups (netapi32, advapi32).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velandra::platform {

class IAccounts {
 public:
  virtual ~IAccounts() = default;
  // NetUserGetLocalGroups(NULL, user, level 0, LG_INCLUDE_INDIRECT): the
  // names of the local groups `user` belongs to. Returns the NET_API_STATUS
  // (0 on success); `groups` is set only on success.
  virtual long GetLocalGroups(const std::string& user,
                              std::vector<std::string>& groups) = 0;

  // NetQueryDisplayInformation(NULL, level 1, index 0, maxEntries,
  // MAX_PREFERRED_LENGTH): the user names in the account database's order.
  // Returns the NET_API_STATUS: 0 when all were returned, kErrorMoreData
  // when there are more than `maxEntries` (the names then hold the first
  // ones). Names are converted to the ANSI code page.
  virtual long QueryDisplayUsers(uint32_t maxEntries,
                                 std::vector<std::string>& names) = 0;
};

}  // namespace velandra::platform
