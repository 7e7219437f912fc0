#include "ui/win32/page_dns_view.h"

#include <string>
#include <vector>

#include "ui/resource_ids.h"
#include "ui/win32/controls.h"

namespace velandra::ui::win32 {

namespace {

// The longest connection suffix and search list entry the stored forms
// hold.
constexpr WPARAM kSuffixLimit = 255;

HINSTANCE ModuleOf(HWND window) {
  auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  return module ? module : GetModuleHandleA(nullptr);
}

class DnsPageView : public PageView {
 public:
  explicit DnsPageView(CPageDNS& page) : PageView(page), page_(page) {}

  void Prepare(HWND hwnd) override {
    SetUpDownIcons(hwnd, IDC_DNS_SERVER_UP, IDC_DNS_SERVER_DOWN);
    SetUpDownIcons(hwnd, IDC_DNS_SUFFIX_UP, IDC_DNS_SUFFIX_DOWN);
    SendDlgItemMessageA(hwnd, IDC_DNS_CONNECTION_SUFFIX, EM_LIMITTEXT, kSuffixLimit, 0);
  }

  void Show(HWND hwnd) override {
    SetRadioIndex(hwnd, {IDC_DNS_AUTO, IDC_DNS_FIXED}, page_.ServerChoice);
    ShowOrderedList(hwnd, IDC_DNS_SERVER_LIST, page_.Servers);
    SetRadioIndex(hwnd, {IDC_DNS_PRIMARY_SUFFIX, IDC_DNS_SUFFIX_CHOICE}, page_.SuffixChoice);
    SetItemChecked(hwnd, IDC_DNS_PARENT_SUFFIX, page_.ParentSuffix);
    ShowOrderedList(hwnd, IDC_DNS_SUFFIX_LIST, page_.Suffixes);
    SetItemText(hwnd, IDC_DNS_CONNECTION_SUFFIX, page_.ConnectionSuffix);
    SetItemChecked(hwnd, IDC_DNS_REGISTER, page_.RegisterAddresses);
    SetItemChecked(hwnd, IDC_DNS_REGISTER_SUFFIX, page_.RegisterSuffix);

    EnableItem(hwnd, IDC_DNS_AUTO, page_.AutoDnsEnabled);
    EnableItems(hwnd,
                {IDC_DNS_SERVER_LIST, IDC_DNS_SERVER_UP, IDC_DNS_SERVER_DOWN, IDC_DNS_SERVER_ADD,
                 IDC_DNS_SERVER_EDIT, IDC_DNS_SERVER_DELETE},
                page_.ServerListEnabled);
    EnableItem(hwnd, IDC_DNS_PARENT_SUFFIX, page_.ParentSuffixEnabled);
    EnableItems(hwnd,
                {IDC_DNS_SUFFIX_LIST, IDC_DNS_SUFFIX_UP, IDC_DNS_SUFFIX_DOWN, IDC_DNS_SUFFIX_ADD,
                 IDC_DNS_SUFFIX_EDIT, IDC_DNS_SUFFIX_DELETE},
                page_.SuffixListEnabled);
    EnableItem(hwnd, IDC_DNS_REGISTER_SUFFIX, page_.RegisterSuffixEnabled);
  }

