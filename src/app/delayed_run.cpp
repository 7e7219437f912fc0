#include "app/delayed_run.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "app/delayed_actions.h"
#include "app/exit_windows.h"
#include "app/messages.h"
#include "app/relogon.h"
#include "app/startup_shortcut.h"
#include "system/adapter_registry.h"
#include "system/domain_join.h"
#include "system/net_shares.h"
#include "system/network_drives.h"
#include "system/place_settings_pc.h"
#include "system/platform/registry.h"
#include "system/platform/text.h"
#include "system/proxy_companion.h"
#include "ui/velandra_sheet.h"

namespace velandra::app {

namespace {

// A slot value is read into 256 bytes.
constexpr uint32_t kSlotSize = 256;
constexpr char kSlotPrefix[] = "Action";
constexpr char kExplorer[] = "EXPLORER.EXE";
constexpr char kOpenVerb[] = "open";
// Waited for before a domain change on Windows XP when COMMON has no XPSLEEP.
constexpr int kDefaultXpSleep = 5000;

void Warn(platform::Platform& platform, const std::string& text) {
  platform::ShowWarning(platform.messages, text, platform::MessageOwner::None);
}

// The highest slot up to `count` that the section may hold: a damaged
// ActionCount far above the slots in use would otherwise have every one of
// up to two thousand million keys read. Every "Action%02d" key gives its
// own number; other spellings only raise the bound. When the section may
// not have been read whole, `count` stands.
int64_t LastSlot(const config::ConfigFile& config, int count) {
  const std::string data =
      config.Profile().GetSection(kDelayActionSection, config::kSectionBufferSize, config.Path());
  if (data.size() + 2 >= config::kSectionBufferSize) return count;
  int64_t last = -1;
  const size_t prefix = sizeof kSlotPrefix - 1;
  size_t pos = 0;
  while (pos < data.size()) {
    size_t end = data.find('\0', pos);
    if (end == std::string::npos) end = data.size();
    const std::string_view entry(data.data() + pos, end - pos);
    pos = end + 1;
    std::string_view key = entry.substr(0, entry.find('='));
    // The profile functions take keys without their surrounding blanks.
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
    while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) key.remove_prefix(1);
    if (key.size() <= prefix || !platform::Cp932EqualsNoCase(key.substr(0, prefix), kSlotPrefix))
      continue;
    const std::string_view digits = key.substr(prefix);
    if (digits.find_first_not_of("0123456789") != std::string_view::npos) continue;
    int64_t n = 0;
    for (char c : digits) {
      n = n * 10 + (c - '0');
      if (n > count) break;  // beyond the count: never visited
    }
    last = std::max(last, std::min<int64_t>(n, count));
  }
  return last;
}

std::string ReadSlot(const config::ConfigFile& config, int64_t slot) {
  return config.ReadString(kDelayActionSection, ActionSlotKey(static_cast<int>(slot)),
                           config::kNoDataDelay, kSlotSize);
}

bool MarkDone(const config::ConfigFile& config, int64_t slot) {
  return config.WriteString(kDelayActionSection, ActionSlotKey(static_cast<int>(slot)),
                            kActionDone);
}

// Whether any slot still holds an action: then a -r start must follow.
bool ActionsRemain(const config::ConfigFile& config) {
  const int count = DelayedActionCount(config);
  if (count < 0) return false;
  for (int64_t slot = 0, last = LastSlot(config, count); slot <= last; ++slot) {
    const std::string action = ReadSlot(config, slot);
    if (action != config::kNoDataDelay && action != kActionDone) return true;
  }
  return false;
}

void EndQueue(Context& context) {
  context.Config().DeleteSection(kDelayActionSection);
  DeleteStartupShortcut(context.Platform());
}

// On Windows XP the network is not always up yet when the shortcut runs.
void WaitBeforeJoinOnXp(Context& context) {
  const OsInfo& os = context.Os();
  if (os.PlatformId != 2 || os.MajorVersion != 5 || os.MinorVersion != 1) return;
  const config::ConfigFile& config = context.Config();
  int wait = config.ReadInt("COMMON", "XPSLEEP", -1);
  if (wait == -1) {
    wait = kDefaultXpSleep;
    config.WriteInt("COMMON", "XPSLEEP", wait);
  }
  // Another negative value would be a wait of weeks.
  if (wait > 0) context.Platform().system.Sleep(static_cast<uint32_t>(wait));
}

enum class Joined { Done, Failed, Cancelled };

Joined JoinPlace(Context& context, const config::PlaceSettings& record,
                 ui::IUserPasswordDialog& credentials) {
  // The switch shows most of its failures, access denied not at all: it
  // counts as done only when its join call returned 0.
  if (!record.DomainWorkgroup)
    return SwitchToWorkgroup(context, record) == platform::kErrorSuccess ? Joined::Done
                                                                         : Joined::Failed;
  const long result = JoinDomain(context, record, record.DomainName, record.JoinDomainUser,
                                 record.JoinDomainPassword, credentials);
  if (result == kJoinDomainCancelled) return Joined::Cancelled;
  return result == platform::kErrorSuccess ? Joined::Done : Joined::Failed;
}

// The Startup shortcut for what the domain change leaves, or a warning why
// there is none.
void ArrangeNextStart(Context& context, const std::string& placeName) {
  platform::Platform& platform = context.Platform();
  if (!FitsShortcutArguments(placeName))
    Warn(platform, kMsgPlaceNameNotPassable + placeName);
  else if (!CreateStartupShortcut(platform, ResumeArguments(placeName)))
    Warn(platform, kMsgShortcutNotCreated);
}

bool DisableAutoLogon(platform::Platform& platform);

// Whether the place's section holds its whole logon group, rather than
// taking it from the PC.
bool LogonStored(const config::ConfigFile& config, const config::PlaceSettings& record) {
  for (const char* key : {"DefaultUserName", "AutoAdminLogon", "DefaultPassword", "DisableCAD"})
    if (config.ReadString(record.SectionName(), key, config::kNoDataPlace, 256) ==
        config::kNoDataPlace)
      return false;
  return true;
}

// The slot's domain change; the run stops after it either way. False when it
// failed (the queue is gone then).
bool ChangeDomain(Context& context, const config::PlaceSettings& record, int64_t slot,
                  ui::IUserPasswordDialog& credentials) {
  platform::Platform& platform = context.Platform();
  WaitBeforeJoinOnXp(context);
  switch (JoinPlace(context, record, credentials)) {
    case Joined::Done:
      break;
    case Joined::Cancelled:
      // The program is ending: the queue stays for a start that can join.
      return false;
    case Joined::Failed:
      Warn(platform, kMsgDomainSwitchFailed);
      EndQueue(context);
      // The administrator's automatic logon made for the join must not
      // outlive it: with the queue gone nothing else would turn it off.
      DisableAutoLogon(platform);
      return false;
  }
  const bool marked = MarkDone(context.Config(), slot);
  // Its failures are shown there; the join stands and needs the restart. A
  // place that stores no logon of its own read it from the PC, which holds
  // the administrator's logon made for the join: that is turned off
  // instead of being kept as the place's.
  if (LogonStored(context.Config(), record))
    WriteWinlogon(context, record);
  else
    DisableAutoLogon(platform);
  // Checked after the logon write, which may have queued "DisableAutoLogon".
  // Without the mark every start would join and restart again.
  if (!marked)
    Warn(platform, kMsgDomainDoneNotWritten + context.ConfigPath());
  else if (ActionsRemain(context.Config()))
    ArrangeNextStart(context, record.owner.Name);
  else
    DeleteStartupShortcut(platform);
  ExitWindowsWithPrivilege(context, platform::kExitReboot);
  return true;
}

// "DisableAutoLogon". False after a failure shown; the queue stays then.
bool DisableAutoLogon(platform::Platform& platform) {
  platform::RegKey key;
  if (key.Open(platform.registry, platform::Hive::LocalMachine, kWinlogonKey,
               platform::kKeyAllAccess) != platform::kErrorSuccess) {
    Warn(platform, RegistryOpenFailedMessage(kWinlogonKey));
    return false;
  }
  if (key.SetString("AutoAdminLogon", "0") != platform::kErrorSuccess) {
    Warn(platform, RegistryWriteFailedMessage(kWinlogonKey, "AutoAdminLogon", true));
    return false;
  }
  // A value that is not there is no error.
  key.DeleteValue("DefaultPassword");
  key.DeleteValue("ForceAutoLogon");
  return true;
}

}  // namespace

