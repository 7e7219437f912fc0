#include "ui/page_wins.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/adapter_settings.h"
#include "config/place_settings.h"
#include "dns_wins_test_rig.h"

#ifdef _WIN32
#include "ui/win32/controls.h"
#include "ui/win32/page_dns_view.h"
#include "ui/win32/page_wins_view.h"
#endif

namespace velandra::ui {
namespace {

using velandra::testing::AnsweringDialogHost;
using velandra::testing::DemoSheet;
using Strings = std::vector<std::string>;

AnsweringDialogHost::Press TypeWinsAddress(IpFields fields) {
  return [fields](CDialogModel& dialog) {
    dynamic_cast<CDlgWINSServer&>(dialog).Fields = fields;
    return true;
  };
}

TEST(PageWins, EnteringShowsTheRecords) {
  struct Row {
    const char* place;
    uint32_t adapter;
    uint32_t netBios;  // stored before entering
    Strings servers;
    bool lmhosts;
    int choice;
  };
  const Row rows[] = {
      {"標準", 0, 1, {"192.168.1.2"}, true, CPageWINS::kNetBiosOn},
      {"本社", 0, 2, {"10.1.0.9"}, true, CPageWINS::kNetBiosOff},
      {"自宅", 1, 0, {}, true, CPageWINS::kNetBiosFromDhcp},
      {"在宅", 0, 3, {"192.168.1.2"}, false, CPageWINS::kNetBiosFromDhcp},
      {"本店", 0, 0xFFFFFFFF, {"192.168.1.2"}, true, CPageWINS::kNetBiosFromDhcp},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.place) + " " + std::to_string(row.netBios));
    DemoSheet demo;
    CPageWINS page(demo.sheet, demo.dialogs);
    demo.Select(row.place, row.adapter);
    demo.Adapter().NetBIOS = row.netBios;
    page.OnSetActive();
    EXPECT_EQ(page.Servers.Items, row.servers);
    EXPECT_EQ(page.Servers.Selected, -1);
    EXPECT_EQ(page.Lmhosts, row.lmhosts);
    EXPECT_EQ(page.NetBiosChoice, row.choice);
  }
}

TEST(PageWins, EnterThenLeaveWithoutEditsChangesNoRecord) {
  DemoSheet demo;
  CPageWINS page(demo.sheet, demo.dialogs);
  const std::string before = demo.Dump();
  for (const auto& place : demo.sheet.Places)
    for (const auto& adapter : demo.sheet.Adapters) {
      SCOPED_TRACE(place->Name + " " + std::to_string(adapter->Number));
      demo.Select(place->Name, adapter->Number);
      page.OnSetActive();
      EXPECT_TRUE(page.OnKillActive());
      EXPECT_EQ(demo.Dump(), before);
    }
  EXPECT_TRUE(demo.Messages().empty());
}

// A stored value other than 1 or 2 shows the DHCP choice and comes back as 0;
// the radio index gives 1, 2 and 0.
TEST(PageWins, NetBiosChoiceStored) {
  struct Row {
    uint32_t stored;
    std::optional<int> chosen;  // nullopt: left as shown
    uint32_t after;
  };
  const Row rows[] = {
      {1, std::nullopt, 1}, {2, std::nullopt, 2}, {0, std::nullopt, 0},
      {3, std::nullopt, 0}, {0xFFFFFFFF, std::nullopt, 0},
      {0, CPageWINS::kNetBiosOn, 1}, {1, CPageWINS::kNetBiosOff, 2},
      {2, CPageWINS::kNetBiosFromDhcp, 0},
      {1, -1, 0},  // no radio checked reads as -1: neither 1 nor 2
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.stored) + " " + std::to_string(row.chosen.value_or(9)));
    DemoSheet demo;
    CPageWINS page(demo.sheet, demo.dialogs);
    demo.Select("本社", 0);
    demo.Adapter().NetBIOS = row.stored;
    page.OnSetActive();
    if (row.chosen) page.NetBiosChoice = *row.chosen;
    EXPECT_TRUE(page.OnKillActive());
    EXPECT_EQ(demo.Adapter().NetBIOS, row.after);
  }
}

TEST(PageWins, LmhostsFlagIsTheSameForEveryAdapterOfThePlace) {
  DemoSheet demo;
  CPageWINS page(demo.sheet, demo.dialogs);
  demo.Select("本店", 0);
  page.OnSetActive();
  ASSERT_TRUE(page.Lmhosts);
  page.Lmhosts = false;
  page.OnKillActive();
  demo.Select("本店", 1);
  page.OnSetActive();
  EXPECT_FALSE(page.Lmhosts);
  page.Lmhosts = true;
  page.OnKillActive();
  demo.Select("本店", 0);
  page.OnSetActive();
  EXPECT_TRUE(page.Lmhosts);
  // Another place keeps its own.
  demo.Select("在宅", 0);
  page.OnSetActive();
  EXPECT_FALSE(page.Lmhosts);
}

