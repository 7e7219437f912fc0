#include "ui/win32/page_ip_view.h"

#include <string>
#include <vector>

#include "ui/win32/controls.h"

namespace velandra::ui::win32 {

namespace {

class IpPageView : public PageView {
 public:
  explicit IpPageView(CPageIP& page) : PageView(page), page_(page) {}

  void Prepare(HWND hwnd) override {
    SetListViewColumns(hwnd, IDC_IP_ADDRESS_LIST, {kColumnIpAddress, kColumnSubnetMask},
                       kIpColumnWidth);
    SetListViewColumns(hwnd, IDC_IP_GATEWAY_LIST, {kColumnGateway, kColumnMetric},
                       kIpColumnWidth);
  }

  void Show(HWND hwnd) override {
    SetRadioIndex(hwnd, {IDC_IP_DHCP, IDC_IP_FIXED}, page_.Radio);
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : page_.Addresses) rows.push_back({row.Address, row.Mask});
    SetListViewRows(hwnd, IDC_IP_ADDRESS_LIST, rows, page_.AddressSelection);
    EnableItems(hwnd,
                {IDC_IP_ADDRESS_LIST, IDC_IP_ADDRESS_ADD, IDC_IP_ADDRESS_EDIT,
                 IDC_IP_ADDRESS_DELETE},
                page_.AddressesEnabled);
    rows.clear();
    for (const auto& row : page_.Gateways) rows.push_back({row.Gateway, row.ShownMetric()});
    SetListViewRows(hwnd, IDC_IP_GATEWAY_LIST, rows, page_.GatewaySelection);
    SetItemChecked(hwnd, IDC_IP_AUTO_METRIC, page_.AutoMetric);
    EnableItem(hwnd, IDC_IP_AUTO_METRIC, page_.AutoMetricEnabled);
    SetItemText(hwnd, IDC_IP_METRIC, page_.InterfaceMetricText);
    EnableItems(hwnd, {IDC_IP_METRIC_LABEL, IDC_IP_METRIC}, page_.InterfaceMetricEnabled);
  }

  bool Read(HWND hwnd) override {
    const int radio = RadioIndex(hwnd, {IDC_IP_DHCP, IDC_IP_FIXED});
    if (radio >= 0) page_.Radio = radio;
    page_.AddressSelection = ListViewSelection(hwnd, IDC_IP_ADDRESS_LIST);
    page_.GatewaySelection = ListViewSelection(hwnd, IDC_IP_GATEWAY_LIST);
    page_.AutoMetric = ItemChecked(hwnd, IDC_IP_AUTO_METRIC);
    page_.InterfaceMetricText = NumberText(hwnd, IDC_IP_METRIC);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (code != BN_CLICKED) return false;
    switch (id) {
      case IDC_IP_DHCP: Handle(hwnd, [&] { page_.OnDhcpClicked(); }); return true;
      case IDC_IP_FIXED: Handle(hwnd, [&] { page_.OnFixedClicked(); }); return true;
      case IDC_IP_AUTO_METRIC: Handle(hwnd, [&] { page_.OnAutoMetricClicked(); }); return true;
      case IDC_IP_ADDRESS_ADD: Handle(hwnd, [&] { page_.OnAddressAdd(); }); return true;
      case IDC_IP_ADDRESS_EDIT: Handle(hwnd, [&] { page_.OnAddressEdit(); }); return true;
      case IDC_IP_ADDRESS_DELETE: Handle(hwnd, [&] { page_.OnAddressDelete(); }); return true;
      case IDC_IP_GATEWAY_ADD: Handle(hwnd, [&] { page_.OnGatewayAdd(); }); return true;
      case IDC_IP_GATEWAY_EDIT: Handle(hwnd, [&] { page_.OnGatewayEdit(); }); return true;
      case IDC_IP_GATEWAY_DELETE: Handle(hwnd, [&] { page_.OnGatewayDelete(); }); return true;
    }
    return false;
  }

  // A double click on a row edits it; on the empty part of a list it does
  // nothing (no "select a row" message for a stray click).
  bool OnNotify(HWND hwnd, const NMHDR& header) override {
    if (header.code != static_cast<UINT>(NM_DBLCLK)) return false;
    const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
    if (activate.iItem < 0) return false;
    if (header.idFrom == IDC_IP_ADDRESS_LIST && page_.AddressesEnabled) {
      Handle(hwnd, [&] { page_.OnAddressEdit(); });
      return true;
    }
    if (header.idFrom == IDC_IP_GATEWAY_LIST) {
      Handle(hwnd, [&] { page_.OnGatewayEdit(); });
      return true;
    }
    return false;
  }

 private:
  CPageIP& page_;
};

class IpAddressView : public DialogView {
 public:
  explicit IpAddressView(CDlgIPAddress& dialog) : DialogView(dialog), dialog_(dialog) {}
  void Show(HWND hwnd) override {
    SetIpFields(hwnd, IDC_IP_ADDRESS_DLG_ADDRESS, dialog_.AddressFields);
    SetIpFields(hwnd, IDC_IP_ADDRESS_DLG_MASK, dialog_.MaskFields);
  }
  bool Read(HWND hwnd) override {
    dialog_.AddressFields = GetIpFields(hwnd, IDC_IP_ADDRESS_DLG_ADDRESS);
    dialog_.MaskFields = GetIpFields(hwnd, IDC_IP_ADDRESS_DLG_MASK);
    return true;
  }

 private:
  CDlgIPAddress& dialog_;
};

class GatewayView : public DialogView {
 public:
  explicit GatewayView(CDlgGateway& dialog) : DialogView(dialog), dialog_(dialog) {}
  void Show(HWND hwnd) override {
    SetIpFields(hwnd, IDC_GATEWAY_ADDRESS, dialog_.GatewayFields);
    SetItemChecked(hwnd, IDC_GATEWAY_AUTO_METRIC, dialog_.AutoMetric);
    EnableItem(hwnd, IDC_GATEWAY_AUTO_METRIC, dialog_.AutoMetricEnabled);
    SetItemText(hwnd, IDC_GATEWAY_METRIC, dialog_.MetricText);
    EnableItems(hwnd, {IDC_GATEWAY_METRIC_LABEL, IDC_GATEWAY_METRIC}, dialog_.MetricEnabled);
  }
  bool Read(HWND hwnd) override {
    dialog_.GatewayFields = GetIpFields(hwnd, IDC_GATEWAY_ADDRESS);
    dialog_.AutoMetric = ItemChecked(hwnd, IDC_GATEWAY_AUTO_METRIC);
    dialog_.MetricText = NumberText(hwnd, IDC_GATEWAY_METRIC);
    return true;
  }
  bool OnCommand(HWND hwnd, int id, int code) override {
    if (id != IDC_GATEWAY_AUTO_METRIC || code != BN_CLICKED) return false;
    Handle(hwnd, [&] { dialog_.OnAutoMetricClicked(); });
    return true;
  }

 private:
  CDlgGateway& dialog_;
};

}  // namespace

std::unique_ptr<PageView> MakeIpPageView(CPageIP& page) {
  return std::make_unique<IpPageView>(page);
}

std::unique_ptr<DialogView> MakeIpDialogView(CDialogModel& dialog) {
  if (auto* address = dynamic_cast<CDlgIPAddress*>(&dialog))
    return std::make_unique<IpAddressView>(*address);
  if (auto* gateway = dynamic_cast<CDlgGateway*>(&dialog))
    return std::make_unique<GatewayView>(*gateway);
  return nullptr;
}

}  // namespace velandra::ui::win32
