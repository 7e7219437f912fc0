#include "ui/page_option.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "config/place_settings.h"
#include "dns_wins_test_rig.h"
#include "support/place_records.h"

#ifdef _WIN32
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/os_info.h"
#include "ui/dlg_user_password.h"
#include "ui/sheet_pages.h"
#include "ui/win32/controls.h"
#include "ui/win32/dlg_exit_view.h"
#include "ui/win32/page_option_view.h"
#include "ui/win32/sheet_view.h"
#endif

namespace velandra::ui {
namespace {

using velandra::testing::DemoSheet;
using Strings = std::vector<std::string>;

// What the Option page edits, as one text.
std::string Options(DemoSheet& demo) {
  const Context& context = demo.sheet.GetContext();
  const config::CommonSettings& c = demo.sheet.Common;
  return std::string(context.AdminCheck ? "admin " : "") + (context.DiffCheck ? "diff " : "") +
         (c.HIDEPROMPT ? "hide " : "") + (c.DELETEBAT ? "delete " : "") + "editor=" + c.EDITOR +
         " wait=" + std::to_string(c.DELAYSLEEP);
}

// Every option away from its default.
void SetEveryOption(DemoSheet& demo) {
  demo.sheet.GetContext().AdminCheck = false;
  demo.sheet.GetContext().DiffCheck = true;
  demo.sheet.Common.HIDEPROMPT = true;
  demo.sheet.Common.DELETEBAT = true;
  demo.sheet.Common.EDITOR = "C:\\ツール\\表示.exe";  // 0x5C trail bytes
  demo.sheet.Common.DELAYSLEEP = std::numeric_limits<int>::max();
}

TEST(PageOption, EnterThenLeaveChangesNothing) {
  for (bool changed : {false, true}) {
    SCOPED_TRACE(changed ? "every option set" : "defaults");
    DemoSheet demo;
    if (changed) SetEveryOption(demo);
    const std::string before = Options(demo);
    CPageOption page(demo.sheet, demo.dialogs);
    page.OnSetActive();
    EXPECT_EQ(page.NoAdminCheck, changed);
    EXPECT_EQ(page.DiffCheck, changed);
    EXPECT_EQ(page.HidePrompt, changed);
    EXPECT_EQ(page.DeleteBat, changed);
    EXPECT_EQ(page.Editor, changed ? "C:\\ツール\\表示.exe" : "NOTEPAD.EXE");
    EXPECT_EQ(page.WaitTime, changed ? "2147483647" : "0");
    EXPECT_TRUE(page.OnKillActive());
    EXPECT_EQ(Options(demo), before);
    EXPECT_TRUE(demo.Messages().empty());
  }
}

TEST(PageOption, TheFirstCheckIsTheOppositeOfTheAdministratorCheck) {
  struct Row {
    bool adminBefore;
    bool shown;  // the first check on entering
    bool set;    // as the user leaves it
    bool adminAfter;
  };
  const Row rows[] = {
      {true, false, false, true},
      {true, false, true, false},
      {false, true, true, false},
      {false, true, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.adminBefore) + std::to_string(row.set));
    DemoSheet demo;
    demo.sheet.GetContext().AdminCheck = row.adminBefore;
    CPageOption page(demo.sheet, demo.dialogs);
    page.OnSetActive();
    EXPECT_EQ(page.NoAdminCheck, row.shown);
    page.NoAdminCheck = row.set;
    EXPECT_TRUE(page.OnKillActive());
    EXPECT_EQ(demo.sheet.GetContext().AdminCheck, row.adminAfter);
  }
}

TEST(PageOption, LeavingStoresTheEditsOrRefusesWithoutStoringAny) {
  const std::string tooLong = std::string(kMaxEditor + 1, 'e');
  struct Row {
    std::string wait;
    std::string editor;
    std::optional<std::string> refusal;  // none: stored
    std::optional<int> stored;
  };
  const Row rows[] = {
      {"0", "notepad.exe", std::nullopt, 0},
      {"007", "notepad.exe", std::nullopt, 7},
      {"000000000000001", "notepad.exe", std::nullopt, 1},
      {"2147483647", std::string(kMaxEditor, 'e'), std::nullopt, 2147483647},
      {"", "notepad.exe", kMsgWaitTimeNotNumber, std::nullopt},
      {"-1", "notepad.exe", kMsgWaitTimeNotNumber, std::nullopt},
      {"12a", "notepad.exe", kMsgWaitTimeNotNumber, std::nullopt},
      {" 5", "notepad.exe", kMsgWaitTimeNotNumber, std::nullopt},
      {"１２", "notepad.exe", kMsgWaitTimeNotNumber, std::nullopt},  // full-width digits
      {"2147483648", "notepad.exe", kMsgWaitTimeNotNumber, std::nullopt},
      {"4294967295", "notepad.exe", kMsgWaitTimeNotNumber, std::nullopt},
      {"5", tooLong, kMsgEditorTooLong, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.wait + " " + std::to_string(row.editor.size()));
    DemoSheet demo;
    CPageOption page(demo.sheet, demo.dialogs);
    page.OnSetActive();
    const std::string before = Options(demo);
    page.NoAdminCheck = page.DiffCheck = page.HidePrompt = page.DeleteBat = true;
    page.WaitTime = row.wait;
    page.Editor = row.editor;
    EXPECT_EQ(page.OnKillActive(), !row.refusal);
    if (row.refusal) {
      EXPECT_EQ(demo.MessageTexts(), Strings{*row.refusal});
      EXPECT_EQ(demo.Messages()[0].Icon, platform::MessageIcon::Warning);
      EXPECT_EQ(page.Focus, *row.refusal == kMsgEditorTooLong ? IDC_OPTION_EDITOR
                                                             : IDC_OPTION_WAIT);
      EXPECT_EQ(Options(demo), before);
      EXPECT_EQ(page.WaitTime, row.wait);  // the field keeps what was typed
    } else {
      EXPECT_TRUE(demo.Messages().empty());
      EXPECT_EQ(Options(demo),
                "diff hide delete editor=" + row.editor + " wait=" + std::to_string(*row.stored));
    }
  }
}

TEST(PageOption, BrowsePutsTheChosenProgramIntoTheEditorField) {
  DemoSheet demo;
  CPageOption page(demo.sheet, demo.dialogs);
  page.OnSetActive();
  page.Editor = "typed.exe";
  demo.dialogs.AnswerChoice(std::nullopt);  // Cancel
  page.OnBrowse();
  EXPECT_EQ(page.Editor, "typed.exe");
  demo.dialogs.AnswerChoice("C:\\Program Files\\エディタ\\edit.exe");
  page.OnBrowse();
  EXPECT_EQ(page.Editor, "C:\\Program Files\\エディタ\\edit.exe");
  EXPECT_EQ(demo.dialogs.Choosers, (Strings{"実行ファイル | *.exe||", "実行ファイル | *.exe||"}));
  EXPECT_EQ(demo.sheet.Common.EDITOR, "NOTEPAD.EXE");  // only leaving stores it
  EXPECT_TRUE(page.OnKillActive());
  EXPECT_EQ(demo.sheet.Common.EDITOR, "C:\\Program Files\\エディタ\\edit.exe");
}

constexpr char kOffice[] = "本社プロキシ";
constexpr char kHome[] = "自宅 光回線";
constexpr char kNone[] = "プロキシ無";

TEST(PageProxy, EnterShowsTheEntriesAndLeavingChangesNothing) {
  struct Row {
    const char* place;
    std::optional<std::string> name;  // set before entering; none: as loaded
    bool disable;
    Strings names;
    int selected;
  };
  const Row rows[] = {
      {"在宅", std::nullopt, false, {kOffice, kHome, kNone}, 1},
      {"標準", std::nullopt, false, {kOffice, kHome, kNone}, 0},  // the companion's own
      {"本店", kNone, false, {kOffice, kHome, kNone}, 2},
      // Gone from the companion: shown first and kept.
      {"本店", "旧プロキシ", false, {"旧プロキシ", kOffice, kHome, kNone}, 0},
      {"在宅", std::nullopt, true, {kOffice, kHome, kNone}, 1},
      {"在宅", "旧プロキシ", true, {"旧プロキシ", kOffice, kHome, kNone}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.place) + " " + row.name.value_or("-") +
                 (row.disable ? " disabled" : ""));
    DemoSheet demo;
    demo.Select(row.place, 0);
    if (row.name) demo.Place().Proxy.ProxyName = *row.name;
    demo.Place().Proxy.DisableProxy = row.disable;
    const std::string before = velandra::testing::Dump(demo.Place());
    CPageProxy page(demo.sheet);
    page.OnSetActive();
    EXPECT_EQ(page.Names, row.names);
    EXPECT_EQ(page.Selected, row.selected);
    EXPECT_EQ(page.Disable, row.disable);
    EXPECT_EQ(page.ListEnabled, !row.disable);
    EXPECT_TRUE(page.OnKillActive());
    EXPECT_EQ(velandra::testing::Dump(demo.Place()), before);
    // Entered again, the same.
    page.OnSetActive();
    EXPECT_EQ(page.Names, row.names);
    EXPECT_TRUE(demo.Messages().empty());
  }
}

