// The WINS page (template 131) with its server dialog (139). The page edits
// the WINS servers and the NetBIOS option of the current adapter's settings
// in the current place, and the place-wide LMHOSTS lookup of that place.
#pragma once
#include <cstdint>

#include "ui/dialog_model.h"
#include "ui/ordered_list.h"
#include "ui/page_dns.h"
#include "ui/resource_ids.h"

namespace velandra::config {
struct AdapterSettings;
class PlaceSettings;
}  // namespace velandra::config

namespace velandra::ui {

class CVelandraSheet;

inline constexpr char kMsgSelectWinsServerToEdit[] = "編集したいWINSサーバーを選択してください";
inline constexpr char kMsgSelectWinsServerToDelete[] = "削除したいWINSサーバーを選択してください";
inline constexpr char kMsgSelectWinsServerToMoveUp[] = "上に移動したいWINSサーバーを選択してください";
inline constexpr char kMsgSelectWinsServerToMoveDown[] =
    "下に移動したいWINSサーバーを選択してください";
inline constexpr char kMsgWinsServerIncomplete[] = "WINSアドレスの内容が正しくありません。";

class CDlgWINSServer : public CServerAddressDialog {
 public:
  explicit CDlgWINSServer(platform::IMessages& messages)
      : CServerAddressDialog(messages, IDD_WINS_SERVER, IDC_WINS_SERVER_ADDRESS,
                             kMsgWinsServerIncomplete) {}
};

class CPageWINS : public CPageModel {
 public:
  CPageWINS(CVelandraSheet& sheet, IDialogHost& dialogs);
  uint32_t TemplateId() const override { return IDD_PAGE_WINS; }

  void OnSetActive() override;
  // Stores the controls; it never refuses.
  bool OnKillActive() override;

  void OnAdd();
  void OnEdit();
  void OnDelete() { Servers.OnDelete(); }
  void OnUp() { Servers.OnUp(); }
  void OnDown() { Servers.OnDown(); }

  // The NetBIOS radio indices, and the NetBIOS values they stand for.
  enum : int { kNetBiosOn = 0, kNetBiosOff = 1, kNetBiosFromDhcp = 2 };
  static int NetBiosChoiceOf(uint32_t netBios);
  static uint32_t NetBiosOf(int choice);

  // Exchanged with the controls; nothing on this page is ever disabled.
  OrderedList Servers;
  bool Lmhosts = false;
  int NetBiosChoice = kNetBiosFromDhcp;

 private:
  config::AdapterSettings* Adapter() const;
  config::PlaceSettings* Place() const;

  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
};

}  // namespace velandra::ui
