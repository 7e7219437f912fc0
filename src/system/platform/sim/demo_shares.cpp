#include "system/platform/sim/demo_shares.h"

#include <system_error>

#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_shares.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

// Literals are CP932; the state file is UTF-8.
constexpr char kDemoShares[] =
    "# Shares of the simulated PC (see docs/simulated-pc.md).\n"
    "[C$]\n"
    "type = 0x80000000\n"
    "path = C:\\\n"
    "remark = 既定の共有\n"
    "[ADMIN$]\n"
    "type = 0x80000000\n"
    "path = C:\\WINDOWS\n"
    "remark = リモート管理\n"
    "[IPC$]\n"
    "type = 0x80000003\n"
    "remark = リモート IPC\n"
    "[資料]\n"
    "type = 0\n"
    "path = C:\\共有\\資料\n"
    "remark = 部署の資料\n"
    "max_uses = 10\n"
    "ace = allow, Everyone, 0x001200A9\n"
    "ace = allow, yamada, 0x001F01FF\n"
    "ace = deny, Guest, 0x001F01FF\n"
    "[公開]\n"
    "type = 0\n"
    "path = C:\\共有\\公開\n"
    "max_uses = -1\n";

}  // namespace

bool WriteDemoShares(const std::filesystem::path& dir, std::string& error) {
  std::error_code ec;
  const std::filesystem::path shared = dir / "C" / HostPathFromUtf8(Cp932ToUtf8("共有"));
  for (const char* folder : {"資料", "公開", "予備"}) {
    std::filesystem::create_directories(shared / HostPathFromUtf8(Cp932ToUtf8(folder)), ec);
    if (ec) {
      error = "cannot make the demo share folder " + Cp932ToUtf8(folder) + ": " + ec.message();
      return false;
    }
  }
  std::string why;
  if (WriteHostFileAtomically(dir / kSharesFile, Cp932ToUtf8(kDemoShares), &why)) return true;
  error = why;
  return false;
}

}  // namespace velandra::platform::sim
