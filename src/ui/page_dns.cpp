#include "ui/page_dns.h"

#include "config/adapter_settings.h"
#include "config/place_settings.h"
#include "system/platform/text.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {

namespace {

const OrderedListTexts kServerTexts = {
    kMsgSelectDnsServerToEdit,   kMsgSelectDnsServerToDelete, kMsgSelectDnsServerToMoveUp,
    kMsgSelectDnsServerToMoveDown, config::kMsgListTooLong,   config::kMaxListText};

const OrderedListTexts kSuffixTexts = {
    kMsgSelectDnsSuffixToEdit,     kMsgSelectDnsSuffixToDelete, kMsgSelectDnsSuffixToMoveUp,
    kMsgSelectDnsSuffixToMoveDown, kMsgDnsSuffixListTooLong,    kMaxSuffixListText};

}  // namespace

void CServerAddressDialog::OnInitDialog() {
  if (!Entry.empty()) Fields = IpFieldsFromText(Entry);
}

bool CServerAddressDialog::OnOK() {
  const std::optional<std::string> address = IpTextFromFields(Fields);
  if (!address) return Refuse(incompleteMessage_, addressControl_);
  if (!ListTakes(*address, addressControl_)) return false;
  Entry = *address;
  return true;
}

bool DnsSuffixUsable(const std::string& suffix) {
  bool valid = true;
  platform::Cp932ToUtf8(suffix, &valid);
  if (!valid) return false;
  for (size_t i = 0; i < suffix.size(); i += platform::Cp932CharLength(suffix, i)) {
    const auto c = static_cast<unsigned char>(suffix[i]);
    if (c <= 0x20 || c == 0x7F || c == ',') return false;
    // The full-width space, 0x8140.
    if (c == 0x81 && i + 1 < suffix.size() && static_cast<unsigned char>(suffix[i + 1]) == 0x40)
      return false;
  }
  return true;
}

bool CDlgDNSSuffix::OnOK() {
  if (Suffix.empty()) return Refuse(kMsgDnsSuffixEmpty, IDC_DNS_SUFFIX_TEXT);
  if (!DnsSuffixUsable(Suffix)) return Refuse(kMsgDnsSuffixUnusable, IDC_DNS_SUFFIX_TEXT);
  if (!ListTakes(Suffix, IDC_DNS_SUFFIX_TEXT)) return false;
  Entry = Suffix;
  return true;
}

CPageDNS::CPageDNS(CVelandraSheet& sheet, IDialogHost& dialogs)
    : Servers(kServerTexts, sheet.GetContext().Platform().messages),
      Suffixes(kSuffixTexts, sheet.GetContext().Platform().messages),
      sheet_(sheet),
      dialogs_(dialogs) {}

config::AdapterSettings* CPageDNS::Adapter() const {
  if (!sheet_.CurrentPlace || !sheet_.CurrentAdapter) return nullptr;
  return sheet_.FindAdapterSettings(*sheet_.CurrentPlace, *sheet_.CurrentAdapter);
}

config::PlaceSettings* CPageDNS::Place() const {
  if (!sheet_.CurrentPlace) return nullptr;
  return sheet_.FindPlaceSettings(*sheet_.CurrentPlace);
}

platform::IMessages& CPageDNS::Messages() const {
  return sheet_.GetContext().Platform().messages;
}

void CPageDNS::OnSetActive() {
  Servers.Assign({});
  Suffixes.Assign({});
  if (const config::AdapterSettings* adapter = Adapter()) {
    if (!adapter->EnableDNS) {
      ServerChoice = kFixedDns;
      // Automatic servers come from the DHCP server.
      AutoDnsEnabled = adapter->EnableDHCP;
      ServerListEnabled = true;
      Servers.Assign(adapter->DNS_Server);
    } else {
      ServerChoice = kAutoDns;
      AutoDnsEnabled = true;
      ServerListEnabled = false;
    }
    ConnectionSuffix = adapter->DOMAIN_Suffix;
    RegisterAddresses = adapter->DOMAIN_Update;
    RegisterSuffixEnabled = RegisterAddresses;
    RegisterSuffix = RegisterAddresses && adapter->DOMAIN_Registration;
  }
  if (const config::PlaceSettings* place = Place()) {
    if (!place->PrimarySuffix) {
      SuffixChoice = kSuffixList;
      ParentSuffixEnabled = false;
      SuffixListEnabled = true;
      Suffixes.Assign(place->DNS_Suffix);
    } else {
      SuffixChoice = kPrimarySuffixes;
      ParentSuffixEnabled = true;
      SuffixListEnabled = false;
    }
    ParentSuffix = place->PrimaryParentSuffix;
  }
}

bool CPageDNS::OnKillActive() {
  if (config::AdapterSettings* adapter = Adapter()) {
    if (ServerChoice == kAutoDns) {
      adapter->EnableDNS = true;
      adapter->DNS_Server.clear();
    } else {
      adapter->EnableDNS = false;
      adapter->DNS_Server = Servers.Items;
    }
    adapter->DOMAIN_Suffix = ConnectionSuffix;
    adapter->DOMAIN_Update = RegisterAddresses;
    adapter->DOMAIN_Registration = RegisterSuffix;
  }
  if (config::PlaceSettings* place = Place()) {
    if (SuffixChoice == kPrimarySuffixes) {
      place->PrimarySuffix = true;
      place->PrimaryParentSuffix = ParentSuffix;
      place->DNS_Suffix.clear();
    } else {
      place->PrimarySuffix = false;
      place->PrimaryParentSuffix = false;
      place->DNS_Suffix = Suffixes.Items;
    }
  }
  return true;
}

void CPageDNS::OnAutoDnsClicked() {
  ServerChoice = kAutoDns;
  ServerListEnabled = false;
}

void CPageDNS::OnFixedDnsClicked() {
  ServerChoice = kFixedDns;
  ServerListEnabled = true;
}

void CPageDNS::OnPrimarySuffixClicked() {
  SuffixChoice = kPrimarySuffixes;
  ParentSuffixEnabled = true;
  SuffixListEnabled = false;
}

void CPageDNS::OnSuffixListClicked() {
  SuffixChoice = kSuffixList;
  ParentSuffixEnabled = false;
  SuffixListEnabled = true;
}

void CPageDNS::OnRegisterAddressesClicked() {
  if (!RegisterAddresses) RegisterSuffix = false;
  RegisterSuffixEnabled = RegisterAddresses;
}

void CPageDNS::OnServerAdd() {
  CDlgDNSServer dialog(Messages());
  Servers.OnAdd(dialogs_, dialog);
}

void CPageDNS::OnServerEdit() {
  CDlgDNSServer dialog(Messages());
  Servers.OnEdit(dialogs_, dialog);
}

void CPageDNS::OnSuffixAdd() {
  CDlgDNSSuffix dialog(Messages());
  Suffixes.OnAdd(dialogs_, dialog);
}

void CPageDNS::OnSuffixEdit() {
  CDlgDNSSuffix dialog(Messages());
  Suffixes.OnEdit(dialogs_, dialog);
}

}  // namespace velandra::ui
