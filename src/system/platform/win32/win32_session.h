// ISession over advapi32 and user32.
#pragma once
#include "system/platform/session.h"

namespace velandra::platform::win32 {

class Win32Session : public ISession {
 public:
  bool EnableShutdownPrivilege(PrivilegeStep& failed) override;
  bool RequestExit(uint32_t flags) override;
  std::unique_ptr<IToken> LogOn(const std::string& user, const std::string& domain,
                                    const std::string& password, long& error) override;
  bool Impersonate(IToken& token, long& error) override;
  bool RevertToSelf(long& error) override;
};

}  // namespace velandra::platform::win32
