#include "system/platform/sim/demo_proxy.h"

#include "system/platform/registry.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_registry.h"

namespace velandra::platform::sim {

namespace {

constexpr char kKey[] = "Software\\Orvane\\Brisco";
// Without its trailing backslash, as an installer may leave it.
constexpr char kInstallDir[] = "C:\\Program Files\\Orvane\\Brisco";
constexpr char kDataFile[] = "C:\\Program Files\\Orvane\\Brisco\\BRISCO.INI";

constexpr char kDataText[] =
    "[BRSCINDEX]\r\n"
    "ENTRYCNT=2\r\n"
    "PXYNAME001=本社プロキシ\r\n"
    "PXYNAME002=自宅 光回線\r\n"
    "[BRSCSYSTEM]\r\n"
    "SELECT=1\r\n";

}  // namespace

bool WriteDemoCompanion(SimRegistry& reg, const std::filesystem::path& dir, std::string& error) {
  RegKey machine, user;
  long rc = machine.Create(reg, Hive::LocalMachine, kKey, kKeyAllAccess);
  if (rc == kErrorSuccess) rc = machine.SetString("InstallDir", kInstallDir);
  if (rc == kErrorSuccess) rc = machine.SetDword("Version", 410);
  if (rc == kErrorSuccess) rc = user.Create(reg, Hive::CurrentUser, kKey, kKeyAllAccess);
  if (rc == kErrorSuccess) rc = user.SetString("DataFilePath", kDataFile);
  if (rc != kErrorSuccess) {
    error = "demo companion registry: error " + std::to_string(rc) + " " + reg.LastWriteError();
    return false;
  }
  const std::filesystem::path folder = dir / "C" / "Program Files" / "Orvane" / "Brisco";
  std::string why;
  if (!WriteHostFileAtomically(folder / "BRISCO.INI", kDataText, &why) ||
      !WriteHostFileAtomically(folder / "BRISCO.EXE", "stand-in companion program\r\n", &why)) {
    error = why;
    return false;
  }
  return true;
}

}  // namespace velandra::platform::sim