TEST(PageWins, ServerListButtonsAndLeaving) {
  DemoSheet demo;
  CPageWINS page(demo.sheet, demo.dialogs);
  demo.Select("本社", 0);
  const std::string others = demo.Others();
  page.OnSetActive();
  demo.dialogs.Answer({TypeWinsAddress({10, 1, 0, 10})});
  page.OnAdd();  // appended: none selected
  page.Servers.Selected = 0;
  demo.dialogs.Answer({TypeWinsAddress({10, 1, std::nullopt, 8}), TypeWinsAddress({10, 1, 0, 8})});
  page.OnAdd();  // before the selected one, after a refused incomplete address
  EXPECT_EQ(page.Servers.Selected, 1);
  page.OnDown();
  page.OnDown();  // the last: nothing
  page.Servers.Selected = 1;
  demo.dialogs.Answer({[](CDialogModel& dialog) {
    auto& wins = dynamic_cast<CDlgWINSServer&>(dialog);
    EXPECT_EQ(wins.Fields, (IpFields{10, 1, 0, 10}));
    wins.Fields = {10, 1, 0, 11};
    return true;
  }});
  page.OnEdit();
  page.Servers.Selected = 0;
  page.OnDelete();
  page.OnUp();  // none selected now
  EXPECT_TRUE(page.OnKillActive());
  EXPECT_EQ(demo.Adapter().WINS, (Strings{"10.1.0.11", "10.1.0.9"}));
  EXPECT_EQ(demo.Others(), others);
  EXPECT_EQ(demo.MessageTexts(), (Strings{"WINSアドレスの内容が正しくありません。",
                                          "上に移動したいWINSサーバーを選択してください"}));
  EXPECT_EQ(demo.dialogs.Shown, (std::vector<uint32_t>{IDD_WINS_SERVER, IDD_WINS_SERVER,
                                                       IDD_WINS_SERVER}));
  EXPECT_TRUE(demo.dialogs.AllAnswered());
}

TEST(PageWins, ButtonsWithoutASelectionSayWhichEntryToSelect) {
  struct Row {
    void (CPageWINS::*button)();
    const char* message;
  };
  const Row rows[] = {
      {&CPageWINS::OnEdit, "編集したいWINSサーバーを選択してください"},
      {&CPageWINS::OnDelete, "削除したいWINSサーバーを選択してください"},
      {&CPageWINS::OnUp, "上に移動したいWINSサーバーを選択してください"},
      {&CPageWINS::OnDown, "下に移動したいWINSサーバーを選択してください"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    DemoSheet demo;
    CPageWINS page(demo.sheet, demo.dialogs);
    demo.Select("本社", 0);
    page.OnSetActive();
    (page.*row.button)();
    ASSERT_EQ(demo.Messages().size(), 1u);
    EXPECT_EQ(demo.Messages()[0].Text, row.message);
    EXPECT_EQ(demo.Messages()[0].Icon, platform::MessageIcon::Warning);
    EXPECT_EQ(page.Servers.Items, Strings{"10.1.0.9"});
    EXPECT_TRUE(demo.dialogs.Shown.empty());
  }
}

#ifdef _WIN32

using velandra::testing::ClippedTexts;
using velandra::testing::ControlText;
using velandra::testing::LayoutFaults;
using velandra::testing::ListBoxItems;
using velandra::testing::PageOf;
using velandra::testing::PostClick;
using velandra::testing::RunPageAlone;
using velandra::testing::TabOrder;
using velandra::testing::WindowDriver;

win32::Win32DialogHost WinsDialogs() {
  return win32::Win32DialogHost(GetModuleHandleA(nullptr),
                                {&win32::MakeDnsDialogView, &win32::MakeWinsDialogView});
}

TEST(Win32WinsDialog, CompleteAddressOnly) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  DemoSheet demo;
  CDlgWINSServer dialog(demo.sheet.GetContext().Platform().messages);
  dialog.Entry = "10.1.0.9";
  std::string shown;
  std::vector<std::string> clipped, layout;
  std::vector<int> tabs;
  bool stayed = false;
  WindowDriver driver;
  driver
      .ThenDialog("TCP/IP WINSサーバー",
                  [&](HWND d) {
                    shown = IpTextFromFields(win32::GetIpFields(d, IDC_WINS_SERVER_ADDRESS))
                                .value_or("");
                    clipped = ClippedTexts(d);
                    layout = LayoutFaults(d);
                    tabs = TabOrder(d, IDC_WINS_SERVER_ADDRESS);
                    win32::SetIpFields(d, IDC_WINS_SERVER_ADDRESS, {10, std::nullopt, 0, 9});
                    PostClick(d, IDOK);
                  })
      .ThenDialog("TCP/IP WINSサーバー", [&](HWND d) {
        HWND control = GetDlgItem(d, IDC_WINS_SERVER_ADDRESS);
        stayed = GetFocus() == control || IsChild(control, GetFocus());
        win32::SetIpFields(d, IDC_WINS_SERVER_ADDRESS, {10, 2, 0, 9});
        PostClick(d, IDOK);
      });
  win32::Win32DialogHost host = WinsDialogs();
  bool ok = false;
  EXPECT_TRUE(driver.Run([&] { ok = host.DoModal(dialog); })) << driver.Stuck();
  EXPECT_TRUE(ok);
  EXPECT_EQ(shown, "10.1.0.9");
  EXPECT_TRUE(stayed);
  EXPECT_EQ(dialog.Entry, "10.2.0.9");
  EXPECT_EQ(clipped, Strings{});
  EXPECT_EQ(layout, Strings{});
  EXPECT_EQ(tabs, (std::vector<int>{IDC_WINS_SERVER_ADDRESS, IDOK, IDCANCEL}));
  EXPECT_EQ(demo.MessageTexts(), Strings{"WINSアドレスの内容が正しくありません。"});
}

