#include "system/domain_join.h"

#include "system/platform/win_types.h"

namespace velandra {

// Not built yet: nothing is joined.
bool IsDomainMember(platform::Platform&) { return true; }

long JoinDomain(Context&, const config::PlaceSettings&, const std::string&, const std::string&,
                const std::string&, ui::IUserPasswordDialog&) {
  return 50;
}

void SwitchToWorkgroup(Context&, const config::PlaceSettings&) {}

}  // namespace velandra