  bool Read(HWND hwnd) override {
    page_.ServerChoice = RadioIndex(hwnd, {IDC_DNS_AUTO, IDC_DNS_FIXED});
    page_.Servers.Selected = ListBoxSelection(hwnd, IDC_DNS_SERVER_LIST);
    page_.SuffixChoice = RadioIndex(hwnd, {IDC_DNS_PRIMARY_SUFFIX, IDC_DNS_SUFFIX_CHOICE});
    page_.ParentSuffix = ItemChecked(hwnd, IDC_DNS_PARENT_SUFFIX);
    page_.Suffixes.Selected = ListBoxSelection(hwnd, IDC_DNS_SUFFIX_LIST);
    page_.ConnectionSuffix = ItemText(hwnd, IDC_DNS_CONNECTION_SUFFIX);
    page_.RegisterAddresses = ItemChecked(hwnd, IDC_DNS_REGISTER);
    page_.RegisterSuffix = ItemChecked(hwnd, IDC_DNS_REGISTER_SUFFIX);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (code != BN_CLICKED) return false;
    void (CPageDNS::*handler)() = nullptr;
    switch (id) {
      case IDC_DNS_AUTO: handler = &CPageDNS::OnAutoDnsClicked; break;
      case IDC_DNS_FIXED: handler = &CPageDNS::OnFixedDnsClicked; break;
      case IDC_DNS_PRIMARY_SUFFIX: handler = &CPageDNS::OnPrimarySuffixClicked; break;
      case IDC_DNS_SUFFIX_CHOICE: handler = &CPageDNS::OnSuffixListClicked; break;
      case IDC_DNS_REGISTER: handler = &CPageDNS::OnRegisterAddressesClicked; break;
      case IDC_DNS_SERVER_ADD: handler = &CPageDNS::OnServerAdd; break;
      case IDC_DNS_SERVER_EDIT: handler = &CPageDNS::OnServerEdit; break;
      case IDC_DNS_SERVER_DELETE: handler = &CPageDNS::OnServerDelete; break;
      case IDC_DNS_SERVER_UP: handler = &CPageDNS::OnServerUp; break;
      case IDC_DNS_SERVER_DOWN: handler = &CPageDNS::OnServerDown; break;
      case IDC_DNS_SUFFIX_ADD: handler = &CPageDNS::OnSuffixAdd; break;
      case IDC_DNS_SUFFIX_EDIT: handler = &CPageDNS::OnSuffixEdit; break;
      case IDC_DNS_SUFFIX_DELETE: handler = &CPageDNS::OnSuffixDelete; break;
      case IDC_DNS_SUFFIX_UP: handler = &CPageDNS::OnSuffixUp; break;
      case IDC_DNS_SUFFIX_DOWN: handler = &CPageDNS::OnSuffixDown; break;
      default: return false;
    }
    Handle(hwnd, [&] { (page_.*handler)(); });
    return true;
  }

 private:
  CPageDNS& page_;
};

class ServerAddressView : public DialogView {
 public:
  explicit ServerAddressView(CServerAddressDialog& dialog) : DialogView(dialog), dialog_(dialog) {}
  void Show(HWND hwnd) override { SetIpFields(hwnd, dialog_.AddressControl(), dialog_.Fields); }
  bool Read(HWND hwnd) override {
    dialog_.Fields = GetIpFields(hwnd, dialog_.AddressControl());
    return true;
  }

 private:
  CServerAddressDialog& dialog_;
};

class DnsSuffixView : public DialogView {
 public:
  explicit DnsSuffixView(CDlgDNSSuffix& dialog) : DialogView(dialog), dialog_(dialog) {}
  void Prepare(HWND hwnd) override {
    SendDlgItemMessageA(hwnd, IDC_DNS_SUFFIX_TEXT, EM_LIMITTEXT, kSuffixLimit, 0);
  }
  void Show(HWND hwnd) override { SetItemText(hwnd, IDC_DNS_SUFFIX_TEXT, dialog_.Suffix); }
  bool Read(HWND hwnd) override {
    dialog_.Suffix = ItemText(hwnd, IDC_DNS_SUFFIX_TEXT);
    return true;
  }

 private:
  CDlgDNSSuffix& dialog_;
};

}  // namespace

void ShowOrderedList(HWND dialog, int id, const OrderedList& list) {
  const int selected = list.HasSelection() ? list.Selected : -1;
  if (ListBoxItems(dialog, id) != list.Items) {
    SetListBoxItems(dialog, id, list.Items, selected);
    return;
  }
  SendDlgItemMessageA(dialog, id, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void SetUpDownIcons(HWND dialog, int up, int down) {
  const HINSTANCE module = ModuleOf(dialog);
  SetButtonIcon(dialog, up, module, IDI_UP);
  SetButtonIcon(dialog, down, module, IDI_DOWN);
}

std::unique_ptr<PageView> MakeDnsPageView(CPageDNS& page) {
  return std::make_unique<DnsPageView>(page);
}

std::unique_ptr<DialogView> MakeServerAddressView(CServerAddressDialog& dialog) {
  return std::make_unique<ServerAddressView>(dialog);
}

std::unique_ptr<DialogView> MakeDnsDialogView(CDialogModel& dialog) {
  if (auto* server = dynamic_cast<CDlgDNSServer*>(&dialog)) return MakeServerAddressView(*server);
  if (auto* suffix = dynamic_cast<CDlgDNSSuffix*>(&dialog))
    return std::make_unique<DnsSuffixView>(*suffix);
  return nullptr;
}

}  // namespace velandra::ui::win32
