// IShares over netapi32's share calls and advapi32's SID and ACL calls.
#pragma once
#include "system/platform/shares.h"

namespace velandra::platform::win32 {

class Win32Shares : public IShares {
 public:
  long EnumShares(std::vector<ShareInfo>& shares) override;
  long AddShare(const ShareInfo& share) override;
  long DeleteShare(const std::string& name) override;
  bool AccountOfSid(const std::string& sid, std::string& name,
                        std::string& domain) override;
  bool SidOfAccount(const std::string& account, std::string& sid) override;
};

}  // namespace velandra::platform::win32
