#include "system/platform/sim/demo_hosts.h"

#include "system/platform/sim/host_files.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

constexpr char kHostsSample[] =
    "# hosts sample: one address and its names per line.\r\n"
    "#\r\n"
    "#      102.54.94.97     rhino.acme.com          # source server\r\n"
    "\r\n"
    "127.0.0.1       localhost\r\n";

// Differs from the system hosts by the intranet line.
constexpr char kHonshaHosts[] =
    "127.0.0.1       localhost\r\n"
    "10.1.0.80       intranet.honsha.example.co.jp intranet\r\n";

}  // namespace

bool WriteDemoHostsFiles(const std::filesystem::path& etc,
                         const std::filesystem::path& programDir, std::string& error) {
  const std::filesystem::path files[] = {
      etc / "hosts.sam",
      programDir / HostPathFromUtf8(Cp932ToUtf8("hosts.本社")),
      programDir / HostPathFromUtf8(Cp932ToUtf8("hosts.本店")),
  };
  const char* const contents[] = {kHostsSample, kHonshaHosts, kHonshaHosts};
  for (size_t i = 0; i < 3; ++i) {
    if (!WriteHostFileAtomically(files[i], contents[i], &error)) return false;
  }
  return true;
}

}  // namespace velandra::platform::sim
