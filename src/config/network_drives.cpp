#include "config/network_drives.h"

#include <cstdio>

#include "system/platform/text.h"

namespace velandra::config {

namespace {

constexpr char kDefaultPrinterKey[] = "DefaultPrinter";

bool HasComma(std::string_view text) {
  return platform::Cp932Find(text, ',') != std::string_view::npos;
}

// Deletes the keys from `first` up to the first missing one.
bool DeleteDriveKeysFrom(size_t first, std::string_view section, const ConfigFile& file) {
  bool ok = true;
  for (size_t i = first;; ++i) {
    std::string key = DriveKey(i);
    if (file.ReadString(section, key, kNoDataPlace, kDriveValueMax + 1) == kNoDataPlace)
      return ok;
    ok = file.DeleteKey(section, key) && ok;
  }
}

}  // namespace

std::string DriveKey(size_t index) {
  char key[32];
  std::snprintf(key, sizeof key, "NetworkDrive%02zu", index);
  return key;
}

void ReadDrivesFromConfig(NetworkDriveList& list, std::string_view section,
                          const ConfigFile& file) {
  for (size_t i = 1;; ++i) {
    std::string value =
        file.ReadString(section, DriveKey(i), kNoDataPlace, kDriveValueMax + 1);
    if (value == kNoDataPlace) return;
    std::string_view v = value;
    NetworkDrive drive;
    // Commas inside a two-byte character are trail bytes, not separators.
    size_t c1 = platform::Cp932Find(v, ',');
    if (c1 == std::string_view::npos) {
      drive.RemoteName = value;
    } else {
      drive.LocalName = value.substr(0, c1);
      size_t c2 = platform::Cp932Find(v, ',', c1 + 1);
      if (c2 == std::string_view::npos) {
        drive.RemoteName = value.substr(c1 + 1);
      } else {
        drive.RemoteName = value.substr(c1 + 1, c2 - c1 - 1);
        size_t c3 = platform::Cp932Find(v, ',', c2 + 1);
        if (c3 != std::string_view::npos) {
          drive.UserName = value.substr(c2 + 1, c3 - c2 - 1);
          drive.Password = DecodeStoredPassword(v.substr(c3 + 1));
        }
      }
    }
    list.Drives.push_back(std::move(drive));
  }
}

std::string StoredDriveValue(const NetworkDrive& drive) {
  return drive.LocalName + "," + drive.RemoteName + "," + drive.UserName + "," +
         EncodeStoredPassword(drive.Password);
}

std::optional<std::string> CheckStoredDrive(const NetworkDrive& drive) {
  const std::string name = drive.LocalName.empty() ? drive.RemoteName : drive.LocalName;
  if (HasComma(drive.LocalName) || HasComma(drive.RemoteName) || HasComma(drive.UserName))
    return "ネットワークドライブ " + name + " の設定に「,」が含まれているため保存できません";
  if (StoredDriveValue(drive).size() > kDriveValueMax)
    return "ネットワークドライブ " + name + " の設定が長すぎるため保存できません";
  return std::nullopt;
}

bool WriteDrivesToConfig(const NetworkDriveList& list, std::string_view section,
                         const ConfigFile& file, std::string& message) {
  for (const NetworkDrive& drive : list.Drives) {
    if (auto why = CheckStoredDrive(drive)) {
      message = *why;
      return false;
    }
  }
  bool ok = DeleteDriveKeysFrom(1, section, file);
  for (size_t i = 0; i < list.Drives.size(); ++i)
    ok = file.WriteString(section, DriveKey(i + 1), StoredDriveValue(list.Drives[i])) && ok;
  // A key left behind a gap ("NetworkDrive03" without "02") would follow the
  // new list once it is long enough to close the gap, and read back as one
  // more drive; the key after the list is kept missing so the list ends there.
  return DeleteDriveKeysFrom(list.Drives.size() + 1, section, file) && ok;
}

const NetworkDrive* FindDrive(const NetworkDriveList& list, std::string_view localName) {
  for (const NetworkDrive& drive : list.Drives)
    if (drive.LocalName == localName) return &drive;
  return nullptr;
}

void ClearDrives(NetworkDriveList& list) { list.Drives.clear(); }

std::optional<std::string> ReadDefaultPrinterFromConfig(std::string_view section,
                                                        const ConfigFile& file) {
  std::string value = file.ReadString(section, kDefaultPrinterKey, kNoDataPlace, 256);
  if (value == kNoDataPlace) return std::nullopt;
  return value;
}

bool WriteDefaultPrinterToConfig(std::string_view section, const ConfigFile& file,
                                 std::string_view printer) {
  return file.WriteString(section, kDefaultPrinterKey, printer);
}

}  // namespace velandra::config
