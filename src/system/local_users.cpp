#include "system/local_users.h"

#include "system/platform/text.h"

namespace velandra {

bool ListLocalUsers(platform::IAccounts& accounts, std::vector<std::string>& names) {
  names.clear();
  std::vector<std::string> found;
  if (accounts.QueryDisplayUsers(kMaxListedUsers, found) != 0) return false;
  for (const auto& name : found) names.push_back(platform::Cp932Cut(name, 255));
  return true;
}

}  // namespace velandra
