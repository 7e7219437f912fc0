// The PC side of network drives and the default printer: the drives
// connected now, connecting and disconnecting, the installed printers and
// the default printer, all through the platform layer.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "config/network_drives.h"
#include "system/platform/platform.h"

namespace velandra {

// Limits of what Windows takes at a connection (MAX_PATH, UNLEN, PWLEN).
inline constexpr size_t kRemoteNameMax = 259;
inline constexpr size_t kDriveUserMax = 256;
inline constexpr size_t kDrivePasswordMax = 256;
// GetDefaultPrinterA is given 256 bytes, so a longer name never reads back.
inline constexpr size_t kPrinterNameMax = 255;

// Appends the drives connected now that have a drive letter, without user
// or password. When the enumeration cannot be opened the list stays as it is
// and its result is returned; 0 otherwise.
long ReadDrivesFromPC(config::NetworkDriveList& list, platform::INetworkDrives& drives);

// Why the PC would not be asked to connect `drive` (CP932): a local name
// other than a letter A-Z with a colon, a remote name that is not a UNC
// path \\server\share, or a value over Windows' limits. nullopt when fine.
std::optional<std::string> CheckDriveConnection(const config::NetworkDrive& drive);

// Cancels any connection of the drive's letter (result ignored), then
// connects it, remembered in the user profile. Returns the connection's
// result (0 success). A drive that fails CheckDriveConnection changes
// nothing: the reason is shown as a warning and the result is
// kErrorBadDevice, kErrorBadNetName or kErrorInvalidParameter.
long ConnectDrive(const config::NetworkDrive& drive, platform::Platform& platform);

// Cancels every connected disk resource (also from the profile); failures
// are ignored.
void DisconnectAllDrives(platform::INetworkDrives& drives);

// The installed printers in enumeration order; empty when the enumeration fails.
std::vector<std::string> ListPrinters(platform::IPrinters& printers);
// The PC's default printer; empty when it has none.
std::string GetDefaultPrinter(platform::IPrinters& printers);
// Makes `name` the default printer. An empty name asks nothing of Windows
// (which would pick a printer of its own) and is true. A name over 255
// bytes is refused with a warning; false then, and when Windows refuses.
bool SetDefaultPrinter(const std::string& name, platform::Platform& platform);

// A printable summary (CP932): one line per drive, the password masked,
// and the default printer.
std::string DescribeDrivesAndPrinter(const config::NetworkDriveList& list,
                                     const std::string& defaultPrinter);

}  // namespace velandra
