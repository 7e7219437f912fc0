// The network drives of a place and their stored form in section P<n>:
// "NetworkDrive01", "NetworkDrive02", ... each holding
// LocalName,RemoteName,UserName,encoded Password.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"

namespace velandra::config {

struct NetworkDrive {
  virtual ~NetworkDrive() = default;
  std::string LocalName;   // "Z:"
  std::string RemoteName;  // "\\server\share"
  std::string UserName;    // empty: the logged-on user's credentials
  std::string Password;    // clear text in memory only
  bool operator==(const NetworkDrive&) const = default;
};

class NetworkDriveList {
 public:
  virtual ~NetworkDriveList() = default;
  std::vector<NetworkDrive> Drives;
};

// Longest value of a "NetworkDrive%02d" key that reads back whole.
inline constexpr size_t kDriveValueMax = 255;

// "NetworkDrive01" for index 1.
std::string DriveKey(size_t index);

// Appends the stored drives, up to the first missing key. A malformed value
// never fails: missing fields are empty, a three-field value drops its third.
void ReadDrivesFromConfig(NetworkDriveList& list, std::string_view section,
                          const ConfigFile& file);
// The stored value of one drive; a password of 86 bytes or more is an empty
// field.
std::string StoredDriveValue(const NetworkDrive& drive);
// Why `drive` cannot be stored so that it reads back as it is (a comma in a
// name, a value over 255 bytes); nullopt when it can. CP932 message text.
std::optional<std::string> CheckStoredDrive(const NetworkDrive& drive);
// Deletes NetworkDrive01, 02, ... up to the first missing key, writes the
// list from 01, and deletes the keys after it up to the first missing one,
// so that the list reads back as written. When any drive fails
// CheckStoredDrive nothing is touched, `message` says which and why, and the
// result is false.
bool WriteDrivesToConfig(const NetworkDriveList& list, std::string_view section,
                         const ConfigFile& file, std::string& message);

// The entry whose LocalName equals `localName` exactly (with case), or null.
const NetworkDrive* FindDrive(const NetworkDriveList& list, std::string_view localName);
void ClearDrives(NetworkDriveList& list);

// The place's DefaultPrinter key: nullopt when missing (the caller then takes
// the PC's default printer).
std::optional<std::string> ReadDefaultPrinterFromConfig(std::string_view section,
                                                        const ConfigFile& file);
bool WriteDefaultPrinterToConfig(std::string_view section, const ConfigFile& file,
                                 std::string_view printer);

}  // namespace velandra::config
