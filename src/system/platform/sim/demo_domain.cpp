#include "system/platform/sim/demo_domain.h"

#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_domain.h"

namespace velandra::platform::sim {

namespace {

constexpr char kDomains[] =
    "# Domain controllers the simulated PC can reach (see docs/simulated-pc.md).\n"
    "[VELANDRA]\n"
    "reachable = yes\n"
    "computer = FS01\n"
    "\n[VELANDRA\\Administrator]\n"
    "password = admin\n"
    "join = yes\n"
    "\n[VELANDRA\\suzuki]\n"
    "password = suzuki\n"
    "join = no\n"
    "\n[SHITEN]\n"
    "reachable = no\n"
    "\n[SHITEN\\Administrator]\n"
    "password = admin\n"
    "join = yes\n";

}  // namespace

bool WriteDemoDomains(const std::filesystem::path& dir, std::string& error) {
  return WriteHostFileAtomically(dir / kDomainsFile, kDomains, &error);
}

}  // namespace velandra::platform::sim
