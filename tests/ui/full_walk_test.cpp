// A user's whole walk through the real windows under Wine, on the demo PC:
// a place is created on the Setting page and filled on every page through
// the pages' own controls and dialogs, OK with restart writes it, the
// simulated PC boots until its queue is done, and the sheet opened again
// shows the place, which then compares equal with the PC in every group.
#ifdef _WIN32
#include <gtest/gtest.h>
#include "system/platform/win32/win_api.h"
#include <commctrl.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/velandra_app.h"
#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "support/whole_runs.h"
#include "support/window_driver.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "ui/dlg_user_password.h"
#include "ui/resource_ids.h"
#include "ui/win32/dlg_exit_view.h"
#include "ui/win32/sheet_view.h"

namespace velandra::ui::win32 {
namespace {

using velandra::testing::CanCreateWindows;
using velandra::testing::ControlText;
using velandra::testing::FindDialog;
using velandra::testing::FindExitDialog;
using velandra::testing::FindSheet;
using velandra::testing::PostClick;
using velandra::testing::ScratchPc;
using velandra::testing::WindowDriver;

constexpr char kPlace[] = "出張先";

int TabIndex(HWND sheet, const std::string& title) {
  HWND tabs = PropSheet_GetTabControl(sheet);
  const int count = TabCtrl_GetItemCount(tabs);
  for (int i = 0; i < count; ++i) {
    char text[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    if (title == text) return i;
  }
  return -1;
}

// A check box or radio button set as a click would, then its click.
void Check(HWND dialog, int id, bool on = true) {
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
  PostClick(dialog, id);
}

// Selects the drop-down entry `text`; false when there is none.
bool PickCombo(HWND dialog, int id, const std::string& text, bool notify = false) {
  const LRESULT at = SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text.c_str()));
  if (at == CB_ERR) return false;
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
  if (notify)
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  return true;
}

void SetIp(HWND dialog, int id, BYTE a, BYTE b, BYTE c, BYTE d) {
  SendDlgItemMessageA(dialog, id, IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, c, d));
}

LRESULT ListBoxCount(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0); }

int ListViewCount(HWND dialog, int id) { return ListView_GetItemCount(GetDlgItem(dialog, id)); }