bool RunDelayedActions(ui::CVelandraSheet& sheet, ui::IUserPasswordDialog& credentials) {
  Context& context = sheet.GetContext();
  if (!sheet.CurrentPlace) {
    // Nothing can be carried out without the place: the queue waits.
    if (DelayedActionCount(context.Config()) >= 0) return false;
    EndQueue(context);
    return true;
  }
  const config::PlaceSettings* record = sheet.FindPlaceSettings(*sheet.CurrentPlace);
  if (!record) return false;  // load all makes one for every place
  return RunDelayedActions(context, *record, credentials);
}

bool RunDelayedActions(Context& context, const config::PlaceSettings& record,
                       ui::IUserPasswordDialog& credentials) {
  const config::ConfigFile& config = context.Config();
  platform::Platform& platform = context.Platform();
  const int count = DelayedActionCount(config);
  if (count < 0) {
    EndQueue(context);
    return true;
  }
  const int64_t last = LastSlot(config, count);
  for (int64_t slot = 0; slot <= last; ++slot) {
    const std::string action = ReadSlot(config, slot);
    if (action == config::kNoDataDelay || action == kActionDone) continue;
    if (action == kActionChangeDomain) return ChangeDomain(context, record, slot, credentials);
    if (action == kActionConnectNetworkDrive) {
      for (const config::NetworkDrive& drive : record.NetworkDrives.Drives)
        ConnectDrive(drive, platform);
    } else if (action == kActionDefaultPrinter) {
      SetDefaultPrinter(record.DefaultPrinter, platform);
    } else if (action == kActionNetShare) {
      // Left unmarked: a run that stops at a later slot makes the shares
      // again at the next start.
      CreateShares(platform.shares, record.NetShares);
      continue;
    } else if (action == kActionDisableAutoLogon) {
      if (!DisableAutoLogon(platform)) return false;
    } else if (action == kActionExecuteChangeProxy) {
      RunCompanion(platform.processes, record.Proxy);
    } else if (action == kActionExecuteProgram) {
      for (const auto& entry : record.Programs) StartProgramEntry(platform, *entry);
    }
    // Any other name is only marked.
    MarkDone(config, slot);
  }
  EndQueue(context);
  return true;
}

void StartProgramEntry(platform::Platform& platform, const config::ProgramEntry& entry) {
  if (!platform.files.Exists(entry.Path)) return;
  switch (entry.Type) {
    case config::kProgramTypeProgram:
      platform.shell.Execute("", entry.Path, entry.Arguments, entry.Directory, entry.Show);
      break;
    case config::kProgramTypeFolder:
      platform.shell.Execute("", kExplorer, entry.Path, "", entry.Show);
      break;
    case config::kProgramTypeFile:
      platform.shell.Execute(kOpenVerb, entry.Path, "", "", entry.Show);
      break;
    default:
      break;
  }
}

}  // namespace velandra::app
