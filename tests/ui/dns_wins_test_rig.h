// The demo PC's sheet, loaded, for the tests of the DNS and WINS pages: its
// five places (標準, 本社, 自宅, 本店, 在宅) and two adapters (0 the wired,
// static one; 1 the wireless one on DHCP), and a dialog host that answers
// the pages' dialogs.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/answering_dialog_host.h"
#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/os_info.h"
#include "ui/velandra_sheet.h"

namespace velandra::testing {

class DemoSheet {
 public:
  DemoSheet()
      : context_(pc_.Open().platform(), kDemoIniPath, ReadOsInfo(pc_.Open().platform().system)),
        sheet(context_) {
    EXPECT_TRUE(sheet.LoadAll());
  }

  // Makes `place` and adapter `adapter` current.
  void Select(const std::string& place, uint32_t adapter) {
    const int64_t number = sheet.FindPlaceNumber(place);
    ASSERT_GE(number, 0) << place;
    sheet.CurrentPlace = sheet.FindPlace(static_cast<uint32_t>(number));
    sheet.CurrentAdapter = sheet.FindAdapter(adapter);
    ASSERT_NE(sheet.CurrentAdapter, nullptr);
  }
  config::AdapterSettings& Adapter() {
    return *sheet.FindAdapterSettings(*sheet.CurrentPlace, *sheet.CurrentAdapter);
  }
  config::PlaceSettings& Place() { return *sheet.FindPlaceSettings(*sheet.CurrentPlace); }

  const std::vector<platform::sim::ShownMessage>& Messages() { return pc_.Open().Messages(); }
  std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const auto& m : Messages()) texts.push_back(m.Text);
    return texts;
  }

  // Every field the two pages edit, of every record of the sheet.
  std::string Dump() const {
    auto join = [](const std::vector<std::string>& list) {
      std::string out;
      for (size_t i = 0; i < list.size(); ++i) out += (i ? "," : "") + list[i];
      return out;
    };
    std::string out;
    for (const auto& s : sheet.AdapterSettingsList)
      out += "P" + std::to_string(s->Place->Number) + "A" + std::to_string(s->Adapter->Number) +
             (s->EnableDHCP ? " dhcp" : "") + (s->EnableDNS ? " autodns" : " dns=") +
             join(s->DNS_Server) + " suffix=" + s->DOMAIN_Suffix +
             (s->DOMAIN_Update ? " update" : "") +
             (s->DOMAIN_Registration ? " register" : "") + " wins=" + join(s->WINS) +
             " nb=" + std::to_string(s->NetBIOS) + "\n";
    for (const auto& p : sheet.PlaceSettingsList)
      out += "P" + std::to_string(p->owner.Number) + (p->PrimarySuffix ? " primary" : "") +
             (p->PrimaryParentSuffix ? " parent" : "") + " list=" + join(p->DNS_Suffix) +
             (p->EnableLMHOSTS ? " lmhosts" : "") + "\n";
    return out;
  }

  // The dump's lines of the current records, and the dump without them.
  std::string AdapterLine() const { return DumpLine(AdapterKey()); }
  std::string PlaceLine() const { return DumpLine(PlaceKey()); }
  std::string Others() const {
    std::string out;
    const std::string dump = Dump();
    for (size_t at = 0; at < dump.size();) {
      const size_t end = dump.find('\n', at) + 1;
      const std::string line = dump.substr(at, end - at);
      if (line.rfind(AdapterKey() + " ", 0) != 0 && line.rfind(PlaceKey() + " ", 0) != 0)
        out += line;
      at = end;
    }
    return out;
  }

 private:
  std::string PlaceKey() const { return "P" + std::to_string(sheet.CurrentPlace->Number); }
  std::string AdapterKey() const {
    return PlaceKey() + "A" + std::to_string(sheet.CurrentAdapter->Number);
  }
  std::string DumpLine(const std::string& key) const {
    const std::string dump = "\n" + Dump();
    const size_t at = dump.find("\n" + key + " ");
    if (at == std::string::npos) return {};
    return dump.substr(at + 1, dump.find('\n', at + 1) - at - 1);
  }

  ScratchPc pc_;
  Context context_;

 public:
  ui::CVelandraSheet sheet;
  AnsweringDialogHost dialogs;
};

}  // namespace velandra::testing
