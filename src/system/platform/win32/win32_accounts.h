// IAccounts over netapi32.
#pragma once
#include <string>
#include <vector>

#include "system/platform/accounts.h"

namespace velandra::platform::win32 {

class Win32Accounts : public IAccounts {
 public:
  long GetLocalGroups(const std::string& user,
                      std::vector<std::string>& groups) override;
  long QueryDisplayUsers(uint32_t maxEntries, std::vector<std::string>& names) override;
};

}  // namespace velandra::platform::win32
