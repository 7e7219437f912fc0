// IDomain over advapi32's LSA policy calls and netapi32's join calls.
#pragma once
#include "system/platform/domain.h"

namespace velandra::platform::win32 {

class Win32Domain : public IDomain {
 public:
  long QueryPrimaryDomain(uint32_t access, PrimaryDomain& domain) override;
  long JoinDomain(const std::string& domain, const std::optional<std::string>& account,
                  const std::optional<std::string>& password, uint32_t options) override;
  long UnjoinDomain(uint32_t options) override;
};

}  // namespace velandra::platform::win32
