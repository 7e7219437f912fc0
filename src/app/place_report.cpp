#include "app/place_report.h"

namespace velandra::app {

namespace {

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
  }
  return out;
}

}  // namespace velandra::app
