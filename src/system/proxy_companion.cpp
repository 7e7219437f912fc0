#include "system/proxy_companion.h"

#include <algorithm>
#include <cstdio>

#include "system/platform/text.h"

namespace velandra {

namespace {

using config::ProxyChoice;
using platform::Hive;
using platform::RegKey;

constexpr uint32_t kInstallDirSize = 1024;
constexpr uint32_t kDataFilePathSize = 1024;
constexpr uint32_t kOldDataFileSize = 261;
constexpr uint32_t kEntryNameSize = 64;      // 63 characters and the zero
constexpr size_t kOldEntryNameMax = 65;
constexpr size_t kOldLinePiece = 4546 - 1;  // what one fgets into 4546 bytes takes

// A string value of the key; a value of another type counts as missing
// rather than being read as text.
bool ReadString(Hive hive, const char* valueName, uint32_t size, platform::Platform& platform,
                std::string& value) {
  RegKey key;
  if (key.Open(platform.registry, hive, kCompanionKey, platform::kKeyQueryValue) !=
      platform::kErrorSuccess)
    return false;
  uint32_t type = 0;
  std::string data;
  if (key.QueryValue(valueName, size, type, data) != platform::kErrorSuccess) return false;
  if (type != platform::kRegSz && type != platform::kRegExpandSz) return false;
  value = data.substr(0, data.find('\0'));
  return true;
}

bool EndsWithBackslash(const std::string& path) {
  const size_t last = platform::Cp932FindLast(path, '\\');
  return last != std::string::npos && last + 1 == path.size();
}

bool ReadNewDataFile(platform::Platform& platform, ProxyChoice& choice) {
  std::string path;
  if (!ReadString(Hive::CurrentUser, "DataFilePath", kDataFilePathSize, platform, path))
    return false;
  platform::IProfile& profile = platform.profile;
  const int count = std::min(profile.GetInt("BRSCINDEX", "ENTRYCNT", 0, path), kMaxCompanionEntries);
  for (int i = 1; i <= count; ++i) {
    char key[24];  // room for any int, though the count is small
    std::snprintf(key, sizeof key, "PXYNAME%03d", i);
    // Cut as characters: a byte cut could leave a lone lead byte.
    choice.ProxyNames.push_back(platform::Cp932Cut(
        profile.GetString("BRSCINDEX", key, "", kEntryNameSize, path), kEntryNameSize - 1));
  }
  choice.Selected = profile.GetInt("BRSCSYSTEM", "SELECT", 0, path);
  return true;
}

bool ReadOldDataFile(platform::Platform& platform, ProxyChoice& choice) {
  std::string path, text;
  const Hive hive = choice.Version < 320 ? Hive::LocalMachine : Hive::CurrentUser;
  if (!ReadString(hive, "DataFile", kOldDataFileSize, platform, path)) return false;
  if (!platform.files.ReadFile(path, text)) return false;
  for (auto& name : ParseOldCompanionData(text)) choice.ProxyNames.push_back(std::move(name));
  return true;
}

}  // namespace

std::vector<std::string> ParseOldCompanionData(std::string_view text) {
  std::vector<std::string> names;
  size_t pos = 0;
  while (pos < text.size()) {
    // One fgets: through the line end, or a piece of a longer line.
    size_t end = text.find('\n', pos);
    end = end == std::string_view::npos ? text.size() : end + 1;
    end = std::min(end, pos + kOldLinePiece);
    std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (line.starts_with("SETTING")) continue;
    const size_t first = platform::Cp932Find(line, ',');
    if (first == std::string_view::npos) continue;  // no entry on this line
    const size_t second = platform::Cp932Find(line, ',', first + 1);
    std::string_view name = line.substr(
        first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
    // The line end is no part of a name: it would break every command line
    // the name goes into.
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
      name.remove_suffix(1);
    if (name.empty()) continue;
    names.push_back(platform::Cp932Cut(name, kOldEntryNameMax));
  }
  return names;
}

ProxyChoice FindCompanion(platform::Platform& platform) {
  ProxyChoice choice;
  {
    RegKey key;
    if (key.Open(platform.registry, Hive::LocalMachine, kCompanionKey,
                 platform::kKeyQueryValue) != platform::kErrorSuccess)
      return choice;
    uint32_t type = 0;
    std::string data;
    if (key.QueryValue("InstallDir", kInstallDirSize, type, data) != platform::kErrorSuccess ||
        (type != platform::kRegSz && type != platform::kRegExpandSz))
      return choice;
    choice.InstallDir = data.substr(0, data.find('\0'));
    if (choice.InstallDir.empty()) return choice;
    if (!EndsWithBackslash(choice.InstallDir)) choice.InstallDir += '\\';
    uint32_t version = 0;
    if (key.QueryDword("Version", version) == platform::kErrorSuccess) choice.Version = version;
  }
  const bool read = choice.Version > 400 ? ReadNewDataFile(platform, choice)
                                         : ReadOldDataFile(platform, choice);
  if (!read) {
    // Found but unreadable counts as absent; keep nothing half read.
    return ProxyChoice{};
  }
  choice.ProxyNames.push_back(config::kNoProxyEntry);
  choice.Installed = true;
  return choice;
}

std::string CompanionCommandLine(const ProxyChoice& choice) {
  // Quoted: unquoted, "C:\Program Files\..." would first start C:\Program.exe.
  return "\"" + choice.CompanionProgram() + "\" /S:" + choice.CompanionEntry();
}

bool RunCompanion(platform::IProcesses& processes, const ProxyChoice& choice) {
  if (!choice.RunsCompanion()) return false;
  long error = 0;
  const std::unique_ptr<platform::IProcess> process =
      processes.Create(CompanionCommandLine(choice), false, error);
  if (!process) return false;
  platform::WaitForExit(*process);
  return true;
}

std::string DescribeProxyChoice(const ProxyChoice& choice) {
  if (!choice.Installed) return "プロキシ切替: Brisco なし\n";
  std::string text = "プロキシ切替: Brisco " + std::to_string(choice.Version) + " (" +
                     choice.CompanionProgram() + ")\n  登録名:";
  for (size_t i = 0; i < choice.ProxyNames.size(); ++i)
    text += (i == 0 ? " " : ", ") + choice.ProxyNames[i];
  text += "\n  選択: " + choice.ProxyName +
          (choice.DisableProxy ? " (Briscoを無効にする)\n"
                               : " (/S:" + choice.CompanionEntry() + ")\n");
  return text;
}

}  // namespace velandra
