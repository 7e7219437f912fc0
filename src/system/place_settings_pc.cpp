#include "system/place_settings_pc.h"

#include <string_view>
#include <vector>

#include "app/delayed_actions.h"
#include "app/relogon.h"
#include "config/config_file.h"
#include "system/adapter_registry.h"
#include "system/domain_join.h"
#include "system/hosts_files.h"
#include "system/net_shares.h"
#include "system/network_drives.h"
#include "system/platform/registry.h"
#include "system/platform/text.h"
#include "system/proxy_companion.h"

namespace velandra {

namespace {

using config::PlaceGroup;
using config::PlaceSettings;
using platform::Hive;
using platform::RegKey;

constexpr uint32_t kTextReadSize = kPlaceRegistryTextMax + 1;
constexpr uint32_t kAutoAdminLogonReadSize = 64;
constexpr size_t kSearchListMax = 255;

// A DWORD as read: missing, a 4-byte value, or something else stored under
// the name (another size), which counts as "another value".
struct DwordRead {
  enum Kind { Missing, Value, Other } kind = Missing;
  uint32_t value = 0;
  bool Is(uint32_t v) const { return kind == Value && value == v; }
};

// Reads of one key opened with query access. A key that does not open
// answers every read as missing; a required one is reported and asks the
// program to quit.
class KeyReader {
 public:
  KeyReader(Context& context, Hive hive, std::string path, bool required)
      : context_(context), path_(std::move(path)) {
    long rc = key_.Open(context.Platform().registry, hive, path_, platform::kKeyQueryValue);
    if (rc != platform::kErrorSuccess && required) {
      Warn(context, RegistryOpenFailedMessage(path_));
      context.PostQuit(1);
    }
  }
  bool IsOpen() const { return key_.IsOpen(); }

  DwordRead Dword(const char* name) {
    DwordRead read;
    if (!key_.IsOpen()) return read;
    long rc = key_.QueryDword(name, read.value);
    if (rc == platform::kErrorSuccess)
      read.kind = DwordRead::Value;
    else if (rc == platform::kErrorInvalidData || rc == platform::kErrorMoreData)
      read.kind = DwordRead::Other;
    return read;
  }

  // The text up to its first zero; missing, empty and unreadable read as "".
  // A text longer than `max` bytes is reported and read as "" too, so that
  // nothing cut is ever taken for the value.
  std::string Text(const char* name, size_t max = kPlaceRegistryTextMax) {
    std::string value;
    if (!key_.IsOpen()) return value;
    long rc = key_.QueryString(name, static_cast<uint32_t>(max + 1), value);
    if (rc == platform::kErrorMoreData || (rc == platform::kErrorSuccess && value.size() > max)) {
      Warn(context_, RegistryQueryFailedMessage(path_, name));
      return {};
    }
    if (rc != platform::kErrorSuccess) return {};
    return value;
  }

 private:
  Context& context_;
  std::string path_;
  RegKey key_;
};

// Writes into one key opened with full access; every failure shows its
// message ("に" form) and answers false.
class KeyWriter {
 public:
  KeyWriter(Context& context, Hive hive, std::string path)
      : context_(context), hive_(hive), path_(std::move(path)) {}

  // Without a message when `quiet`.
  bool Open(bool quiet = false) {
    long rc = key_.Open(context_.Platform().registry, hive_, path_, platform::kKeyAllAccess);
    if (rc == platform::kErrorSuccess) return true;
    if (!quiet) Warn(context_, RegistryOpenFailedMessage(path_));
    return false;
  }
  bool Dword(const char* name, uint32_t value, const char* tail = nullptr) {
    return Check(key_.SetDword(name, value), tail ? tail : name);
  }
  // REG_SZ with its terminating zero.
  bool Text(const char* name, std::string_view value, const char* tail = nullptr) {
    return Check(key_.SetString(name, value), tail ? tail : name);
  }
  // REG_SZ of the bare text, no terminating zero.
  bool BareText(const char* name, std::string_view value, const char* tail = nullptr) {
    return Check(key_.SetValue(name, platform::kRegSz, value), tail ? tail : name);
  }
  // A value that is not there is fine.
  void Delete(const char* name) { key_.DeleteValue(name); }
  void Refuse(const char* tail) { Warn(context_, RegistryWriteFailedMessage(path_, tail, true)); }

