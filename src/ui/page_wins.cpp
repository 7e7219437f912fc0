#include "ui/page_wins.h"

#include "config/adapter_settings.h"
#include "config/place_settings.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {

namespace {

const OrderedListTexts kServerTexts = {
    kMsgSelectWinsServerToEdit,     kMsgSelectWinsServerToDelete, kMsgSelectWinsServerToMoveUp,
    kMsgSelectWinsServerToMoveDown, config::kMsgListTooLong,      config::kMaxListText};

}  // namespace

CPageWINS::CPageWINS(CVelandraSheet& sheet, IDialogHost& dialogs)
    : Servers(kServerTexts, sheet.GetContext().Platform().messages),
      sheet_(sheet),
      dialogs_(dialogs) {}

config::AdapterSettings* CPageWINS::Adapter() const {
  if (!sheet_.CurrentPlace || !sheet_.CurrentAdapter) return nullptr;
  return sheet_.FindAdapterSettings(*sheet_.CurrentPlace, *sheet_.CurrentAdapter);
}

config::PlaceSettings* CPageWINS::Place() const {
  if (!sheet_.CurrentPlace) return nullptr;
  return sheet_.FindPlaceSettings(*sheet_.CurrentPlace);
}

int CPageWINS::NetBiosChoiceOf(uint32_t netBios) {
  switch (netBios) {
    case 1: return kNetBiosOn;
    case 2: return kNetBiosOff;
    default: return kNetBiosFromDhcp;
  }
}

uint32_t CPageWINS::NetBiosOf(int choice) {
  switch (choice) {
    case kNetBiosOn: return 1;
    case kNetBiosOff: return 2;
    default: return 0;
  }
}

void CPageWINS::OnSetActive() {
  Servers.Assign({});
  if (const config::AdapterSettings* adapter = Adapter()) {
    Servers.Assign(adapter->WINS);
    NetBiosChoice = NetBiosChoiceOf(adapter->NetBIOS);
  }
  if (const config::PlaceSettings* place = Place()) Lmhosts = place->EnableLMHOSTS;
}

bool CPageWINS::OnKillActive() {
  if (config::AdapterSettings* adapter = Adapter()) {
    adapter->WINS = Servers.Items;
    adapter->NetBIOS = NetBiosOf(NetBiosChoice);
  }
  if (config::PlaceSettings* place = Place()) place->EnableLMHOSTS = Lmhosts;
  return true;
}

void CPageWINS::OnAdd() {
  CDlgWINSServer dialog(sheet_.GetContext().Platform().messages);
  Servers.OnAdd(dialogs_, dialog);
}

void CPageWINS::OnEdit() {
  CDlgWINSServer dialog(sheet_.GetContext().Platform().messages);
  Servers.OnEdit(dialogs_, dialog);
}

}  // namespace velandra::ui
