#include "system/platform/sim/sim_backends.h"

#include <cstdio>
#include <ostream>
#include <system_error>

#include "system/platform/sim/host_files.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

// State files are UTF-8; the system's text is CP932.
std::string FromState(const std::string& utf8) { return Utf8ToCp932(utf8); }
std::string ToState(const std::string& cp932) { return Cp932ToUtf8(cp932); }

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find(',', pos);
    if (end == std::string::npos) end = text.size();
    std::string item = text.substr(pos, end - pos);
    size_t b = item.find_first_not_of(" \t");
    size_t e = item.find_last_not_of(" \t");
    if (b != std::string::npos) items.push_back(item.substr(b, e - b + 1));
    pos = end + 1;
  }
  return items;
}

// "C:\" or "C:" gives 'C'; 0 for anything else.
char DriveOfRoot(const std::string& root) {
  if (root.size() < 2 || root[1] != ':') return 0;
  char d = root[0];
  if (d >= 'a' && d <= 'z') d = static_cast<char>(d - 'a' + 'A');
  if (d < 'A' || d > 'Z') return 0;
  if (root.size() > 3 || (root.size() == 3 && root[2] != '\\' && root[2] != '/'))
    return 0;
  return d;
}

// The [volumes] entry of a drive: "NTFS" or "NTFS, fixed".
bool Volume(SimulatedPc& pc, char drive, std::string& fs, uint32_t& type) {
  const StateFile::Entry* e = pc.Machine().Find("volumes", std::string(1, drive));
  if (!e) return false;
  std::vector<std::string> parts = SplitList(e->Value);
  fs = parts.empty() ? "" : parts[0];
  type = kDriveFixed;
  if (parts.size() > 1) {
    const std::string& t = parts[1];
    if (Cp932EqualsNoCase(t, "removable")) type = kDriveRemovable;
    else if (Cp932EqualsNoCase(t, "remote")) type = kDriveRemote;
    else if (Cp932EqualsNoCase(t, "cdrom")) type = kDriveCdrom;
    else if (Cp932EqualsNoCase(t, "ramdisk")) type = kDriveRamdisk;
  }
  return true;
}

const char* IconName(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error: return "error";
    case MessageIcon::Warning: return "warning";
    case MessageIcon::Information: return "information";
    case MessageIcon::Question: return "question";
  }
  return "?";
}

// Accounts that exist on every Windows 2000/XP PC.
constexpr const char* kWellKnownAccounts[] = {
    "Everyone", "SYSTEM", "Administrators", "Users", "Guests",
    "Power Users", "Authenticated Users", "INTERACTIVE", "CREATOR OWNER"};

}  // namespace

// ---- system information ----------------------------------------------------

bool SimSystemInfo::GetVersion(OsVersion& v) {
  OsVersion out;
  out.MajorVersion = pc_.WindowsNumber("major", 5);
  out.MinorVersion = pc_.WindowsNumber("minor", 1);
  out.BuildNumber = pc_.WindowsNumber("build", 2600);
  out.PlatformId = pc_.WindowsNumber("platform_id", 2);
  out.ServicePack = FromState(pc_.Machine().Get("windows", "service_pack"));
  if (out.ServicePack.size() > 127) out.ServicePack.resize(127);
  v = out;
  return true;
}

bool SimSystemInfo::GetVersionEx(OsVersion& v) {
  OsVersion out;
  GetVersion(out);
  // OSVERSIONINFOEX is known from NT 4 SP6 on; Windows 9x refuses it.
  if (out.PlatformId != 2 || out.MajorVersion < 4) return false;
  out.ServicePackMajor = static_cast<uint16_t>(pc_.WindowsNumber("service_pack_major", 0));
  out.SuiteMask = static_cast<uint16_t>(pc_.WindowsNumber("suite_mask", 0));
  out.ProductType = static_cast<uint8_t>(pc_.WindowsNumber("product_type", 1));
  v = out;
  return true;
}

std::string SimSystemInfo::ModuleFileName() {
  return FromState(pc_.Machine().Get("session", "executable",
                                     "C:\\Program Files\\Velandra\\Velandra.exe"));
}

std::string SimSystemInfo::SystemDirectory() {
  return FromState(pc_.Machine().Get("windows", "system_root", "C:\\WINDOWS")) +
         "\\system32";
}

bool SimSystemInfo::GetComputerName(std::string& name) {
  std::string n = FromState(pc_.Machine().Get("computer", "name"));
  if (n.empty()) return false;
  name = n;
  return true;
}

