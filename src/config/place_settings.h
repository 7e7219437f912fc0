// The place-wide settings of one place: everything not tied to an adapter
// (computer name, domain or workgroup, DNS suffix search, LMHOSTS lookup,
// logon, the account to apply as, proxy entry, drives, default printer,
// shares, hosts variants, programs to start) and their stored form in the
// place's section P<n>. The PC side is system/place_settings_pc.h.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/hosts_files.h"
#include "config/net_shares.h"
#include "config/network_drives.h"
#include "config/places.h"
#include "config/proxy_choice.h"

namespace velandra {
class Context;
}

namespace velandra::config {

enum : int32_t { kProgramTypeProgram = 0, kProgramTypeFolder = 1, kProgramTypeFile = 2 };
// Show-window codes of a program entry.
enum : int32_t { kShowNormal = 5, kShowMaximized = 3, kShowMinimized = 6 };

struct ProgramEntry {
  virtual ~ProgramEntry() = default;
  int32_t Type = kProgramTypeProgram;
  std::string Path;
  std::string Arguments;
  std::string Directory;
  int32_t Show = kShowNormal;
};

// The comparison groups, in the order of PlaceSettings::Same.
enum PlaceGroup : size_t {
  kGroupDnsSuffix,
  kGroupLmhostsLookup,
  kGroupComputer,
  kGroupDomain,
  kGroupLogon,
  kGroupProxy,
  kGroupNetworkDrives,
  kGroupShares,
  kGroupDefaultPrinter,
  kGroupHostsFile,
  kGroupLmhostsFile,
  kPlaceGroupCount
};
using PlaceGroupFlags = std::array<bool, kPlaceGroupCount>;

enum class PlaceSource { ConfigFile, Pc };

class PlaceSettings {
 public:
  // Lists and texts empty, ChangeKind 2, every Same flag false; Printers
  // filled (`printers` when the caller has listed the PC's already: load
  // all asks the spooler once, not once a place); then from the file
  // (falling back to the PC, with a hosts snapshot, when the section counts
  // as not stored) or from the PC.
  PlaceSettings(Context& context, const Place& owner, PlaceSource source,
                bool snapshotHostsFiles, const std::vector<std::string>* printers = nullptr);
  virtual ~PlaceSettings();
  PlaceSettings(const PlaceSettings&) = delete;
  PlaceSettings& operator=(const PlaceSettings&) = delete;

  const Place& owner;
  bool ChangeUser = false;
  std::string ChangeUserName;
  std::string ChangeUserPassword;
  bool PrimarySuffix = true;
  bool PrimaryParentSuffix = true;
  std::vector<std::string> DNS_Suffix;
  bool EnableLMHOSTS = true;
  std::string ComputerName;
  std::string SrvComment;
  bool DomainWorkgroup = false;
  std::string DomainName;
  std::string WorkgroupName;
  bool LogonPlace = true;
  bool DelayDomain = false;
  std::string JoinDomainUser;
  std::string JoinDomainPassword;
  std::string LocalAdminUser;
  std::string LocalAdminPassword;
  std::string DefaultUserName;
  std::string DefaultPassword;
  bool AutoAdminLogon = false;
  bool AutoLogonKeep = false;
  bool DisableCAD = true;
  bool Welcome = false;
  bool MultipleTSSessions = false;
  ProxyChoice Proxy;
  NetworkDriveList NetworkDrives;
  NetShareList NetShares;
  std::vector<std::string> Printers;
  std::string DefaultPrinter;
  std::string HOSTS;
  std::string LMHOSTS;
  std::vector<std::unique_ptr<ProgramEntry>> Programs;
  uint32_t ChangeKind = 2;
  PlaceGroupFlags Same{};

  // "P<n>" of the owner.
  std::string SectionName() const;
  // Fills the record from P<n>; false at the first required key that is
  // missing or malformed (the section then counts as not stored).
  bool ReadFromConfig(Context& context);
  // Writes the record to P<n> in the fixed order. False when a write failed
  // or a part was refused (its message says which); the other keys are
  // still written.
  bool WriteToConfig(Context& context) const;
  // Empties DNS_Suffix, Printers, NetShares and Programs.
  void ClearLists();
};

}  // namespace velandra::config
