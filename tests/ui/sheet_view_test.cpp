// The main sheet's window under Wine, on the simulated PC: its messages are
// recorded and its questions answered from the script.
#ifdef _WIN32
#include "ui/win32/sheet_view.h"

#include <gtest/gtest.h>
#include "system/platform/win32/win_api.h"
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "support/window_driver.h"
#include "system/os_info.h"
#include "system/platform/sim/sim_registry.h"
#include "ui/dlg_user_password.h"
#include "ui/page_setting.h"
#include "ui/velandra_sheet.h"
#include "ui/win32/dlg_exit_view.h"
#include "ui/win32/page_setting_view.h"
#include "ui/resource_ids.h"

namespace velandra::ui::win32 {
namespace {

using velandra::testing::CanCreateWindows;
using velandra::testing::ClippedTexts;
using velandra::testing::ComboItems;
using velandra::testing::FindExitDialog;
using velandra::testing::FindSheet;
using velandra::testing::FindDialog;
using velandra::testing::kDemoIniFile;
using velandra::testing::kDemoIniPath;
using velandra::testing::PostClick;
using velandra::testing::ScratchPc;
using velandra::testing::WindowDriver;

// The file's bytes, or none when it is not there.
std::optional<std::string> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream data;
  data << in.rdbuf();
  return data.str();
}

std::vector<std::string> TabTitles(HWND sheet) {
  std::vector<std::string> titles;
  HWND tabs = PropSheet_GetTabControl(sheet);
  const int count = TabCtrl_GetItemCount(tabs);
  for (int i = 0; i < count; ++i) {
    char text[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    titles.push_back(text);
  }
  return titles;
}

// A demo PC with its sheet loaded, with or without the companion.
struct Rig {
  explicit Rig(bool companion = true) {
    auto& sim = pc.Open();
    if (!companion) {
      std::string error;
      EXPECT_TRUE(sim.registry().ImportText(
          "REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\Software\\Orvane\\Brisco]\r\n", error))
          << error;
    }
    context.emplace(sim.platform(), kDemoIniPath, ReadOsInfo(sim.platform().system));
    sheet.emplace(*context);
    EXPECT_TRUE(sheet->LoadAll());
  }
  std::optional<std::string> Ini() const { return FileBytes(pc.dir() / kDemoIniFile); }

  ScratchPc pc;
  std::optional<Context> context;
  std::optional<CVelandraSheet> sheet;
  std::ostringstream out;
  Win32ExitDialog exitDialog;
};

// Every tab is entered and left, in order, then Cancel: nothing is written
// and nothing went wrong on the way.
TEST(Win32SheetWindow, TabsInOrderEveryPageEnteredAndLeftCancelWritesNothing) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  for (bool companion : {true, false}) {
    SCOPED_TRACE(companion ? "companion installed" : "no companion");
    Rig rig(companion);
    CVelandraSheet& sheet = *rig.sheet;
    const std::optional<std::string> before = rig.Ini();
    std::vector<std::string> expected;
    for (const SheetPageEntry& entry : SheetPages(sheet)) expected.push_back(entry.Title);

    ScriptedUserPasswordDialog logon(rig.pc.Open().answers(), rig.out);
    Win32SheetWindow window(GetModuleHandleA(nullptr), &rig.exitDialog, logon);
    std::vector<std::string> tabs;
    std::vector<std::string> clipped;
    bool bigIcon = false, smallIcon = false, handOverLink = false;
    HWND sheetWindow = nullptr;
    WindowDriver driver;
    driver.Then(FindSheet, [&](HWND found) {
      sheetWindow = found;
      tabs = TabTitles(found);
      bigIcon = SendMessageA(found, WM_GETICON, ICON_BIG, 0) != 0;
      smallIcon = SendMessageA(found, WM_GETICON, ICON_SMALL, 0) != 0;
    });
    for (size_t i = 0; i < expected.size(); ++i) {
      driver.Then([&] { return sheetWindow; },
                  [i](HWND s) { PostMessageA(s, PSM_SETCURSEL, i, 0); });
      driver.Then(
          [&, i]() -> HWND {
            return TabCtrl_GetCurSel(PropSheet_GetTabControl(sheetWindow)) == int(i) &&
                           PropSheet_GetCurrentPageHwnd(sheetWindow)
                       ? sheetWindow
                       : nullptr;
          },
          [&, i](HWND s) {
            if (expected[i] != "Version") return;
            HWND page = PropSheet_GetCurrentPageHwnd(s);
            for (const std::string& c : ClippedTexts(page)) clipped.push_back(c);
            // Over a link the pointer is the hand; a click opens the address.
            HWND link = GetDlgItem(page, IDC_ABOUT_LINK_MAIL);
            handOverLink =
                SendMessageA(page, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) != 0 &&
                GetCursor() == LoadCursorA(GetModuleHandleA(nullptr),
                                           MAKEINTRESOURCEA(IDC_LINK_CURSOR));
            PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_LINK_MAIL, STN_CLICKED),
                         reinterpret_cast<LPARAM>(link));
          });
    }
    driver.Then([&] { return sheetWindow; }, [](HWND s) { PostClick(s, IDCANCEL); });
    bool shown = false;
    EXPECT_TRUE(driver.Run([&] { shown = window.DoModal(sheet); })) << driver.Stuck();
    EXPECT_TRUE(shown);
    EXPECT_EQ(tabs, expected);
    EXPECT_TRUE(bigIcon);
    EXPECT_TRUE(smallIcon);
    EXPECT_TRUE(clipped.empty()) << clipped.front();
    EXPECT_TRUE(handOverLink);
    const auto& events = rig.pc.Open().Events();
    EXPECT_NE(std::find(events.begin(), events.end(),
                        "shell opened address (open, show 1): mailto:support@velandra.example"),
              events.end());
    EXPECT_EQ(rig.Ini(), before);
    for (const auto& m : rig.pc.Open().Messages()) ADD_FAILURE() << "message: " << m.Text;
  }
}

