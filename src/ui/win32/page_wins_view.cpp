#include "ui/win32/page_wins_view.h"

#include "ui/resource_ids.h"
#include "ui/win32/controls.h"
#include "ui/win32/page_dns_view.h"

namespace velandra::ui::win32 {

namespace {

class WinsPageView : public PageView {
 public:
  explicit WinsPageView(CPageWINS& page) : PageView(page), page_(page) {}

  void Prepare(HWND hwnd) override { SetUpDownIcons(hwnd, IDC_WINS_UP, IDC_WINS_DOWN); }

  void Show(HWND hwnd) override {
    ShowOrderedList(hwnd, IDC_WINS_LIST, page_.Servers);
    SetItemChecked(hwnd, IDC_WINS_LMHOSTS, page_.Lmhosts);
    SetRadioIndex(hwnd, {IDC_WINS_NETBIOS_ON, IDC_WINS_NETBIOS_OFF, IDC_WINS_NETBIOS_DHCP},
                  page_.NetBiosChoice);
  }

  bool Read(HWND hwnd) override {
    page_.Servers.Selected = ListBoxSelection(hwnd, IDC_WINS_LIST);
    page_.Lmhosts = ItemChecked(hwnd, IDC_WINS_LMHOSTS);
    page_.NetBiosChoice =
        RadioIndex(hwnd, {IDC_WINS_NETBIOS_ON, IDC_WINS_NETBIOS_OFF, IDC_WINS_NETBIOS_DHCP});
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (code != BN_CLICKED) return false;
    void (CPageWINS::*handler)() = nullptr;
    switch (id) {
      case IDC_WINS_ADD: handler = &CPageWINS::OnAdd; break;
      case IDC_WINS_EDIT: handler = &CPageWINS::OnEdit; break;
      case IDC_WINS_DELETE: handler = &CPageWINS::OnDelete; break;
      case IDC_WINS_UP: handler = &CPageWINS::OnUp; break;
      case IDC_WINS_DOWN: handler = &CPageWINS::OnDown; break;
      default: return false;
    }
    Handle(hwnd, [&] { (page_.*handler)(); });
    return true;
  }

 private:
  CPageWINS& page_;
};

}  // namespace

std::unique_ptr<PageView> MakeWinsPageView(CPageWINS& page) {
  return std::make_unique<WinsPageView>(page);
}

std::unique_ptr<DialogView> MakeWinsDialogView(CDialogModel& dialog) {
  if (auto* server = dynamic_cast<CDlgWINSServer*>(&dialog)) return MakeServerAddressView(*server);
  return nullptr;
}

}  // namespace velandra::ui::win32
