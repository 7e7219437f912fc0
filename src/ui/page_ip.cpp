#include "ui/page_ip.h"

#include <stdexcept>
#include <utility>

#include "config/adapter_settings.h"
#include "system/context.h"
#include "ui/ordered_list.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {

namespace {

// The value the gateway dialog starts with for a row's metric text: its
// number, 0 ("自動", automatic) for anything that is none.
uint32_t MetricValue(const std::string& text) { return ParseUnsigned(text).value_or(0); }

std::string MetricText(uint32_t metric) {
  return metric == 0 ? std::string(kAutoMetricText) : std::to_string(metric);
}

bool InRange(uint32_t value) { return value >= kMinMetric && value <= kMaxMetric; }

}  // namespace

std::optional<uint32_t> ParseUnsigned(const std::string& text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

// ---- CDlgIPAddress

void CDlgIPAddress::OnInitDialog() {
  AddressFields = IPAddress.empty() ? IpFields{} : IpFieldsFromText(IPAddress);
  MaskFields = SubnetMask.empty() ? IpFields{} : IpFieldsFromText(SubnetMask);
}

bool CDlgIPAddress::OnOK() {
  const std::optional<std::string> address = IpTextFromFields(AddressFields);
  if (!address) {
    velandra::Warn(context_, kMsgAddressIncomplete);
    Focus = IDC_IP_ADDRESS_DLG_ADDRESS;
    return false;
  }
  const std::optional<std::string> mask = IpTextFromFields(MaskFields);
  if (!mask) {
    velandra::Warn(context_, kMsgMaskIncomplete);
    Focus = IDC_IP_ADDRESS_DLG_MASK;
    return false;
  }
  IPAddress = *address;
  SubnetMask = *mask;
  return true;
}

// ---- CDlgGateway

void CDlgGateway::OnInitDialog() {
  GatewayFields = Gateway.empty() ? IpFields{} : IpFieldsFromText(Gateway);
  if (context_.Os().IsWindows2000()) {
    // Windows 2000 has no automatic metric.
    AutoMetric = false;
    AutoMetricEnabled = false;
  } else {
    AutoMetric = Metric == 0;
    AutoMetricEnabled = true;
  }
  MetricEnabled = !AutoMetric;
  MetricText = std::to_string(Metric);
}

void CDlgGateway::OnAutoMetricClicked() { MetricEnabled = !AutoMetric; }

bool CDlgGateway::OnOK() {
  const std::optional<std::string> gateway = IpTextFromFields(GatewayFields);
  if (!gateway) {
    velandra::Warn(context_, kMsgGatewayIncomplete);
    Focus = IDC_GATEWAY_ADDRESS;
    return false;
  }
  uint32_t metric = 0;
  if (!AutoMetric) {
    const std::optional<uint32_t> typed = ParseUnsigned(MetricText);
    if (!typed || !InRange(*typed)) {
      velandra::Warn(context_, typed ? kMsgMetricRange : kMsgNotANumber);
      Focus = IDC_GATEWAY_METRIC;
      return false;
    }
    metric = *typed;
  }
  Gateway = *gateway;
  Metric = metric;
  return true;
}

// ---- CPageIP

std::string CPageIP::GatewayRow::ShownMetric() const {
  return !Metric || *Metric == "0" ? std::string(kAutoMetricText) : *Metric;
}

config::AdapterSettings& CPageIP::Record() const {
  config::AdapterSettings* record =
      sheet_.CurrentPlace && sheet_.CurrentAdapter
          ? sheet_.FindAdapterSettings(*sheet_.CurrentPlace, *sheet_.CurrentAdapter)
          : nullptr;
  if (!record) throw std::logic_error("no settings record for the current place and adapter");
  return *record;
}

void CPageIP::Warn(const char* text) const { velandra::Warn(sheet_.GetContext(), text); }

void CPageIP::OnSetActive() {
  const config::AdapterSettings& record = Record();
  Addresses.clear();
  AddressSelection = -1;
  Gateways.clear();
  GatewaySelection = -1;

  if (!record.EnableDHCP) {
    Radio = 1;
    AddressesEnabled = true;
    for (size_t i = 0; i < record.IPAddress.size(); ++i)
      Addresses.push_back(
          {record.IPAddress[i], i < record.SubnetMask.size() ? record.SubnetMask[i] : std::string()});
  } else {
    Radio = 0;
    AddressesEnabled = false;
  }

  for (size_t i = 0; i < record.Gateway.size(); ++i) {
    GatewayRow row{record.Gateway[i], std::nullopt};
    if (i < record.Metric.size()) row.Metric = record.Metric[i];
    Gateways.push_back(std::move(row));
  }

  if (sheet_.GetContext().Os().IsWindows2000()) {
    AutoMetric = false;
    AutoMetricEnabled = false;
    InterfaceMetricEnabled = true;
    InterfaceMetricText = std::to_string(record.InterfaceMetric);
  } else {
    AutoMetricEnabled = true;
    AutoMetric = record.InterfaceMetric == 0;
    InterfaceMetricEnabled = !AutoMetric;
    InterfaceMetricText = AutoMetric ? "1" : std::to_string(record.InterfaceMetric);
  }
}

void CPageIP::OnDhcpClicked() {
  Radio = 0;
  AddressesEnabled = false;
}

void CPageIP::OnFixedClicked() {
  Radio = 1;
  AddressesEnabled = true;
}

void CPageIP::OnAutoMetricClicked() { InterfaceMetricEnabled = !AutoMetric; }

void CPageIP::AddressLists(const std::vector<AddressRow>& rows,
                           std::vector<std::string>& addresses, std::vector<std::string>& masks) {
  addresses.clear();
  masks.clear();
  for (const AddressRow& row : rows) {
    addresses.push_back(row.Address);
    masks.push_back(row.Mask);
  }
}

void CPageIP::GatewayLists(const std::vector<GatewayRow>& rows,
                           std::vector<std::string>& gateways, std::vector<std::string>& metrics) {
  gateways.clear();
  metrics.clear();
  // Rows without an entry at the end keep having none; one before a row
  // with an entry needs one to keep the positions, and takes what it shows.
  size_t withMetric = 0;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].Metric) withMetric = i + 1;
  for (size_t i = 0; i < rows.size(); ++i) {
    gateways.push_back(rows[i].Gateway);
    if (i < withMetric) metrics.push_back(rows[i].Metric.value_or(kAutoMetricText));
  }
}