 private:
  bool Check(long rc, const char* tail) {
    if (rc == platform::kErrorSuccess) return true;
    Refuse(tail);
    return false;
  }

  Context& context_;
  Hive hive_;
  std::string path_;
  RegKey key_;
};

// Queues an action; a failure is reported and answers false.
bool Queue(Context& context, const char* action, bool atFront = false) {
  if (app::AddDelayedAction(context.Config(), action, atFront)) return true;
  Warn(context, DelayedActionNotQueuedMessage(action, context.ConfigPath()));
  return false;
}

bool SameDrives(const config::NetworkDriveList& place, const config::NetworkDriveList& pc) {
  if (place.Drives.size() != pc.Drives.size()) return false;
  for (const auto& drive : pc.Drives) {
    const config::NetworkDrive* mine = config::FindDrive(place, drive.LocalName);
    if (!mine || mine->RemoteName != drive.RemoteName || mine->UserName != drive.UserName ||
        mine->Password != drive.Password)
      return false;
  }
  return true;
}

bool SameShares(const config::NetShareList& place, const config::NetShareList& pc) {
  if (place.size() != pc.size()) return false;
  for (const auto& share : pc) {
    const config::NetShare* mine = config::FindShare(place, share.ShareName);
    if (!mine || mine->ShareType != share.ShareType || mine->Remark != share.Remark ||
        mine->Permissions != share.Permissions || mine->MaxUses != share.MaxUses ||
        mine->CurrentUses != share.CurrentUses || mine->SharePath != share.SharePath ||
        mine->Password != share.Password || mine->Access.size() != share.Access.size())
      return false;
    for (const auto& entry : share.Access) {
      const config::SharePermission* found =
          config::FindPermission(*mine, entry.AccountName, entry.AccountDomain, entry.AceType);
      if (!found || found->AceFlags != entry.AceFlags || found->AccessMask != entry.AccessMask)
        return false;
    }
  }
  return true;
}

// A logon to this computer names it in DefaultDomainName and
// AltDefaultDomainName; after a rename the old name would be a domain that
// does not exist, and the automatic logon after the restart would fail.
// Values naming anything else (a domain) stay.
void FollowRenamedComputer(Context& context, const std::string& oldName,
                           const std::string& newName) {
  if (oldName.empty() || platform::Cp932EqualsNoCase(oldName, newName)) return;
  platform::RegKey key;
  if (key.Open(context.Platform().registry, Hive::LocalMachine, kWinlogonPath,
               platform::kKeyAllAccess) != platform::kErrorSuccess)
    return;
  for (const char* value : {"DefaultDomainName", "AltDefaultDomainName"}) {
    std::string name;
    if (key.QueryString(value, 256, name) == platform::kErrorSuccess &&
        platform::Cp932EqualsNoCase(name, oldName) &&
        key.SetString(value, newName) != platform::kErrorSuccess)
      Warn(context, RegistryWriteFailedMessage(kWinlogonPath, value, true));
  }
}

}  // namespace


std::string DelayedActionNotQueuedMessage(const std::string& action,
                                          const std::string& configPath) {
  return "設定ファイルに書き込めなかったため、再起動後の処理 " + action +
         " を登録できませんでした: " + configPath;
}

void ReadFromPC(Context& context, PlaceSettings& record, bool snapshotHostsFiles) {
  platform::Platform& platform = context.Platform();
  record.ChangeUser = false;
  record.ChangeUserName.clear();
  record.ChangeUserPassword.clear();

  {
    KeyReader tcpip(context, Hive::LocalMachine, kTcpipParametersPath, true);
    record.DNS_Suffix.clear();
    config::SplitCommaList(tcpip.Text("SearchList"), record.DNS_Suffix);
    record.PrimarySuffix = record.DNS_Suffix.empty();
    record.PrimaryParentSuffix = !tcpip.Dword("UseDomainNameDevolution").Is(0);
  }
  {
    KeyReader netbt(context, Hive::LocalMachine, kNetBtParametersPath, true);
    record.EnableLMHOSTS = !netbt.Dword("EnableLMHOSTS").Is(0);
  }
  {
    KeyReader tcpip(context, Hive::LocalMachine, kTcpipParametersPath, true);
    ReadServerComment(context, record);
    std::string name = tcpip.Text("Hostname");
    if (name.empty() && !platform.system.GetComputerName(name)) name.clear();
    record.ComputerName = name;
  }

  platform::PrimaryDomain domain;
  if (platform.domain.QueryPrimaryDomain(platform::kPolicyViewLocalInformation, domain) !=
      platform::kErrorSuccess) {
    Warn(context, kMsgDomainInfoError);
    context.PostQuit(1);
  } else {
    const std::string name = platform::Cp932Cut(domain.Name, kPlaceRegistryTextMax);
    record.DomainWorkgroup = domain.HasSid;
    record.DomainName = domain.HasSid ? name : std::string();
    record.WorkgroupName = domain.HasSid ? std::string() : name;
  }

  record.LogonPlace = true;
  record.DelayDomain = false;
  ReadWinlogon(context, record);

  record.Proxy = FindCompanion(platform);
  record.Proxy.SelectDefault();
  config::ClearDrives(record.NetworkDrives);
  ReadDrivesFromPC(record.NetworkDrives, platform.drives);
  record.DefaultPrinter = GetDefaultPrinter(platform.printers);
  record.NetShares.clear();
  ReadSharesFromPC(platform.shares, record.NetShares);

  if (snapshotHostsFiles) {
    config::HostsFiles files;
    SnapshotHostsFiles(platform, record.owner.Name, files);
    record.HOSTS = files.HOSTS;
    record.LMHOSTS = files.LMHOSTS;
  }
}

void ReadWinlogon(Context& context, PlaceSettings& record) {
  KeyReader winlogon(context, Hive::LocalMachine, kWinlogonPath, true);
  record.DefaultUserName = winlogon.Text("DefaultUserName");
  std::string autoLogon = winlogon.Text("AutoAdminLogon", kAutoAdminLogonReadSize - 1);
  if (autoLogon.empty()) autoLogon = "0";
  record.AutoAdminLogon = autoLogon == "1";
  record.AutoLogonKeep = false;
  record.DefaultPassword = record.AutoAdminLogon ? winlogon.Text("DefaultPassword") : "";
  const DwordRead cad = winlogon.Dword("DisableCAD");
  record.DisableCAD = cad.kind == DwordRead::Missing || cad.Is(1);
  if (context.Os().IsWindowsXp()) {
    record.Welcome = winlogon.Dword("LogonType").Is(1);
    record.MultipleTSSessions = winlogon.Dword("AllowMultipleTSSessions").Is(1);
  } else {
    record.Welcome = false;
    record.MultipleTSSessions = false;
  }
}

void ReadServerComment(Context& context, PlaceSettings& record) {
  KeyReader server(context, Hive::LocalMachine, kLanmanServerParametersPath, false);
  record.SrvComment = server.IsOpen() ? server.Text("srvcomment") : std::string();
}

PlaceComparison ComparePlaceSettings(Context& context, const PlaceSettings& place,
                                     const PlaceSettings& pc) {
  PlaceComparison result;
  auto& same = result.Same;

  same[config::kGroupDnsSuffix] =
      place.PrimarySuffix == pc.PrimarySuffix &&
      (pc.PrimarySuffix ? place.PrimaryParentSuffix == pc.PrimaryParentSuffix
                        : place.DNS_Suffix == pc.DNS_Suffix);
  same[config::kGroupLmhostsLookup] = place.EnableLMHOSTS == pc.EnableLMHOSTS;
  same[config::kGroupComputer] =
      place.ComputerName == pc.ComputerName && place.SrvComment == pc.SrvComment;
  same[config::kGroupDomain] =
      place.DomainWorkgroup == pc.DomainWorkgroup &&
      (pc.DomainWorkgroup ? place.DomainName == pc.DomainName
                          : place.WorkgroupName == pc.WorkgroupName);
  // A one-time automatic logon has been turned off again after its logon:
  // a PC without it still matches such a place.
  bool logon = place.DefaultUserName == pc.DefaultUserName &&
               (place.AutoAdminLogon == pc.AutoAdminLogon ||
                (!pc.AutoAdminLogon && !place.AutoLogonKeep)) &&
               place.DisableCAD == pc.DisableCAD;
  if (context.Os().IsWindowsXp())
    logon = logon && place.Welcome == pc.Welcome &&
            place.MultipleTSSessions == pc.MultipleTSSessions;
  same[config::kGroupLogon] = logon;
  same[config::kGroupProxy] = place.Proxy.ProxyName == pc.Proxy.ProxyName;
  same[config::kGroupNetworkDrives] = SameDrives(place.NetworkDrives, pc.NetworkDrives);
  same[config::kGroupShares] = SameShares(place.NetShares, pc.NetShares);
  same[config::kGroupDefaultPrinter] = place.DefaultPrinter == pc.DefaultPrinter;
  const HostsComparison hosts =
      CompareHostsFiles(context.Platform(), config::HostsFiles{place.HOSTS, place.LMHOSTS});
  same[config::kGroupHostsFile] = hosts.SameHosts;
  same[config::kGroupLmhostsFile] = hosts.SameLmhosts;

  bool all = true, restart = false;
  for (size_t g = 0; g < config::kPlaceGroupCount; ++g) {
    all = all && same[g];
    if (g <= config::kGroupLogon && !same[g]) restart = true;
  }
  result.ChangeKind = all ? 0 : restart ? 2 : 1;
  return result;
}

uint32_t CompareWithPC(Context& context, PlaceSettings& record) {
  const PlaceSettings pc(context, record.owner, config::PlaceSource::Pc, false);
  const PlaceComparison result = ComparePlaceSettings(context, record, pc);
  record.Same = result.Same;
  record.ChangeKind = result.ChangeKind;
  return record.ChangeKind;
}

bool WriteToPC(Context& context, const PlaceSettings& record,
               ui::IUserPasswordDialog& credentials) {
  platform::Platform& platform = context.Platform();
  auto wanted = [&](PlaceGroup g) { return !context.DiffCheck || !record.Same[g]; };

  if (wanted(config::kGroupDnsSuffix)) {
    const std::string list =
        record.PrimarySuffix ? std::string() : config::JoinCommaList(record.DNS_Suffix);
    KeyWriter tcpip(context, Hive::LocalMachine, kTcpipParametersPath);
    // Longer than a read takes back: the PC would show another list.
    if (list.size() > kSearchListMax) {
      tcpip.Refuse("SearchList");
      return false;
    }
    if (!tcpip.Open() || !tcpip.Text("SearchList", list) ||
        !tcpip.Dword("UseDomainNameDevolution", record.PrimaryParentSuffix ? 1 : 0))
      return false;
  }

  if (wanted(config::kGroupLmhostsLookup)) {
    KeyWriter netbt(context, Hive::LocalMachine, kNetBtParametersPath);
    if (!netbt.Open() || !netbt.Dword("EnableLMHOSTS", record.EnableLMHOSTS ? 1 : 0))
      return false;
  }

  if (wanted(config::kGroupComputer)) {
    std::string oldName;
    platform.system.GetComputerName(oldName);
    KeyWriter tcpip(context, Hive::LocalMachine, kTcpipParametersPath);
    if (!tcpip.Open() || !tcpip.BareText("Hostname", record.ComputerName) ||
        !tcpip.BareText("NV Hostname", record.ComputerName))
      return false;
    KeyWriter shell(context, Hive::CurrentUser, kShellNoRoamPath);
    if (!shell.Open() || !shell.BareText("", record.ComputerName, "ShellNoRoam")) return false;
    if (!platform.system.SetComputerName(record.ComputerName))
      Warn(context, kMsgComputerNameRefused + record.ComputerName);
    FollowRenamedComputer(context, oldName, record.ComputerName);
    KeyWriter server(context, Hive::LocalMachine, kLanmanServerParametersPath);
    if (server.Open(true) && !server.BareText("srvcomment", record.SrvComment)) return false;
  }

  bool joinDelayed = false;
  if (wanted(config::kGroupDomain)) {
    if (record.DomainWorkgroup && record.DelayDomain) {
      // Without the queued join the administrator's logon would stay set.
      if (!Queue(context, app::kActionChangeDomain, true)) return false;
      joinDelayed = true;
      KeyWriter winlogon(context, Hive::LocalMachine, kWinlogonPath);
      if (!winlogon.Open() || !winlogon.Text("AutoAdminLogon", "1") ||
          !winlogon.Text("DefaultUserName", record.LocalAdminUser) ||
          !winlogon.Text("DefaultPassword", record.LocalAdminPassword) ||
          !winlogon.Text("DefaultDomainName", record.ComputerName) ||
          !winlogon.Text("AltDefaultDomainName", record.ComputerName))
        return false;
    } else if (record.DomainWorkgroup) {
      const long joined = JoinDomain(context, record, record.DomainName, record.JoinDomainUser,
                                     record.JoinDomainPassword, credentials);
      // A cancelled account question ends the run: nothing more is written.
      if (joined == kJoinDomainCancelled) return false;
      if (joined != 0) Warn(context, kMsgDomainJoinFailed);
    } else {
      SwitchToWorkgroup(context, record);
    }
  }

  // The delayed join writes the place's logon after it has run.
  if (wanted(config::kGroupLogon) && !joinDelayed) WriteWinlogon(context, record);

  if (wanted(config::kGroupProxy) && record.Proxy.RunsCompanion())
    Queue(context, app::kActionExecuteChangeProxy);

  if (wanted(config::kGroupNetworkDrives)) {
    DisconnectAllDrives(platform.drives);
    if (!record.NetworkDrives.Drives.empty()) Queue(context, app::kActionConnectNetworkDrive);
  }

  if (wanted(config::kGroupDefaultPrinter)) Queue(context, app::kActionDefaultPrinter);

  if (wanted(config::kGroupShares)) {
    DeletePCShares(platform.shares);
    if (!record.NetShares.empty()) Queue(context, app::kActionNetShare);
  }

  if (!platform.system.SystemDirectory().empty()) {
    HostsComparison skip;
    skip.SameHosts = !wanted(config::kGroupHostsFile);
    skip.SameLmhosts = !wanted(config::kGroupLmhostsFile);
    ApplyHostsFiles(platform, config::HostsFiles{record.HOSTS, record.LMHOSTS}, skip);
  }

  if ((!context.DiffCheck || record.ChangeKind > 0) && !record.Programs.empty())
    Queue(context, app::kActionExecuteProgram);
  return true;
}

bool WriteWinlogon(Context& context, const PlaceSettings& record) {
  KeyWriter winlogon(context, Hive::LocalMachine, kWinlogonPath);
  if (!winlogon.Open() || !winlogon.Text("DefaultUserName", record.DefaultUserName)) return false;

  bool queued = true;
  bool autoLogon = record.AutoAdminLogon;
  // A one-time automatic logon that nothing would turn off again (its
  // password staying in the registry) is not turned on.
  if (autoLogon && !record.AutoLogonKeep &&
      !app::AddDelayedAction(context.Config(), app::kActionDisableAutoLogon, false)) {
    Warn(context, app::kMsgAutoLogonNotQueued + context.ConfigPath());
    queued = false;
    autoLogon = false;
  }
  if (!winlogon.Text("AutoAdminLogon", autoLogon ? "1" : "0")) return false;
  winlogon.Delete("ForceAutoLogon");
  if (autoLogon) {
    if (!winlogon.Text("DefaultPassword", record.DefaultPassword)) return false;
  } else {
    winlogon.Delete("DefaultPassword");
  }
  if (!winlogon.Dword("DisableCAD", record.DisableCAD ? 1 : 0)) return false;

  if (context.Os().IsWindowsXp()) {
    if (record.Welcome) {
      // "LongonType" is the text the system has always shown for this one.
      if (!winlogon.Dword("LogonType", 1, "LongonType") ||
          !winlogon.Dword("AllowMultipleTSSessions", record.MultipleTSSessions ? 1 : 0))
        return false;
    } else {
      if (!winlogon.Dword("LogonType", 0) || !winlogon.Dword("AllowMultipleTSSessions", 0))
        return false;
    }
  }
  return queued;
}

}  // namespace velandra