TEST(PageProxy, DisableGreysTheListAndKeepsTheName) {
  DemoSheet demo;
  demo.Select("在宅", 0);
  CPageProxy page(demo.sheet);
  page.OnSetActive();
  page.Disable = true;
  page.OnDisableClicked();
  EXPECT_FALSE(page.ListEnabled);
  EXPECT_EQ(page.Selected, 1);
  EXPECT_TRUE(page.OnKillActive());
  EXPECT_EQ(demo.Place().Proxy.ProxyName, kHome);
  EXPECT_TRUE(demo.Place().Proxy.DisableProxy);
  page.OnSetActive();
  EXPECT_FALSE(page.ListEnabled);
  page.Disable = false;
  page.OnDisableClicked();
  EXPECT_TRUE(page.ListEnabled);
  page.Selected = 2;
  EXPECT_TRUE(page.OnKillActive());
  EXPECT_EQ(demo.Place().Proxy.ProxyName, kNone);
  EXPECT_FALSE(demo.Place().Proxy.DisableProxy);
  // Nothing selected (the user cannot, but a view might read none): the
  // place keeps its entry.
  page.OnSetActive();
  page.Selected = -1;
  EXPECT_TRUE(page.OnKillActive());
  EXPECT_EQ(demo.Place().Proxy.ProxyName, kNone);
}