TEST(Win32WinsPage, ShowsTheRecordsAndStoresThemOnLeaving) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  DemoSheet demo;
  demo.Select("在宅", 0);
  demo.Adapter().NetBIOS = 5;  // neither 1 nor 2
  win32::Win32DialogHost host = WinsDialogs();
  CPageWINS page(demo.sheet, host);
  std::unique_ptr<win32::PageView> view = win32::MakeWinsPageView(page);

  Strings servers, serversAfter;
  bool lmhosts = true, dhcpChoice = false;
  std::string upText;
  std::vector<std::string> clipped, layout;
  WindowDriver driver;
  driver
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PageOf(sheet);
                    servers = ListBoxItems(p, IDC_WINS_LIST);
                    lmhosts = win32::ItemChecked(p, IDC_WINS_LMHOSTS);
                    dhcpChoice = win32::ItemChecked(p, IDC_WINS_NETBIOS_DHCP) &&
                                 !win32::ItemChecked(p, IDC_WINS_NETBIOS_ON);
                    upText = ControlText(p, IDC_WINS_UP);
                    clipped = ClippedTexts(sheet);
                    layout = LayoutFaults(p);
                    PostClick(p, IDC_WINS_ADD);
                  })
      .ThenDialog("TCP/IP WINSサーバー",
                  [&](HWND d) {
                    win32::SetIpFields(d, IDC_WINS_SERVER_ADDRESS, {192, 168, 1, 3});
                    PostClick(d, IDOK);
                  })
      .ThenDialog("Velandra", [&](HWND sheet) {
        HWND p = PageOf(sheet);
        serversAfter = ListBoxItems(p, IDC_WINS_LIST);
        win32::SetItemChecked(p, IDC_WINS_LMHOSTS, true);
        win32::SetRadioIndex(p, {IDC_WINS_NETBIOS_ON, IDC_WINS_NETBIOS_OFF, IDC_WINS_NETBIOS_DHCP},
                             1);
        PostClick(sheet, IDOK);
      });
  EXPECT_TRUE(RunPageAlone(*view, driver)) << driver.Stuck();
  EXPECT_EQ(servers, Strings{"192.168.1.2"});
  EXPECT_FALSE(lmhosts);
  EXPECT_TRUE(dhcpChoice);
  EXPECT_EQ(upText, "↑");
  EXPECT_EQ(clipped, Strings{});
  EXPECT_EQ(layout, Strings{});
  EXPECT_EQ(serversAfter, (Strings{"192.168.1.2", "192.168.1.3"}));
  EXPECT_EQ(demo.AdapterLine(), "P4A0 dns=192.168.1.1 suffix= update wins=192.168.1.2,192.168.1.3 nb=2");
  EXPECT_EQ(demo.PlaceLine(), "P4 primary parent list= lmhosts");
  EXPECT_TRUE(demo.Messages().empty());
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
