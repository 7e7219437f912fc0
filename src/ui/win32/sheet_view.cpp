#include "ui/win32/sheet_view.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "system/platform/win32/win32_messages.h"
#include "ui/page_dns.h"
#include "ui/page_domain.h"
#include "ui/page_ip.h"
#include "ui/page_other.h"
#include "ui/page_option.h"
#include "ui/page_netdrive.h"
#include "ui/page_setting.h"
#include "ui/page_wins.h"
#include "ui/velandra_sheet.h"
#include "ui/win32/controls.h"
#include "ui/win32/dlg_share_permission_view.h"
#include "ui/win32/page_dns_view.h"
#include "ui/win32/page_domain_view.h"
#include "ui/win32/page_ip_view.h"
#include "ui/win32/page_other_view.h"
#include "ui/win32/page_option_view.h"
#include "ui/win32/page_netdrive_view.h"
#include "ui/win32/page_setting_view.h"
#include "ui/win32/page_wins_view.h"

namespace velandra::ui::win32 {

namespace {

constexpr int kLinkIds[] = {IDC_ABOUT_LINK_MAIL, IDC_ABOUT_LINK_WEB, IDC_ABOUT_LINK_THANKS,
                            IDC_ABOUT_LINK_COMPANION};
constexpr char kAboutProp[] = "Velandra.AboutView";

// The About page: links drawn blue and underlined, each as wide as its
// text, with the hand cursor over them. The page's window procedure is
// subclassed for the colour and the cursor, which a dialog procedure of a
// property sheet page cannot give reliably.
class AboutView : public PageView {
 public:
  AboutView(CPageAbout& page, HINSTANCE module) : PageView(page), page_(page), module_(module) {}
  ~AboutView() override {
    if (linkFont_) DeleteObject(linkFont_);
  }

  void Prepare(HWND page) override {
    hand_ = LoadCursorA(module_, MAKEINTRESOURCEA(IDC_LINK_CURSOR));
    LOGFONTA font{};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
    if (dialogFont && GetObjectA(dialogFont, sizeof font, &font)) {
      font.lfUnderline = TRUE;
      linkFont_ = CreateFontIndirectA(&font);
    }
    for (int id : kLinkIds) {
      HWND link = GetDlgItem(page, id);
      if (!link) continue;
      if (linkFont_) SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
      RECT box{};
      GetWindowRect(link, &box);
      room_ = box.right - box.left;
    }
    SetPropA(page, kAboutProp, this);
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
  }

  void Show(HWND page) override {
    SetItemText(page, IDC_ABOUT_PRODUCT, page_.ProductText());
    for (size_t i = 0; i < page_.Links().size() && i < std::size(kLinkIds); ++i) {
      SetItemText(page, kLinkIds[i], page_.Links()[i].Text);
      FitToText(page, kLinkIds[i]);
    }
  }
  bool Read(HWND) override { return true; }

  bool OnCommand(HWND page, int id, int code) override {
    if (code != STN_CLICKED) return false;
    for (size_t i = 0; i < std::size(kLinkIds); ++i)
      if (kLinkIds[i] == id) {
        Handle(page, [&] { page_.OnLinkClicked(i); });
        return true;
      }
    return false;
  }

 private:
  // Only the text is the link: the label is cut to its width.
  void FitToText(HWND page, int id) {
    HWND link = GetDlgItem(page, id);
    if (!link || room_ <= 0) return;
    const std::string text = ItemText(page, id);
    HDC dc = GetDC(link);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0)));
    RECT need{0, 0, room_, 0};
    DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(link, dc);
    RECT box{};
    GetClientRect(link, &box);
    const int width = need.right + 1 < room_ ? need.right + 1 : room_;
    SetWindowPos(link, nullptr, 0, 0, width, box.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  bool IsLink(HWND window) const {
    const int id = GetDlgCtrlID(window);
    for (int link : kLinkIds)
      if (link == id) return true;
    return false;
  }

  static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<AboutView*>(GetPropA(hwnd, kAboutProp));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    const WNDPROC old = self->oldProc_;
    switch (message) {
      case WM_CTLCOLORSTATIC: {
        const LRESULT brush = CallWindowProcA(old, hwnd, message, wParam, lParam);
        if (self->IsLink(reinterpret_cast<HWND>(lParam))) {
          SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
          SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        }
        return brush;
      }
      case WM_SETCURSOR:
        if (self->hand_ && self->IsLink(reinterpret_cast<HWND>(wParam))) {
          SetCursor(self->hand_);
          return TRUE;
        }
        break;
      case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(hwnd, kAboutProp);
        break;
    }
    return CallWindowProcA(old, hwnd, message, wParam, lParam);
  }

  CPageAbout& page_;
  HINSTANCE module_;
  HCURSOR hand_ = nullptr;
  HFONT linkFont_ = nullptr;
  WNDPROC oldProc_ = nullptr;
  LONG room_ = 0;
};