// Each place has its own entry: the page follows the current place.
TEST(PageProxy, FollowsTheCurrentPlace) {
  DemoSheet demo;
  CPageProxy page(demo.sheet);
  demo.Select("本店", 0);
  page.OnSetActive();
  page.Selected = 1;
  EXPECT_TRUE(page.OnKillActive());
  demo.Select("在宅", 0);
  page.OnSetActive();
  EXPECT_EQ(page.Selected, 1);
  page.Selected = 0;
  EXPECT_TRUE(page.OnKillActive());
  demo.Select("本店", 0);
  EXPECT_EQ(demo.Place().Proxy.ProxyName, kHome);
  demo.Select("在宅", 0);
  EXPECT_EQ(demo.Place().Proxy.ProxyName, kOffice);
}


#ifdef _WIN32

using velandra::testing::ClippedTexts;
using velandra::testing::ComboItems;
using velandra::testing::FindDialog;
using velandra::testing::LayoutFaults;
using velandra::testing::PageOf;
using velandra::testing::PostClick;
using velandra::testing::RunPageAlone;
using velandra::testing::TabOrder;
using velandra::testing::WindowDriver;

// A click as the user makes it: the button changes, then tells the page.
void Click(HWND page, int id) { PostMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }

// The page shows the options; a pasted wait that is no number keeps the
// sheet open on the page, focus on the field; a number is stored on OK.
TEST(Win32OptionPage, ShowsTheOptionsAndRefusesAWaitThatIsNoNumber) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  DemoSheet demo;
  SetEveryOption(demo);
  CPageOption page(demo.sheet, demo.dialogs);
  std::unique_ptr<win32::PageView> view = win32::MakeOptionPageView(page);

  bool noAdmin = false, diff = false, hide = false, del = false, stayed = false;
  std::string editor, wait;
  Strings clipped, layout;
  std::vector<int> tabs;
  WindowDriver driver;
  driver
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PageOf(sheet);
                    noAdmin = win32::ItemChecked(p, IDC_OPTION_NO_ADMIN_CHECK);
                    diff = win32::ItemChecked(p, IDC_OPTION_DIFF_CHECK);
                    hide = win32::ItemChecked(p, IDC_OPTION_HIDE_PROMPT);
                    del = win32::ItemChecked(p, IDC_OPTION_DELETE_BAT);
                    editor = win32::ItemText(p, IDC_OPTION_EDITOR);
                    wait = win32::ItemText(p, IDC_OPTION_WAIT);
                    clipped = ClippedTexts(sheet);
                    layout = LayoutFaults(p);
                    tabs = TabOrder(p, IDC_OPTION_NO_ADMIN_CHECK);
                    // A paste passes the field's own digit check.
                    win32::SetItemText(p, IDC_OPTION_WAIT, "12x");
                    Click(p, IDC_OPTION_NO_ADMIN_CHECK);
                    PostClick(sheet, IDOK);
                  })
      .Then([&]() -> HWND { return demo.Messages().empty() ? nullptr : FindDialog("Velandra"); },
            [&](HWND sheet) {
              HWND p = PageOf(sheet);
              stayed = GetFocus() == GetDlgItem(p, IDC_OPTION_WAIT);
              win32::SetItemText(p, IDC_OPTION_WAIT, "1500");
              win32::SetItemText(p, IDC_OPTION_EDITOR, "C:\\ツール\\edit.exe");
              PostClick(sheet, IDOK);
            });
  EXPECT_TRUE(RunPageAlone(*view, driver)) << driver.Stuck();
  EXPECT_TRUE(noAdmin && diff && hide && del);
  EXPECT_EQ(editor, "C:\\ツール\\表示.exe");
  EXPECT_EQ(wait, "2147483647");
  EXPECT_EQ(clipped, Strings{});
  EXPECT_EQ(layout, Strings{});
  EXPECT_EQ(tabs, (std::vector<int>{IDC_OPTION_NO_ADMIN_CHECK, IDC_OPTION_DIFF_CHECK,
                                    IDC_OPTION_HIDE_PROMPT, IDC_OPTION_DELETE_BAT,
                                    IDC_OPTION_EDITOR, IDC_OPTION_BROWSE, IDC_OPTION_WAIT}));
  EXPECT_TRUE(stayed);
  EXPECT_EQ(demo.MessageTexts(), Strings{kMsgWaitTimeNotNumber});
  EXPECT_EQ(Options(demo), "admin diff hide delete editor=C:\\ツール\\edit.exe wait=1500");
}

