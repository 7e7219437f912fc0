#include "system/platform/sim/demo_drives.h"

#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_network_drives.h"
#include "system/platform/sim/sim_printers.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

// CP932 like every literal here, converted for the UTF-8 state files.
// "ソフト開発" has a trail byte 0x5C.
constexpr char kDrives[] =
    "# Network drive connections of the simulated PC's user (see docs/simulated-pc.md).\n"
    "[connections]\n"
    "Z: = \\\\fs01\\総務\n"
    "Y: = \\\\fs01\\ソフト開発\n"
    "- = \\\\fs01\\public\n"
    "[users]\n"
    "Y: = yamada\n"
    "[network]\n"
    "\\\\fs01\\総務 = share\n"
    "\\\\fs01\\ソフト開発 = share\n"
    "\\\\fs01\\経理 = share\n"
    "\\\\fs01\\public = share\n"
    "\\\\nas-home\\写真 = share\n";

constexpr char kPrinters[] =
    "# Printers of the simulated PC (see docs/simulated-pc.md).\n"
    "[printers]\n"
    "printer = Canon LBP-1310\n"
    "printer = 経理部 EPSON LP-9000C\n"
    "printer = \\\\fs01\\営業部カラー\n"
    "default = Canon LBP-1310\n";

}  // namespace

bool WriteDemoDrivesAndPrinters(const std::filesystem::path& dir, std::string& error) {
  std::string why;
  if (!WriteHostFileAtomically(dir / kDrivesFile, Cp932ToUtf8(kDrives), &why) ||
      !WriteHostFileAtomically(dir / kPrintersFile, Cp932ToUtf8(kPrinters), &why)) {
    error = why;
    return false;
  }
  return true;
}

}  // namespace velandra::platform::sim
