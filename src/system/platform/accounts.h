// Local accounts and groups (netapi32, advapi32).
#pragma once
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
};

}  // namespace velandra::platform
