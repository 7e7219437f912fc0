#include "apply/change_batch.h"

#include <memory>
#include <string_view>

#include "apply/netsh_batch.h"
#include "config/place_settings.h"
#include "system/adapter_registry.h"
#include "system/net_shares.h"
#include "system/platform/text.h"
#include "system/utilities.h"
#include "ui/velandra_sheet.h"

namespace velandra::apply {

namespace {

// Windows runs a batch through "cmd /c"; when the quoted command line holds
// any of these, cmd takes the quotes off and splits the path (or expands
// %...% in it).
bool RunsQuoted(std::string_view path) {
  for (size_t pos = 0; pos < path.size(); pos += platform::Cp932CharLength(path, pos)) {
    if (platform::Cp932CharLength(path, pos) == 2) continue;
    const unsigned char c = static_cast<unsigned char>(path[pos]);
    if (c < 0x20 || std::string_view("%&|<>^()@\"").find(static_cast<char>(c)) !=
                        std::string_view::npos)
      return false;
  }
  return true;
}

}  // namespace

BatchPlaceWide BatchPlaceWideOf(const config::PlaceSettings& record) {
  BatchPlaceWide p;
  p.Proxy = {record.Proxy.Installed, record.Proxy.InstallDir, record.Proxy.ProxyName,
             record.Proxy.DisableProxy};
  for (const config::NetworkDrive& d : record.NetworkDrives.Drives)
    p.NetworkDrives.push_back({d.LocalName, d.RemoteName, d.UserName, d.Password});
  p.DefaultPrinter = record.DefaultPrinter;
  for (const config::NetShare& share : record.NetShares)
    p.NetShares.push_back(
        {share.ShareName, share.SharePath, share.MaxUses, share.Remark, share.Access.size()});
  p.HOSTS = record.HOSTS;
  p.LMHOSTS = record.LMHOSTS;
  p.Same.Proxy = record.Same[config::kGroupProxy];
  p.Same.NetworkDrives = record.Same[config::kGroupNetworkDrives];
  p.Same.Shares = record.Same[config::kGroupShares];
  p.Same.DefaultPrinter = record.Same[config::kGroupDefaultPrinter];
  p.Same.HostsFile = record.Same[config::kGroupHostsFile];
  p.Same.LmhostsFile = record.Same[config::kGroupLmhostsFile];
  return p;
}

bool RunChangeBatch(ui::CVelandraSheet& sheet, const config::Place& place) {
  Context& context = sheet.GetContext();
  platform::Platform& platform = context.Platform();

  NetshBatchInput input;
  input.Place = &place;
  for (const auto& adapter : sheet.Adapters)
    if (const config::AdapterSettings* settings = sheet.FindAdapterSettings(place, *adapter))
      input.Adapters.push_back({adapter.get(), settings});
  // Without its place-wide record no place-wide line is written:
  // "net use * /delete /yes" alone would only disconnect the user's drives.
  const config::PlaceSettings* record = sheet.FindPlaceSettings(place);
  BatchPlaceWide placeWide;
  if (record) {
    placeWide = BatchPlaceWideOf(*record);
    input.PlaceWide = &placeWide;
  }
  input.DiffCheck = context.DiffCheck;
  input.Os = context.Os();
  input.SystemDirectory = platform.system.SystemDirectory();

  const std::string path = NetshBatchPath(GetExeDirectory(platform.system), place.Number);
  if (!RunsQuoted(path)) {
    platform::ShowWarning(platform.messages, kMsgBatchPathUnusable + path);
    return false;
  }
  const NetshBatch batch = BuildNetshBatch(input);
  if (batch.Refused()) {
    platform::ShowWarning(platform.messages, batch.Refusal);
    return false;
  }
  if (!platform.files.WriteFile(path, batch.Text)) {
    platform::ShowWarning(platform.messages, kMsgBatchNotCreated);
    return false;
  }

  const bool sharesDiffer = record && !(context.DiffCheck && record->Same[config::kGroupShares]);
  if (sharesDiffer) DeletePCShares(platform.shares);

  bool ok = true;
  long error = 0;
  std::unique_ptr<platform::IProcess> process =
      platform.processes.Create("\"" + path + "\"", sheet.Common.HIDEPROMPT, error);
  const bool ran = process != nullptr;
  if (!ran) {
    platform::ShowWarning(platform.messages,
                          kMsgBatchNotStarted + path + " (エラー " + std::to_string(error) + ")");
    ok = false;
  } else if (const uint32_t code = platform::WaitForExit(*process); code != 0) {
    platform::ShowWarning(platform.messages, kMsgBatchFailed + std::to_string(code) + ": " + path);
    ok = false;
  }
  process.reset();

  if (sheet.Common.DELETEBAT) {
    long deleteError = 0;
    if (!platform.files.DeleteFile(path, &deleteError) &&
        deleteError != platform::kErrorFileNotFound)
      platform::ShowWarning(platform.messages, kMsgBatchNotDeleted + path);
  }

  // The suffixes follow a batch that ran, also one with a failed command:
  // they are the part of the place that no command changes.
  if (ran) {
    for (const auto& adapter : sheet.Adapters) {
      const config::AdapterSettings* settings = sheet.FindAdapterSettings(place, *adapter);
      if (!settings || (context.DiffCheck && settings->Same[config::kGroupSuffix])) continue;
      platform::RegKey key;
      if (key.Open(platform.registry, platform::Hive::LocalMachine,
                   TcpipInterfaceKey(adapter->NetCfgInstanceId),
                   platform::kKeyAllAccess) == platform::kErrorSuccess)
        key.SetString("Domain", settings->DOMAIN_Suffix);
    }
  }

  // Shares with permission entries need the network functions: no net
  // share line can give them.
  if (sharesDiffer && !batch.CreatesShares) {
    std::string messages;
    if (!CreateShares(platform.shares, record->NetShares, &messages)) {
      platform::ShowWarning(platform.messages, messages);
      ok = false;
    }
  }
  return ok;
}

}  // namespace velandra::apply