bool SimSystemInfo::SetComputerName(const std::string& name) {
  // SetComputerNameA refuses what cannot be a NetBIOS name.
  if (name.empty() || name.size() > 15) return false;
  for (unsigned char c : name)
    if (c < 0x20 || std::string_view(" \"/\\[]:|<>+=;,?*").find(static_cast<char>(c)) !=
                        std::string_view::npos)
      return false;
  pc_.Machine().Set("computer", "pending_name", ToState(name));
  pc_.LogEvent("computer name set to " + ToState(name) + " (from the next restart)");
  return pc_.SaveMachine();
}

bool SimSystemInfo::GetUserName(std::string& name) {
  // While the thread impersonates, GetUserNameA names that account.
  std::string n = FromState(pc_.CurrentUser());
  if (n.empty()) return false;
  name = n;
  return true;
}

bool SimSystemInfo::GetFileSystemName(const std::string& root, std::string& fs) {
  char drive = DriveOfRoot(root);
  uint32_t type = 0;
  std::string name;
  if (!drive || !Volume(pc_, drive, name, type)) return false;
  fs = FromState(name);
  return true;
}

uint32_t SimSystemInfo::GetDriveType(const std::string& root) {
  char drive = DriveOfRoot(root);
  uint32_t type = 0;
  std::string name;
  if (!drive) return kDriveUnknown;
  if (!Volume(pc_, drive, name, type)) return kDriveNoRootDir;
  return type;
}

void SimSystemInfo::Sleep(uint32_t milliseconds) {
  // Time passes only in the record: a test of a start-up delay needs no wait.
  pc_.LogEvent("sleep " + std::to_string(milliseconds) + " ms");
}

// ---- accounts -------------------------------------------------------------

long SimAccounts::GetLocalGroups(const std::string& user,
                                 std::vector<std::string>& groups) {
  const StateFile::Section* s = pc_.Users().Find(ToState(user));
  if (!s) return kNerrUserNotFound;
  std::vector<std::string> out;
  for (const auto& g : SplitList(pc_.Users().Get(s->Name, "groups")))
    out.push_back(FromState(g));
  groups = std::move(out);
  return 0;
}

long SimAccounts::QueryDisplayUsers(uint32_t maxEntries,
                                    std::vector<std::string>& names) {
  // [database] unreachable = yes in users.ini stands for a broken account
  // database (the RPC server is unavailable).
  if (Cp932EqualsNoCase(pc_.Users().Get("database", "unreachable"), "yes")) return 1722;
  std::vector<std::string> out;
  long status = 0;
  for (const auto& s : pc_.Users().Sections()) {
    if (Cp932EqualsNoCase(s.Name, "database")) continue;
    if (out.size() == maxEntries) {
      status = kErrorMoreData;
      break;
    }
    out.push_back(FromState(s.Name));
  }
  names = std::move(out);
  return status;
}

bool SimAccounts::AccountExists(const std::string& account) const {
  std::string a = ToState(account);
  for (const char* known : kWellKnownAccounts)
    if (Cp932EqualsNoCase(a, known)) return true;
  for (const auto& s : pc_.Users().Sections()) {
    if (Cp932EqualsNoCase(s.Name, "database")) continue;
    if (Cp932EqualsNoCase(s.Name, a)) return true;
    for (const auto& g : SplitList(pc_.Users().Get(s.Name, "groups")))
      if (Cp932EqualsNoCase(g, a)) return true;
  }
  return false;
}

// ---- files ----------------------------------------------------------------

bool SimFiles::Exists(const std::string& path) {
  std::filesystem::path host;
  std::error_code ec;
  return pc_.MapPath(path, host) && std::filesystem::exists(host, ec);
}

bool SimFiles::IsDirectory(const std::string& path) {
  std::filesystem::path host;
  std::error_code ec;
  return pc_.MapPath(path, host) && std::filesystem::is_directory(host, ec);
}

bool SimFiles::ReadFile(const std::string& path, std::string& data) {
  std::filesystem::path host;
  std::error_code ec;
  if (!pc_.MapPath(path, host) || std::filesystem::is_directory(host, ec))
    return false;
  return ReadHostFile(host, data);
}

bool SimFiles::WriteFile(const std::string& path, const std::string& data) {
  std::filesystem::path host;
  std::error_code ec;
  if (!pc_.MapPath(path, host) || !std::filesystem::is_directory(host.parent_path(), ec))
    return false;  // CreateFileA does not make missing directories
  return WriteHostFileAtomically(host, data);
}

