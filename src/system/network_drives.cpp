#include "system/network_drives.h"

#include "system/platform/printers.h"
#include "system/platform/text.h"
#include "system/platform/win_types.h"

namespace velandra {

namespace {

bool IsDriveLetter(const std::string& name) {
  if (name.size() != 2 || name[1] != ':') return false;
  char c = name[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "\\server\share" with an optional path below: a server and a share name,
// neither empty. Separators are found by character, so that a trail byte
// 0x5C of a Japanese name is not taken for one.
bool IsUncPath(const std::string& path) {
  if (path.size() < 5 || path[0] != '\\' || path[1] != '\\') return false;
  size_t sep = platform::Cp932Find(path, '\\', 2);
  if (sep == std::string::npos || sep == 2) return false;
  size_t end = platform::Cp932Find(path, '\\', sep + 1);
  if (end == std::string::npos) end = path.size();
  if (end == sep + 1) return false;
  return platform::Cp932Find(path, '/') == std::string::npos;
}

}  // namespace

long ReadDrivesFromPC(config::NetworkDriveList& list, platform::INetworkDrives& drives) {
  std::vector<platform::DriveConnection> connected;
  if (long result = drives.EnumConnected(connected); result != platform::kErrorSuccess)
    return result;
  for (auto& c : connected) {
    if (c.LocalName.empty()) continue;
    config::NetworkDrive drive;
    drive.LocalName = std::move(c.LocalName);
    drive.RemoteName = std::move(c.RemoteName);
    list.Drives.push_back(std::move(drive));
  }
  return platform::kErrorSuccess;
}

std::optional<std::string> CheckDriveConnection(const config::NetworkDrive& drive) {
  if (!IsDriveLetter(drive.LocalName))
    return "ドライブ名 " + drive.LocalName + " が正しくありません（A: から Z: まで）";
  if (drive.RemoteName.size() > kRemoteNameMax || drive.UserName.size() > kDriveUserMax ||
      drive.Password.size() > kDrivePasswordMax)
    return "ネットワークドライブ " + drive.LocalName + " の設定が長すぎます";
  if (!IsUncPath(drive.RemoteName))
    return "ネットワークドライブ " + drive.LocalName + " の接続先 " + drive.RemoteName +
           " は \\\\サーバー\\共有名 の形式ではありません";
  return std::nullopt;
}

long ConnectDrive(const config::NetworkDrive& drive, platform::Platform& platform) {
  if (auto why = CheckDriveConnection(drive)) {
    platform::ShowWarning(platform.messages, *why);
    if (!IsDriveLetter(drive.LocalName)) return platform::kErrorBadDevice;
    if (drive.RemoteName.size() > kRemoteNameMax || drive.UserName.size() > kDriveUserMax ||
        drive.Password.size() > kDrivePasswordMax)
      return platform::kErrorInvalidParameter;
    return platform::kErrorBadNetName;
  }
  platform.drives.CancelConnection(drive.LocalName);
  return platform.drives.AddConnection(drive.LocalName, drive.RemoteName, drive.UserName,
                                       drive.UserName.empty() ? "" : drive.Password);
}

void DisconnectAllDrives(platform::INetworkDrives& drives) {
  std::vector<platform::DriveConnection> connected;
  if (drives.EnumConnected(connected) != platform::kErrorSuccess) return;
  for (const auto& c : connected) drives.CancelConnection(c.LocalName);
}

std::vector<std::string> ListPrinters(platform::IPrinters& printers) {
  std::vector<std::string> names;
  long error = 0;
  if (!printers.EnumPrinterNames(names, error)) names.clear();
  return names;
}

std::string GetDefaultPrinter(platform::IPrinters& printers) {
  std::string name;
  long error = 0;
  if (!printers.GetDefault(name, error)) return "";
  return name;
}

bool SetDefaultPrinter(const std::string& name, platform::Platform& platform) {
  if (name.empty()) return true;
  if (name.size() > kPrinterNameMax) {
    platform::ShowWarning(platform.messages,
                          "プリンタ名が長すぎるため、通常使うプリンタに設定できません");
    return false;
  }
  long error = 0;
  return platform.printers.SetDefault(name, error);
}

std::string DescribeDrivesAndPrinter(const config::NetworkDriveList& list,
                                     const std::string& defaultPrinter) {
  std::string text;
  if (list.Drives.empty()) text += "ネットワークドライブ: なし\n";
  for (const auto& d : list.Drives) {
    text += "ネットワークドライブ " + d.LocalName + " = " + d.RemoteName;
    if (!d.UserName.empty())
      text += " (ユーザー " + d.UserName + (d.Password.empty() ? ", パスワードなし)" : ", パスワード ****)");
    text += "\n";
  }
  text += "通常使うプリンタ: " + (defaultPrinter.empty() ? std::string("なし") : defaultPrinter) +
          "\n";
  return text;
}

}  // namespace velandra
