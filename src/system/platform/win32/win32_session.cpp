#include "system/platform/win32/win32_session.h"

#include "system/platform/win32/ansi_text.h"
#include "system/platform/win32/handles.h"
#include "system/platform/win_types.h"

namespace velandra::platform::win32 {

namespace {

// A LogonUserA token; closed with its owner.
class Win32Token : public IToken {
 public:
  explicit Win32Token(HANDLE token) : token_(token) {}
  HANDLE get() const { return token_.get(); }

 private:
  TokenHandle token_;
};

bool LastError(long& error) {
  error = static_cast<long>(::GetLastError());
  return false;
}

}  // namespace

bool Win32Session::EnableShutdownPrivilege(PrivilegeStep& failed) {
  TokenHandle token;
  const bool opened = ::OpenProcessToken(::GetCurrentProcess(),
                                         TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()) != FALSE;
  LUID luid = {};
  // Looked up even without a token, as the caller's order has it.
  const bool found = ::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid) != FALSE;
  if (!opened) {
    failed = PrivilegeStep::OpenToken;
    return false;
  }
  if (!found) {
    failed = PrivilegeStep::LookupPrivilege;
    return false;
  }
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid = luid;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  // AdjustTokenPrivileges succeeds without enabling a privilege the
  // account does not hold; only the last error tells.
  if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) ||
      ::GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
    failed = PrivilegeStep::AdjustToken;
    return false;
  }
  return true;
}

bool Win32Session::RequestExit(uint32_t flags) { return ::ExitWindowsEx(flags, 0) != FALSE; }

std::unique_ptr<IToken> Win32Session::LogOn(const std::string& user, const std::string& domain,
                                            const std::string& password, long& error) {
  // Cut at a zero byte, the call would log on another account or check
  // another password.
  if (HasZero(user) || HasZero(domain) || HasZero(password)) {
    error = kErrorInvalidParameter;
    return nullptr;
  }
  HANDLE token = nullptr;
  if (!::LogonUserA(user.c_str(), domain.c_str(), password.c_str(), LOGON32_LOGON_INTERACTIVE,
                    LOGON32_PROVIDER_DEFAULT, &token)) {
    LastError(error);
    return nullptr;
  }
  return std::make_unique<Win32Token>(token);
}

bool Win32Session::Impersonate(IToken& token, long& error) {
  auto* win32 = dynamic_cast<Win32Token*>(&token);
  if (!win32) {
    error = kErrorInvalidHandle;
    return false;
  }
  return ::ImpersonateLoggedOnUser(win32->get()) != FALSE || LastError(error);
}

bool Win32Session::RevertToSelf(long& error) {
  return ::RevertToSelf() != FALSE || LastError(error);
}

}  // namespace velandra::platform::win32