bool SimFiles::CopyFile(const std::string& from, const std::string& to,
                        bool failIfExists) {
  std::filesystem::path src, dst;
  std::error_code ec;
  if (!pc_.MapPath(from, src) || !pc_.MapPath(to, dst)) return false;
  if (!std::filesystem::is_regular_file(src, ec)) return false;
  if (failIfExists && std::filesystem::exists(dst, ec)) return false;
  if (!std::filesystem::is_directory(dst.parent_path(), ec)) return false;
  std::string data;
  if (!ReadHostFile(src, data)) return false;
  if (!WriteHostFileAtomically(dst, data)) return false;
  pc_.LogEvent("copied " + ToState(from) + " to " + ToState(to));
  return true;
}

bool SimFiles::DeleteFile(const std::string& path, long* error) {
  std::filesystem::path host;
  std::error_code ec;
  long code = kErrorSuccess;
  if (!pc_.MapPath(path, host)) code = kErrorPathNotFound;
  else if (!std::filesystem::exists(host, ec)) code = kErrorFileNotFound;
  else if (std::filesystem::is_directory(host, ec)) code = kErrorAccessDenied;
  else if (!std::filesystem::remove(host, ec)) code = kErrorAccessDenied;
  if (error) *error = code;
  if (code != kErrorSuccess) return false;
  // The file's access list goes with it.
  if (pc_.Security().Find(ToState(path))) {
    pc_.Security().RemoveSection(ToState(path));
    pc_.SaveSecurity();
  }
  pc_.LogEvent("deleted " + ToState(path));
  return true;
}

bool SimFiles::CreateDirectories(const std::string& path) {
  std::filesystem::path host;
  std::error_code ec;
  if (!pc_.MapPath(path, host)) return false;
  std::filesystem::create_directories(host, ec);
  return std::filesystem::is_directory(host, ec);
}

bool SimFiles::GrantAccess(const std::string& path, const std::string& account,
                           uint32_t mask) {
  std::filesystem::path host;
  std::error_code ec;
  if (!pc_.MapPath(path, host) || !std::filesystem::exists(host, ec)) return false;
  std::string who = account;
  if (who.empty() && !pc_.platform().system.GetUserName(who)) return false;
  if (!accounts_.AccountExists(who)) return false;  // LookupAccountNameA fails
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(mask));
  pc_.Security().Add(ToState(path), "allow", ToState(who) + " " + hex);
  pc_.LogEvent("granted " + ToState(who) + " " + hex + " on " + ToState(path));
  return pc_.SaveSecurity();
}

// ---- shell ----------------------------------------------------------------

bool SimShell::GetSpecialFolderPath(SpecialFolder folder, bool create,
                                    std::string& path) {
  if (folder != SpecialFolder::CommonStartup) return false;
  std::string p = FromState(pc_.Machine().Get(
      "shell", "common_startup",
      "C:\\Documents and Settings\\All Users\\スタート メニュー\\プログラム\\スタートアップ"));
  SimFiles& files = static_cast<SimFiles&>(pc_.platform().files);
  if (!files.IsDirectory(p) && !(create && files.CreateDirectories(p))) return false;
  path = p;
  return true;
}

// ---- message boxes --------------------------------------------------------

MessageAnswer SimMessages::Show(MessageOwner owner, const std::string& text,
                                const std::string& caption, MessageIcon icon,
                                MessageButtons buttons) {
  std::string line = "[" + ToState(caption) + ": " + IconName(icon) + "] " + ToState(text);
  if (std::ostream* out = pc_.Console()) *out << line << std::endl;
  MessageAnswer answer = MessageAnswer::Ok;
  if (buttons == MessageButtons::YesNo) {
    std::string a = pc_.answers().Take("the question \"" + ToState(text) + "\"");
    if (Cp932EqualsNoCase(a, "yes")) answer = MessageAnswer::Yes;
    else if (Cp932EqualsNoCase(a, "no")) answer = MessageAnswer::No;
    else
      throw SimulationError("the scripted answer \"" + a + "\" does not answer the question \"" +
                            ToState(text) + "\" (yes or no)");
    if (std::ostream* out = pc_.Console())
      *out << "  -> " << (answer == MessageAnswer::Yes ? "yes" : "no") << std::endl;
  }
  pc_.RecordMessage({owner, text, caption, icon, buttons, answer});
  pc_.LogEvent("message " + line);
  return answer;
}

}  // namespace velandra::platform::sim