// Selects the first row of a report list and deletes it with `button`.
void DeleteFirstRow(HWND page, int list, int button) {
  if (ListViewCount(page, list) == 0) return;
  ListView_SetItemState(GetDlgItem(page, list), 0, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  PostClick(page, button);
}

std::string FirstRowText(HWND page, int list) {
  char text[64] = {};
  ListView_GetItemText(GetDlgItem(page, list), 0, 0, text, sizeof text);
  return text;
}

// The walk's steps, with what went wrong on the way.
class Walk {
 public:
  explicit Walk(WindowDriver& driver) : d_(driver) {}

  HWND Page() const { return sheet_ ? PropSheet_GetCurrentPageHwnd(sheet_) : nullptr; }

  // The sheet, found and with no dialog over it.
  WindowDriver::Find Sheet() {
    return [this]() -> HWND {
      HWND s = FindSheet();
      if (s) sheet_ = s;
      return s && IsWindowEnabled(s) ? s : nullptr;
    };
  }

  // Goes to the tab `title`; the next step runs once the page shows control
  // `control`.
  void GoTo(const char* title, int control) {
    d_.Then(Sheet(), [this, title](HWND s) {
      const int index = TabIndex(s, title);
      if (index < 0) Fail(std::string("no tab ") + title);
      PostMessageA(s, PSM_SETCURSEL, static_cast<WPARAM>(index < 0 ? 0 : index), 0);
    });
    d_.Then(
        [this, control]() -> HWND {
          HWND page = Page();
          return page && GetDlgItem(page, control) && IsWindowEnabled(sheet_) ? page : nullptr;
        },
        [](HWND) {});
  }

  // Acts on the current page once the sheet has no dialog over it.
  void OnPage(std::function<void(HWND)> act) {
    d_.Then(Sheet(), [this, act](HWND) { act(Page()); });
  }
  void Dialog(const char* title, WindowDriver::Act act) { d_.ThenDialog(title, std::move(act)); }
  // A dialog that is up and shows `ready`.
  void DialogWhen(const char* title, std::function<bool(HWND)> ready, WindowDriver::Act act) {
    d_.Then(
        [title, ready]() -> HWND {
          HWND dialog = FindDialog(title);
          return dialog && ready(dialog) ? dialog : nullptr;
        },
        std::move(act));
  }

  void Fail(const std::string& what) { failures.push_back(what); }
  std::vector<std::string> failures;

 private:
  WindowDriver& d_;
  HWND sheet_ = nullptr;
};

// Every page, in the order of the tabs, with the values of a place that the
// demo PC can be brought to: the wired adapter static with its own DNS and
// WINS servers and suffixes, another computer name and workgroup, the
// companion's entry, a drive, the default printer, a share for two users,
// a hosts variant and a program to start after the restart.
void FillEveryPage(Walk& w) {
  w.OnPage([](HWND page) { PostClick(page, IDC_SETTING_ADD); });
  w.Dialog("接続場所", [](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_PLACE_NAME, kPlace);
    PostClick(dialog, IDOK);
  });
  w.OnPage([&w](HWND page) {
    if (ControlText(page, IDC_SETTING_PLACE) != kPlace) w.Fail("the new place is not current");
  });

  w.GoTo("IP設定", IDC_IP_ADDRESS_ADD);
  w.OnPage([](HWND page) {
    if (IsDlgButtonChecked(page, IDC_IP_FIXED) != BST_CHECKED) Check(page, IDC_IP_FIXED);
  });
  // The demo PC's own addresses go: the place has exactly its own.
  for (int i = 0; i < 3; ++i)
    w.OnPage([](HWND page) { DeleteFirstRow(page, IDC_IP_ADDRESS_LIST, IDC_IP_ADDRESS_DELETE); });
  w.OnPage([](HWND page) { PostClick(page, IDC_IP_ADDRESS_ADD); });
  w.Dialog("TCP/IP アドレス", [](HWND dialog) {
    SetIp(dialog, IDC_IP_ADDRESS_DLG_ADDRESS, 10, 20, 0, 5);
    SetIp(dialog, IDC_IP_ADDRESS_DLG_MASK, 255, 255, 0, 0);
    PostClick(dialog, IDOK);
  });
  for (int i = 0; i < 3; ++i)
    w.OnPage([](HWND page) { DeleteFirstRow(page, IDC_IP_GATEWAY_LIST, IDC_IP_GATEWAY_DELETE); });
  w.OnPage([](HWND page) { PostClick(page, IDC_IP_GATEWAY_ADD); });
  w.Dialog("TCP/IP ゲートウェイアドレス", [](HWND dialog) {
    SetIp(dialog, IDC_GATEWAY_ADDRESS, 10, 20, 0, 1);
    PostClick(dialog, IDOK);
  });

  w.GoTo("DNS", IDC_DNS_SERVER_ADD);
  w.OnPage([](HWND page) {
    if (IsDlgButtonChecked(page, IDC_DNS_FIXED) != BST_CHECKED) Check(page, IDC_DNS_FIXED);
  });
  for (int i = 0; i < 3; ++i)
    w.OnPage([](HWND page) {
      if (ListBoxCount(page, IDC_DNS_SERVER_LIST) == 0) return;
      SendDlgItemMessageA(page, IDC_DNS_SERVER_LIST, LB_SETCURSEL, 0, 0);
      PostClick(page, IDC_DNS_SERVER_DELETE);
    });
  w.OnPage([](HWND page) { PostClick(page, IDC_DNS_SERVER_ADD); });
  w.Dialog("TCP/IP DNSサーバー", [](HWND dialog) {
    SetIp(dialog, IDC_DNS_SERVER_ADDRESS, 10, 20, 0, 53);
    PostClick(dialog, IDOK);
  });
  w.OnPage([](HWND page) {
    if (IsDlgButtonChecked(page, IDC_DNS_SUFFIX_CHOICE) != BST_CHECKED)
      Check(page, IDC_DNS_SUFFIX_CHOICE);
  });
  w.OnPage([](HWND page) { PostClick(page, IDC_DNS_SUFFIX_ADD); });
  w.Dialog("TCP/IP ドメインサフィックス", [](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_DNS_SUFFIX_TEXT, "tenkin.example.co.jp");
    PostClick(dialog, IDOK);
  });
  w.OnPage([](HWND page) {
    SetDlgItemTextA(page, IDC_DNS_CONNECTION_SUFFIX, "tenkin.example.co.jp");
  });

  w.GoTo("WINS", IDC_WINS_ADD);
  w.OnPage([](HWND page) { PostClick(page, IDC_WINS_ADD); });
  w.Dialog("TCP/IP WINSサーバー", [](HWND dialog) {
    SetIp(dialog, IDC_WINS_SERVER_ADDRESS, 10, 20, 0, 9);
    PostClick(dialog, IDOK);
  });
  w.OnPage([](HWND page) {
    CheckRadioButton(page, IDC_WINS_NETBIOS_ON, IDC_WINS_NETBIOS_DHCP, IDC_WINS_NETBIOS_OFF);
    PostClick(page, IDC_WINS_NETBIOS_OFF);
    Check(page, IDC_WINS_LMHOSTS, false);
  });

  w.GoTo("Domain", IDC_DOMAIN_COMPUTER);
  w.OnPage([](HWND page) {
    SetDlgItemTextA(page, IDC_DOMAIN_COMPUTER, "TENKIN-PC");
    SetDlgItemTextA(page, IDC_DOMAIN_COMMENT, "転勤先のPC");
    CheckRadioButton(page, IDC_DOMAIN_DOMAIN, IDC_DOMAIN_WORKGROUP, IDC_DOMAIN_WORKGROUP);
    PostClick(page, IDC_DOMAIN_WORKGROUP);
  });
  w.OnPage([](HWND page) { SetDlgItemTextA(page, IDC_DOMAIN_WORKGROUP_NAME, "TENKIN"); });

  w.GoTo("Proxy", IDC_PROXY_NAME);
  w.OnPage([&w](HWND page) {
    if (!PickCombo(page, IDC_PROXY_NAME, "自宅 光回線")) w.Fail("no proxy entry 自宅 光回線");
  });

  w.GoTo("NetDrive", IDC_NETDRIVE_DRIVE_ADD);
  w.OnPage([](HWND page) { PostClick(page, IDC_NETDRIVE_DRIVE_ADD); });
  w.Dialog("ネットワークドライブの追加", [&w](HWND dialog) {
    if (!PickCombo(dialog, IDC_NET_DRIVE_LOCAL, "X:")) w.Fail("X: is not offered");
    SetDlgItemTextA(dialog, IDC_NET_DRIVE_REMOTE, "\\\\fs01\\経理");
    PostClick(dialog, IDOK);
  });
  // The PC's share 資料 lets VELANDRA-PC\yamada in: under the new computer
  // name that account is not found, so the place does without it.
  w.OnPage([&w](HWND page) {
    if (FirstRowText(page, IDC_NETDRIVE_SHARE_LIST) != "C:\\共有\\資料")
      w.Fail("the PC's first share is not C:\\共有\\資料");
    DeleteFirstRow(page, IDC_NETDRIVE_SHARE_LIST, IDC_NETDRIVE_SHARE_DELETE);
  });
  w.OnPage([&w](HWND page) {
    if (!PickCombo(page, IDC_NETDRIVE_PRINTER, "経理部 EPSON LP-9000C"))
      w.Fail("no printer 経理部 EPSON LP-9000C");
    PostClick(page, IDC_NETDRIVE_SHARE_ADD);
  });
  w.Dialog("共有情報の追加", [](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_SHARE_PATH, "C:\\共有\\予備");
    SetDlgItemTextA(dialog, IDC_SHARE_NAME, "予備");
    SetDlgItemTextA(dialog, IDC_SHARE_COMMENT, "転勤先の予備");
    CheckRadioButton(dialog, IDC_SHARE_UNLIMITED, IDC_SHARE_LIMITED, IDC_SHARE_LIMITED);
    PostClick(dialog, IDC_SHARE_LIMITED);
  });
  w.DialogWhen(
      "共有情報の追加", [](HWND dialog) { return ControlText(dialog, IDC_SHARE_MAX_USERS) == "10"; },
      [](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_SHARE_MAX_USERS, "5");
        PostClick(dialog, IDC_SHARE_PERMISSION);
      });
  w.Dialog("共有の許可", [](HWND dialog) { PostClick(dialog, IDC_SHARE_PERMISSION_ADD); });
  w.Dialog("ユーザーの追加", [](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_USER_NAME_TEXT, "TENKIN-PC\\yamada");
    PostClick(dialog, IDOK);
  });
  // Everyone may only read; yamada (an account of this PC under its new
  // name, which the shares are made under after the restart), added with
  // full control, keeps it.
  w.DialogWhen(
      "共有の許可",
      [](HWND dialog) { return ListBoxCount(dialog, IDC_SHARE_PERMISSION_USERS) == 2; },
      [](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_SHARE_PERMISSION_USERS, LB_SETCURSEL, 0, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SHARE_PERMISSION_USERS, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SHARE_PERMISSION_USERS)));
      });
  w.DialogWhen(
      "共有の許可",
      [](HWND dialog) {
        return SendDlgItemMessageA(dialog, IDC_SHARE_PERMISSION_USERS, LB_GETCURSEL, 0, 0) == 0;
      },
      [](HWND dialog) {
        Check(dialog, IDC_SHARE_PERMISSION_FULL_ALLOW, false);
        Check(dialog, IDC_SHARE_PERMISSION_CHANGE_ALLOW, false);
      });
  w.DialogWhen(
      "共有の許可",
      [](HWND dialog) {
        return IsDlgButtonChecked(dialog, IDC_SHARE_PERMISSION_READ_ALLOW) == BST_CHECKED &&
               IsDlgButtonChecked(dialog, IDC_SHARE_PERMISSION_CHANGE_ALLOW) != BST_CHECKED;
      },
      [](HWND dialog) { PostClick(dialog, IDOK); });
  w.Dialog("共有情報の追加", [](HWND dialog) { PostClick(dialog, IDOK); });

  w.GoTo("その他", IDC_OTHER_HOSTS_COPY);
  w.OnPage([](HWND page) { PostClick(page, IDC_OTHER_HOSTS_COPY); });
  w.OnPage([](HWND page) { PostClick(page, IDC_OTHER_PROGRAM_ADD); });
  w.Dialog("再起動後に実行するプログラムの追加", [](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_PROGRAM_PATH, "C:\\Program Files\\Orvane\\Brisco\\BRISCO.EXE");
    SetDlgItemTextA(dialog, IDC_PROGRAM_ARGUMENTS, "/x");
    PostClick(dialog, IDOK);
  });

  w.GoTo("Option", IDC_OPTION_HIDE_PROMPT);
  w.OnPage([](HWND page) { Check(page, IDC_OPTION_HIDE_PROMPT); });
}