// A stale entry shown first; the check greys the list out; OK keeps the
// name and stores the check.
TEST(Win32ProxyPage, StaleEntryFirstAndDisableGreysTheList) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  DemoSheet demo;
  demo.Select("本店", 0);
  demo.Place().Proxy.ProxyName = "旧プロキシ";
  CPageProxy page(demo.sheet);
  std::unique_ptr<win32::PageView> view = win32::MakeProxyPageView(page);

  Strings items, clipped, layout;
  int selected = -2;
  bool enabledBefore = false, enabledAfter = true;
  WindowDriver driver;
  driver
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PageOf(sheet);
                    items = ComboItems(p, IDC_PROXY_NAME);
                    selected = win32::ComboSelection(p, IDC_PROXY_NAME);
                    enabledBefore = IsWindowEnabled(GetDlgItem(p, IDC_PROXY_NAME));
                    clipped = ClippedTexts(sheet);
                    layout = LayoutFaults(p);
                    Click(p, IDC_PROXY_DISABLE);
                  })
      .Then([&]() -> HWND {
              HWND sheet = FindDialog("Velandra");
              return sheet && win32::ItemChecked(PageOf(sheet), IDC_PROXY_DISABLE) ? sheet
                                                                                    : nullptr;
            },
            [&](HWND sheet) {
              enabledAfter = IsWindowEnabled(GetDlgItem(PageOf(sheet), IDC_PROXY_NAME));
              PostClick(sheet, IDOK);
            });
  EXPECT_TRUE(RunPageAlone(*view, driver)) << driver.Stuck();
  EXPECT_EQ(items, (Strings{"旧プロキシ", kOffice, kHome, kNone}));
  EXPECT_EQ(selected, 0);
  EXPECT_TRUE(enabledBefore);
  EXPECT_FALSE(enabledAfter);
  EXPECT_EQ(clipped, Strings{});
  EXPECT_EQ(layout, Strings{});
  EXPECT_EQ(demo.Place().Proxy.ProxyName, "旧プロキシ");
  EXPECT_TRUE(demo.Place().Proxy.DisableProxy);
  EXPECT_TRUE(demo.Messages().empty());
}

// The section's lines of a configuration file's text, up to the next one.
std::string SectionOf(const std::string& ini, const std::string& section) {
  const std::string head = "[" + section + "]\r\n";
  const size_t at = ini.find(head);
  if (at == std::string::npos) return {};
  const size_t from = at + head.size();
  const size_t next = ini.find("\r\n[", from);
  return ini.substr(from, next == std::string::npos ? std::string::npos : next + 2 - from);
}

