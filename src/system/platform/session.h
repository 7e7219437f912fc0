// The logon session (advapi32, user32): the shutdown privilege, the
// Windows exit call, and logging on and impersonating another account.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace velandra::platform {

// ExitWindowsEx flags as the program passes them; the force flag is never
// added.
enum : uint32_t {
  kExitLogOff = 0,
  kExitShutdown = 1,
  kExitReboot = 2,
  kExitPowerOff = 8,
};

// The steps of enabling the shutdown privilege, for the caller's messages.
enum class PrivilegeStep { OpenToken, LookupPrivilege, AdjustToken };

// A logged-on account's token (LogonUserA); closed when destroyed.
class IToken {
 public:
  virtual ~IToken() = default;
};

class ISession {
 public:
  virtual ~ISession() = default;
  // OpenProcessToken, LookupPrivilegeValueA("SeShutdownPrivilege"),
  // AdjustTokenPrivileges: false with the step that failed. Each later
  // step is still tried by the caller's order; this reports the first.
  virtual bool EnableShutdownPrivilege(PrivilegeStep& failed) = 0;
  // ExitWindowsEx(flags, 0): true when Windows accepted the request.
  virtual bool RequestExit(uint32_t flags) = 0;
  // LogonUserA(user, domain, password, interactive, default provider):
  // null with GetLastError in `error` when refused.
  virtual std::unique_ptr<IToken> LogOn(const std::string& user, const std::string& domain,
                                            const std::string& password, long& error) = 0;
  // ImpersonateLoggedOnUser / RevertToSelf: false with GetLastError.
  virtual bool Impersonate(IToken& token, long& error) = 0;
  virtual bool RevertToSelf(long& error) = 0;
};

}  // namespace velandra::platform
