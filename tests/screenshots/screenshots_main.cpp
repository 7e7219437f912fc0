// velandra_screenshots.exe PC-DIRECTORY OUT-DIRECTORY
//
// Opens the property sheet of Velandra on a simulated PC, as Velandra.exe
// does, walks through every page and every dialog that the pages' buttons
// open, and saves each window as a BMP file in OUT-DIRECTORY. Run under
// Wine with a display (Xvfb); scripts/demo --screenshot turns the files
// into PNGs. Nothing is saved on the PC: every dialog and finally the sheet
// are cancelled.
#include "system/platform/win32/win_api.h"
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/velandra_app.h"
#include "support/window_driver.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "ui/dlg_user_password.h"
#include "ui/resource_ids.h"
#include "ui/win32/dlg_exit_view.h"
#include "ui/win32/dlg_user_password_view.h"
#include "ui/win32/sheet_view.h"

namespace {

using velandra::testing::FindDialog;
using velandra::testing::PostClick;
using velandra::testing::WindowDriver;
using velandra::testing::WindowTitle;

std::filesystem::path g_out;
std::vector<std::string> g_saved;
std::vector<std::string> g_failed;

// The window as it is on the screen, 24 bits per pixel.
bool SaveWindow(HWND window, const std::string& name) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  RECT r{};
  GetWindowRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as BMP files are
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * height);
  const int lines = GetDIBits(memory, bitmap, 0, height, pixels.data(),
                              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (lines != height) return false;

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(g_out / (name + ".bmp"), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

void Shoot(HWND window, const std::string& name) {
  (SaveWindow(window, name) ? g_saved : g_failed).push_back(name);
}

// Gives `find`'s window only after it has been there for a second, so that
// it has drawn itself: Wine draws themed controls some time after they are
// shown.
WindowDriver::Find Settled(WindowDriver::Find find) {
  auto seen = std::make_shared<int>(0);
  return [find, seen]() -> HWND {
    HWND window = find();
    if (!window) {
      *seen = 0;
      return nullptr;
    }
    return ++*seen >= 50 ? window : nullptr;
  };
}

HWND g_sheet = nullptr;

HWND FindSheet() {
  if (g_sheet && IsWindow(g_sheet)) return g_sheet;
  HWND dialog = FindDialog("Velandra");
  if (dialog && PropSheet_GetTabControl(dialog)) g_sheet = dialog;
  return g_sheet;
}

HWND CurrentPage() { return g_sheet ? PropSheet_GetCurrentPageHwnd(g_sheet) : nullptr; }

int TabCount() {
  HWND tabs = g_sheet ? PropSheet_GetTabControl(g_sheet) : nullptr;
  return tabs ? TabCtrl_GetItemCount(tabs) : 0;
}

std::string TabText(int index) {
  char text[64] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(PropSheet_GetTabControl(g_sheet), TCM_GETITEMA, index,
               reinterpret_cast<LPARAM>(&item));
  return text;
}

// A file name for the tab's page.
std::string PageName(int index) {
  static const std::pair<const char*, const char*> kNames[] = {
      {"設定", "setting"}, {"IP設定", "ip"},       {"DNS", "dns"},        {"WINS", "wins"},
      {"Domain", "domain"}, {"Proxy", "proxy"},    {"NetDrive", "netdrive"},
      {"その他", "other"},  {"Option", "option"},  {"Version", "version"}};
  const std::string text = TabText(index);
  char number[8];
  std::snprintf(number, sizeof number, "%02d", index + 1);
  for (const auto& [tab, name] : kNames)
    if (text == tab) return std::string("page-") + number + "-" + name;
  return std::string("page-") + number;
}

// The page whose tab reads `text`, made current.
bool SelectPage(const char* text) {
  for (int i = 0; i < TabCount(); ++i)
    if (TabText(i) == text) {
      PropSheet_SetCurSel(g_sheet, nullptr, i);
      return true;
    }
  return false;
}

void ClickOnPage(int id) {
  if (HWND page = CurrentPage()) PostClick(page, id);
}

// Adds the steps that open one dialog from a button of a page, shoot it and
// cancel it. `choose` is a radio button to click first when `unless` is
// not checked (the button is disabled otherwise).
void DialogFromPage(WindowDriver& driver, const char* tab, int choose, int unless, int button,
                    const char* title, const char* name) {
  driver.Then(FindSheet, [=](HWND) {
    if (!SelectPage(tab)) g_failed.push_back(std::string(name) + " (no such tab)");
  });
  driver.Then(Settled(CurrentPage), [=](HWND page) {
    if (choose && IsDlgButtonChecked(page, unless) != BST_CHECKED) PostClick(page, choose);
    ClickOnPage(button);
  });
  driver.Then(Settled([title] { return FindDialog(title); }), [=](HWND dialog) {
    Shoot(dialog, name);
    PostClick(dialog, IDCANCEL);
  });
}

int Run(const std::wstring& pcDir, const std::wstring& outDir) {
  g_out = std::filesystem::path(outDir);
  std::error_code ignored;
  std::filesystem::create_directories(g_out, ignored);
  std::string error;
  auto pc = velandra::platform::sim::SimulatedPc::Open(std::filesystem::path(pcDir), error);
  if (!pc) {
    std::fprintf(stderr, "velandra_screenshots: %s\n", error.c_str());
    return 64;
  }
  HINSTANCE module = GetModuleHandleA(nullptr);
  velandra::ui::Win32UserPasswordDialog prompt;
  velandra::ui::win32::Win32ExitDialog exitDialog(module);
  velandra::ui::win32::Win32SheetWindow sheetWindow(module, &exitDialog, prompt);
  velandra::platform::Platform platform = pc->platform();
  velandra::app::CVelandraApp app(platform, prompt, &exitDialog, &sheetWindow);

  WindowDriver driver;
  driver.Then(Settled(FindSheet), [](HWND) {});
  for (int i = 0; i < 10; ++i) {
    driver.Then(FindSheet, [i](HWND sheet) {
      if (i < TabCount()) PropSheet_SetCurSel(sheet, nullptr, i);
    });
    driver.Then(Settled(FindSheet), [i](HWND sheet) {
      if (i < TabCount()) Shoot(sheet, PageName(i));
    });
  }
  DialogFromPage(driver, "設定", 0, 0, IDC_SETTING_ADD, "接続場所", "dialog-place");
  DialogFromPage(driver, "IP設定", IDC_IP_FIXED, IDC_IP_FIXED, IDC_IP_ADDRESS_ADD,
                 "TCP/IP アドレス", "dialog-ip-address");
  DialogFromPage(driver, "IP設定", 0, 0, IDC_IP_GATEWAY_ADD, "TCP/IP ゲートウェイアドレス",
                 "dialog-gateway");
  DialogFromPage(driver, "DNS", IDC_DNS_FIXED, IDC_DNS_FIXED, IDC_DNS_SERVER_ADD,
                 "TCP/IP DNSサーバー", "dialog-dns-server");
  DialogFromPage(driver, "DNS", IDC_DNS_SUFFIX_CHOICE, IDC_DNS_SUFFIX_CHOICE, IDC_DNS_SUFFIX_ADD,
                 "TCP/IP ドメインサフィックス", "dialog-dns-suffix");
  DialogFromPage(driver, "WINS", 0, 0, IDC_WINS_ADD, "TCP/IP WINSサーバー", "dialog-wins-server");
  DialogFromPage(driver, "その他", 0, 0, IDC_OTHER_PROGRAM_ADD, "再起動後に実行するプログラムの追加",
                 "dialog-program");
  // The account buttons are for a domain; the administrator's only with the
  // delayed change. The workgroup is chosen again after them, so that the
  // page, with no domain name typed, can be left.
  DialogFromPage(driver, "Domain", IDC_DOMAIN_DOMAIN, IDC_DOMAIN_DOMAIN, IDC_DOMAIN_JOIN_ACCOUNT,
                 "ユーザー名とパスワード", "dialog-join-account");
  driver.Then(Settled(CurrentPage), [](HWND page) {
    if (IsDlgButtonChecked(page, IDC_DOMAIN_DELAY) != BST_CHECKED) {
      CheckDlgButton(page, IDC_DOMAIN_DELAY, BST_CHECKED);
      PostClick(page, IDC_DOMAIN_DELAY);
    }
    PostClick(page, IDC_DOMAIN_ADMIN_ACCOUNT);
  });
  driver.Then(Settled([] { return FindDialog("ユーザー名とパスワード"); }), [](HWND dialog) {
    Shoot(dialog, "dialog-admin-account");
    PostClick(dialog, IDCANCEL);
  });
  driver.Then(Settled(CurrentPage), [](HWND page) { PostClick(page, IDC_DOMAIN_WORKGROUP); });
  DialogFromPage(driver, "NetDrive", 0, 0, IDC_NETDRIVE_DRIVE_ADD, "ネットワークドライブの追加",
                 "dialog-net-drive");
  DialogFromPage(driver, "NetDrive", 0, 0, IDC_NETDRIVE_SHARE_ADD, "共有情報の追加",
                 "dialog-share");
  // The permission dialog and its user name dialog open from the share
  // dialog: each is shot and cancelled, then the share dialog.
  driver.Then(FindSheet, [](HWND) { SelectPage("NetDrive"); });
  driver.Then(Settled(CurrentPage), [](HWND) { ClickOnPage(IDC_NETDRIVE_SHARE_ADD); });
  driver.Then(Settled([] { return FindDialog("共有情報の追加"); }),
              [](HWND dialog) { PostClick(dialog, IDC_SHARE_PERMISSION); });
  driver.Then(Settled([] { return FindDialog("共有の許可"); }), [](HWND dialog) {
    Shoot(dialog, "dialog-share-permission");
    PostClick(dialog, IDC_SHARE_PERMISSION_ADD);
  });
  driver.Then(Settled([] { return FindDialog("ユーザーの追加"); }), [](HWND dialog) {
    Shoot(dialog, "dialog-user-name");
    PostClick(dialog, IDCANCEL);
  });
  driver.Then(Settled([] { return FindDialog("共有の許可"); }),
              [](HWND dialog) { PostClick(dialog, IDCANCEL); });
  driver.Then(Settled([] { return FindDialog("共有情報の追加"); }),
              [](HWND dialog) { PostClick(dialog, IDCANCEL); });
  // OK opens the exit-mode dialog; cancelling it closes the sheet unsaved.
  // The Setting page is the one left, so no page refuses to be left.
  driver.Then(FindSheet, [](HWND) { SelectPage("設定"); });
  driver.Then(Settled(CurrentPage), [](HWND) { PostClick(g_sheet, IDOK); });
  driver.Then(Settled([] {
                HWND dialog = FindDialog("Velandra");
                return dialog && dialog != g_sheet ? dialog : nullptr;
              }),
              [](HWND dialog) {
                Shoot(dialog, "dialog-exit");
                PostClick(dialog, IDCANCEL);
              });
  const bool allRan = driver.Run([&] { app.Run(""); }, 120000);
  if (!allRan) g_failed.push_back("sheet: " + driver.Stuck());

  WindowDriver logon;
  logon.Then(Settled([] { return FindDialog("ユーザー名とパスワード"); }), [](HWND dialog) {
    Shoot(dialog, "dialog-user-password");
    PostClick(dialog, IDCANCEL);
  });
  velandra::ui::CDlgUserPassword fields;
  fields.Message = "現在ログオンしているユーザーとパスワードを入力してください";
  if (!logon.Run([&] { prompt.DoModal(fields); }, 30000))
    g_failed.push_back("user password: " + logon.Stuck());

  for (const std::string& name : g_saved) std::printf("drew %s\n", name.c_str());
  for (const std::string& name : g_failed)
    std::fprintf(stderr, "velandra_screenshots: not drawn: %s\n",
                 velandra::platform::Cp932ToUtf8(name).c_str());
  return g_failed.empty() ? 0 : 1;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args || count != 3) {
    std::fprintf(stderr, "usage: velandra_screenshots PC-DIRECTORY OUT-DIRECTORY\n");
    return 64;
  }
  const int code = Run(args[1], args[2]);
  LocalFree(args);
  return code;
}