// The whole sheet: the Proxy and Option pages edited, OK, "保存のみ": the
// file holds the options in COMMON and the entry in the current place's
// section.
TEST(Win32OptionPage, EditsOfBothPagesSavedByTheSheet) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  velandra::testing::ScratchPc pc;
  Context context(pc.Open().platform(), velandra::testing::kDemoIniPath,
                  ReadOsInfo(pc.Open().platform().system));
  CVelandraSheet sheet(context);
  ASSERT_TRUE(sheet.LoadAll());
  ASSERT_EQ(sheet.CurrentPlace->Number, 0u);
  int proxyTab = -1, optionTab = -1;
  const std::vector<SheetPageEntry> tabs = SheetPages(sheet);
  for (size_t i = 0; i < tabs.size(); ++i) {
    if (tabs[i].Page == SheetPage::Proxy) proxyTab = static_cast<int>(i);
    if (tabs[i].Page == SheetPage::Option) optionTab = static_cast<int>(i);
  }
  ASSERT_GE(proxyTab, 0);
  ASSERT_GE(optionTab, 0);

  std::ostringstream out;
  ScriptedUserPasswordDialog logon(pc.Open().answers(), out);
  win32::Win32ExitDialog exitDialog;
  win32::Win32SheetWindow window(GetModuleHandleA(nullptr), &exitDialog, logon);
  HWND sheetWindow = nullptr;
  auto pageWith = [&](int id) {
    return [&, id]() -> HWND {
      HWND page = sheetWindow ? PropSheet_GetCurrentPageHwnd(sheetWindow) : nullptr;
      return page && GetDlgItem(page, id) ? page : nullptr;
    };
  };
  WindowDriver driver;
  driver.Then([] { return FindDialog("Velandra"); },
              [&](HWND s) {
                sheetWindow = s;
                PostMessageA(s, PSM_SETCURSEL, static_cast<WPARAM>(proxyTab), 0);
              });
  driver.Then(pageWith(IDC_PROXY_NAME), [&](HWND p) {
    SendDlgItemMessageA(p, IDC_PROXY_NAME, CB_SETCURSEL, 1, 0);
    Click(p, IDC_PROXY_DISABLE);
  });
  driver.Then(
      [&]() -> HWND {
        HWND p = pageWith(IDC_PROXY_NAME)();
        return p && win32::ItemChecked(p, IDC_PROXY_DISABLE) ? p : nullptr;
      },
      [&](HWND) { PostMessageA(sheetWindow, PSM_SETCURSEL, static_cast<WPARAM>(optionTab), 0); });
  driver.Then(pageWith(IDC_OPTION_WAIT), [&](HWND p) {
    for (int id : {IDC_OPTION_NO_ADMIN_CHECK, IDC_OPTION_DIFF_CHECK, IDC_OPTION_HIDE_PROMPT,
                   IDC_OPTION_DELETE_BAT})
      Click(p, id);
    win32::SetItemText(p, IDC_OPTION_EDITOR, "C:\\ツール\\表示.exe");
    win32::SetItemText(p, IDC_OPTION_WAIT, "3000");
    PostClick(sheetWindow, IDOK);
  });
  driver.Then(
      []() -> HWND {
        HWND dialog = FindDialog("Velandra");
        return dialog && GetDlgItem(dialog, IDC_EXIT_MODE) ? dialog : nullptr;
      },
      [](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_EXIT_MODE, CB_SETCURSEL, 3, 0);  // 保存のみ
        PostClick(dialog, IDOK);
      });
  EXPECT_TRUE(driver.Run([&] { window.DoModal(sheet); })) << driver.Stuck();

  std::ifstream in(pc.dir() / velandra::testing::kDemoIniFile, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string ini = bytes.str();
  const std::string common = SectionOf(ini, "COMMON");
  for (const char* line : {"EDITOR=C:\\ツール\\表示.exe\r\n", "ADMINCHECK=FALSE\r\n",
                           "DIFFCHECK=TRUE\r\n", "HIDEPROMPT=TRUE\r\n", "DELETEBAT=TRUE\r\n",
                           "DELAYSLEEP=3000\r\n", "LastExit=SAVE\r\n"})
    EXPECT_NE(common.find(line), std::string::npos) << line << "\n" << common;
  const std::string place = SectionOf(ini, "P0");
  EXPECT_NE(place.find("ProxyName=自宅 光回線\r\n"), std::string::npos) << place;
  EXPECT_NE(place.find("DisableProxy=TRUE\r\n"), std::string::npos) << place;
  for (const auto& m : pc.Open().Messages()) ADD_FAILURE() << "message: " << m.Text;
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
