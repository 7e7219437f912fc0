#include "system/platform/win32/win32_domain.h"

#include <windows.h>

namespace velandra::platform::win32 {

// Not built yet: every call fails, so that nothing counts as joined.
long Win32Domain::QueryPrimaryDomain(uint32_t, PrimaryDomain&) { return ERROR_NOT_SUPPORTED; }

long Win32Domain::JoinDomain(const std::string&, const std::optional<std::string>&,
                             const std::optional<std::string>&, uint32_t) {
  return ERROR_NOT_SUPPORTED;
}

long Win32Domain::UnjoinDomain(uint32_t) { return ERROR_NOT_SUPPORTED; }

}  // namespace velandra::platform::win32
