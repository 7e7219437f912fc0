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

#ifdef _WIN32
#include "system/platform/win32/win_api.h"
#include <commctrl.h>

#include "support/window_driver.h"
#include "ui/win32/view_base.h"
#endif

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

#ifdef _WIN32

// The page of a sheet shown by RunPageAlone.
inline HWND PageOf(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// The visible controls of `dialog` that overlap another one or stand out of
// the dialog, as "id and id" or "id outside"; a group box may hold others.
inline std::vector<std::string> LayoutFaults(HWND dialog) {
  struct Item {
    int id;
    RECT rect;
    bool frame;
  };
  std::vector<Item> items;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    const bool frame = std::string(name) == "Button" &&
                       (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
    items.push_back({GetDlgCtrlID(child), rect, frame});
  }
  RECT client{};
  GetClientRect(dialog, &client);
  std::vector<std::string> faults;
  for (size_t i = 0; i < items.size(); ++i) {
    const RECT& a = items[i].rect;
    if (a.left < client.left || a.top < client.top || a.right > client.right ||
        a.bottom > client.bottom)
      faults.push_back(std::to_string(items[i].id) + " outside");
    for (size_t j = i + 1; j < items.size(); ++j) {
      RECT both{};
      if (!IntersectRect(&both, &a, &items[j].rect)) continue;
      const RECT& b = items[j].rect;
      auto holds = [](const RECT& outer, const RECT& inner) {
        return inner.left >= outer.left && inner.top >= outer.top &&
               inner.right <= outer.right && inner.bottom <= outer.bottom;
      };
      if ((items[i].frame && holds(a, b)) || (items[j].frame && holds(b, a))) continue;
      faults.push_back(std::to_string(items[i].id) + " and " + std::to_string(items[j].id));
    }
  }
  return faults;
}

// The ids of the controls that the tab key visits from `first`, in order,
// until it comes back.
inline std::vector<int> TabOrder(HWND dialog, int first) {
  std::vector<int> order;
  HWND start = GetDlgItem(dialog, first);
  HWND item = start;
  for (int guard = 0; item && guard < 100; ++guard) {
    order.push_back(GetDlgCtrlID(item));
    item = GetNextDlgTabItem(dialog, item, FALSE);
    if (item == start) break;
  }
  return order;
}

inline bool HasIcon(int id) {
  return FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                       MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */) != nullptr;
}

#endif  // _WIN32

}  // namespace velandra::testing