// PropertySheetA's callback has no parameter of its own: what it needs
// while the sheet is up.
thread_local HINSTANCE tCurrentModule = nullptr;
thread_local platform::win32::Win32Messages* tCurrentBoxes = nullptr;

void ReportSheetFailure(DWORD error) {
  const std::string text =
      "メインウィンドウを表示できませんでした (エラー " + std::to_string(error) + ")";
  MessageBoxA(nullptr, text.c_str(), kProductName, MB_ICONERROR | MB_OK);
}

}  // namespace

bool InitSheetControls() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof classes;
  classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_UPDOWN_CLASS |
                  ICC_TAB_CLASSES | ICC_WIN95_CLASSES;
  return InitCommonControlsEx(&classes) != FALSE;
}

std::unique_ptr<PageView> MakeAboutPageView(CPageAbout& page, HINSTANCE module) {
  return std::make_unique<AboutView>(page, module);
}

int CALLBACK Win32SheetWindow::SheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message != PSCB_INITIALIZED) return 0;
  // The property sheet's own initialisation is done; the icon then serves
  // as both the large and the small one.
  const HINSTANCE module = tCurrentModule;
  if (HANDLE bigIcon = LoadImageA(module, MAKEINTRESOURCEA(IDI_VELANDRA), IMAGE_ICON,
                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                              LR_DEFAULTCOLOR | LR_SHARED))
    SendMessageA(sheet, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
  if (HANDLE smallIcon = LoadImageA(module, MAKEINTRESOURCEA(IDI_VELANDRA), IMAGE_ICON,
                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                LR_DEFAULTCOLOR | LR_SHARED))
    SendMessageA(sheet, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
  if (tCurrentBoxes) tCurrentBoxes->SetMainWindow(sheet);
  return 0;
}

bool Win32SheetWindow::DoModal(CVelandraSheet& sheet) {
  InitSheetControls();
  platform::Platform& platform = sheet.GetContext().Platform();

  Win32DialogHost host(module_, {MakeSettingDialogView, MakeIpDialogView, MakeDnsDialogView,
                                 MakeWinsDialogView, MakeDomainDialogView, MakeNetDriveDialogView,
                                 MakeOtherDialogView, MakeSharePermissionDialogView});
  CPageSetting setting(sheet, host, exitDialog_, logonDialog_);
  CPageIP ip(sheet, host);
  CPageDNS dns(sheet, host);
  CPageWINS wins(sheet, host);
  CPageDomain domain(sheet, host);
  CPageProxy proxy(sheet);
  CPageNetDrive netDrive(sheet, host);
  CPageOther other(sheet, host);
  CPageOption option(sheet, host);
  CPageAbout about(platform);

  std::vector<std::unique_ptr<PageView>> views;
  std::vector<PROPSHEETPAGEA> pages;
  for (const SheetPageEntry& entry : SheetPages(sheet)) {
    std::unique_ptr<PageView> view;
    switch (entry.Page) {
      case SheetPage::Setting: view = MakeSettingPageView(setting); break;
      case SheetPage::IP: view = MakeIpPageView(ip); break;
      case SheetPage::DNS: view = MakeDnsPageView(dns); break;
      case SheetPage::WINS: view = MakeWinsPageView(wins); break;
      case SheetPage::Domain: view = MakeDomainPageView(domain); break;
      case SheetPage::Proxy: view = MakeProxyPageView(proxy); break;
      case SheetPage::NetDrive: view = MakeNetDrivePageView(netDrive); break;
      case SheetPage::Other: view = MakeOtherPageView(other); break;
      case SheetPage::Option: view = MakeOptionPageView(option); break;
      case SheetPage::About: view = MakeAboutPageView(about, module_); break;
    }
    PROPSHEETPAGEA page = view->Page(module_);
    // The tab text is the table's.
    page.dwFlags |= PSP_USETITLE;
    page.pszTitle = entry.Title;
    pages.push_back(page);
    views.push_back(std::move(view));
  }

  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP | PSH_USECALLBACK;
  header.hwndParent = nullptr;
  header.hInstance = module_;
  header.pszCaption = kProductName;
  header.nPages = static_cast<UINT>(pages.size());
  header.nStartPage = 0;
  header.ppsp = pages.data();
  header.pfnCallback = SheetCallback;

  const HINSTANCE outerModule = tCurrentModule;
  platform::win32::Win32Messages* const outerBoxes = tCurrentBoxes;
  const HWND outerMain = boxes_ ? boxes_->MainWindow() : nullptr;
  tCurrentModule = module_;
  tCurrentBoxes = boxes_;
  SetLastError(0);
  const INT_PTR result = PropertySheetA(&header);
  const DWORD error = GetLastError();
  tCurrentModule = outerModule;
  tCurrentBoxes = outerBoxes;
  if (boxes_) boxes_->SetMainWindow(outerMain);

  if (result < 0) {
    ReportSheetFailure(error);
    return false;
  }
  return true;
}

}  // namespace velandra::ui::win32