// OK: the native exit-mode dialog, "保存のみ", and the whole configuration
// is saved.
TEST(Win32SheetWindow, OkShowsTheExitDialogAndSaveOnlyWritesTheFile) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  Rig rig;
  CVelandraSheet& sheet = *rig.sheet;
  ScriptedUserPasswordDialog logon(rig.pc.Open().answers(), rig.out);
  Win32SheetWindow window(GetModuleHandleA(nullptr), &rig.exitDialog, logon);
  std::vector<std::string> clipped;
  WindowDriver driver;
  driver.Then(FindSheet, [](HWND s) { PostClick(s, IDOK); });
  driver.Then(FindExitDialog, [&](HWND dialog) {
    clipped = ClippedTexts(dialog);
    SendDlgItemMessageA(dialog, IDC_EXIT_MODE, CB_SETCURSEL, 3, 0);
    PostClick(dialog, IDOK);
  });
  EXPECT_TRUE(driver.Run([&] { window.DoModal(sheet); })) << driver.Stuck();
  EXPECT_TRUE(clipped.empty()) << clipped.front();
  const std::optional<std::string> after = rig.Ini();
  ASSERT_TRUE(after);
  EXPECT_NE(after->find("LastExit=SAVE\r\n"), std::string::npos) << *after;
  EXPECT_NE(after->find("[PLACELIST]\r\n"), std::string::npos) << *after;
  EXPECT_EQ(sheet.Common.ExitMode, 3);
}

