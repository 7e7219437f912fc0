// The IP page (template 129) with its address (134) and gateway (135)
// dialogs. The page edits the address part of the current adapter's
// settings in the current place.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialog_model.h"
#include "ui/ip_address_field.h"
#include "ui/resource_ids.h"

namespace velandra {
class Context;
}
namespace velandra::config {
struct AdapterSettings;
}

namespace velandra::ui {

class CVelandraSheet;

inline constexpr char kIpPageTitle[] = "IP設定";
inline constexpr char kIpAddressDialogTitle[] = "TCP/IP アドレス";
inline constexpr char kGatewayDialogTitle[] = "TCP/IP ゲートウェイアドレス";
inline constexpr char kColumnIpAddress[] = "IPアドレス";
inline constexpr char kColumnSubnetMask[] = "サブネットマスク";
inline constexpr char kColumnGateway[] = "ゲートウェイ";
inline constexpr char kColumnMetric[] = "メトリック";
inline constexpr int kIpColumnWidth = 155;  // pixels
// What the gateway list shows, and new rows store, for an automatic metric.
inline constexpr char kAutoMetricText[] = "自動";

inline constexpr char kMsgSelectAddressToEdit[] = "編集したいIPアドレスを選択してください";
inline constexpr char kMsgSelectAddressToDelete[] = "削除したいIPアドレスを選択してください";
inline constexpr char kMsgSelectGatewayToEdit[] =
    "編集したいゲートウェイアドレスを選択してください";
inline constexpr char kMsgSelectGatewayToDelete[] =
    "削除したいデフォルトゲートウェイを選択してください";
inline constexpr char kMsgNoAddress[] = "IPアドレスが入力されていません。正しく入力してください";
inline constexpr char kMsgInterfaceMetricRange[] =
    "インターフェイスメトリックには1から9999の間のメトリックを入力してください。";
inline constexpr char kMsgAddressIncomplete[] = "IPアドレスの内容が正しくありません。";
inline constexpr char kMsgMaskIncomplete[] = "サブネットマスクの内容が正しくありません。";
inline constexpr char kMsgGatewayIncomplete[] = "ゲートウェイアドレスの内容が正しくありません。";
inline constexpr char kMsgMetricRange[] = "メトリックには1から9999までのメトリックを入力してください。";
// A number field holding something that is not an unsigned number (empty,
// or pasted text).
inline constexpr char kMsgNotANumber[] = "数値を入力してください。";

// The metrics the fields take.
inline constexpr uint32_t kMinMetric = 1;
inline constexpr uint32_t kMaxMetric = 9999;

// The text of a number field as an unsigned 32-bit number: decimal digits
// only, at least one; none when it is anything else or too large.
std::optional<uint32_t> ParseUnsigned(const std::string& text);

// One address and its mask.
class CDlgIPAddress : public CDialogModel {
 public:
  explicit CDlgIPAddress(Context& context) : context_(context) {}
  uint32_t TemplateId() const override { return IDD_IP_ADDRESS; }

  // The texts, when not empty, into the controls.
  void OnInitDialog() override;
  // Refuses a control that is not completely filled, the address first;
  // otherwise takes both texts.
  bool OnOK() override;

  std::string IPAddress;
  std::string SubnetMask;
  // The controls.
  IpFields AddressFields;
  IpFields MaskFields;

 private:
  Context& context_;
};

// One gateway and its metric.
class CDlgGateway : public CDialogModel {
 public:
  explicit CDlgGateway(Context& context) : context_(context) {}
  uint32_t TemplateId() const override { return IDD_GATEWAY; }

  // The gateway text, when not empty, into its control; the check and the
  // metric field from Metric (on Windows 2000 the check is cleared and
  // disabled).
  void OnInitDialog() override;
  // The metric field and its label follow the check.
  void OnAutoMetricClicked();
  // Refuses an incomplete gateway, then (with the check cleared) a metric
  // that is no number or outside 1 to 9999; otherwise takes the gateway and
  // the metric, 0 when the check is set.
  bool OnOK() override;

  std::string Gateway;
  uint32_t Metric = 0;  // 0: automatic
  // The controls.
  IpFields GatewayFields;
  bool AutoMetric = false;
  bool AutoMetricEnabled = true;
  std::string MetricText;
  bool MetricEnabled = true;  // the field and its label

 private:
  Context& context_;
};

class CPageIP : public CPageModel {
 public:
  CPageIP(CVelandraSheet& sheet, IDialogHost& dialogs) : sheet_(sheet), dialogs_(dialogs) {}
  uint32_t TemplateId() const override { return IDD_PAGE_IP; }

  // Fills the controls from the settings of the current place and adapter.
  void OnSetActive() override;
  // Checks the controls and stores them into those settings; false (after
  // a warning, Focus set) keeps the page and stores nothing.
  bool OnKillActive() override;

  void OnDhcpClicked();
  void OnFixedClicked();
  void OnAutoMetricClicked();
  void OnAddressAdd();
  void OnAddressEdit();
  void OnAddressDelete();
  void OnGatewayAdd();
  void OnGatewayEdit();
  void OnGatewayDelete();

  struct AddressRow {
    std::string Address;
    std::string Mask;
  };
  struct GatewayRow {
    std::string Gateway;
    // The metric text as stored; none when the record had no entry at this
    // position. Rows that are not edited store back what they had, so that
    // a visit without edits leaves the record as it was.
    std::optional<std::string> Metric;
    // The second column: "自動" for "0" and for no entry.
    std::string ShownMetric() const;
  };

  // The controls.
  int Radio = 0;  // 0 DHCP, 1 fixed addresses
  std::vector<AddressRow> Addresses;
  int AddressSelection = -1;
  bool AddressesEnabled = false;  // the list and its three buttons
  std::vector<GatewayRow> Gateways;
  int GatewaySelection = -1;
  bool AutoMetric = false;
  bool AutoMetricEnabled = true;
  std::string InterfaceMetricText;
  bool InterfaceMetricEnabled = true;  // the field and its label

 private:
  config::AdapterSettings& Record() const;
  void Warn(const char* text) const;
  // The lists the rows would store.
  static void AddressLists(const std::vector<AddressRow>& rows, std::vector<std::string>& addresses,
                           std::vector<std::string>& masks);
  static void GatewayLists(const std::vector<GatewayRow>& rows, std::vector<std::string>& gateways,
                           std::vector<std::string>& metrics);
  // Takes `rows` when their lists fit the stored form; else says so.
  bool TakeAddresses(std::vector<AddressRow> rows);
  bool TakeGateways(std::vector<GatewayRow> rows);

  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
};

}  // namespace velandra::ui