bool CPageIP::TakeAddresses(std::vector<AddressRow> rows) {
  std::vector<std::string> addresses, masks;
  AddressLists(rows, addresses, masks);
  if (!config::ListTextFits(addresses) || !config::ListTextFits(masks)) {
    Warn(config::kMsgListTooLong);
    return false;
  }
  Addresses = std::move(rows);
  return true;
}

bool CPageIP::TakeGateways(std::vector<GatewayRow> rows) {
  std::vector<std::string> gateways, metrics;
  GatewayLists(rows, gateways, metrics);
  if (!config::ListTextFits(gateways) || !config::ListTextFits(metrics)) {
    Warn(config::kMsgListTooLong);
    return false;
  }
  Gateways = std::move(rows);
  return true;
}

void CPageIP::OnAddressAdd() {
  CDlgIPAddress dialog(sheet_.GetContext());
  if (!dialogs_.DoModal(dialog)) return;
  std::vector<AddressRow> rows = Addresses;
  int selection = AddressSelection;
  InsertAtSelection(rows, selection, AddressRow{dialog.IPAddress, dialog.SubnetMask});
  if (TakeAddresses(std::move(rows))) AddressSelection = selection;
}

void CPageIP::OnAddressEdit() {
  if (!Selected(AddressSelection, Addresses.size())) {
    Warn(kMsgSelectAddressToEdit);
    return;
  }
  const size_t at = static_cast<size_t>(AddressSelection);
  CDlgIPAddress dialog(sheet_.GetContext());
  dialog.IPAddress = Addresses[at].Address;
  dialog.SubnetMask = Addresses[at].Mask;
  if (!dialogs_.DoModal(dialog)) return;
  std::vector<AddressRow> rows = Addresses;
  rows[at] = {dialog.IPAddress, dialog.SubnetMask};
  TakeAddresses(std::move(rows));
}

void CPageIP::OnAddressDelete() {
  if (!Selected(AddressSelection, Addresses.size())) {
    Warn(kMsgSelectAddressToDelete);
    return;
  }
  Addresses.erase(Addresses.begin() + AddressSelection);
  AddressSelection = -1;
}

void CPageIP::OnGatewayAdd() {
  CDlgGateway dialog(sheet_.GetContext());
  dialog.Metric = sheet_.GetContext().Os().IsWindows2000() ? 1 : 0;
  if (!dialogs_.DoModal(dialog)) return;
  std::vector<GatewayRow> rows = Gateways;
  int selection = GatewaySelection;
  InsertAtSelection(rows, selection, GatewayRow{dialog.Gateway, MetricText(dialog.Metric)});
  if (TakeGateways(std::move(rows))) GatewaySelection = selection;
}

void CPageIP::OnGatewayEdit() {
  if (!Selected(GatewaySelection, Gateways.size())) {
    Warn(kMsgSelectGatewayToEdit);
    return;
  }
  const size_t at = static_cast<size_t>(GatewaySelection);
  CDlgGateway dialog(sheet_.GetContext());
  dialog.Gateway = Gateways[at].Gateway;
  dialog.Metric = MetricValue(Gateways[at].ShownMetric());
  if (!dialogs_.DoModal(dialog)) return;
  std::vector<GatewayRow> rows = Gateways;
  rows[at] = {dialog.Gateway, MetricText(dialog.Metric)};
  TakeGateways(std::move(rows));
}

void CPageIP::OnGatewayDelete() {
  if (!Selected(GatewaySelection, Gateways.size())) {
    Warn(kMsgSelectGatewayToDelete);
    return;
  }
  Gateways.erase(Gateways.begin() + GatewaySelection);
  GatewaySelection = -1;
}

bool CPageIP::OnKillActive() {
  config::AdapterSettings& record = Record();
  const bool fixed = Radio == 1;
  if (fixed && Addresses.empty()) {
    Warn(kMsgNoAddress);
    Focus = IDC_IP_ADDRESS_ADD;
    return false;
  }
  uint32_t interfaceMetric = 0;
  if (sheet_.GetContext().Os().IsWindows2000() || !AutoMetric) {
    const std::optional<uint32_t> typed = ParseUnsigned(InterfaceMetricText);
    if (!typed || !InRange(*typed)) {
      Warn(typed ? kMsgInterfaceMetricRange : kMsgNotANumber);
      Focus = IDC_IP_METRIC;
      return false;
    }
    interfaceMetric = *typed;
  }

  record.EnableDHCP = !fixed;
  if (fixed) {
    AddressLists(Addresses, record.IPAddress, record.SubnetMask);
  } else {
    record.IPAddress.clear();
    record.SubnetMask.clear();
  }
  GatewayLists(Gateways, record.Gateway, record.Metric);
  record.InterfaceMetric = interfaceMetric;
  return true;
}

}  // namespace velandra::ui