// The road of a user through the real windows: a place added, renamed,
// another added and deleted through the place dialog, an address added
// through its dialog on the IP page, then OK and "保存のみ": the file holds
// what was done.
TEST(Win32SheetWindow, PlacesAndAnAddressThroughTheDialogsThenSaveOnly) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  Rig rig;
  CVelandraSheet& sheet = *rig.sheet;
  rig.pc.Open().answers().Push("yes");  // 削除してよろしいですか？
  ScriptedUserPasswordDialog logon(rig.pc.Open().answers(), rig.out);
  Win32SheetWindow window(GetModuleHandleA(nullptr), &rig.exitDialog, logon);
  const size_t places = sheet.Places.size();

  HWND sheetWindow = nullptr;
  auto page = [&] { return PropSheet_GetCurrentPageHwnd(sheetWindow); };
  // The sheet, enabled again (no dialog over it), with `count` places listed.
  auto sheetWith = [&](size_t count) {
    return [&, count]() -> HWND {
      HWND s = FindSheet();
      return s && ComboItems(PropSheet_GetCurrentPageHwnd(s), IDC_SETTING_PLACE).size() == count
                 ? s
                 : nullptr;
    };
  };
  auto typeName = [](const char* name) {
    return [name](HWND dialog) {
      SetDlgItemTextA(dialog, IDC_PLACE_NAME, name);
      PostClick(dialog, IDOK);
    };
  };
  std::string shownForEdit;
  std::vector<std::string> listed;
  WindowDriver driver;
  driver.Then(FindSheet, [&](HWND s) {
    sheetWindow = s;
    PostClick(page(), IDC_SETTING_ADD);
  });
  driver.ThenDialog("接続場所", typeName("支店"));
  driver.Then(sheetWith(places + 1), [&](HWND) { PostClick(page(), IDC_SETTING_EDIT); });
  driver.ThenDialog("接続場所", [&](HWND dialog) {
    shownForEdit = velandra::testing::ControlText(dialog, IDC_PLACE_NAME);
    typeName("支店2")(dialog);
  });
  driver.Then(sheetWith(places + 1), [&](HWND) { PostClick(page(), IDC_SETTING_ADD); });
  driver.ThenDialog("接続場所", typeName("仮"));
  driver.Then(sheetWith(places + 2), [&](HWND) { PostClick(page(), IDC_SETTING_DELETE); });
  driver.Then(sheetWith(places + 1), [&](HWND s) {
    listed = ComboItems(page(), IDC_SETTING_PLACE);
    PostMessageA(s, PSM_SETCURSEL, 1, 0);
  });
  driver.Then([&]() -> HWND { return GetDlgItem(page(), IDC_IP_ADDRESS_ADD); },
              [&](HWND) {
                if (IsDlgButtonChecked(page(), IDC_IP_FIXED) != BST_CHECKED)
                  PostClick(page(), IDC_IP_FIXED);
                PostClick(page(), IDC_IP_ADDRESS_ADD);
              });
  driver.ThenDialog("TCP/IP アドレス", [](HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_IP_ADDRESS_DLG_ADDRESS, IPM_SETADDRESS, 0,
                        MAKEIPADDRESS(192, 168, 9, 9));
    SendDlgItemMessageA(dialog, IDC_IP_ADDRESS_DLG_MASK, IPM_SETADDRESS, 0,
                        MAKEIPADDRESS(255, 255, 255, 0));
    PostClick(dialog, IDOK);
  });
  driver.Then(FindSheet, [](HWND s) { PostClick(s, IDOK); });
  driver.Then(FindExitDialog, [](HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_EXIT_MODE, CB_SETCURSEL, 3, 0);
    PostClick(dialog, IDOK);
  });
  EXPECT_TRUE(driver.Run([&] { window.DoModal(sheet); })) << driver.Stuck();

  EXPECT_EQ(shownForEdit, "支店");
  ASSERT_EQ(listed.size(), places + 1);
  EXPECT_EQ(listed.back(), "支店2");
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "仮"), 0);
  bool asked = false;
  for (const auto& message : rig.pc.Open().Messages())
    asked |= message.Text == "削除してよろしいですか？";
  EXPECT_TRUE(asked);

  const std::optional<std::string> ini = rig.Ini();
  ASSERT_TRUE(ini);
  EXPECT_NE(ini->find("=支店2\r\n"), std::string::npos) << *ini;
  EXPECT_EQ(ini->find("=仮\r\n"), std::string::npos) << *ini;
  EXPECT_EQ(ini->find("=支店\r\n"), std::string::npos) << *ini;
  // After the delete the first place is current: the address is its own.
  ASSERT_TRUE(sheet.CurrentPlace && sheet.CurrentAdapter);
  EXPECT_EQ(sheet.CurrentPlace->Number, sheet.Places.front()->Number);
  const std::string section = "[P" + std::to_string(sheet.CurrentPlace->Number) + "A" +
                              std::to_string(sheet.CurrentAdapter->Number) + "]\r\n";
  const size_t at = ini->find(section);
  ASSERT_NE(at, std::string::npos) << *ini;
  const size_t address = ini->find("IPAddress=", at);
  ASSERT_NE(address, std::string::npos);
  EXPECT_NE(ini->substr(address, ini->find("\r\n", address) - address).find("192.168.9.9"),
            std::string::npos)
      << *ini;
}

// OK applies: 本社 picked on the Setting page, "再起動なし": the change
// batch runs on the simulated PC and its registry holds 本社's DNS servers.
TEST(Win32SheetWindow, OkWithoutRestartAppliesThePickedPlace) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  Rig rig;
  CVelandraSheet& sheet = *rig.sheet;
  ScriptedUserPasswordDialog logon(rig.pc.Open().answers(), rig.out);
  Win32SheetWindow window(GetModuleHandleA(nullptr), &rig.exitDialog, logon);
  const std::string kServers = "\"NameServer\"=\"10.1.0.53,10.1.0.54\"";
  ASSERT_EQ(rig.pc.ReadFile("registry.reg").find(kServers), std::string::npos);

  WindowDriver driver;
  driver.Then(FindSheet, [](HWND s) {
    HWND page = PropSheet_GetCurrentPageHwnd(s);
    const std::vector<std::string> items = ComboItems(page, IDC_SETTING_PLACE);
    const auto at = std::find(items.begin(), items.end(), std::string("本社"));
    SendDlgItemMessageA(page, IDC_SETTING_PLACE, CB_SETCURSEL, at - items.begin(), 0);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_SETTING_PLACE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_SETTING_PLACE)));
    PostClick(s, IDOK);
  });
  driver.Then(FindExitDialog, [](HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_EXIT_MODE, CB_SETCURSEL, 2, 0);
    PostClick(dialog, IDOK);
  });
  EXPECT_TRUE(driver.Run([&] { window.DoModal(sheet); })) << driver.Stuck();

  ASSERT_TRUE(sheet.CurrentPlace);
  EXPECT_EQ(sheet.CurrentPlace->Name, "本社");
  EXPECT_EQ(sheet.Common.ExitMode, 2);
  EXPECT_NE(rig.pc.ReadFile("registry.reg").find(kServers), std::string::npos);
  EXPECT_NE(rig.pc.ReadFile("events.log").find("batch ended with exit code 0"), std::string::npos);
}

}  // namespace
}  // namespace velandra::ui::win32
#endif  // _WIN32
