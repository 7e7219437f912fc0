#include "system/platform/win32/win32_session.h"

#include "system/platform/win_types.h"

namespace velandra::platform::win32 {

// Not built yet: every call fails, so nothing is pretended.
bool Win32Session::EnableShutdownPrivilege(PrivilegeStep& failed) {
  failed = PrivilegeStep::OpenToken;
  return false;
}
bool Win32Session::RequestExit(uint32_t) { return false; }
std::unique_ptr<IToken> Win32Session::LogOn(const std::string&, const std::string&,
                                                const std::string&, long& error) {
  error = kErrorCallNotImplemented;
  return nullptr;
}
bool Win32Session::Impersonate(IToken&, long& error) {
  error = kErrorCallNotImplemented;
  return false;
}
bool Win32Session::RevertToSelf(long& error) {
  error = kErrorCallNotImplemented;
  return false;
}

}  // namespace velandra::platform::win32