TEST(FullWalk, EveryPageThroughTheWindowsThenRestartBootsAndTheSheetShowsThePlaceAsThePc) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  ScratchPc pc;
  platform::sim::SimulatedPc& s = pc.Open();
  std::ostringstream out;
  HINSTANCE module = GetModuleHandleA(nullptr);
  ScriptedUserPasswordDialog logon(s.answers(), out);
  Win32ExitDialog exitDialog(module);
  Win32SheetWindow sheetWindow(module, &exitDialog, logon);
  platform::Platform platform = s.platform();

  WindowDriver driver;
  Walk walk(driver);
  FillEveryPage(walk);
  driver.Then(walk.Sheet(), [](HWND sheet) { PostClick(sheet, IDOK); });
  driver.Then(FindExitDialog, [](HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_EXIT_MODE, CB_SETCURSEL, 1, 0);  // 再起動
    PostClick(dialog, IDOK);
  });
  {
    app::CVelandraApp app(platform, logon, &exitDialog, &sheetWindow);
    EXPECT_TRUE(driver.Run([&] { app.Run(""); }, 120000)) << driver.Stuck();
  }
  for (const std::string& f : walk.failures) ADD_FAILURE() << platform::Cp932ToUtf8(f);
  EXPECT_EQ(s.Machine().Get("session", "exit_request"), "restart")
      << velandra::testing::MessagesText(s);
  EXPECT_NE(pc.ReadFile(velandra::testing::kDemoIniFile).find("HIDEPROMPT=TRUE\r\n"),
            std::string::npos);

  ASSERT_TRUE(velandra::testing::BootUntilSettled(pc, s, out)) << out.str();
  const velandra::testing::PlaceComparison c = velandra::testing::ComparePlaceWithPc(s, kPlace);
  EXPECT_EQ(c.adapterKinds, (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(c.placeKind, 0u) << "differing: " << c.differing << "\n"
                             << velandra::testing::MessagesText(s) << out.str()
;

  // Opened again, the sheet starts on the place, with its address.
  std::string current, address;
  WindowDriver again;
  Walk look(again);
  look.OnPage([&](HWND page) { current = ControlText(page, IDC_SETTING_PLACE); });
  look.GoTo("IP設定", IDC_IP_ADDRESS_LIST);
  look.OnPage([&](HWND page) { address = FirstRowText(page, IDC_IP_ADDRESS_LIST); });
  again.Then(look.Sheet(), [](HWND sheet) { PostClick(sheet, IDCANCEL); });
  {
    app::CVelandraApp app(platform, logon, &exitDialog, &sheetWindow);
    EXPECT_TRUE(again.Run([&] { app.Run(""); }, 60000)) << again.Stuck();
  }
  EXPECT_EQ(current, kPlace);
  EXPECT_NE(address.find("10.20.0.5"), std::string::npos) << address;
}

}  // namespace
}  // namespace velandra::ui::win32
#endif  // _WIN32
