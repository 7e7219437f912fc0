// The DNS page (template 130) with its server (136) and suffix (137)
// dialogs. The page edits the DNS part of the current adapter's settings in
// the current place, and the place-wide suffix choice of that place, which
// is the same whichever adapter is current.
#pragma once
#include <cstdint>
#include <string>

#include "ui/dialog_model.h"
#include "ui/ip_address_field.h"
#include "ui/ordered_list.h"
#include "ui/resource_ids.h"

namespace velandra::config {
struct AdapterSettings;
class PlaceSettings;
}  // namespace velandra::config

namespace velandra::ui {

class CVelandraSheet;

inline constexpr char kMsgSelectDnsServerToEdit[] = "編集したいDNSサーバーを選択してください";
inline constexpr char kMsgSelectDnsServerToDelete[] = "削除したいDNSサーバーを選択してください";
inline constexpr char kMsgSelectDnsServerToMoveUp[] = "上に移動したいDNSサーバーを選択してください";
inline constexpr char kMsgSelectDnsServerToMoveDown[] = "下に移動したいDNSサーバーを選択してください";
inline constexpr char kMsgSelectDnsSuffixToEdit[] = "編集したいDNSサフィックスを選択してください";
inline constexpr char kMsgSelectDnsSuffixToDelete[] = "削除したいDNSサフィックスを選択してください";
inline constexpr char kMsgSelectDnsSuffixToMoveUp[] = "上に移動したいDNSサフィックスを選択してください";
inline constexpr char kMsgSelectDnsSuffixToMoveDown[] =
    "下に移動したいDNSサフィックスを選択してください";
inline constexpr char kMsgDnsServerIncomplete[] = "DNSサーバーの内容が正しくありません。";
inline constexpr char kMsgDnsSuffixEmpty[] = "ドメインサフィックスを入力してください";
// The search list is stored comma-joined (in P<n> and in the registry's
// SearchList): a suffix with a comma would come back as two, and blanks or
// control characters make no DNS name.
inline constexpr char kMsgDnsSuffixUnusable[] =
    "ドメインサフィックスには「,」、空白、制御文字や正しくない文字は使えません";
// The search list's comma-joined text is kept in 255 bytes, in P<n> and in
// the registry.
inline constexpr size_t kMaxSuffixListText = 255;
inline constexpr char kMsgDnsSuffixListTooLong[] =
    "DNSサフィックスの一覧は「,」でつないで255バイトまでなので、追加または変更できません";

// The dialog of one server address: an IP address control that must be
// filled completely.
class CServerAddressDialog : public CListEntryDialog {
 public:
  CServerAddressDialog(platform::IMessages& messages, uint32_t templateId, int addressControl,
                       const char* incompleteMessage)
      : CListEntryDialog(messages),
        templateId_(templateId),
        addressControl_(addressControl),
        incompleteMessage_(incompleteMessage) {}
  uint32_t TemplateId() const override { return templateId_; }
  int AddressControl() const { return addressControl_; }

  // The entry, when not empty, into the address control.
  void OnInitDialog() override;
  // Refuses an address control that is not completely filled; otherwise
  // the entry becomes its dotted text.
  bool OnOK() override;

  // The address control's four fields.
  IpFields Fields;

 private:
  uint32_t templateId_;
  int addressControl_;
  const char* incompleteMessage_;
};

class CDlgDNSServer : public CServerAddressDialog {
 public:
  explicit CDlgDNSServer(platform::IMessages& messages)
      : CServerAddressDialog(messages, IDD_DNS_SERVER, IDC_DNS_SERVER_ADDRESS,
                             kMsgDnsServerIncomplete) {}
};

class CDlgDNSSuffix : public CListEntryDialog {
 public:
  explicit CDlgDNSSuffix(platform::IMessages& messages) : CListEntryDialog(messages) {}
  uint32_t TemplateId() const override { return IDD_DNS_SUFFIX; }

  void OnInitDialog() override { Suffix = Entry; }
  // Refuses an empty suffix, and one the comma-joined list would not give
  // back as it is; otherwise the entry becomes the field's text.
  bool OnOK() override;

  // The suffix field.
  std::string Suffix;
};

// Whether `suffix` can stand in the comma-joined search list: no comma, no
// blank (full-width included), no control character, valid CP932.
bool DnsSuffixUsable(const std::string& suffix);

class CPageDNS : public CPageModel {
 public:
  CPageDNS(CVelandraSheet& sheet, IDialogHost& dialogs);
  uint32_t TemplateId() const override { return IDD_PAGE_DNS; }

  void OnSetActive() override;
  // Stores the controls; it never refuses.
  bool OnKillActive() override;

  void OnAutoDnsClicked();
  void OnFixedDnsClicked();
  void OnPrimarySuffixClicked();
  void OnSuffixListClicked();
  void OnRegisterAddressesClicked();

  void OnServerAdd();
  void OnServerEdit();
  void OnServerDelete() { Servers.OnDelete(); }
  void OnServerUp() { Servers.OnUp(); }
  void OnServerDown() { Servers.OnDown(); }
  void OnSuffixAdd();
  void OnSuffixEdit();
  void OnSuffixDelete() { Suffixes.OnDelete(); }
  void OnSuffixUp() { Suffixes.OnUp(); }
  void OnSuffixDown() { Suffixes.OnDown(); }

  // The radio indices.
  enum : int { kAutoDns = 0, kFixedDns = 1 };
  enum : int { kPrimarySuffixes = 0, kSuffixList = 1 };

  // Exchanged with the controls.
  int ServerChoice = kAutoDns;
  OrderedList Servers;
  int SuffixChoice = kPrimarySuffixes;
  bool ParentSuffix = false;
  OrderedList Suffixes;
  std::string ConnectionSuffix;
  bool RegisterAddresses = false;
  bool RegisterSuffix = false;

  // Which controls are enabled. A list's flag covers its five buttons.
  bool AutoDnsEnabled = true;
  bool ServerListEnabled = false;
  bool ParentSuffixEnabled = true;
  bool SuffixListEnabled = false;
  bool RegisterSuffixEnabled = true;

 private:
  // The records of the current place and adapter; null when there are none.
  config::AdapterSettings* Adapter() const;
  config::PlaceSettings* Place() const;
  platform::IMessages& Messages() const;

  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
};

}  // namespace velandra::ui
