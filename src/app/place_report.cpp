#include "app/place_report.h"

#include "config/hosts_files.h"
#include "config/net_shares.h"
#include "config/network_drives.h"
#include "config/proxy_choice.h"
#include "system/hosts_files.h"
#include "system/net_shares.h"
#include "system/place_settings_pc.h"
#include "system/network_drives.h"
#include "system/proxy_companion.h"

namespace velandra::app {

namespace {

std::string Indented(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out += "    " + text.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return out;
}

const char* ChangeKindText(uint32_t kind) {
  switch (kind) {
    case 0: return "PCと同じ";
    case 1: return "再起動なしで変更できる";
    default: return "再起動が必要";
  }
}

}  // namespace

const char* AdapterGroupName(size_t group) {
  static const char* const kNames[config::kAdapterGroupCount] = {
      "IPアドレス", "ゲートウェイ", "インターフェイス メトリック", "DNSサーバー",
      "DNSサフィックス", "DNSへの登録", "サフィックスの登録", "WINS", "NetBIOS"};
  return group < config::kAdapterGroupCount ? kNames[group] : "?";
}

const char* PlaceGroupName(size_t group) {
  static const char* const kNames[config::kPlaceGroupCount] = {
      "DNSサフィックスの検索", "LMHOSTSの参照", "コンピュータ名と説明",
      "ドメイン/ワークグループ", "ログオン", "プロキシ", "ネットワークドライブ", "共有",
      "通常使うプリンタ", "hosts", "lmhosts"};
  return group < config::kPlaceGroupCount ? kNames[group] : "?";
}

std::string DescribePlaces(ui::CVelandraSheet& sheet) {
  std::string out = "アダプタ:\n";
  for (const auto& a : sheet.Adapters)
    out += "  A" + std::to_string(a->Number) + " " + a->ConnectionName + " (" + a->DriverDesc +
           ") " + a->NetCfgInstanceId + "\n";
  out += "場所:\n";
  for (const auto& p : sheet.Places)
    out += "  P" + std::to_string(p->Number) + " " + p->Name +
           (p.get() == sheet.CurrentPlace ? "  (前回の場所)" : "") + "\n";
  for (const auto& p : sheet.Places) {
    out += "場所 " + p->Name + " とPCの比較:\n";
    for (const auto& a : sheet.Adapters) {
      config::AdapterSettings* s = sheet.FindAdapterSettings(*p, *a);
      if (!s) continue;
      s->CompareWithPc(sheet.GetContext());
      out += "  " + a->ConnectionName + ": ChangeKind " + std::to_string(s->ChangeKind) + " " +
             ChangeKindText(s->ChangeKind);
      std::string differ;
      for (size_t g = 0; g < config::kAdapterGroupCount; ++g)
        if (!s->Same[g]) differ += std::string(differ.empty() ? "" : ", ") + AdapterGroupName(g);
      if (!differ.empty()) out += " / 違い: " + differ;
      out += "\n";
    }
    if (config::PlaceSettings* record = sheet.FindPlaceSettings(*p)) {
      CompareWithPC(sheet.GetContext(), *record);
      out += "  場所全体: ChangeKind " + std::to_string(record->ChangeKind) + " " +
             ChangeKindText(record->ChangeKind);
      std::string differ;
      for (size_t g = 0; g < config::kPlaceGroupCount; ++g)
        if (!record->Same[g]) differ += std::string(differ.empty() ? "" : ", ") + PlaceGroupName(g);
      if (!differ.empty()) out += " / 違い: " + differ;
      out += "\n";
    }
  }
  return out;
}

std::string DescribePlacePieces(Context& context, const config::Place& place) {
  platform::Platform& pc = context.Platform();
  const config::ConfigFile& file = context.Config();
  const std::string section = "P" + std::to_string(place.Number);

  config::NetworkDriveList drives, pcDrives;
  config::ReadDrivesFromConfig(drives, section, file);
  const std::string pcPrinter = GetDefaultPrinter(pc.printers);
  const std::string printer =
      config::ReadDefaultPrinterFromConfig(section, file).value_or(pcPrinter);
  ReadDrivesFromPC(pcDrives, pc.drives);

  config::NetShareList shares, pcShares;
  config::ReadSharesFromConfig(file, section, shares);
  const long shareResult = ReadSharesFromPC(pc.shares, pcShares);

  config::HostsFiles hosts;
  const bool hostsStored = config::ReadHostsFiles(file, place.Number, hosts);

  config::ProxyChoice proxy = FindCompanion(pc);
  config::ProxyChoice pcProxy = proxy;
  pcProxy.SelectDefault();
  proxy.ReadFromConfig(file, section);

  std::string out = "場所 " + place.Name + " の場所全体の設定 (" + section + "):\n";
  out += "  場所:\n" + Indented(DescribeDrivesAndPrinter(drives, printer)) +
         Indented(config::DescribeShares(shares));
  out += hostsStored ? Indented(DescribeHostsFiles(pc, hosts))
                     : "    HOSTS/LMHOSTS: 未保存 (保存するとPCのファイルを写す)\n";
  out += Indented(DescribeProxyChoice(proxy));
  out += "  PC:\n" + Indented(DescribeDrivesAndPrinter(pcDrives, pcPrinter));
  out += shareResult == 0 ? Indented(config::DescribeShares(pcShares))
                          : "    共有を読めません (エラー " + std::to_string(shareResult) + ")\n";
  out += "    HOSTS: " + SystemHostsPath(pc.system, HostsKind::Hosts) + "\n" +
         "    LMHOSTS: " + SystemHostsPath(pc.system, HostsKind::Lmhosts) + "\n";
  out += Indented(DescribeProxyChoice(pcProxy));
  return out;
}

}  // namespace velandra::app
